// The recording scan: the recorder's ASF files in a folder and its direct
// subfolders, one TFindData record each, with the recording's start time and
// length read from the file's ASF header.
//
// The names and sizes taken (the rules the recorder's card relies on):
// a file whose lower-cased name has its first ".asf" at its very end and
// whose size, read as a signed 32-bit value, is above zero, and whose path
// code page 932 can hold (the file is opened by its 8-bit path). A scan
// takes at most ScanFileLimit names that pass the name test, also counting
// those then skipped for their size or path or because they cannot be
// opened. Each file is read through the folder listing that found it: one
// open, one read of the header bytes, one close.
#pragma once

#include <cstdint>
#include <functional>

#include "mainwindow/RecordText.h"
#include "platform/rtl/UnicodeString.h"
#include "platform/win/FindFile.h"
#include "tracks/ContainerList.h"

using rtl::UnicodeString;

// One recording found by the scan.
struct TFindData {
    // Attributes, size and path from the directory entry; folderPrefix ends
    // in "\".
    TFindData(const win::WIN32_FIND_DATAW& entry, const UnicodeString& folderPrefix);

    std::int32_t FileAttr = 0;
    // The low 32 bits of the size.
    std::int32_t FileSize = 0;
    // "YYYY/MM/DD hh:mm:ss" of the ASF creation date: the sort key.
    RecordText<20> DateText;
    // "00:mm:ss" of the ASF play duration (minutes not reduced, at most 99).
    RecordText<8> LengthText;
    UnicodeString FullPath;
    // Deleted through the list: the record stays, its row is never shown again.
    std::uint8_t Deleted = 0;
    // Picture of the played mark: -1 none, 1 played.
    std::int32_t PlayedImage = -1;
    // The low 32 bits of the ASF play duration, 100 ns units.
    std::uint32_t PlayDuration = 0;
};

class TFileList : public TContainerList<TFindData> {
public:
    ~TFileList() override;
    // Appends a record for every recording in folder (no trailing "\") and,
    // while depth allows, its subfolders: depth 2 is the folder and its
    // direct subfolders. Runs on the user interface thread; every tenth name
    // it reports progress, which lets pending messages through, and it stops
    // at the next entry once the progress window's abort flag is set (what
    // was found stays). Failures are logged, never raised.
    void CreateList(const UnicodeString& folder, std::int32_t depth);
    // Called by each level that meets the stop, once it has hidden the
    // progress window (the list pane asks for the video's repaint).
    std::function<void()> OnStopped;
};

// Deletes every record and empties the list.
void ClearFileList(TFileList* list);
// Oldest first: by DateText, then FullPath, both by UTF-16 code units.
int CompareFindData(void* a, void* b);

// Names that passed the name test in the running scan (reset by the caller).
extern std::uint32_t ScanFileCount;
inline constexpr std::uint32_t ScanFileLimit = 10000;

// The rules, for the scan and its tests.
// A recording's name: its first ".asf" (any case) ends it.
bool IsRecordingName(const UnicodeString& name);
// "YYYY/MM/DD hh:mm:ss" of a file time (UTC); every field 0 for a value the
// conversion rejects (2^63 or more).
UnicodeString RecordingDateText(std::uint64_t fileTime);
// "00:mm:ss" of a duration in 100 ns units, from the whole 64-bit value;
// past 99 minutes it stays "00:99:59".
UnicodeString RecordingLengthText(std::uint64_t duration);
// The creation date and play duration of the ASF header that starts `head`
// (the first `length` bytes of the file); bytes past `length` read as 0.
void ReadAsfTimes(const std::uint8_t* head, std::size_t length, std::uint64_t& creation, std::uint64_t& duration);
// The recording's file name: the part of the path after the last "\".
UnicodeString RecordingFileName(const UnicodeString& path);
// An event recording's file name holds "SAVE" (exact case).
bool IsEventRecording(const UnicodeString& path);
