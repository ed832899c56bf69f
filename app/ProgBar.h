// The progress window of the recording list's long operations: what runs,
// how far it has come, an optional stop button and the abort flag the
// operations poll.
#pragma once

#include "platform/rtl/rtl.h"
#include "platform/vcl/vcl.h"

#include <cstdint>
#include <vector>

// Counter kinds of SetProgress.
inline constexpr int kProgressCountOfTotal = 1; // "  [3/10]"
inline constexpr int kProgressCountItems = 3; // "　[40件]"

class TProgForm : public TForm {
public:
    explicit TProgForm(TComponent* Owner);
    ~TProgForm() override;

    TProgressBar* ProgressBar1;
    TPanel* Panel1;
    TLabel* Label1;
    TButton* BtnStop;

    // Shows the window with or without the stop button and clears FAbort.
    // Called while the window already shows another operation, it keeps that
    // one's stop request and stop button and starts a nested level instead;
    // HideProgress ends the level.
    void ShowProgress(bool withStopButton);
    void SetProgressTitle(const AnsiString& title);
    // Sets the bar, the counter text by kind (1: done / total, 3: count; any
    // other kind keeps the text), repaints and lets pending messages through.
    void SetProgress(int position, int maximum, int kind);
    // Ends the innermost operation: the outer one's title, stop button and
    // bar come back; the window hides when the outermost one ends.
    void HideProgress();
    // Operations in progress (0 while hidden).
    int NestingLevel() const { return FLevel; }

    void FormShow(TObject* Sender);
    void FormHide(TObject* Sender);
    void BtnStopClick(TObject* Sender);

    AnsiString FTitle;
    // 1 once a stop was asked for; polled by the running operation, set by
    // the stop button and the main window's close.
    std::uint8_t FAbort = 0;

private:
    struct Level {
        AnsiString Title;
        bool StopButton = false;
        int Position = 0;
        int Maximum = 0;
        UnicodeString Text;
    };

    int FLevel = 0;
    std::vector<Level> FOuter;
};

extern TProgForm* ProgForm;
