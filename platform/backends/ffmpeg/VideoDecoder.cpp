#include "platform/backends/ffmpeg/VideoDecoder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <utility>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace ffmpeg {

std::unique_ptr<VideoDecoder> VideoDecoder::Open(const std::string& hostPath, int streamNumber)
{
    std::unique_ptr<MediaFile> file = MediaFile::Open(hostPath, streamNumber, StreamKind::Video);
    if (!file)
        return nullptr;
    std::unique_ptr<VideoDecoder> d(new VideoDecoder(std::move(file)));
    if (d->shown_ == nullptr || d->next_ == nullptr)
        return nullptr;
    return d;
}

VideoDecoder::VideoDecoder(std::unique_ptr<MediaFile> file)
    : file_(std::move(file)), shown_(av_frame_alloc()), next_(av_frame_alloc())
{
    positioned_ = true; // MediaFile::Open leaves it at the first frame
    owned_ = {shown_, next_};
}

VideoDecoder::~VideoDecoder()
{
    if (worker_.joinable()) {
        {
            std::lock_guard<std::mutex> guard(aheadLock_);
            quit_ = true;
        }
        aheadWake_.notify_all();
        worker_.join();
    }
    // Frames change hands between shown_, next_, the queue and the spares;
    // owned_ has each once.
    for (AVFrame*& f : owned_)
        av_frame_free(&f);
    sws_freeContext(sws_);
    sws_freeContext(bandSws_);
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
    return Decode(number) && Convert(shown_, width, height, out);
}

bool VideoDecoder::DrawScaled(std::int64_t number, int width, int height, const media::ScaledTarget& target)
{
    return Decode(number) && ConvertScaled(shown_, width, height, target);
}

bool VideoDecoder::Decode(std::int64_t number)
{
    const auto& index = file_->Index();
    number = std::clamp<std::int64_t>(number, 0, static_cast<std::int64_t>(index.size()) - 1);
    // Reading ahead pays once frames are asked for in order (playing); a
    // recording only cued or stepped about keeps no frames in advance.
    const bool inOrder = number == lastAsked_ + 1;
    lastAsked_ = number;
    if (number == shownNumber_)
        return true;

    std::int64_t key = number;
    while (key > 0 && !index[static_cast<std::size_t>(key)].key)
        --key;
    if (!positioned_ || decoded_ < key - 1 || decoded_ >= number) {
        // decoded_ == key - 1 follows on to the key frame without a seek.
        DropAhead();
        if (!file_->SeekTo(key))
            return false;
        ++seeks_;
        positioned_ = true;
        decoded_ = key - 1;
        shownNumber_ = -1;
    }
    std::int64_t time = 0;
    while (NextFrame(time)) {
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
        if (got >= number)
            break;
    }
    if (decoded_ < number)
        positioned_ = false; // the stream ended first
    if (shownNumber_ < 0)
        return false;
    if (positioned_ && decoded_ == number && inOrder)
        StartAhead(); // while this one is converted
    return true;
}

// ---- Read-ahead -------------------------------------------------------------
// While frames are converted and shown, the worker decodes up to kAhead
// frames further on. The worker uses file_ only while busy_; the drawing
// thread uses it only after StopAhead, which waits for the worker to stand.

namespace {
constexpr std::size_t kAhead = 8;
} // namespace

bool VideoDecoder::NextFrame(std::int64_t& time)
{
    {
        std::unique_lock<std::mutex> guard(aheadLock_);
        aheadWake_.wait(guard, [this] { return !ahead_.empty() || !running_ || (!busy_ && aheadEnded_); });
        if (!ahead_.empty()) {
            Ahead a = ahead_.front();
            ahead_.pop_front();
            std::swap(next_, a.frame);
            spare_.push_back(a.frame);
            time = a.time;
            aheadWake_.notify_all();
            return a.ok;
        }
        if (running_)
            return false; // the worker met the end
    }
    return file_->NextFrame(next_, time);
}

void VideoDecoder::StartAhead()
{
    std::lock_guard<std::mutex> guard(aheadLock_);
    if (running_)
        return;
    if (!worker_.joinable())
        worker_ = std::thread([this] { WorkerLoop(); });
    running_ = true;
    aheadEnded_ = false;
    aheadWake_.notify_all();
}

void VideoDecoder::DropAhead()
{
    std::unique_lock<std::mutex> guard(aheadLock_);
    running_ = false;
    aheadWake_.notify_all();
    aheadWake_.wait(guard, [this] { return !busy_; });
    for (Ahead& a : ahead_) {
        av_frame_unref(a.frame);
        spare_.push_back(a.frame);
    }
    ahead_.clear();
}

void VideoDecoder::WorkerLoop()
{
    std::unique_lock<std::mutex> guard(aheadLock_);
    for (;;) {
        aheadWake_.wait(guard, [this] { return quit_ || (running_ && !aheadEnded_ && ahead_.size() < kAhead); });
        if (quit_)
            return;
        AVFrame* frame = nullptr;
        if (!spare_.empty()) {
            frame = spare_.back();
            spare_.pop_back();
        } else {
            frame = av_frame_alloc();
            if (frame == nullptr) {
                running_ = false;
                aheadWake_.notify_all();
                continue;
            }
            owned_.push_back(frame);
        }
        busy_ = true;
        guard.unlock();
        std::int64_t time = 0;
        const bool ok = file_->NextFrame(frame, time);
        guard.lock();
        busy_ = false;
        ahead_.push_back({frame, time, ok});
        if (!ok)
            aheadEnded_ = true;
        aheadWake_.notify_all();
    }
}

namespace {

// The JPEG formats are the plain ones at full range; swscale converts them
// so itself, which defeats sws_getCachedContext (a new context every frame).
AVPixelFormat PlainFormat(AVPixelFormat f, bool& fullRange)
{
    switch (f) {
    case AV_PIX_FMT_YUVJ420P:
        fullRange = true;
        return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P:
        fullRange = true;
        return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P:
        fullRange = true;
        return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P:
        fullRange = true;
        return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P:
        fullRange = true;
        return AV_PIX_FMT_YUV411P;
    default:
        return f;
    }
}

// Rows converted at a time: a band of a 1280-wide picture stays in the cache.
constexpr int kBand = 32;

// Four pixels a step where SSE2 is there (every x86-64): a plain loop is
// not vectorised at -O2 and costs a third of a frame's decoding.
void ClearFourthByte(std::uint32_t* p, std::size_t count)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i mask = _mm_set1_epi32(0x00FFFFFF);
    for (; i + 4 <= count; i += 4) {
        auto* at = reinterpret_cast<__m128i*>(p + i);
        _mm_storeu_si128(at, _mm_and_si128(_mm_loadu_si128(at), mask));
    }
#endif
    for (; i < count; ++i)
        p[i] &= 0x00FFFFFFu;
}

} // namespace

bool VideoDecoder::Convert(const AVFrame* frame, int width, int height, media::Frame& out)
{
    if (frame->width <= 0 || frame->height <= 0 || frame->format < 0 || width <= 0 || height <= 0)
        return false;
    bool fullRange = frame->color_range == AVCOL_RANGE_JPEG;
    const AVPixelFormat format = PlainFormat(static_cast<AVPixelFormat>(frame->format), fullRange);
    const ScaleKey key{frame->width, frame->height, format, fullRange, width, height};
    if (sws_ == nullptr || !(key == scaleKey_)) {
        sws_freeContext(sws_);
        sws_ = sws_getContext(frame->width, frame->height, format, width, height, AV_PIX_FMT_BGR0, SWS_BILINEAR,
                              nullptr, nullptr, nullptr);
        if (sws_ == nullptr)
            return false;
        const int* coefficients = sws_getCoefficients(SWS_CS_DEFAULT);
        sws_setColorspaceDetails(sws_, coefficients, fullRange ? 1 : 0, coefficients, 1, 0, 1 << 16, 1 << 16);
        scaleKey_ = key;
    }
    // Written straight into the caller's picture: a caller that hands the
    // same picture in again saves an allocation per frame.
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (out.pixels.size() != count)
        out.pixels.resize(count);
    out.width = width;
    out.height = height;
    std::uint8_t* planes[4] = {reinterpret_cast<std::uint8_t*>(out.pixels.data()), nullptr, nullptr, nullptr};
    int strides[4] = {width * 4, 0, 0, 0};
    // swscale sets the fourth byte to 255; a 32-bit DIB pixel has 0 there.
    auto clearFourthByte = [&](int row, int rows) {
        ClearFourthByte(out.pixels.data() + static_cast<std::size_t>(row) * width,
                        static_cast<std::size_t>(rows) * width);
    };
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
    const bool planarYuv = desc != nullptr && (desc->flags & AV_PIX_FMT_FLAG_PLANAR) != 0 &&
        (desc->flags & AV_PIX_FMT_FLAG_RGB) == 0 && desc->nb_components == 3;
    if (frame->width == width && frame->height == height && planarYuv) {
        // Unscaled: converted band by band, each cleared while it is still in the cache.
        for (int y = 0; y < height; y += kBand) {
            const int rows = std::min(kBand, height - y);
            const std::uint8_t* slice[4] = {
                frame->data[0] + static_cast<std::ptrdiff_t>(y) * frame->linesize[0],
                frame->data[1] + static_cast<std::ptrdiff_t>(y >> desc->log2_chroma_h) * frame->linesize[1],
                frame->data[2] + static_cast<std::ptrdiff_t>(y >> desc->log2_chroma_h) * frame->linesize[2], nullptr};
            if (sws_scale(sws_, slice, frame->linesize, y, rows, planes, strides) <= 0)
                return false;
            clearFourthByte(y, rows);
        }
        return true;
    }
    if (sws_scale(sws_, frame->data, frame->linesize, 0, frame->height, planes, strides) != height)
        return false;
    clearFourthByte(0, height);
    return true;
}

// The picture nearest-neighbour as VideoPresenter::Repaint scales it, from
// the rows of the decoded picture that show, each converted once as the
// unscaled conversion of Convert converts it: the same pixels as Convert at
// the native size and a Repaint, without the native picture.
bool VideoDecoder::ConvertScaled(const AVFrame* frame, int width, int height, const media::ScaledTarget& target)
{
    const win::RECT& s = target.source;
    const win::RECT& p = target.picture;
    if (frame->width <= 0 || frame->height <= 0 || frame->width != width || frame->height != height ||
        frame->format < 0 || target.pixels == nullptr || target.width <= 0 || target.height <= 0)
        return false;
    bool fullRange = frame->color_range == AVCOL_RANGE_JPEG;
    const AVPixelFormat format = PlainFormat(static_cast<AVPixelFormat>(frame->format), fullRange);
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
    if (desc == nullptr || (desc->flags & AV_PIX_FMT_FLAG_PLANAR) == 0 || (desc->flags & AV_PIX_FMT_FLAG_RGB) != 0 ||
        desc->nb_components != 3)
        return false;
    if (s.left < 0 || s.top < 0 || s.right > width || s.bottom > height || s.left >= s.right || s.top >= s.bottom)
        return false;
    const std::int64_t sw = std::int64_t(s.right) - s.left, sh = std::int64_t(s.bottom) - s.top;
    const std::int64_t pw = std::int64_t(p.right) - p.left, ph = std::int64_t(p.bottom) - p.top;
    if (pw <= 0 || ph <= 0)
        return false;
    const int vl = std::clamp<int>(p.left, 0, target.width), vr = std::clamp<int>(p.right, 0, target.width);
    const int vt = std::clamp<int>(p.top, 0, target.height), vb = std::clamp<int>(p.bottom, 0, target.height);
    if (vl >= vr || vt >= vb)
        return true; // nothing of it in view

    // Convert's unscaled conversion, a band of rows at a time into a band
    // that stays in the cache (a band's own context: a picture as high as
    // the band, so that any band may be one); bands with no row in view are
    // left out.
    const int band = std::min(kBand, height);
    const int chromaRows = 1 << desc->log2_chroma_h;
    if (band % chromaRows != 0 || height % chromaRows != 0)
        return false;
    const ScaleKey key{frame->width, band, format, fullRange, width, band};
    if (bandSws_ == nullptr || !(key == bandKey_)) {
        sws_freeContext(bandSws_);
        bandSws_ = sws_getContext(frame->width, band, format, width, band, AV_PIX_FMT_BGR0, SWS_BILINEAR, nullptr,
                                  nullptr, nullptr);
        if (bandSws_ == nullptr)
            return false;
        const int* coefficients = sws_getCoefficients(SWS_CS_DEFAULT);
        sws_setColorspaceDetails(bandSws_, coefficients, fullRange ? 1 : 0, coefficients, 1, 0, 1 << 16, 1 << 16);
        bandKey_ = key;
    }
    // The picture column of each target column, once per picture.
    columns_.resize(static_cast<std::size_t>(vr - vl));
    for (int x = vl; x < vr; ++x)
        columns_[static_cast<std::size_t>(x - vl)] =
            static_cast<std::uint32_t>(s.left + (std::int64_t(x) - p.left) * sw / pw);
    band_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(band));
    std::uint8_t* out[4] = {reinterpret_cast<std::uint8_t*>(band_.data()), nullptr, nullptr, nullptr};
    int strides[4] = {width * 4, 0, 0, 0};
    const std::size_t span = columns_.size();
    auto targetRow = [&](int y) { return target.pixels + static_cast<std::size_t>(y) * target.width + vl; };
    int previous = -1;
    int bandTop = -1; // the first picture row in band_
    for (int y = vt; y < vb; ++y) {
        const int fy = static_cast<int>(s.top + (std::int64_t(y) - p.top) * sh / ph);
        std::uint32_t* to = targetRow(y);
        if (fy == previous) {
            std::memcpy(to, targetRow(y - 1), span * sizeof(std::uint32_t));
            continue;
        }
        previous = fy;
        if (bandTop < 0 || fy < bandTop || fy >= bandTop + band) {
            // The last band ends with the picture (it may repeat rows).
            bandTop = std::min(fy / band * band, height - band);
            const int chromaTop = bandTop >> desc->log2_chroma_h;
            const std::uint8_t* slice[4] = {
                frame->data[0] + static_cast<std::ptrdiff_t>(bandTop) * frame->linesize[0],
                frame->data[1] + static_cast<std::ptrdiff_t>(chromaTop) * frame->linesize[1],
                frame->data[2] + static_cast<std::ptrdiff_t>(chromaTop) * frame->linesize[2], nullptr};
            if (sws_scale(bandSws_, slice, frame->linesize, 0, band, out, strides) <= 0)
                return false;
        }
        const std::uint32_t* from = band_.data() + static_cast<std::size_t>(fy - bandTop) * width;
        const std::uint32_t* column = columns_.data();
        for (std::size_t i = 0; i < span; ++i)
            to[i] = from[column[i]] & 0x00FFFFFFu;
    }
    return true;
}

} // namespace ffmpeg
