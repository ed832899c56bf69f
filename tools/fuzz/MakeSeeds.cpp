// Writes the fuzz targets' seed corpora: small recordings of every packet
// form the reader meets (also the seeds of the header and media targets),
// sentences of both kinds, hive texts and settings files.
//   fuzz_seeds READER_DIR SENTENCE_DIR HIVE_DIR SETTINGS_DIR
#include "tools/asfwriter/AsfWriter.h"
#include "tools/asfwriter/SampleRecording.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace asfwriter;

namespace {

void Save(const std::string& path, const Bytes& b)
{
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(b.data(), 1, b.size(), f);
        std::fclose(f);
    }
}

Payload Track(const std::string& text, std::uint32_t ms)
{
    Payload p;
    p.streamNumber = 3;
    p.replicated = Replicated(static_cast<std::uint32_t>(text.size()), ms);
    p.data.assign(text.begin(), text.end());
    return p;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: fuzz_seeds READER_DIR SENTENCE_DIR HIVE_DIR SETTINGS_DIR\n");
        return 2;
    }
    const std::string reader = argv[1], sentence = argv[2], hive = argv[3], settings = argv[4];
    const std::string rmc = RmcSentence(9, 30, 0, 35.652056666667, -139.761315, 10.5, 84.4, 17, 5, 2024);
    const std::string gx = GxSentence(-1, 127, -128);

    SampleOptions o;
    o.seconds = 2;
    o.framesPerSecond = 2;
    o.width = 16;
    o.height = 16;
    Save(reader + "/sample_multiple.asf", SampleRecordingBytes(o));
    o.mux.multiplePayloads = false;
    Save(reader + "/sample_single.asf", SampleRecordingBytes(o));

    // Every width of every length type, with a split object.
    for (int w = 0; w < 4; ++w) {
        FileOptions fo;
        fo.video.reset();
        fo.audio.reset();
        AsfWriter writer(fo);
        Packet p;
        p.format.packetLength = p.format.sequence = p.format.padding = static_cast<Width>(w);
        p.format.mediaObjectNumber = p.format.offsetIntoObject = static_cast<Width>(w);
        p.format.replicatedLength = w ? static_cast<Width>(w) : Width::Byte;
        p.format.payloadLength = w ? static_cast<Width>(w) : Width::Byte;
        p.payloads = {Track(gx, 0), Track(rmc.substr(0, 20), 1000)};
        p.payloads[1].replicated = Replicated(static_cast<std::uint32_t>(rmc.size()), 1000);
        writer.AddPacket(p);
        p.payloads = {Track(rmc.substr(20), 1000), Track(gx, 1000)};
        p.payloads[0].replicated = Replicated(static_cast<std::uint32_t>(rmc.size()), 1000);
        writer.AddPacket(p);
        Save(reader + "/widths" + std::to_string(w) + ".asf", writer.Finish());
    }

    const std::vector<std::string> sentences{rmc, gx, "$GPRMC,1,A,3500,S,13500,W,0,0", "$GX,FFFFFFFF,,\"7f\",,01",
                                             "$GPRMC,1,A,1e300,N,x,E,1e308,1e39"};
    for (std::size_t i = 0; i < sentences.size(); ++i)
        Save(sentence + "/s" + std::to_string(i), Bytes(sentences[i].begin(), sentences[i].end()));

    const std::vector<std::string> hives{
        "Velmorastine registry hive 1\n[\\]\n\"at root\"=dword:00000001\n[\\SOFTWARE]\n[\\SOFTWARE\\GNU\\ffdshow]\n"
        "\"revision\"=dword:000009e0\n\"pth\"=sz:\"E:\\\\APP\\\\ffdshow\"\n\"lines\"=sz:\"a\\r\\n\\t\\u0001\"\n"
        "\"bin\"=hex(3):00,01,ff\n\"path\"=expand:\"%PATH%\"\n[\\SOFTWARE\\GNU\\100%0025 [x]]\n",
        "Velmorastine registry hive 1\r\n[\\SOFTWARE\\Vendor%005C]\r\n\"\"=sz:\"\"\r\n",
    };
    for (std::size_t i = 0; i < hives.size(); ++i)
        Save(hive + "/h" + std::to_string(i), Bytes(hives[i].begin(), hives[i].end()));

    // The first byte chooses the values written (see FuzzSettingsFiles).
    const std::vector<std::string> files{
        std::string("\x05") + "[SYSTEM]\r\np_m=6A7F\r\nscreen=2\r\n[VIEWER_VER]\r\nversion=V05A01\r\n",
        std::string("\x2A") + "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=7\r\nGSS_EVENT_ENABLE=1\r\n",
        std::string("\x01") + "\xEF\xBB\xBF; comment\n[a] \nk = \"quoted\" \n\n[A]\nK=2\rlast",
        std::string("\x03") + std::string("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0v\0", 19),
    };
    for (std::size_t i = 0; i < files.size(); ++i)
        Save(settings + "/f" + std::to_string(i), Bytes(files[i].begin(), files[i].end()));
    return 0;
}
