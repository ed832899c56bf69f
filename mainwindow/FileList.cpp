#include "mainwindow/FileList.h"

#include <algorithm>

#include "app/Common.h"
#include "app/MyLog.h"
#include "app/ProgBar.h"
#include "platform/rtl/AnsiString.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Exception.h"
#include "platform/win/FileTime.h"
#include "platform/win/Messages.h"
#include "playback/VideoView.h"

std::uint32_t ScanFileCount = 0;

namespace {

// The header bytes the scan reads: up to the end of the play duration.
//   offset 78  Creation Date   8 bytes, 100 ns since 1601-01-01
//   offset 94  Play Duration   8 bytes, 100 ns
constexpr std::size_t kCreationOffset = 78;
constexpr std::size_t kDurationOffset = 94;
constexpr std::size_t kHeadBytes = kDurationOffset + 8;

void LogScanError(const char* where, const rtl::Exception& e)
{
    if (MyLogModule)
        MyLogModule->LogError(rtl::AnsiString(where) + " ERROR:" + rtl::AnsiString(e.Message));
}

std::uint64_t ReadU64(const std::uint8_t* head, std::size_t length, std::size_t offset)
{
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < 8; ++i)
        if (offset + i < length)
            value |= static_cast<std::uint64_t>(head[offset + i]) << (8 * i);
    return value;
}

// Whether folder + name fits the 1024-byte buffer of the recorder's 8-bit
// path (its final zero included). A name outside code page 932 is listed
// all the same: the track reader and the player open the file the listing
// found, not its 8-bit name.
bool FitsPathBuffer(std::u16string_view prefix, std::u16string_view name)
{
    constexpr std::size_t kPathBuffer = 1024;
    const auto ascii = [](std::u16string_view s) {
        for (char16_t c : s)
            if (c >= 0x80)
                return false;
        return true;
    };
    if (ascii(prefix) && ascii(name))
        return prefix.size() + name.size() < kPathBuffer;
    return rtl::Utf16ToCp932(std::u16string(prefix) + std::u16string(name)).size() < kPathBuffer;
}

bool IsRecordingNameView(std::u16string_view v)
{
    // As LowerCase().Pos(".asf") (which lowers ASCII letters only), without
    // the copy: the first ".asf" in any case must end the name.
    const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c; };
    for (std::size_t i = 0; i + 4 <= v.size(); ++i)
        if (v[i] == u'.' && lower(v[i + 1]) == u'a' && lower(v[i + 2]) == u's' && lower(v[i + 3]) == u'f')
            return i + 4 == v.size();
    return false;
}

// The texts the scan writes, built in place: they run once a file.
class Digits {
public:
    // Two or more digits, zero-padded, as "%02d" writes them (four for "%04d").
    Digits& Number(unsigned value, int width)
    {
        char16_t digits[10];
        int n = 0;
        do {
            digits[n++] = static_cast<char16_t>(u'0' + value % 10);
            value /= 10;
        } while (value != 0 && n < 10);
        for (int i = n; i < width; ++i)
            Put(u'0');
        while (n > 0)
            Put(digits[--n]);
        return *this;
    }
    Digits& Put(char16_t c)
    {
        if (length_ < sizeof text_ / sizeof text_[0])
            text_[length_++] = c;
        return *this;
    }
    UnicodeString Text() const { return UnicodeString(std::u16string_view(text_, length_)); }

private:
    char16_t text_[32];
    std::size_t length_ = 0;
};

// The entry's name, never past its buffer.
std::u16string_view NameOf(const win::WIN32_FIND_DATAW& entry)
{
    const char16_t* begin = entry.cFileName;
    return std::u16string_view(begin, static_cast<std::size_t>(std::find(begin, begin + win::MAX_PATH, u'\0') - begin));
}

bool IsDots(const char16_t* name)
{
    return (name[0] == u'.' && name[1] == 0) || (name[0] == u'.' && name[1] == u'.' && name[2] == 0);
}

} // namespace

bool IsRecordingName(const UnicodeString& name) { return IsRecordingNameView(name.view()); }

UnicodeString RecordingDateText(std::uint64_t fileTime)
{
    win::FILETIME ft;
    ft.dwLowDateTime = static_cast<win::DWORD>(fileTime & 0xFFFFFFFFu);
    ft.dwHighDateTime = static_cast<win::DWORD>(fileTime >> 32);
    win::SYSTEMTIME st{};
    if (!win::FileTimeToSystemTime(&ft, &st))
        st = win::SYSTEMTIME{};
    // "%04d/%02d/%02d %02d:%02d:%02d"
    Digits text;
    text.Number(st.wYear, 4).Put(u'/').Number(st.wMonth, 2).Put(u'/').Number(st.wDay, 2);
    text.Put(u' ').Number(st.wHour, 2).Put(u':').Number(st.wMinute, 2).Put(u':').Number(st.wSecond, 2);
    return text.Text();
}

UnicodeString RecordingLengthText(std::uint64_t duration)
{
    std::uint64_t minutes = duration / 600000000u;
    std::uint64_t seconds = (duration / 10000000u) % 60;
    if (minutes > 99) {
        minutes = 99;
        seconds = 59;
    }
    Digits text;
    text.Put(u'0').Put(u'0').Put(u':').Number(static_cast<unsigned>(minutes), 2).Put(u':');
    text.Number(static_cast<unsigned>(seconds), 2);
    return text.Text();
}

void ReadAsfTimes(const std::uint8_t* head, std::size_t length, std::uint64_t& creation, std::uint64_t& duration)
{
    creation = ReadU64(head, length, kCreationOffset);
    duration = ReadU64(head, length, kDurationOffset);
}

UnicodeString RecordingFileName(const UnicodeString& path)
{
    const int slash = path.LastDelimiter(u"\\");
    return path.SubString(slash + 1, path.Length() - slash);
}

bool IsEventRecording(const UnicodeString& path) { return RecordingFileName(path).Pos(u"SAVE") > 0; }

TFindData::TFindData(const win::WIN32_FIND_DATAW& entry, const UnicodeString& folderPrefix)
{
    try {
        FileAttr = static_cast<std::int32_t>(entry.dwFileAttributes);
        FileSize = static_cast<std::int32_t>(entry.nFileSizeLow);
        // One allocation: the scan makes one of these a recording.
        const std::u16string_view name = NameOf(entry);
        std::u16string full;
        full.reserve(static_cast<std::size_t>(folderPrefix.Length()) + name.size());
        full.append(folderPrefix.view()).append(name);
        FullPath = UnicodeString(std::move(full));
    } catch (rtl::Exception& e) {
        LogScanError("TFindData::TFindData", e);
    }
}

TFileList::~TFileList() { ClearFileList(this); }

void TFileList::CreateList(const UnicodeString& folder, std::int32_t depth)
{
    win::HANDLE search = win::INVALID_HANDLE_VALUE;
    try {
        if (folder.IsEmpty() || depth <= 0 || !IsDriveReady(folder))
            return;
        win::WIN32_FIND_DATAW entry;
        const UnicodeString pattern = folder + u"\\*.*";
        // Names and kinds only: each recording's size comes from its own open.
        search = win::FindFirstFileW(pattern.c_str(), &entry, win::FindDetail::NamesAndKinds);
        if (search == win::INVALID_HANDLE_VALUE)
            return;
        --depth;
        const UnicodeString prefix = folder + u"\\";
        do {
            if (ProgForm && ProgForm->FAbort) {
                // Every level that meets the stop ends here, so the whole
                // scan ends; what was found so far stays.
                ProgForm->HideProgress();
                if (OnStopped)
                    OnStopped();
                break;
            }
            if (IsDots(entry.cFileName))
                continue;
            const std::u16string_view name = NameOf(entry);
            if (entry.dwFileAttributes & win::faDirectory) {
                CreateList(prefix + UnicodeString(name), depth);
                continue;
            }
            if (!IsRecordingNameView(name))
                continue;
            if (++ScanFileCount > ScanFileLimit)
                break;
            if (ScanFileCount % 10 == 0 && ProgForm)
                ProgForm->SetProgress(static_cast<int>(ScanFileCount), static_cast<int>(ScanFileLimit),
                                      kProgressCountItems);
            // A path too long for the 8-bit buffer names no file.
            if (!FitsPathBuffer(prefix.view(), name))
                continue;
            // The file the listing found, by its host path: one open and
            // one short read, no second lookup of the path; the open also
            // tells the entry's size.
            std::uint8_t head[kHeadBytes] = {};
            const long got = win::ReadFoundFile(search, head, sizeof head, &entry);
            if (got < 0)
                continue;
            // The size as the recorder's rule reads it: the low 32 bits
            // taken as a signed number.
            if (static_cast<std::int32_t>(entry.nFileSizeLow) <= 0)
                continue;
            std::uint64_t creation = 0;
            std::uint64_t duration = 0;
            ReadAsfTimes(head, static_cast<std::size_t>(got), creation, duration);

            auto* record = new TFindData(entry, prefix);
            record->DateText = RecordingDateText(creation);
            record->LengthText = RecordingLengthText(duration);
            record->PlayDuration = static_cast<std::uint32_t>(duration & 0xFFFFFFFFu);
            record->Deleted = 0;
            record->PlayedImage = -1;
            Add(record);
        } while (win::FindNextFileW(search, &entry));
    } catch (rtl::Exception& e) {
        LogScanError("TFileList::CreateList", e);
    }
    if (search != win::INVALID_HANDLE_VALUE)
        win::FindClose(search);
}

void ClearFileList(TFileList* list) { ClearContainerList<TFindData>(list); }

int CompareFindData(void* a, void* b)
{
    const auto* x = static_cast<const TFindData*>(a);
    const auto* y = static_cast<const TFindData*>(b);
    // Ordinal comparison of the UTF-16 code units.
    int c = x->DateText.view().compare(y->DateText.view());
    if (c == 0)
        c = x->FullPath.view().compare(y->FullPath.view());
    return c > 0 ? 1 : c < 0 ? -1 : 0;
}
