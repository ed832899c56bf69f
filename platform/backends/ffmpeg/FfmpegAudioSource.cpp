#include "platform/backends/ffmpeg/FfmpegAudioSource.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/backends/ffmpeg/MediaFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace ffmpeg {

namespace {

class Reader final : public media::AudioReader {
public:
    explicit Reader(std::unique_ptr<MediaFile> file) : file_(std::move(file)), frame_(av_frame_alloc()) {}
    ~Reader() override { av_frame_free(&frame_); }

    bool Seek(media::REFERENCE_TIME position) override
    {
        pending_.clear();
        offset_ = 0;
        if (frame_ == nullptr || !file_->SeekTo(file_->EntryAt(position)))
            return false;
        trimTo_ = position;
        return true;
    }

    std::size_t Read(std::uint8_t* out, std::size_t bytes) override
    {
        const std::size_t block = BlockSize();
        if (block == 0 || frame_ == nullptr)
            return 0;
        bytes -= bytes % block;
        std::size_t done = 0;
        while (done < bytes) {
            if (offset_ == pending_.size() && !Refill())
                break;
            const std::size_t n = std::min(bytes - done, pending_.size() - offset_);
            std::memcpy(out + done, pending_.data() + offset_, n);
            offset_ += n;
            done += n;
        }
        return done;
    }

private:
    std::size_t BlockSize() const
    {
        const int channels = file_->Codec()->ch_layout.nb_channels;
        return channels > 0 && channels <= 16 ? static_cast<std::size_t>(channels) * 2 : 0;
    }

    // Decodes the next frame into pending_, dropping what lies before the
    // position sought.
    bool Refill()
    {
        pending_.clear();
        offset_ = 0;
        const AVCodecContext* c = file_->Codec();
        const std::size_t block = BlockSize();
        std::int64_t time = 0;
        while (pending_.empty()) {
            if (!file_->NextFrame(frame_, time))
                return false;
            const int channels = c->ch_layout.nb_channels;
            const int samples = frame_->nb_samples;
            const int rate = c->sample_rate > 0 ? c->sample_rate : 1;
            if (frame_->ch_layout.nb_channels != channels || samples <= 0 ||
                (frame_->format != AV_SAMPLE_FMT_S16 && frame_->format != AV_SAMPLE_FMT_S16P)) {
                av_frame_unref(frame_);
                continue;
            }
            int skip = 0;
            if (time < trimTo_)
                skip = static_cast<int>(std::min<std::int64_t>(samples, (trimTo_ - time) * rate / 10000000));
            pending_.resize(static_cast<std::size_t>(samples - skip) * block);
            if (frame_->format == AV_SAMPLE_FMT_S16) {
                std::memcpy(pending_.data(), frame_->data[0] + static_cast<std::size_t>(skip) * block, pending_.size());
            } else {
                for (int s = skip; s < samples; ++s)
                    for (int ch = 0; ch < channels; ++ch)
                        std::memcpy(
                            &pending_[static_cast<std::size_t>(s - skip) * block + static_cast<std::size_t>(ch) * 2],
                            frame_->extended_data[ch] + static_cast<std::size_t>(s) * 2, 2);
            }
            av_frame_unref(frame_);
        }
        trimTo_ = 0;
        return true;
    }

    std::unique_ptr<MediaFile> file_;
    AVFrame* frame_;
    std::vector<std::uint8_t> pending_;
    std::size_t offset_ = 0;
    std::int64_t trimTo_ = 0;
};

} // namespace

std::unique_ptr<media::AudioReader> FfmpegAudioSource::OpenAudio(const media::SourceStream& stream)
{
    std::unique_ptr<MediaFile> file = MediaFile::Open(stream.hostPath, stream.stream.number, StreamKind::Audio);
    if (!file)
        return nullptr;
    return std::make_unique<Reader>(std::move(file));
}

} // namespace ffmpeg
