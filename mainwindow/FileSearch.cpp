#include "mainwindow/FileSearch.h"

#include "mainwindow/ListView.h"
#include "playback/VideoView.h"

TFormSearch* FormSearch = nullptr;

namespace {

constexpr int kClientWidth = 389;
constexpr int kClientHeight = 228;
constexpr std::int64_t kSecondsPerDay = 86400;

// The day of a time in seconds (days before the framework's day 0 too).
std::int64_t DayOf(std::int64_t seconds)
{
    return seconds >= 0 ? seconds / kSecondsPerDay : -((-seconds + kSecondsPerDay - 1) / kSecondsPerDay);
}

// Digits only, at least one, at most maxDigits.
bool ReadNumber(const UnicodeString& text, int maxDigits, int& value)
{
    const int n = text.Length();
    if (n < 1 || n > maxDigits)
        return false;
    value = 0;
    for (int i = 1; i <= n; ++i) {
        const char16_t c = text[i];
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c - u'0');
    }
    return true;
}

// Splits text at sep into exactly `count` parts.
bool Split(const UnicodeString& text, char16_t sep, int count, std::vector<UnicodeString>& parts)
{
    parts.clear();
    int start = 1;
    for (int i = 1; i <= text.Length() + 1; ++i) {
        if (i == text.Length() + 1 || text[i] == sep) {
            parts.push_back(text.SubString(start, i - start));
            start = i + 1;
        }
    }
    return static_cast<int>(parts.size()) == count;
}

template <class T>
T* Place(TFormSearch* form, T* control, const char16_t* name, int left, int top, int width, int height)
{
    control->SetName(name);
    control->SetParent(form);
    control->SetBounds(left, top, width, height);
    return control;
}

} // namespace

TDateTime SearchDateOfSeconds(std::int64_t seconds) { return TDateTime(static_cast<double>(DayOf(seconds))); }

bool SearchTimeOfText(const UnicodeString& text, std::int64_t& seconds)
{
    std::vector<UnicodeString> halves, date, time;
    if (!Split(text, u' ', 2, halves) || !Split(halves[0], u'/', 3, date) || !Split(halves[1], u':', 3, time))
        return false;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!ReadNumber(date[0], 4, year) || !ReadNumber(date[1], 2, month) || !ReadNumber(date[2], 2, day) ||
        !ReadNumber(time[0], 2, hour) || !ReadNumber(time[1], 2, minute) || !ReadNumber(time[2], 2, second))
        return false;
    TDateTime days;
    if (hour > 23 || minute > 59 || second > 59 ||
        !TryEncodeDate(static_cast<Word>(year), static_cast<Word>(month), static_cast<Word>(day), days))
        return false;
    // Whole days are exact in the double; seconds keep ties exact.
    seconds = static_cast<std::int64_t>(days.Val) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
    return true;
}

int ChooseSearchRow(const std::vector<UnicodeString>& rowTimes, const UnicodeString& dateText,
                    const UnicodeString& hour, const UnicodeString& minute)
{
    const UnicodeString targetText = dateText + u" " + hour + u":" + minute + u":00";
    std::int64_t target = 0;
    if (!SearchTimeOfText(targetText, target))
        throw EConvertError(u"'" + targetText + u"' is not a valid date and time");

    struct Row {
        int index;
        std::int64_t time;
    };
    std::vector<Row> rows;
    for (int i = 0; i < static_cast<int>(rowTimes.size()); ++i) {
        std::int64_t t = 0;
        if (SearchTimeOfText(rowTimes[static_cast<std::size_t>(i)], t))
            rows.push_back({i, t});
    }
    if (rows.empty())
        return -1;

    std::size_t later = 0;
    while (later < rows.size() && rows[later].time <= target)
        ++later;
    if (later == rows.size())
        return rows.back().index;
    if (later == 0)
        return rows.front().index;
    const Row& next = rows[later];
    const Row& previous = rows[later - 1];
    // "00" and "00" search the day they name: a recording of the day before
    // is not taken when one of that date follows. One starting at exactly
    // 00:00:00 is of that date, so the nearest rule below takes it. Midnight
    // written otherwise ("0", "0") is an ordinary time: the nearest row.
    const std::int64_t targetDay = DayOf(target);
    if (hour == u"00" && minute == u"00" && DayOf(next.time) == targetDay && DayOf(previous.time) < targetDay)
        return next.index;
    return next.time - target > target - previous.time ? previous.index : next.index;
}

TFormSearch::TFormSearch(TComponent* Owner) : TForm(Owner)
{
    SetName(u"FormSearch");
    SetBorderStyle(bsToolWindow);
    SetBorderIcons(TBorderIcons{});
    SetFormStyle(fsStayOnTop);
    SetPosition(poMainFormCenter);
    SetClientWidth(kClientWidth);
    SetClientHeight(kClientHeight);
    Font()->SetName(u"ＭＳ ゴシック");
    Font()->SetHeight(-16);

    LabelHeader = Place(this, new TLabel(this), u"LabelHeader", 48, 24, 224, 16);
    LabelDate = Place(this, new TLabel(this), u"LabelDate", 88, 61, 41, 19);
    DateTimePicker1 = Place(this, new TDateTimePicker(this), u"DateTimePicker1", 152, 61, 152, 24);
    DateTimePicker1->SetKind(dtkDate);
    DateTimePicker1->SetFormat(u"yyyy/MM/dd");
    DateTimePicker1->SetTabOrder(0);
    LabelTime = Place(this, new TLabel(this), u"LabelTime", 88, 107, 32, 16);
    EditHour = Place(this, new TEdit(this), u"EditHour", 152, 104, 42, 24);
    EditHour->SetMaxLength(2);
    EditHour->SetNumbersOnly(true);
    EditHour->SetTabOrder(1);
    ScrollBarHour = Place(this, new TSpinScrollBar(this), u"ScrollBarHour", 192, 105, 17, 24);
    ScrollBarHour->SetKind(sbVertical);
    ScrollBarHour->SetParams(1000, 0, 2000);
    ScrollBarHour->SetPageSize(1);
    ScrollBarHour->SetTabStop(false);
    LabelHH = Place(this, new TLabel(this), u"LabelHH", 219, 107, 16, 16);
    EditTime = Place(this, new TEdit(this), u"EditTime", 245, 104, 42, 24);
    EditTime->SetMaxLength(2);
    EditTime->SetNumbersOnly(true);
    EditTime->SetTabOrder(2);
    ScrollBarMinute = Place(this, new TSpinScrollBar(this), u"ScrollBarMinute", 287, 105, 17, 24);
    ScrollBarMinute->SetKind(sbVertical);
    ScrollBarMinute->SetParams(0, -2000, 2000);
    ScrollBarMinute->SetPageSize(0);
    ScrollBarMinute->SetTabStop(false);
    LabelMM = Place(this, new TLabel(this), u"LabelMM", 311, 107, 16, 16);
    LabelMM->SetParentFont(false);
    LabelMM->Font()->SetName(u"ＭＳ 明朝");
    LabelMM->Font()->SetHeight(-16);
    ButtonSearch = Place(this, new TButton(this), u"ButtonSearch", 67, 168, 106, 33);
    ButtonSearch->SetTabOrder(3);
    ButtonCancel = Place(this, new TButton(this), u"ButtonCancel", 214, 168, 113, 33);
    ButtonCancel->SetTabOrder(5);

    LabelHeader->SetCaption(u"ファイルの日時を入力");
    LabelDate->SetCaption(u"日付");
    LabelTime->SetCaption(u"時刻");
    LabelHH->SetCaption(u"時");
    LabelMM->SetCaption(u"分");
    ButtonSearch->SetCaption(u"検索");
    ButtonCancel->SetCaption(u"キャンセル");
    SetCaption(u"検索");

    ButtonSearch->OnClick = [this](TObject* s) { ButtonSearchClick(s); };
    ButtonCancel->OnClick = [this](TObject* s) { ButtonCancelClick(s); };
    ScrollBarHour->OnScroll = [this](TObject* s, TScrollCode c, int& p) { ScrollBarHourScroll(s, c, p); };
    ScrollBarMinute->OnScroll = [this](TObject* s, TScrollCode c, int& p) { ScrollBarMinuteScroll(s, c, p); };
    ScrollBarHour->OnChange = [this](TObject* s) { ScrollBarHourChange(s); };
    ScrollBarMinute->OnChange = [this](TObject* s) { ScrollBarMinuteChange(s); };
    SetVisible(false);
}

TFormSearch::~TFormSearch()
{
    // Windows reach one another through the globals: a window gone is null.
    if (FormSearch == this)
        FormSearch = nullptr;
}

void TFormSearch::ScrollBarHourScroll(TObject*, TScrollCode ScrollCode, int&)
{
    FLastScrollCode = static_cast<std::uint8_t>(ScrollCode);
}

void TFormSearch::ScrollBarMinuteScroll(TObject*, TScrollCode ScrollCode, int&)
{
    FLastScrollCode = static_cast<std::uint8_t>(ScrollCode);
}

void TFormSearch::Step(TEdit* edit, int highest)
{
    int value = edit->Text().IsEmpty() ? 0 : StrToInt(edit->Text());
    if (FLastScrollCode == scLineUp)
        value = value > highest - 1 ? 0 : value + 1;
    else
        value = value <= 0 ? highest : value - 1;
    edit->SetText(Format(u"%02d", value));
}

void TFormSearch::ScrollBarHourChange(TObject*) { Step(EditHour, 23); }

void TFormSearch::ScrollBarMinuteChange(TObject*) { Step(EditTime, 59); }

void TFormSearch::ButtonCancelClick(TObject*)
{
    Hide();
    PostVideoRepaint();
}

void TFormSearch::ButtonSearchClick(TObject*)
{
    const UnicodeString dateText = DateTimePicker1->Text().SubString(1, 19);
    if (EditHour->Text().IsEmpty())
        EditHour->SetText(u"00");
    if (EditTime->Text().IsEmpty())
        EditTime->SetText(u"00");

    TListView* view = FSearchListView;
    std::vector<UnicodeString> rowTimes;
    if (view != nullptr) {
        for (int i = 0; i < view->Items()->Count(); ++i) {
            const TListItem* item = view->Items()->Item(i);
            rowTimes.push_back(item->SubItems()->Count() >= kColumnDate ? item->SubItems()->Strings(kColumnDate - 1)
                                                                        : UnicodeString());
        }
    }
    // A target that is no time raises here, with the window still open.
    const int row = ChooseSearchRow(rowTimes, dateText, EditHour->Text(), EditTime->Text());
    Hide();
    if (row >= 0 && view != nullptr) {
        view->SetItemIndex(row);
        view->Items()->Item(row)->SetSelected(true);
        if (ListControl && view == ListControl->ListView1)
            ListControl->ListView1SelectItem(nullptr, nullptr, true);
        view->Items()->Item(row)->MakeVisible(true);
    }
    PostVideoRepaint();
    if (view != nullptr && view->CanFocus())
        view->SetFocus();
}
