// Text through Pango and cairo onto the canvas's pixels (the canvas's text
// seam, TextRenderer.h), with the stand-in families of FontTable.h.
#pragma once

namespace backends::pango {

// Installs the Pango text renderer for the whole program. Needs no display.
void InstallText();

} // namespace backends::pango
