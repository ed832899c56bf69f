// The search window: a date, an hour and a minute; jumps to the recording
// of the list that starts nearest that moment and plays it. A small tool
// window above the others, not modal, created once and hidden by its two
// buttons; the list's find command presets and shows it.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/rtl/rtl.h"
#include "platform/vcl/vcl.h"

class TFormSearch : public TForm {
public:
    explicit TFormSearch(TComponent* Owner);
    ~TFormSearch() override;

    TLabel* LabelHeader;
    TLabel* LabelDate;
    TDateTimePicker* DateTimePicker1;
    TLabel* LabelTime;
    TEdit* EditHour;
    TScrollBar* ScrollBarHour;
    TLabel* LabelHH;
    TEdit* EditTime;
    TScrollBar* ScrollBarMinute;
    TLabel* LabelMM;
    TButton* ButtonSearch;
    TButton* ButtonCancel;

    void ButtonSearchClick(TObject* Sender);
    void ButtonCancelClick(TObject* Sender);
    void ScrollBarHourScroll(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
    void ScrollBarMinuteScroll(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
    void ScrollBarHourChange(TObject* Sender);
    void ScrollBarMinuteChange(TObject* Sender);

    // The scroll code of the last arrow press of either spin bar.
    std::uint8_t FLastScrollCode = 0;
    // The list view searched (not owned); set by the list before showing.
    TListView* FSearchListView = nullptr;

private:
    void Step(TEdit* edit, int highest);
};

extern TFormSearch* FormSearch;

// "YYYY/MM/DD hh:mm:ss" (every number one digit or more) as seconds since
// the framework's day 0; false when the text is no valid date and time
// (a damaged header's "0000/00/00 00:00:00").
bool SearchTimeOfText(const UnicodeString& text, std::int64_t& seconds);
// The date (time of day 0) of such a time.
TDateTime SearchDateOfSeconds(std::int64_t seconds);

// The row a search takes: rowTimes are the rows' recording-time texts,
// oldest first; the target is dateText ("YYYY/MM/DD"), hour and minute
// (one or two digits). Rows whose text does not convert are passed over.
// The nearest start wins, a tie the later one; hour "00" and minute "00"
// (exactly these texts) do not fall back to a recording of the day before
// when one of that date follows.
// -1 when no row converts; raises EConvertError when the target does not.
int ChooseSearchRow(const std::vector<UnicodeString>& rowTimes, const UnicodeString& dateText,
                    const UnicodeString& hour, const UnicodeString& minute);
