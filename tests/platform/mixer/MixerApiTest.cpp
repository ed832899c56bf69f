// The mixer functions against the default back end (no sound line) and the
// recording one: bad arguments first, then the answers and failures.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/mixer/MixerApi.h"
#include "platform/mixer/RecordingMixer.h"

using namespace mixer;

namespace {

constexpr HMIXEROBJ kDevice0 = nullptr;

MIXERLINEA SpeakersQuery()
{
    MIXERLINEA line{};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    return line;
}

struct ControlQuery {
    MIXERCONTROLA control{};
    MIXERLINECONTROLSA controls{};
    explicit ControlQuery(DWORD lineId)
    {
        controls.cbStruct = sizeof controls;
        controls.dwLineID = lineId;
        controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
        controls.cControls = 1;
        controls.cbmxctrl = sizeof control;
        controls.pamxctrl = &control;
    }
};

struct ValueQuery {
    MIXERCONTROLDETAILS_UNSIGNED value{};
    MIXERCONTROLDETAILS details{};
    ValueQuery(DWORD controlId, DWORD v)
    {
        value.dwValue = v;
        details.cbStruct = sizeof details;
        details.dwControlID = controlId;
        details.cChannels = 1;
        details.cbDetails = sizeof value;
        details.paDetails = &value;
    }
};

constexpr DWORD kLineFlags = MIXER_OBJECTF_MIXER | MIXER_GETLINEINFOF_COMPONENTTYPE;
constexpr DWORD kControlFlags = MIXER_OBJECTF_MIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE;
constexpr DWORD kGetFlags = MIXER_OBJECTF_MIXER | MIXER_GETCONTROLDETAILSF_VALUE;
constexpr DWORD kSetFlags = MIXER_OBJECTF_MIXER | MIXER_SETCONTROLDETAILSF_VALUE;

TEST(MixerApi, BadArgumentsAreRefusedBeforeTheBackEndIsAsked)
{
    RecordingMixer mixer;
    MIXERLINEA line = SpeakersQuery();
    auto device1 = reinterpret_cast<HMIXEROBJ>(std::uintptr_t{1});

    struct Row {
        const char* what;
        MMRESULT result;
        MMRESULT expected;
    };
    MIXERLINEA wrongSize = SpeakersQuery();
    wrongSize.cbStruct = 168; // the 32-bit record's size is not ours
    MIXERLINEA headphones = SpeakersQuery();
    headphones.dwComponentType = 5;
    ControlQuery twoControls(mixer.lineId);
    twoControls.controls.cControls = 2;
    ControlQuery noRecord(mixer.lineId);
    noRecord.controls.pamxctrl = nullptr;
    ControlQuery mute(mixer.lineId);
    mute.controls.dwControlType = 0x20010002;
    ValueQuery twoChannels(mixer.controlId, 0);
    twoChannels.details.cChannels = 2;
    ValueQuery multiple(mixer.controlId, 0);
    multiple.details.cMultipleItems = 3;
    ValueQuery wideDetail(mixer.controlId, 0);
    wideDetail.details.cbDetails = 8;
    ValueQuery noDetail(mixer.controlId, 0);
    noDetail.details.paDetails = nullptr;
    ValueQuery fine(mixer.controlId, 0);

    const Row rows[] = {
        {"null line record", mixerGetLineInfoA(kDevice0, nullptr, kLineFlags), MMSYSERR_INVALPARAM},
        {"line record of another size", mixerGetLineInfoA(kDevice0, &wrongSize, kLineFlags), MMSYSERR_INVALPARAM},
        {"device 1", mixerGetLineInfoA(device1, &line, kLineFlags), MMSYSERR_BADDEVICEID},
        {"a handle nobody opened", mixerGetLineInfoA(kDevice0, &line, MIXER_OBJECTF_HMIXER | 3), MMSYSERR_INVALHANDLE},
        {"a wave-out object", mixerGetLineInfoA(kDevice0, &line, 0x20000000 | 3), MMSYSERR_INVALFLAG},
        {"unknown line query", mixerGetLineInfoA(kDevice0, &line, 7), MMSYSERR_INVALFLAG},
        {"line by destination", mixerGetLineInfoA(kDevice0, &line, MIXER_GETLINEINFOF_DESTINATION),
         MMSYSERR_NOTSUPPORTED},
        {"another component type", mixerGetLineInfoA(kDevice0, &headphones, kLineFlags), MIXERR_INVALLINE},
        {"null controls record", mixerGetLineControlsA(kDevice0, nullptr, kControlFlags), MMSYSERR_INVALPARAM},
        {"two controls asked", mixerGetLineControlsA(kDevice0, &twoControls.controls, kControlFlags),
         MMSYSERR_INVALPARAM},
        {"no control record", mixerGetLineControlsA(kDevice0, &noRecord.controls, kControlFlags), MMSYSERR_INVALPARAM},
        {"all controls", mixerGetLineControlsA(kDevice0, &mute.controls, MIXER_GETLINECONTROLSF_ALL),
         MMSYSERR_NOTSUPPORTED},
        {"a mute control", mixerGetLineControlsA(kDevice0, &mute.controls, kControlFlags), MIXERR_INVALCONTROL},
        {"null details", mixerGetControlDetailsA(kDevice0, nullptr, kGetFlags), MMSYSERR_INVALPARAM},
        {"two channels", mixerGetControlDetailsA(kDevice0, &twoChannels.details, kGetFlags), MMSYSERR_INVALPARAM},
        {"multiple items", mixerSetControlDetails(kDevice0, &multiple.details, kSetFlags), MMSYSERR_INVALPARAM},
        {"8-byte detail", mixerSetControlDetails(kDevice0, &wideDetail.details, kSetFlags), MMSYSERR_INVALPARAM},
        {"no detail", mixerGetControlDetailsA(kDevice0, &noDetail.details, kGetFlags), MMSYSERR_INVALPARAM},
        {"list text", mixerGetControlDetailsA(kDevice0, &fine.details, MIXER_GETCONTROLDETAILSF_LISTTEXT),
         MMSYSERR_NOTSUPPORTED},
        {"custom set", mixerSetControlDetails(kDevice0, &fine.details, MIXER_SETCONTROLDETAILSF_CUSTOM),
         MMSYSERR_NOTSUPPORTED},
        {"unknown set query", mixerSetControlDetails(kDevice0, &fine.details, 5), MMSYSERR_INVALFLAG},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(row.result, row.expected);
    }
    EXPECT_TRUE(mixer.Calls().empty());
}

TEST(MixerApi, WithoutABackEndThereIsNoSpeakersLine)
{
    ASSERT_EQ(mixerGetNumDevs(), 1u);
    MIXERLINEA line = SpeakersQuery();
    EXPECT_EQ(mixerGetLineInfoA(kDevice0, &line, kLineFlags), MIXERR_INVALLINE);
    EXPECT_EQ(line.dwLineID, 0u);
    ControlQuery control(0);
    EXPECT_EQ(mixerGetLineControlsA(kDevice0, &control.controls, kControlFlags), MIXERR_INVALLINE);
    ValueQuery value(1, 77);
    EXPECT_EQ(mixerGetControlDetailsA(kDevice0, &value.details, kGetFlags), MIXERR_INVALCONTROL);
    EXPECT_EQ(value.value.dwValue, 77u);
    EXPECT_EQ(mixerSetControlDetails(kDevice0, &value.details, kSetFlags), MIXERR_INVALCONTROL);
}

TEST(MixerApi, TheSpeakersVolumeControlIsFoundReadAndWritten)
{
    RecordingMixer mixer;
    mixer.minimum = 100;
    mixer.maximum = 900;
    mixer.value = 250;

    MIXERLINEA line = SpeakersQuery();
    ASSERT_EQ(mixerGetLineInfoA(kDevice0, &line, kLineFlags), MMSYSERR_NOERROR);
    EXPECT_EQ(line.dwLineID, mixer.lineId);
    EXPECT_EQ(line.cControls, 1u);
    EXPECT_STREQ(line.szName, "Speakers");

    ControlQuery control(line.dwLineID);
    ASSERT_EQ(mixerGetLineControlsA(kDevice0, &control.controls, kControlFlags), MMSYSERR_NOERROR);
    EXPECT_EQ(control.control.cbStruct, sizeof(MIXERCONTROLA));
    EXPECT_EQ(control.control.dwControlID, mixer.controlId);
    EXPECT_EQ(control.control.dwControlType, MIXERCONTROL_CONTROLTYPE_VOLUME);
    EXPECT_EQ(control.control.Bounds.dwMinimum, 100u);
    EXPECT_EQ(control.control.Bounds.dwMaximum, 900u);

    ValueQuery read(control.control.dwControlID, 0);
    ASSERT_EQ(mixerGetControlDetailsA(kDevice0, &read.details, kGetFlags), MMSYSERR_NOERROR);
    EXPECT_EQ(read.value.dwValue, 250u);
    ValueQuery write(control.control.dwControlID, 600);
    ASSERT_EQ(mixerSetControlDetails(kDevice0, &write.details, kSetFlags), MMSYSERR_NOERROR);
    EXPECT_EQ(mixer.value, 600u);

    using Op = RecordingMixer::Op;
    const std::vector<RecordingMixer::Call> expected = {
        {Op::Line, 0, 0}, {Op::Control, mixer.lineId, 0}, {Op::Read, 1, 0}, {Op::Write, 1, 600}};
    EXPECT_EQ(mixer.Calls(), expected);
}

TEST(MixerApi, BackEndFailuresReachTheCallerAndLeaveTheRecordsAlone)
{
    struct Row {
        const char* what;
        void (*arrange)(RecordingMixer&);
        MMRESULT line, control, read, write;
    };
    const Row rows[] = {
        {"no speakers line", [](RecordingMixer& m) { m.hasLine = false; }, MIXERR_INVALLINE, MIXERR_INVALLINE,
         MIXERR_INVALCONTROL, MIXERR_INVALCONTROL},
        {"no volume control", [](RecordingMixer& m) { m.hasControl = false; }, MMSYSERR_NOERROR, MIXERR_INVALCONTROL,
         MIXERR_INVALCONTROL, MIXERR_INVALCONTROL},
        {"the server is gone", [](RecordingMixer& m) { m.lineFailure = m.controlFailure = MMSYSERR_NODRIVER; },
         MMSYSERR_NODRIVER, MMSYSERR_NODRIVER, MMSYSERR_NOERROR, MMSYSERR_NOERROR},
        {"reads and writes fail", [](RecordingMixer& m) { m.readFailure = m.writeFailure = MMSYSERR_ERROR; },
         MMSYSERR_NOERROR, MMSYSERR_NOERROR, MMSYSERR_ERROR, MMSYSERR_ERROR},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        RecordingMixer mixer;
        mixer.value = 1234;
        row.arrange(mixer);

        MIXERLINEA line = SpeakersQuery();
        EXPECT_EQ(mixerGetLineInfoA(kDevice0, &line, kLineFlags), row.line);
        ControlQuery control(mixer.lineId);
        control.control.Bounds.dwMaximum = 7;
        EXPECT_EQ(mixerGetLineControlsA(kDevice0, &control.controls, kControlFlags), row.control);
        if (row.control != MMSYSERR_NOERROR) {
            EXPECT_EQ(control.control.Bounds.dwMaximum, 7u);
        }
        ValueQuery read(mixer.controlId, 5);
        EXPECT_EQ(mixerGetControlDetailsA(kDevice0, &read.details, kGetFlags), row.read);
        EXPECT_EQ(read.value.dwValue, row.read == MMSYSERR_NOERROR ? 1234u : 5u);
        ValueQuery write(mixer.controlId, 99);
        EXPECT_EQ(mixerSetControlDetails(kDevice0, &write.details, kSetFlags), row.write);
        EXPECT_EQ(mixer.value, row.write == MMSYSERR_NOERROR ? 99u : 1234u);
    }
}

TEST(MixerApi, ARecordingMixerPutsThePreviousBackEndBack)
{
    MixerBackend* before = &CurrentMixer();
    {
        RecordingMixer outer;
        {
            RecordingMixer inner;
            EXPECT_EQ(&CurrentMixer(), &inner);
        }
        EXPECT_EQ(&CurrentMixer(), &outer);
    }
    EXPECT_EQ(&CurrentMixer(), before);
}

} // namespace
