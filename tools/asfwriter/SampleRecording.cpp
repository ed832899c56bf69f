#include "tools/asfwriter/SampleRecording.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include <jpeglib.h>

namespace asfwriter {

namespace {

struct JpegError : jpeg_error_mgr {
    static void Raise(j_common_ptr cinfo)
    {
        char text[JMSG_LENGTH_MAX];
        (*cinfo->err->format_message)(cinfo, text);
        throw std::runtime_error(std::string("jpeg: ") + text);
    }
};

std::uint8_t Checksum(const std::string& body)
{
    std::uint8_t x = 0;
    for (char c : body)
        x ^= static_cast<std::uint8_t>(c);
    return x;
}

// ddmm.mmmm / dddmm.mmmm from signed degrees.
std::string NmeaAngle(double degrees, int degreeDigits)
{
    const double a = std::fabs(degrees);
    const int d = static_cast<int>(a);
    const double minutes = (a - d) * 60.0;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*d%07.4f", degreeDigits, d, minutes);
    return buf;
}

template <class Sink>
SampleResult Generate(AsfWriter& writer, const SampleOptions& o, Sink finish)
{
    SampleResult result;
    Muxer mux(writer, o.mux);
    const int fps = o.framesPerSecond > 0 ? o.framesPerSecond : 1;
    const int distinct = o.distinctFrames > 0 ? o.distinctFrames : 0;
    std::vector<Bytes> cache;
    const std::uint32_t block = o.channels * 2u;
    const std::uint32_t samplesPerFrame = o.sampleRate / static_cast<std::uint32_t>(fps);
    double lat = o.latitude, lon = o.longitude;
    std::uint32_t sampleClock = 0;

    for (int s = 0; s < o.seconds; ++s) {
        for (int f = 0; f < fps; ++f) {
            const int frame = s * fps + f;
            const std::uint32_t t = o.prerollMs + static_cast<std::uint32_t>(frame * 1000LL / fps);
            MediaObject video;
            video.stream = 1;
            video.presentationMs = t;
            video.keyFrame = true;
            if (distinct) {
                if (cache.size() < static_cast<std::size_t>(distinct))
                    cache.push_back(EncodeMosaicJpeg(o.width, o.height, frame, o.jpegQuality));
                video.data = cache[static_cast<std::size_t>(frame % distinct)];
            } else {
                video.data = EncodeMosaicJpeg(o.width, o.height, frame, o.jpegQuality);
            }
            mux.Add(video);

            MediaObject audio;
            audio.stream = 2;
            audio.presentationMs = t;
            audio.keyFrame = true;
            audio.data.resize(static_cast<std::size_t>(samplesPerFrame) * block);
            for (std::uint32_t i = 0; i < samplesPerFrame; ++i, ++sampleClock) {
                const auto v =
                    static_cast<std::int16_t>(4000.0 * std::sin(2 * M_PI * 440.0 * sampleClock / o.sampleRate));
                for (std::uint32_t c = 0; c < o.channels; ++c) {
                    audio.data[i * block + c * 2] = static_cast<std::uint8_t>(v);
                    audio.data[i * block + c * 2 + 1] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) >> 8);
                }
            }
            mux.Add(audio);

            if (f == 0) {
                const int total = o.hour * 3600 + o.minute * 60 + o.second + s;
                const std::string rmc = RmcSentence(total / 3600 % 24, total / 60 % 60, total % 60, lat, lon, o.knots,
                                                    o.course, o.day, o.month, o.year);
                std::vector<std::string> lines{rmc};
                if (o.gsensor)
                    lines.push_back(GxSentence(s % 3 - 1, (s * 7) % 5 - 2, 16 - s % 32));
                for (const std::string& line : lines) {
                    MediaObject track;
                    track.stream = 3;
                    track.presentationMs = t;
                    track.keyFrame = true;
                    track.data.assign(line.begin(), line.end());
                    mux.Add(track);
                    result.sentences.push_back({t, line});
                }
                // Move along the course: knots are nautical miles (1852 m) an hour.
                const double metres = o.knots * 1852.0 / 3600.0;
                lat += metres * std::cos(o.course * M_PI / 180.0) / 111320.0;
                lon += metres * std::sin(o.course * M_PI / 180.0) / (111320.0 * std::cos(lat * M_PI / 180.0));
            }
        }
    }
    mux.Flush();
    result.endLatitude = lat;
    result.endLongitude = lon;
    result.packets = writer.PacketCount();
    finish(writer);
    result.bytes = writer.HeaderSize() + 50 + result.packets * writer.Options().packetSize;
    return result;
}

FileOptions FileOptionsOf(const SampleOptions& o)
{
    FileOptions f;
    f.creationTime = FileTimeOf(o.year, o.month, o.day, o.hour, o.minute, o.second);
    f.prerollMs = o.prerollMs;
    f.playDuration = (static_cast<std::uint64_t>(o.seconds) * 1000 + o.prerollMs) * 10000ULL;
    f.video = VideoStream{1, o.width, o.height,
                          10000000ull / static_cast<std::uint64_t>(o.framesPerSecond > 0 ? o.framesPerSecond : 1)};
    f.audio = AudioStream{2, o.channels, o.sampleRate, 16};
    f.track = TrackStream{3};
    return f;
}

} // namespace

namespace {

// Digits 0-9 in a 3 x 5 grid, one row per 3 bits (top row first).
constexpr std::uint16_t kCounterDigits[10] = {
    0b111'101'101'101'111, 0b010'110'010'010'111, 0b111'001'111'100'111, 0b111'001'111'001'111, 0b101'101'111'001'001,
    0b111'100'111'001'111, 0b111'100'111'101'111, 0b111'001'010'010'010, 0b111'101'111'101'111, 0b111'101'111'001'111,
};

struct Rgb {
    std::uint8_t r, g, b;
};

Rgb Mix(Rgb a, Rgb b, int t256)
{
    auto m = [&](std::uint8_t x, std::uint8_t y) {
        return static_cast<std::uint8_t>((x * (256 - t256) + y * t256) >> 8);
    };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

int Wrap(int v, int n) { return n > 0 ? ((v % n) + n) % n : 0; }

// What moves with the frame, worked out once a picture.
struct Motion {
    int frame = 0;
    double carSwing = 0; // the following car, -1..1
    double needleX = 0, needleY = 0;
};

Motion MotionOf(int frame)
{
    Motion m;
    m.frame = frame;
    m.carSwing = std::sin(frame * 0.15);
    const double a = -2.4 + 4.8 * (Wrap(frame, 60) / 60.0);
    m.needleX = std::sin(a);
    m.needleY = -std::cos(a);
    return m;
}

// One camera's view at (x, y) of a qw x qh quadrant. Each scene moves with
// the frame number so that a still picture tells frames apart.
Rgb Scene(int camera, int x, int y, int qw, int qh, const Motion& motion)
{
    const int frame = motion.frame;
    const int horizon = qh * 2 / 5;
    switch (camera) {
    case 0: { // front: sky, a road to the horizon, dashes coming closer
        if (y < horizon)
            return Mix({90, 150, 225}, {200, 225, 245}, y * 256 / std::max(1, horizon));
        const int depth = y - horizon; // 0 at the horizon
        const int span = qh - horizon;
        const int half = qw / 10 + depth * qw * 2 / 5 / std::max(1, span);
        const int centre = qw / 2;
        if (x < centre - half || x > centre + half)
            return Mix({70, 120, 60}, {40, 90, 40}, (depth * 256) / std::max(1, span));
        const int edge = std::max(1, half / 12);
        if (x < centre - half + edge || x > centre + half - edge)
            return {235, 235, 235};
        const int dash = std::max(1, span / 5);
        const bool onDash = Wrap(depth - frame * std::max(1, span / 20), dash) < dash / 2;
        if (std::abs(x - centre) <= std::max(1, half / 25) && onDash)
            return {240, 220, 80};
        return {85, 85, 90};
    }
    case 1: { // rear: a car following, its lights, the road going away
        if (y < horizon)
            return Mix({160, 170, 190}, {110, 120, 140}, y * 256 / std::max(1, horizon));
        const int carW = qw / 3, carH = qh / 4;
        const int cx = qw / 2 + static_cast<int>(qw / 6 * motion.carSwing) - carW / 2;
        const int cy = horizon + (qh - horizon) / 4;
        if (x >= cx && x < cx + carW && y >= cy && y < cy + carH) {
            const bool light =
                y > cy + carH / 2 && y < cy + carH * 3 / 4 && (x < cx + carW / 5 || x >= cx + carW * 4 / 5);
            if (light)
                return {250, 240, 200};
            if (y < cy + carH / 3)
                return {40, 60, 80};
            return {150, 30, 30};
        }
        const int stripe = std::max(1, qw / 16);
        if (Wrap(x + frame * 3, stripe * 2) < stripe && y > qh - qh / 12)
            return {230, 230, 230};
        return {70, 70, 75};
    }
    case 2: { // side: buildings passing by
        const int block = std::max(4, qw / 5);
        const int sx = x + frame * std::max(1, qw / 40);
        const int b = sx / block;
        const int height = qh / 4 + (b * 37 % 5) * qh / 10;
        const int top = qh - qh / 6 - height;
        if (y >= qh - qh / 6)
            return Wrap(sx, 16) < 8 ? Rgb{110, 110, 110} : Rgb{95, 95, 95};
        if (y < top || Wrap(sx, block) < block / 8)
            return {150, 190, 230};
        static const Rgb walls[4] = {{180, 140, 100}, {140, 140, 150}, {200, 190, 160}, {120, 100, 90}};
        const Rgb wall = walls[Wrap(b, 4)];
        const int win = std::max(2, block / 6);
        if (Wrap(sx, win * 2) < win && Wrap(y - top, win * 2) >= win)
            return {250, 230, 140};
        return wall;
    }
    default: { // cabin: the dashboard with a speed dial whose needle turns
        if (y < qh / 2)
            return Mix({60, 80, 110}, {30, 40, 60}, y * 512 / std::max(1, qh));
        const int r = std::min(qw, qh) / 4;
        const int dx = x - qw / 2, dy = y - qh * 3 / 4;
        const int d2 = dx * dx + dy * dy;
        if (d2 > r * r)
            return {35, 35, 38};
        if (d2 > (r - std::max(1, r / 8)) * (r - std::max(1, r / 8)))
            return {200, 200, 200};
        const double nx = motion.needleX, ny = motion.needleY;
        const double along = dx * nx + dy * ny;
        const double across = std::fabs(dx * ny - dy * nx);
        if (along > 0 && along < r * 0.85 && across < std::max(1.0, r / 14.0))
            return {240, 70, 40};
        return {15, 15, 20};
    }
    }
}

} // namespace

MosaicCounterBox MosaicCounterBoxOf(std::uint32_t width, std::uint32_t height)
{
    MosaicCounterBox box;
    const int w = static_cast<int>(std::min<std::uint32_t>(width, 1u << 15));
    const int h = static_cast<int>(std::min<std::uint32_t>(height, 1u << 15));
    box.cell = std::max(3, std::min(w / 100, h / 40));
    box.width = (kMosaicCounterDigits * 4 + 1) * box.cell;
    box.height = 7 * box.cell;
    box.x = (w - box.width) / 2;
    box.y = (h - box.height) / 2;
    return box;
}

std::vector<std::uint8_t> MosaicRgb(std::uint32_t width, std::uint32_t height, int frame)
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    const int qw = w / 2, qh = h / 2;
    const Motion motion = MotionOf(frame);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int q = (y >= qh ? 2 : 0) + (x >= qw ? 1 : 0);
            const int lx = x >= qw ? x - qw : x, ly = y >= qh ? y - qh : y;
            const int lw = x >= qw ? w - qw : qw, lh = y >= qh ? h - qh : qh;
            // A thin dark frame around each camera's picture.
            Rgb c = (lx == 0 || ly == 0 || lx == lw - 1 || ly == lh - 1) ? Rgb{10, 10, 10}
                                                                         : Scene(q, lx, ly, lw, lh, motion);
            std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
        }
    // The frame counter: white digits on black, zero-padded to a fixed width.
    const MosaicCounterBox box = MosaicCounterBoxOf(width, height);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%0*d", kMosaicCounterDigits, std::max(0, frame) % 1000000);
    for (int y = std::max(0, box.y); y < std::min(h, box.y + box.height); ++y)
        for (int x = std::max(0, box.x); x < std::min(w, box.x + box.width); ++x) {
            const int cx = (x - box.x) / box.cell, cy = (y - box.y) / box.cell;
            bool on = false;
            if (cy >= 1 && cy <= 5 && cx >= 1 && (cx - 1) % 4 < 3) {
                const int digit = (cx - 1) / 4;
                if (digit < kMosaicCounterDigits) {
                    const std::uint16_t bits = kCounterDigits[digits[digit] - '0'];
                    on = (bits >> (14 - ((cy - 1) * 3 + (cx - 1) % 4))) & 1u;
                }
            }
            std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            p[0] = p[1] = p[2] = on ? 255 : 0;
        }
    return rgb;
}

int ReadMosaicCounter(const std::uint32_t* pixels, int width, int height)
{
    if (pixels == nullptr || width <= 0 || height <= 0)
        return -1;
    const MosaicCounterBox box =
        MosaicCounterBoxOf(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
    if (box.x < 0 || box.y < 0 || box.x + box.width > width || box.y + box.height > height)
        return -1;
    auto lit = [&](int cx, int cy) {
        const int x = box.x + cx * box.cell + box.cell / 2, y = box.y + cy * box.cell + box.cell / 2;
        const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
        const int luma = (((p >> 16) & 0xFF) * 3 + ((p >> 8) & 0xFF) * 6 + (p & 0xFF)) / 10;
        return luma >= 128;
    };
    int value = 0;
    for (int d = 0; d < kMosaicCounterDigits; ++d) {
        std::uint16_t bits = 0;
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (lit(1 + d * 4 + col, 1 + row))
                    bits |= static_cast<std::uint16_t>(1u << (14 - (row * 3 + col)));
        int digit = -1;
        for (int k = 0; k < 10; ++k)
            if (kCounterDigits[k] == bits)
                digit = k;
        if (digit < 0)
            return -1;
        value = value * 10 + digit;
    }
    return value;
}

Bytes EncodeMosaicJpeg(std::uint32_t width, std::uint32_t height, int frame, int quality)
{
    jpeg_compress_struct cinfo{};
    JpegError err;
    cinfo.err = jpeg_std_error(&err);
    err.error_exit = &JpegError::Raise;
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    std::unique_ptr<jpeg_compress_struct, void (*)(jpeg_compress_struct*)> guard(
        &cinfo, [](jpeg_compress_struct* c) { jpeg_destroy_compress(c); });
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, 1);
    jpeg_start_compress(&cinfo, 1);

    std::vector<std::uint8_t> rgb = MosaicRgb(width, height, frame);
    while (cinfo.next_scanline < height) {
        JSAMPROW rows[1] = {rgb.data() + static_cast<std::size_t>(cinfo.next_scanline) * width * 3};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes result(out, out + outSize);
    std::free(out);
    return result;
}

std::string RmcSentence(int hour, int minute, int second, double latitude, double longitude, double knots,
                        double course, int day, int month, int year)
{
    char body[160];
    std::snprintf(body, sizeof body, "GPRMC,%02d%02d%02d.000,A,%s,%c,%s,%c,%.1f,%.1f,%02d%02d%02d,,,A", hour, minute,
                  second, NmeaAngle(latitude, 2).c_str(), latitude < 0 ? 'S' : 'N', NmeaAngle(longitude, 3).c_str(),
                  longitude < 0 ? 'W' : 'E', knots, course, day, month, year % 100);
    char line[200];
    std::snprintf(line, sizeof line, "$%s*%02X\r\n", body, Checksum(body));
    return line;
}

std::string GxSentence(int up, int side, int front)
{
    char line[64];
    std::snprintf(line, sizeof line, "$GX,%02X,%c,%02X,%c,%02X,%c\r\n", static_cast<unsigned>(up & 0xFF),
                  up < 0 ? '-' : '+', static_cast<unsigned>(side & 0xFF), side < 0 ? '-' : '+',
                  static_cast<unsigned>(front & 0xFF), front < 0 ? '-' : '+');
    return line;
}

SampleResult WriteSampleRecording(const std::string& hostPath, const SampleOptions& options)
{
    AsfWriter writer(FileOptionsOf(options), hostPath);
    return Generate(writer, options, [](AsfWriter& w) { w.Finish(); });
}

Bytes SampleRecordingBytes(const SampleOptions& options, SampleResult* result)
{
    AsfWriter writer(FileOptionsOf(options));
    Bytes bytes;
    SampleResult r = Generate(writer, options, [&](AsfWriter& w) { bytes = w.Finish(); });
    if (result)
        *result = r;
    return bytes;
}

} // namespace asfwriter
