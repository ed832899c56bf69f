// The page control: pages and the active one, tabs a person presses, and
// pages that leave.
#include <gtest/gtest.h>

#include "VclFixture.h"

namespace {

class PageControlTest : public VclTest {
protected:
    PageControlTest()
    {
        form = NewForm<TForm>(&app);
        form->SetName(u"F");
        form->Font()->SetHeight(-16);
        pages = new TPageControl(form);
        pages->SetParent(form);
        pages->SetBounds(0, 0, 457, 315);
        pages->OnChanging = [this](TObject*, bool& allow) {
            log.Add("changing " + std::to_string(pages->ActivePageIndex()));
            allow = allowChange;
        };
        pages->OnChange = [this](TObject*) { log.Add("change " + std::to_string(pages->ActivePageIndex())); };
        first = AddPage(u"G感度調整");
        second = AddPage(u"時刻設定");
        form->Show();
    }
    TTabSheet* AddPage(const char16_t* caption)
    {
        auto* page = new TTabSheet(form);
        page->SetCaption(caption);
        page->SetPageControl(pages);
        return page;
    }
    // A person's press on a tab.
    void PressTab(int index)
    {
        const TRect r = pages->TabRect(index);
        const TPoint p((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
        driver->MouseDown(*pages, p.X, p.Y);
        driver->MouseUp(*pages, p.X, p.Y);
    }

    TForm* form;
    TPageControl* pages;
    TTabSheet* first;
    TTabSheet* second;
    EventLog log;
    bool allowChange = true;
};

TEST_F(PageControlTest, PagesFillTheAreaUnderTheTabsAndOnlyTheActiveShows)
{
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->ActivePage(), first); // the first page added
    EXPECT_EQ(first->PageIndex(), 0);
    EXPECT_EQ(second->PageIndex(), 1);
    EXPECT_EQ(first->BoundsRect(), TRect(4, 28, 453, 311)); // 449 x 283
    EXPECT_EQ(second->BoundsRect(), first->BoundsRect());
    EXPECT_TRUE(first->Showing());
    EXPECT_FALSE(second->Showing());
    // Tabs side by side, each its text's width and 8 px either side.
    EXPECT_EQ(pages->TabRect(0), TRect(2, 2, 2 + 8 + 4 * 16 + 16, 24));
    EXPECT_EQ(pages->TabRect(1).Left, pages->TabRect(0).Right);
    EXPECT_EQ(pages->IndexOfTabAt(10, 10), 0);
    EXPECT_EQ(pages->IndexOfTabAt(pages->TabRect(1).Left + 1, 10), 1);
    EXPECT_EQ(pages->IndexOfTabAt(400, 10), -1);
    EXPECT_EQ(pages->IndexOfTabAt(10, 100), -1);
    EXPECT_THROW(pages->Pages(2), EListError);
    EXPECT_THROW(pages->Pages(-1), EListError);
}

TEST_F(PageControlTest, APressOnATabAsksThenSwitchesTheProgramsChangeRaisesNothing)
{
    PressTab(1);
    EXPECT_EQ(pages->ActivePage(), second);
    EXPECT_TRUE(second->Showing());
    EXPECT_FALSE(first->Showing());
    PressTab(1); // the active tab: nothing
    allowChange = false;
    PressTab(0); // refused
    EXPECT_EQ(pages->ActivePage(), second);
    allowChange = true;
    pages->SetActivePageIndex(0);
    EXPECT_EQ(pages->ActivePage(), first);
    pages->SetActivePageIndex(5); // out of range: no page
    EXPECT_EQ(pages->ActivePage(), nullptr);
    EXPECT_EQ(pages->ActivePageIndex(), -1);
    pages->SetActivePage(first);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"changing 0", "change 1", "changing 1"}));

    auto* stranger = new TTabSheet(form);
    stranger->SetParent(form);
    pages->SetActivePage(stranger); // not one of its pages
    EXPECT_EQ(pages->ActivePage(), first);
}

TEST_F(PageControlTest, APageThatLeavesPassesTheActivationOn)
{
    auto* third = AddPage(u"三");
    EXPECT_FALSE(third->Showing());
    pages->SetActivePage(second);
    delete second;
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->ActivePage(), third); // the page after it
    third->SetParent(form); // moved out
    EXPECT_EQ(pages->PageCount(), 1);
    EXPECT_EQ(third->PageControl(), nullptr);
    EXPECT_EQ(pages->ActivePage(), first); // the page before it
    delete pages; // the pages outlive their control
    EXPECT_EQ(first->PageControl(), nullptr);
    EXPECT_EQ(first->PageIndex(), -1);
}

TEST_F(PageControlTest, ResizingMovesThePages)
{
    pages->SetBounds(0, 0, 200, 100);
    EXPECT_EQ(second->BoundsRect(), TRect(4, 28, 196, 96));
}

} // namespace
