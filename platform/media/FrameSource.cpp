#include "platform/media/FrameSource.h"

#include <algorithm>
#include <atomic>
#include <string>

namespace media {

namespace {

constexpr std::uint32_t kRed = 0x00FF0000;
constexpr std::uint32_t kGreen = 0x0000FF00;
constexpr std::uint32_t kBlue = 0x000000FF;
constexpr std::uint32_t kYellow = 0x00FFFF00;
constexpr std::uint32_t kWhite = 0x00FFFFFF;
constexpr std::uint32_t kBlack = 0x00000000;

// Digits 0-9 in a 3 x 5 grid, one row per 3 bits (top row first).
constexpr std::uint16_t kDigits[10] = {
    0b111'101'101'101'111, 0b010'110'010'010'111, 0b111'001'111'100'111, 0b111'001'111'001'111, 0b101'101'111'001'001,
    0b111'100'111'001'111, 0b111'100'111'101'111, 0b111'001'010'010'010, 0b111'101'111'101'111, 0b111'101'111'001'111,
};

FrameSource& DefaultSource()
{
    static FrameSource source;
    return source;
}

FrameSource* DefaultSourceSeam() { return &DefaultSource(); }

constinit host::Seam<FrameSource*, host::SeamReaders::AnyThread> gSources(&DefaultSourceSeam);

void Fill(Frame& f, int x0, int y0, int x1, int y1, std::uint32_t colour)
{
    for (int y = std::max(0, y0); y < std::min(f.height, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(f.width, x1); ++x)
            f.pixels[static_cast<std::size_t>(y) * f.width + x] = colour;
}

} // namespace

std::int64_t FrameNumberAt(const SourceStream& stream, REFERENCE_TIME position)
{
    REFERENCE_TIME frameTime = stream.stream.avgTimePerFrame > 0 ? stream.stream.avgTimePerFrame : kDefaultFrameTime;
    return position <= 0 ? 0 : position / frameTime;
}

FrameSource::~FrameSource() = default;

std::int64_t FrameSource::FrameNumber(const SourceStream& stream, REFERENCE_TIME position)
{
    return FrameNumberAt(stream, position);
}

bool FrameSource::DrawScaled(const FrameRequest&, const ScaledTarget&) { return false; }

bool FrameSource::Prepare(const FrameRequest&) { return true; }

bool FrameSource::DrawFrame(const FrameRequest& request, Frame& out)
{
    out = SyntheticFrame(request.width, request.height, request.frameNumber);
    return true;
}

Frame SyntheticFrame(int width, int height, std::int64_t frameNumber)
{
    Frame f;
    if (width <= 0 || height <= 0)
        return f;
    f.width = width;
    f.height = height;
    f.pixels.assign(static_cast<std::size_t>(width) * height, kBlack);
    int mx = width / 2;
    int my = height / 2;
    Fill(f, 0, 0, mx, my, kRed);
    Fill(f, mx, 0, width, my, kGreen);
    Fill(f, 0, my, mx, height, kBlue);
    Fill(f, mx, my, width, height, kYellow);

    std::string digits = std::to_string(frameNumber < 0 ? 0 : frameNumber);
    int count = static_cast<int>(digits.size());
    // Each digit is 3 x 5 cells with one cell between digits and a border of one.
    int cellsWide = count * 4 + 1;
    int scale = std::max(1, std::min(width / (cellsWide * 2), height / 14));
    int boxW = cellsWide * scale;
    int boxH = 7 * scale;
    int bx = (width - boxW) / 2;
    int by = (height - boxH) / 2;
    Fill(f, bx, by, bx + boxW, by + boxH, kBlack);
    for (int i = 0; i < count; ++i) {
        std::uint16_t bits = kDigits[digits[i] - '0'];
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (bits & (1u << (14 - (row * 3 + col)))) {
                    int x = bx + (1 + i * 4 + col) * scale;
                    int y = by + (1 + row) * scale;
                    Fill(f, x, y, x + scale, y + scale, kWhite);
                }
    }
    return f;
}

FrameSource& CurrentFrameSource() { return *gSources.Current(); }

FrameSource* InstallFrameSource(FrameSource* source) { return gSources.Install(source); }

} // namespace media
