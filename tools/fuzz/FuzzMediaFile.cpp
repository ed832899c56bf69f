// libFuzzer target: a recording opened and drawn through the FFmpeg back end
// as the video renderer and the sound renderer use it: the video stream's
// index, a few frames drawn small (first, last, middle, the frame at a
// position), and the sound stream's first frames. Time and memory per input
// are bounded by the back end's own limits and by libFuzzer's -timeout and
// -rss_limit_mb.
#include "platform/backends/ffmpeg/MediaFile.h"
#include "platform/backends/ffmpeg/VideoDecoder.h"

#include "tools/fuzz/FuzzCard.h"

#include <cstddef>
#include <cstdint>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/log.h>
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    av_log_set_level(AV_LOG_QUIET);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 1 << 20)
        return 0;
    const std::string host = fuzzcard::Put("REC.ASF", data, size);
    if (std::unique_ptr<ffmpeg::VideoDecoder> video = ffmpeg::VideoDecoder::Open(host, 1)) {
        const std::int64_t count = video->FrameCount();
        if (count < 0)
            __builtin_trap();
        for (std::int64_t n : {std::int64_t{0}, count - 1, count / 2, video->FrameAt(10000000)}) {
            media::Frame frame;
            if (video->Draw(n, 32, 24, frame) &&
                (frame.width != 32 || frame.height != 24 || frame.pixels.size() != 32u * 24u))
                __builtin_trap();
        }
    }
    if (std::unique_ptr<ffmpeg::MediaFile> sound = ffmpeg::MediaFile::Open(host, 2, ffmpeg::StreamKind::Audio)) {
        AVFrame* frame = av_frame_alloc();
        std::int64_t time = 0;
        for (int i = 0; i < 16 && sound->NextFrame(frame, time); ++i)
            av_frame_unref(frame);
        av_frame_free(&frame);
    }
    return 0;
}
