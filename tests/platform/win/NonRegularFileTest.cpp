// Files that are no regular files where the card or a user's folder should
// hold one (a FIFO, a device): every open of the layer refuses them at once
// with the failure of a file that cannot be opened, instead of blocking in
// open() or reading a device for ever.
#include "platform/media/AsfSource.h"
#include "platform/media/Vfw.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FileStream.h"
#include "platform/rtl/IniFile.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/PixelBuffer.h"
#include "platform/vcl/PngWriter.h"
#include "platform/win/CRuntimeFile.h"
#include "platform/win/DriveTable.h"
#include "platform/win/FileRegistryStore.h"
#include "platform/win/Files.h"
#include "platform/win/LastError.h"

#include "CardFolder.h"
#include "tests/support/FifoGuard.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>

namespace {

using win_test::CardFolder;

struct Case {
    const char* name;
    std::function<void(const CardFolder&)> open; // opens K:\X and checks the refusal
};

void ExpectCFileRefused(const char* mode)
{
    errno = 0;
    std::FILE* f = win::OpenCFileW(u"K:\\X", mode);
    EXPECT_EQ(f, nullptr);
    EXPECT_EQ(errno, EACCES);
    if (f)
        std::fclose(f);
}

const Case kCases[] = {
    {"stream for reading",
     [](const CardFolder&) {
         EXPECT_THROW(rtl::TFileStream(u"K:\\X", rtl::fmOpenRead | rtl::fmShareDenyNone), rtl::EFOpenError);
     }},
    {"stream for writing",
     [](const CardFolder&) { EXPECT_THROW(rtl::TFileStream(u"K:\\X", rtl::fmOpenWrite), rtl::EFOpenError); }},
    {"stream created",
     [](const CardFolder&) { EXPECT_THROW(rtl::TFileStream(u"K:\\X", rtl::fmCreate), rtl::EFCreateError); }},
    {"string list",
     [](const CardFolder&) {
         rtl::TStringList lines;
         EXPECT_THROW(lines.LoadFromFile(u"K:\\X"), rtl::EFOpenError);
     }},
    {"settings read",
     [](const CardFolder&) {
         const rtl::TIniFile ini(u"K:\\X");
         EXPECT_EQ(ini.ReadString(u"SYSTEM", u"screen", u"4"), u"4");
         EXPECT_FALSE(ini.SectionExists(u"SYSTEM"));
     }},
    {"settings written",
     [](const CardFolder&) {
         rtl::TIniFile ini(u"K:\\X");
         EXPECT_THROW(ini.WriteString(u"SYSTEM", u"screen", u"2"), rtl::EIniFileException);
     }},
    {"C file rb", [](const CardFolder&) { ExpectCFileRefused("rb"); }},
    {"C file r+b", [](const CardFolder&) { ExpectCFileRefused("r+b"); }},
    {"C file wb", [](const CardFolder&) { ExpectCFileRefused("wb"); }},
    {"C file ab", [](const CardFolder&) { ExpectCFileRefused("ab"); }},
    {"copied from",
     [](const CardFolder&) {
         EXPECT_FALSE(win::CopyFileW(u"K:\\X", u"K:\\copy", 0));
         EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
     }},
    {"copied onto",
     [](const CardFolder& card) {
         card.WriteFile("source", "bytes");
         EXPECT_FALSE(win::CopyFileW(u"K:\\source", u"K:\\X", 0));
         EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
     }},
    {"recording for playback",
     [](const CardFolder&) {
         media::ComPtr<media::IBaseFilter> filter;
         EXPECT_EQ(media::detail::AsfSource::Open(u"K:\\X", filter), media::HRESULT_FILE_NOT_FOUND);
     }},
    {"still picture",
     [](const CardFolder& card) { EXPECT_FALSE(vcl::PngWriter::Save(vcl::PixelBuffer(2, 2), card.Root() + "/X")); }},
};

class NonRegularFiles : public ::testing::Test {
protected:
    NonRegularFiles() { win::DriveTable::Instance().SetDrive(u'K', card.Root()); }
    ~NonRegularFiles() override { win::DriveTable::Instance().Forget(u'K'); }

    std::string Host(const std::string& name) const { return card.Root() + "/" + name; }
    CardFolder card;
};

TEST_F(NonRegularFiles, AFifoIsRefusedWithoutWaitingForAPeer)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        test_support::MakeFifo(Host("X"));
        {
            test_support::FifoGuard guard({Host("X")});
            c.open(card);
            EXPECT_FALSE(guard.Released()) << "the open waited for the FIFO's other end";
        }
        std::filesystem::remove(Host("X"));
    }
}

TEST_F(NonRegularFiles, ADeviceIsRefused)
{
    // /dev/zero would read for ever; /dev/null would swallow every write.
    for (const char* device : {"/dev/zero", "/dev/null"}) {
        for (const Case& c : kCases) {
            SCOPED_TRACE(std::string(device) + ": " + c.name);
            std::filesystem::create_symlink(device, Host("X"));
            c.open(card);
            std::filesystem::remove(Host("X"));
        }
    }
}

TEST_F(NonRegularFiles, AHiveOrItsLockThatIsAFifoMakesTheHiveUnreadableAndRefusesChanges)
{
    for (const char* name : {"user.hive", "user.lock"}) {
        SCOPED_TRACE(name);
        std::filesystem::create_directories(Host("reg"));
        test_support::MakeFifo(Host(std::string("reg/") + name));
        {
            test_support::FifoGuard guard({Host(std::string("reg/") + name)});
            win::FileRegistryStore store(Host("reg"));
            win::RegistryEdit edit{win::RegistryEdit::Kind::CreateKey, {u"SOFTWARE"}, {}};
            if (std::string(name) == "user.hive") {
                win::RegistryKey root;
                EXPECT_FALSE(store.Read(win::RegistryHive::User, root));
                EXPECT_EQ(store.Apply(win::RegistryHive::User, edit), win::EditResult::Refused);
            } else {
                EXPECT_EQ(store.Apply(win::RegistryHive::User, edit), win::EditResult::Done);
                EXPECT_FALSE(store.Flush(win::RegistryHive::User));
            }
            EXPECT_FALSE(guard.Released()) << "the store waited for the FIFO's other end";
        }
        std::filesystem::remove_all(Host("reg"));
    }
}

} // namespace
