// The track records of one recording: a GPS fix per "$GPRMC" sentence, a
// G-sensor sample per "$GX" sentence, their owning lists and the container
// that the playback control keeps for the recording being shown.
#pragma once

#include "tracks/ContainerList.h"

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/UnicodeString.h"

#include <cstdint>

// One GPS fix. Numbers are texts with at most 15 significant digits, read
// back with StrToFloatOrZero ("" and "0" both mean 0).
struct TGpsInfo {
    TGpsInfo();

    std::uint32_t TimeMs; // presentation time of the carrying media object
    rtl::AnsiString Spare1;
    rtl::AnsiString Spare2;
    rtl::AnsiString Latitude; // signed decimal degrees, north positive
    rtl::AnsiString Longitude; // signed decimal degrees, east positive
    rtl::AnsiString Speed; // km/h; empty when the sentence gave none or "0"
    float Course; // degrees; 0 when the sentence gave none

    bool operator==(const TGpsInfo&) const = default;
};

// One G-sensor sample, in G.
struct TGSensorInfo {
    TGSensorInfo();

    std::uint32_t TimeMs;
    float GX; // up and down
    float GY; // left and right
    float GZ; // front and back

    bool operator==(const TGSensorInfo&) const = default;
};

class TGpsInfoList : public TContainerList<TGpsInfo> {
public:
    TGpsInfoList() = default;
    virtual int Add(TGpsInfo* record);
};

class TGSensorInfoList : public TContainerList<TGSensorInfo> {
public:
    TGSensorInfoList() = default;
    virtual int Add(TGSensorInfo* record);
};

// The track data of one recording. Shared by the user interface thread and
// the track worker without a lock: the loader's request and synchronous answer
// order every access.
struct TAsfFileInfo {
    TAsfFileInfo();
    ~TAsfFileInfo();
    TAsfFileInfo(const TAsfFileInfo&) = delete;
    TAsfFileInfo& operator=(const TAsfFileInfo&) = delete;

    // Both take ownership of the record and return its index.
    int AddGpsInfo(TGpsInfo* record);
    int AddGSensorInfo(TGSensorInfo* record);

    TGpsInfoList* GpsList;
    TGSensorInfoList* GSensorList;
    rtl::UnicodeString FilePath;
    std::uint8_t Loaded;
    std::int32_t GpsCursor;
};

// Destroys every record of the list and leaves it empty (untouched when empty).
void ClearGpsList(TGpsInfoList* list);
// The same steps for the G-sensor list.
void ClearGSensorList(TGSensorInfoList* list);
