// The root of the framework's classes: what event handlers receive as their
// Sender. Polymorphic, so a handler can ask what sent it with dynamic_cast.
#pragma once

namespace vcl {

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

} // namespace vcl
