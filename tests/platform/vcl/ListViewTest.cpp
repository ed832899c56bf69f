// The list view: selection events in the framework's order, rows and
// sub-items, check boxes and column clicks by mouse, bad indexes, painting;
// the image list; the folder picker answered by the test driver.
#include "VclFixture.h"

namespace {

class ListViewTest : public VclTest {
protected:
    ListViewTest()
    {
        form = vcl::NewForm<vcl::TForm>(nullptr);
        form->SetName(u"Form1");
        form->SetBorderStyle(vcl::bsNone);
        form->SetBounds(0, 0, 300, 200);
        view = new vcl::TListView(form);
        view->SetName(u"ListView1");
        view->SetParent(form);
        view->SetBounds(0, 0, 300, 200);
        view->SetViewStyle(vcl::vsReport);
        view->SetCheckboxes(true);
        for (int w : {30, 120, 100})
            view->AddColumn()->SetWidth(w);
        for (int i = 0; i < 4; ++i) {
            vcl::TListItem* item = view->Items()->Add();
            item->SetCaption(IntToStr(i));
            item->SubItems()->Add(u"sub" + IntToStr(i));
            item->SubItems()->Add(UnicodeString());
        }
        view->OnSelectItem = [this](TObject*, vcl::TListItem* item, bool selected) {
            log.Add((selected ? "select " : "deselect ") + std::to_string(item->Index()));
        };
        form->Show();
    }
    ~ListViewTest() override { delete form; }

    // The client point of a row's middle.
    static int RowY(int row) { return vcl::TListView::HeaderHeight + row * vcl::TListView::RowHeight + 8; }

    vcl::TForm* form = nullptr;
    vcl::TListView* view = nullptr;
    EventLog log;
};

TEST_F(ListViewTest, BadIndexesRaise)
{
    EXPECT_THROW(view->Items()->Item(4), EListError);
    EXPECT_THROW(view->Items()->Item(-1), EListError);
    EXPECT_THROW(view->SetItemIndex(4), EListError);
    EXPECT_THROW(view->Items()->Delete(9), EListError);
    EXPECT_THROW(view->Column(3), EListError);
    EXPECT_THROW(view->Items()->Item(0)->SetSubItemImages(-1, 0), EListError);
    EXPECT_EQ(view->Items()->Item(0)->SubItemImages(7), -1) << "a sub-item picture never set reads as none";
    EXPECT_TRUE(log.Take().empty());
}

TEST_F(ListViewTest, SelectionChangesRaiseDeselectThenSelectOnlyOnARealChange)
{
    struct Row {
        const char* what;
        std::function<void()> act;
        std::vector<std::string> events;
        int itemIndex;
    };
    const std::vector<Row> rows = {
        {"first selection", [&] { view->SetItemIndex(1); }, {"select 1"}, 1},
        {"same index again", [&] { view->SetItemIndex(1); }, {}, 1},
        {"same item selected again", [&] { view->Items()->Item(1)->SetSelected(true); }, {}, 1},
        {"another item", [&] { view->Items()->Item(3)->SetSelected(true); }, {"deselect 1", "select 3"}, 3},
        {"deselect another one", [&] { view->Items()->Item(0)->SetSelected(false); }, {}, 3},
        {"deselect by index", [&] { view->SetItemIndex(-1); }, {"deselect 3"}, -1},
        {"nothing to deselect", [&] { view->ClearSelection(); }, {}, -1},
        {"a click on a row", [&] { driver->MouseDown(*view, 100, RowY(2)); driver->MouseUp(*view, 100, RowY(2)); },
         {"select 2"}, 2},
        {"a click on the same row", [&] { driver->MouseDown(*view, 60, RowY(2)); driver->MouseUp(*view, 60, RowY(2)); },
         {}, 2},
        {"a click below the rows", [&] { driver->MouseDown(*view, 60, RowY(6)); driver->MouseUp(*view, 60, RowY(6)); },
         {"deselect 2"}, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        row.act();
        EXPECT_EQ(log.Take(), row.events);
        EXPECT_EQ(view->ItemIndex(), row.itemIndex);
    }
}

TEST_F(ListViewTest, DeleteAndClearRaiseNoSelectionEvents)
{
    view->SetItemIndex(2);
    log.Take();
    view->Items()->Delete(2);
    EXPECT_TRUE(log.Take().empty());
    EXPECT_EQ(view->Selected(), nullptr);
    EXPECT_EQ(view->Items()->Count(), 3);
    EXPECT_EQ(view->Items()->Item(2)->Caption(), u"3") << "later rows move up";
    EXPECT_EQ(view->Items()->Item(2)->Index(), 2);

    view->SetItemIndex(0);
    log.Take();
    view->Items()->Clear();
    EXPECT_TRUE(log.Take().empty());
    EXPECT_EQ(view->ItemIndex(), -1);
    EXPECT_EQ(view->Items()->Count(), 0);
}

TEST_F(ListViewTest, AHandlerThatSelectsAnotherRowReportsThatChangeToo)
{
    view->OnSelectItem = [this](TObject*, vcl::TListItem* item, bool selected) {
        log.Add((selected ? "select " : "deselect ") + std::to_string(item->Index()));
        if (selected && item->Index() == 1)
            view->SetItemIndex(2);
    };
    view->SetItemIndex(1);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"select 1", "deselect 1", "select 2"}));
    EXPECT_EQ(view->ItemIndex(), 2);
}

TEST_F(ListViewTest, CheckBoxesAndColumnHeadersTakeClicks)
{
    std::vector<int> columns;
    view->OnColumnClick = [&](TObject*, vcl::TListColumn* column) { columns.push_back(column->Index()); };
    driver->MouseDown(*view, 8, RowY(1));
    driver->MouseUp(*view, 8, RowY(1));
    EXPECT_TRUE(view->Items()->Item(1)->Checked()) << "the box toggles";
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"select 1"})) << "and the row is selected";
    driver->MouseDown(*view, 8, RowY(1));
    driver->MouseUp(*view, 8, RowY(1));
    EXPECT_FALSE(view->Items()->Item(1)->Checked());

    for (int x : {5, 40, 200, 290}) {
        driver->MouseDown(*view, x, 5);
        driver->MouseUp(*view, x, 5);
    }
    EXPECT_EQ(columns, (std::vector<int>{0, 1, 2})) << "no column under x 290";
    EXPECT_TRUE(log.Take().empty()) << "header clicks select nothing";

    view->SetEnabled(false);
    driver->MouseDown(*view, 100, RowY(3));
    driver->MouseUp(*view, 100, RowY(3));
    EXPECT_EQ(view->ItemIndex(), 1) << "a disabled view takes no click";
}

TEST_F(ListViewTest, MakeVisibleScrollsAndColumnWidthsKeepTheirMinimum)
{
    for (int i = 4; i < 40; ++i)
        view->Items()->Add()->SetCaption(IntToStr(i));
    const int rows = view->VisibleRowCount();
    ASSERT_EQ(rows, (200 - vcl::TListView::HeaderHeight) / vcl::TListView::RowHeight);
    view->Items()->Item(30)->MakeVisible(false);
    EXPECT_EQ(view->TopIndex(), 30 - rows + 1);
    view->Items()->Item(2)->MakeVisible(true);
    EXPECT_EQ(view->TopIndex(), 2);
    view->Items()->Clear();
    EXPECT_EQ(view->TopIndex(), 0);

    vcl::TListColumn* c = view->Column(1);
    c->SetMinWidth(50);
    c->SetWidth(10);
    EXPECT_EQ(c->Width(), 50);
}

TEST_F(ListViewTest, RowsPaintWithTheirPicturesAndTheSelection)
{
    auto* images = new vcl::TImageList(form);
    vcl::TBitmap red(16, 16);
    red.Canvas()->Brush.Color = clFuchsia;
    red.Canvas()->FillRect(TRect(0, 0, 16, 16));
    red.Canvas()->Brush.Color = clRed;
    red.Canvas()->FillRect(TRect(4, 4, 12, 12));
    EXPECT_EQ(images->Add(red), 0);
    view->SetSmallImages(images);
    view->SetColor(clBlack);
    view->SetRowSelect(true);
    view->Column(2)->SetAlignment(vcl::taCenter);
    view->Items()->Item(0)->SetSubItemImages(1, 0); // column 2
    view->SetItemIndex(1);

    const vcl::PixelBuffer shot = form->Snapshot();
    // Column 2 starts at 150; its picture centred (the sub-item has no text
    // here): 150 + (100 - 16) / 2 = 192.
    EXPECT_EQ(shot.ColorAt(192 + 8, RowY(0)), clRed);
    EXPECT_EQ(shot.ColorAt(192 + 1, RowY(0) - 6), clBlack) << "the transparent colour is left out";
    EXPECT_NE(shot.ColorAt(250, RowY(1)), clBlack) << "the selected row is highlighted across";
    EXPECT_EQ(shot.ColorAt(250, RowY(2)), clBlack);
    EXPECT_TRUE(form->SaveSnapshot(std::string(VM_BINARY_DIR) + "/vcl_listview.png"));
}

TEST_F(ListViewTest, CellsPaintInPlaceWhenTheViewIsNotAtTheFormsOrigin)
{
    auto* images = new vcl::TImageList(form);
    vcl::TBitmap red(16, 16);
    red.Canvas()->Brush.Color = clRed;
    red.Canvas()->FillRect(TRect(0, 0, 16, 16));
    images->Add(red);
    view->SetSmallImages(images);
    view->SetColor(clBlack);
    view->Items()->Item(0)->SetSubItemImages(1, 0);
    const vcl::PixelBuffer atOrigin = form->Snapshot();
    // The same view inside a panel further in: every pixel moves along.
    form->SetBounds(0, 0, 400, 300);
    auto* panel = new vcl::TPanel(form);
    panel->SetParent(form);
    panel->SetBevelOuter(vcl::bvNone);
    panel->SetBounds(60, 50, 300, 200);
    view->SetParent(panel);
    view->SetBounds(0, 0, 300, 200);
    const vcl::PixelBuffer moved = form->Snapshot();
    for (int y = 0; y < 200; y += 3)
        for (int x = 0; x < 300; x += 3)
            ASSERT_EQ(moved.ColorAt(x + 60, y + 50), atOrigin.ColorAt(x, y)) << x << "," << y;
}

TEST_F(ListViewTest, TheFolderPickerIsAnsweredByTheDriver)
{
    UnicodeString folder = u"E:\\DATA";
    driver->AnswerFolder(u"E:\\OTHER");
    EXPECT_TRUE(vcl::SelectDirectory(u"pick", folder));
    EXPECT_EQ(folder, u"E:\\OTHER");
    driver->CancelFolder();
    EXPECT_FALSE(vcl::SelectDirectory(u"again", folder));
    EXPECT_EQ(folder, u"E:\\OTHER") << "a cancel leaves the folder";
    ASSERT_EQ(driver->FolderPickers().size(), 2u);
    EXPECT_EQ(driver->FolderPickers()[0].title, u"pick");
    EXPECT_EQ(driver->FolderPickers()[0].start, u"E:\\DATA");
    EXPECT_EQ(driver->FolderPickers()[1].start, u"E:\\OTHER");

    // Without an answer the driver fails and the picker cancels.
    driver->OnFailure = nullptr;
    EXPECT_FALSE(vcl::SelectDirectory(u"unexpected", folder));
    EXPECT_TRUE(driver->Failed());
}

} // namespace
