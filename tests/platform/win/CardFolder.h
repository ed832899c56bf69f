// A temporary host folder used as a drive, for the file and drive tests.
#pragma once

#include <filesystem>
#include <string>

namespace win_test {

class CardFolder {
public:
    CardFolder();
    ~CardFolder();
    CardFolder(const CardFolder&) = delete;
    CardFolder& operator=(const CardFolder&) = delete;

    const std::string& Root() const { return root_; }
    // Creates a file (and its folders) below the root with the given bytes.
    void WriteFile(const std::string& relative, const std::string& bytes = "x") const;
    void MakeFolder(const std::string& relative) const;
    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    void SetReadOnly(const std::string& relative, bool readOnly) const;

private:
    std::string root_;
};

} // namespace win_test
