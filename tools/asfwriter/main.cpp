// asfwriter: writes a sample recording, e.g. for the sample card.
//   asfwriter OUT.ASF [--seconds N] [--fps N] [--size WxH] [--start YYYY/MM/DD-hh:mm:ss]
//                     [--distinct-frames N] [--single-payload]
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
                 "                 [--start YYYY/MM/DD-hh:mm:ss] [--distinct-frames N] [--single-payload]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    asfwriter::SampleOptions o;
    std::string out;
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
            if (std::sscanf(argv[++i], "%d/%d/%d-%d:%d:%d", &o.year, &o.month, &o.day, &o.hour, &o.minute,
                            &o.second) != 6)
                return Usage();
        } else if (a == "--distinct-frames" && hasValue) {
            o.distinctFrames = std::atoi(argv[++i]);
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
        const asfwriter::SampleResult r = asfwriter::WriteSampleRecording(out, o);
        std::printf("%s: %llu packets, %llu bytes, %zu track sentences\n", out.c_str(),
                    static_cast<unsigned long long>(r.packets), static_cast<unsigned long long>(r.bytes),
                    r.sentences.size());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "asfwriter: %s\n", e.what());
        return 1;
    }
    return 0;
}
