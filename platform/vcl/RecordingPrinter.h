// The default printer back end: keeps every finished page for tests to
// read, counts aborted jobs, and can be told to fail.
#pragma once

#include <vector>

#include "platform/vcl/PrinterBackend.h"

namespace vcl {

class RecordingPrinter : public PrinterBackend {
public:
    // A4 at 300 dpi until told otherwise.
    RecordingPrinter() = default;

    // The portrait page in printer pixels (sizes below 1 count as 1, above
    // 16384 as 16384); landscape turns it.
    void SetPortraitPage(int width, int height);

    enum class Step { StartDoc, AddPicture, EndDoc };
    // The next call of `step` fails (once).
    void FailNext(Step step);

    PageExtent PageSize(TPrinterOrientation orientation) override;
    bool StartDoc(const rtl::UnicodeString& title, TPrinterOrientation orientation) override;
    bool AddPicture(const PrintedPicture& picture) override;
    bool EndDoc(const PrintedPage& page) override;
    void AbortDoc() override;

    std::vector<PrintedPage> Pages;
    int Started = 0;
    int Aborted = 0;

private:
    bool Fails(Step step);

    PageExtent FPortrait{2480, 3508};
    std::vector<Step> FFailures;
};

// The recording printer that serves while no back end is installed.
RecordingPrinter& DefaultRecordingPrinter();

} // namespace vcl
