// The seam behind TPrinter (Printer.h): where printed pages go.
//
// TPrinter does the shared work (job state, the page's pixels, the canvas)
// and calls its back end for what is the printer's: the page size, the
// start of a job, each picture as it is drawn, the finished page, an abort.
// A picture comes with its rectangle and, for a JPEG, its compressed bytes,
// so a back end that writes PDF can embed the JPEG itself instead of the
// page's pixels.
//
// The default back end is a RecordingPrinter (RecordingPrinter.h): tests
// read its pages. A cairo/CUPS back end is installed by the program.
//
// Thread: every call comes on the user interface thread.
#pragma once

#include <vector>

#include "platform/host/Seam.h"
#include "platform/rtl/UnicodeString.h"
#include "platform/vcl/Geometry.h"
#include "platform/vcl/PixelBuffer.h"

namespace vcl {

enum TPrinterOrientation { poPortrait, poLandscape };

struct PageExtent {
    int width = 0;
    int height = 0;
    friend bool operator==(const PageExtent&, const PageExtent&) = default;
};

// A picture drawn on the page.
struct PrintedPicture {
    TRect rect; // where on the page, printer pixels
    int width = 0; // the picture's own size
    int height = 0;
    std::vector<unsigned char> jpeg; // the JPEG's bytes; empty for other pictures
};

// One finished page of a job.
struct PrintedPage {
    rtl::UnicodeString title;
    TPrinterOrientation orientation = poPortrait;
    PixelBuffer pixels; // PageWidth x PageHeight, white where nothing was drawn
    std::vector<PrintedPicture> pictures;
};

class PrinterBackend {
public:
    virtual ~PrinterBackend() = default;
    // The printable page in printer pixels in that orientation (landscape
    // is the portrait page turned). Both above 0.
    virtual PageExtent PageSize(TPrinterOrientation orientation) = 0;
    // A job begins; false when the printer refuses it (TPrinter raises
    // EPrinter and does not print).
    virtual bool StartDoc(const rtl::UnicodeString& title, TPrinterOrientation orientation) = 0;
    // A picture is drawn on the page; false when the printer fails (TPrinter
    // raises EPrinter; the job stays open until EndDoc or Abort).
    virtual bool AddPicture(const PrintedPicture& picture) = 0;
    // The job's page is finished; false when the printer fails (TPrinter
    // raises EPrinter; the job is over either way).
    virtual bool EndDoc(const PrintedPage& page) = 0;
    // The job is thrown away; nothing of it is printed.
    virtual void AbortDoc() = 0;
};

// Installs the back end (null: the default recording printer); returns the
// previous one (null for the default). The caller keeps ownership; never
// while a job is open. Installed and read on the user interface thread
// (printing is done there): a plain seam (platform/host/Seam.h).
PrinterBackend* InstallPrinterBackend(PrinterBackend* backend);
using ScopedPrinterBackend = host::ScopedInstall<PrinterBackend*, &InstallPrinterBackend>;
// The back end in force.
PrinterBackend& CurrentPrinterBackend();

} // namespace vcl
