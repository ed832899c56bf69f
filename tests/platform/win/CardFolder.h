// A temporary host folder used as a drive, for the file and drive tests.
#pragma once

#include <filesystem>
#include <string>

#include "tests/support/TempFolder.h"

namespace win_test {

class CardFolder {
public:
    CardFolder() = default;
    CardFolder(const CardFolder&) = delete;
    CardFolder& operator=(const CardFolder&) = delete;

    const std::string& Root() const { return folder_.Path(); }
    // Creates a file (and its folders) below the root with the given bytes.
    void WriteFile(const std::string& relative, const std::string& bytes = "x") const;
    void MakeFolder(const std::string& relative) const;
    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    void SetReadOnly(const std::string& relative, bool readOnly) const;

private:
    test_support::TempFolder folder_{"vm-card"};
};

} // namespace win_test
