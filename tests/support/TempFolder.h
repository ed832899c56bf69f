// A fresh host folder below the system's temporary folder, removed with all
// it holds when the object ends.
#pragma once

#include <string>

namespace test_support {

class TempFolder {
public:
    // The folder's name starts with `prefix`; throws when it cannot be made.
    explicit TempFolder(const std::string& prefix = "vm-test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

} // namespace test_support
