// The track loader and its worker thread, as recorded message sequences.
// Every suite here runs under ThreadSanitizer (its name holds "Thread").
#include "tests/tracks_loader/LoaderFixture.h"

#include "tools/asfwriter/SampleRecording.h"

#include "platform/rtl/CodePage.h"
#include "platform/win/MessageLoop.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <optional>
#include <string>
#include <vector>

namespace loader_test {
namespace {

using Events = std::vector<Event>;

// Handles messages (the answers among them) until the loader is idle.
void PumpUntilIdle(const TDataLoad& loader)
{
    ASSERT_TRUE(win::PumpUntil([&] { return !loader.Busy(); }));
}

// The loader's own error lines among the log's.
std::vector<std::string> LoaderLines(const std::vector<std::string>& lines)
{
    std::vector<std::string> out;
    for (const std::string& line : lines)
        if (line.rfind("TGInfoLoadThread::", 0) == 0 || line.rfind("TDataLoad::", 0) == 0)
            out.push_back(line);
    return out;
}

class TrackLoaderThread : public LoaderThreadTest {};

TEST_F(TrackLoaderThread, RequestRightAfterConstructionIsAnsweredWithTheTracks)
{
    const rtl::UnicodeString path = PutSample("A.ASF", 3);
    const Tracks expected = ReadDirectly(path);
    ASSERT_EQ(expected.code, 0);
    ASSERT_FALSE(expected.gps.empty());
    ASSERT_FALSE(expected.gsensor.empty());

    EventLog log;
    LoadGate gate(log);
    TAsfFileInfo info;
    TDataLoad loader(&gate);
    Tracks delivered;
    AnswerWindow w(log, "W", info, &loader, [&](win::TMessage&) { delivered = Snapshot(info); });

    info.FilePath = path;
    EXPECT_TRUE(loader.NotifyLoadGInfo(&info, w.Handle()));
    EXPECT_TRUE(loader.Busy());
    PumpUntilIdle(loader);

    const int gps = static_cast<int>(expected.gps.size());
    const int gx = static_cast<int>(expected.gsensor.size());
    EXPECT_EQ(log.Events(), (Events{Step("start T:\\A.ASF"), Step("read 0"), End("W", gps, gx)}));
    EXPECT_EQ(delivered, expected);
    EXPECT_EQ(Snapshot(info), expected);
    EXPECT_EQ(info.Loaded, 1);
    EXPECT_EQ(info.GpsCursor, 0);
    EXPECT_TRUE(LoaderLines(LogLines()).empty());
}

TEST_F(TrackLoaderThread, TwoRequestsWhileIdleAreAnsweredInOrder)
{
    const rtl::UnicodeString pathA = PutSample("A.ASF", 2);
    const rtl::UnicodeString pathB = PutSample("B.ASF", 4);
    const Tracks a = ReadDirectly(pathA);
    const Tracks b = ReadDirectly(pathB);
    ASSERT_NE(a.gps.size(), b.gps.size());

    // Two records, as two windows would ask: each answered with its own tracks.
    {
        SCOPED_TRACE("two records");
        EventLog log;
        LoadGate gate(log);
        TAsfFileInfo infoA, infoB;
        TDataLoad loader(&gate);
        AnswerWindow w1(log, "W1", infoA, &loader);
        AnswerWindow w2(log, "W2", infoB, &loader);
        infoA.FilePath = pathA;
        infoB.FilePath = pathB;
        EXPECT_TRUE(loader.NotifyLoadGInfo(&infoA, w1.Handle()));
        // Busy from the accepted request on: kept, not started beside it.
        EXPECT_FALSE(loader.NotifyLoadGInfo(&infoB, w2.Handle()));
        EXPECT_TRUE(loader.HasKeptRequest());
        PumpUntilIdle(loader);
        EXPECT_EQ(
            log.Events(),
            (Events{Step("start T:\\A.ASF"), Step("read 0"), End("W1", int(a.gps.size()), int(a.gsensor.size())),
                    Step("start T:\\B.ASF"), Step("read 0"), End("W2", int(b.gps.size()), int(b.gsensor.size()))}));
        EXPECT_EQ(Snapshot(infoA), a);
        EXPECT_EQ(Snapshot(infoB), b);
        EXPECT_FALSE(loader.HasKeptRequest());
    }
    // One record asked for twice (the playback control opening two
    // recordings in a row): the first answer says it was superseded and
    // leaves the record alone; the second brings the tracks.
    {
        SCOPED_TRACE("one record");
        EventLog log;
        LoadGate gate(log);
        TAsfFileInfo info;
        TDataLoad loader(&gate);
        AnswerWindow w(log, "W", info, &loader);
        info.FilePath = pathA;
        EXPECT_TRUE(loader.NotifyLoadGInfo(&info, w.Handle()));
        info.FilePath = pathB;
        EXPECT_FALSE(loader.NotifyLoadGInfo(&info, w.Handle()));
        PumpUntilIdle(loader);
        EXPECT_EQ(
            log.Events(),
            (Events{Step("start T:\\A.ASF"), Step("read 0"), Error("W", GInfoLoadSuperseded), Step("start T:\\B.ASF"),
                    Step("read 0"), End("W", int(b.gps.size()), int(b.gsensor.size()))}));
        EXPECT_EQ(Snapshot(info), b);
        EXPECT_EQ(info.Loaded, 1);
    }
}

TEST_F(TrackLoaderThread, RequestDuringAHeldLoadIsKeptAndServedAfterIt)
{
    const rtl::UnicodeString pathA = PutSample("A.ASF", 2);
    const rtl::UnicodeString pathB = PutSample("B.ASF", 3);
    const rtl::UnicodeString pathC = PutSample("C.ASF", 4);
    const Tracks c = ReadDirectly(pathC);
    const Tracks b = ReadDirectly(pathB);

    struct Row {
        const char* name;
        std::vector<rtl::UnicodeString> during; // requests made while A is held
        std::vector<Event> expected;
        const Tracks* delivered;
    };
    const std::vector<Row> rows = {
        {"one request",
         {pathB},
         {Step("start T:\\A.ASF"), Step("read 0"), Error("W", GInfoLoadSuperseded), Step("start T:\\B.ASF"),
          Step("read 0"), End("W", int(b.gps.size()), int(b.gsensor.size()))},
         &b},
        {"only the newest is kept",
         {pathB, pathC},
         {Step("start T:\\A.ASF"), Step("read 0"), Error("W", GInfoLoadSuperseded), Step("start T:\\C.ASF"),
          Step("read 0"), End("W", int(c.gps.size()), int(c.gsensor.size()))},
         &c},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EventLog log;
        LoadGate gate(log);
        TAsfFileInfo info;
        TDataLoad loader(&gate);
        AnswerWindow w(log, "W", info, &loader);

        gate.HoldNext();
        info.FilePath = pathA;
        EXPECT_TRUE(loader.NotifyLoadGInfo(&info, w.Handle()));
        gate.WaitUntilHeld();
        for (const rtl::UnicodeString& path : row.during) {
            info.FilePath = path;
            EXPECT_FALSE(loader.NotifyLoadGInfo(&info, w.Handle()));
            // The request took its own copy of the path.
            info.FilePath = u"T:\\GONE.ASF";
            EXPECT_TRUE(loader.Busy());
            EXPECT_TRUE(loader.HasKeptRequest());
            EXPECT_EQ(info.Loaded, 0);
            EXPECT_EQ(info.GpsList->Count(), 0);
        }
        // Nothing is answered while the load is held.
        EXPECT_TRUE(win::PumpPendingMessages());
        EXPECT_EQ(log.Events(), (Events{Step("start T:\\A.ASF")}));
        gate.Release();
        PumpUntilIdle(loader);
        EXPECT_EQ(log.Events(), row.expected);
        EXPECT_EQ(Snapshot(info), *row.delivered);
    }
}

TEST_F(TrackLoaderThread, ReaderFailureCodesReachLoadErrorWithLoadedZero)
{
    using asfwriter::Bytes;
    using asfwriter::Packet;
    // A good packet with a sentence, then one whose first bytes the reader refuses.
    auto badSecondPacket = [](std::uint8_t flags, std::uint8_t firstByte) {
        asfwriter::AsfWriter writer(asfwriter::FileOptions{});
        Packet good;
        good.payloads = {TrackPayload("$GX,11,+,11,+,11,+", 100), TrackPayload(asfwriter::GxSentence(5, -2, 16), 200)};
        writer.AddPacket(good);
        Packet bad;
        bad.format.errorCorrectionFlags = flags;
        bad.format.errorCorrection[0] = firstByte;
        bad.payloads = {TrackPayload(asfwriter::GxSentence(1, 1, 1), 300)};
        writer.AddPacket(bad);
        return writer.Finish();
    };
    asfwriter::SampleOptions shortOptions;
    shortOptions.seconds = 4;
    shortOptions.framesPerSecond = 2;
    shortOptions.width = 32;
    shortOptions.height = 32;
    shortOptions.distinctFrames = 1;
    // The last packet ends half way.
    Bytes cut = asfwriter::SampleRecordingBytes(shortOptions);
    cut.resize(cut.size() - asfwriter::DefaultPacketSize / 2);

    struct Row {
        const char* name;
        std::optional<Bytes> bytes; // none: the file does not exist
        int code;
    };
    const std::vector<Row> rows = {
        {"missing file", std::nullopt, 1},
        {"cut short", cut, 2},
        {"opaque data", badSecondPacket(0x92, 0), 12},
        {"error correction length type", badSecondPacket(0xA2, 0), 13},
        {"error correction data length", badSecondPacket(0x83, 0), 14},
        {"first error correction byte", badSecondPacket(0x82, 1), 14},
    };
    EventLog log;
    LoadGate gate(log);
    TAsfFileInfo info;
    TDataLoad loader(&gate);
    AnswerWindow w(log, "W", info, &loader);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(row.name);
        const std::string name = "F" + std::to_string(i) + ".ASF";
        const rtl::UnicodeString path = row.bytes
            ? Put(name, *row.bytes)
            : rtl::UnicodeString(u"T:\\") + rtl::UnicodeString(rtl::Utf8ToUtf16(name));
        const Tracks direct = ReadDirectly(path);
        ASSERT_EQ(direct.code, row.code);
        const std::size_t before = log.Events().size();
        // A record that showed tracks before: the failure must not leave it loaded.
        info.Loaded = 1;
        info.FilePath = path;
        EXPECT_TRUE(loader.NotifyLoadGInfo(&info, w.Handle()));
        PumpUntilIdle(loader);
        const Events events = log.Events();
        const Events got(events.begin() + static_cast<std::ptrdiff_t>(before), events.end());
        // The records read before the failure stay.
        EXPECT_EQ(got,
                  (Events{Step("start " + rtl::ToUtf8(path)), Step("read " + std::to_string(row.code)),
                          Error("W", row.code, int(direct.gps.size()), int(direct.gsensor.size()))}));
        EXPECT_EQ(Snapshot(info, row.code), direct);
        EXPECT_EQ(info.Loaded, 0);
    }
    EXPECT_TRUE(LoaderLines(LogLines()).empty());
}

TEST_F(TrackLoaderThread, EmptyTracksGiveLoadEndWithLoadedOne)
{
    // Pictures only: no track stream at all.
    asfwriter::FileOptions options;
    options.track.reset();
    asfwriter::AsfWriter writer(options);
    asfwriter::Packet packet;
    asfwriter::Payload picture;
    picture.streamNumber = 1;
    picture.replicated = asfwriter::Replicated(100, 0);
    picture.data.assign(100, 0x5A);
    packet.payloads = {picture};
    writer.AddPacket(packet);
    writer.AddPacket(packet);
    const rtl::UnicodeString path = Put("NOTRACK.ASF", writer.Finish());

    EventLog log;
    LoadGate gate(log);
    TAsfFileInfo info;
    // Records of an earlier recording go.
    info.AddGpsInfo(new TGpsInfo);
    info.AddGSensorInfo(new TGSensorInfo);
    info.GpsCursor = 7;
    TDataLoad loader(&gate);
    AnswerWindow w(log, "W", info, &loader);
    info.FilePath = path;
    EXPECT_TRUE(loader.NotifyLoadGInfo(&info, w.Handle()));
    PumpUntilIdle(loader);
    EXPECT_EQ(log.Events(), (Events{Step("start T:\\NOTRACK.ASF"), Step("read 0"), End("W", 0, 0)}));
    EXPECT_EQ(info.Loaded, 1);
    EXPECT_EQ(info.GpsCursor, 0);
}

TEST_F(TrackLoaderThread, ListsStayUnchangedWhileTheAnswerIsHandled)
{
    const rtl::UnicodeString pathA = PutSample("A.ASF", 3);
    const rtl::UnicodeString pathB = PutSample("B.ASF", 2);
    const Tracks a = ReadDirectly(pathA);
    const Tracks b = ReadDirectly(pathB);

    EventLog log;
    LoadGate gate(log);
    TAsfFileInfo info;
    TDataLoad loader(&gate);
    bool first = true;
    std::vector<Tracks> seen;
    AnswerWindow w(log, "W", info, &loader, [&](win::TMessage&) {
        seen.push_back(Snapshot(info));
        if (first) {
            first = false;
            // The playback control opening the next recording from inside the
            // handler: kept, and nothing may refill the lists meanwhile.
            info.FilePath = pathB;
            EXPECT_FALSE(loader.NotifyLoadGInfo(&info, w.Handle()));
            EXPECT_TRUE(win::PumpPendingMessages());
            seen.push_back(Snapshot(info));
        }
    });
    info.FilePath = pathA;
    EXPECT_TRUE(loader.NotifyLoadGInfo(&info, w.Handle()));
    PumpUntilIdle(loader);

    // The request made in the handler emptied the record at once (its
    // recording now plays); the worker changed nothing until the handler returned.
    Tracks emptied;
    EXPECT_EQ(seen, (std::vector<Tracks>{a, emptied, b}));
    EXPECT_EQ(log.Events(),
              (Events{Step("start T:\\A.ASF"), Step("read 0"), End("W", int(a.gps.size()), int(a.gsensor.size())),
                      Step("start T:\\B.ASF"), Step("read 0"), End("W", int(b.gps.size()), int(b.gsensor.size()))}));
}

TEST_F(TrackLoaderThread, FailuresWithoutAnswerLogAndLeaveTheWorkerIdle)
{
    const rtl::UnicodeString path = PutSample("A.ASF", 2);
    const Tracks a = ReadDirectly(path);
    EventLog log;
    LoadGate gate(log);
    TAsfFileInfo info;
    TDataLoad loader(&gate);
    AnswerWindow w(log, "W", info, &loader);

    // No window: the record is not touched and nobody is answered.
    info.AddGpsInfo(new TGpsInfo);
    info.Loaded = 1;
    info.FilePath = path;
    EXPECT_TRUE(loader.NotifyLoadGInfo(&info, nullptr));
    PumpUntilIdle(loader);
    EXPECT_EQ(info.Loaded, 1);
    EXPECT_EQ(info.GpsList->Count(), 1);

    // A failure that escapes the reader: logged, no answer, Loaded 0.
    gate.FailNext(u"card removed");
    EXPECT_TRUE(loader.NotifyLoadGInfo(&info, w.Handle()));
    PumpUntilIdle(loader);
    EXPECT_EQ(info.Loaded, 0);
    EXPECT_EQ(info.GpsList->Count(), 0);

    // No record at all.
    EXPECT_FALSE(loader.NotifyLoadGInfo(nullptr, w.Handle()));
    EXPECT_FALSE(loader.Busy());

    // The worker takes the next request.
    EXPECT_TRUE(loader.NotifyLoadGInfo(&info, w.Handle()));
    PumpUntilIdle(loader);

    EXPECT_EQ(log.Events(),
              (Events{Step("start T:\\A.ASF"), Step("start T:\\A.ASF"), Step("read 0"),
                      End("W", int(a.gps.size()), int(a.gsensor.size()))}));
    EXPECT_EQ(LoaderLines(LogLines()),
              (std::vector<std::string>{
                  "TGInfoLoadThread::OnGInfoLoad ERROR:No m_hWnd",
                  "TGInfoLoadThread::OnGInfoLoad ERROR:card removed",
                  "TDataLoad::NotifyLoadGInfo ERROR:No track record",
              }));
}

TEST_F(TrackLoaderThread, DestructionWhileIdleEndsTheWorker)
{
    EventLog log;
    LoadGate gate(log);
    auto loader = std::make_unique<TDataLoad>(&gate);
    TGInfoLoadThread* worker = loader->LoadThread();
    EXPECT_FALSE(worker->Suspended());
    EXPECT_EQ(worker->Priority.load(), win::tpNormal);
    gate.Watch(worker);
    loader.reset();
    EXPECT_EQ(log.Events(), (Events{Step("stopping")}));
    EXPECT_EQ(gate.PriorityAtStopping(), win::tpHigher);
    EXPECT_TRUE(LoaderLines(LogLines()).empty());
}

TEST_F(TrackLoaderThread, DestructionDuringALoadWaitsForItAndAnswersNobody)
{
    const rtl::UnicodeString path = PutSample("A.ASF", 2);
    struct Row {
        const char* name;
        bool heldInReader; // held before the read, released by the destructor
        bool windowGoneFirst; // the answered window is destroyed before the loader
        std::vector<Event> expected;
    };
    const std::vector<Row> rows = {
        {"held before the read", true, false, {Step("start T:\\A.ASF"), Step("stopping"), Step("read 0")}},
        {"handing back", false, false, {Step("start T:\\A.ASF"), Step("read 0"), Step("stopping")}},
        {"window destroyed first", false, true, {Step("start T:\\A.ASF"), Step("read 0"), Step("stopping")}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EventLog log;
        LoadGate gate(log);
        TAsfFileInfo info;
        auto loader = std::make_unique<TDataLoad>(&gate);
        AnswerWindow w(log, "W", info, loader.get());
        if (row.heldInReader) {
            gate.HoldNext();
            gate.ReleaseOnStopping();
        }
        info.FilePath = path;
        const int readsBefore = gate.Reads();
        EXPECT_TRUE(loader->NotifyLoadGInfo(&info, w.Handle()));
        // The user interface thread handles no message meanwhile: the
        // worker's hand-back waits for the destructor's wait.
        if (row.heldInReader)
            gate.WaitUntilHeld();
        else
            gate.WaitUntilReads(readsBefore + 1);
        // Kept requests are not started any more.
        EXPECT_FALSE(loader->NotifyLoadGInfo(&info, w.Handle()));
        if (row.windowGoneFirst)
            w.Destroy();
        loader.reset();
        EXPECT_EQ(log.Events(), row.expected);
        EXPECT_EQ(info.Loaded, 0);
        EXPECT_EQ(info.GpsList->Count(), 0);
        EXPECT_TRUE(win::PumpPendingMessages());
        EXPECT_EQ(log.Events(), row.expected);
    }
    EXPECT_TRUE(LoaderLines(LogLines()).empty());
}

TEST_F(TrackLoaderThread, AnAnswerHandlerThatRaisesLeavesTheLoaderUsable)
{
    const rtl::UnicodeString a = PutSample("A.ASF", 2);
    const rtl::UnicodeString b = PutSample("B.ASF", 3);
    EventLog log;
    LoadGate gate(log);
    TAsfFileInfo info;
    TAsfFileInfo other;
    TDataLoad loader(&gate);
    int answers = 0;
    AnswerWindow w(log, "W", info, &loader, [&](win::TMessage&) {
        if (++answers > 1)
            return;
        // A request made in the handler is kept; then the handler fails.
        other.FilePath = b;
        EXPECT_FALSE(loader.NotifyLoadGInfo(&other, w.Handle()));
        throw std::runtime_error("handler failed");
    });
    info.FilePath = a;
    ASSERT_TRUE(loader.NotifyLoadGInfo(&info, w.Handle()));
    EXPECT_THROW(win::PumpUntil([&] { return !loader.Busy(); }), std::runtime_error);
    // The kept request went on regardless and is answered.
    PumpUntilIdle(loader);
    EXPECT_EQ(answers, 2);
    EXPECT_EQ(other.Loaded, 1);
    EXPECT_FALSE(loader.Busy());

    // And the loader takes the next request at once.
    info.FilePath = a;
    EXPECT_TRUE(loader.NotifyLoadGInfo(&info, w.Handle()));
    PumpUntilIdle(loader);
    EXPECT_EQ(answers, 3);
    EXPECT_EQ(info.Loaded, 1);
}

} // namespace
} // namespace loader_test
