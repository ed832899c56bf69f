#include "app/Common.h"

#include <cmath>
#include <cstdio>
#include <mutex>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Numbers.h"
#include "platform/win/Drives.h"
#include "platform/win/ErrorMode.h"
#include "platform/win/FindFile.h"

namespace {

// The error mode is process-wide: two threads that each save, set and restore
// it must not interleave, or one restores the other's temporary mode.
std::mutex errorModeMutex;

bool DriveNumberAnswers(int letterCode)
{
    if (letterCode >= 'a' && letterCode <= 'z')
        letterCode -= 'a' - 'A';
    const int number = letterCode - 64;
    // Only A..Z name drives; anything else (also a code that a byte would
    // wrap onto 1..26) is no drive.
    if (number < 1 || number > 26)
        return false;
    std::lock_guard lock(errorModeMutex);
    const win::UINT previous = win::SetErrorMode(win::SEM_FAILCRITICALERRORS);
    const std::int64_t size = win::DiskSize(static_cast<win::BYTE>(number));
    win::SetErrorMode(previous);
    return size != -1;
}

} // namespace

bool IsDriveReady(const rtl::UnicodeString& path)
{
    return DriveNumberAnswers(path.IsEmpty() ? 0 : static_cast<int>(path.view()[0]));
}

bool IsDriveReady(char letter) { return DriveNumberAnswers(static_cast<unsigned char>(letter)); }

rtl::TDateTime MsToTime(std::uint32_t ms)
{
    const auto hours = static_cast<rtl::Word>(ms / 3600000u); // at most 1193
    const auto minutes = static_cast<rtl::Word>(ms % 3600000u / 60000u);
    const auto seconds = static_cast<rtl::Word>(ms % 60000u / 1000u);
    const auto millis = static_cast<rtl::Word>(ms % 1000u);
    return rtl::EncodeTime(hours, minutes, seconds, millis);
}

double StrToFloatOrZero(const rtl::AnsiString& text)
{
    if (text.IsEmpty() || text == "0")
        return 0.0;
    try {
        double value = 0.0;
        if (rtl::TryStrToFloat(rtl::UnicodeString(text), value))
            return value;
    } catch (...) {
    }
    return 0.0;
}

rtl::AnsiString RoundToText(double value)
{
    if (std::isnan(value))
        return rtl::AnsiString("NAN");
    if (std::isinf(value))
        return rtl::AnsiString(value < 0 ? "-INF" : "INF");
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    if (whole == 0.0)
        whole = 0.0; // no "-0"
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.0f", whole);
    return rtl::AnsiString(buffer);
}

std::int32_t GetFileSizeByName(const rtl::AnsiString& path)
{
    win::TSearchRec rec;
    std::int32_t size = 0;
    if (win::FindFirst(rtl::UnicodeString(path), win::faAnyFile, rec) == 0)
        size = static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(rec.Size)));
    win::FindClose(rec);
    return size;
}
