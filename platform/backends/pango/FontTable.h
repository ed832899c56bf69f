// The Windows font names the program asks for, as the installed families
// that stand in for them (Debian's IPA fonts: fonts-ipafont-gothic,
// fonts-ipafont-mincho). Pure data, no Pango.
#pragma once

#include <string>

#include "platform/rtl/UnicodeString.h"

namespace backends::pango {

// The family for a Windows font name: fixed-pitch gothic for "ＭＳ ゴシック",
// proportional gothic for "ＭＳ Ｐゴシック" and the Latin user-interface fonts,
// mincho for "ＭＳ 明朝"... Names compare without regard to letter case and to
// full-width/half-width forms and a leading "@" (the vertical variant);
// an unknown name gives the proportional gothic.
std::string FamilyFor(const rtl::UnicodeString& windowsName);

} // namespace backends::pango
