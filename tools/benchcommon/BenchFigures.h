// What the start and scan benchmarks share: the figures they print over
// their runs, and the header-only recordings of full size they lay out.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace bench {

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Spread {
    double min = 0;
    double median = 0;
    double max = 0;
};

inline Spread SpreadOf(const std::vector<double>& v)
{
    if (v.empty())
        return {};
    return {*std::min_element(v.begin(), v.end()), Median(v), *std::max_element(v.begin(), v.end())};
}

// The three load averages, as /proc/loadavg gives them.
inline std::string LoadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string a, b, c;
    in >> a >> b >> c;
    return a + " " + b + " " + c;
}

// The little-endian 64-bit fields of an ASF header (the Header Object's
// size at 16, the creation date at 78).
inline constexpr std::size_t kHeaderSizeOffset = 16;
inline constexpr std::size_t kCreationOffset = 78;

inline std::uint64_t ReadU64(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    std::uint64_t value = 0;
    for (std::size_t b = 0; b < 8 && offset + b < bytes.size(); ++b)
        value |= static_cast<std::uint64_t>(bytes[offset + b]) << (8 * b);
    return value;
}

inline void WriteU64(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint64_t value)
{
    for (std::size_t b = 0; b < 8 && offset + b < bytes.size(); ++b)
        bytes[offset + b] = static_cast<std::uint8_t>(value >> (8 * b));
}

// A recording that is its header and then a hole up to fullSize bytes, as
// the scan meets a card's recordings without reading their data.
inline bool WriteSparseRecording(const std::string& path, const std::vector<std::uint8_t>& header,
                                 std::uintmax_t fullSize)
{
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
        if (!out)
            return false;
    }
    std::error_code ec;
    std::filesystem::resize_file(path, std::max<std::uintmax_t>(fullSize, header.size()), ec);
    return !ec;
}

} // namespace bench
