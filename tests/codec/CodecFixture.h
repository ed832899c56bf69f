// What every decoder-installation test stands on: a virtual clock, an
// in-memory registry, a card folder mapped as drive E: with the program in
// E:\APP, the log, recorded boxes, and a registration tool played in-process
// on the virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/MyLog.h"
#include "platform/vcl/Application.h"
#include "platform/win/Clock.h"
#include "platform/win/MemoryRegistryStore.h"
#include "platform/win/MessageBoxResponder.h"
#include "platform/win/RecordingProcessStarter.h"
#include "tests/support/DecoderCard.h"
#include "tests/support/TempFolder.h"

namespace codec_test {

// The registration tool as the program starts it, played in-process: it
// registers or unregisters "ffdshow.ax" `delayMs` of virtual time after it
// was started (never when `fails`), the moment the registry is next looked at.
class FakeRegistrationTool {
public:
    FakeRegistrationTool(win::VirtualClock& clock, win::MemoryRegistryStore& store);
    ~FakeRegistrationTool();

    std::uint64_t delayMs = 0;
    bool fails = false;

    // Called for each start the recording starter sees.
    void Started(const win::ProcessStartRequest& request);
    // Applies what is due (the store's access hook).
    void Tick();

private:
    struct Pending {
        std::uint64_t dueMs;
        bool unregister;
        std::u16string module;
    };
    win::VirtualClock& clock_;
    win::MemoryRegistryStore& store_;
    std::vector<Pending> pending_;
    bool applying_ = false;
};

class CodecTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The texts of the log lines written since SetUp, oldest first.
    std::vector<std::string> LogTexts() const;
    // The log lines with their level tags, e.g. "[Debug] text".
    std::vector<std::string> TaggedLog() const;
    bool Logged(const std::string& text) const;
    int CountLogged(const std::string& text) const;

    // The hive as text (RegistryText.h).
    std::string Export(win::RegistryHive hive);
    // The classes-root registration as the tool writes it.
    void RegisterDecoder(const std::u16string& modulePath);
    bool DecoderRegistered();
    // Writes values through TRegistry (hive root, key, then name/value pairs).
    void WriteString(win::RegistryHive hive, const char16_t* key, const char16_t* name, const char16_t* value);
    void WriteInteger(win::RegistryHive hive, const char16_t* key, const char16_t* name, int value);
    std::u16string ReadText(win::RegistryHive hive, const char16_t* key, const char16_t* name);

    std::vector<win::ProcessStartRequest> Starts() { return decoder_->Starts(); }
    // The recording starter: every start is recorded, the registration tool's
    // handed to `tool`.
    win::RecordingProcessStarter& Starter() { return decoder_->Starter(); }

    test_support::TempFolder folder{"codec-test"};
    const std::string card = folder.Path() + "/card"; // host folder of drive E:
    const std::string computer = folder.Path() + "/computer"; // host folder of drive C:
    win::VirtualClock clock;
    win::MemoryRegistryStore* store = nullptr; // the decoder card's, anew each SetUp
    std::unique_ptr<FakeRegistrationTool> tool;
    std::unique_ptr<win::TRecordingMessageBoxResponder> boxes;
    std::unique_ptr<vcl::TApplication> application;
    std::unique_ptr<TMyLogModule> log;

private:
    // The registry and the starter seams, without the card's decoder folder
    // (the installation tests lay out their own).
    std::unique_ptr<test_support::DecoderCard> decoder_;
    std::unique_ptr<win::ScopedClock> clockScope_;
    int logStart_ = 0;
};

// The card's decoder folder and file as the program names them.
inline constexpr const char16_t* kDecoderFolder = u"E:\\APP\\ffdshow";
inline constexpr const char16_t* kDecoderFile = u"E:\\APP\\ffdshow\\ffdshow.ax";

} // namespace codec_test
