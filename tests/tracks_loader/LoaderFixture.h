// The track loader's tests: recorded message sequences, a gate that holds a
// load on the worker, recordings made with our ASF writer on a card folder
// mapped to T:, and the program's log read back line by line.
#pragma once

#include "tracks/DataLoad.h"
#include "tracks/GInfoLoadThread.h"
#include "tracks/GPSData.h"

#include "tools/asfwriter/AsfWriter.h"

#include "platform/rtl/UnicodeString.h"
#include "platform/win/Clock.h"
#include "platform/win/MessageWindow.h"
#include "platform/win/Thread.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace loader_test {

// One entry of a sequence: an answer as the window saw it, with the state of
// its record at that moment, or a step of the worker or the test
// (message 0, the text in who).
struct Event {
    std::string who;
    win::UINT message = 0;
    win::WPARAM wParam = 0;
    win::LPARAM lParam = 0;
    int loaded = 0;
    int gps = 0;
    int gsensor = 0;
    bool workerWaits = false; // the worker was still inside that load
    friend bool operator==(const Event&, const Event&) = default;
};

void PrintTo(const Event& e, std::ostream* os);

inline Event Step(std::string what) { return Event{std::move(what)}; }
inline Event End(std::string who, int gps, int gsensor)
{
    return Event{std::move(who), WM_GINFO_LOAD_END, 0, 0, 1, gps, gsensor, true};
}
inline Event Error(std::string who, int code, int gps = 0, int gsensor = 0)
{
    return Event{std::move(who), WM_GINFO_LOAD_ERROR, static_cast<win::WPARAM>(code), 0, 0, gps, gsensor, true};
}

class EventLog {
public:
    void Add(Event e);
    void Step(std::string what) { Add(loader_test::Step(std::move(what))); }
    std::vector<Event> Events() const;

private:
    mutable std::mutex mutex_;
    std::vector<Event> events_;
};

// A window that records each answer with its record's state; `react` runs
// after the entry is recorded, inside the handler.
class AnswerWindow {
public:
    AnswerWindow(EventLog& log, std::string name, const TAsfFileInfo& info, const TDataLoad* loader,
                 std::function<void(win::TMessage&)> react = {});
    win::HWND Handle() const { return window_->Handle(); }
    void Destroy() { window_.reset(); }

private:
    std::unique_ptr<win::TMessageWindow> window_;
};

// Holds loads on the worker thread and logs the loader's hooks.
class LoadGate : public TGInfoLoadHooks {
public:
    explicit LoadGate(EventLog& log) : log_(log) {}

    // The next load waits in LoadStarting until Release.
    void HoldNext();
    // Blocks the calling thread until a held load waits.
    void WaitUntilHeld();
    void Release();
    // How many reads the worker has finished so far.
    int Reads();
    // Blocks the calling thread until the worker has finished `count` reads
    // in all. Take the count before the request: the read may be over by
    // the time the test waits.
    void WaitUntilReads(int count);
    // Stopping releases a held load.
    void ReleaseOnStopping() { releaseOnStopping_ = true; }
    // The next load raises this message in LoadStarting.
    void FailNext(std::u16string message);
    // Stopping notes the priority of this thread.
    void Watch(const win::TThread* thread) { watched_ = thread; }
    win::TThreadPriority PriorityAtStopping() const { return priorityAtStopping_; }

    void LoadStarting(const rtl::UnicodeString& path) override;
    void LoadRead(int code) override;
    void Stopping() override;

private:
    EventLog& log_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool holdNext_ = false;
    bool held_ = false;
    bool release_ = false;
    int reads_ = 0;
    bool releaseOnStopping_ = false;
    std::u16string failNext_;
    const win::TThread* watched_ = nullptr;
    win::TThreadPriority priorityAtStopping_ = win::tpIdle;
};

// A card folder mapped to T: (and a log drive L:), a virtual clock, and the
// log module, for each test.
class LoaderThreadTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes bytes as name on the card; returns "T:\name".
    rtl::UnicodeString Put(const std::string& name, const asfwriter::Bytes& bytes) const;
    // A recording of `seconds` seconds with a "$GPRMC" and a "$GX" sentence
    // each second, as the recorder writes it.
    rtl::UnicodeString PutSample(const std::string& name, int seconds) const;

    // What the reader itself makes of path (the loader must deliver the same).
    struct Tracks {
        int code = 0;
        std::vector<TGpsInfo> gps;
        std::vector<TGSensorInfo> gsensor;
        friend bool operator==(const Tracks&, const Tracks&) = default;
    };
    static Tracks ReadDirectly(const rtl::UnicodeString& path);
    static Tracks Snapshot(const TAsfFileInfo& info, int code = 0);

    // The log lines written since SetUp (texts after time and level tag).
    std::vector<std::string> LogLines() const;

    std::string root_;
    win::VirtualClock clock_;
    win::Clock* previousClock_ = nullptr;
    int logStart_ = 0;
};

// A payload of the track stream carrying text as one whole media object.
asfwriter::Payload TrackPayload(const std::string& text, std::uint32_t ms);

} // namespace loader_test
