#include "app/FormParts.h"

void SetUpToolDialog(TForm* form, const char16_t* name)
{
    form->SetName(name);
    form->SetBorderStyle(bsToolWindow);
    form->SetBorderIcons(TBorderIcons{});
    form->SetFormStyle(fsStayOnTop);
    form->SetPosition(poMainFormCenter);
    form->Font()->SetName(u"ＭＳ ゴシック");
    form->Font()->SetHeight(-16);
}

TLabel* NewLabel(TComponent* owner, TWinControl* parent, const char16_t* name, int left, int top)
{
    auto* label = new TLabel(owner);
    label->SetName(name);
    label->SetParent(parent);
    label->SetBounds(left, top, 0, 0);
    return label;
}

TButton* NewButton(TComponent* owner, TWinControl* parent, const char16_t* name, int left, int top, int width,
                   int height, int tabOrder)
{
    auto* button = new TButton(owner);
    button->SetName(name);
    button->SetParent(parent);
    button->SetBounds(left, top, width, height);
    button->SetTabOrder(tabOrder);
    return button;
}

void AnswerEnterEscape(std::uint16_t& key, const std::function<void()>& ok, const std::function<void()>& cancel)
{
    if (key == VK_RETURN) {
        key = 0;
        ok();
    } else if (key == VK_ESCAPE) {
        key = 0;
        cancel();
    }
}
