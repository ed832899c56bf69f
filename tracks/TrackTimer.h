// One tick of the track timer: the seek thumb's place back to milliseconds,
// the graph cursor moved there and, once per second of recording, the GPS
// record of that second shown (speed read-out, map marker) unless the
// vehicle stands still.
//
// The main window owns the timer and the remembered values; this unit does
// the work, so that it can be run against any graph and map.
#pragma once

#include <cstdint>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/UnicodeString.h"
#include "tracks/GPSData.h"

// The main window's remembered values (see TMainForm).
struct TTrackTimerFields {
    std::int32_t& LastPositionMs; // -1 for none
    std::int32_t& LastGpsTimeMs; // -1 for none
    float& LastLatitude;
    float& LastLongitude;
};

// What a tick moves.
class TTrackTimerTargets {
public:
    virtual ~TTrackTimerTargets() = default;
    virtual void SetPos(std::int32_t ms) = 0;
    virtual void SetSpeedText(const rtl::UnicodeString& text) = 0;
    // True when the marker was moved (the search cursor then advances).
    virtual bool SetCarPos(const rtl::AnsiString& lat, const rtl::AnsiString& lng, float heading) = 0;
};

// One tick. `info` null or not loaded, a position that does not convert, or
// an unchanged position do nothing. Raises what the targets raise and what
// the strict number conversion of the remembered position raises; what was
// set before stays.
void TrackTimerTick(std::int32_t thumbLeft, std::int32_t trackMin, double seekScale, TAsfFileInfo* info,
                    TTrackTimerFields fields, TTrackTimerTargets& targets);
