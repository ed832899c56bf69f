// The system mixer, as the program reaches it through the multimedia mixer
// functions: the master volume is the volume control of the speakers
// destination line of mixer device 0.
//
// The functions below do the shared work (the object, the flags, the record
// sizes and pointers) and ask the mixer back end in force only for the
// line, the control and its value. The default back end answers like a
// computer without a sound line: no speakers line (MIXERR_INVALLINE), no
// control, every read and write refused. RecordingMixer.h is the back end of
// the tests; the real one (the sound server) is installed at start-up.
//
// What is supported, and what the functions answer:
//   - the object is mixer device 0, given as id 0 with MIXER_OBJECTF_MIXER;
//     another id gives MMSYSERR_BADDEVICEID, a handle (MIXER_OBJECTF_HMIXER,
//     nothing opens one here) MMSYSERR_INVALHANDLE, another object type
//     MMSYSERR_INVALFLAG;
//   - a null record, or a record whose cbStruct is not the size of the
//     record here, gives MMSYSERR_INVALPARAM;
//   - line info by component type (MIXER_GETLINEINFOF_COMPONENTTYPE), the
//     speakers destination only (another type: MIXERR_INVALLINE); controls
//     one by type (MIXER_GETLINECONTROLSF_ONEBYTYPE), the volume control only
//     (another type: MIXERR_INVALCONTROL); details by value
//     (MIXER_GETCONTROLDETAILSF_VALUE, MIXER_SETCONTROLDETAILSF_VALUE), one
//     channel of one unsigned value. Other queries give MMSYSERR_NOTSUPPORTED;
//   - a back end's failure reaches the caller unchanged, and then nothing is
//     written into the caller's records.
// Nothing here raises.
//
// Thread: the user interface thread calls the functions; installing a back
// end is thread-safe. A back end's calls may take time (a sound server) but
// must end: each has a time limit of its own.
#pragma once

#include <cstdint>
#include <string>

#include "platform/host/Seam.h"
#include "platform/win/Types.h"

namespace mixer {

using win::BYTE;
using win::DWORD;
using win::HWND;
using win::LONG;
using win::UINT;
using win::WORD;
using MMRESULT = UINT;
using DWORD_PTR = std::uintptr_t;

struct HMIXEROBJ__;
using HMIXEROBJ = HMIXEROBJ__*;

// Results.
inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_ERROR = 1;
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_NODRIVER = 6;
inline constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
inline constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT MIXERR_INVALLINE = 1024;
inline constexpr MMRESULT MIXERR_INVALCONTROL = 1025;
inline constexpr MMRESULT MIXERR_INVALVALUE = 1026;

// Object flags (the high bits of every flags argument).
inline constexpr DWORD MIXER_OBJECTF_HANDLE = 0x80000000;
inline constexpr DWORD MIXER_OBJECTF_MIXER = 0x00000000;
inline constexpr DWORD MIXER_OBJECTF_HMIXER = MIXER_OBJECTF_HANDLE | MIXER_OBJECTF_MIXER;
inline constexpr DWORD MIXER_OBJECTF_TYPEMASK = 0xF0000000;

// Queries (the low bits).
inline constexpr DWORD MIXER_GETLINEINFOF_DESTINATION = 0;
inline constexpr DWORD MIXER_GETLINEINFOF_SOURCE = 1;
inline constexpr DWORD MIXER_GETLINEINFOF_LINEID = 2;
inline constexpr DWORD MIXER_GETLINEINFOF_COMPONENTTYPE = 3;
inline constexpr DWORD MIXER_GETLINEINFOF_TARGETTYPE = 4;
inline constexpr DWORD MIXER_GETLINEINFOF_QUERYMASK = 0xF;
inline constexpr DWORD MIXER_GETLINECONTROLSF_ALL = 0;
inline constexpr DWORD MIXER_GETLINECONTROLSF_ONEBYID = 1;
inline constexpr DWORD MIXER_GETLINECONTROLSF_ONEBYTYPE = 2;
inline constexpr DWORD MIXER_GETLINECONTROLSF_QUERYMASK = 0xF;
inline constexpr DWORD MIXER_GETCONTROLDETAILSF_VALUE = 0;
inline constexpr DWORD MIXER_GETCONTROLDETAILSF_LISTTEXT = 1;
inline constexpr DWORD MIXER_GETCONTROLDETAILSF_QUERYMASK = 0xF;
inline constexpr DWORD MIXER_SETCONTROLDETAILSF_VALUE = 0;
inline constexpr DWORD MIXER_SETCONTROLDETAILSF_CUSTOM = 1;
inline constexpr DWORD MIXER_SETCONTROLDETAILSF_QUERYMASK = 0xF;

inline constexpr DWORD MIXERLINE_COMPONENTTYPE_DST_SPEAKERS = 4;
inline constexpr DWORD MIXERLINE_LINEF_ACTIVE = 0x00000001;
inline constexpr DWORD MIXERLINE_TARGETTYPE_WAVEOUT = 1;
inline constexpr DWORD MIXERCONTROL_CONTROLTYPE_VOLUME = 0x50030001;
inline constexpr DWORD MIXERCONTROL_CONTROLF_UNIFORM = 0x00000001;

inline constexpr int MIXER_SHORT_NAME_CHARS = 16;
inline constexpr int MIXER_LONG_NAME_CHARS = 64;
inline constexpr int MAXPNAMELEN = 32;

struct MIXERLINEA {
    DWORD cbStruct = 0;
    DWORD dwDestination = 0;
    DWORD dwSource = 0;
    DWORD dwLineID = 0;
    DWORD fdwLine = 0;
    DWORD_PTR dwUser = 0;
    DWORD dwComponentType = 0;
    DWORD cChannels = 0;
    DWORD cConnections = 0;
    DWORD cControls = 0;
    char szShortName[MIXER_SHORT_NAME_CHARS] = {};
    char szName[MIXER_LONG_NAME_CHARS] = {};
    struct {
        DWORD dwType = 0;
        DWORD dwDeviceID = 0;
        WORD wMid = 0;
        WORD wPid = 0;
        DWORD vDriverVersion = 0;
        char szPname[MAXPNAMELEN] = {};
    } Target;
};

struct MIXERCONTROLA {
    DWORD cbStruct = 0;
    DWORD dwControlID = 0;
    DWORD dwControlType = 0;
    DWORD fdwControl = 0;
    DWORD cMultipleItems = 0;
    char szShortName[MIXER_SHORT_NAME_CHARS] = {};
    char szName[MIXER_LONG_NAME_CHARS] = {};
    struct {
        DWORD dwMinimum = 0;
        DWORD dwMaximum = 0;
        DWORD dwReserved[4] = {};
    } Bounds;
    struct {
        DWORD cSteps = 0;
        DWORD dwReserved[5] = {};
    } Metrics;
};

struct MIXERLINECONTROLSA {
    DWORD cbStruct = 0;
    DWORD dwLineID = 0;
    union {
        DWORD dwControlID;
        DWORD dwControlType = 0;
    };
    DWORD cControls = 0;
    DWORD cbmxctrl = 0;
    MIXERCONTROLA* pamxctrl = nullptr;
};

struct MIXERCONTROLDETAILS {
    DWORD cbStruct = 0;
    DWORD dwControlID = 0;
    DWORD cChannels = 0;
    union {
        HWND hwndOwner;
        DWORD cMultipleItems = 0;
    };
    DWORD cbDetails = 0;
    void* paDetails = nullptr;
};

struct MIXERCONTROLDETAILS_UNSIGNED {
    DWORD dwValue = 0;
};

// Mixer devices there are: always 1 (the system mixer; whether it has a
// speakers line is the back end's answer).
UINT mixerGetNumDevs();
// Fills `line` (cbStruct and dwComponentType set by the caller) with the
// speakers destination line.
MMRESULT mixerGetLineInfoA(HMIXEROBJ mixer, MIXERLINEA* line, DWORD flags);
// Fills controls->pamxctrl (cControls 1, cbmxctrl the size of MIXERCONTROLA)
// with the volume control of line dwLineID.
MMRESULT mixerGetLineControlsA(HMIXEROBJ mixer, MIXERLINECONTROLSA* controls, DWORD flags);
// Reads the control's value into the one MIXERCONTROLDETAILS_UNSIGNED at
// paDetails (cChannels 1, cMultipleItems 0, cbDetails its size).
MMRESULT mixerGetControlDetailsA(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags);
// Writes it. A value outside the control's bounds is the back end's to
// refuse (MIXERR_INVALVALUE) or limit.
MMRESULT mixerSetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags);

// What a back end reports of the speakers line and its volume control.
struct MixerLineInfo {
    DWORD lineId = 0;
    DWORD channels = 0;
    DWORD controls = 0;
    bool active = true;
    std::string shortName; // cut to fit the records
    std::string name;
};

struct MixerVolumeInfo {
    DWORD controlId = 0;
    DWORD minimum = 0;
    DWORD maximum = 0;
    DWORD steps = 0;
    std::string shortName;
    std::string name;
};

// The back end: the platform-specific step of each function. Every operation
// returns MMSYSERR_NOERROR or the failure to hand on; the defaults are the
// computer without a sound line.
class MixerBackend {
public:
    virtual ~MixerBackend();
    // The speakers destination line. Default: MIXERR_INVALLINE.
    virtual MMRESULT SpeakersLine(MixerLineInfo& line);
    // The volume control of the line `lineId`. Default: MIXERR_INVALLINE.
    virtual MMRESULT VolumeControl(DWORD lineId, MixerVolumeInfo& control);
    // The current value of the control. Default: MIXERR_INVALCONTROL.
    virtual MMRESULT ReadVolume(DWORD controlId, DWORD& value);
    // Sets the control's value. Default: MIXERR_INVALCONTROL.
    virtual MMRESULT WriteVolume(DWORD controlId, DWORD value);
};

// The back end in force (the default unless one was installed). Read by the
// mixer calls, which the player makes on the user interface thread (its
// volume bar): a plain seam (platform/host/Seam.h).
MixerBackend& CurrentMixer();
// Installs a back end process-wide (null: the default); returns the previous
// one (null when it was the default). The caller keeps ownership.
MixerBackend* InstallMixer(MixerBackend* backend);
using ScopedMixer = host::ScopedInstall<MixerBackend*, &InstallMixer>;

} // namespace mixer
