#include "tests/support/LogLines.h"

#include "platform/rtl/CodePage.h"

namespace test_support {

std::vector<std::string> TaggedLogLines(const TMyLogModule& log, int from)
{
    static const char* const kTags[][2] = {{" [Debug]  ", "[Debug] "},
                                           {" [Info]   ", "[Info] "},
                                           {" [W A R N I N G]   ", "[Warning] "},
                                           {" [E  R  R  O  R]   ", "[Error] "}};
    std::vector<std::string> out;
    for (int i = from; i < log.LineCount(); ++i) {
        // The log is 8-bit text; compare in UTF-8.
        std::string line = rtl::Utf16ToUtf8(log.Line(i).view());
        std::string rest = line.size() > 19 ? line.substr(19) : "";
        for (const auto& tag : kTags)
            if (rest.rfind(tag[0], 0) == 0) {
                rest = tag[1] + rest.substr(std::string(tag[0]).size());
                break;
            }
        out.push_back(rest);
    }
    return out;
}

std::vector<std::string> LogLineTexts(const TMyLogModule& log, int from)
{
    std::vector<std::string> out;
    for (const std::string& line : TaggedLogLines(log, from))
        out.push_back(line.substr(line.find("] ") + 2));
    return out;
}

} // namespace test_support
