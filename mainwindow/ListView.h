// The recording list pane (docked into the main window's PanelList): the
// recordings the scan found, one row each, oldest first; which one is
// current; handing the current one to the playback control.
//
// Rows carry their record's index in FFileList in the hidden column
// "file_id"; every way from a row to its record goes through RecordOfRow,
// which answers null for a row or an index that is not there.
#pragma once

#include <cstdint>
#include <memory>

#include "mainwindow/FileList.h"
#include "platform/rtl/rtl.h"
#include "platform/vcl/vcl.h"
#include "platform/win/MessageWindow.h"

// The list's long operations: they let messages through while they run, and
// never run inside one another.
enum class TListOperation { None, Scan, Copy, Delete };

class TListControl : public TForm {
public:
    explicit TListControl(TComponent* Owner);
    ~TListControl() override;

    TListView* ListView1 = nullptr;
    TImageList* ImageList1 = nullptr;
    TTimer* TimerInit = nullptr;

    // Scans folder and rebuilds the rows (the all view, the oldest current
    // and cued). A request made while a scan runs does not nest: the newest
    // one runs once the running scan has ended.
    void ListRefresh(const UnicodeString& folder);
    // Rebuilds the rows in the view FEventOnlyNext names, then flips it; the
    // row of record keepIndex becomes current, else the first row.
    void ShowFileList(int keepIndex);
    // Opens the current row's recording in the player; its result.
    bool PlaySelListFiles();
    // The next / previous row, wrapping, becomes current and plays.
    void PlayNextFile();
    void PlayPrevFile();
    // The main window's folder button and path edit follow `enabled`.
    void SetListEnabled(bool enabled);
    void AdjustListLayout();
    // "YYMMDDhhmmss_<file name without its extension>.jpg" of the current
    // recording; name unchanged without a selected row.
    void GetScreeshotFileName(UnicodeString& name);
    // After the playing recording's row was deleted.
    void PlayFileDeleted();

    // Handlers.
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void TimerInitTimer(TObject* Sender);
    void ListView1SelectItem(TObject* Sender, TListItem* Item, bool Selected);
    void ListView1Click(TObject* Sender);
    void ListView1ColumnClick(TObject* Sender, TListColumn* Column);
    // The main window's path edit changed.
    void Edit2Change();
    // The main window's folder button.
    void ImageFolderClick();
    // The main window's search icon: presets the search window from the
    // current row and shows it (message 17 without one).
    void ImageFindClick();
    // Rows whose check box is ticked.
    std::int32_t GetCheckedCnt();
    // Copies the ticked recordings into one folder per recording day below
    // a chosen folder. A target is never lost before its new copy is whole:
    // the copy goes to a temporary name beside it and then replaces it.
    void ImageDownLoadClick();
    // Deletes the ticked recordings from the card. A file that cannot be
    // deleted keeps its row and is reported; the playing one is unloaded
    // first. On a removable drive, "FILE_DEL" tells the recorder.
    void DeleteCheckedFiles();

    // The record row `row` stands for, or null.
    TFindData* RecordOfRow(int row) const;
    // The current row's record, or null (no row selected, or none current).
    TFindData* CurrentRecord() const;
    bool Scanning() const { return FRunning == TListOperation::Scan; }
    // The long operation that runs (a request for another one meanwhile is
    // refused, or for a scan, deferred until it ends).
    TListOperation RunningOperation() const { return FRunning; }

    bool FCheckAll = false;
    bool FEventOnlyNext = false;
    UnicodeString FFolder;
    std::int32_t FCurrentRow = -1;
    UnicodeString FCurrentPath;
    // The file the copy operation is about to write; message 10 names it.
    UnicodeString FCopyTarget;
    TFileList* FFileList = nullptr;

private:
    void Scan(const UnicodeString& folder);
    void AddRow(int recordIndex, int eventPicture);
    void SelectCurrentRow();
    void SetPlayedIcon(int row, int picture);
    void LogFailure(const char* operation, const Exception& e);

    struct OperationGuard;
    void CopyChecked();
    void DeleteChecked();
    // After a copy or delete: the path edit's change or the scan that waited.
    void RunDeferred();

    // Where TimerInit's first look is posted.
    std::unique_ptr<win::TMessageWindow> FInitLook;
    TListOperation FRunning = TListOperation::None;
    bool FRescanPending = false;
    bool FEditChangePending = false;
    UnicodeString FPendingFolder;
};

extern TListControl* ListControl;

// Pictures of ImageList1.
inline constexpr int kPictureEvent = 0;
inline constexpr int kPicturePlayed = 1;
inline constexpr int kPictureEventOnly = 4;
// Columns of ListView1.
inline constexpr int kColumnEvent = 2;
inline constexpr int kColumnDate = 3;
inline constexpr int kColumnFileId = 6;
