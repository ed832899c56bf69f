// libFuzzer target: a settings file through the INI reader and writer behind
// "view" and through the reader and writer of "setup.ini". The first input
// byte chooses the values written; the rest is the file.
//   "view": every key reads back as written, every other key as before.
//   "setup.ini": the three values read back as written.
#include "platform/rtl/Exception.h"
#include "platform/rtl/IniFile.h"
#include "platform/rtl/StringList.h"
#include "recorder/SettingsFiles.h"

#include "tools/fuzz/FuzzCard.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>

using rtl::UnicodeString;

namespace {

struct Entry {
    UnicodeString section, key;
};
// Names as the reader matches them: without regard to ASCII case.
std::u16string Id(const UnicodeString& name)
{
    std::u16string out = name.str();
    for (char16_t& c : out)
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - 32);
    return out;
}

using Snapshot = std::map<std::pair<std::u16string, std::u16string>, std::pair<Entry, UnicodeString>>;

// Every key as the reader lists it (names match without regard to case).
Snapshot Read(const rtl::TIniFile& ini)
{
    Snapshot out;
    rtl::TStringList sections, keys;
    ini.ReadSections(sections);
    for (int s = 0; s < sections.Count(); ++s) {
        ini.ReadSection(sections.Strings(s), keys);
        for (int k = 0; k < keys.Count(); ++k) {
            const Entry e{sections.Strings(s), keys.Strings(k)};
            const auto id = std::make_pair(Id(e.section), Id(e.key));
            if (!out.count(id))
                out[id] = {e, ini.ReadString(e.section, e.key, u"\x1F(missing)")};
        }
    }
    return out;
}

void Write(rtl::TIniFile& ini, const UnicodeString& section, const UnicodeString& key, const UnicodeString& value)
{
    const Snapshot before = Read(ini);
    try {
        ini.WriteString(section, key, value);
    } catch (rtl::Exception&) {
        __builtin_trap(); // the card's folder is writable
    }
    if (ini.ReadString(section, key, u"\x1F(missing)") != value)
        __builtin_trap();
    const Snapshot after = Read(ini);
    const auto written = std::make_pair(Id(section), Id(key));
    for (const auto& [id, was] : before)
        if (id != written && (!after.count(id) || after.at(id).second != was.second))
            __builtin_trap(); // another key changed
    if (after.size() != before.size() + (before.count(written) ? 0 : 1))
        __builtin_trap();
}

void View(std::uint8_t choice, const std::uint8_t* data, std::size_t size)
{
    fuzzcard::Put("view", data, size);
    rtl::TIniFile ini(u"F:\\view");
    // What the main window writes: the scrambled password, the view, the version.
    static const char16_t kHex[] = u"0123456789ABCDEF";
    std::u16string hex;
    for (std::size_t i = 0; i < size && i < 8; ++i)
        hex += std::u16string{kHex[data[i] >> 4], kHex[data[i] & 15]};
    Write(ini, u"SYSTEM", u"p_m", UnicodeString(hex));
    Write(ini, u"SYSTEM", u"screen", choice & 1 ? u"2" : u"4");
    Write(ini, u"VIEWER_VER", u"version", u"V05A01");
    // And a key the file already holds.
    const Snapshot keys = Read(ini);
    if (!keys.empty()) {
        auto it = keys.begin();
        std::advance(it, choice % keys.size());
        Write(ini, it->second.first.section, it->second.first.key, u"v" + UnicodeString(static_cast<int>(choice)));
    }
}

void SetupIni(std::uint8_t choice, const std::uint8_t* data, std::size_t size)
{
    fuzzcard::Put("setup.ini", data, size);
    rtl::TStringList lines;
    try {
        if (LoadSetupIniLines(u"F:\\setup.ini", lines)) {
            SetupEventFileOverwrite(lines);
            SetupGEventEnabled(lines);
            SetupThresholdDigit(lines);
        }
    } catch (rtl::Exception&) {
        // A short file or a threshold that is no digit: the window's defaults.
    }
    const bool overwrite = choice & 1, event = choice & 2;
    const int digit = (choice >> 2) % 10;
    try {
        ReplaceFileBytes(u"F:\\setup.ini", SetupIniText(overwrite, digit, event));
        if (!LoadSetupIniLines(u"F:\\setup.ini", lines) || SetupEventFileOverwrite(lines) != overwrite ||
            SetupThresholdDigit(lines) != digit || SetupGEventEnabled(lines) != event)
            __builtin_trap();
    } catch (rtl::Exception&) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || size > 1 << 16)
        return 0;
    View(data[0], data + 1, size - 1);
    SetupIni(data[0], data + 1, size - 1);
    return 0;
}
