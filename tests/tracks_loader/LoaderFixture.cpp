#include "tests/tracks_loader/LoaderFixture.h"
#include "tests/support/BoundedWait.h"

#include "tracks/GetGPSFromASF.h"

#include "tools/asfwriter/SampleRecording.h"

#include "app/Globals.h"
#include "app/MyLog.h"

#include "platform/rtl/CodePage.h"
#include "platform/win/DriveTable.h"
#include "platform/win/MessageLoop.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace loader_test {

void PrintTo(const Event& e, std::ostream* os)
{
    *os << "{" << e.who;
    if (e.message == WM_GINFO_LOAD_END)
        *os << ", END";
    else if (e.message == WM_GINFO_LOAD_ERROR)
        *os << ", ERROR";
    else if (e.message != 0)
        *os << ", 0x" << std::hex << e.message << std::dec;
    if (e.message != 0)
        *os << ", wParam " << e.wParam << ", lParam " << e.lParam << ", Loaded " << e.loaded << ", gps " << e.gps
            << ", gsensor " << e.gsensor << (e.workerWaits ? ", worker waits" : ", worker gone");
    *os << "}";
}

void EventLog::Add(Event e)
{
    std::lock_guard<std::mutex> guard(mutex_);
    events_.push_back(std::move(e));
}

std::vector<Event> EventLog::Events() const
{
    std::lock_guard<std::mutex> guard(mutex_);
    return events_;
}

AnswerWindow::AnswerWindow(EventLog& log, std::string name, const TAsfFileInfo& info, const TDataLoad* loader,
                           std::function<void(win::TMessage&)> react)
{
    window_ = std::make_unique<win::TMessageWindow>([&log, name, &info, loader, react, this](win::TMessage& m) {
        if (m.Msg != WM_GINFO_LOAD_END && m.Msg != WM_GINFO_LOAD_ERROR)
            return;
        Event e{name, m.Msg, m.WParam, m.LParam, info.Loaded, info.GpsList->Count(), info.GSensorList->Count()};
        e.workerWaits = loader && loader->LoadThread() && loader->LoadThread()->NotifyWnd() == Handle();
        log.Add(e);
        if (react)
            react(m);
    });
}

void LoadGate::HoldNext()
{
    std::lock_guard<std::mutex> guard(mutex_);
    holdNext_ = true;
    release_ = false;
}

void LoadGate::WaitUntilHeld()
{
    std::unique_lock<std::mutex> lock(mutex_);
    test_support::WaitUntil(
        cv_, lock, [this] { return held_; }, "a held load");
}

void LoadGate::Release()
{
    std::lock_guard<std::mutex> guard(mutex_);
    release_ = true;
    cv_.notify_all();
}

int LoadGate::Reads()
{
    std::lock_guard<std::mutex> guard(mutex_);
    return reads_;
}

void LoadGate::WaitUntilReads(int count)
{
    std::unique_lock<std::mutex> lock(mutex_);
    test_support::WaitUntil(
        cv_, lock, [&] { return reads_ >= count; }, "read number " + std::to_string(count) + " of the worker");
}

void LoadGate::FailNext(std::u16string message)
{
    std::lock_guard<std::mutex> guard(mutex_);
    failNext_ = std::move(message);
}

void LoadGate::LoadStarting(const rtl::UnicodeString& path)
{
    log_.Step("start " + rtl::ToUtf8(path));
    std::unique_lock<std::mutex> lock(mutex_);
    if (!failNext_.empty()) {
        const std::u16string message = std::move(failNext_);
        failNext_.clear();
        throw rtl::Exception(rtl::UnicodeString(message.c_str()));
    }
    if (!holdNext_)
        return;
    holdNext_ = false;
    held_ = true;
    cv_.notify_all();
    cv_.wait(lock, [this] { return release_; });
    held_ = false;
}

void LoadGate::LoadRead(int code)
{
    log_.Step("read " + std::to_string(code));
    std::lock_guard<std::mutex> guard(mutex_);
    ++reads_;
    cv_.notify_all();
}

void LoadGate::Stopping()
{
    log_.Step("stopping");
    if (watched_)
        priorityAtStopping_ = watched_->Priority.load();
    if (releaseOnStopping_)
        Release();
}

namespace {

std::string MakeFolder(const std::string& path)
{
    std::filesystem::create_directories(path);
    return path;
}

void EnsureLog()
{
    // One log module for the program; its drive (L:) holds no "Icon" folder,
    // so it never saves.
    if (!MyLogModule) {
        ProgramFolder = u"L:\\Viewer";
        MyLogModule = new TMyLogModule(nullptr);
    }
}

} // namespace

void LoaderThreadTest::SetUp()
{
    char pattern[] = "/tmp/vm_loader_XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    const std::string card = MakeFolder(root_ + "/card");
    const std::string log = MakeFolder(root_ + "/log");
    win::DriveTable::Instance().Configure("T=" + card + ";L=" + log);
    previousClock_ = win::InstallClock(&clock_);
    EnsureLog();
    logStart_ = MyLogModule->NextLine();
    win::PumpPendingMessages();
}

void LoaderThreadTest::TearDown()
{
    win::PumpPendingMessages();
    win::InstallClock(previousClock_);
    win::DriveTable::Instance().Reset();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

rtl::UnicodeString LoaderThreadTest::Put(const std::string& name, const asfwriter::Bytes& bytes) const
{
    const std::string host = root_ + "/card/" + name;
    std::FILE* f = std::fopen(host.c_str(), "wb");
    if (!f)
        throw std::runtime_error("cannot write " + host);
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return rtl::UnicodeString(u"T:\\") + rtl::UnicodeString(rtl::Utf8ToUtf16(name));
}

rtl::UnicodeString LoaderThreadTest::PutSample(const std::string& name, int seconds) const
{
    asfwriter::SampleOptions options;
    options.seconds = seconds;
    options.framesPerSecond = 2;
    options.width = 32;
    options.height = 32;
    options.distinctFrames = 1;
    options.second = seconds; // a start of its own for each recording
    return Put(name, asfwriter::SampleRecordingBytes(options));
}

LoaderThreadTest::Tracks LoaderThreadTest::Snapshot(const TAsfFileInfo& info, int code)
{
    Tracks t;
    t.code = code;
    for (int i = 0; i < info.GpsList->Count(); ++i)
        t.gps.push_back(*info.GpsList->Item(i));
    for (int i = 0; i < info.GSensorList->Count(); ++i)
        t.gsensor.push_back(*info.GSensorList->Item(i));
    return t;
}

LoaderThreadTest::Tracks LoaderThreadTest::ReadDirectly(const rtl::UnicodeString& path)
{
    TAsfFileInfo info;
    TGetGPSFromASF reader;
    const int code = reader.GetGpsInfo(path, &info);
    return Snapshot(info, code);
}

std::vector<std::string> LoaderThreadTest::LogLines() const
{
    std::vector<std::string> out;
    // The ring wraps at its size (its next index may read as the size
    // itself); a test sees at most one round.
    const int size = TMyLogModule::RingSize;
    const int count = ((MyLogModule->NextLine() - logStart_) % size + size) % size;
    for (int k = 0; k < count; ++k) {
        std::string line = rtl::ToUtf8(MyLogModule->Line((logStart_ + k) % size));
        for (int level = 0; level < 4; ++level) {
            const char* tag = TMyLogModule::LevelTag(level);
            const std::size_t n = std::strlen(tag);
            if (line.size() >= 19 + n && line.compare(19, n, tag) == 0) {
                line = line.substr(19 + n);
                break;
            }
        }
        out.push_back(line);
    }
    return out;
}

asfwriter::Payload TrackPayload(const std::string& text, std::uint32_t ms)
{
    asfwriter::Payload p;
    p.streamNumber = 3;
    p.keyFrame = true;
    p.replicated = asfwriter::Replicated(static_cast<std::uint32_t>(text.size()), ms);
    p.data.assign(text.begin(), text.end());
    return p;
}

} // namespace loader_test
