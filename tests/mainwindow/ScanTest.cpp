// The recording scan: which names and sizes are taken, how deep, the limit,
// the times read from the header, the order, and stopping.
#include "ListFixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "app/ProgBar.h"
#include "platform/win/MessageWindow.h"
#include "tools/asfwriter/AsfWriter.h"

namespace fs = std::filesystem;

namespace list_test {
namespace {

constexpr std::uint64_t kMinute = 600000000;
constexpr std::uint64_t kSecond = 10000000;

class ScanTest : public ListTest {
protected:
    // The file names the scan of E:\DATA takes, in scan order.
    std::vector<std::string> Scan()
    {
        ScanFileCount = 0;
        ClearFileList(&list);
        list.CreateList(u"E:\\DATA", 2);
        std::vector<std::string> out;
        for (int i = 0; i < list.Count(); ++i)
            out.push_back(rtl::ToUtf8(list.Item(i)->FullPath));
        return out;
    }
    const TFindData* Find(const std::string& path) const
    {
        for (int i = 0; i < list.Count(); ++i)
            if (rtl::ToUtf8(list.Item(i)->FullPath) == path)
                return list.Item(i);
        return nullptr;
    }
    void WriteBytes(const std::string& relative, std::size_t size)
    {
        fs::create_directories(fs::path(Host(relative)).parent_path());
        std::ofstream(Host(relative), std::ios::binary) << std::string(size, 'x');
    }
    void Sparse(const std::string& relative, std::uint64_t size)
    {
        WriteHeaderOnly(relative, asfwriter::FileTimeOf(2024, 1, 1, 0, 0, 0), kSecond);
        fs::resize_file(Host(relative), size);
    }

    TFileList list;
};

TEST_F(ScanTest, NamesSizesAndDepthAsTheRecorderCardNeeds)
{
    const std::uint64_t t = asfwriter::FileTimeOf(2024, 5, 17, 9, 30, 0);
    struct Row {
        const char* file; // below the card
        int kind; // 0 header, 1 empty, 2 bytes, 3 sparse 2^31, 4 sparse 2^32 + 4096, 5 folder, 6 fifo
        bool taken;
    };
    const Row rows[] = {
        {"DATA/A.ASF", 0, true},
        {"DATA/b.asf", 0, true},
        {"DATA/c.AsF", 0, true},
        {"DATA/c.asf.bak", 0, false},
        {"DATA/d.asf.asf", 0, false}, // the first ".asf" does not end the name
        {"DATA/e.asfx", 0, false},
        {"DATA/asf", 0, false},
        {"DATA/.asf", 0, true}, // nothing before ".asf" is still a name ending in it
        {"DATA/zero.asf", 1, false}, // size 0
        {"DATA/short.asf", 2, true}, // shorter than the header: times read as 0
        {"DATA/negative.asf", 3, false}, // 2^31 bytes: negative as a signed 32-bit size
        {"DATA/wrapped.asf", 4, true}, // 2^32 + 4096: the low 32 bits are above 0
        {"DATA/dir.asf", 5, false}, // a folder is searched, never taken
        {"DATA/dir.asf/in.asf", 0, true},
        {"DATA/ロ録画.asf", 0, true}, // code page 932 holds it
        {"DATA/한.asf", 0, true}, // outside code page 932: listed, its tracks read by the same name
        {"DATA/pipe.asf", 6, false}, // no regular file: never read, never waited for
        {"DATA/SUB/f.asf", 0, true},
        {"DATA/SUB/DEEP/g.asf", 0, false}, // two folders down
        {"h.asf", 0, false}, // beside the folder scanned
    };
    for (const Row& row : rows) {
        switch (row.kind) {
        case 0:
            WriteHeaderOnly(row.file, t, kSecond);
            break;
        case 1:
            WriteBytes(row.file, 0);
            break;
        case 2:
            WriteBytes(row.file, 50);
            break;
        case 3:
            Sparse(row.file, std::uint64_t{1} << 31);
            break;
        case 4:
            Sparse(row.file, (std::uint64_t{1} << 32) + 4096);
            break;
        case 5:
            fs::create_directories(Host(row.file));
            break;
        default:
            ASSERT_EQ(mkfifo(Host(row.file).c_str(), 0600), 0);
            break;
        }
    }
    const std::vector<std::string> taken = Scan();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        std::string path = std::string("E:\\") + row.file;
        std::replace(path.begin(), path.end(), '/', '\\');
        EXPECT_EQ(std::count(taken.begin(), taken.end(), path), row.taken ? 1 : 0);
    }
    // Every name that passed the name test counts, also those skipped for
    // their size, their path or their kind: 13 files end in ".asf" at the
    // two levels scanned.
    EXPECT_EQ(ScanFileCount, 13u);

    const TFindData* s = Find("E:\\DATA\\short.asf");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->DateText, u"1601/01/01 00:00:00");
    EXPECT_EQ(s->LengthText, u"00:00:00");
    const TFindData* a = Find("E:\\DATA\\A.ASF");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->DateText, u"2024/05/17 09:30:00");
    EXPECT_EQ(a->LengthText, u"00:00:01");
    EXPECT_EQ(a->FileSize, static_cast<std::int32_t>(fs::file_size(Host("DATA/A.ASF"))));
    EXPECT_EQ(a->Deleted, 0);
    EXPECT_EQ(a->PlayedImage, -1);
    const TFindData* w = Find("E:\\DATA\\wrapped.asf");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->FileSize, 4096);
}

TEST_F(ScanTest, TimesFromTheHeaderIncludingDamagedOnes)
{
    struct Row {
        const char* name;
        std::uint64_t creation;
        std::uint64_t duration;
        const char16_t* date;
        const char16_t* length;
        std::uint32_t low;
    };
    const Row rows[] = {
        {"a.asf", asfwriter::FileTimeOf(2023, 1, 25, 12, 34, 56), 65 * kSecond, u"2023/01/25 12:34:56", u"00:01:05",
         650000000u},
        {"b.asf", 0, 0, u"1601/01/01 00:00:00", u"00:00:00", 0},
        {"c.asf", std::uint64_t{1} << 63, 0xFFFFFFFFu, u"0000/00/00 00:00:00", u"00:07:09", 0xFFFFFFFFu},
        // Ten minutes: from the whole 64-bit value (its low half alone is 2:50).
        {"d.asf", asfwriter::FileTimeOf(2024, 2, 29, 23, 59, 59), 10 * kMinute, u"2024/02/29 23:59:59", u"00:10:00",
         static_cast<std::uint32_t>(10 * kMinute)},
        {"e.asf", 1, 99 * kMinute + 59 * kSecond, u"1601/01/01 00:00:00", u"00:99:59",
         static_cast<std::uint32_t>(99 * kMinute + 59 * kSecond)},
        {"f.asf", 1, 200 * kMinute, u"1601/01/01 00:00:00", u"00:99:59", static_cast<std::uint32_t>(200 * kMinute)},
        {"g.asf", 1, ~std::uint64_t{0}, u"1601/01/01 00:00:00", u"00:99:59", 0xFFFFFFFFu},
    };
    for (const Row& row : rows)
        WriteHeaderOnly(std::string("DATA/") + row.name, row.creation, row.duration);
    Scan();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const TFindData* r = Find(std::string("E:\\DATA\\") + row.name);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->DateText, row.date);
        EXPECT_EQ(r->LengthText, row.length);
        EXPECT_EQ(r->LengthText.Length(), 8);
        EXPECT_EQ(r->PlayDuration, row.low);
    }
}

TEST_F(ScanTest, TheLimitCountsNamesAndEndsEveryLevel)
{
    // Sorted first: an empty file that counts but is not taken; the
    // subfolder comes after the files and is cut at its first name.
    WriteBytes("DATA/0000.asf", 0);
    for (int i = 1; i <= 10004; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "DATA/R%05d.asf", i);
        WriteBytes(name, 1);
    }
    WriteBytes("DATA/ZZ/late.asf", 1);
    const std::vector<std::string> taken = Scan();
    EXPECT_EQ(taken.size(), 9999u);
    EXPECT_EQ(ScanFileCount, 10001u);
    EXPECT_EQ(taken.back(), "E:\\DATA\\R09999.asf");
    EXPECT_EQ(std::count(taken.begin(), taken.end(), "E:\\DATA\\ZZ\\late.asf"), 0);
}

TEST_F(ScanTest, NothingForAMissingFolderAnEmptyTextOrAGoneDrive)
{
    WriteHeaderOnly("DATA/a.asf", 1, 1);
    list.CreateList(u"E:\\NOPE", 2);
    list.CreateList(u"", 2);
    list.CreateList(u"E:\\DATA", 0);
    list.CreateList(u"Q:\\DATA", 2);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(ScanTest, OrderIsByDateThenPathInCodeUnits)
{
    TFindData a{win::WIN32_FIND_DATAW{}, u"E:\\DATA\\"};
    TFindData b = a;
    a.DateText = b.DateText = u"2024/01/01 00:00:00";
    a.FullPath = u"E:\\DATA\\a.asf";
    b.FullPath = u"E:\\DATA\\B.asf";
    EXPECT_EQ(CompareFindData(&b, &a), -1) << "'B' (0x42) before 'a' (0x61)";
    EXPECT_EQ(CompareFindData(&a, &b), 1);
    EXPECT_EQ(CompareFindData(&a, &a), 0);
    b.DateText = u"2023/12/31 23:59:59";
    EXPECT_EQ(CompareFindData(&a, &b), 1);
    a.FullPath = u"E:\\DATA\\x";
    b.FullPath = u"E:\\DATA\\x.asf";
    b.DateText = a.DateText;
    EXPECT_EQ(CompareFindData(&a, &b), -1) << "a prefix is smaller";
}

TEST(RecordTextTest, ATextPastItsRoomIsKeptWholeThroughCopiesAndAssignments)
{
    const std::u16string longer = u"2024/01/01 00:00:00 and a tail past the room";
    RecordText<20> a;
    EXPECT_EQ(a, u"");
    a = UnicodeString(longer);
    EXPECT_EQ(a.view(), longer);
    RecordText<20> b = a; // copies the heap text
    a = UnicodeString(u"30828/09/14 02:48:05");
    EXPECT_EQ(a, u"30828/09/14 02:48:05") << "twenty units still fit";
    EXPECT_EQ(b.view(), longer);
    b = b;
    EXPECT_EQ(b.view(), longer);
    b = UnicodeString(b.SubString(1, 10)); // from its own heap text into the room
    EXPECT_EQ(b, u"2024/01/01");
    a = b;
    EXPECT_EQ(UnicodeString(a), UnicodeString(u"2024/01/01"));
    EXPECT_EQ(a.Length(), 10);
}

TEST_F(ScanTest, TheAbortFlagEndsTheScanAndKeepsWhatWasFound)
{
    for (int i = 0; i < 30; ++i)
        WriteBytes("DATA/R" + std::to_string(100 + i) + ".asf", 1);
    application->CreateForm(ProgForm);
    // Handled at the first progress report (the tenth name): as a close of
    // the main window would.
    win::TMessageWindow closer([](win::TMessage& m) {
        if (m.Msg == win::WM_APP + 50)
            ProgForm->FAbort = 1;
    });
    win::PostMessage(closer.Handle(), win::WM_APP + 50, 0, 0);
    ProgForm->ShowProgress(false);
    const std::vector<std::string> taken = Scan();
    EXPECT_EQ(taken.size(), 10u);
    EXPECT_EQ(ScanFileCount, 10u);
    ProgForm->HideProgress();
}

TEST_F(ScanTest, EveryFolderLevelThatMeetsTheStopHidesTheProgressAndAsksForARepaint)
{
    // The stop comes at the first progress report (the tenth name); a level
    // meets it at its next entry.
    struct Row {
        const char* what;
        std::vector<std::pair<std::string, int>> files; // folder below DATA, how many
        std::vector<std::string> sequence;
    };
    const Row rows[] = {
        {"in a subfolder, then in the folder above", {{"A", 15}, {"", 5}}, {"hide", "repaint", "repaint"}},
        {"in the folder, before its subfolder", {{"", 15}, {"Z", 5}}, {"hide", "repaint"}},
        {"in the folder's last entry, a subfolder", {{"", 5}, {"Z", 15}}, {"hide", "repaint"}},
    };
    BuildWindows(false);
    OperationSequence sequence;
    win::TMessageWindow stop([](win::TMessage& m) {
        if (m.Msg == win::WM_APP + 50)
            ProgForm->FAbort = 1;
    });
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove_all(Host("DATA"));
        int n = 100;
        for (const auto& [folder, count] : row.files)
            for (int i = 0; i < count; ++i)
                WriteBytes("DATA/" + folder + (folder.empty() ? "" : "/") + "R" + std::to_string(n++) + ".asf", 1);
        ProgForm->ShowProgress(false);
        sequence.Take();
        win::PostMessage(stop.Handle(), win::WM_APP + 50, 0, 0);
        // The list pane's own list, which it joined to the playback control.
        TFileList& paneList = *ListControl->FFileList;
        ScanFileCount = 0;
        ClearFileList(&paneList);
        paneList.CreateList(u"E:\\DATA", 2);

        EXPECT_EQ(sequence.Take(), row.sequence);
        EXPECT_FALSE(ProgForm->Visible());
        EXPECT_EQ(paneList.Count(), 10) << "what was found before the stop stays";
    }
}

TEST(RecordingNames, EventRecordingsHoldSaveInTheirFileName)
{
    struct Row {
        const char16_t* path;
        bool event;
    };
    const Row rows[] = {
        {u"E:\\DATA\\REC_SAVE_0001.ASF", true},
        {u"E:\\DATA\\SAVE.asf", true},
        {u"E:\\DATA\\rec_save_0001.asf", false},
        {u"E:\\DATA\\SAVE\\REC_0001.ASF", false},
        {u"REC_SAVE.asf", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(rtl::ToUtf8(row.path));
        EXPECT_EQ(IsEventRecording(row.path), row.event);
    }
}

} // namespace
} // namespace list_test
