// One recording opened with libavformat, for one of its streams: the
// demuxer, the stream's decoder, and an index of the stream's packets by
// presentation time. ASF stores presentation times in whole milliseconds,
// so frame numbers come from this index, never from a division by the
// frame time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

extern "C" {
struct AVFormatContext;
struct AVCodecContext;
struct AVPacket;
struct AVFrame;
}

namespace ffmpeg {

struct IndexEntry {
    std::int64_t time = 0; // presentation time, 100 ns
    std::int64_t pos = 0; // byte offset of the data packet that holds its start
    bool key = false;
};

enum class StreamKind { Video, Audio };

class MediaFile {
public:
    // Opens `hostPath` for the stream whose ASF stream number is `number`
    // (or the first stream of that kind when none has it) and reads the
    // whole file once for the index (its packet headers only, when its
    // layout allows: AsfIndex.h). Null when the file cannot be opened or
    // has no such stream that FFmpeg can decode.
    static std::unique_ptr<MediaFile> Open(const std::string& hostPath, int number, StreamKind kind);
    ~MediaFile();
    MediaFile(const MediaFile&) = delete;
    MediaFile& operator=(const MediaFile&) = delete;

    // Sorted by time.
    const std::vector<IndexEntry>& Index() const { return index_; }
    // The entry shown at `time`: the last whose time is not after it (0
    // before the first).
    std::int64_t EntryAt(std::int64_t time) const;
    // The entry of exactly `time`, or the first after it; -1 past the end.
    std::int64_t EntryFrom(std::int64_t time) const;

    // Puts the demuxer at the data packet that holds entry `entry` and
    // empties the decoder; packets of the stream before that entry's time
    // are then skipped by NextFrame.
    bool SeekTo(std::int64_t entry);
    // The next decoded frame in presentation order; false at the end of
    // the stream (after which a SeekTo is needed). Damaged packets are
    // skipped. The frame's time (100 ns) is in `time`.
    bool NextFrame(AVFrame* frame, std::int64_t& time);

    AVCodecContext* Codec() const { return codec_; }

private:
    MediaFile() = default;
    bool BuildIndex(const std::string& hostPath);
    bool SortIndex();

    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVPacket* packet_ = nullptr;
    int stream_ = -1;
    std::vector<IndexEntry> index_;
    std::int64_t skipBefore_ = 0;
    bool draining_ = false;
    bool ended_ = false;
};

} // namespace ffmpeg
