// Painting only what changed: a window presenter keeps the client picture
// of a form and paints again only the areas it is told of (PaintArea).
// Whatever changes, the kept picture painted that way must equal a whole
// paint of the form.
#include <gtest/gtest.h>

#include <functional>

#include "VclFixture.h"
#include "platform/chart/Chart.h"
#include "platform/vcl/PaintArea.h"

namespace {

// Keeps a form's client picture as a presenter on a display does.
class KeepingPresenter : public WindowPresenter {
public:
    explicit KeepingPresenter(TCustomForm& form) : form_(form) { picture = Whole(); }
    void Invalidated(TControl& control) override
    {
        if (GetParentForm(&control) == &form_)
            areas.push_back(PaintArea::Of(control));
    }
    void InvalidatedPart(TControl& control, const TRect& rect) override
    {
        if (GetParentForm(&control) == &form_)
            areas.push_back(PaintArea::OfPart(control, rect));
    }
    void SurfacePainted(TWinControl& control) override
    {
        ++surfaces;
        const win::WindowSurface* from = control.PaintedSurface();
        const TPoint at = PaintArea::ClientOrigin(control);
        const TRect area = PaintArea::ClientOf(control)
                               .Intersect(TRect(0, 0, picture.Width(), picture.Height()))
                               .Intersect(TRect(at.X, at.Y, at.X + from->width, at.Y + from->height));
        if (PaintArea::Covered(control, area)) {
            areas.push_back(area);
            return;
        }
        for (int y = area.Top; y < area.Bottom; ++y)
            for (int x = area.Left; x < area.Right; ++x)
                picture.Row(y)[x] = from->pixels[static_cast<std::size_t>(y - at.Y) * from->width + (x - at.X)];
    }
    // Paints the areas told since the last call into the kept picture.
    void Flush()
    {
        for (const TRect& a : areas) {
            TCanvas canvas(&picture);
            canvas.SetClip(a.Intersect(TRect(0, 0, picture.Width(), picture.Height())));
            if (!canvas.Clip().Empty())
                form_.PaintTo(canvas, -form_.FrameX(), -form_.FrameTop());
        }
        areas.clear();
    }
    PixelBuffer Whole() const
    {
        PixelBuffer whole(form_.ClientWidth(), form_.ClientHeight(), PixelBuffer::FromColor(clBlack));
        TCanvas canvas(&whole);
        form_.PaintTo(canvas, -form_.FrameX(), -form_.FrameTop());
        return whole;
    }

    PixelBuffer picture;
    std::vector<TRect> areas;
    int surfaces = 0;

private:
    TCustomForm& form_;
};

class PaintAreaTest : public VclTest {
protected:
    PaintAreaTest()
    {
        form = NewForm<TForm>(&app);
        form->SetBorderStyle(bsSingle); // a frame and a caption: the client area is offset
        form->SetBounds(10, 10, 240, 180);
        form->SetColor(clNavy);
        outer = Panel(form, 20, 10, 150, 110, clGray);
        inner = Panel(outer, 30, 20, 200, 40, clYellow); // reaches out of its parent
        label = new TLabel(form);
        label->SetParent(inner);
        label->SetBounds(4, 4, 80, 16);
        label->SetCaption(u"ab");
        label->SetTransparent(false);
        label->SetColor(clRed);
        form->Show();
    }
    TPanel* Panel(TWinControl* parent, int left, int top, int width, int height, TColor colour)
    {
        auto* p = new TPanel(form);
        p->SetParent(parent);
        p->SetBevelOuter(bvNone);
        p->SetBounds(left, top, width, height);
        p->SetColor(colour);
        return p;
    }
    TForm* form;
    TPanel* outer;
    TPanel* inner;
    TLabel* label;
};

TEST_F(PaintAreaTest, AreasAreClientPixelsClippedByEveryParent)
{
    EXPECT_EQ(PaintArea::Of(*form), TRect(0, 0, form->ClientWidth(), form->ClientHeight()));
    EXPECT_EQ(PaintArea::Of(*outer), TRect(20, 10, 170, 120));
    EXPECT_EQ(PaintArea::Of(*inner), TRect(50, 30, 170, 70)) << "cut at the outer panel's right edge";
    EXPECT_EQ(PaintArea::Of(*label), TRect(54, 34, 54 + label->Width(), 34 + label->Height()));
    EXPECT_EQ(PaintArea::ClientOrigin(*inner), TPoint(50, 30));
    EXPECT_EQ(PaintArea::ClientOf(*inner), TRect(50, 30, 170, 70));
    outer->SetVisible(false);
    EXPECT_TRUE(PaintArea::ClientOf(*inner).Empty()) << "a hidden parent shows no surface";
    EXPECT_EQ(PaintArea::Of(*inner), TRect(50, 30, 170, 70)) << "but its place is still its place";
}

TEST_F(PaintAreaTest, PaintingOnlyWhatWasToldEqualsAWholePaint)
{
    struct Change {
        const char* name;
        std::function<void()> make;
    };
    TLabel* other = nullptr;
    const Change changes[] = {
        {"a caption", [&] { label->SetCaption(u"abcdef"); }},
        {"a colour", [&] { inner->SetColor(clLime); }},
        {"a move out of its old place", [&] { label->SetBounds(40, 12, 60, 20); }},
        {"a parent's move", [&] { inner->SetBounds(5, 60, 90, 30); }},
        {"a hide", [&] { outer->SetVisible(false); }},
        {"a show", [&] { outer->SetVisible(true); }},
        {"a new control",
         [&] {
             other = new TLabel(form);
             other->SetParent(outer);
             other->SetBounds(2, 2, 40, 12);
             other->SetTransparent(false);
             other->SetColor(clWhite);
         }},
        {"leaving its parent", [&] { other->SetParent(nullptr); }},
        {"coming back", [&] { other->SetParent(outer); }},
        {"going for good", [&] { delete other; }},
        {"a resize of the form", [&] { form->SetBounds(10, 10, 300, 200); }},
    };
    KeepingPresenter presenter(*form);
    ScopedPresenter installed(presenter);
    for (const Change& c : changes) {
        SCOPED_TRACE(c.name);
        c.make();
        if (presenter.picture.Width() != form->ClientWidth() || presenter.picture.Height() != form->ClientHeight())
            presenter.picture.Resize(form->ClientWidth(), form->ClientHeight());
        presenter.Flush();
        EXPECT_TRUE(presenter.picture == presenter.Whole());
    }
}

// A cursor line moving along a chart repaints two thin strips; a change
// that moves the rest of the chart repaints it whole. Either way the kept
// picture stays what a whole paint gives.
TEST_F(PaintAreaTest, AChartRepaintsOnlyTheStripsOfALineThatMovesAlone)
{
    auto* chart = new chart::TChart(form);
    chart->SetParent(outer);
    chart->SetBounds(5, 5, 140, 100);
    chart->SetColor(clBlack);
    for (chart::TChartAxis* axis : {chart->BottomAxis(), chart->LeftAxis()})
        axis->SetAutomatic(false);
    chart->BottomAxis()->SetMinMax(0.0, 100.0);
    chart->LeftAxis()->SetMinMax(-10.0, 10.0);
    chart->RightAxis()->SetVisible(false);
    auto* data = new chart::TLineSeries(chart);
    chart->AddSeries(data);
    for (int i = 0; i <= 100; i += 10)
        data->AddXY(i, (i % 20) - 5.0);
    auto* cursor = new chart::TLineSeries(chart);
    cursor->LinePen = TPen{clWhite, 3};
    chart->AddSeries(cursor);
    const auto moveCursor = [&](double t) {
        cursor->Clear();
        cursor->AddXY(t, 200.0);
        cursor->AddXY(t, -100.0);
    };
    moveCursor(20.0);

    KeepingPresenter presenter(*form);
    ScopedPresenter scoped(presenter);
    struct Change {
        const char* name;
        std::function<void()> make;
        bool whole; // the chart's whole area is told
    };
    const Change changes[] = {
        {"the cursor moves on", [&] { moveCursor(21.0); }, false},
        {"the cursor moves far", [&] { moveCursor(80.0); }, false},
        {"the cursor leaves the range", [&] { moveCursor(150.0); }, false},
        {"and comes back", [&] { moveCursor(50.0); }, false},
        {"a series hidden", [&] { data->SetActive(false); }, false},
        {"and shown", [&] { data->SetActive(true); }, false},
        {"the time range moves", [&] { chart->BottomAxis()->SetMinMax(40.0, 140.0); }, true},
        {"the cursor after it", [&] { moveCursor(60.0); }, false},
        {"a range that follows the values",
         [&] {
             chart->LeftAxis()->SetAutomatic(true);
             data->AddXY(110.0, 30.0);
         },
         true},
    };
    const TRect whole = PaintArea::Of(*chart);
    for (const Change& c : changes) {
        SCOPED_TRACE(c.name);
        presenter.Flush();
        c.make();
        bool told = false, toldWhole = false;
        for (const TRect& a : presenter.areas) {
            told = told || !a.Intersect(whole).Empty();
            toldWhole = toldWhole || a.Intersect(whole) == whole;
        }
        EXPECT_TRUE(told);
        EXPECT_EQ(toldWhole, c.whole);
        if (!c.whole && std::string(c.name).find("cursor") != std::string::npos) {
            for (const TRect& a : presenter.areas)
                EXPECT_LE(a.Width(), 12) << "a strip, not the chart";
        }
        presenter.Flush();
        EXPECT_TRUE(presenter.picture == presenter.Whole());
    }
}

TEST_F(PaintAreaTest, APaintedSurfaceGoesStraightIntoThePictureUnlessCovered)
{
    KeepingPresenter presenter(*form);
    ScopedPresenter installed(presenter);
    const auto paintSurface = [&](TWinControl& control, std::uint32_t pixel) {
        win::PAINTSTRUCT paint;
        ASSERT_NE(win::BeginPaint(control.Handle(), &paint), nullptr);
        win::WindowSurface* surface = win::SurfaceOfDC(paint.hdc);
        std::fill(surface->pixels.begin(), surface->pixels.end(), pixel);
        ASSERT_EQ(win::EndPaint(control.Handle(), &paint), 1);
    };

    paintSurface(*outer, 0x00123456u); // the inner panel lies over part of it
    EXPECT_EQ(presenter.surfaces, 1);
    EXPECT_EQ(presenter.areas.size(), 1u) << "covered by its child: painted the long way";
    presenter.Flush();
    EXPECT_TRUE(presenter.picture == presenter.Whole());

    label->SetParent(nullptr);
    presenter.Flush();
    paintSurface(*inner, 0x00654321u);
    EXPECT_EQ(presenter.surfaces, 2);
    EXPECT_TRUE(presenter.areas.empty()) << "nothing over it: copied at once";
    EXPECT_EQ(presenter.picture.Row(40)[60], 0x00654321u);
    EXPECT_TRUE(presenter.picture == presenter.Whole());
    delete label;
}

} // namespace
