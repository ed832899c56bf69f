// The decoder as a normal start finds it, for tests that build the playback
// pane (the program entry, the playback control): the program folder's
// "ffdshow" folder with the decoder module and the blank "DummyFile.ASF" the
// start-up decoder test opens, and the seams the installation goes through.
//
//     test_support::DecoderCard decoder(hostProgramFolder);  // before the windows
//     ... build the windows: the decoder installs and the graph stands ...
//
// While it lives: an in-memory registry (nothing reaches the user's own
// store), and a recording process starter that plays the registration tool
// in-process at once (its filters appear in the registry as soon as it is
// started); every other start ("Velmorastine II.exe" for a restart) is only
// recorded. The installation's program-wide state is reset at both ends and
// COM is ended for the thread at the end.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/win/MemoryRegistryStore.h"
#include "platform/win/ProcessStarter.h"
#include "platform/win/RecordingProcessStarter.h"
#include "platform/win/RegistryStore.h"

namespace test_support {

// Writes "<hostProgramFolder>/ffdshow" with "ffdshow.ax" and "DummyFile.ASF".
void WriteDecoderFolder(const std::string& hostProgramFolder);

class DecoderCard {
public:
    // Writes the decoder folder below hostProgramFolder and installs the seams.
    explicit DecoderCard(const std::string& hostProgramFolder);
    // The seams alone: a card without the decoder, or a test that makes the
    // playback pane without a start (nothing reaches the user's registry or
    // starts a program).
    DecoderCard();
    ~DecoderCard();
    DecoderCard(const DecoderCard&) = delete;
    DecoderCard& operator=(const DecoderCard&) = delete;

    win::MemoryRegistryStore& Store() { return *store_; }
    win::RecordingProcessStarter& Starter() { return starter_; }
    // The programs started so far, in order.
    std::vector<win::ProcessStartRequest> Starts() { return starter_.Requests(); }
    // Whether the "ffdshow Video Decoder" filter is registered now.
    bool DecoderRegistered();

private:
    std::shared_ptr<win::MemoryRegistryStore> store_ = std::make_shared<win::MemoryRegistryStore>();
    win::RecordingProcessStarter starter_;
    std::unique_ptr<win::ScopedRegistryStore> storeScope_;
    std::unique_ptr<win::ScopedProcessStarter> starterScope_;
};

} // namespace test_support
