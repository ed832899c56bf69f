// What the recording list's tests stand on: a card mapped as drive E: with
// the decoder folder and recordings written by our ASF writer, the program's
// windows as the entry creates them (main window, message box, progress
// window, playback control, recording list), a test driver with a virtual
// clock, the log, and short names for the main window's controls that the
// list and the opening use (path edit, folder button, seek thumb, play
// button, time label).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/MyLog.h"
#include "mainwindow/ListView.h"
#include "platform/vcl/TestDriver.h"
#include "platform/vcl/WindowPresenter.h"
#include "platform/vcl/vcl.h"
#include "platform/win/MessageWindow.h"
#include "playback/VideoView.h"
#include "tests/support/DecoderCard.h"
#include "tests/support/TempFolder.h"

namespace list_test {

// A recording of the card: its name in "DATA", its start (hour, minute) and
// seconds.
struct Recording {
    std::string name;
    int hour;
    int minute;
    int seconds;
};

// What a long operation of the list did, in order: "hide" when the progress
// window stopped showing, "select NAME" when the list selected the row of
// another recording (the one it opens next), "repaint" for each
// WM_VIDEO_REPAINT posted to the playback control. The first two go into the
// message queue as markers among the posts, so the order is the order they
// happened in. Installed as the window presenter while it lives; StopWhen
// asks for a stop (as the stop button does) the first time the display is
// told of a change after `condition` holds.
class OperationSequence : public vcl::WindowPresenter {
public:
    OperationSequence();
    ~OperationSequence() override;
    OperationSequence(const OperationSequence&) = delete;
    OperationSequence& operator=(const OperationSequence&) = delete;

    void StopWhen(std::function<bool()> condition) { stopWhen_ = std::move(condition); }
    // Everything since the last call (the queued markers and posts taken).
    std::vector<std::string> Take();

    void FormShowing(vcl::TCustomForm& form, bool showing) override;
    void Invalidated(vcl::TControl& control) override;

private:
    void Mark(const std::string& event);

    std::unique_ptr<win::TMessageWindow> markers_;
    std::vector<std::string> texts_;
    std::vector<std::string> seen_;
    UnicodeString selectedPath_;
    std::function<bool()> stopWhen_;
    vcl::ScopedPresenter installed_{*this};
};

class ListTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a playable recording below the card (relative host path).
    void WriteRecording(const std::string& relative, int hour, int minute, int seconds = 2);
    // A header of our writer without streams or packets: listed, not playable.
    void WriteHeaderOnly(const std::string& relative, std::uint64_t creation, std::uint64_t duration);
    // The windows in the entry's order; viewing allowed or not.
    void BuildWindows(bool viewingAllowed = true);
    // Lets the start-up timer load the folder.
    void StartUp();
    // Pumps until the track loader is idle (bounded).
    void WaitForTracks();

    // Row texts as "date|length|played|event" for comparison.
    std::vector<std::string> Rows() const;
    std::vector<std::string> LogTexts() const;
    int Logged(const std::string& text) const;
    std::vector<win::WPARAM> TakePlayStatePosts();
    std::string Host(const std::string& relative) const { return card + "/" + relative; }

    std::string card;
    std::unique_ptr<vcl::TApplication> application;
    std::unique_ptr<vcl::TestDriver> driver;
    std::unique_ptr<TMyLogModule> log;
    // The main window's own controls.
    TEdit* editPath = nullptr;
    TControl* folderButton = nullptr;
    TControl* seekThumb = nullptr;
    TControl* playButton = nullptr;
    TLabel* timeLabel = nullptr;

private:
    int logStart_ = 0;
    std::unique_ptr<test_support::TempFolder> folder_;
    std::unique_ptr<test_support::DecoderCard> decoder_;
};

} // namespace list_test
