// A temporary recorder card for the program's own tests: a host folder
// mapped as drive E: (removable) and made the current directory, with the
// card's "Icon", "ffdshow" and "DATA" folders, and a mutex folder of its
// own so that tests never meet a running program's single-instance mutex.
#pragma once

#include "platform/rtl/rtl.h"
#include "platform/win/CurrentDirectory.h"
#include "platform/win/DriveTable.h"
#include "platform/win/Mutex.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <stdlib.h>

namespace app_test {

class AppCard {
public:
    explicit AppCard(char16_t letter = u'E', bool withIcon = true)
    {
        char pattern[] = "/tmp/vm-app-test-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        EXPECT_NE(made, nullptr);
        base_ = made ? made : "/tmp";
        root_ = base_ + "/card";
        std::filesystem::create_directories(root_ + "/ffdshow");
        std::filesystem::create_directories(root_ + "/DATA");
        if (withIcon)
            std::filesystem::create_directories(root_ + "/Icon");
        std::filesystem::create_directories(base_ + "/mutex");
        win::detail::SetMutexFolder(base_ + "/mutex");
        win::DriveTable::Instance().Configure(std::string(1, static_cast<char>(letter)) + "=" + root_ +
                                              ":removable");
        const char16_t rootPath[] = {letter, u':', u'\\', 0};
        EXPECT_TRUE(win::SetCurrentDirectoryPath(rootPath));
    }
    ~AppCard()
    {
        win::DriveTable::Instance().Reset();
        win::detail::SetMutexFolder("");
        std::error_code ignored;
        std::filesystem::remove_all(base_, ignored);
    }
    AppCard(const AppCard&) = delete;
    AppCard& operator=(const AppCard&) = delete;

    const std::string& Root() const { return root_; }
    std::string Host(const std::string& relative) const { return root_ + "/" + relative; }
    bool Exists(const std::string& relative) const { return std::filesystem::exists(Host(relative)); }
    void Write(const std::string& relative, const std::string& bytes) const
    {
        std::filesystem::create_directories(std::filesystem::path(Host(relative)).parent_path());
        std::ofstream(Host(relative), std::ios::binary) << bytes;
    }
    std::string Read(const std::string& relative) const
    {
        std::ifstream in(Host(relative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::string base_;
    std::string root_;
};

// Upper-case hex of bytes, as the settings file holds them.
inline std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

} // namespace app_test
