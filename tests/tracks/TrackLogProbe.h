// Collects the log lines written while it lives (the texts after the time and
// level tag), so a test can compare them with the lines it expects.
#pragma once

#include <string>
#include <vector>

class TrackLogProbe {
public:
    TrackLogProbe();
    ~TrackLogProbe();
    TrackLogProbe(const TrackLogProbe&) = delete;
    TrackLogProbe& operator=(const TrackLogProbe&) = delete;

    // False while the program's log cannot be read back in tests.
    bool Available() const;
    std::vector<std::string> Lines() const;

private:
    std::size_t start_ = 0;
};
