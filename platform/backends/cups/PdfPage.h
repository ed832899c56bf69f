// A printed page as a one-page PDF drawn by cairo. The page keeps its shape
// (a landscape page is a wide PDF page), 300 printer pixels to the inch.
// Each JPEG picture goes in as the JPEG itself at its rectangle; the page's
// own pixels go in only when something besides those pictures was drawn.
#pragma once

#include <string>

#include "platform/vcl/PrinterBackend.h"

namespace backends::cups {

inline constexpr double kDotsPerInch = 300.0;

// A4 at 300 dpi; landscape turns it.
vcl::PageExtent A4Page(vcl::TPrinterOrientation orientation);

// Writes the page to path (replacing a file there); false with the reason
// in error.
bool WritePdfPage(const std::string& path, const vcl::PrintedPage& page, std::string& error);

} // namespace backends::cups
