#include "platform/backends/ffmpeg/FfmpegFrameSource.h"

#include <sys/stat.h>

namespace ffmpeg {

namespace {

constexpr std::size_t kKeptDecoders = 4;

} // namespace

VideoDecoder* FfmpegFrameSource::DecoderFor(const media::SourceStream& stream)
{
    struct stat st {};
    if (::stat(stream.hostPath.c_str(), &st) != 0)
        return nullptr;
    const int number = stream.stream.number;
    for (auto it = decoders_.begin(); it != decoders_.end(); ++it) {
        if (it->path != stream.hostPath || it->stream != number)
            continue;
        if (it->size == st.st_size && it->modified.tv_sec == st.st_mtim.tv_sec &&
            it->modified.tv_nsec == st.st_mtim.tv_nsec) {
            decoders_.splice(decoders_.begin(), decoders_, it);
            return decoders_.front().decoder.get();
        }
        decoders_.erase(it); // the file changed
        break;
    }
    Entry e{stream.hostPath, number, st.st_size, st.st_mtim, VideoDecoder::Open(stream.hostPath, number)};
    decoders_.push_front(std::move(e));
    if (decoders_.size() > kKeptDecoders)
        decoders_.pop_back();
    return decoders_.front().decoder.get();
}

std::int64_t FfmpegFrameSource::FrameNumber(const media::SourceStream& stream, media::REFERENCE_TIME position)
{
    std::lock_guard<std::mutex> guard(lock_);
    VideoDecoder* d = DecoderFor(stream);
    return d != nullptr ? d->FrameAt(position) : media::FrameNumberAt(stream, position);
}

bool FfmpegFrameSource::DrawFrame(const media::FrameRequest& request, media::Frame& out)
{
    if (request.stream == nullptr)
        return false;
    std::lock_guard<std::mutex> guard(lock_);
    VideoDecoder* d = DecoderFor(*request.stream);
    return d != nullptr && d->Draw(request.frameNumber, request.width, request.height, out);
}

bool FfmpegFrameSource::DrawScaled(const media::FrameRequest& request, const media::ScaledTarget& target)
{
    if (request.stream == nullptr)
        return false;
    std::lock_guard<std::mutex> guard(lock_);
    VideoDecoder* d = DecoderFor(*request.stream);
    return d != nullptr && d->DrawScaled(request.frameNumber, request.width, request.height, target);
}

bool FfmpegFrameSource::Prepare(const media::FrameRequest& request)
{
    if (request.stream == nullptr)
        return false;
    std::lock_guard<std::mutex> guard(lock_);
    VideoDecoder* d = DecoderFor(*request.stream);
    return d != nullptr && d->Prepare(request.frameNumber);
}

} // namespace ffmpeg
