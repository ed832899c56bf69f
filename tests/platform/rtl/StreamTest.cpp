#include "TempDrive.h"

#include "platform/rtl/rtl.h"
#include "platform/win/OpenFileHold.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using FileStream = rtltest::TempDrive;

TEST(MemoryStream, ReadWriteSeek)
{
    TMemoryStream m;
    EXPECT_EQ(m.Size(), 0);
    EXPECT_EQ(m.Memory(), nullptr);
    EXPECT_EQ(m.Write("abcdef", 6), 6);
    EXPECT_EQ(m.Position(), 6);
    EXPECT_EQ(m.Seek(-2, soCurrent), 4);
    char buf[8] = {};
    EXPECT_EQ(m.Read(buf, 8), 2);
    EXPECT_EQ(std::string(buf, 2), "ef");
    EXPECT_EQ(m.Read(buf, 8), 0);
    EXPECT_EQ(m.Seek(-1, soBeginning), -1); // before the start: refused
    EXPECT_EQ(m.Position(), 6);
    EXPECT_EQ(m.Seek(10, soBeginning), 10); // past the end: allowed, the size grows on write
    EXPECT_EQ(m.Size(), 6);
    m.Write("z", 1);
    EXPECT_EQ(m.Size(), 11);
    EXPECT_EQ(static_cast<const char*>(m.Memory())[8], '\0'); // the gap is zeros
    m.SetSize(3);
    EXPECT_EQ(m.Position(), 3);
    EXPECT_THROW(m.ReadBuffer(buf, 1), EReadError);
    EXPECT_EQ(m.Read(buf, -1), 0);
    EXPECT_THROW(m.SetSize(-1), EStreamError);
    m.Clear();
    EXPECT_EQ(m.Size(), 0);
    EXPECT_EQ(m.Position(), 0);
    // Writing the stream's own bytes past its end (the memory moves as it grows).
    m.Write("abc", 3);
    EXPECT_EQ(m.Write(m.Memory(), 3), 3);
    EXPECT_EQ(std::string(static_cast<const char*>(m.Memory()), 6), "abcabc");
}

TEST_F(FileStream, OpenCreateAndErrors)
{
    {
        TFileStream f(u"T:\\data.bin", fmCreate);
        f.WriteBuffer("hello", 5);
        EXPECT_EQ(f.Size(), 5);
    }
    EXPECT_EQ(ReadBytes("data.bin"), "hello");
    {
        TFileStream f(u"T:\\DATA.BIN", fmOpenRead | fmShareDenyNone);
        char buf[8] = {};
        EXPECT_EQ(f.Read(buf, 8), 5);
        EXPECT_EQ(f.Seek(1, soBeginning), 1);
        f.ReadBuffer(buf, 2);
        EXPECT_EQ(std::string(buf, 2), "el");
        EXPECT_THROW(f.ReadBuffer(buf, 8), EReadError);
        EXPECT_EQ(f.Write("x", 1), 0); // opened for reading
        EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError);
    }
    {
        TFileStream f(u"T:\\data.bin", fmOpenReadWrite);
        f.Seek(0, soEnd);
        f.WriteBuffer("!", 1);
        f.SetSize(2);
    }
    EXPECT_EQ(ReadBytes("data.bin"), "he");

    std::filesystem::create_directory(Host("DATA"));
    struct Bad {
        const char16_t* path;
        std::uint16_t mode;
        bool create;
    } bad[] = {
        {u"T:\\missing.bin", fmOpenRead, false},
        {u"T:\\DATA", fmOpenRead, false}, // a folder is refused
        {u"T:\\data", fmCreate, true},
        {u"T:\\no\\where.bin", fmCreate, true},
        {u"Q:\\x.bin", fmOpenRead, false}, // unmapped drive
        {u"", fmOpenRead, false},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(rtl::Utf16ToUtf8(b.path));
        if (b.create)
            EXPECT_THROW(TFileStream(b.path, b.mode), EFCreateError);
        else
            EXPECT_THROW(TFileStream(b.path, b.mode), EFOpenError);
    }
    win::DriveTable::Instance().SetPresent(u'T', false); // the card is pulled
    EXPECT_THROW(TFileStream(u"T:\\DATA.BIN", fmOpenRead), EFOpenError);
    win::DriveTable::Instance().SetPresent(u'T', true);
    try {
        TFileStream f(u"T:\\missing.bin", fmOpenRead);
    } catch (EFOpenError& e) {
        EXPECT_EQ(e.Message, u"Cannot open file \"T:\\missing.bin\". 指定されたファイルが見つかりません。");
    }
}

TEST_F(FileStream, ReadOnlyAttributeAndWriteProtection)
{
    WriteBytes("ro.bin", "keep");
    MakeReadOnly("ro.bin");
    EXPECT_THROW(TFileStream(u"T:\\ro.bin", fmCreate), EFCreateError);
    EXPECT_THROW(TFileStream(u"T:\\ro.bin", fmOpenWrite), EFOpenError);
    EXPECT_NO_THROW(TFileStream(u"T:\\ro.bin", fmOpenRead));
    EXPECT_EQ(ReadBytes("ro.bin"), "keep");
    win::DriveTable::Instance().SetWriteProtected(u'T', true);
    EXPECT_THROW(TFileStream(u"T:\\new.bin", fmCreate), EFCreateError);
    EXPECT_FALSE(Exists("new.bin"));
    win::DriveTable::Instance().SetWriteProtected(u'T', false);
}

TEST_F(FileStream, AnOpenStreamHoldsItsFile)
{
    WriteBytes("held.bin", "x");
    struct stat st {};
    ASSERT_EQ(stat(Host("held.bin").c_str(), &st), 0);
    {
        TFileStream f(u"T:\\held.bin", fmOpenRead);
        EXPECT_TRUE(win::OpenFileHold::IsHeld(st.st_dev, st.st_ino));
    }
    EXPECT_FALSE(win::OpenFileHold::IsHeld(st.st_dev, st.st_ino));
}

TEST_F(FileStream, CopyFromAndMemoryFiles)
{
    TMemoryStream m;
    m.Write("0123456789", 10);
    {
        TFileStream f(u"T:\\copy.bin", fmCreate);
        EXPECT_EQ(f.CopyFrom(m, 0), 10); // 0: all of the source from its start
        m.SetPosition(2);
        EXPECT_EQ(f.CopyFrom(&m, 3), 3);
        EXPECT_THROW(f.CopyFrom(m, 100), EReadError);
    }
    EXPECT_EQ(ReadBytes("copy.bin").substr(0, 13), "0123456789234");
    TMemoryStream loaded;
    loaded.LoadFromFile(u"T:\\copy.bin");
    EXPECT_GE(loaded.Size(), 13);
    EXPECT_EQ(loaded.Position(), 0);
    loaded.SaveToFile(u"T:\\copy2.bin");
    EXPECT_EQ(ReadBytes("copy2.bin"), ReadBytes("copy.bin"));
}

} // namespace
