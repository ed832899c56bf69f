// The test driver's answers to the picture save dialog and the print dialog.
#include "platform/vcl/PrintDialog.h"
#include "platform/vcl/TestDriver.h"

#include <deque>
#include <optional>

namespace vcl {

class TestDriver::DialogAnswers : public SaveFilePicker, public PrintDialogAnswerer {
public:
    explicit DialogAnswers(TestDriver* driver)
        : FDriver(driver),
          FPreviousPicker(InstallSaveFilePicker(this)),
          FPreviousAnswerer(InstallPrintDialogAnswerer(this))
    {
    }
    ~DialogAnswers() override
    {
        InstallSaveFilePicker(FPreviousPicker);
        InstallPrintDialogAnswerer(FPreviousAnswerer);
    }

    bool PickSaveFile(const SaveFileRequest& request, UnicodeString& chosen) override
    {
        SaveCalls.push_back(request);
        if (SaveAnswers.empty()) {
            FDriver->Record("unexpected save dialog \"" + Utf8(request.title) + "\"");
            return false;
        }
        const std::optional<UnicodeString> answer = SaveAnswers.front();
        SaveAnswers.pop_front();
        if (!answer)
            return false;
        chosen = *answer;
        return true;
    }

    bool ConfirmPrint() override
    {
        ++PrintCalls;
        if (PrintAnswers.empty()) {
            FDriver->Record("unexpected print dialog");
            return false;
        }
        const bool print = PrintAnswers.front();
        PrintAnswers.pop_front();
        return print;
    }

    std::deque<std::optional<UnicodeString>> SaveAnswers;
    std::vector<SaveFileRequest> SaveCalls;
    std::deque<bool> PrintAnswers;
    int PrintCalls = 0;

private:
    TestDriver* FDriver;
    SaveFilePicker* FPreviousPicker;
    PrintDialogAnswerer* FPreviousAnswerer;
};

TestDriver::DialogAnswers* TestDriver::NewDialogAnswers(TestDriver* driver) { return new DialogAnswers(driver); }

void TestDriver::DeleteDialogAnswers(DialogAnswers* answers) { delete answers; }

void TestDriver::AnswerSaveFile(const UnicodeString& path) { FDialogAnswers->SaveAnswers.push_back(path); }

void TestDriver::CancelSaveFile() { FDialogAnswers->SaveAnswers.push_back(std::nullopt); }

const std::vector<SaveFileRequest>& TestDriver::SaveFileDialogs() const { return FDialogAnswers->SaveCalls; }

void TestDriver::AnswerPrintDialog(bool print) { FDialogAnswers->PrintAnswers.push_back(print); }

int TestDriver::PrintDialogsShown() const { return FDialogAnswers->PrintCalls; }

int TestDriver::PendingDialogAnswers() const
{
    return static_cast<int>(FDialogAnswers->SaveAnswers.size() + FDialogAnswers->PrintAnswers.size());
}

} // namespace vcl
