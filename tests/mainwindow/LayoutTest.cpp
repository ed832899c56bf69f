// Choosing the layout for a work area, what a layout puts where (golden
// dumps, one per layout, beside this file), and a picture of each layout.
#include "MainWindowFixture.h"

#include "app/MyLog.h"
#include "tests/support/BoundedWait.h"
#include "tools/asfwriter/SampleRecording.h"
#include "tracks/DataLoad.h"
#include "mainwindow/LayoutTable.h"
#include "mainwindow/ListView.h"
#include "playback/VideoView.h"
#include "tracks/GraphView.h"
#include "tracks/MapView.h"
#include "tests/support/MainFormState.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

using mainwindow_test::MainWindowTest;

class LayoutTest : public MainWindowTest {};

TEST_F(LayoutTest, TakesTheLargestLayoutThatFitsTheWorkArea)
{
    struct Case {
        int width, height;
        int layout; // -1: none fits
    };
    const Case cases[] = {
        {1450, 1055, 0}, {1449, 1055, 1}, {1450, 1054, 1}, {1920, 1040, 1}, {1210, 883, 1},
        {1209, 883, 2},  {1366, 728, 2},  {910, 669, 2},   {910, 668, 3},   {800, 560, 3},
        {685, 508, 3},   {684, 600, -1},  {800, 507, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        SetWorkArea(c.width, c.height);
        TApplication run;
        TestDriver runDriver(run);
        runDriver.OnFailure = [](const std::string& failure) { ADD_FAILURE() << failure; };
        if (c.layout < 0)
            runDriver.AnswerBox(win::IDOK);
        Application->CreateForm(MainForm);
        EXPECT_EQ(LayoutIndex, c.layout);
        if (c.layout < 0) {
            ASSERT_EQ(runDriver.Boxes().size(), 1u);
            EXPECT_EQ(runDriver.Boxes()[0].text,
                      std::u16string(u"対応解像度未対応です！解像度を大きくしてお願いします。"));
            EXPECT_EQ(runDriver.Boxes()[0].caption, std::u16string(u"Error"));
            EXPECT_EQ(runDriver.Boxes()[0].owner, nullptr);
            runDriver.Pump(); // the quit message that ends the program
            EXPECT_TRUE(Application->Terminated());
            // The creation goes on: the buttons are disabled all the same.
            EXPECT_FALSE(MainForm->ImagePlay->Enabled());
            EXPECT_EQ(MainForm->ImageBase->Picture()->Graphic(), nullptr);
        } else {
            EXPECT_TRUE(runDriver.Boxes().empty());
            runDriver.Pump();
            EXPECT_FALSE(Application->Terminated());
            const TLayoutRecord& r = LayoutTable[c.layout];
            EXPECT_EQ(MainForm->ClientWidth(), r.ClientWidth);
            EXPECT_EQ(MainForm->ClientHeight(), r.ClientHeight);
            // Centred across, at the top when shorter than the work area.
            EXPECT_EQ(MainForm->Left(), (c.width - MainForm->Width()) / 2);
            EXPECT_EQ(MainForm->Top(), MainForm->Height() < c.height ? 0 : (c.height - MainForm->Height()) / 2);
            EXPECT_EQ(MainForm->ImageBase->Picture()->Width(), SkinBackgroundSizes[c.layout].Width);
        }
        Application->DestroyComponents();
    }
}

TEST_F(LayoutTest, BarsAndIconLabelsOfTheLargestAndSmallestLayouts)
{
    SetWorkArea(1450, 1055);
    TMainForm& form = Create();
    ASSERT_EQ(LayoutIndex, 0);
    EXPECT_EQ(form.ImageTrack->BoundsRect(), Bounds(178, 710, 13, 23));
    EXPECT_EQ(form.ImageTrackRect->Width(), 893);
    EXPECT_EQ(form.ImageTrackRect->Height(), 14);
    EXPECT_EQ(StateOf(form).FTrackMin, 178);
    EXPECT_EQ(StateOf(form).FTrackMax, 1058);
    EXPECT_EQ(StateOf(form).FVolumeMin, 1171);
    EXPECT_EQ(StateOf(form).FVolumeMax, 1409);
    for (TLabel* label : StateOf(form).FIconLabels) {
        SCOPED_TRACE(TestDriver::Utf8(label->Name()));
        EXPECT_EQ(label->Left(), 60);
        EXPECT_EQ(label->Width(), 96);
    }
    form.SetVolumePosition(0);
    EXPECT_EQ(form.ImageVolume->Left(), 1171);
    form.SetVolumePosition(30);
    EXPECT_EQ(form.ImageVolume->Left(), 1409 - 13 / 2);

    Application->DestroyComponents();
    SetWorkArea(700, 520);
    TMainForm& small = Create();
    ASSERT_EQ(LayoutIndex, 3);
    EXPECT_EQ(small.ImageTrackRect->Height(), 7);
}

TEST_F(LayoutTest, OnlyANewResolutionChangesTheLayout)
{
    TMainForm& form = Create();
    ASSERT_EQ(LayoutIndex, 1);
    // A taller taskbar: the height alone changes.
    SetWorkArea(1920, 700);
    form.FormResize(&form);
    EXPECT_EQ(LayoutIndex, 1);
    EXPECT_EQ(StateOf(form).FWorkAreaHeight, 1040);
    // The width alone.
    SetWorkArea(1400, 1040);
    form.FormResize(&form);
    EXPECT_EQ(LayoutIndex, 1);
    // Both: the window takes the layout of the new work area.
    SetWorkArea(1366, 728);
    form.FormResize(&form);
    EXPECT_EQ(LayoutIndex, 2);
    EXPECT_EQ(form.ClientWidth(), 900);
    EXPECT_EQ(StateOf(form).FWorkAreaWidth, 1366);
    EXPECT_EQ(StateOf(form).FWorkAreaHeight, 728);
}

// ------------------------------------------------------------ golden dumps

std::string Colour(TColor c)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

std::string Escaped(const UnicodeString& caption)
{
    std::string out;
    for (char c : TestDriver::Utf8(caption))
        out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

std::string FontText(const TFont& font)
{
    return TestDriver::Utf8(font.Name()) + " " + std::to_string(font.Height()) +
        (font.Style().Contains(fsBold) ? " bold" : "") + " #" + Colour(font.Color());
}

std::string Dump(TMainForm& form)
{
    std::ostringstream out;
    out << "# Layout " << LayoutIndex << " of the main window: every control after the layout is applied.\n"
        << "# A difference is legitimate only after a deliberate change of the layout table, the fonts or the\n"
        << "# window's controls; then look at the snapshots and rewrite with VM_UPDATE_GOLDEN=1.\n";
    out << "window " << form.ClientWidth() << "x" << form.ClientHeight() << " font " << FontText(*form.Font())
        << " caption \"" << Escaped(form.Caption()) << "\"\n";
    out << "bars FTrackMin " << StateOf(form).FTrackMin << " FTrackMax " << StateOf(form).FTrackMax << " FVolumeMin "
        << StateOf(form).FVolumeMin << " FVolumeMax " << StateOf(form).FVolumeMax << " FIconFontHeight "
        << StateOf(form).FIconFontHeight << "\n";
    for (int i = 0; i < form.PanelMain->ControlCount(); ++i) {
        TControl* c = form.PanelMain->Controls(i);
        out << TestDriver::Utf8(c->Name()) << " " << c->Left() << "," << c->Top() << " " << c->Width() << "x"
            << c->Height() << " tag " << c->Tag();
        if (dynamic_cast<TLabel*>(c) || dynamic_cast<TEdit*>(c))
            out << " font " << FontText(*c->Font());
        if (!c->Caption().IsEmpty())
            out << " \"" << Escaped(c->Caption()) << "\"";
        if (!c->Hint().IsEmpty())
            out << " hint \"" << Escaped(c->Hint()) << "\"";
        if (!c->Enabled())
            out << " disabled";
        out << "\n";
    }
    return out.str();
}

TEST_F(LayoutTest, EveryLayoutPlacesEveryControlAsItsGoldenDumpSays)
{
    // Work areas that take layouts 0 to 3.
    const int areas[4][2] = {{1920, 1160}, {1920, 1040}, {1366, 728}, {800, 560}};
    const bool update = std::getenv("VM_UPDATE_GOLDEN") != nullptr;
    for (int k = 0; k < LayoutCount; ++k) {
        SCOPED_TRACE("layout " + std::to_string(k));
        SetWorkArea(areas[k][0], areas[k][1]);
        TMainForm& form = Create();
        ASSERT_EQ(LayoutIndex, k);
        const std::string dump = Dump(form);
        const std::string golden =
            std::string(VM_SOURCE_DIR) + "/tests/mainwindow/golden/layout" + std::to_string(k) + ".txt";
        if (update)
            std::ofstream(golden, std::ios::binary) << dump;
        std::ifstream in(golden, std::ios::binary);
        const std::string expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(dump, expected);
        // A picture of the window for a person to look at.
        form.Show();
        EXPECT_TRUE(form.SaveSnapshot(std::string(VM_BINARY_DIR) + "/mainwindow_layout" + std::to_string(k) + ".png"));
        Application->DestroyComponents();
    }
}

TEST_F(LayoutTest, IconCaptionsKeepClearOfTheIconPlates)
{
    const int areas[4][2] = {{1920, 1160}, {1920, 1040}, {1366, 728}, {800, 560}};
    for (int k = 0; k < LayoutCount; ++k) {
        SCOPED_TRACE("layout " + std::to_string(k));
        SetWorkArea(areas[k][0], areas[k][1]);
        TMainForm& form = Create();
        ASSERT_EQ(LayoutIndex, k);
        form.Show();
        for (TLabel* label : StateOf(form).FIconLabels)
            label->SetVisible(false);
        const vcl::PixelBuffer shot = form.Snapshot();
        // The snapshot holds the frame too.
        const TPoint main = form.PanelMain->ClientToScreen(TPoint(0, 0));
        const TPoint origin(main.X - form.Left(), main.Y - form.Top());
        // Where a caption may start, the background is the column's own:
        // the same as at the cell's right end (the column shades only from
        // top to bottom), give or take the JPEG's noise.
        for (int n = 1; n <= 10; ++n) {
            const TLayoutRect& cell = LayoutTable[k].Rects[lrIcon1 + n - 1];
            const int left = StateOf(form).FIconLabels[n - 1]->Left();
            for (int y = cell.Top + 1; y < cell.Top + cell.Height - 2; ++y) {
                const TColor plain = shot.ColorAt(origin.X + cell.Width - 4, origin.Y + y);
                for (int x = left; x < left + 2; ++x) {
                    const TColor c = shot.ColorAt(origin.X + x, origin.Y + y);
                    const int apart =
                        std::max({std::abs(GetRValue(c) - GetRValue(plain)), std::abs(GetGValue(c) - GetGValue(plain)),
                                  std::abs(GetBValue(c) - GetBValue(plain))});
                    ASSERT_LE(apart, 12) << "icon " << n << " at " << x << "," << y;
                }
            }
        }
        Application->DestroyComponents();
    }
}

TEST_F(LayoutTest, SnapshotWithThePanesDocked)
{
    // Three recordings on the card, the first cued with its tracks.
    for (int minute : {30, 35, 40}) {
        asfwriter::SampleOptions o;
        o.seconds = 20;
        o.framesPerSecond = 2;
        o.width = 64;
        o.height = 48;
        o.distinctFrames = 2;
        o.hour = 9;
        o.minute = minute;
        asfwriter::WriteSampleRecording(card.Host("DATA/REC_00" + std::to_string(minute) + ".ASF"), o);
    }
    ViewingAllowed = 1;
    Application->CreateForm(MyLogModule);
    TMainForm& form = Create();
    Application->CreateForm(PlayControl);
    Application->CreateForm(ListControl);
    Application->CreateForm(MapControl);
    Application->CreateForm(GraphControl);
    form.Show();
    driver.Advance(100);
    ASSERT_NE(PlayControl->GInfoLoader, nullptr);
    test_support::WaitUntil(
        [&] {
            driver.Pump();
            return !PlayControl->GInfoLoader->Busy();
        },
        "the first recording's tracks");
    form.SetSeekPosition(0.4);
    driver.Advance(300);
    EXPECT_TRUE(form.SaveSnapshot(std::string(VM_BINARY_DIR) + "/mainwindow_panes.png"));
}

} // namespace
