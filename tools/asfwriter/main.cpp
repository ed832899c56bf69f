// asfwriter: writes sample recordings, e.g. for the sample card.
//   asfwriter OUT.ASF [--seconds N] [--fps N] [--size WxH] [--start YYYY/MM/DD-hh:mm:ss]
//                     [--distinct-frames N] [--single-payload]
//   asfwriter --series N FOLDER [same options]
// A series is N recordings one after another, named after their start
// ("20240517_093000.ASF"), every third an event recording ("..._SAVE.ASF").
#include "tools/asfwriter/SampleRecording.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: asfwriter OUT.ASF [--seconds N] [--fps N] [--size WxH]\n"
                 "                 [--start YYYY/MM/DD-hh:mm:ss] [--distinct-frames N] [--single-payload]\n"
                 "       asfwriter --series N FOLDER [the same options]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    asfwriter::SampleOptions o;
    std::string out;
    int series = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--seconds" && hasValue) {
            o.seconds = std::atoi(argv[++i]);
        } else if (a == "--fps" && hasValue) {
            o.framesPerSecond = std::atoi(argv[++i]);
        } else if (a == "--size" && hasValue) {
            unsigned w = 0, h = 0;
            if (std::sscanf(argv[++i], "%ux%u", &w, &h) != 2 || w == 0 || h == 0)
                return Usage();
            o.width = w;
            o.height = h;
        } else if (a == "--start" && hasValue) {
            if (std::sscanf(argv[++i], "%d/%d/%d-%d:%d:%d", &o.year, &o.month, &o.day, &o.hour, &o.minute, &o.second) !=
                6)
                return Usage();
        } else if (a == "--distinct-frames" && hasValue) {
            o.distinctFrames = std::atoi(argv[++i]);
        } else if (a == "--series" && hasValue) {
            series = std::atoi(argv[++i]);
            if (series < 1)
                return Usage();
        } else if (a == "--single-payload") {
            o.mux.multiplePayloads = false;
        } else if (!a.empty() && a[0] != '-' && out.empty()) {
            out = a;
        } else {
            return Usage();
        }
    }
    if (out.empty() || o.seconds < 0)
        return Usage();
    try {
        for (int n = 0; n < (series ? series : 1); ++n) {
            std::string path = out;
            if (series) {
                char name[64];
                std::snprintf(name, sizeof name, "/%04d%02d%02d_%02d%02d%02d%s.ASF", o.year, o.month, o.day, o.hour,
                              o.minute, o.second, n % 3 == 2 ? "_SAVE" : "");
                path = out + name;
            }
            const asfwriter::SampleResult r = asfwriter::WriteSampleRecording(path, o);
            std::printf("%s: %llu packets, %llu bytes, %zu track sentences\n", path.c_str(),
                        static_cast<unsigned long long>(r.packets), static_cast<unsigned long long>(r.bytes),
                        r.sentences.size());
            // The next one starts where this one ended, on the same day.
            const int t = (o.hour * 60 + o.minute) * 60 + o.second + o.seconds;
            o.hour = t / 3600 % 24;
            o.minute = t / 60 % 60;
            o.second = t % 60;
            o.latitude = r.endLatitude;
            o.longitude = r.endLongitude;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "asfwriter: %s\n", e.what());
        return 1;
    }
    return 0;
}
