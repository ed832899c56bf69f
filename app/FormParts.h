// Pieces the program's small windows are built from.
#pragma once

#include "platform/vcl/vcl.h"

#include <cstdint>
#include <functional>

// The look the small dialogs share: a tool window without border icons, kept
// over the main window and centred on it, in 16 px "ＭＳ ゴシック".
void SetUpToolDialog(TForm* form, const char16_t* name);

// A label at (left, top), sized by its caption.
TLabel* NewLabel(TComponent* owner, TWinControl* parent, const char16_t* name, int left, int top);

// A tab order of -1 leaves the button out of the tab sequence, as a new
// control starts.
TButton* NewButton(TComponent* owner, TWinControl* parent, const char16_t* name, int left, int top, int width,
                   int height, int tabOrder = -1);

// For a password edit's key-down: Enter answers as the OK button, Escape as
// Cancel; either key is used up.
void AnswerEnterEscape(std::uint16_t& key, const std::function<void()>& ok, const std::function<void()>& cancel);
