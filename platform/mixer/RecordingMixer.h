// The mixer back end of the tests: a speakers line with one volume control
// whose bounds and value the test sets, switches for each failure, and the
// calls it was asked, in order.
//
//     mixer::RecordingMixer mixer;          // installs itself
//     mixer.minimum = 0; mixer.maximum = 65535;
//     ... the program sets the volume ...
//     EXPECT_EQ(mixer.Writes(), std::vector<DWORD>{32767});
//
// It installs itself for its lifetime and puts the previous back end back
// when it goes. User interface thread only.
#pragma once

#include <vector>

#include "platform/mixer/MixerApi.h"

namespace mixer {

class RecordingMixer final : public MixerBackend {
public:
    enum class Op { Line, Control, Read, Write };
    struct Call {
        Op op;
        DWORD id; // line id (Control), control id (Read, Write), 0 (Line)
        DWORD value; // the value written (Write), else 0
        friend bool operator==(const Call&, const Call&) = default;
    };

    RecordingMixer();
    ~RecordingMixer() override;
    RecordingMixer(const RecordingMixer&) = delete;
    RecordingMixer& operator=(const RecordingMixer&) = delete;

    // The line and its control; false makes the query fail with
    // MIXERR_INVALLINE or MIXERR_INVALCONTROL.
    bool hasLine = true;
    bool hasControl = true;
    DWORD lineId = 0xFFFF0000;
    DWORD controlId = 1;
    DWORD minimum = 0;
    DWORD maximum = 65535;
    // The control's value: what a read gives and a write sets.
    DWORD value = 0;
    // Non-zero: that operation fails with this result and changes nothing.
    MMRESULT lineFailure = MMSYSERR_NOERROR;
    MMRESULT controlFailure = MMSYSERR_NOERROR;
    MMRESULT readFailure = MMSYSERR_NOERROR;
    MMRESULT writeFailure = MMSYSERR_NOERROR;

    const std::vector<Call>& Calls() const { return calls_; }
    // The values written, successful or not.
    std::vector<DWORD> Writes() const;
    void ClearCalls() { calls_.clear(); }

    MMRESULT SpeakersLine(MixerLineInfo& line) override;
    MMRESULT VolumeControl(DWORD line, MixerVolumeInfo& control) override;
    MMRESULT ReadVolume(DWORD control, DWORD& out) override;
    MMRESULT WriteVolume(DWORD control, DWORD in) override;

private:
    std::vector<Call> calls_;
    MixerBackend* previous_ = nullptr;
};

} // namespace mixer
