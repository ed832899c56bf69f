#include "tools/asfwriter/SampleRecording.h"

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
                const auto v = static_cast<std::int16_t>(4000.0 * std::sin(2 * M_PI * 440.0 * sampleClock / o.sampleRate));
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

    static const std::uint8_t colours[4][3] = {{200, 40, 40}, {40, 160, 40}, {40, 60, 200}, {200, 180, 40}};
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
    const std::uint32_t bar = width ? static_cast<std::uint32_t>(frame) * 4 % width : 0;
    while (cinfo.next_scanline < height) {
        const std::uint32_t y = cinfo.next_scanline;
        for (std::uint32_t x = 0; x < width; ++x) {
            const int q = (y >= height / 2 ? 2 : 0) + (x >= width / 2 ? 1 : 0);
            const bool onBar = x >= bar && x < bar + 4;
            for (int c = 0; c < 3; ++c)
                row[x * 3 + c] = onBar ? 255 : static_cast<std::uint8_t>(colours[q][c] ^ ((x ^ y) & 8));
        }
        JSAMPROW rows[1] = {row.data()};
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
