// A temporary recorder card for the program's own tests: a host folder
// mapped as drive E: (removable) and made the current directory, with the
// card's "Icon", "ffdshow" and "DATA" folders, and a mutex folder of its
// own so that tests never meet a running program's single-instance mutex.
// The decoder is ready as at a normal start (test_support::DecoderCard: the
// decoder module and "DummyFile.ASF" in "ffdshow", an in-memory registry and
// the registration tool played in-process); without it "ffdshow" is empty.
#pragma once

#include "platform/rtl/rtl.h"
#include "platform/win/CurrentDirectory.h"
#include "platform/win/DriveTable.h"
#include "platform/win/Mutex.h"
#include "tests/support/DecoderCard.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace app_test {

class AppCard {
public:
    explicit AppCard(char16_t letter = u'E', bool withIcon = true, bool withDecoder = true)
    {
        std::filesystem::create_directories(root_ + "/ffdshow");
        decoder_ = withDecoder ? std::make_unique<test_support::DecoderCard>(root_)
                               : std::make_unique<test_support::DecoderCard>();
        std::filesystem::create_directories(root_ + "/DATA");
        if (withIcon)
            std::filesystem::create_directories(root_ + "/Icon");
        std::filesystem::create_directories(base_.Path() + "/mutex");
        win::detail::SetMutexFolder(base_.Path() + "/mutex");
        win::DriveTable::Instance().Configure(std::string(1, static_cast<char>(letter)) + "=" + root_ + ":removable");
        const char16_t rootPath[] = {letter, u':', u'\\', 0};
        EXPECT_TRUE(win::SetCurrentDirectoryPath(rootPath));
    }
    ~AppCard()
    {
        win::DriveTable::Instance().Reset();
        win::detail::SetMutexFolder("");
    }
    AppCard(const AppCard&) = delete;
    AppCard& operator=(const AppCard&) = delete;

    const std::string& Root() const { return root_; }
    test_support::DecoderCard& Decoder() { return *decoder_; }
    // The decoder folder for a program folder elsewhere on the card.
    void AddDecoderFolder(const std::string& relative) const { test_support::WriteDecoderFolder(Host(relative)); }
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
    test_support::TempFolder base_{"vm-app-test"};
    std::string root_ = base_.Path() + "/card";
    std::unique_ptr<test_support::DecoderCard> decoder_;
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
