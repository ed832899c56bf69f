#include "tests/tracks/TrackLogProbe.h"

#include "app/Globals.h"
#include "app/MyLog.h"

#include "platform/rtl/CodePage.h"
#include "platform/win/DriveTable.h"
#include "tests/support/TempFolder.h"

#include <cstring>

namespace {

void EnsureLog()
{
    static const bool ready = [] {
        if (!MyLogModule) {
            // Lives, with the log on it, until the program ends.
            static const test_support::TempFolder folder("vm_tracks_log");
            win::DriveTable::Instance().SetDrive(u'L', folder.Path());
            ProgramFolder = u"L:\\Viewer";
            MyLogModule = new TMyLogModule(nullptr);
        }
        return true;
    }();
    (void)ready;
}

} // namespace

TrackLogProbe::TrackLogProbe()
{
    EnsureLog();
    // The log keeps its next-line index at the ring size right after the last
    // line was written; the next write wraps it to 0.
    start_ = MyLogModule->NextLine() % TMyLogModule::RingSize;
}

std::vector<TrackLogProbe::Entry> TrackLogProbe::Entries() const
{
    std::vector<Entry> out;
    const int end = MyLogModule->NextLine() % TMyLogModule::RingSize;
    // The ring wraps at its size; a probe sees at most one round.
    for (int i = start_; i != end; i = (i + 1) % TMyLogModule::RingSize) {
        const std::string line = rtl::ToUtf8(MyLogModule->Line(i));
        Entry e{-1, line};
        for (int level = 0; level < 4; ++level) {
            const char* tag = TMyLogModule::LevelTag(level);
            if (line.size() >= 19 + std::strlen(tag) && line.compare(19, std::strlen(tag), tag) == 0) {
                e = {level, line.substr(19 + std::strlen(tag))};
                break;
            }
        }
        out.push_back(e);
    }
    return out;
}

std::vector<std::string> TrackLogProbe::Lines() const
{
    std::vector<std::string> out;
    for (const Entry& e : Entries())
        out.push_back(e.text);
    return out;
}

std::vector<int> TrackLogProbe::Levels() const
{
    std::vector<int> out;
    for (const Entry& e : Entries())
        out.push_back(e.level);
    return out;
}
