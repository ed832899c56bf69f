// The ASF source as AddSourceFilter makes it: pins from the header, the
// results for files it cannot read, and the hold on the file.
#include "MediaFixture.h"

#include <sys/stat.h>

#include <filesystem>

#include "platform/win/OpenFileHold.h"

namespace media_test {
namespace {

class SourceTest : public MediaTest {
protected:
    void SetUp() override
    {
        MediaTest::SetUp();
        ASSERT_EQ(
            CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.PutVoid()),
            S_OK);
    }
    void TearDown() override
    {
        graph.Reset();
        MediaTest::TearDown();
    }
    std::vector<std::u16string> PinNames(IBaseFilter* f)
    {
        std::vector<std::u16string> names;
        ComPtr<IEnumPins> e;
        EXPECT_EQ(f->EnumPins(e.Put()), S_OK);
        IPin* pin = nullptr;
        while (e->Next(1, &pin, nullptr) == S_OK) {
            char16_t* id = nullptr;
            EXPECT_EQ(pin->QueryId(&id), S_OK);
            names.emplace_back(id);
            CoTaskMemFree(id);
            pin->Release();
        }
        return names;
    }
    bool Held(const std::string& name)
    {
        struct stat st {};
        if (::stat(HostPath(name).c_str(), &st) != 0)
            return false;
        return win::OpenFileHold::IsHeld(st.st_dev, st.st_ino);
    }
    ComPtr<IGraphBuilder> graph;
};

TEST_F(SourceTest, PinsFollowTheStreamsOfTheHeader)
{
    struct Case {
        const char* name;
        Recording recording;
        std::vector<std::u16string> pins;
    } cases[] = {
        {"video, audio and track", Recording{}, {u"Raw Video 0", u"Raw Audio 1"}},
        {"video only", Recording{10000, 0, true, false, true}, {u"Raw Video 0"}},
        {"audio only", Recording{10000, 0, false, true, true}, {u"Raw Audio 0"}},
        {"track only", Recording{10000, 0, false, false, true}, {}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ComPtr<IBaseFilter> source;
        std::string file = "R" + std::to_string(n++) + ".ASF";
        ASSERT_EQ(graph->AddSourceFilter(WriteRecording(file, c.recording).c_str(), u"ASF Reader", source.Put()), S_OK);
        EXPECT_EQ(PinNames(source.Get()), c.pins);
        CLSID clsid{};
        ASSERT_EQ(source->GetClassID(&clsid), S_OK);
        EXPECT_EQ(clsid, CLSID_WMAsfReader);
        ASSERT_EQ(graph->RemoveFilter(source.Get()), S_OK);
    }
}

TEST_F(SourceTest, FilesItCannotReadGiveTheirResults)
{
    asfwriter::Bytes good = RecordingBytes(Recording{});
    asfwriter::Bytes cut(good.begin(), good.begin() + 100);
    asfwriter::Bytes damaged = good;
    damaged[30 + 16] = 0x10; // the file properties' size below 24
    for (int i = 1; i < 8; ++i)
        damaged[30 + 16 + i] = 0;
    asfwriter::Bytes text = {'h', 'e', 'l', 'l', 'o'};
    WriteFile("CUT.ASF", cut);
    WriteFile("BAD.ASF", damaged);
    WriteFile("TEXT.ASF", text);
    WriteFile("EMPTY.ASF", {});
    std::filesystem::create_directories(HostPath("FOLDER.ASF"));

    struct Case {
        const char16_t* path;
        HRESULT expected;
    } cases[] = {
        {u"E:\\MISSING.ASF", HRESULT_FILE_NOT_FOUND},
        {u"E:\\FOLDER.ASF", HRESULT_FILE_NOT_FOUND},
        {u"Q:\\UNMAPPED.ASF", static_cast<HRESULT>(0x80070003u)},
        {u"E:\\TEXT.ASF", VFW_E_UNKNOWN_FILE_TYPE},
        {u"E:\\EMPTY.ASF", VFW_E_UNKNOWN_FILE_TYPE},
        {u"E:\\CUT.ASF", VFW_E_INVALID_FILE_FORMAT},
        {u"E:\\BAD.ASF", VFW_E_INVALID_FILE_FORMAT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::u16string(c.path)));
        IBaseFilter* source = reinterpret_cast<IBaseFilter*>(1);
        EXPECT_EQ(graph->AddSourceFilter(c.path, u"ASF Reader", &source), c.expected);
        EXPECT_EQ(source, nullptr);
    }
    EXPECT_EQ(graph->AddSourceFilter(nullptr, u"ASF Reader", nullptr), E_POINTER);
    ComPtr<IEnumFilters> e;
    ASSERT_EQ(graph->EnumFilters(e.Put()), S_OK);
    IBaseFilter* any = nullptr;
    EXPECT_EQ(e->Next(1, &any, nullptr), S_FALSE) << "no failed source stays in the graph";
}

TEST_F(SourceTest, TheNameDefaultsToThePathAndLetterCaseOfThePathDoesNotMatter)
{
    WriteRecording("Data.asf");
    ComPtr<IBaseFilter> source;
    ASSERT_EQ(graph->AddSourceFilter(u"e:\\DATA.ASF", nullptr, source.Put()), S_OK);
    FILTER_INFO info{};
    ASSERT_EQ(source->QueryFilterInfo(&info), S_OK);
    EXPECT_EQ(std::u16string(info.achName), u"e:\\DATA.ASF");
    info.pGraph->Release();
}

TEST_F(SourceTest, TheSourceHoldsItsFileOpen)
{
    std::u16string path = WriteRecording("HELD.ASF");
    EXPECT_FALSE(Held("HELD.ASF"));
    ComPtr<IBaseFilter> source;
    ASSERT_EQ(graph->AddSourceFilter(path.c_str(), u"ASF Reader", source.Put()), S_OK);
    EXPECT_TRUE(Held("HELD.ASF"));
    ASSERT_EQ(graph->RemoveFilter(source.Get()), S_OK);
    EXPECT_TRUE(Held("HELD.ASF")) << "the caller still holds the filter";
    source.Reset();
    EXPECT_FALSE(Held("HELD.ASF"));
}

} // namespace
} // namespace media_test

namespace media_test {
namespace {

class HostileSizeTest : public MediaTest {};

TEST_F(HostileSizeTest, PictureSizesNoFilterTakesStopAtTheDecoder)
{
    RecordingWindow window;
    struct Case {
        std::uint32_t width, height;
        HRESULT expected;
    } cases[] = {
        {4096, 4096, S_OK},
        {4097, 240, VFW_E_NO_ACCEPTABLE_TYPES},
        {320, 0x80000000u, VFW_E_NO_ACCEPTABLE_TYPES}, // INT32_MIN as biHeight
        {0xFFFFFFFFu, 240, VFW_E_NO_ACCEPTABLE_TYPES}, // -1 as biWidth
        {0, 0, VFW_E_NO_ACCEPTABLE_TYPES},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        ProgramGraph g;
        BuildProgramGraph(g, window.Handle());
        Recording r;
        r.width = c.width;
        r.height = c.height;
        EXPECT_EQ(LoadRecording(g, WriteRecording("S" + std::to_string(n++) + ".ASF", r)), c.expected);
    }
}

} // namespace
} // namespace media_test
