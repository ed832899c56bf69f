#include "platform/backends/cups/PdfPage.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <cstdlib>
#include <cstring>

#include "platform/rtl/CodePage.h"

namespace backends::cups {

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;

// A JPEG the PDF can carry: bytes, a sane size and somewhere to go.
bool Embeddable(const vcl::PrintedPicture& p)
{
    return !p.jpeg.empty() && p.width > 0 && p.height > 0 && p.width <= vcl::PixelBuffer::MaxSide &&
        p.height <= vcl::PixelBuffer::MaxSide && !p.rect.Empty();
}

bool InsideJpeg(const vcl::PrintedPage& page, int x, int y)
{
    for (const vcl::PrintedPicture& p : page.pictures)
        if (Embeddable(p) && p.rect.Contains(vcl::TPoint(x, y)))
            return true;
    return false;
}

// Anything but white outside the JPEGs (lines, text, other pictures).
bool DrawnBesidesJpegs(const vcl::PrintedPage& page)
{
    const vcl::PixelBuffer& px = page.pixels;
    for (int y = 0; y < px.Height(); ++y) {
        const std::uint32_t* row = px.Row(y);
        for (int x = 0; x < px.Width(); ++x)
            if ((row[x] & kWhite) != kWhite && !InsideJpeg(page, x, y))
                return true;
    }
    return false;
}

// An RGB24 image surface of w x h, each pixel taken from the page's pixels
// in rect (nearest neighbour). The pixel layout is the same as ours.
cairo_surface_t* SurfaceFrom(const vcl::PixelBuffer& px, const vcl::TRect& rect, int w, int h)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS)
        return s;
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y) {
        auto* out = reinterpret_cast<std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
        const long long sy = rect.Top + static_cast<long long>(y) * rect.Height() / h;
        for (int x = 0; x < w; ++x) {
            const long long sx = rect.Left + static_cast<long long>(x) * rect.Width() / w;
            const bool inside = sx >= 0 && sy >= 0 && sx < px.Width() && sy < px.Height();
            out[x] = inside ? px.Pixel(static_cast<int>(sx), static_cast<int>(sy)) & kWhite : kWhite;
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

void PaintPixels(cairo_t* cr, const vcl::PixelBuffer& px)
{
    cairo_surface_t* s = SurfaceFrom(px, vcl::TRect(0, 0, px.Width(), px.Height()), px.Width(), px.Height());
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_paint(cr);
    cairo_surface_destroy(s);
}

// The JPEG at its rectangle. The surface's own pixels (the page's, where the
// picture was drawn) serve only if cairo cannot use the JPEG's bytes.
bool PaintJpeg(cairo_t* cr, const vcl::PrintedPage& page, const vcl::PrintedPicture& p)
{
    cairo_surface_t* s = SurfaceFrom(page.pixels, p.rect, p.width, p.height);
    // The PDF surface may write the image only when it finishes: cairo keeps
    // its own copy of the bytes and frees it with the surface.
    auto* bytes = static_cast<unsigned char*>(std::malloc(p.jpeg.size()));
    if (!bytes) {
        cairo_surface_destroy(s);
        return false;
    }
    std::memcpy(bytes, p.jpeg.data(), p.jpeg.size());
    if (cairo_surface_set_mime_data(s, CAIRO_MIME_TYPE_JPEG, bytes, p.jpeg.size(), std::free, bytes) !=
        CAIRO_STATUS_SUCCESS)
        std::free(bytes);
    cairo_save(cr);
    cairo_translate(cr, p.rect.Left, p.rect.Top);
    cairo_scale(cr, static_cast<double>(p.rect.Width()) / p.width, static_cast<double>(p.rect.Height()) / p.height);
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(s);
    return true;
}

} // namespace

vcl::PageExtent A4Page(vcl::TPrinterOrientation orientation)
{
    constexpr vcl::PageExtent portrait{2480, 3508};
    return orientation == vcl::poLandscape ? vcl::PageExtent{portrait.height, portrait.width} : portrait;
}

bool WritePdfPage(const std::string& path, const vcl::PrintedPage& page, std::string& error)
{
    const vcl::PixelBuffer& px = page.pixels;
    if (px.Empty()) {
        error = "the page is empty";
        return false;
    }
    const double points = 72.0 / kDotsPerInch;
    cairo_surface_t* pdf = cairo_pdf_surface_create(path.c_str(), px.Width() * points, px.Height() * points);
    if (cairo_surface_status(pdf) != CAIRO_STATUS_SUCCESS) {
        error = std::string("cannot write ") + path + ": " + cairo_status_to_string(cairo_surface_status(pdf));
        cairo_surface_destroy(pdf);
        return false;
    }
    cairo_pdf_surface_set_metadata(pdf, CAIRO_PDF_METADATA_TITLE, rtl::ToUtf8(page.title).c_str());
    cairo_t* cr = cairo_create(pdf);
    cairo_scale(cr, points, points);
    bool ok = true;
    if (DrawnBesidesJpegs(page))
        PaintPixels(cr, px);
    for (const vcl::PrintedPicture& p : page.pictures)
        if (Embeddable(p))
            ok = PaintJpeg(cr, page, p) && ok;
    cairo_show_page(cr);
    const cairo_status_t drawn = cairo_status(cr);
    cairo_destroy(cr);
    cairo_surface_finish(pdf);
    cairo_status_t status = cairo_surface_status(pdf);
    if (status == CAIRO_STATUS_SUCCESS)
        status = drawn;
    cairo_surface_destroy(pdf);
    if (status != CAIRO_STATUS_SUCCESS) {
        error = std::string("cannot write ") + path + ": " + cairo_status_to_string(status);
        return false;
    }
    if (!ok) {
        error = "out of memory";
        return false;
    }
    return true;
}

} // namespace backends::cups
