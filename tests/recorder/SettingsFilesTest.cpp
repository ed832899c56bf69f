// The recorder's two files on the card: their paths, their bytes as the
// window writes them, "setup.ini" read back in every shape a card may hold,
// and each fault of the writing mended.
#include "RecorderFixture.h"

#include "recorder/SettingsFiles.h"

#include <filesystem>
#include <sys/stat.h>

namespace {

using recorder_test::PageState;
using recorder_test::RecorderTest;
using recorder_test::Repaints;

// Text as UTF-16LE bytes.
std::string Utf16Le(std::u16string_view text)
{
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

const char kDefaultFile[] = "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=7\r\nGSS_EVENT_ENABLE=1\r\n";

TEST(SettingsFilePaths, DriveRootOrTheProgramFolder)
{
    struct Row {
        const char16_t* folder;
        const char16_t* setup;
        const char16_t* timeset;
    };
    const Row rows[] = {
        {u"E:\\", u"E:\\setup.ini", u"E:\\TIMESET.ini"},
        {u"E:\\Viewer\\Sub", u"E:\\setup.ini", u"E:\\TIMESET.ini"},
        {u"e:\\x:\\y", u"e:\\setup.ini", u"e:\\TIMESET.ini"},
        {u"\\\\server\\share", u"\\:\\setup.ini", u"\\\\server\\share\\TIMESET.ini"},
        {u"", u":\\setup.ini", u"\\TIMESET.ini"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(TestDriver::Utf8(row.folder));
        EXPECT_EQ(SetupIniPath(row.folder), UnicodeString(row.setup));
        EXPECT_EQ(TimeSetIniPath(row.folder), UnicodeString(row.timeset));
    }
    EXPECT_THROW(TimeSetIniText(u"2024/03/0", u"14:07"), EConvertError);
    EXPECT_THROW(TimeSetIniText(u"2024/03/05", u"14:7"), EConvertError);
}

class SettingsFilesTest : public RecorderTest {};

TEST_F(SettingsFilesTest, SetupIniGoldenBytes)
{
    struct Row {
        PageState page;
        const char* bytes;
    };
    const Row rows[] = {
        {{true, 2, true}, "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=7\r\nGSS_EVENT_ENABLE=1\r\n"},
        {{false, 0, false}, "[Monitor]\r\nPROTECT_EVFILE=0\r\nGSS_THRESHOLD=9\r\nGSS_EVENT_ENABLE=0\r\n"},
        {{true, 1, false}, "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=8\r\nGSS_EVENT_ENABLE=0\r\n"},
        {{false, 3, true}, "[Monitor]\r\nPROTECT_EVFILE=0\r\nGSS_THRESHOLD=6\r\nGSS_EVENT_ENABLE=1\r\n"},
        {{true, 4, true}, "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=5\r\nGSS_EVENT_ENABLE=1\r\n"},
    };
    card.Write("setup.ini", kDefaultFile);
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.page));
        ShowWindow();
        // As a person: the radio buttons and the track bar's keys.
        driver.Click(row.page.eventYes ? *TimeSet->RadioButtonEYes : *TimeSet->RadioButtonENo);
        driver.PressKey(*TimeSet->TrackBarGSet, VK_HOME);
        for (int i = 0; i < row.page.position; ++i)
            driver.PressKey(*TimeSet->TrackBarGSet, VK_RIGHT);
        driver.Click(row.page.gYes ? *TimeSet->RadioButtonGYes : *TimeSet->RadioButtonGNo);
        EXPECT_TRUE(driver.Click(*TimeSet->ButtonOK));
        EXPECT_EQ(card.Read("setup.ini"), row.bytes);
        EXPECT_EQ(card.Read("setup.ini").size(), 66u);
        EXPECT_FALSE(TimeSet->Visible());
        EXPECT_EQ(TakeRepaints(), (Repaints{{1, 0}}));
        EXPECT_FALSE(card.Exists("TIMESET.ini")); // one page, one file
    }
    EXPECT_FALSE(card.Exists("setup.ini.tmp"));
    EXPECT_TRUE(TakeLog().empty());
}

TEST_F(SettingsFilesTest, TimeSetIniGoldenBytes)
{
    struct Row {
        int year, month, day, hour, minute;
        std::optional<TDateTime> entered; // a date the user picks
        const char* bytes;
    };
    const Row rows[] = {
        {2024, 3, 5, 14, 7, std::nullopt, "2024/03/05 14:07\r\n"},
        {2001, 1, 1, 0, 0, std::nullopt, "2001/01/01 00:00\r\n"},
        {2037, 12, 31, 23, 59, std::nullopt, "2037/12/31 23:59\r\n"},
        {1980, 1, 1, 8, 30, std::nullopt, "2001/01/01 08:30\r\n"}, // clock before the range
        {2099, 6, 30, 12, 0, std::nullopt, "2037/12/31 12:00\r\n"}, // after it
        {2024, 3, 5, 14, 7, EncodeDate(2025, 11, 9), "2025/11/09 14:07\r\n"},
    };
    card.Write("setup.ini", kDefaultFile);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bytes);
        SetClock(row.year, row.month, row.day, row.hour, row.minute, 59);
        ShowWindow();
        PressTab(1);
        if (row.entered)
            driver.SetDateTime(*TimeSet->DateTimePicker1, *row.entered);
        EXPECT_TRUE(driver.Click(*TimeSet->Button1));
        EXPECT_EQ(card.Read("TIMESET.ini"), row.bytes);
        EXPECT_FALSE(TimeSet->Visible());
        EXPECT_EQ(TakeRepaints(), (Repaints{{1, 0}}));
    }
    EXPECT_EQ(card.Read("setup.ini"), kDefaultFile);
    EXPECT_TRUE(TakeLog().empty());
}

TEST_F(SettingsFilesTest, TimeSetIniOfAProgramFolderWithoutADriveGoesIntoThatFolder)
{
    // A program folder without ":\": the clock file goes into the folder
    // itself, while "setup.ini" is still looked for at "E:\setup.ini".
    ProgramFolder = u"E:Viewer";
    std::filesystem::create_directories(card.Host("Viewer"));
    ShowWindow();
    PressTab(1);
    EXPECT_TRUE(driver.Click(*TimeSet->Button1));
    EXPECT_EQ(card.Read("Viewer/TIMESET.ini"), "2024/03/05 14:07\r\n");
}

// Every shape of "setup.ini" a card may hold. The controls start in a state
// no row gives, so that what a row leaves untouched shows.
TEST_F(SettingsFilesTest, ReadingWhatTheCardHolds)
{
    const PageState before{false, 1, false};
    const std::string big(SetupIniReadLimit + 100, 'x');
    struct Row {
        const char* name;
        std::string bytes;
        PageState page;
        std::vector<std::string> log;
    };
    const Row rows[] = {
        {"as written", kDefaultFile, {true, 2, true}, {}},
        {"LF line ends", "[Monitor]\nPROTECT_EVFILE=0\nGSS_THRESHOLD=5\nGSS_EVENT_ENABLE=1\n", {false, 4, true}, {}},
        {"CR line ends", "[Monitor]\rPROTECT_EVFILE=1\rGSS_THRESHOLD=9\rGSS_EVENT_ENABLE=0", {true, 0, false}, {}},
        {"UTF-8 BOM",
         "\xEF\xBB\xBF[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=6\r\nGSS_EVENT_ENABLE=1\r\n",
         {true, 3, true},
         {}},
        {"UTF-16 BOM",
         Utf16Le(u"\uFEFF[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=8\r\nGSS_EVENT_ENABLE=1"),
         {true, 1, true},
         {}},
        {"UTF-16, odd length",
         Utf16Le(u"\uFEFF[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=8\r\nGSS_EVENT_ENABLE=1\r\n") + "\x31",
         {true, 1, true},
         {}},
        {"digit 3 is beyond the bar",
         "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=3\r\nGSS_EVENT_ENABLE=1\r\n",
         {true, 4, true},
         {}},
        {"keys are not compared",
         "[Monitor]\r\nGSS_THRESHOLD=7\r\nGSS_THRESHOLD=7\r\nGSS_EVENT_ENABLE=1\r\n",
         {false, 2, true},
         {}},
        {"other values than 1",
         "[Monitor]\r\nPROTECT_EVFILE=2\r\nGSS_THRESHOLD=7\r\nGSS_EVENT_ENABLE=yes\r\n",
         {false, 2, false},
         {}},
        {"threshold not a digit",
         "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=x\r\nGSS_EVENT_ENABLE=1\r\n",
         {true, 1, false},
         {"[Error] TTimeSet::FormShow ERROR:'x' is not a valid integer value"}},
        {"threshold missing",
         "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=\r\nGSS_EVENT_ENABLE=1\r\n",
         {true, 1, false},
         {"[Error] TTimeSet::FormShow ERROR:'' is not a valid integer value"}},
        {"three lines",
         "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=9\r\n",
         {true, 0, false},
         {"[Error] TTimeSet::FormShow ERROR:List index out of bounds (3)"}},
        {"empty", "", before, {"[Error] TTimeSet::FormShow ERROR:List index out of bounds (1)"}},
        {"binary",
         std::string("\0\x81\xFF\x80\r\n\x82\x00PROTECT_EVFILE=1\xE0\r\n\xFF\xFF", 28),
         {false, 1, false},
         {"[Error] TTimeSet::FormShow ERROR:'' is not a valid integer value"}},
        {"oversized, values first", std::string(kDefaultFile) + big + "\r\n" + big, {true, 2, true}, {}},
        {"oversized first line",
         big + "\r\n" + kDefaultFile,
         before,
         {"[Error] TTimeSet::FormShow ERROR:List index out of bounds (1)"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        card.Write("setup.ini", row.bytes);
        SetPage(before);
        ShowWindow();
        EXPECT_TRUE(TimeSet->Visible());
        EXPECT_EQ(Page(), row.page);
        EXPECT_EQ(TakeLog(), row.log);
        TimeSet->ButtonCancel->Click();
    }
    EXPECT_TRUE(driver.Boxes().empty());
}

TEST_F(SettingsFilesTest, AFolderNamedSetupIniCountsAsNoFile)
{
    std::filesystem::create_directories(card.Host("setup.ini"));
    driver.AnswerBox(win::IDOK);
    EXPECT_TRUE(TimeSet->ShowWhenCardReady());
    EXPECT_EQ(Page(), (PageState{true, 2, true}));
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"[Warning] 設定ファイルが見つかりません。"}));
}

// Fault: an older, longer "TIMESET.ini" kept its tail behind the new text.
TEST_F(SettingsFilesTest, TimeSetIniLeavesNoBytesOfAnOlderText)
{
    card.Write("setup.ini", kDefaultFile);
    card.Write("TIMESET.ini", "2019/01/01 00:00\r\nSOMETHING OLDER\r\n");
    ShowWindow();
    PressTab(1);
    driver.Click(*TimeSet->Button1);
    EXPECT_EQ(card.Read("TIMESET.ini"), "2024/03/05 14:07\r\n");
}

// Fault: a failed write went unnoticed and the window closed as after a
// success. It is logged, the window stays, no repaint is asked for, and the
// file on the card is as it was.
TEST_F(SettingsFilesTest, AFailedWriteIsReportedAndTheWindowStays)
{
    enum Fault { WriteProtected, CardPulled, ReadOnlyFile };
    struct Row {
        const char* name;
        bool timeset;
        Fault fault;
        const char* log;
    };
    const Row rows[] = {
        {"setup.ini, write-protected", false, WriteProtected,
         "[Error] TTimeSet::ButtonOKClick ERROR:Cannot create file \"E:\\setup.ini.tmp\". "},
        {"setup.ini, card pulled", false, CardPulled,
         "[Error] TTimeSet::ButtonOKClick ERROR:Cannot create file \"E:\\setup.ini.tmp\". "},
        {"setup.ini, read-only", false, ReadOnlyFile,
         "[Error] TTimeSet::ButtonOKClick ERROR:Cannot create file \"E:\\setup.ini\". "},
        {"TIMESET.ini, write-protected", true, WriteProtected,
         "[Error] TTimeSet::Button1Click ERROR:Cannot create file \"E:\\TIMESET.ini.tmp\". "},
        {"TIMESET.ini, card pulled", true, CardPulled,
         "[Error] TTimeSet::Button1Click ERROR:Cannot create file \"E:\\TIMESET.ini.tmp\". "},
        {"TIMESET.ini, read-only", true, ReadOnlyFile,
         "[Error] TTimeSet::Button1Click ERROR:Cannot create file \"E:\\TIMESET.ini\". "},
    };
    const std::string oldClock = "2019/01/01 00:00\r\n";
    const std::string oldSetup = "[Monitor]\r\nPROTECT_EVFILE=0\r\nGSS_THRESHOLD=9\r\nGSS_EVENT_ENABLE=0\r\n";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string file = row.timeset ? "TIMESET.ini" : "setup.ini";
        const std::string old = row.timeset ? oldClock : oldSetup;
        card.Write("setup.ini", oldSetup);
        card.Write("TIMESET.ini", oldClock);
        ShowWindow();
        PressTab(0);
        driver.Click(*TimeSet->RadioButtonEYes); // something to write
        switch (row.fault) {
        case WriteProtected:
            win::DriveTable::Instance().SetWriteProtected(u'E', true);
            break;
        case CardPulled:
            win::DriveTable::Instance().SetPresent(u'E', false);
            break;
        case ReadOnlyFile:
            ::chmod(card.Host(file).c_str(), 0444);
            break;
        }
        PressTab(row.timeset ? 1 : 0);
        EXPECT_TRUE(driver.Click(row.timeset ? *TimeSet->Button1 : *TimeSet->ButtonOK));
        EXPECT_TRUE(TimeSet->Visible());
        EXPECT_TRUE(TakeRepaints().empty());
        const auto log = TakeLog();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].substr(0, std::string(row.log).size()), row.log);

        win::DriveTable::Instance().SetWriteProtected(u'E', false);
        win::DriveTable::Instance().SetPresent(u'E', true);
        ::chmod(card.Host(file).c_str(), 0644);
        EXPECT_EQ(card.Read(file), old);
        EXPECT_FALSE(card.Exists(file + ".tmp"));
        // Once the card takes it, the same button writes and closes.
        EXPECT_TRUE(driver.Click(row.timeset ? *TimeSet->Button1 : *TimeSet->ButtonOK));
        EXPECT_FALSE(TimeSet->Visible());
        EXPECT_NE(card.Read(file), old);
        TakeRepaints();
    }
}

// Fault: "setup.ini" was emptied and then written, so a card pulled in
// between lost the settings. The new text goes to a temporary file first; a
// stale one from an interrupted write is simply replaced.
TEST_F(SettingsFilesTest, SetupIniIsReplacedOnlyWhenTheNewTextIsComplete)
{
    const std::string old = "[Monitor]\r\nPROTECT_EVFILE=0\r\nGSS_THRESHOLD=9\r\nGSS_EVENT_ENABLE=0\r\n";
    card.Write("setup.ini", old);
    card.Write("setup.ini.tmp", "[Monitor]\r\nPROTE"); // left by an interrupted write
    ShowWindow();
    EXPECT_EQ(Page(), (PageState{false, 0, false})); // the stale text is not read
    driver.Click(*TimeSet->RadioButtonEYes);
    // The temporary file is written but the rename is refused: the old
    // settings stay whole.
    ::chmod(card.Host("setup.ini").c_str(), 0444);
    driver.Click(*TimeSet->ButtonOK);
    EXPECT_EQ(card.Read("setup.ini"), old);
    EXPECT_FALSE(card.Exists("setup.ini.tmp"));
    EXPECT_TRUE(TimeSet->Visible());
    ::chmod(card.Host("setup.ini").c_str(), 0644);
    driver.Click(*TimeSet->ButtonOK);
    EXPECT_EQ(card.Read("setup.ini"), "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=9\r\nGSS_EVENT_ENABLE=0\r\n");
    EXPECT_FALSE(card.Exists("setup.ini.tmp"));
}

// Fault: confirming wrote the track bar's position over a threshold the bar
// cannot show (digits 0 to 4 read as its right end). What the user did not
// move is written back as it was.
TEST_F(SettingsFilesTest, AThresholdTheBarCannotShowIsKeptUnlessMoved)
{
    struct Row {
        char digit;
        std::vector<std::uint16_t> keys; // pressed on the track bar
        char written;
    };
    const Row rows[] = {
        {'2', {}, '2'},
        {'0', {}, '0'},
        {'4', {}, '4'},
        {'2', {VK_LEFT}, '6'},
        {'2', {VK_LEFT, VK_RIGHT}, '5'}, // moved away and back: the bar's own value
        {'2', {VK_RIGHT}, '2'}, // at the end already: not moved
        {'5', {}, '5'},
        {'9', {VK_RIGHT}, '8'},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(1, row.digit) + " +" + std::to_string(row.keys.size()) + " keys");
        card.Write("setup.ini",
                   std::string("[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=") + row.digit +
                       "\r\nGSS_EVENT_ENABLE=1\r\n");
        ShowWindow();
        for (std::uint16_t key : row.keys)
            driver.PressKey(*TimeSet->TrackBarGSet, key);
        driver.Click(*TimeSet->RadioButtonGNo); // the other values are the window's
        driver.Click(*TimeSet->ButtonOK);
        EXPECT_EQ(card.Read("setup.ini"),
                  std::string("[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=") + row.written +
                      "\r\nGSS_EVENT_ENABLE=0\r\n");
    }
    // A later showing of a file without such a digit forgets the kept one.
    card.Write("setup.ini", "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=1\r\nGSS_EVENT_ENABLE=1\r\n");
    ShowWindow();
    driver.Click(*TimeSet->ButtonCancel);
    card.Write("setup.ini", "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=x\r\nGSS_EVENT_ENABLE=1\r\n");
    ShowWindow();
    driver.Click(*TimeSet->ButtonOK);
    EXPECT_EQ(card.Read("setup.ini"), "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=5\r\nGSS_EVENT_ENABLE=1\r\n");
}

} // namespace

namespace {

// The clock page as a person at the screen sets it: clicks on the pickers'
// fields, digits, the spin arrow and the calendar, through the display's
// input route (window coordinates), then 時刻設定.
TEST_F(SettingsFilesTest, TimeSetIniHoldsWhatWasTypedAndClickedIntoThePickers)
{
    card.Write("setup.ini", kDefaultFile);
    ShowWindow();
    PressTab(1);
    TForm& form = *TimeSet;
    auto click = [&](TControl* c, int x, int y) {
        const TPoint p = form.ScreenToClient(c->ClientToScreen(TPoint(x, y)));
        HostInput::Press(form, mbLeft, {}, p.X, p.Y);
        HostInput::Release(form, mbLeft, {}, p.X, p.Y);
    };
    auto type = [&](const char* digits) {
        for (const char* d = digits; *d; ++d) {
            HostInput::KeyDown(form, static_cast<std::uint16_t>(*d), static_cast<char16_t>(*d), {});
            HostInput::KeyUp(form, static_cast<std::uint16_t>(*d), {});
        }
    };
    TDateTimePicker* date = TimeSet->DateTimePicker1;
    TDateTimePicker* time = TimeSet->DateTimePicker2;
    click(date, 10, 12); // year
    type("2030");
    click(date, 50, 12); // month
    type("02");
    click(date, 75, 12); // day: 3 enters at once in February, the 1 waits
    type("31");
    EXPECT_EQ(date->Text(), UnicodeString(u"2030/02/03"));
    click(date, 75, 12); // the 1 enters; typing starts afresh
    EXPECT_EQ(date->Text(), UnicodeString(u"2030/02/01"));
    type("28");
    click(time, 10, 12); // hour
    type("0");
    type("8");
    click(time, 35, 12); // minute
    type("45");
    click(time, time->Width() - 10, 6); // the upper spin arrow
    EXPECT_EQ(date->Text(), UnicodeString(u"2030/02/28"));
    EXPECT_EQ(time->Text(), UnicodeString(u"08:46"));

    // The calendar: the next month, then Friday 8 March (March 2030 starts on a Friday).
    click(date, date->Width() - 10, 12);
    ASSERT_TRUE(date->DroppedDown());
    const TRect box = date->CalendarBounds();
    auto clickCalendar = [&](const TRect& r) {
        const int x = box.Left + (r.Left + r.Right) / 2, y = box.Top + (r.Top + r.Bottom) / 2;
        HostInput::Press(form, mbLeft, {}, x, y);
        HostInput::Release(form, mbLeft, {}, x, y);
    };
    clickCalendar(TCalendarLayout::NextButton());
    clickCalendar(TCalendarLayout::Cell(1, 5));
    EXPECT_FALSE(date->DroppedDown());

    click(TimeSet->Button1, 20, 12);
    EXPECT_EQ(card.Read("TIMESET.ini"), "2030/03/08 08:46\r\n");
    EXPECT_FALSE(TimeSet->Visible());
}

} // namespace
