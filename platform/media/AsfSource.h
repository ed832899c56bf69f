// The source filter of an ASF recording ("WM ASF Reader"): reads the file's
// header objects when it is made and offers one output pin per video or
// audio stream, in header order, named "Raw Video N" / "Raw Audio N" with N
// the pin's index ("Raw Video 0", "Raw Audio 1" for a recording with video
// stream 1 and audio stream 2). Other streams get no pin. While the filter
// lives it holds the file open, so the file cannot be deleted.
#pragma once

#include <string>
#include <vector>

#include "platform/media/AsfHeader.h"
#include "platform/media/FilterBase.h"
#include "platform/win/OpenFileHold.h"

namespace media::detail {

class AsfSource final : public FilterBase {
public:
    // Opens the recording at a Windows path: S_OK and the filter (one
    // reference); HRESULT_FILE_NOT_FOUND when there is no such file (or it
    // is a folder), VFW_E_UNKNOWN_FILE_TYPE when it is not ASF,
    // VFW_E_INVALID_FILE_FORMAT when its header is damaged or cut short.
    static HRESULT Open(const std::u16string& windowsPath, ComPtr<IBaseFilter>& filter);

    const AsfHeader& Header() const { return header_; }

    std::vector<MediaTypeValue> OfferedTypes(const Pin& pin) override;
    const SourceStream* StreamAt(const Pin& output, int depth) const override;
    bool SourceDuration(REFERENCE_TIME& duration) const override;
    bool IsSource() const override { return true; }

private:
    AsfSource(AsfHeader header, const std::u16string& path, std::string hostPath);
    ~AsfSource() override = default;

    struct Output {
        Pin* pin;
        SourceStream stream;
        MediaTypeValue type;
    };

    AsfHeader header_;
    std::vector<Output> outputs_;
    win::OpenFileHold hold_;
};

} // namespace media::detail
