#include "platform/backends/pango/PangoText.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/backends/pango/FontTable.h"
#include "platform/rtl/CodePage.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/TextRenderer.h"

namespace backends::pango {

namespace {

// The coverage of one line of text, as Pango draws it (antialiased,
// narrowed to the canvas's cells or a narrower width), relative to the text's top left.
struct Mask {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> alpha; // width * height
};

// Labels are drawn again and again with the same few texts: their masks are
// kept (per painting thread, bounded) and only blended.
constexpr std::size_t kMaxMasks = 2048;

PangoLayout* LayoutFor(cairo_t* cr, const vcl::TFont& font, const std::string& utf8)
{
    PangoLayout* layout = pango_cairo_create_layout(cr);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
    cairo_font_options_destroy(options);
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
    pango_font_description_free(description);
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
    return layout;
}

Mask Render(const vcl::TFont& font, const std::string& utf8, int cells)
{
    Mask mask;
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* measure = cairo_create(scratch);
    PangoLayout* layout = LayoutFor(measure, font, utf8);
    // The program lays text out by the canvas's fixed metric: a font wider
    // than its cells is narrowed to them, so that text never runs into its
    // neighbour or is cut at its label's edge.
    int inkWidth = 0;
    int inkHeight = 0;
    pango_layout_get_pixel_size(layout, &inkWidth, &inkHeight);
    const double narrow = cells > 0 && inkWidth > cells ? static_cast<double>(cells) / inkWidth : 1.0;
    PangoRectangle ink{};
    PangoRectangle logical{};
    pango_layout_get_pixel_extents(layout, &ink, &logical);
    const int x0 = std::min(ink.x, logical.x), x1 = std::max(ink.x + ink.width, logical.x + logical.width);
    const int y0 = std::min(ink.y, logical.y), y1 = std::max(ink.y + ink.height, logical.y + logical.height);
    // A pixel of slack on each side for the antialiased edges.
    mask.left = static_cast<int>(std::floor(x0 * narrow)) - 1;
    mask.top = y0 - 1;
    mask.width = std::clamp(static_cast<int>(std::ceil(x1 * narrow)) + 1 - mask.left, 0, vcl::PixelBuffer::MaxSide);
    mask.height = std::clamp(y1 + 1 - mask.top, 0, vcl::PixelBuffer::MaxSide);
    if (mask.width > 0 && mask.height > 0) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, mask.width, mask.height);
        cairo_t* cr = cairo_create(surface);
        cairo_translate(cr, -mask.left, -mask.top);
        cairo_scale(cr, narrow, 1.0);
        cairo_set_source_rgba(cr, 0, 0, 0, 1);
        // Laid out unscaled (as measured), then narrowed as a picture.
        cairo_move_to(cr, 0, 0);
        pango_cairo_show_layout(cr, layout);
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        mask.alpha.resize(static_cast<std::size_t>(mask.width) * mask.height);
        for (int row = 0; row < mask.height; ++row)
            std::copy_n(data + static_cast<std::size_t>(row) * stride, mask.width,
                        mask.alpha.begin() + static_cast<std::ptrdiff_t>(row) * mask.width);
        cairo_surface_destroy(surface);
    }
    g_object_unref(layout);
    cairo_destroy(measure);
    cairo_surface_destroy(scratch);
    return mask;
}

class PangoTextRenderer : public vcl::TextRenderer {
public:
    void DrawText(vcl::PixelBuffer& target, const vcl::TRect& clip, int x, int y, const vcl::TFont& font,
                  const rtl::UnicodeString& text) override
    {
        DrawTextInWidth(target, clip, x, y, font, text, vcl::TCanvas::TextWidthOf(font, text));
    }

    void DrawTextInWidth(vcl::PixelBuffer& target, const vcl::TRect& clip, int x, int y, const vcl::TFont& font,
                         const rtl::UnicodeString& text, int width) override
    {
        std::u16string line;
        for (char16_t c : text.view())
            if (c != u'\r' && c != u'\n')
                line += c;
        if (line.empty() || width <= 0 || clip.Empty() || target.Empty())
            return;
        const std::string utf8 = rtl::ToUtf8(rtl::UnicodeString(line));
        // Narrowed to its cells, or to the narrower width asked for.
        const int cells = std::min(vcl::TCanvas::TextWidthOf(font, rtl::UnicodeString(line)), width);
        const vcl::TFontStyles style = font.Style();
        const std::string key = rtl::ToUtf8(font.Name()) + '\0' + std::to_string(font.PixelHeight()) + '\0' +
            std::to_string((style.Contains(vcl::fsBold) ? 1 : 0) | (style.Contains(vcl::fsItalic) ? 2 : 0) |
                           (style.Contains(vcl::fsUnderline) ? 4 : 0) | (style.Contains(vcl::fsStrikeOut) ? 8 : 0)) +
            '\0' + std::to_string(cells) + '\0' + utf8;
        thread_local std::unordered_map<std::string, Mask> masks;
        auto it = masks.find(key);
        if (it == masks.end()) {
            if (masks.size() >= kMaxMasks)
                masks.clear();
            it = masks.emplace(key, Render(font, utf8, cells)).first;
        }
        const Mask& mask = it->second;

        // Solid ink over the pixels as cairo blends it: the mask's coverage.
        const std::uint32_t ink = vcl::PixelBuffer::FromColor(font.Color()) & 0x00FFFFFFu;
        const std::uint32_t ir = (ink >> 16) & 0xFF, ig = (ink >> 8) & 0xFF, ib = ink & 0xFF;
        const vcl::TRect area = clip.Intersect(
            vcl::TRect(x + mask.left, y + mask.top, x + mask.left + mask.width, y + mask.top + mask.height));
        for (int row = area.Top; row < area.Bottom; ++row) {
            std::uint32_t* p = target.Row(row);
            const std::uint8_t* a = mask.alpha.data() + static_cast<std::size_t>(row - y - mask.top) * mask.width +
                (area.Left - x - mask.left);
            for (int col = area.Left; col < area.Right; ++col) {
                const std::uint32_t c = a[col - area.Left];
                if (c == 0)
                    continue;
                if (c == 255) {
                    p[col] = ink;
                    continue;
                }
                const std::uint32_t d = p[col], keep = 255 - c;
                const auto mix = [&](std::uint32_t i, std::uint32_t dst) { return (i * c + dst * keep + 127) / 255; };
                p[col] = (mix(ir, (d >> 16) & 0xFF) << 16) | (mix(ig, (d >> 8) & 0xFF) << 8) | mix(ib, d & 0xFF);
            }
        }
    }
};

} // namespace

vcl::TextRenderer& PangoRenderer()
{
    static auto* renderer = new PangoTextRenderer; // lives to the end of the program
    return *renderer;
}

} // namespace backends::pango
