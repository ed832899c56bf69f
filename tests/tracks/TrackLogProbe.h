// Collects the lines the program's log receives while the probe lives (the
// texts after the time and the level tag), so a test compares them with the
// lines it expects. Creates the log module on first use, with the program
// folder on a drive of its own that has no "Icon" folder, so nothing is saved.
#pragma once

#include <string>
#include <vector>

class TrackLogProbe {
public:
    TrackLogProbe();
    TrackLogProbe(const TrackLogProbe&) = delete;
    TrackLogProbe& operator=(const TrackLogProbe&) = delete;

    // The texts in order, as UTF-8.
    std::vector<std::string> Lines() const;
    // Their levels: 0 debug, 1 information, 2 warning, 3 error.
    std::vector<int> Levels() const;

private:
    struct Entry {
        int level;
        std::string text;
    };
    std::vector<Entry> Entries() const;
    int start_ = 0;
};
