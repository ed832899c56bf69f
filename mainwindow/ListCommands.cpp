// The recording list's find, copy and delete commands.
#include "mainwindow/ListView.h"

#include <cstdio>
#include <memory>

#include "app/Common.h"
#include "app/Dlg.h"
#include "app/MyLog.h"
#include "app/ProgBar.h"
#include "mainwindow/FileSearch.h"
#include "playback/VideoView.h"
#include "platform/win/win.h"

namespace {

const char16_t* const kCopyRoot = u"c:\\Dravik";
const char16_t* const kCopyDefault = u"c:\\Dravik\\Data";

int ShowMessageNumber(int number) { return SDDlg ? SDDlg->ShowSDDlg(number) : 2; }

void Warn(const UnicodeString& text)
{
    if (MyLogModule)
        MyLogModule->LogMessage(AnsiString(text), 2);
}

void LogError(const UnicodeString& text)
{
    if (MyLogModule)
        MyLogModule->LogError(AnsiString(text));
}

bool AbortAsked() { return ProgForm && ProgForm->FAbort != 0; }

void LetMessagesThrough()
{
    Application->ProcessMessages();
    Application->ProcessMessages();
}

// The progress window of one run: shown with its stop button, hidden once,
// on every way out.
class Progress {
public:
    explicit Progress(const char16_t* title)
    {
        if (ProgForm) {
            ProgForm->ShowProgress(true);
            ProgForm->SetProgressTitle(AnsiString(UnicodeString(title)));
            FShown = true;
        }
    }
    ~Progress() { Hide(); }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void Step(int done, int total)
    {
        if (FShown)
            ProgForm->SetProgress(done, total, kProgressCountOfTotal);
        LetMessagesThrough();
    }
    void Hide()
    {
        if (FShown && ProgForm)
            ProgForm->HideProgress();
        FShown = false;
    }

private:
    bool FShown = false;
};

// Both paths name one file (also through another spelling or drive letter).
bool SameFile(const UnicodeString& a, const UnicodeString& b)
{
    const win::ResolvedPath ra = win::ResolvePath(a.view());
    const win::ResolvedPath rb = win::ResolvePath(b.view());
    return ra.ok() && rb.ok() && ra.host == rb.host;
}

enum class CopyOutcome { Copied, ReplaceFailed, Failed };

// Copies source to a free temporary name beside target, then moves it onto
// target (replacing it only when `replace`): an existing target stays whole
// until the new copy is, and a failed copy leaves nothing behind.
CopyOutcome CopyThroughTemporary(const UnicodeString& source, const UnicodeString& target, bool replace)
{
    UnicodeString temporary;
    for (int k = 0; k < 100; ++k) {
        temporary = target + u".~cp" + (k == 0 ? UnicodeString() : IntToStr(k));
        if (win::GetFileAttributesW(temporary.c_str()) == win::INVALID_FILE_ATTRIBUTES)
            break;
    }
    if (!win::CopyFileW(source.c_str(), temporary.c_str(), 1)) {
        LogError(u"TListControl::ImageDownLoadClick CopyFile " + source + u" -> " + temporary + u" error " +
                 IntToStr(static_cast<int>(win::GetLastError())));
        return CopyOutcome::Failed;
    }
    if (win::MoveFileExW(temporary.c_str(), target.c_str(), replace ? win::MOVEFILE_REPLACE_EXISTING : 0))
        return CopyOutcome::Copied;
    LogError(u"TListControl::ImageDownLoadClick MoveFile " + temporary + u" -> " + target + u" error " +
             IntToStr(static_cast<int>(win::GetLastError())));
    win::DeleteFileW(temporary.c_str());
    return replace ? CopyOutcome::ReplaceFailed : CopyOutcome::Failed;
}

// The empty "FILE_DEL" in `folder` that tells the recorder files were
// deleted; a folder that cannot be made raises.
void WriteDeleteSignal(const UnicodeString& folder)
{
    if (!win::DirectoryExists(folder) && !win::CreateDir(folder))
        throw EFCreateError(u"Unable to create directory " + folder);
    const UnicodeString file = folder + u"\\FILE_DEL";
    if (win::FileExists(file))
        return;
    if (std::FILE* f = win::OpenCFileW(file.c_str(), "wb"))
        std::fclose(f);
}

} // namespace

std::int32_t TListControl::GetCheckedCnt()
{
    try {
        std::int32_t n = 0;
        for (int i = ListView1->Items()->Count() - 1; i >= 0; --i)
            n += ListView1->Items()->Item(i)->Checked() ? 1 : 0;
        return n;
    } catch (Exception& e) {
        LogFailure("GetCheckedCnt", e);
        return 0;
    }
}

void TListControl::ImageFindClick()
{
    try {
        if (FormSearch == nullptr)
            return;
        const TFindData* record = CurrentRecord();
        if (record == nullptr) {
            ShowMessageNumber(17);
            return;
        }
        const UnicodeString d = record->DateText;
        FormSearch->FSearchListView = ListView1;
        std::int64_t seconds = 0;
        // A damaged date keeps the picker's date; the time is still preset.
        if (SearchTimeOfText(d, seconds))
            FormSearch->DateTimePicker1->SetDate(SearchDateOfSeconds(seconds));
        FormSearch->EditHour->SetText(d.SubString(12, 2));
        FormSearch->EditTime->SetText(d.SubString(15, 2));
        FormSearch->SetVisible(true);
        FormSearch->Show();
    } catch (Exception& e) {
        LogFailure("ImageFindClick", e);
    }
}

void TListControl::RunDeferred()
{
    if (FEditChangePending) {
        FEditChangePending = false;
        FRescanPending = false;
        Edit2Change();
    } else if (FRescanPending) {
        FRescanPending = false;
        ListRefresh(FPendingFolder);
    }
}

// Holds the list's one long operation for a copy or delete.
struct TListControl::OperationGuard {
    OperationGuard(TListControl* list, TListOperation operation) : self(list) { self->FRunning = operation; }
    ~OperationGuard() { self->FRunning = TListOperation::None; }
    OperationGuard(const OperationGuard&) = delete;
    OperationGuard& operator=(const OperationGuard&) = delete;
    TListControl* self;
};

void TListControl::ImageDownLoadClick()
{
    if (FRunning != TListOperation::None)
        return;
    {
        OperationGuard guard(this, TListOperation::Copy);
        CopyChecked();
    }
    RunDeferred();
}

void TListControl::DeleteCheckedFiles()
{
    if (FRunning != TListOperation::None)
        return;
    {
        OperationGuard guard(this, TListOperation::Delete);
        DeleteChecked();
    }
    RunDeferred();
}

void TListControl::CopyChecked()
{
    std::unique_ptr<Progress> progress;
    try {
        const int n = GetCheckedCnt();
        if (n <= 0 || ListView1->Items()->Count() == 0) {
            ShowMessageNumber(19);
            return;
        }
        win::CreateDir(kCopyRoot);
        win::CreateDir(kCopyDefault);
        UnicodeString destination = kCopyDefault;
        if (!SelectDirectory(u"コピー先フォルダを選択", destination))
            return;

        progress = std::make_unique<Progress>(u"コピー中....");
        int copied = 0;
        UnicodeString lastDay;
        UnicodeString dayFolder;
        for (int i = 0; i < ListView1->Items()->Count(); ++i) {
            progress->Step(copied, n);
            if (AbortAsked()) {
                progress->Hide();
                PostVideoRepaint();
                return;
            }
            // The rows may have changed while messages went through.
            if (i >= ListView1->Items()->Count())
                break;
            const TListItem* item = ListView1->Items()->Item(i);
            const TFindData* record = RecordOfRow(i);
            if (!item->Checked() || record == nullptr)
                continue;

            const UnicodeString day = record->DateText.SubString(1, 10);
            if (day != lastDay) {
                lastDay = day;
                dayFolder = destination + u"\\" + day.SubString(1, 4) + day.SubString(6, 2) + day.SubString(9, 2);
                if (!win::DirectoryExists(dayFolder) && !win::CreateDir(dayFolder)) {
                    ShowMessageNumber(9);
                    progress->Hide();
                    ShowMessageNumber(20);
                    PostVideoRepaint();
                    return;
                }
            }

            const UnicodeString target = dayFolder + u"\\" + RecordingFileName(record->FullPath);
            if (SameFile(record->FullPath, target)) {
                Warn(u"コピー先がコピー元と同じファイルです。コピーしませんでした。 ファイル:" + target);
                continue;
            }
            bool replace = false;
            if (win::FileExists(target)) {
                FCopyTarget = target;
                if (ShowMessageNumber(10) != 1)
                    continue;
                replace = true;
            }
            switch (CopyThroughTemporary(record->FullPath, target, replace)) {
            case CopyOutcome::Copied:
                ++copied;
                break;
            case CopyOutcome::ReplaceFailed:
                ShowMessageNumber(11);
                break;
            case CopyOutcome::Failed:
                ShowMessageNumber(9);
                progress->Hide();
                return;
            }
        }
        progress->Hide();
        ShowMessageNumber(20);
        PostVideoRepaint();
    } catch (Exception& e) {
        if (progress)
            progress->Hide();
        Warn(u"ファイルのコピーが失敗しました。 ERROR:" + e.Message);
    }
}

void TListControl::DeleteChecked()
{
    std::unique_ptr<Progress> progress;
    bool playingUnloaded = false;
    int failed = 0;
    UnicodeString failedNames;
    try {
        // Only a drive's root tells its type.
        const UnicodeString drive = FFolder.SubString(1, 1);
        const bool removable = !drive.IsEmpty() && win::GetDriveTypeW((drive + u":\\").c_str()) == win::DRIVE_REMOVABLE;
        const int n = GetCheckedCnt();
        if (n <= 0 || ListView1->Items()->Count() == 0) {
            ShowMessageNumber(18);
            return;
        }
        if (ShowMessageNumber(12) != 1)
            return;

        progress = std::make_unique<Progress>(u"ファイル削除中....");
        const UnicodeString signalFolder = drive + u":\\Data";
        int deleted = 0;
        for (int i = 0; i < ListView1->Items()->Count(); ++i) {
            progress->Step(deleted, n);
            if (AbortAsked()) {
                // The stop shows at once; the end of the run below still
                // follows (signal file, replay, a second repaint).
                progress->Hide();
                PostVideoRepaint();
                break;
            }
            if (i >= ListView1->Items()->Count())
                break;
            TListItem* item = ListView1->Items()->Item(i);
            TFindData* record = RecordOfRow(i);
            if (!item->Checked() || record == nullptr)
                continue;
            const auto fail = [&](const UnicodeString& why) {
                LogError(u"TListControl::DeleteCheckedFiles " + record->FullPath + u" " + why);
                if (failed < 3)
                    failedNames += u"\n" + RecordingFileName(record->FullPath);
                ++failed;
            };
            // A card pulled meanwhile: the row stays, and the warning says so.
            if (!IsDriveReady(record->FullPath)) {
                fail(u"drive not ready");
                continue;
            }
            if (ListView1->Selected() != nullptr && ListView1->ItemIndex() == i) {
                // The player lets go of the file first, without asking for
                // tracks of anything.
                if (PlayControl) {
                    PlayControl->ImageStopClick(nullptr);
                    PlayControl->PrepareDummyMedia();
                }
                playingUnloaded = true;
            }
            if (!win::DeleteFile(record->FullPath)) {
                fail(u"DeleteFile error " + IntToStr(static_cast<int>(win::GetLastError())));
                continue;
            }
            if (i < FCurrentRow)
                --FCurrentRow;
            record->Deleted = 1;
            ListView1->Items()->Delete(i);
            --i;
            ++deleted;
        }
        if (removable && deleted > 0)
            WriteDeleteSignal(signalFolder);
        if (playingUnloaded)
            PlayFileDeleted();
        progress->Hide();
        PostVideoRepaint();
    } catch (Exception& e) {
        if (progress)
            progress->Hide();
        Warn(u"ファイルの削除が失敗しました。 ERROR:" + e.Message);
        // The list still has a current row: the player takes it up again.
        if (playingUnloaded)
            PlayFileDeleted();
    }
    if (failed > 0)
        Warn(u"ファイルの削除が失敗しました（" + IntToStr(failed) +
             u"件）。使用中か読取専用か、カードが入っているかを確かめください。" + failedNames +
             (failed > 3 ? u"\n…" : u""));
}
