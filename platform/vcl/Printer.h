// The printer: one job at a time, one page per job, drawn on a canvas over
// the page's pixels and handed to the printer back end (PrinterBackend.h)
// when the job ends.
//
//     Printer()->SetTitle(u"job");
//     Printer()->SetOrientation(poLandscape);
//     Printer()->BeginDoc();
//     Printer()->Canvas()->StretchDraw(rect, &jpeg);
//     Printer()->EndDoc();
//
// A job that fails after BeginDoc stays open until EndDoc or Abort; a
// second BeginDoc meanwhile raises EPrinter ("Printing in progress").
// User interface thread only.
#pragma once

#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/UnicodeString.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/PrinterBackend.h"

namespace vcl {

using rtl::EPrinter;

class TPrinter {
public:
    TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    const rtl::UnicodeString& Title() const { return FTitle; }
    void SetTitle(const rtl::UnicodeString& title) { FTitle = title; }
    TPrinterOrientation Orientation() const { return FOrientation; }
    // Raises EPrinter while a job is open.
    void SetOrientation(TPrinterOrientation orientation);
    // The back end's page in the current orientation, printer pixels.
    int PageWidth() const;
    int PageHeight() const;

    // Opens a job on a white page; EPrinter while one is open or when the
    // back end refuses.
    void BeginDoc();
    // Hands the page to the back end and closes the job; EPrinter when no
    // job is open or the back end fails (the job is closed either way).
    void EndDoc();
    // Throws the open job away; EPrinter when none is open.
    void Abort();
    bool Printing() const { return FPrinting; }
    // The last job was aborted (until the next BeginDoc).
    bool Aborted() const { return FAborted; }

    // Draws on the open job's page (nothing while no job is open). A picture
    // the back end refuses raises EPrinter from the drawing call.
    TCanvas* Canvas() { return &FCanvas; }

private:
    void PictureDrawn(const TRect& rect, const TGraphic& graphic);

    rtl::UnicodeString FTitle;
    TPrinterOrientation FOrientation = poPortrait;
    bool FPrinting = false;
    bool FAborted = false;
    PixelBuffer FPage;
    std::vector<PrintedPicture> FPictures;
    TCanvas FCanvas;
};

// The one printer of the program.
TPrinter* Printer();

} // namespace vcl
