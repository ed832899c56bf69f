#include "platform/backends/ffmpeg/MediaFile.h"

#include <algorithm>

#include "platform/backends/ffmpeg/AsfIndex.h"
#include "platform/backends/ffmpeg/FfmpegLog.h"
#include "platform/win/HostFileIo.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace ffmpeg {

namespace {

constexpr AVRational kHundredNs{1, 10000000};
// A damaged file cannot make one call read or decode without end.
constexpr int kMaxStepsPerFrame = 200000;

std::int64_t TimeOf(const AVPacket& p) { return p.pts != AV_NOPTS_VALUE ? p.pts : p.dts; }

} // namespace

std::unique_ptr<MediaFile> MediaFile::Open(const std::string& hostPath, int number, StreamKind kind)
{
    RouteLogToDebugOutput();
    // FFmpeg opens by path and would wait for ever on a FIFO.
    if (!win::IsReadableRegularFile(hostPath))
        return nullptr;
    std::unique_ptr<MediaFile> file(new MediaFile());
    const AVInputFormat* asf = av_find_input_format("asf");
    if (avformat_open_input(&file->format_, hostPath.c_str(), asf, nullptr) < 0) {
        file->format_ = nullptr;
        return nullptr;
    }
    const AVMediaType wanted = kind == StreamKind::Video ? AVMEDIA_TYPE_VIDEO : AVMEDIA_TYPE_AUDIO;
    for (unsigned i = 0; i < file->format_->nb_streams; ++i) {
        const AVStream* st = file->format_->streams[i];
        if (st->codecpar->codec_type != wanted)
            continue;
        if (st->id == number) {
            file->stream_ = static_cast<int>(i);
            break;
        }
        if (file->stream_ < 0)
            file->stream_ = static_cast<int>(i);
    }
    if (file->stream_ < 0)
        return nullptr;
    for (unsigned i = 0; i < file->format_->nb_streams; ++i)
        if (static_cast<int>(i) != file->stream_)
            file->format_->streams[i]->discard = AVDISCARD_ALL;

    AVStream* st = file->format_->streams[file->stream_];
    const AVCodec* decoder = avcodec_find_decoder(st->codecpar->codec_id);
    if (decoder == nullptr)
        return nullptr;
    file->codec_ = avcodec_alloc_context3(decoder);
    if (file->codec_ == nullptr || avcodec_parameters_to_context(file->codec_, st->codecpar) < 0)
        return nullptr;
    // Slice threads only: frame threads hold frames back, which a frame
    // step after a seek would wait for.
    file->codec_->thread_count = 0;
    file->codec_->thread_type = FF_THREAD_SLICE;
    file->codec_->pkt_timebase = st->time_base;
    if (avcodec_open2(file->codec_, decoder, nullptr) < 0)
        return nullptr;
    file->packet_ = av_packet_alloc();
    if (file->packet_ == nullptr || !file->BuildIndex(hostPath))
        return nullptr;
    if (!file->SeekTo(0))
        return nullptr;
    return file;
}

MediaFile::~MediaFile()
{
    av_packet_free(&packet_);
    avcodec_free_context(&codec_);
    if (format_ != nullptr)
        avformat_close_input(&format_);
}

bool MediaFile::BuildIndex(const std::string& hostPath)
{
    AVStream* st = format_->streams[stream_];
    // ASF times are milliseconds: a recorder's file is indexed from its
    // packet headers, anything else through the demuxer.
    if (st->time_base.num == 1 && st->time_base.den == 1000 && ReadAsfIndex(hostPath, st->id, index_)) {
        for (const IndexEntry& e : index_)
            if (e.key)
                av_add_index_entry(st, e.pos, e.time / 10000, 0, 0, AVINDEX_KEYFRAME);
        return SortIndex();
    }
    while (av_read_frame(format_, packet_) >= 0) {
        if (packet_->stream_index == stream_ && TimeOf(*packet_) != AV_NOPTS_VALUE) {
            const std::int64_t ts = TimeOf(*packet_);
            const bool key = (packet_->flags & AV_PKT_FLAG_KEY) != 0;
            index_.push_back({av_rescale_q(ts, st->time_base, kHundredNs), packet_->pos, key});
            // The demuxer's own index lets a seek land on the packet at once.
            if (key && packet_->pos >= 0)
                av_add_index_entry(st, packet_->pos, ts, 0, 0, AVINDEX_KEYFRAME);
        }
        av_packet_unref(packet_);
    }
    return SortIndex();
}

bool MediaFile::SortIndex()
{
    std::stable_sort(index_.begin(), index_.end(),
                     [](const IndexEntry& a, const IndexEntry& b) { return a.time < b.time; });
    if (!index_.empty())
        index_.front().key = true; // decoding starts somewhere
    return !index_.empty();
}

std::int64_t MediaFile::EntryAt(std::int64_t time) const
{
    auto it = std::upper_bound(index_.begin(), index_.end(), time,
                               [](std::int64_t t, const IndexEntry& e) { return t < e.time; });
    return it == index_.begin() ? 0 : static_cast<std::int64_t>(it - index_.begin()) - 1;
}

std::int64_t MediaFile::EntryFrom(std::int64_t time) const
{
    auto it = std::lower_bound(index_.begin(), index_.end(), time,
                               [](const IndexEntry& e, std::int64_t t) { return e.time < t; });
    return it == index_.end() ? -1 : static_cast<std::int64_t>(it - index_.begin());
}

bool MediaFile::SeekTo(std::int64_t entry)
{
    if (entry < 0 || entry >= static_cast<std::int64_t>(index_.size()))
        return false;
    AVStream* st = format_->streams[stream_];
    const std::int64_t time = index_[static_cast<std::size_t>(entry)].time;
    const std::int64_t ts = av_rescale_q(time, kHundredNs, st->time_base);
    if (av_seek_frame(format_, stream_, ts, AVSEEK_FLAG_BACKWARD) < 0 &&
        av_seek_frame(format_, stream_,
                      std::max<std::int64_t>(0, st->start_time == AV_NOPTS_VALUE ? 0 : st->start_time),
                      AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) < 0)
        return false;
    avcodec_flush_buffers(codec_);
    skipBefore_ = time;
    draining_ = false;
    ended_ = false;
    return true;
}

bool MediaFile::NextFrame(AVFrame* frame, std::int64_t& time)
{
    if (ended_)
        return false;
    AVStream* st = format_->streams[stream_];
    for (int step = 0; step < kMaxStepsPerFrame; ++step) {
        int r = avcodec_receive_frame(codec_, frame);
        if (r == 0) {
            std::int64_t ts =
                frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
            if (ts == AV_NOPTS_VALUE) {
                av_frame_unref(frame);
                continue;
            }
            time = av_rescale_q(ts, st->time_base, kHundredNs);
            if (time < skipBefore_) {
                av_frame_unref(frame);
                continue;
            }
            return true;
        }
        if (r == AVERROR_EOF || draining_) {
            ended_ = true;
            return false;
        }
        if (av_read_frame(format_, packet_) < 0) {
            avcodec_send_packet(codec_, nullptr);
            draining_ = true;
            continue;
        }
        const std::int64_t ts = TimeOf(*packet_);
        const bool wanted = packet_->stream_index == stream_ &&
            (ts == AV_NOPTS_VALUE || av_rescale_q(ts, st->time_base, kHundredNs) >= skipBefore_);
        // A packet the decoder refuses (a damaged picture) is passed over.
        if (wanted)
            avcodec_send_packet(codec_, packet_);
        av_packet_unref(packet_);
    }
    ended_ = true;
    return false;
}

} // namespace ffmpeg
