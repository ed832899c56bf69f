#include "app/MyLog.h"

#include "app/Common.h"
#include "app/Globals.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FileStream.h"
#include "platform/vcl/Application.h"
#include "platform/win/Files.h"
#include "platform/win/MessageBox.h"

TMyLogModule* MyLogModule = nullptr;

void LogExceptionError(const rtl::Exception& e)
{
    if (MyLogModule)
        MyLogModule->LogError(rtl::AnsiString(e.Message));
}

namespace {

constexpr const char* kTags[] = {
    " [Debug]  ",
    " [Info]   ",
    " [W A R N I N G]   ",
    " [E  R  R  O  R]   ",
};

constexpr int kStampLength = 19; // "YYYY/MM/DD hh:nn:ss"

bool Digits(const std::u16string_view s, size_t at, size_t count, int& value)
{
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (s[i] < u'0' || s[i] > u'9')
            return false;
        value = value * 10 + (s[i] - u'0');
    }
    return true;
}

} // namespace

TMyLogModule::TMyLogModule(vcl::TComponent* Owner) : vcl::TDataModule(Owner)
{
    FLogPath = rtl::UnicodeString();
    FLines = nullptr;
    OpenLog();
}

TMyLogModule::~TMyLogModule()
{
    CloseLog();
    // Like every window, the module takes its global with it, so a late log
    // call finds no module instead of a destroyed one.
    if (MyLogModule == this)
        MyLogModule = nullptr;
}

const char* TMyLogModule::LevelTag(int level)
{
    if (level < 0)
        return kTags[0];
    // A level past the table is written as an error.
    return kTags[level > 3 ? 3 : level];
}

bool TMyLogModule::HasTimeStamp(const rtl::UnicodeString& line)
{
    const std::u16string_view s = line.view();
    if (s.size() < kStampLength || s[4] != u'/' || s[7] != u'/' || s[10] != u' ' || s[13] != u':' || s[16] != u':')
        return false;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!Digits(s, 0, 4, year) || !Digits(s, 5, 2, month) || !Digits(s, 8, 2, day) || !Digits(s, 11, 2, hour) ||
        !Digits(s, 14, 2, minute) || !Digits(s, 17, 2, second))
        return false;
    if (year < 1 || month < 1 || month > 12 || hour > 23 || minute > 59 || second > 59)
        return false;
    return day >= 1 && day <= rtl::DaysInMonth(static_cast<rtl::Word>(year), static_cast<rtl::Word>(month));
}

void TMyLogModule::OpenLog()
{
    std::lock_guard lock(FLock);
    try {
        if (FLines == nullptr)
            FLines = new rtl::TStringList();
        FNextLine = 0;
        FLogPath = ProgramFolder + u"\\Icon\\Log.log";
        if (!win::FileExists(FLogPath))
            return;
        FLines->LoadFromFile(FLogPath);
        // The newest line: the greatest time stamp, later lines winning ties.
        // Lines without a valid stamp (continuations of multi-line texts,
        // damaged lines) never count, so they cannot push the ring onto the
        // lines of earlier runs.
        rtl::UnicodeString best;
        int bestIndex = -1;
        for (int i = 0; i < FLines->Count(); ++i) {
            const rtl::UnicodeString line = FLines->Strings(i);
            if (!HasTimeStamp(line))
                continue;
            const rtl::UnicodeString stamp = line.SubString(1, kStampLength);
            if (bestIndex < 0 || stamp >= best) {
                best = stamp;
                bestIndex = i;
            }
        }
        if (FLines->Count() == 0)
            FNextLine = 0;
        else if (bestIndex < 0)
            FNextLine = 1;
        else
            FNextLine = bestIndex > RingSize - 2 ? 0 : bestIndex + 1;
    } catch (...) {
        FNextLine = 0;
    }
}

void TMyLogModule::CloseLog()
{
    std::lock_guard lock(FLock);
    if (FLines == nullptr)
        return;
    try {
        SaveLocked();
    } catch (...) {
    }
    delete FLines;
    FLines = nullptr;
    FLogPath = rtl::UnicodeString();
}

void TMyLogModule::LogDebug(const rtl::AnsiString& text) { WriteLog(text, 0, false); }
void TMyLogModule::LogInfo(const rtl::AnsiString& text) { WriteLog(text, 1, false); }
void TMyLogModule::LogError(const rtl::AnsiString& text) { WriteLog(text, 3, false); }
void TMyLogModule::LogMessage(const rtl::AnsiString& text, int level) { WriteLog(text, level, true); }

void TMyLogModule::WriteLog(const rtl::AnsiString& text, int level, bool showBox)
{
    if (showBox) {
        // Outside the lock: the box waits for the user, and the worker must
        // still be able to log meanwhile.
        try {
            const win::HWND owner = vcl::Application != nullptr ? vcl::Application->Handle() : nullptr;
            if (level == 3)
                win::MessageBoxA(owner, text.c_str(), "Error", win::MB_OK | win::MB_ICONERROR);
            else
                win::MessageBoxA(owner, text.c_str(), "Warning", win::MB_OK | win::MB_ICONWARNING);
        } catch (...) {
        }
    }
    if (level < 0)
        return;
    std::lock_guard lock(FLock);
    if (FLines == nullptr)
        return;
    try {
        if (FNextLine >= RingSize)
            FNextLine = 0;
        // Never past the end of the list: an index beyond it would lose the line.
        if (FNextLine > FLines->Count())
            FNextLine = FLines->Count();
        if (FNextLine >= FLines->Count())
            FLines->Add(rtl::UnicodeString());
        const rtl::UnicodeString line = rtl::FormatDateTime(u"yyyy/mm/dd hh:nn:ss", rtl::Now()) +
            rtl::UnicodeString(rtl::AnsiString(LevelTag(level))) + rtl::UnicodeString(text);
        const int i = FNextLine++;
        FLines->SetStrings(i, line);
        if (level >= 2)
            SaveLocked();
    } catch (...) {
        if (level >= 2)
            SaveLocked();
    }
}

void TMyLogModule::SaveLocked()
{
    if (FLines == nullptr)
        return;
    const rtl::UnicodeString iconFolder = ProgramFolder + u"\\Icon";
    const rtl::UnicodeString temp = iconFolder + u"\\Log.log.tmp";
    try {
        if (!IsDriveReady(FLogPath) || !win::DirectoryExists(ProgramFolder) || !win::DirectoryExists(iconFolder))
            return;
        // Write a new file, flush it to the card and put it in place in one
        // step, so a card pulled or a power loss during the write keeps the
        // old log or the new one whole.
        win::DeleteFileW(temp.c_str());
        {
            rtl::TFileStream file(temp, rtl::fmCreate);
            FLines->SaveToStream(file);
            if (!file.FlushToDisk())
                throw rtl::EWriteError(u"Stream write error");
        }
        if (!win::MoveFileExW(temp.c_str(), FLogPath.c_str(), win::MOVEFILE_REPLACE_EXISTING))
            win::DeleteFileW(temp.c_str());
    } catch (...) {
        try {
            win::DeleteFileW(temp.c_str());
        } catch (...) {
        }
    }
}

int TMyLogModule::NextLine() const
{
    std::lock_guard lock(FLock);
    return FNextLine;
}

int TMyLogModule::LineCount() const
{
    std::lock_guard lock(FLock);
    return FLines == nullptr ? 0 : FLines->Count();
}

rtl::UnicodeString TMyLogModule::Line(int index) const
{
    std::lock_guard lock(FLock);
    if (FLines == nullptr || index < 0 || index >= FLines->Count())
        return rtl::UnicodeString();
    return FLines->Strings(index);
}

rtl::UnicodeString TMyLogModule::LogPath() const
{
    std::lock_guard lock(FLock);
    return FLogPath;
}
