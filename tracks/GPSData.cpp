#include "tracks/GPSData.h"

TGpsInfo::TGpsInfo() : TimeMs(0), Spare1("0"), Spare2("0"), Latitude("0"), Longitude("0"), Speed(), Course(0.0f) {}

TGSensorInfo::TGSensorInfo() : TimeMs(0), GX(0.0f), GY(0.0f), GZ(0.0f) {}

int TGpsInfoList::Add(TGpsInfo* record) { return TPointerList::Add(record); }

int TGSensorInfoList::Add(TGSensorInfo* record) { return TPointerList::Add(record); }

TAsfFileInfo::TAsfFileInfo()
    : GpsList(new TGpsInfoList), GSensorList(new TGSensorInfoList), FilePath(), Loaded(0), GpsCursor(0)
{
}

TAsfFileInfo::~TAsfFileInfo()
{
    delete GpsList;
    delete GSensorList;
}

int TAsfFileInfo::AddGpsInfo(TGpsInfo* record) { return GpsList->Add(record); }

int TAsfFileInfo::AddGSensorInfo(TGSensorInfo* record) { return GSensorList->Add(record); }

void ClearGpsList(TGpsInfoList* list) { ClearContainerList(list); }

void ClearGSensorList(TGSensorInfoList* list) { ClearContainerList(list); }
