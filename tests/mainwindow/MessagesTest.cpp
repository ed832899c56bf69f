// The main window's messages, timer, closing sequence, icon looks, button
// pictures and the dragging of the window by its title picture.
#include "MainWindowFixture.h"

#include "app/Dlg.h"
#include "app/MyLog.h"
#include "app/ProgBar.h"
#include "playback/VideoView.h"
#include "recorder/TimerSet.h"
#include "mainwindow/ListView.h"
#include "tests/support/MainFormState.h"

namespace {

using mainwindow_test::MainWindowTest;

class MainWindowMessages : public MainWindowTest {};

TEST_F(MainWindowMessages, PlayStateSwitchesTheStillPictureButtonsAndTheRepaintTimer)
{
    TMainForm& form = Create();
    struct Row {
        win::WPARAM running;
        bool buttonsEnabled;
        bool timerEnabled;
    };
    const Row rows[] = {{1, false, false}, {0, true, true}, {0, true, true}, {2, false, false}, {1, false, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.running);
        form.Perform(WM_PLAY_STATE, row.running, 0);
        EXPECT_EQ(form.ImageScreenShot->Enabled(), row.buttonsEnabled);
        EXPECT_EQ(form.ImagePrint->Enabled(), row.buttonsEnabled);
        EXPECT_EQ(form.Timer1->Enabled(), row.timerEnabled);
    }
    // Stopped with nothing prepared: the one-shot timer runs once and asks
    // nobody for a repaint.
    form.Perform(WM_PLAY_STATE, 0, 0);
    driver.Advance(100);
    EXPECT_FALSE(form.Timer1->Enabled());
    EXPECT_EQ(form.Timer1->TickCount(), 1);
    driver.Advance(500);
    EXPECT_EQ(form.Timer1->TickCount(), 1);
}

TEST_F(MainWindowMessages, FocusMessagesKeepTheLostFlag)
{
    TMainForm& form = Create();
    form.Perform(win::WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(StateOf(form).FFocusLost, 1);
    // The card does not answer: nothing happens, the flag stays.
    win::DriveTable::Instance().SetPresent(u'E', false);
    form.Perform(win::WM_SETFOCUS, 0, 0);
    EXPECT_EQ(StateOf(form).FFocusLost, 1);
    win::DriveTable::Instance().SetPresent(u'E', true);
    form.Perform(win::WM_SETFOCUS, 0, 0);
    EXPECT_EQ(StateOf(form).FFocusLost, 0);
}

TEST_F(MainWindowMessages, ClosingWithoutALongOperationStopsTimersAndEndsTheLoop)
{
    TMainForm& form = Create();
    form.Show();
    form.Timer1->SetEnabled(true);
    form.TimerGps->SetEnabled(true);
    const std::uint64_t start = driver.Clock().MonotonicMs();
    form.Close();
    EXPECT_FALSE(form.Timer1->Enabled());
    EXPECT_FALSE(form.TimerGps->Enabled());
    EXPECT_EQ(driver.Clock().MonotonicMs() - start, 300u);
    driver.Pump();
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(MainWindowMessages, ClosingDuringALongOperationAsksFirst)
{
    TMainForm& form = Create();
    Application->CreateForm(SDDlg);
    Application->CreateForm(ProgForm);
    form.Show();
    ProgForm->ShowProgress(true);

    // Cancel: the window stays and the operation goes on.
    driver.Then([&] {
        EXPECT_EQ(SDDlg->Line2Label->Caption(), UnicodeString(u"      終了しますか。     "));
        driver.Click(*SDDlg->NGLabel);
    });
    form.Close();
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(ProgForm->FAbort, 0);
    driver.Pump();
    EXPECT_FALSE(Application->Terminated());

    // Yes: the operation is told to stop, then the window closes.
    driver.Then([&] { driver.Click(*SDDlg->OKSDLabel); });
    const std::uint64_t start = driver.Clock().MonotonicMs();
    form.Close();
    EXPECT_EQ(ProgForm->FAbort, 1);
    EXPECT_EQ(driver.Clock().MonotonicMs() - start, 800u);
    driver.Pump();
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(MainWindowMessages, TitleDragMovesTheWindowByTheMouse)
{
    TMainForm& form = Create();
    form.Show();
    TImage& title = *form.ImageFormTitle;
    const int left = form.Left(), top = form.Top();
    // Moves without a press do nothing.
    driver.MouseMove(title, 50, 20);
    EXPECT_EQ(form.Left(), left);
    // Any button starts the drag.
    EXPECT_TRUE(driver.MouseDown(title, 10, 3, mbRight));
    driver.MouseMove(title, 30, 8);
    EXPECT_EQ(form.Left(), left + 20);
    EXPECT_EQ(form.Top(), top + 5);
    // The picture moved with the window: the same screen point is (10, 3) again.
    driver.MouseMove(title, 10, 3);
    EXPECT_EQ(form.Left(), left + 20);
    driver.MouseMove(title, 0, 0);
    EXPECT_EQ(form.Left(), left + 10);
    EXPECT_EQ(form.Top(), top + 2);
    EXPECT_TRUE(driver.MouseUp(title, 0, 0, mbRight));
    EXPECT_EQ(StateOf(form).FTitleDragging, 0);
    driver.MouseMove(title, 40, 40);
    EXPECT_EQ(form.Left(), left + 10);
}

// The decoded resource, to compare a button's picture with.
PixelBuffer ResourcePicture(const UnicodeString& name)
{
    TResourceStream stream(HInstance, name, u"JPEG");
    TJPEGImage jpeg;
    jpeg.LoadFromStream(stream);
    return jpeg.Bitmap().Pixels();
}

PixelBuffer Shown(TImage* image) { return image->Picture()->Bitmap()->Pixels(); }

TEST_F(MainWindowMessages, SkinnedButtonsShowTheirPressedPictureWhileHeld)
{
    TMainForm& form = Create();
    form.Show();
    form.SetPlayButtonsEnabled(true);
    TImage* buttons[] = {form.ImageComaPre,   form.ImagePlay,      form.ImageComaNext, form.ImageStop,
                         form.ImageSpeedDown, form.ImageSpeedNone, form.ImageSpeedUp,  form.ImageZoom1,
                         form.ImageZoom2,     form.ImageZoom3,     form.ImageZoom4,    form.ImageZoom0};
    for (TImage* button : buttons) {
        SCOPED_TRACE(TestDriver::Utf8(button->Name()));
        const UnicodeString tag = IntToStr(static_cast<int>(button->Tag()));
        EXPECT_TRUE(Shown(button) == ResourcePicture(u"BTN_A_" + tag));
        EXPECT_TRUE(driver.MouseDown(*button, 3, 3));
        EXPECT_TRUE(Shown(button) == ResourcePicture(u"BTN_B_" + tag));
        EXPECT_TRUE(driver.MouseUp(*button, 3, 3, mbLeft));
        EXPECT_TRUE(Shown(button) == ResourcePicture(u"BTN_A_" + tag));
    }
    // A disabled button keeps its picture on a press; a release shows the
    // normal one.
    form.ImagePlay->SetEnabled(false);
    form.ImageBtnMouseDown(form.ImagePlay, mbLeft, {}, 0, 0);
    EXPECT_TRUE(Shown(form.ImagePlay) == ResourcePicture(u"BTN_A_2"));
    form.ImagePlay->Picture()->Assign(nullptr);
    form.ImageBtnMouseUp(form.ImagePlay, mbLeft, {}, 0, 0);
    EXPECT_TRUE(Shown(form.ImagePlay) == ResourcePicture(u"BTN_A_2"));
}

TEST_F(MainWindowMessages, IconCaptionsGrowUnderTheMouseAndGreyWhilePressed)
{
    TMainForm& form = Create();
    form.Show();
    ASSERT_EQ(LayoutIndex, 1);
    TLabel* caption = form.LabelIcon_6;
    struct Step {
        const char* event;
        TColor colour;
        int height;
    };
    const Step steps[] = {
        {"enter", clSkinCream, 16}, {"down", clSkinSilver, 16}, {"up", clSkinCream, 16}, {"leave", clSkinCream, 14}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.event);
        const std::string e = step.event;
        if (e == "enter")
            form.ImageIconMouseEnter(form.ImageTime);
        else if (e == "down")
            form.ImageIconMouseDown(form.ImageTime, mbLeft, {}, 1, 1);
        else if (e == "up")
            form.ImageIconMouseUp(form.ImageTime, mbLeft, {}, 1, 1);
        else
            form.ImageIconMouseLeave(form.ImageTime);
        EXPECT_EQ(caption->Font()->Color(), step.colour);
        EXPECT_EQ(caption->Font()->Height(), step.height);
    }
    // A disabled icon keeps its caption; leaving restores the height.
    ASSERT_FALSE(form.ImageDel->Enabled());
    form.LabelIcon_9->Font()->SetHeight(30);
    form.ImageIconMouseEnter(form.ImageDel);
    form.ImageIconMouseDown(form.ImageDel, mbLeft, {}, 1, 1);
    EXPECT_EQ(form.LabelIcon_9->Font()->Height(), 30);
    form.ImageIconMouseLeave(form.ImageDel);
    EXPECT_EQ(form.LabelIcon_9->Font()->Height(), 14);
}

TEST_F(MainWindowMessages, ChannelButtonsWithoutARecordingDoNothing)
{
    TMainForm& form = Create();
    form.Show();
    form.SetPlayButtonsEnabled(true);
    const std::string settings = card.Read("Icon/view");
    for (TImage* button : {form.Image2Screen, form.Image4Screen, form.ImageZoom1, form.ImageZoom0}) {
        SCOPED_TRACE(TestDriver::Utf8(button->Name()));
        EXPECT_TRUE(driver.Click(*button));
        EXPECT_EQ(form.ScreenMode(), 2);
        EXPECT_FALSE(form.Timer1->Enabled());
    }
    EXPECT_EQ(card.Read("Icon/view"), settings);
}

TEST_F(MainWindowMessages, ChannelButtonsSwitchTheViewAndStoreTheMode)
{
    Application->CreateForm(MyLogModule);
    TMainForm& form = Create();
    Application->CreateForm(PlayControl);
    Application->CreateForm(ListControl);
    ASSERT_NE(PlayControl, nullptr);
    form.Show();
    form.SetPlayButtonsEnabled(true);
    // A selected row (the views act only on one).
    ListControl->ListView1->Items()->Add()->SetCaption(u"row");
    ListControl->ListView1->SetItemIndex(0);
    form.SetPlayButtonsEnabled(true);
    struct Row {
        TImage* button;
        std::int32_t channelMode;
        std::int32_t screenMode;
        bool lowerZoom;
        const char* screen; // stored, or null when the mode is not stored
    };
    const Row rows[] = {
        {form.Image2Screen, 2, 1, false, "screen=2"}, {form.ImageZoom1, 11, 1, false, nullptr},
        {form.ImageZoom3, 11, 1, false, nullptr},     {form.ImageZoom0, 2, 1, false, "screen=2"},
        {form.Image4Screen, 4, 2, true, "screen=4"},  {form.ImageZoom4, 14, 2, true, nullptr},
        {form.ImageZoom2, 12, 2, true, nullptr},      {form.ImageZoom0, 4, 2, true, "screen=4"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(TestDriver::Utf8(row.button->Name()));
        form.Timer1->SetEnabled(false);
        // A disabled lower quadrant takes no click in the two-channel view.
        EXPECT_EQ(driver.Click(*row.button), row.button->Enabled());
        EXPECT_EQ(ChannelMode, row.channelMode);
        EXPECT_EQ(form.ScreenMode(), row.screenMode);
        EXPECT_EQ(form.ImageZoom3->Enabled(), row.lowerZoom);
        EXPECT_EQ(form.ImageZoom4->Enabled(), row.lowerZoom);
        if (row.screen) {
            EXPECT_NE(card.Read("Icon/view").find(row.screen), std::string::npos);
            EXPECT_TRUE(form.Timer1->Enabled());
        }
    }
}

TEST_F(MainWindowMessages, SeekThumbPlacesAndReadsPositions)
{
    SetWorkArea(1450, 1055); // layout 0: the thumb travels from 178 to 1058
    TMainForm& form = Create();
    const std::int64_t duration = 600000000; // one minute
    form.SetSeekRange(duration);
    EXPECT_DOUBLE_EQ(StateOf(form).FSeekScale, 880.0 / 600000000.0);
    form.SetSeekRange(0); // no length: the scale stays
    EXPECT_DOUBLE_EQ(StateOf(form).FSeekScale, 880.0 / 600000000.0);
    struct Row {
        double fraction;
        int left;
        std::int64_t position;
    };
    const Row rows[] = {{0.0, 178, 0},
                        {0.5, 618, 300000000},
                        {0.9999, 1057, 599318181},
                        {1.0, 1058, 600000000},
                        {1.5, 1058, 600000000}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fraction);
        form.SetSeekPosition(row.fraction);
        EXPECT_EQ(form.ImageTrack->Left(), row.left);
        EXPECT_EQ(form.GetSeekPosition(), row.position);
    }
    form.TimerGps->SetEnabled(true);
    form.ClearMapTrace();
    EXPECT_FALSE(form.TimerGps->Enabled());
}

TEST_F(MainWindowMessages, RecorderSettingsIconShowsItsWindowWhileTheCardAnswers)
{
    TMainForm& form = Create();
    Application->CreateForm(TimeSet);
    form.Show();
    win::DriveTable::Instance().SetPresent(u'E', false);
    EXPECT_TRUE(driver.Click(*form.ImageTime));
    EXPECT_FALSE(TimeSet->Visible());
    win::DriveTable::Instance().SetPresent(u'E', true);
    EXPECT_TRUE(driver.Click(*form.ImageTime));
    EXPECT_TRUE(TimeSet->Visible());
    EXPECT_FALSE(TimeSet->Modal());
}

TEST_F(MainWindowMessages, PressedLooksSnapshot)
{
    // A picture of the window with a held button and a hovered icon.
    TMainForm& form = Create();
    form.Show();
    form.SetPlayButtonsEnabled(true);
    form.ImageIconMouseEnter(form.ImageFind);
    form.ImageBtnMouseDown(form.ImagePlay, mbLeft, {}, 0, 0);
    form.ImageBtnMouseDown(form.ImageZoom2, mbLeft, {}, 0, 0);
    form.SetVolumePosition(20);
    EXPECT_TRUE(form.SaveSnapshot(std::string(VM_BINARY_DIR) + "/mainwindow_pressed.png"));
}

} // namespace
