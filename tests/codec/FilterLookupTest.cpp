// The device enumerator over the classes root, and the lookup by friendly name.
#include "CodecFixture.h"
#include "app/Globals.h"
#include "platform/media/media.h"
#include "platform/media/FilterRegistration.h"
#include "platform/win/DriveTable.h"
#include "platform/win/Registry.h"
#include "playback/VideoView.h"

using namespace win;
using namespace codec_test;

namespace {

bool Lookup(const char16_t* name) { return TPlayControl::AddFilterFromFriendlyName(nullptr, nullptr, name); }

TEST_F(CodecTest, AnEmptyCategoryHasNoEnumerator)
{
    media::ComPtr<media::ICreateDevEnum> devices;
    ASSERT_EQ(media::CoCreateInstance(media::CLSID_SystemDeviceEnum, nullptr, media::CLSCTX_INPROC_SERVER,
                                      media::IID_ICreateDevEnum, devices.PutVoid()),
              media::S_OK);
    media::IEnumMoniker* entries = reinterpret_cast<media::IEnumMoniker*>(1);
    EXPECT_EQ(devices->CreateClassEnumerator(media::CLSID_LegacyAmFilterCategory, &entries, 0), media::S_FALSE);
    EXPECT_EQ(entries, nullptr);
    EXPECT_EQ(devices->CreateClassEnumerator(media::CLSID_LegacyAmFilterCategory, nullptr, 0), media::E_POINTER);
    EXPECT_FALSE(Lookup(u"ffdshow Video Decoder"));
    EXPECT_EQ(LogTexts(), std::vector<std::string>{"Filter is not registing : ffdshow Video Decoder"});
}

TEST_F(CodecTest, ARegistrationIsSeenAtTheNextLookupAndNamesMatchExactly)
{
    long live = media::LiveObjectCount();
    EXPECT_FALSE(Lookup(u"ffdshow Video Decoder"));
    RegisterDecoder(kDecoderFile);
    EXPECT_TRUE(Lookup(u"ffdshow Video Decoder"));
    EXPECT_TRUE(Lookup(u"ffdshow Audio Decoder"));
    EXPECT_FALSE(Lookup(u"ffdshow video decoder"));
    EXPECT_FALSE(Lookup(u""));
    media::UnregisterModuleFilters(kDecoderFile);
    EXPECT_FALSE(Lookup(u"ffdshow Video Decoder"));
    EXPECT_EQ(media::LiveObjectCount(), live);
}

TEST_F(CodecTest, EntriesWithoutANameArePassedOver)
{
    TRegistry reg;
    reg.RootKey = HKEY_CLASSES_ROOT;
    ASSERT_TRUE(reg.OpenKey(media::FilterCategoryInstanceKey() + u"\\{00000000-0000-0000-0000-000000000001}", true));
    reg.WriteInteger(u"FriendlyName", 5); // not a text
    ASSERT_TRUE(reg.OpenKey(media::FilterCategoryInstanceKey() + u"\\{00000000-0000-0000-0000-000000000002}", true));
    RegisterDecoder(kDecoderFile);
    EXPECT_TRUE(Lookup(u"ffdshow Video Decoder"));
}

TEST_F(CodecTest, TheLookupAnswersNothingWhileTheProgramDriveIsGone)
{
    RegisterDecoder(kDecoderFile);
    DriveTable::Instance().SetPresent(u'E', false);
    EXPECT_FALSE(Lookup(u"ffdshow Video Decoder"));
    EXPECT_FALSE(Lookup(u"other"));
    EXPECT_TRUE(LogTexts().empty());
}

TEST_F(CodecTest, WithAGraphTheFilterIsBoundAndAdded)
{
    media::RegisterMediaClasses();
    media::ComPtr<media::IGraphBuilder> graph;
    ASSERT_EQ(media::CoCreateInstance(media::CLSID_FilterGraph, nullptr, media::CLSCTX_INPROC_SERVER,
                                      media::IID_IGraphBuilder, graph.PutVoid()),
              media::S_OK);
    RegisterDecoder(kDecoderFile);
    media::ComPtr<media::IBaseFilter> decoder;
    ASSERT_TRUE(TPlayControl::AddFilterFromFriendlyName(graph.Get(), decoder.Put(), u"ffdshow Video Decoder"));
    ASSERT_TRUE(decoder);
    media::ComPtr<media::IBaseFilter> inGraph;
    EXPECT_EQ(graph->FindFilterByName(u"ffdshow Video Decoder", inGraph.Put()), media::S_OK);
    EXPECT_EQ(inGraph.Get(), decoder.Get());
    // Without an out-pointer the filter still goes into the graph.
    EXPECT_TRUE(TPlayControl::AddFilterFromFriendlyName(graph.Get(), nullptr, u"ffdshow Audio Decoder"));
    EXPECT_EQ(graph->FindFilterByName(u"ffdshow Audio Decoder", inGraph.Put()), media::S_OK);

    // Listed but its file gone: binding fails.
    std::filesystem::remove(card + "/APP/ffdshow/ffdshow.ax");
    media::ComPtr<media::IBaseFilter> none;
    EXPECT_TRUE(Lookup(u"ffdshow Video Decoder"));
    EXPECT_FALSE(TPlayControl::AddFilterFromFriendlyName(graph.Get(), none.Put(), u"ffdshow Video Decoder"));
    EXPECT_FALSE(none);
}

TEST(GuidTextTest, ReadsOnlyTheRegistryFormWithBraces)
{
    media::GUID g{};
    ASSERT_TRUE(media::StringToGuid(u"{083863f1-70de-11d0-bd40-00a0c911ce86}", g));
    EXPECT_EQ(g, media::CLSID_LegacyAmFilterCategory);
    EXPECT_EQ(media::GuidToString(g), u"{083863F1-70DE-11D0-BD40-00A0C911CE86}");
    for (const char16_t* bad :
         {u"", u"{083863F1-70DE-11D0-BD40-00A0C911CE8}", u"083863F1-70DE-11D0-BD40-00A0C911CE86",
          u"{083863F1-70DE-11D0-BD40-00A0C911CE86", u"{083863F1+70DE-11D0-BD40-00A0C911CE86}",
          u"{083863G1-70DE-11D0-BD40-00A0C911CE86}", u"{083863F1-70DE-11D0-BD40-00A0C911CE86}x"}) {
        media::GUID out = media::CLSID_FfdshowVideoDecoder;
        EXPECT_FALSE(media::StringToGuid(bad, out));
        EXPECT_EQ(out, media::CLSID_FfdshowVideoDecoder);
    }
}

} // namespace
