// A read-only stream over one of the program's resources (Resources.h).
// A missing name or type raises EResNotFound ("Resource X not found");
// writing raises EStreamError.
#pragma once

#include "platform/rtl/MemoryStream.h"
#include "platform/rtl/UnicodeString.h"
#include "platform/win/Types.h"

namespace vcl {

class TResourceStream : public rtl::TMemoryStream {
public:
    TResourceStream(win::HINSTANCE instance, const rtl::UnicodeString& name, const rtl::UnicodeString& type);

    std::int32_t Write(const void* buffer, std::int32_t count) override;
    void SetSize(std::int64_t size) override;
};

} // namespace vcl
