#include <gtest/gtest.h>

#include "VclFixture.h"

namespace {

class EditTest : public VclTest {
protected:
    EditTest()
    {
        form = NewForm<TForm>(&app);
        form->SetName(u"F");
        edit = new TEdit(form);
        edit->SetName(u"Edit1");
        edit->SetParent(form);
        edit->OnChange = [this](TObject*) { changes.push_back(TestDriver::Utf8(edit->Text())); };
        form->Show();
    }
    TForm* form;
    TEdit* edit;
    std::vector<std::string> changes;
};

TEST_F(EditTest, TheSelectionIsHighlightedWhileTheEditHasTheFocus)
{
    form->SetBorderStyle(bsNone);
    edit->SetBounds(0, 0, 100, 21);
    edit->Font()->SetHeight(-12);
    edit->SetText(u"abcdef");
    auto* other = new TEdit(form);
    other->SetParent(form);
    other->SetTop(30);
    edit->SetSelStart(2);
    edit->SetSelLength(2);
    // Cells of 6 pixels from x 3, 12 high from y 4; the cell renderer
    // leaves the inside of each cell's box free.
    const auto inside = [&](int cell) { return form->Snapshot().ColorAt(3 + cell * 6 + 2, 10); };
    const TColor highlight = ColorToRGB(clHighlight), paper = ColorToRGB(clWindow);
    other->SetFocus();
    EXPECT_EQ(inside(2), paper) << "no selection shown without the focus";
    edit->SetFocus();
    EXPECT_EQ(inside(1), paper);
    EXPECT_EQ(inside(2), highlight);
    EXPECT_EQ(inside(3), highlight);
    EXPECT_EQ(inside(4), paper);
    edit->SelectAll();
    EXPECT_EQ(inside(0), highlight);
    EXPECT_EQ(inside(5), highlight);
    edit->SetSelStart(6);
    EXPECT_EQ(inside(5), paper);
}

TEST_F(EditTest, OnChangeOnlyOnARealChange)
{
    edit->SetText(u"abc");
    edit->SetText(u"abc");
    edit->SetText(u"");
    edit->SetText(u"");
    EXPECT_EQ(changes, (std::vector<std::string>{"abc", ""}));
}

TEST_F(EditTest, TypingRaisesOnChangePerCharacter)
{
    driver->Type(u"F", u"Edit1", u"ab1");
    EXPECT_EQ(edit->Text(), u"ab1");
    EXPECT_EQ(changes, (std::vector<std::string>{"a", "ab", "ab1"}));
    driver->PressKey(*edit, VK_BACK);
    EXPECT_EQ(edit->Text(), u"ab");
    driver->PressKey(*edit, VK_HOME);
    driver->PressKey(*edit, VK_DELETE);
    EXPECT_EQ(edit->Text(), u"b");
}

TEST_F(EditTest, TypingLimits)
{
    struct Row {
        int maxLength;
        bool numbersOnly;
        bool readOnly;
        const char16_t* typed;
        const char16_t* result;
    };
    const Row rows[] = {
        {0, false, false, u"パス12", u"パス12"}, {3, false, false, u"abcdef", u"abc"},
        {0, true, false, u"1a2-3", u"123"},      {2, true, false, u"x9y87", u"98"},
        {0, false, true, u"abc", u""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(TestDriver::Utf8(row.typed));
        edit->SetText(u"");
        edit->SetMaxLength(row.maxLength);
        edit->SetNumbersOnly(row.numbersOnly);
        edit->SetReadOnly(row.readOnly);
        driver->Type(*edit, row.typed);
        EXPECT_EQ(edit->Text(), row.result);
    }
}

TEST_F(EditTest, LimitsApplyToTypingOnly)
{
    edit->SetMaxLength(2);
    edit->SetNumbersOnly(true);
    edit->SetText(u"abcdef");
    EXPECT_EQ(edit->Text(), u"abcdef");
    edit->SelectAll();
    driver->Type(*edit, u"7"); // replaces the selection
    EXPECT_EQ(edit->Text(), u"7");
}

TEST_F(EditTest, EnterAndEscapeTypeNothing)
{
    std::vector<std::uint16_t> keys;
    edit->OnKeyDown = [&](TObject*, std::uint16_t& k, TShiftState) { keys.push_back(k); };
    driver->PressKey(*edit, VK_RETURN);
    driver->PressKey(*edit, VK_ESCAPE);
    EXPECT_EQ(keys, (std::vector<std::uint16_t>{VK_RETURN, VK_ESCAPE}));
    EXPECT_EQ(edit->Text(), u"");
    EXPECT_TRUE(changes.empty());
}

TEST_F(EditTest, TypingIntoAHiddenEditFails)
{
    form->Hide();
    driver->OnFailure = nullptr;
    EXPECT_THROW(driver->Type(*edit, u"x"), EDriverFailure);
}

} // namespace
