// libFuzzer target: a recording's header as the program reads it, both ways:
//   the playback opener: the header object through the media layer's ASF
//   source (the file on the fuzz card) and its parser;
//   the recording scan: the creation date and the play duration of a folder's
//   recording, through the scan itself.
#include "mainwindow/FileList.h"
#include "platform/media/AsfHeader.h"
#include "platform/media/AsfSource.h"
#include "platform/media/Vfw.h"

#include "tools/fuzz/FuzzCard.h"

#include <cstddef>
#include <cstdint>
#include <sys/stat.h>

namespace {

void PlaybackOpener(const std::uint8_t* data, std::size_t size)
{
    const media::AsfParseResult whole = media::ParseAsfHeader(data, size);
    // Only the header's own bytes are read: what follows it changes nothing.
    if (const std::optional<std::uint64_t> claimed = media::PeekAsfHeaderSize(data, size);
        claimed && *claimed <= size) {
        const media::AsfParseResult own = media::ParseAsfHeader(data, static_cast<std::size_t>(*claimed));
        if (own.error != whole.error || own.header != whole.header)
            __builtin_trap();
    }
    if (whole.header && whole.header->Duration() < 0)
        __builtin_trap();

    fuzzcard::Put("REC.ASF", data, size);
    media::ComPtr<media::IBaseFilter> filter;
    const media::HRESULT hr = media::detail::AsfSource::Open(u"F:\\REC.ASF", filter);
    if ((hr == media::S_OK) != (filter.Get() != nullptr))
        __builtin_trap();
    if (hr == media::S_OK && !whole.header)
        __builtin_trap(); // the opener took a header its parser refuses
}

void Scan(const std::uint8_t* data, std::size_t size)
{
    static const bool folder = [] { return mkdir((fuzzcard::Folder() + "/scan").c_str(), 0777) == 0; }();
    (void)folder;
    fuzzcard::Put("scan/REC.ASF", data, size);
    TFileList list;
    ScanFileCount = 0;
    list.CreateList(u"F:\\scan", 2);
    if (list.Count() != (size > 0 ? 1 : 0))
        __builtin_trap();
    for (int i = 0; i < list.Count(); ++i) {
        const TFindData* r = list.Item(i);
        // "yyyy/mm/dd hh:nn:ss" (a year past 9999 has five digits, as the
        // system's conversion gives it) and "00:mm:ss", whatever the header holds.
        const int date = r->DateText.Length();
        if ((date != 19 && date != 20) || r->LengthText.Length() != 8 || r->FullPath != u"F:\\scan\\REC.ASF")
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 1 << 20)
        return 0;
    PlaybackOpener(data, size);
    Scan(data, size);
    return 0;
}
