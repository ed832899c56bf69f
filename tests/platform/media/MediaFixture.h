// The media tests' common ground: a temporary folder mapped as drive E:, the
// virtual clock, cleared failure switches, recordings written by our ASF
// writer, a window that records the messages it gets, and the program's
// fixed graph built in one call.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/media/media.h"
#include "platform/win/DriveTable.h"
#include "platform/win/win.h"
#include "tests/support/TempFolder.h"
#include "tools/asfwriter/AsfWriter.h"

namespace media_test {

// A recording's header as our writer lays it down (no data packets needed:
// the graph reads the header only).
struct Recording {
    std::uint64_t playDurationMs = 10000;
    std::uint64_t prerollMs = 0;
    bool video = true;
    bool audio = true;
    bool track = true;
    std::uint32_t width = 320;
    std::uint32_t height = 240;
};
asfwriter::Bytes RecordingBytes(const Recording& r);

struct Message {
    win::UINT message;
    win::WPARAM wParam;
    win::LPARAM lParam;
    friend bool operator==(const Message&, const Message&) = default;
};
std::ostream& operator<<(std::ostream& out, const Message& m);

class RecordingWindow : public win::WindowProcedure {
public:
    RecordingWindow();
    ~RecordingWindow() override;
    win::LRESULT WindowProc(win::HWND window, win::UINT message, win::WPARAM wParam, win::LPARAM lParam) override;
    win::HWND Handle() const { return handle_; }
    std::vector<Message> messages;

private:
    win::HWND handle_ = nullptr;
};

// The filters of the program's graph, each held once, as the playback control holds them.
struct ProgramGraph {
    ComPtr<IGraphBuilder> graph;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaSeeking> seeking;
    ComPtr<IMediaEventEx> events;
    ComPtr<IBasicAudio> audio;
    ComPtr<IBaseFilter> videoDecoder, audioDecoder, soundRenderer, tee, aviDecompressor, colour, vmr, source;
    ComPtr<IVMRWindowlessControl9> windowless;
};

class MediaTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes bytes to a file below the drive's root; returns its Windows path "E:\...".
    std::u16string WriteFile(const std::string& name, const asfwriter::Bytes& bytes);
    std::u16string WriteRecording(const std::string& name, const Recording& r = {});
    std::string HostPath(const std::string& name) const { return folder_.Path() + "/" + name; }

    // The seven fixed filters added under the program's names, the renderer
    // windowless with `clip` as its clipping window.
    void BuildProgramGraph(ProgramGraph& g, win::HWND clip);
    // Adds the source and connects the seven links; returns the first failure.
    HRESULT LoadRecording(ProgramGraph& g, const std::u16string& path);

    static ComPtr<IPin> FindPin(IBaseFilter* filter, const char16_t* name);

    win::VirtualClock clock_;
    win::ScopedClock* scopedClock_ = nullptr;
    test_support::TempFolder folder_{"vm-media"};
    long liveAtStart_ = 0;
};

} // namespace media_test
