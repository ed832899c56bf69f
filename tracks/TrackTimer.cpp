#include "tracks/TrackTimer.h"

#include <cmath>
#include <cstdint>

#include "app/Common.h"
#include "app/SeekPosition.h"
#include "platform/rtl/Numbers.h"

namespace {

constexpr std::int64_t kUnitsPerMs = 10000;
constexpr std::int32_t kSearchWindowMs = 999;
constexpr std::int32_t kOncePerSecondMs = 1000;
constexpr std::int32_t kReadOutLimitMs = 1801;
constexpr double kStandingSpeed = 2.0;
constexpr double kStandingLatitude = 0.0005;
constexpr double kStandingLongitude = 0.001;

// a - b as the signed 32-bit number it is on the recorder's 32-bit clock:
// taken modulo 2^32, so no value of either can overflow.
std::int32_t Difference(std::int32_t a, std::uint32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - b);
}

} // namespace

void TrackTimerTick(std::int32_t thumbLeft, std::int32_t trackMin, double seekScale, TAsfFileInfo* info,
                    TTrackTimerFields f, TTrackTimerTargets& targets)
{
    std::int64_t position = 0;
    if (!ThumbToPosition(thumbLeft, trackMin, seekScale, position))
        return;
    const std::int64_t wideMs = position / kUnitsPerMs;
    if (wideMs > INT32_MAX || wideMs < INT32_MIN)
        return;
    const auto ms = static_cast<std::int32_t>(wideMs);
    if (ms == f.LastPositionMs)
        return;
    if (info == nullptr || !info->Loaded)
        return;

    targets.SetPos(ms);
    f.LastPositionMs = ms;

    if (f.LastGpsTimeMs != -1) {
        const std::int32_t sinceLast = Difference(ms, static_cast<std::uint32_t>(f.LastGpsTimeMs));
        if (sinceLast >= 0 && sinceLast < kOncePerSecondMs)
            return;
    }

    TGpsInfoList& list = *info->GpsList;
    const int n = list.Count();
    // The loader and this tick hold the cursor in 0..n; never trust it blindly.
    int cursor = info->GpsCursor;
    if (cursor < 0)
        cursor = 0;
    if (cursor > n)
        cursor = n;
    int found = -1;
    auto matches = [&](int i) {
        const TGpsInfo* r = list.Item(i);
        if (r == nullptr)
            return false;
        const std::int32_t d = Difference(ms, r->TimeMs);
        return d >= 0 && d <= kSearchWindowMs;
    };
    for (int i = cursor; i < n && found < 0; ++i)
        if (matches(i))
            found = i;
    for (int i = cursor - 1; i >= 0 && found < 0; --i)
        if (matches(i))
            found = i;

    if (found < 0) {
        const std::int32_t d = Difference(ms, static_cast<std::uint32_t>(f.LastGpsTimeMs));
        if (d < 0 || d >= kReadOutLimitMs)
            targets.SetSpeedText(rtl::UnicodeString());
        return;
    }

    const TGpsInfo& r = *list.Item(found);
    f.LastGpsTimeMs = static_cast<std::int32_t>(r.TimeMs);
    const double speed = StrToFloatOrZero(r.Speed);
    targets.SetSpeedText(r.Speed.IsEmpty() ? rtl::UnicodeString() : rtl::UnicodeString(RoundToText(speed)));

    if (speed < kStandingSpeed &&
        std::fabs(StrToFloatOrZero(r.Latitude) - static_cast<double>(f.LastLatitude)) < kStandingLatitude &&
        std::fabs(StrToFloatOrZero(r.Longitude) - static_cast<double>(f.LastLongitude)) < kStandingLongitude)
        return;

    if (targets.SetCarPos(r.Latitude, r.Longitude, r.Course))
        info->GpsCursor = found + 1;
    f.LastLatitude = static_cast<float>(rtl::StrToFloat(rtl::UnicodeString(r.Latitude)));
    f.LastLongitude = static_cast<float>(rtl::StrToFloat(rtl::UnicodeString(r.Longitude)));
}
