// The canvas's text seam: how the glyphs of TCanvas::TextOut reach the
// pixels. The metric (TCanvas::TextWidth, TextHeight, where the pen ends)
// is the canvas's own fixed one whatever draws the glyphs, so logic never
// depends on a font.
//
// The default draws one box per character cell (unit tests and headless
// runs); the real back end draws the text with the installed fonts.
#pragma once

#include "platform/host/Seam.h"
#include "platform/rtl/UnicodeString.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/Geometry.h"
#include "platform/vcl/PixelBuffer.h"

namespace vcl {

class TextRenderer {
public:
    virtual ~TextRenderer() = default;
    // Draws the glyphs of one line of text (no background; line breaks
    // draw nothing) in font's colour and style, the top left of the first
    // cell at x, y of target, touching only pixels inside clip (target
    // coordinates, already within the target). Runs on whichever thread
    // paints; an implementation keeps no state shared between threads.
    virtual void DrawText(PixelBuffer& target, const TRect& clip, int x, int y, const TFont& font,
                          const rtl::UnicodeString& text) = 0;
    // As DrawText, the line narrowed to width pixels where its cells are
    // wider: a caption in a cell too small for it. The default draws it
    // unnarrowed.
    virtual void DrawTextInWidth(PixelBuffer& target, const TRect& clip, int x, int y, const TFont& font,
                                 const rtl::UnicodeString& text, int width);
};

// The installed renderer (the cell boxes unless a back end set one). Read
// by every canvas that draws text, on the thread that draws; a bitmap's
// canvas is not tied to the user interface thread: an atomic seam
// (platform/host/Seam.h).
TextRenderer& CurrentTextRenderer();
// Installs renderer (null: the cell boxes); returns the previous one, null
// for the default. The renderer must outlive its installation.
TextRenderer* InstallTextRenderer(TextRenderer* renderer);
using ScopedTextRenderer = host::ScopedInstall<TextRenderer*, &InstallTextRenderer>;

} // namespace vcl
