// What the main window is made of: every component it owns, in creation
// order, with the properties it is given and the events that are bound
// (golden dump beside this file; the layouts' positions have their own).
#include "MainWindowFixture.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

using mainwindow_test::MainWindowTest;

class ControlsTest : public MainWindowTest {};

std::string Colour(TColor c)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

std::string Escaped(const UnicodeString& text)
{
    std::string out;
    for (char c : TestDriver::Utf8(text))
        out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

std::string FontText(const TFont& font)
{
    return TestDriver::Utf8(font.Name()) + " charset " + std::to_string(font.Charset()) + " #" + Colour(font.Color());
}

// The names of the events that are set, in a fixed order.
std::string Events(std::initializer_list<std::pair<const char*, bool>> events)
{
    std::string out;
    for (const auto& [name, set] : events)
        if (set)
            out += std::string(" ") + name;
    return out.empty() ? "" : " on" + out;
}

std::string ControlText(TControl& c)
{
    std::ostringstream out;
    out << " parent " << (c.Parent() ? TestDriver::Utf8(c.Parent()->Name()) : "-") << " tag " << c.Tag() << " align "
        << c.Align() << (c.Enabled() ? "" : " disabled") << (c.Visible() ? "" : " hidden")
        << (c.AutoSize() ? " autosize" : "") << " colour " << Colour(c.Color())
        << (c.ParentFont() ? " parentfont" : " font " + FontText(*c.Font()));
    if (auto* image = dynamic_cast<TImage*>(&c))
        out << (image->Stretch() ? " stretch" : "") << (image->Transparent() ? " transparent" : "")
            << (image->Center() ? " center" : "") << (image->Proportional() ? " proportional" : "") << " picture "
            << image->Picture()->Width() << "x" << image->Picture()->Height();
    if (auto* label = dynamic_cast<TLabel*>(&c))
        out << " alignment " << label->Alignment() << " layout " << label->Layout()
            << (label->Transparent() ? " transparent" : "") << (label->WordWrap() ? " wordwrap" : "");
    if (auto* panel = dynamic_cast<TPanel*>(&c))
        out << " bevel " << panel->BevelOuter() << "/" << panel->BevelInner()
            << (panel->ShowCaption() ? " caption" : "");
    if (!c.Hint().IsEmpty())
        out << " hint \"" << Escaped(c.Hint()) << "\"";
    out << Events({{"Click", bool(c.OnClick)},
                   {"DblClick", bool(c.OnDblClick)},
                   {"Resize", bool(c.OnResize)},
                   {"MouseEnter", bool(c.OnMouseEnter)},
                   {"MouseLeave", bool(c.OnMouseLeave)},
                   {"MouseDown", bool(c.OnMouseDown)},
                   {"MouseMove", bool(c.OnMouseMove)},
                   {"MouseUp", bool(c.OnMouseUp)}});
    if (auto* edit = dynamic_cast<TEdit*>(&c))
        out << Events({{"Change", bool(edit->OnChange)}});
    if (auto* windowed = dynamic_cast<TWinControl*>(&c))
        out << Events({{"Enter", bool(windowed->OnEnter)},
                       {"Exit", bool(windowed->OnExit)},
                       {"KeyDown", bool(windowed->OnKeyDown)},
                       {"KeyUp", bool(windowed->OnKeyUp)},
                       {"KeyPress", bool(windowed->OnKeyPress)}});
    return out.str();
}

const char* Kind(TComponent* c)
{
    if (dynamic_cast<TForm*>(c))
        return "form";
    if (dynamic_cast<TPanel*>(c))
        return "panel";
    if (dynamic_cast<TImage*>(c))
        return "image";
    if (dynamic_cast<TLabel*>(c))
        return "label";
    if (dynamic_cast<TEdit*>(c))
        return "edit";
    if (dynamic_cast<TTimer*>(c))
        return "timer";
    if (dynamic_cast<TSavePictureDialog*>(c))
        return "savepicturedialog";
    return "component";
}

std::string Dump(TMainForm& form)
{
    std::ostringstream out;
    out << "# The main window's components in creation order, as the window is made (before a recording opens).\n"
        << "# A difference is legitimate only after a deliberate change of the window's controls; then rewrite\n"
        << "# with VM_UPDATE_GOLDEN=1.\n";
    out << "form " << TestDriver::Utf8(form.Name()) << " border " << form.BorderStyle() << " icons"
        << (form.BorderIcons().Contains(biSystemMenu) ? " systemmenu" : "")
        << (form.BorderIcons().Contains(biMinimize) ? " minimize" : "")
        << (form.BorderIcons().Contains(biMaximize) ? " maximize" : "") << " style " << form.FormStyle() << " colour "
        << Colour(form.Color()) << " font " << FontText(*form.Font()) << (form.ShowHint() ? " showhint" : "")
        << Events({{"Create", bool(form.OnCreate)},
                   {"Show", bool(form.OnShow)},
                   {"Hide", bool(form.OnHide)},
                   {"Activate", bool(form.OnActivate)},
                   {"Deactivate", bool(form.OnDeactivate)},
                   {"Paint", bool(form.OnPaint)},
                   {"Close", bool(form.OnClose)},
                   {"CloseQuery", bool(form.OnCloseQuery)},
                   {"Resize", bool(form.OnResize)},
                   {"KeyDown", bool(form.OnKeyDown)},
                   {"KeyUp", bool(form.OnKeyUp)},
                   {"KeyPress", bool(form.OnKeyPress)}})
        << "\n";
    out << "application" << Events({{"Restore", bool(Application->OnRestore)}}) << "\n";
    for (int i = 0; i < form.ComponentCount(); ++i) {
        TComponent* c = form.Components(i);
        out << Kind(c) << " " << TestDriver::Utf8(c->Name());
        if (auto* control = dynamic_cast<TControl*>(c))
            out << ControlText(*control);
        if (auto* timer = dynamic_cast<TTimer*>(c))
            out << " interval " << timer->Interval() << (timer->Enabled() ? " enabled" : "")
                << Events({{"Timer", bool(timer->OnTimer)}});
        if (auto* dialog = dynamic_cast<TSavePictureDialog*>(c))
            out << " title \"" << Escaped(dialog->Title) << "\""
                << (dialog->Options.Contains(ofOverwritePrompt) ? " overwriteprompt" : "");
        out << "\n";
    }
    return out.str();
}

TEST_F(ControlsTest, EveryComponentIsMadeAsItsGoldenDumpSays)
{
    TMainForm& form = Create();
    const std::string dump = Dump(form);
    const std::string golden = std::string(VM_SOURCE_DIR) + "/tests/mainwindow/golden/controls.txt";
    if (std::getenv("VM_UPDATE_GOLDEN"))
        std::ofstream(golden, std::ios::binary) << dump;
    std::ifstream in(golden, std::ios::binary);
    const std::string expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(dump, expected);
}

} // namespace
