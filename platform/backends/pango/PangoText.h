// Text through Pango and cairo onto the canvas's pixels (the canvas's text
// seam, TextRenderer.h), with the stand-in families of FontTable.h.
#pragma once

#include "platform/vcl/TextRenderer.h"

namespace backends::pango {

// The Pango text renderer, made at the first call; it lives to the end of
// the program (vcl::InstallTextRenderer). Needs no display.
vcl::TextRenderer& PangoRenderer();

} // namespace backends::pango
