// Keeping a decoder that the computer already has: the program joins its
// program lists and, for the run, points its folder at the program's copy.
#include "codec/CodecSupport.h"
#include "codec/FfdshowInstall.h"
#include "platform/win/Clock.h"

using namespace win;
using namespace codec::detail;
using rtl::UnicodeString;

namespace {

bool IsAbsent(const UnicodeString& text) { return text.IsEmpty() || text == u"0"; }

bool EndsWith(const UnicodeString& text, const char16_t* tail)
{
    std::u16string_view t = text.view(), s = tail;
    return t.size() >= s.size() && t.substr(t.size() - s.size()) == s;
}

// The list with the program's name added: a separator first when the text does
// not end in one, so that the last entry keeps its own name.
UnicodeString WithProgramAdded(const UnicodeString& list, const char16_t* separator)
{
    UnicodeString out = list;
    if (!out.IsEmpty() && !EndsWith(out, separator))
        out += separator;
    return out + kProgramFileName + separator;
}

struct ListKey {
    const char16_t* path;
    const char16_t* logPrefix;
    const char16_t* extraValue;
};

constexpr ListKey kListKeys[] = {
    {u"\\Software\\GNU\\ffdshow", u"ffdshow", u"h264"},
    {u"\\Software\\GNU\\ffdshow_audio", u"ffdshow_audio", u"otherAdpcm"},
};

} // namespace

int GetFfdshowRevision(TRegistry* registry)
{
    int revision = 0;
    try {
        registry->RootKey = HKEY_LOCAL_MACHINE;
        if (registry->OpenKey(kDecoderKey, false)) {
            revision = registry->ReadInteger(u"revision");
            registry->CloseKey();
        }
    } catch (rtl::Exception& e) {
        LogException(u"GetFfdshowRevision", e);
    }
    return revision;
}

void UpdateFfdshowRegistry(TRegistry* registry)
{
    try {
        for (const ListKey& key : kListKeys) {
            registry->RootKey = HKEY_CURRENT_USER;
            if (!registry->OpenKey(key.path, true))
                continue;
            UnicodeString useOnlyIn = registry->GetDataAsString(u"useonlyin", false);
            if (!IsAbsent(useOnlyIn) && useOnlyIn.Pos(kProgramFileName) == 0) {
                registry->WriteString(u"useonlyin", WithProgramAdded(useOnlyIn, u"\r\n"));
                LogDebug(UnicodeString(key.logPrefix) + u" Registry [useonlyin] is been updated.");
            }
            UnicodeString whitelist = registry->GetDataAsString(u"whitelist", false);
            if (whitelist != u"0" && whitelist.Pos(kProgramFileName) == 0) {
                registry->WriteString(u"whitelist", WithProgramAdded(whitelist, u";"));
                LogDebug(UnicodeString(key.logPrefix) + u" Registry [whitelist] is been updated.");
            }
            registry->WriteInteger(key.extraValue, 1);
            registry->CloseKey();
        }
    } catch (rtl::Exception& e) {
        LogException(u"UpdateFfdshowRegistry", e);
    }
}

// The computer's folder is saved in `jcbakpth` before anything else, and the
// program's copy is registered only once that save stands.
void ChangePcFfdshowSet(TRegistry* registry)
{
    try {
        UnicodeString folder = DecoderFolder();
        registry->RootKey = HKEY_LOCAL_MACHINE;
        if (!registry->OpenKey(kDecoderKey, true))
            return;
        if (IsAbsent(registry->GetDataAsString(u"jcbakpth", false)))
            registry->WriteString(u"jcbakpth", registry->GetDataAsString(u"pth", false));
        RegisterFfdshowAx(folder);
        for (int attempt = 0; attempt < 50; ++attempt) {
            WaitForVideoDecoder(true, 100);
            if (VideoDecoderRegistered())
                break;
        }
        registry->WriteString(u"pth", folder);
        registry->CloseKey();
    } catch (rtl::Exception& e) {
        LogException(u"ChangePcFfdshowSet", e);
    }
}

// Opens the machine key without creating it, and drops the saved folder only
// once the computer's own decoder file is being registered again.
void RecoverPcFfdshowSet(TRegistry* registry)
{
    try {
        registry->RootKey = HKEY_LOCAL_MACHINE;
        if (!registry->OpenKey(kDecoderKey, false))
            return;
        UnicodeString saved = registry->GetDataAsString(u"jcbakpth", false);
        if (!IsAbsent(saved)) {
            registry->WriteString(u"pth", saved);
            if (RegisterFfdshowAx(saved) > 32)
                registry->DeleteValue(u"jcbakpth");
        }
        registry->CloseKey();
    } catch (rtl::Exception& e) {
        LogException(u"RecoverPcFfdshowSet", e);
    }
}
