#include "tracks/GPSData.h"

#include "platform/rtl/Exception.h"

#include <gtest/gtest.h>

namespace {

// Counts live instances, so that a test sees every destruction.
struct Counted {
    static inline int live = 0;
    Counted() { ++live; }
    ~Counted() { --live; }
};

TEST(TrackRecords, ConstructionValues)
{
    const TGpsInfo g;
    EXPECT_EQ(g.TimeMs, 0u);
    EXPECT_EQ(g.Spare1, "0");
    EXPECT_EQ(g.Spare2, "0");
    EXPECT_EQ(g.Latitude, "0");
    EXPECT_EQ(g.Longitude, "0");
    EXPECT_EQ(g.Speed, "");
    EXPECT_EQ(g.Course, 0.0f);

    const TGSensorInfo s;
    EXPECT_EQ(s, TGSensorInfo());
    EXPECT_EQ(s.TimeMs, 0u);
    EXPECT_EQ(s.GX, 0.0f);
    EXPECT_EQ(s.GY, 0.0f);
    EXPECT_EQ(s.GZ, 0.0f);

    const TAsfFileInfo info;
    ASSERT_NE(info.GpsList, nullptr);
    ASSERT_NE(info.GSensorList, nullptr);
    EXPECT_EQ(info.GpsList->Count(), 0);
    EXPECT_EQ(info.GSensorList->Count(), 0);
    EXPECT_TRUE(info.FilePath.IsEmpty());
    EXPECT_EQ(info.Loaded, 0);
    EXPECT_EQ(info.GpsCursor, 0);
}

TEST(TrackRecords, AddReturnsTheIndexInFileOrder)
{
    TAsfFileInfo info;
    for (int i = 0; i < 3; ++i) {
        auto* g = new TGpsInfo;
        g->TimeMs = static_cast<std::uint32_t>(100 * i);
        EXPECT_EQ(info.AddGpsInfo(g), i);
        EXPECT_EQ(info.AddGSensorInfo(new TGSensorInfo), i);
    }
    ASSERT_EQ(info.GpsList->Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(info.GpsList->Item(i)->TimeMs, static_cast<std::uint32_t>(100 * i));
    EXPECT_EQ(info.GSensorList->Count(), 3);
}

TEST(TrackRecords, ClearingDestroysEveryRecordOnce)
{
    TContainerList<Counted> list;
    ClearContainerList(&list); // empty: untouched
    EXPECT_EQ(list.Count(), 0);
    for (int i = 0; i < 5; ++i)
        list.Add(new Counted);
    list.Add(nullptr); // an empty slot is skipped
    EXPECT_EQ(Counted::live, 5);
    ClearContainerList(&list);
    EXPECT_EQ(Counted::live, 0);
    EXPECT_EQ(list.Count(), 0);

    {
        TContainerList<Counted> owned;
        owned.Add(new Counted);
        owned.Add(new Counted);
        EXPECT_EQ(Counted::live, 2);
    }
    EXPECT_EQ(Counted::live, 0);
}

TEST(TrackRecords, ClearGpsAndGSensorLists)
{
    TAsfFileInfo info;
    for (int i = 0; i < 4; ++i) {
        info.AddGpsInfo(new TGpsInfo);
        info.AddGSensorInfo(new TGSensorInfo);
    }
    ClearGpsList(info.GpsList);
    ClearGSensorList(info.GSensorList);
    EXPECT_EQ(info.GpsList->Count(), 0);
    EXPECT_EQ(info.GSensorList->Count(), 0);
    EXPECT_EQ(info.AddGpsInfo(new TGpsInfo), 0);
    // The container's destruction frees what it still holds (ASan checks the rest).
}

TEST(TrackRecords, BadIndexRaisesListError)
{
    TGpsInfoList list;
    EXPECT_THROW(list.Item(0), rtl::EListError);
    list.Add(new TGpsInfo);
    EXPECT_THROW(list.Item(-1), rtl::EListError);
    EXPECT_THROW(list.Item(1), rtl::EListError);
    EXPECT_NO_THROW(list.Item(0));
}

TEST(TrackRecords, RecordsCompareWholeWithEquality)
{
    TGpsInfo a, b;
    EXPECT_EQ(a, b);
    b.Speed = "19.446";
    EXPECT_NE(a, b);
}

} // namespace
