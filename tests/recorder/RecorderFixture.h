// The recorder settings window on a card: drive E: (removable) with the
// program at its root, the log, the playback control that takes the repaint
// requests, and a virtual clock the test sets.
#pragma once

#include "app/Globals.h"
#include "app/MyLog.h"
#include "platform/vcl/TestDriver.h"
#include "platform/win/win.h"
#include "playback/VideoView.h"
#include "recorder/TimerSet.h"
#include "tests/app/AppCard.h"
#include "tests/support/LogLines.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace recorder_test {

// Previous control states that no file gives, so that what a showing leaves
// untouched can be seen.
struct PageState {
    bool eventYes;
    int position;
    bool gYes;
    bool operator==(const PageState&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const PageState& s)
{
    return out << "{E " << (s.eventYes ? "許可" : "禁止") << ", bar " << s.position << ", G "
               << (s.gYes ? "有効" : "無効") << "}";
}

// Repaint requests as {wParam, lParam}.
using Repaints = std::vector<std::pair<win::WPARAM, win::LPARAM>>;

class RecorderTest : public ::testing::Test {
protected:
    RecorderTest()
    {
        driver.OnFailure = [](const std::string& failure) { ADD_FAILURE() << failure; };
        win::SetScreen(win::SIZE{1920, 1080}, win::RECT{0, 0, 1920, 1040});
        SetClock(2024, 3, 5, 14, 7, 9);
        savedFolder = ProgramFolder;
        savedDrive = ProgramDrive;
        ProgramFolder = u"E:\\";
        ProgramDrive = 'E';
        Application->CreateForm(MyLogModule);
        Application->CreateForm(main);
        Application->CreateForm(TimeSet);
        Application->CreateForm(PlayControl);
        main->SetName(u"MainForm");
        main->Show();
        TakeRepaints();
        logFrom = MyLogModule->LineCount();
    }
    ~RecorderTest() override
    {
        Application->DestroyComponents();
        ProgramFolder = savedFolder;
        ProgramDrive = savedDrive;
        win::ResetScreen();
    }

    void SetClock(int year, int month, int day, int hour, int minute, int second)
    {
        win::ClockDateTime now;
        now.year = year;
        now.month = month;
        now.day = day;
        now.hour = hour;
        now.minute = minute;
        now.second = second;
        driver.Clock().SetNow(now);
    }

    // The repaint requests waiting in the playback control's queue.
    Repaints TakeRepaints()
    {
        Repaints taken;
        win::MSG m;
        while (win::PeekMessage(&m, PlayControl->Handle(), WM_VIDEO_REPAINT, WM_VIDEO_REPAINT, win::PM_REMOVE))
            taken.emplace_back(m.wParam, m.lParam);
        return taken;
    }

    // Shows the window as the main window's icon does; a missing "setup.ini"
    // brings the warning box, which is answered with OK.
    void ShowWindow()
    {
        const bool missing = !card.Exists("setup.ini");
        if (missing)
            driver.AnswerBox(win::IDOK);
        EXPECT_TRUE(TimeSet->ShowWhenCardReady());
        EXPECT_EQ(driver.PendingBoxAnswers(), 0);
    }

    // A person's press on the tab of page index (0 G-sensor, 1 clock).
    void PressTab(int index)
    {
        const TRect tab = TimeSet->PageControl1->TabRect(index);
        const int x = (tab.Left + tab.Right) / 2, y = (tab.Top + tab.Bottom) / 2;
        driver.MouseDown(*TimeSet->PageControl1, x, y);
        driver.MouseUp(*TimeSet->PageControl1, x, y);
    }

    void SetPage(const PageState& s)
    {
        (s.eventYes ? TimeSet->RadioButtonEYes : TimeSet->RadioButtonENo)->SetChecked(true);
        TimeSet->TrackBarGSet->SetPosition(s.position);
        (s.gYes ? TimeSet->RadioButtonGYes : TimeSet->RadioButtonGNo)->SetChecked(true);
    }
    PageState Page() const
    {
        return {TimeSet->RadioButtonEYes->Checked(), TimeSet->TrackBarGSet->Position(),
                TimeSet->RadioButtonGYes->Checked()};
    }

    // The log lines written since the fixture was built (or since the last
    // call), "[Error] text".
    std::vector<std::string> TakeLog()
    {
        auto lines = test_support::TaggedLogLines(*MyLogModule, logFrom);
        logFrom = MyLogModule->LineCount();
        return lines;
    }

    app_test::AppCard card{u'E', true, false};
    TApplication app;
    TestDriver driver;
    TForm* main = nullptr;
    UnicodeString savedFolder;
    char savedDrive = 0;
    int logFrom = 0;
};

} // namespace recorder_test
