// The sentence parser of the track reader.
#include "tracks/GetGPSFromASF.h"

#include "tracks/GPSData.h"
#include "tracks/TrackFields.h"
#include "tracks/TrackServices.h"

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Exception.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

using rtl::AnsiString;
using rtl::UnicodeString;

namespace {

// The fields of one sentence; reading one that is not there fails as the
// framework's list does.
class Fields {
public:
    explicit Fields(std::vector<UnicodeString> f) : f_(std::move(f)) {}
    int Count() const { return static_cast<int>(f_.size()); }
    const UnicodeString& operator[](int i) const
    {
        if (i < 0 || i >= Count())
            throw rtl::EListError(u"List index out of bounds (%d)", i);
        return f_[static_cast<std::size_t>(i)];
    }

private:
    std::vector<UnicodeString> f_;
};

// A value too large to be truncated to a whole number of degrees, or to be
// scaled, is taken as a bad number: 0, as for a text that is no number.
double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

// ddmm.mmmm -> decimal degrees: 3539.1234 gives 35.6520566666667.
double Degrees(double t)
{
    const double hundredths = t / 100;
    if (!(std::fabs(hundredths) < 9.2e18))
        return 0.0;
    const double d = std::trunc(hundredths);
    return d + (hundredths - d) * 100 / 60;
}

AnsiString Coordinate(const UnicodeString& field, const UnicodeString& hemisphere, const char16_t* positive)
{
    AnsiString text = TrackNumberText(Degrees(TrackStrToFloatOrZero(field)));
    if (!(hemisphere == positive))
        text = TrackNumberText(-TrackStrToFloatOrZero(UnicodeString(text)));
    return text;
}

bool AbsentOrZero(const UnicodeString& field) { return field.IsEmpty() || field == u"0"; }

// "0x" and the field as a hexadecimal integer: 1 to 8 digits, either case.
std::uint32_t HexField(const UnicodeString& field)
{
    const std::u16string_view s = field.view();
    bool ok = !s.empty() && s.size() <= 8;
    std::uint32_t value = 0;
    for (char16_t c : s) {
        unsigned digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else {
            ok = false;
            break;
        }
        value = value << 4 | digit;
    }
    if (!ok)
        throw rtl::EConvertError(u"'%s' is not a valid integer value", u"0x" + field);
    return value;
}

float Axis(const UnicodeString& field)
{
    const auto b = static_cast<std::int8_t>(static_cast<std::uint8_t>(HexField(field) & 0xFF));
    return static_cast<float>(b * 0.063);
}

} // namespace

// One media object of the track stream holds one sentence, for example
//   $GPRMC,093000.000,A,3539.1234,N,13945.6789,E,10.5,84.4,170524,,,A*6B\r\n
//   $GX,05,+,FE,-,10,+\r\n
// possibly followed by zero bytes up to the object's length.
bool TGetGPSFromASF::ParseToGpsInfo(const std::uint8_t* data, std::int32_t length, TAsfFileInfo* info,
                                    std::uint32_t timeMs)
{
    try {
        std::string_view bytes;
        if (data && length > 0)
            bytes = std::string_view(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
        const std::size_t zero = bytes.find('\0');
        if (zero != std::string_view::npos)
            bytes = bytes.substr(0, zero);
        const std::u16string text = rtl::Cp932ToUtf16(bytes);
        const Fields f(SplitTrackFields(text));
        if (f.Count() < 6)
            return false;

        if (f[0] == u"$GPRMC") {
            if (!(f[2] == u"A"))
                return false;
            auto gps = std::make_unique<TGpsInfo>();
            gps->TimeMs = timeMs;
            gps->Latitude = Coordinate(f[3], f[4], u"N");
            gps->Longitude = Coordinate(f[5], f[6], u"E");
            if (AbsentOrZero(f[7]))
                gps->Speed = AnsiString();
            else
                gps->Speed = TrackNumberText(Finite(TrackStrToFloatOrZero(f[7]) * 1.852));
            if (AbsentOrZero(f[8])) {
                gps->Course = 0.0f;
            } else {
                const double course = TrackStrToFloatOrZero(f[8]);
                gps->Course = std::fabs(course) <= FLT_MAX ? static_cast<float>(course) : 0.0f;
            }
            if (!info)
                return true;
            info->AddGpsInfo(gps.get());
            gps.release();
            return true;
        }
        if (f[0] == u"$GX") {
            auto g = std::make_unique<TGSensorInfo>();
            g->TimeMs = timeMs;
            g->GX = Axis(f[1]);
            g->GY = Axis(f[3]);
            g->GZ = Axis(f[5]);
            if (!info)
                return true;
            info->AddGSensorInfo(g.get());
            g.release();
            return true;
        }
        return true;
    } catch (rtl::Exception& e) {
        TrackLogError(AnsiString("TGetGPSFromASF::ParseToGpsInfo ERROR:") + AnsiString(e.Message));
    } catch (std::exception& e) {
        TrackLogError(AnsiString("TGetGPSFromASF::ParseToGpsInfo ERROR:") + AnsiString(rtl::FromUtf8(e.what())));
    }
    return false;
}
