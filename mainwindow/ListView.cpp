#include "mainwindow/ListView.h"

#include "app/Globals.h"
#include "app/MyLog.h"
#include "app/ProgBar.h"
#include "mainwindow/MAIN.h"
#include "platform/win/Files.h"
#include "platform/win/MessageWindow.h"
#include "platform/win/Messages.h"
#include "playback/VideoView.h"

TListControl* ListControl = nullptr;

namespace {

constexpr TColor kTransparent = clFuchsia;
constexpr win::UINT kInitLookMessage = win::WM_USER + 1;

// The five 16 x 16 pictures: 0 event (red exclamation sign), 1 played
// (green tick), 2 play symbol, 3 down arrow, 4 event-only header (stacked
// lines). The bottom left pixel is the transparent colour.
TBitmap Picture(int index)
{
    TBitmap b(16, 16);
    TCanvas& c = *b.Canvas();
    c.Brush.Color = kTransparent;
    c.FillRect(TRect(0, 0, 16, 16));
    switch (index) {
    case 0: // a red triangle with a white exclamation mark
        for (int y = 1; y < 15; ++y) {
            const int half = (y * 7) / 14;
            c.Brush.Color = clRed;
            c.FillRect(TRect(8 - half - 1, y, 8 + half + 1, y + 1));
        }
        c.Brush.Color = clWhite;
        c.FillRect(TRect(7, 5, 9, 11));
        c.FillRect(TRect(7, 12, 9, 14));
        break;
    case 1: // a green tick
        c.Pen.Color = clLime;
        for (int w = 0; w < 2; ++w) {
            c.MoveTo(2, 8 + w);
            c.LineTo(6, 12 + w);
            c.LineTo(14, 3 + w);
        }
        break;
    case 2: // a green disc with a white play triangle
        for (int y = 1; y < 15; ++y)
            for (int x = 1; x < 15; ++x)
                if ((x - 8) * (x - 8) + (y - 8) * (y - 8) <= 42)
                    c.SetPixel(x, y, clGreen);
        for (int x = 6; x < 12; ++x)
            for (int y = 5 + (x - 6) / 2; y <= 11 - (x - 6) / 2; ++y)
                c.SetPixel(x, y, clWhite);
        break;
    case 3: // a blue down arrow
        c.Brush.Color = clBlue;
        c.FillRect(TRect(6, 2, 10, 9));
        for (int y = 9; y < 15; ++y)
            c.FillRect(TRect(2 + (y - 9), y, 14 - (y - 9), y + 1));
        break;
    case 4: // stacked lines with a red mark: only event recordings
        c.Brush.Color = clWhite;
        for (int y = 3; y < 14; y += 4)
            c.FillRect(TRect(2, y, 14, y + 2));
        c.Brush.Color = clRed;
        c.FillRect(TRect(0, 3, 2, 5));
        break;
    default:
        break;
    }
    return b;
}

// Re-enables the list view on every way out of the scope.
class ListViewEnabled {
public:
    explicit ListViewEnabled(TListView* view) : FView(view) {}
    ~ListViewEnabled() { FView->SetEnabled(true); }
    ListViewEnabled(const ListViewEnabled&) = delete;
    ListViewEnabled& operator=(const ListViewEnabled&) = delete;

private:
    TListView* FView;
};

void ClearPanes()
{
    if (MainForm) {
        MainForm->ClearMapTrace();
        MainForm->ClearGraph();
    }
}

} // namespace

TListControl::TListControl(TComponent* Owner) : TForm(Owner)
{
    SetName(u"ListControl");
    SetBorderStyle(bsNone);
    SetAlign(alLeft);
    SetColor(clBlack);

    ImageList1 = new TImageList(this);
    ImageList1->SetName(u"ImageList1");
    ImageList1->SetMasked(true);
    for (int i = 0; i < 5; ++i)
        ImageList1->Add(Picture(i));

    ListView1 = new TListView(this);
    ListView1->SetName(u"ListView1");
    ListView1->SetParent(this);
    ListView1->SetAlign(alClient);
    ListView1->SetViewStyle(vsReport);
    ListView1->SetCheckboxes(true);
    ListView1->SetReadOnly(true);
    ListView1->SetRowSelect(true);
    ListView1->SetColor(clBlack);
    ListView1->Font()->SetName(u"ＭＳ Ｐゴシック");
    ListView1->Font()->SetHeight(-11);
    ListView1->Font()->SetColor(clWhite);
    ListView1->SetSmallImages(ImageList1);
    const struct {
        int width;
        int minWidth;
        TAlignment alignment;
    } columns[] = {{26, 0, taLeftJustify}, {18, 10, taLeftJustify}, {18, 10, taCenter},   {78, 50, taLeftJustify},
                   {0, 0, taLeftJustify},  {0, 0, taLeftJustify},   {0, 0, taLeftJustify}};
    for (const auto& c : columns) {
        TListColumn* column = ListView1->AddColumn();
        column->SetMinWidth(c.minWidth);
        column->SetWidth(c.width);
        column->SetAlignment(c.alignment);
    }
    ListView1->Column(kColumnEvent)->SetImageIndex(kPictureEvent);
    ListView1->Column(kColumnFileId)->SetCaption(u"file_id");
    ListView1->OnClick = [this](TObject* s) { ListView1Click(s); };
    ListView1->OnDblClick = [this](TObject* s) { ListView1Click(s); };
    ListView1->OnSelectItem = [this](TObject* s, TListItem* item, bool selected) {
        ListView1SelectItem(s, item, selected);
    };
    ListView1->OnColumnClick = [this](TObject* s, TListColumn* column) { ListView1ColumnClick(s, column); };

    TimerInit = new TTimer(this);
    TimerInit->SetName(u"TimerInit");
    TimerInit->SetInterval(100);
    TimerInit->OnTimer = [this](TObject* s) { TimerInitTimer(s); };
    TimerInit->SetEnabled(true);
    // The timer's first look comes as soon as the message loop runs, not
    // one interval later; while viewing is not allowed it goes on looking.
    FInitLook = std::make_unique<win::TMessageWindow>([this](win::TMessage& m) {
        if (m.Msg == kInitLookMessage && TimerInit->Enabled())
            TimerInitTimer(TimerInit);
    });
    win::PostMessage(FInitLook->Handle(), kInitLookMessage, 0, 0);

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };

    if (MyLogModule)
        MyLogModule->LogDebug("TListControl::TListControl() START");
    try {
        FFileList = new TFileList();
        FFileList->OnStopped = PostVideoRepaint;
        // The recordings lie in "DATA" at the root of the program's drive.
        const int root = ProgramFolder.Pos(u":\\");
        FFolder = root > 0 ? ProgramFolder.SubString(1, root + 1) + u"DATA" : ProgramFolder;
        FCurrentRow = -1;
        if (MainForm && MainForm->PanelList)
            SetParent(MainForm->PanelList);
        FCheckAll = false;
        FEventOnlyNext = false;
        ListView1->Column(2)->SetCaption(u"イベント");
        ListView1->Column(3)->SetCaption(u"録画日時");
        ListView1->Column(4)->SetCaption(u"長さ");
        ListView1->Column(5)->SetCaption(u"フレーム長さ");
    } catch (Exception& e) {
        LogFailure("TListControl", e);
    }
    SetVisible(true);
}

TListControl::~TListControl()
{
    try {
        ClearFileList(FFileList);
        delete FFileList;
        FFileList = nullptr;
        if (MyLogModule)
            MyLogModule->LogDebug("TListControl::~TListControl() END");
    } catch (Exception& e) {
        LogFailure("~TListControl", e);
    }
    // Windows reach one another through the globals: a window gone is null.
    if (ListControl == this)
        ListControl = nullptr;
}

void TListControl::LogFailure(const char* operation, const Exception& e)
{
    if (MyLogModule)
        MyLogModule->LogError(AnsiString("TListControl::") + operation + " ERROR:" + AnsiString(e.Message));
}

void TListControl::FormCreate(TObject*)
{
    try {
        if (MainForm)
            MainForm->EditPath->SetText(FFolder);
        ListView1->Items()->Clear();
        AdjustListLayout();
    } catch (Exception& e) {
        LogFailure("FormCreate", e);
    }
}

void TListControl::FormShow(TObject*)
{
    if (ListView1->CanFocus())
        ListView1->SetFocus();
}

void TListControl::TimerInitTimer(TObject*)
{
    try {
        if (ViewingAllowed == 0)
            return;
        TimerInit->SetEnabled(false);
        if (MainForm)
            MainForm->EditPath->SetText(FFolder);
        ListView1->Items()->Clear();
        ListRefresh(FFolder);
    } catch (Exception& e) {
        LogFailure("TimerInitTimer", e);
    }
}

void TListControl::Scan(const UnicodeString& folder)
{
    if (ProgForm) {
        ProgForm->ShowProgress(false);
        ProgForm->SetProgressTitle(AnsiString(u"読込み中...."));
    }
    ScanFileCount = 0;
    ClearFileList(FFileList);
    FFileList->CreateList(folder, 2);
    if (ProgForm) {
        ProgForm->SetProgress(static_cast<int>(ScanFileCount), static_cast<int>(ScanFileCount), kProgressCountItems);
        ProgForm->HideProgress();
    }
    Application->ProcessMessages();
    Application->ProcessMessages();
    PostVideoRepaint();
}

void TListControl::ListRefresh(const UnicodeString& folder)
{
    if (FRunning != TListOperation::None) {
        // Runs when the running operation ends, in place of any request
        // before it.
        FPendingFolder = folder;
        FRescanPending = true;
        return;
    }
    FRunning = TListOperation::Scan;
    struct ScanGuard {
        TListControl* self;
        ~ScanGuard()
        {
            self->FRunning = TListOperation::None;
            self->FRescanPending = false;
        }
    } guard{this};
    try {
        UnicodeString next = folder;
        for (;;) {
            FRescanPending = false;
            Scan(next);
            // A close of the main window stops the scan and drops what waits.
            const bool stopped = ProgForm && ProgForm->FAbort;
            if (!FRescanPending || stopped)
                break;
            next = FPendingFolder;
        }
        FEventOnlyNext = false;
        if (FFileList->Count() > 0) {
            FFileList->Sort(CompareFindData);
            ShowFileList(0);
        } else {
            if (MainForm)
                MainForm->SetPlayButtonsEnabled(false);
            if (PlayControl)
                PlayControl->PrepareDummyMedia();
        }
        if (MainForm) {
            MainForm->EditPath->SetHint(MainForm->EditPath->Text());
            MainForm->EditPath->SetTextHint(MainForm->EditPath->Text());
        }
    } catch (Exception& e) {
        LogFailure("ListRefresh", e);
    }
}

void TListControl::AddRow(int recordIndex, int eventPicture)
{
    const TFindData* record = FFileList->Item(recordIndex);
    TListItem* item = ListView1->Items()->Add();
    item->SetImageIndex(-1);
    item->SubItems()->Add(UnicodeString());
    item->SubItems()->Add(UnicodeString());
    item->SetSubItemImages(0, record->PlayedImage);
    item->SetSubItemImages(1, eventPicture);
    item->SubItems()->Add(record->DateText);
    item->SubItems()->Add(record->LengthText);
    item->SubItems()->Add(u"0");
    item->SubItems()->Add(IntToStr(recordIndex));
}

void TListControl::ShowFileList(int keepIndex)
{
    if (PlayControl)
        PlayControl->ImageStopClick(nullptr);
    ListView1->Items()->Clear();
    if (MainForm)
        MainForm->SetPlayButtonsEnabled(false);
    int newRow = 0;
    for (int i = 0; i < FFileList->Count(); ++i) {
        const TFindData* record = FFileList->Item(i);
        if (record == nullptr || record->Deleted)
            continue;
        const bool event = IsEventRecording(record->FullPath);
        if (FEventOnlyNext && !event)
            continue;
        AddRow(i, event ? kPictureEvent : -1);
        if (i == keepIndex)
            newRow = ListView1->Items()->Count() - 1;
    }
    ListView1->Column(kColumnEvent)->SetImageIndex(FEventOnlyNext ? kPictureEventOnly : kPictureEvent);
    if (ListView1->Items()->Count() == 0) {
        FCurrentRow = -1;
        if (PlayControl)
            PlayControl->PrepareDummyMedia();
        if (MainForm)
            win::PostMessage(MainForm->Handle(), WM_PLAY_STATE, 1, 0);
    } else {
        if (MainForm)
            MainForm->SetPlayButtonsEnabled(true);
        FCurrentRow = newRow;
        SelectCurrentRow();
        ListView1->Refresh();
        PlaySelListFiles();
    }
    FEventOnlyNext = !FEventOnlyNext;
}

void TListControl::SelectCurrentRow()
{
    // FCurrentRow is already the new row, so the selection plays nothing.
    ListView1->SetItemIndex(FCurrentRow);
    ListView1->Items()->Item(FCurrentRow)->SetSelected(true);
    SetPlayedIcon(FCurrentRow, -1);
    ListView1->Items()->Item(FCurrentRow)->MakeVisible(true);
}

void TListControl::SetPlayedIcon(int row, int picture)
{
    if (row >= 0 && row < ListView1->Items()->Count())
        ListView1->Items()->Item(row)->SetSubItemImages(0, picture);
}

TFindData* TListControl::RecordOfRow(int row) const
{
    if (FFileList == nullptr || row < 0 || row >= ListView1->Items()->Count())
        return nullptr;
    const TListItem* item = ListView1->Items()->Item(row);
    if (item->SubItems()->Count() < kColumnFileId)
        return nullptr;
    const int index = StrToIntDef(item->SubItems()->Strings(kColumnFileId - 1), -1);
    if (index < 0 || index >= FFileList->Count())
        return nullptr;
    return FFileList->Item(index);
}

TFindData* TListControl::CurrentRecord() const
{
    if (ListView1->Selected() == nullptr)
        return nullptr;
    return RecordOfRow(FCurrentRow);
}

bool TListControl::PlaySelListFiles()
{
    try {
        if (ListView1->Selected() == nullptr)
            return true;
        TFindData* record = RecordOfRow(FCurrentRow);
        if (record == nullptr)
            return false;
        FCurrentPath = record->FullPath;
        record->PlayedImage = kPicturePlayed;
        return PlayControl != nullptr && PlayControl->PlayFile();
    } catch (Exception& e) {
        LogFailure("PlaySelListFiles", e);
        return false;
    }
}

void TListControl::ListView1SelectItem(TObject*, TListItem*, bool Selected)
{
    try {
        const TListItem* selected = ListView1->Selected();
        if (!Selected || selected == nullptr || selected->Index() == FCurrentRow)
            return;
        // One opening at a time: the list takes no selection while it runs.
        ListView1->SetEnabled(false);
        ListViewEnabled enableAgain(ListView1);
        SetPlayedIcon(FCurrentRow, kPicturePlayed);
        FCurrentRow = selected->Index();
        SetPlayedIcon(FCurrentRow, -1);
        PlaySelListFiles();
    } catch (Exception& e) {
        LogFailure("ListView1SelectItem", e);
    }
}

void TListControl::ListView1Click(TObject*)
{
    // A click beside the rows takes the selection away: give it back.
    if (ListView1->Selected() == nullptr && FCurrentRow >= 0 && FCurrentRow < ListView1->Items()->Count())
        ListView1->SetItemIndex(FCurrentRow);
}

void TListControl::PlayNextFile()
{
    try {
        const int count = ListView1->Items()->Count();
        if (ListView1->Selected() == nullptr || count == 0)
            return;
        SetPlayedIcon(FCurrentRow, kPicturePlayed);
        FCurrentRow = FCurrentRow >= 0 && FCurrentRow + 1 < count ? FCurrentRow + 1 : 0;
        SelectCurrentRow();
        if (ListView1->CanFocus())
            ListView1->SetFocus();
        PlaySelListFiles();
    } catch (Exception& e) {
        LogFailure("PlayNextFile", e);
    }
}

void TListControl::PlayPrevFile()
{
    try {
        const int count = ListView1->Items()->Count();
        if (ListView1->Selected() == nullptr || count == 0)
            return;
        SetPlayedIcon(FCurrentRow, kPicturePlayed);
        FCurrentRow = FCurrentRow > 0 && FCurrentRow <= count ? FCurrentRow - 1 : count - 1;
        SelectCurrentRow();
        if (ListView1->CanFocus())
            ListView1->SetFocus();
        PlaySelListFiles();
    } catch (Exception& e) {
        LogFailure("PlayPrevFile", e);
    }
}

void TListControl::ListView1ColumnClick(TObject*, TListColumn* Column)
{
    try {
        if (Column == nullptr)
            return;
        if (Column->Index() == 0) {
            FCheckAll = !FCheckAll;
            for (int i = 0; i < ListView1->Items()->Count(); ++i) {
                ListView1->Items()->Item(i)->SetChecked(FCheckAll);
                ListView1->Items()->Item(i)->MakeVisible(true);
            }
        } else if (Column->Index() == kColumnEvent && FRunning == TListOperation::None) {
            int keepIndex = 0;
            if (FCurrentRow >= 0 && ListView1->Items()->Count() > 0) {
                const TListItem* item =
                    FCurrentRow < ListView1->Items()->Count() ? ListView1->Items()->Item(FCurrentRow) : nullptr;
                if (item && item->SubItems()->Count() >= kColumnFileId)
                    keepIndex = StrToIntDef(item->SubItems()->Strings(kColumnFileId - 1), 0);
            }
            ShowFileList(keepIndex);
        }
    } catch (Exception& e) {
        LogFailure("ListView1ColumnClick", e);
    }
}

void TListControl::Edit2Change()
{
    try {
        if (MainForm == nullptr || MainForm->EditPath->Text() == FFolder)
            return;
        if (FRunning == TListOperation::Copy || FRunning == TListOperation::Delete) {
            // The rows stay as they are until the copy or delete has ended.
            FEditChangePending = true;
            return;
        }
        ClearPanes();
        ListView1->Items()->Clear();
        if (PlayControl)
            PlayControl->ImageStopClick(nullptr);
        FFolder = MainForm->EditPath->Text();
        FCurrentRow = -1;
        if (FRunning == TListOperation::Scan || win::DirectoryExists(FFolder)) {
            ListRefresh(FFolder);
            if (ListView1->CanFocus())
                ListView1->SetFocus();
        } else {
            if (MainForm)
                MainForm->SetPlayButtonsEnabled(false);
            ClearFileList(FFileList);
            if (PlayControl)
                PlayControl->PrepareDummyMedia();
        }
    } catch (Exception& e) {
        LogFailure("Edit2Change", e);
    }
}

void TListControl::ImageFolderClick()
{
    try {
        if (FRunning == TListOperation::Copy || FRunning == TListOperation::Delete)
            return;
        UnicodeString folder = FFolder;
        if (!SelectDirectory(u"再生するフォルダを選択", folder))
            return;
        FFolder = folder;
        ClearPanes();
        ListView1->Items()->Clear();
        FCurrentRow = -1;
        if (MainForm)
            MainForm->EditPath->SetText(FFolder);
        if (PlayControl)
            PlayControl->ImageStopClick(nullptr);
        ListRefresh(FFolder);
        if (ListView1->CanFocus())
            ListView1->SetFocus();
    } catch (Exception& e) {
        LogFailure("ImageFolderClick", e);
    }
}

void TListControl::SetListEnabled(bool enabled)
{
    if (MainForm) {
        MainForm->ImageFolderSel->SetEnabled(enabled);
        MainForm->EditPath->SetReadOnly(!enabled);
    }
}

void TListControl::AdjustListLayout()
{
    if (MainForm == nullptr || MainForm->PanelList == nullptr)
        return;
    SetWidth(MainForm->PanelList->Width());
    SetHeight(MainForm->PanelList->Height());
    ListView1->Column(kColumnDate)->SetWidth(MainForm->ClientWidth() <= 800 ? Width() - 42 : Width() - 62);
    ListView1->Column(4)->SetWidth(0);
    ListView1->Column(5)->SetWidth(0);
}

void TListControl::GetScreeshotFileName(UnicodeString& name)
{
    try {
        const TFindData* record = CurrentRecord();
        if (record == nullptr || record->DateText.Length() < 19)
            return;
        const UnicodeString d = record->DateText;
        const UnicodeString file = RecordingFileName(record->FullPath);
        name = d.SubString(3, 2) + d.SubString(6, 2) + d.SubString(9, 2) + d.SubString(12, 2) + d.SubString(15, 2) +
            d.SubString(18, 2) + u"_" + file.SubString(1, file.Length() - 4) + u".jpg";
    } catch (Exception& e) {
        LogFailure("GetScreeshotFileName", e);
    }
}

void TListControl::PlayFileDeleted()
{
    try {
        const int count = ListView1->Items()->Count();
        if (count == 0) {
            FCurrentRow = -1;
            if (PlayControl)
                PlayControl->PrepareDummyMedia();
            if (MainForm)
                MainForm->SetPlayButtonsEnabled(false);
            return;
        }
        if (FCurrentRow < 0 || FCurrentRow >= count)
            FCurrentRow = 0;
        SelectCurrentRow();
        ListView1->Refresh();
        PlaySelListFiles();
    } catch (Exception& e) {
        LogFailure("PlayFileDeleted", e);
    }
}
