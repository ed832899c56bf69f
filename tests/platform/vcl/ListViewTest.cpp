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

TEST_F(ListViewTest, EverySubItemPictureAndTheCaptionReadBackAsSet)
{
    vcl::TListItem* item = view->Items()->Item(1);
    for (int i : {0, 1, 2, 5})
        item->SetSubItemImages(i, 10 + i);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(item->SubItemImages(i), i == 0 || i == 1 || i == 2 || i == 5 ? 10 + i : -1) << i;
    item->SetSubItemImages(5, -1);
    EXPECT_EQ(item->SubItemImages(5), -1);
    item->SetCaption(u"caption");
    EXPECT_EQ(item->Caption(), u"caption");
    item->SetCaption(u"");
    EXPECT_EQ(item->Caption(), u"");
}

TEST_F(ListViewTest, SubItemsKeepEveryTextAsAStringListDoes)
{
    rtl::TStrings& sub = *view->Items()->Item(2)->SubItems();
    const UnicodeString withNul(std::u16string(u"a\0b", 3));
    const UnicodeString longText(std::u16string(70000, u'x')); // a length past 16 bits
    sub.Add(withNul);
    sub.Add(longText);
    sub.Insert(0, u"front");
    sub.SetStrings(2, u"\u9332\u753b\u65e5\u6642"); // was the empty one
    sub.Add(u"last \u00ff"); // the highest unit kept in one byte
    sub.Add(u"\u00ff\u0100"); // one unit that needs two
    sub.Delete(4); // the long one
    const std::vector<UnicodeString> expected = {u"front", u"sub2",        u"\u9332\u753b\u65e5\u6642",
                                                 withNul,  u"last \u00ff", u"\u00ff\u0100"};
    ASSERT_EQ(sub.Count(), static_cast<int>(expected.size()));
    for (int i = 0; i < sub.Count(); ++i)
        EXPECT_EQ(sub.Strings(i), expected[static_cast<std::size_t>(i)]) << i;
    EXPECT_THROW(sub.Strings(6), EListError);
    EXPECT_THROW(sub.Strings(-1), EListError);
    EXPECT_THROW(sub.SetStrings(6, u"x"), EListError);
    EXPECT_THROW(sub.Insert(7, u"x"), EListError);
    EXPECT_THROW(sub.Delete(6), EListError);
    const UnicodeString longWide(std::u16string(70000, u'\u9332'));
    sub.SetStrings(1, longText);
    sub.SetStrings(5, longWide);
    EXPECT_EQ(sub.Strings(1), longText);
    EXPECT_EQ(sub.Strings(2), expected[2]);
    EXPECT_EQ(sub.Strings(5), longWide);
    sub.Clear();
    EXPECT_EQ(sub.Count(), 0);
    EXPECT_EQ(sub.Add(u"again"), 0);
    EXPECT_EQ(sub.Strings(0), u"again");
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
        {"a click on a row",
         [&] {
             driver->MouseDown(*view, 100, RowY(2));
             driver->MouseUp(*view, 100, RowY(2));
         },
         {"select 2"},
         2},
        {"a click on the same row",
         [&] {
             driver->MouseDown(*view, 60, RowY(2));
             driver->MouseUp(*view, 60, RowY(2));
         },
         {},
         2},
        {"a click below the rows",
         [&] {
             driver->MouseDown(*view, 60, RowY(6));
             driver->MouseUp(*view, 60, RowY(6));
         },
         {"deselect 2"},
         -1},
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
    int clicks = 0;
    view->OnColumnClick = [&](TObject*, vcl::TListColumn* column) { columns.push_back(column->Index()); };
    view->OnClick = [&](TObject*) { ++clicks; };
    view->SetItemIndex(2);
    log.Take();
    driver->MouseDown(*view, 8, RowY(1));
    driver->MouseUp(*view, 8, RowY(1));
    EXPECT_TRUE(view->Items()->Item(1)->Checked()) << "the box toggles";
    EXPECT_TRUE(log.Take().empty()) << "and nothing else: the selection stays";
    EXPECT_EQ(view->ItemIndex(), 2);
    EXPECT_EQ(view->ItemFocused(), view->Items()->Item(2));
    EXPECT_EQ(clicks, 1) << "a click all the same";
    driver->MouseDown(*view, 8, RowY(1));
    driver->MouseUp(*view, 8, RowY(1));
    EXPECT_FALSE(view->Items()->Item(1)->Checked());
    driver->MouseDown(*view, 20, RowY(1));
    driver->MouseUp(*view, 20, RowY(1));
    EXPECT_FALSE(view->Items()->Item(1)->Checked()) << "beside the box the row is clicked";
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"deselect 2", "select 1"}));

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

TEST_F(ListViewTest, KeysMoveTheSelectionAsClicksDoAndKeepItInView)
{
    for (int i = 4; i < 25; ++i)
        view->Items()->Add()->SetCaption(IntToStr(i));
    ASSERT_EQ(view->VisibleRowCount(), 10);
    const vcl::TShiftState none{}, ctrl{vcl::ssCtrl};
    struct Row {
        const char* what;
        std::uint16_t key;
        vcl::TShiftState shift;
        std::vector<std::string> events;
        int itemIndex;
        int focused;
        int top;
    };
    const std::vector<Row> rows = {
        {"Down without a focused row takes the first", vcl::VK_DOWN, none, {"select 0"}, 0, 0, 0},
        {"Down", vcl::VK_DOWN, none, {"deselect 0", "select 1"}, 1, 1, 0},
        {"Up", vcl::VK_UP, none, {"deselect 1", "select 0"}, 0, 0, 0},
        {"Up on the first row", vcl::VK_UP, none, {}, 0, 0, 0},
        {"End scrolls the last row into view", vcl::VK_END, none, {"deselect 0", "select 24"}, 24, 24, 15},
        {"Down on the last row", vcl::VK_DOWN, none, {}, 24, 24, 15},
        {"Home", vcl::VK_HOME, none, {"deselect 24", "select 0"}, 0, 0, 0},
        {"PageDown: the last row shown", vcl::VK_NEXT, none, {"deselect 0", "select 9"}, 9, 9, 0},
        {"PageDown again: a page on", vcl::VK_NEXT, none, {"deselect 9", "select 18"}, 18, 18, 9},
        {"PageUp: the first row shown", vcl::VK_PRIOR, none, {"deselect 18", "select 9"}, 9, 9, 9},
        {"PageUp again: a page back", vcl::VK_PRIOR, none, {"deselect 9", "select 0"}, 0, 0, 0},
        {"PageUp on the first row", vcl::VK_PRIOR, none, {}, 0, 0, 0},
        {"Ctrl+Down moves only the focus", vcl::VK_DOWN, ctrl, {}, 0, 1, 0},
        {"Ctrl+End too, and scrolls", vcl::VK_END, ctrl, {}, 0, 24, 15},
        {"Up goes on from the focused row", vcl::VK_UP, none, {"deselect 0", "select 23"}, 23, 23, 15},
        {"Left and Right do nothing", vcl::VK_LEFT, none, {}, 23, 23, 15},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        driver->PressKey(*view, row.key, row.shift);
        EXPECT_EQ(log.Take(), row.events);
        EXPECT_EQ(view->ItemIndex(), row.itemIndex);
        ASSERT_NE(view->ItemFocused(), nullptr);
        EXPECT_EQ(view->ItemFocused()->Index(), row.focused);
        EXPECT_EQ(view->TopIndex(), row.top);
    }

    // A click below the rows deselects; the focused row stays where keys
    // go on from.
    driver->MouseDown(*view, 60, 195);
    driver->MouseUp(*view, 60, 195);
    log.Take();
    driver->PressKey(*view, vcl::VK_DOWN);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"select 24"}));

    view->Items()->Clear();
    driver->PressKey(*view, vcl::VK_DOWN);
    EXPECT_EQ(view->ItemIndex(), -1) << "no rows, nothing to select";
    EXPECT_EQ(view->ItemFocused(), nullptr);
}

TEST_F(ListViewTest, SpaceTogglesTheFocusedRowsCheckBoxOnly)
{
    std::string typed;
    view->OnKeyPress = [&](TObject*, char16_t& c) { typed += static_cast<char>(c); };
    driver->PressKey(*view, vcl::VK_SPACE);
    EXPECT_FALSE(view->Items()->Item(0)->Checked()) << "no focused row yet";
    view->SetItemIndex(1);
    driver->PressKey(*view, vcl::VK_DOWN, vcl::TShiftState{vcl::ssCtrl});
    log.Take();
    driver->PressKey(*view, vcl::VK_SPACE);
    EXPECT_TRUE(view->Items()->Item(2)->Checked()) << "the focused row, not the selected one";
    EXPECT_FALSE(view->Items()->Item(1)->Checked());
    driver->PressKey(*view, vcl::VK_SPACE);
    EXPECT_FALSE(view->Items()->Item(2)->Checked());
    EXPECT_TRUE(log.Take().empty()) << "no selection changes";
    EXPECT_EQ(view->ItemIndex(), 1);
    EXPECT_EQ(typed, "") << "the key types no character";

    view->SetCheckboxes(false);
    driver->PressKey(*view, vcl::VK_SPACE);
    EXPECT_FALSE(view->Items()->Item(2)->Checked()) << "without check boxes Space is a character";
    EXPECT_EQ(typed, " ");
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
