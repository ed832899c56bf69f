// A recording as the recorder writes it: MJPG pictures of a 2x2 camera mosaic
// with a frame counter, PCM sound (a 440 Hz tone) and, on the track stream, one "$GPRMC" and one "$GX" sentence per
// second, all interleaved in 3200-byte multiple-payload packets.
#pragma once

#include "tools/asfwriter/AsfWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace asfwriter {

struct SampleOptions {
    int seconds = 10;
    int framesPerSecond = 10;
    std::uint32_t width = 320;
    std::uint32_t height = 240;
    int jpegQuality = 75;
    // Pictures encoded and then repeated in turn (encoding each frame of a
    // long recording would cost more than writing it); 0: every frame its own.
    int distinctFrames = 0;
    std::uint32_t sampleRate = 8000;
    std::uint16_t channels = 1;
    // The recorder's clock at the start, written as the Creation Date.
    int year = 2024, month = 5, day = 17, hour = 9, minute = 30, second = 0;
    std::uint32_t prerollMs = 0;
    // Start of the drive and its speed (knots) and course (degrees).
    double latitude = 35.652056666667; // degrees, north positive
    double longitude = 139.761315; // degrees, east positive
    double knots = 10.5;
    double course = 84.4;
    bool gsensor = true;
    MuxOptions mux;
};

// One sentence of the track stream with the presentation time it was written at.
struct TrackSentence {
    std::uint32_t presentationMs = 0;
    std::string text;
};

struct SampleResult {
    std::vector<TrackSentence> sentences; // in file order
    std::uint64_t packets = 0;
    std::uint64_t bytes = 0;
    // Where the drive ended: the start of a recording that follows.
    double endLatitude = 0;
    double endLongitude = 0;
};

// Encodes one picture of the mosaic as a baseline JPEG: four camera-like
// scenes that move with the frame number (front: a road with dashes coming
// closer; rear: a following car; side: passing buildings; cabin: a dial
// whose needle turns) and, in the middle, the frame number in white digits
// on a black box, zero-padded to kMosaicCounterDigits.
Bytes EncodeMosaicJpeg(std::uint32_t width, std::uint32_t height, int frame, int quality);
// The same picture as RGB bytes, top-down.
std::vector<std::uint8_t> MosaicRgb(std::uint32_t width, std::uint32_t height, int frame);

inline constexpr int kMosaicCounterDigits = 6;
// Where the counter sits: digits of 3 x 5 cells, `cell` pixels square, one
// cell between digits and a border of one.
struct MosaicCounterBox {
    int x = 0, y = 0, width = 0, height = 0, cell = 0;
};
MosaicCounterBox MosaicCounterBoxOf(std::uint32_t width, std::uint32_t height);
// Reads the counter back from a decoded picture (0x00RRGGBB, top-down):
// the frame number, or -1 when the digits cannot be read.
int ReadMosaicCounter(const std::uint32_t* pixels, int width, int height);

// "$GPRMC,093000.000,A,3539.1234,N,13945.6789,E,10.5,84.4,170524,,,A*hh\r\n"
std::string RmcSentence(int hour, int minute, int second, double latitude, double longitude, double knots,
                        double course, int day, int month, int year);
// "$GX,05,+,FE,-,10,+\r\n": three signed bytes in hex, 0.063 G per step.
std::string GxSentence(int up, int side, int front);

// Writes the recording to hostPath (throws on failure).
SampleResult WriteSampleRecording(const std::string& hostPath, const SampleOptions& options);
// The same into memory.
Bytes SampleRecordingBytes(const SampleOptions& options, SampleResult* result = nullptr);

} // namespace asfwriter
