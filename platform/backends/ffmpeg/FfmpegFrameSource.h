// The frame source of the program: pictures decoded by FFmpeg. It keeps
// the decoders of the last few recordings (a recording's index is read
// once) and opens a recording again when its file has changed. A recording
// FFmpeg cannot open keeps the renderer's picture and falls back to frame
// numbers from the frame time.
//
// Thread: any, one call at a time (a lock serialises them).
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <list>
#include <memory>
#include <mutex>
#include <string>

#include "platform/backends/ffmpeg/VideoDecoder.h"
#include "platform/media/FrameSource.h"

namespace ffmpeg {

class FfmpegFrameSource final : public media::FrameSource {
public:
    std::int64_t FrameNumber(const media::SourceStream& stream, media::REFERENCE_TIME position) override;
    bool DrawFrame(const media::FrameRequest& request, media::Frame& out) override;
    bool DrawScaled(const media::FrameRequest& request, const media::ScaledTarget& target) override;
    bool Prepare(const media::FrameRequest& request) override;

private:
    struct Entry {
        std::string path;
        int stream = 0;
        off_t size = 0;
        std::timespec modified{};
        std::unique_ptr<VideoDecoder> decoder; // null: FFmpeg could not open it
    };
    // The decoder of the stream, or null; the lock is held.
    VideoDecoder* DecoderFor(const media::SourceStream& stream);

    std::mutex lock_;
    std::list<Entry> decoders_; // most recent first
};

} // namespace ffmpeg
