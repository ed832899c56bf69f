// What every playback test stands on: a card mapped as drive E: holding the
// decoder folder (the decoder module and the blank "DummyFile.ASF") and two
// recordings in "DATA", a virtual clock, an in-memory registry, the
// registration tool played in-process, recorded boxes, the log, a main
// window to receive WM_PLAY_STATE, and no media failure switch.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>

#include <memory>
#include <string>
#include <vector>

#include "app/MyLog.h"
#include "playback/VideoView.h"
#include "platform/vcl/Application.h"
#include "platform/win/Clock.h"
#include "platform/win/MemoryRegistryStore.h"
#include "platform/win/MessageBoxResponder.h"
#include "platform/win/DebugOutput.h"
#include "playback/PlayLog.h"
#include "tests/support/DecoderCard.h"
#include "tests/support/TempFolder.h"

class TMainForm;

namespace playback_test {

class PlaybackTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the pane as the program's form creation does (OnCreate included).
    TPlayControl* Build();
    void Destroy();

    // Log lines since SetUp with their level ("[Error] text"), and without.
    std::vector<std::string> TaggedLog() const;
    std::vector<std::string> LogTexts() const;
    int CountLogged(const std::string& text) const;
    // Texts of the boxes shown since SetUp (UTF-8).
    std::vector<std::string> BoxTexts() const;
    // The wParams of the WM_PLAY_STATE posts waiting for the main window,
    // taken off its queue.
    std::vector<win::WPARAM> TakePlayStatePosts();
    // Programs started since SetUp ("Velmorastine II.exe" for a restart).
    int RestartStarts();
    void SetRestartCount(int count);
    int RestartCount();

    // A Windows path on the card.
    static UnicodeString CardPath(const char* relative);
    std::string Host(const std::string& relative) const { return card + "/" + relative; }

    std::string card;
    win::VirtualClock clock;
    win::MemoryRegistryStore* store = nullptr; // the decoder card's
    std::unique_ptr<win::TRecordingMessageBoxResponder> boxes;
    std::unique_ptr<vcl::TApplication> application;
    std::unique_ptr<TMyLogModule> log;
    TMainForm* mainForm = nullptr;
    TPlayControl* pane = nullptr;
    long liveBefore = 0;

private:
    int logStart_ = 0;
    // Made anew by each SetUp: a row that starts again gets a fresh card.
    std::unique_ptr<test_support::TempFolder> folder_;
    std::unique_ptr<test_support::DecoderCard> decoder_;
    std::unique_ptr<win::ScopedClock> clockScope_;
};

// Recordings on the card, by their Windows path.
inline constexpr char16_t kRecording[] = u"E:\\DATA\\20240517_093000.ASF";
inline constexpr char16_t kShortRecording[] = u"E:\\DATA\\20240517_094000.ASF";
inline constexpr char16_t kNotAsf[] = u"E:\\DATA\\NOTES.ASF";

} // namespace playback_test
