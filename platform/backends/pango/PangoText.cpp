#include "platform/backends/pango/PangoText.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <string>

#include "platform/backends/pango/FontTable.h"
#include "platform/rtl/CodePage.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/TextRenderer.h"

namespace backends::pango {

namespace {

class PangoTextRenderer : public vcl::TextRenderer {
public:
    void DrawText(vcl::PixelBuffer& target, const vcl::TRect& clip, int x, int y, const vcl::TFont& font,
                  const rtl::UnicodeString& text) override
    {
        std::u16string line;
        for (char16_t c : text.view())
            if (c != u'\r' && c != u'\n')
                line += c;
        if (line.empty() || clip.Empty() || target.Empty())
            return;
        const std::string utf8 = rtl::ToUtf8(rtl::UnicodeString(line));

        // The canvas's pixels are cairo's RGB24 layout (0x00RRGGBB words).
        cairo_surface_t* surface = cairo_image_surface_create_for_data(
            reinterpret_cast<unsigned char*>(target.Row(0)), CAIRO_FORMAT_RGB24, target.Width(), target.Height(),
            target.Width() * 4);
        cairo_t* cr = cairo_create(surface);
        cairo_rectangle(cr, clip.Left, clip.Top, clip.Width(), clip.Height());
        cairo_clip(cr);

        PangoLayout* layout = pango_cairo_create_layout(cr);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
        pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
        pango_layout_context_changed(layout);

        PangoFontDescription* description = pango_font_description_new();
        pango_font_description_set_family(description, FamilyFor(font.Name()).c_str());
        pango_font_description_set_absolute_size(description, font.PixelHeight() * PANGO_SCALE);
        const vcl::TFontStyles style = font.Style();
        if (style.Contains(vcl::fsBold))
            pango_font_description_set_weight(description, PANGO_WEIGHT_BOLD);
        if (style.Contains(vcl::fsItalic))
            pango_font_description_set_style(description, PANGO_STYLE_ITALIC);
        pango_layout_set_font_description(layout, description);
        if (style.Contains(vcl::fsUnderline) || style.Contains(vcl::fsStrikeOut)) {
            PangoAttrList* attributes = pango_attr_list_new();
            if (style.Contains(vcl::fsUnderline))
                pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
            if (style.Contains(vcl::fsStrikeOut))
                pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
            pango_layout_set_attributes(layout, attributes);
            pango_attr_list_unref(attributes);
        }
        pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));

        const std::uint32_t ink = vcl::PixelBuffer::FromColor(font.Color());
        cairo_set_source_rgb(cr, ((ink >> 16) & 0xFF) / 255.0, ((ink >> 8) & 0xFF) / 255.0, (ink & 0xFF) / 255.0);
        // The program lays text out by the canvas's fixed metric: a font
        // wider than its cells is narrowed to them, so that text never runs
        // into its neighbour or is cut at its label's edge.
        int inkWidth = 0;
        int inkHeight = 0;
        pango_layout_get_pixel_size(layout, &inkWidth, &inkHeight);
        const int cells = vcl::TCanvas::TextWidthOf(font, rtl::UnicodeString(line));
        cairo_translate(cr, x, y);
        if (cells > 0 && inkWidth > cells)
            cairo_scale(cr, static_cast<double>(cells) / inkWidth, 1.0);
        cairo_move_to(cr, 0, 0);
        pango_cairo_show_layout(cr, layout);

        pango_font_description_free(description);
        cairo_font_options_destroy(options);
        g_object_unref(layout);
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        cairo_surface_destroy(surface);

        // cairo may fill the unused top byte; the canvas keeps it zero. Only
        // where the text can have drawn (a font's height of slack around it).
        const int slack = std::max(font.PixelHeight(), 1);
        const vcl::TRect inked = clip.Intersect(vcl::TRect(x - slack, y - slack,
                                                           x + std::max(cells, inkWidth) + slack,
                                                           y + inkHeight + slack));
        for (int row = inked.Top; row < inked.Bottom; ++row) {
            std::uint32_t* p = target.Row(row);
            for (int col = inked.Left; col < inked.Right; ++col)
                p[col] &= 0x00FFFFFFu;
        }
    }
};

} // namespace

void InstallText()
{
    static auto* renderer = new PangoTextRenderer; // lives to the end of the program
    vcl::SetTextRenderer(renderer);
}

} // namespace backends::pango
