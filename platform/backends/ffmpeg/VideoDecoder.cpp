#include "platform/backends/ffmpeg/VideoDecoder.h"

#include <algorithm>
#include <cstdint>
#include <utility>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

namespace ffmpeg {

std::unique_ptr<VideoDecoder> VideoDecoder::Open(const std::string& hostPath, int streamNumber)
{
    std::unique_ptr<MediaFile> file = MediaFile::Open(hostPath, streamNumber, StreamKind::Video);
    if (!file) return nullptr;
    std::unique_ptr<VideoDecoder> d(new VideoDecoder(std::move(file)));
    if (d->shown_ == nullptr || d->next_ == nullptr) return nullptr;
    return d;
}

VideoDecoder::VideoDecoder(std::unique_ptr<MediaFile> file)
    : file_(std::move(file)), shown_(av_frame_alloc()), next_(av_frame_alloc())
{
    positioned_ = true; // MediaFile::Open leaves it at the first frame
}

VideoDecoder::~VideoDecoder()
{
    av_frame_free(&shown_);
    av_frame_free(&next_);
    sws_freeContext(sws_);
}

std::int64_t VideoDecoder::FrameAt(std::int64_t position) const
{
    constexpr std::int64_t kStoredPrecision = 10000; // 1 ms
    return file_->EntryAt(position > INT64_MAX - kStoredPrecision ? position : position + kStoredPrecision - 1);
}

std::int64_t VideoDecoder::TimeOf(std::int64_t number) const
{
    const auto& index = file_->Index();
    number = std::clamp<std::int64_t>(number, 0, static_cast<std::int64_t>(index.size()) - 1);
    return index[static_cast<std::size_t>(number)].time;
}

bool VideoDecoder::Draw(std::int64_t number, int width, int height, media::Frame& out)
{
    const auto& index = file_->Index();
    number = std::clamp<std::int64_t>(number, 0, static_cast<std::int64_t>(index.size()) - 1);
    if (number == shownNumber_) return Convert(shown_, width, height, out);

    std::int64_t key = number;
    while (key > 0 && !index[static_cast<std::size_t>(key)].key) --key;
    if (!positioned_ || decoded_ < key - 1 || decoded_ >= number) {
        // decoded_ == key - 1 follows on to the key frame without a seek.
        if (!file_->SeekTo(key)) return false;
        ++seeks_;
        positioned_ = true;
        decoded_ = key - 1;
        shownNumber_ = -1;
    }
    std::int64_t time = 0;
    while (file_->NextFrame(next_, time)) {
        const std::int64_t got = file_->EntryAt(time);
        decoded_ = got;
        if (got > number && shownNumber_ >= 0 && shownNumber_ < number) {
            // The frame asked for did not decode: keep the one before it,
            // and seek next time, as the decoder is now past it.
            av_frame_unref(next_);
            positioned_ = false;
            break;
        }
        std::swap(shown_, next_);
        av_frame_unref(next_);
        shownNumber_ = got;
        if (got >= number) break;
    }
    if (decoded_ < number) positioned_ = false; // the stream ended first
    if (shownNumber_ < 0) return false;
    return Convert(shown_, width, height, out);
}

namespace {

// The JPEG formats are the plain ones at full range; swscale converts them
// so itself, which defeats sws_getCachedContext (a new context every frame).
AVPixelFormat PlainFormat(AVPixelFormat f, bool& fullRange)
{
    switch (f) {
    case AV_PIX_FMT_YUVJ420P: fullRange = true; return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P: fullRange = true; return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P: fullRange = true; return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P: fullRange = true; return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P: fullRange = true; return AV_PIX_FMT_YUV411P;
    default: return f;
    }
}

} // namespace

bool VideoDecoder::Convert(const AVFrame* frame, int width, int height, media::Frame& out)
{
    if (frame->width <= 0 || frame->height <= 0 || frame->format < 0 || width <= 0 || height <= 0) return false;
    bool fullRange = frame->color_range == AVCOL_RANGE_JPEG;
    const AVPixelFormat format = PlainFormat(static_cast<AVPixelFormat>(frame->format), fullRange);
    const ScaleKey key{frame->width, frame->height, format, fullRange, width, height};
    if (sws_ == nullptr || !(key == scaleKey_)) {
        sws_freeContext(sws_);
        sws_ = sws_getContext(frame->width, frame->height, format, width, height, AV_PIX_FMT_BGR0, SWS_BILINEAR,
                              nullptr, nullptr, nullptr);
        if (sws_ == nullptr) return false;
        const int* coefficients = sws_getCoefficients(SWS_CS_DEFAULT);
        sws_setColorspaceDetails(sws_, coefficients, fullRange ? 1 : 0, coefficients, 1, 0, 1 << 16, 1 << 16);
        scaleKey_ = key;
    }
    media::Frame picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    std::uint8_t* planes[4] = {reinterpret_cast<std::uint8_t*>(picture.pixels.data()), nullptr, nullptr, nullptr};
    int strides[4] = {width * 4, 0, 0, 0};
    if (sws_scale(sws_, frame->data, frame->linesize, 0, frame->height, planes, strides) != height) return false;
    // The fourth byte is unused in a 32-bit DIB pixel: keep it 0.
    for (std::uint32_t& p : picture.pixels) p &= 0x00FFFFFFu;
    out = std::move(picture);
    return true;
}

} // namespace ffmpeg
