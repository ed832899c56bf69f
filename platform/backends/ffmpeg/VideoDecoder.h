// The pictures of one recording's video stream, frame by frame: frame n is
// the n-th presentation time of the stream's index. A frame is decoded
// forward from the last one decoded when no key frame lies between them,
// else from the key frame at or before it after a seek, which gives the
// same picture as decoding from the start. While a frame is converted, a
// worker thread of the decoder decodes the next one.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/backends/ffmpeg/MediaFile.h"
#include "platform/media/FrameSource.h"

extern "C" {
struct SwsContext;
}

namespace ffmpeg {

class VideoDecoder {
public:
    // Null when the file or its video stream cannot be opened (see MediaFile::Open).
    static std::unique_ptr<VideoDecoder> Open(const std::string& hostPath, int streamNumber);
    ~VideoDecoder();
    VideoDecoder(const VideoDecoder&) = delete;
    VideoDecoder& operator=(const VideoDecoder&) = delete;

    std::int64_t FrameCount() const { return static_cast<std::int64_t>(file_->Index().size()); }
    // The frame shown at `position` (100 ns).
    // A frame is shown from one millisecond before its stored time: ASF
    // cuts times down to whole milliseconds, and a position stepped on by
    // the frame time (333333 for 30 frames a second) falls up to that much
    // short of the frame it means.
    std::int64_t FrameAt(std::int64_t position) const;
    // Presentation time of frame `number` (100 ns).
    std::int64_t TimeOf(std::int64_t number) const;

    // Draws frame `number` (clamped to the stream) scaled to width x
    // height into `out`. When that frame cannot be decoded (a damaged or
    // missing picture) the nearest frame before it that can, else the next
    // one, is drawn; false when none could be.
    bool Draw(std::int64_t number, int width, int height, media::Frame& out);
    // Draws frame `number` as Draw does, but scaled once from the decoded
    // picture into the target (media::FrameSource::DrawScaled), whose source
    // rectangle is in the pixels of a width x height picture; false for a
    // picture it leaves to the caller (decoded at another size, say).
    bool DrawScaled(std::int64_t number, int width, int height, const media::ScaledTarget& target);
    // Decodes frame `number` as Draw does and keeps it, so that a Draw of it
    // only converts.
    bool Prepare(std::int64_t number) { return Decode(number); }

    int Seeks() const { return seeks_; } // for the benchmark and tests

private:
    explicit VideoDecoder(std::unique_ptr<MediaFile> file);
    // Decodes frame `number` into shown_ (see Draw).
    bool Decode(std::int64_t number);
    bool Convert(const AVFrame* frame, int width, int height, media::Frame& out);
    bool ConvertScaled(const AVFrame* frame, int width, int height, const media::ScaledTarget& target);
    // The next frame into next_, the one read ahead if there is one.
    bool NextFrame(std::int64_t& time);
    void StartAhead();
    // Stops the worker and drops what it decoded.
    void DropAhead();
    void WorkerLoop();

    std::unique_ptr<MediaFile> file_;
    AVFrame* shown_ = nullptr; // the last frame decoded that is kept
    AVFrame* next_ = nullptr;
    struct ScaleKey {
        int width = 0, height = 0, format = -1;
        bool fullRange = false;
        int outWidth = 0, outHeight = 0;
        friend bool operator==(const ScaleKey&, const ScaleKey&) = default;
    };
    SwsContext* sws_ = nullptr;
    ScaleKey scaleKey_;
    SwsContext* bandSws_ = nullptr; // DrawScaled's, a band of rows
    ScaleKey bandKey_;
    std::vector<std::uint32_t> columns_; // DrawScaled's column table
    std::vector<std::uint32_t> band_; // and the band of rows it converts
    std::int64_t shownNumber_ = -1;
    std::int64_t lastAsked_ = -2; // the frame the last Draw asked for
    std::int64_t decoded_ = -1; // the frame the decoder stands at; -1 after a seek
    bool positioned_ = false; // the demuxer follows on from decoded_
    int seeks_ = 0;

    struct Ahead {
        AVFrame* frame;
        std::int64_t time;
        bool ok;
    };
    std::thread worker_;
    std::mutex aheadLock_;
    std::condition_variable aheadWake_;
    // Guarded by aheadLock_:
    std::deque<Ahead> ahead_; // decoded by the worker, in order
    std::vector<AVFrame*> spare_; // frames free for the worker
    std::vector<AVFrame*> owned_; // every frame, to free at the end
    bool running_ = false; // the worker may decode on
    bool busy_ = false; // the worker is using file_
    bool aheadEnded_ = false; // the worker met the end of the stream
    bool quit_ = false;
};

} // namespace ffmpeg
