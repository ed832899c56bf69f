#include "recorder/SettingsFiles.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/FileStream.h"
#include "platform/rtl/MemoryStream.h"
#include "platform/rtl/Numbers.h"
#include "platform/win/Files.h"
#include "platform/win/LastError.h"

using rtl::UnicodeString;

UnicodeString SetupIniPath(const UnicodeString& programFolder)
{
    return programFolder.SubString(1, 1) + u":\\setup.ini";
}

UnicodeString TimeSetIniPath(const UnicodeString& programFolder)
{
    const int at = programFolder.Pos(u":\\");
    return (at > 0 ? programFolder.SubString(1, at) : programFolder) + u"\\TIMESET.ini";
}

int ThresholdDigitOf(int position) { return 9 - std::clamp(position, 0, 4); }

int ThresholdPositionOf(int digit) { return std::clamp(9 - digit, 0, 4); }

std::string SetupIniText(bool eventFileOverwrite, int thresholdDigit, bool gEventEnabled)
{
    const char digit = static_cast<char>('0' + std::clamp(thresholdDigit, 0, 9));
    return std::string("[Monitor]\r\n") + "PROTECT_EVFILE=" + (eventFileOverwrite ? '1' : '0') + "\r\n" +
        "GSS_THRESHOLD=" + digit + "\r\n" + "GSS_EVENT_ENABLE=" + (gEventEnabled ? '1' : '0') + "\r\n";
}

std::string TimeSetIniText(const UnicodeString& dateText, const UnicodeString& timeText)
{
    if (dateText.Length() < 10 || timeText.Length() < 5)
        throw rtl::EConvertError(UnicodeString(u"'") + dateText + u" " + timeText + u"' is not a valid date and time");
    std::string bytes;
    const UnicodeString text = dateText.SubString(1, 10) + u" " + timeText.SubString(1, 5);
    for (char16_t c : text.view())
        bytes += static_cast<char>(c & 0xFF);
    return bytes + "\r\n";
}

bool LoadSetupIniLines(const UnicodeString& path, rtl::TStringList& lines)
{
    lines.Clear();
    if (!win::FileExists(path))
        return false;
    rtl::TFileStream file(path, rtl::fmOpenRead | rtl::fmShareDenyNone);
    const std::int64_t size = file.Size();
    const auto length = static_cast<std::int32_t>(std::clamp<std::int64_t>(size, 0, SetupIniReadLimit));
    std::vector<char> head(static_cast<std::size_t>(length));
    const std::int32_t got = length > 0 ? file.Read(head.data(), length) : 0;
    rtl::TMemoryStream memory;
    if (got > 0)
        memory.WriteBuffer(head.data(), got);
    memory.Seek(0, rtl::soBeginning);
    lines.LoadFromStream(memory);
    return true;
}

namespace {
// The character at a 1-based place of a line, or 0 when the line is shorter.
char16_t CharAt(const rtl::TStrings& lines, int line, int place)
{
    const UnicodeString text = lines.Strings(line);
    return text.Length() >= place ? text[place] : 0;
}
} // namespace

bool SetupEventFileOverwrite(const rtl::TStrings& lines) { return CharAt(lines, 1, 16) == u'1'; }

int SetupThresholdDigit(const rtl::TStrings& lines)
{
    const char16_t c = CharAt(lines, 2, 15);
    if (c < u'0' || c > u'9')
        throw rtl::EConvertError(UnicodeString(u"'") + (c ? UnicodeString(c) : UnicodeString()) +
                                 u"' is not a valid integer value");
    return c - u'0';
}

bool SetupGEventEnabled(const rtl::TStrings& lines) { return CharAt(lines, 3, 18) == u'1'; }

void ReplaceFileBytes(const UnicodeString& path, const std::string& bytes)
{
    const UnicodeString temporary = path + u".tmp";
    try {
        auto file = std::make_unique<rtl::TFileStream>(temporary, rtl::fmCreate);
        file->WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
        // On the card before the rename, so a power loss cannot leave it empty.
        if (!file->FlushToDisk())
            throw rtl::EWriteError(u"Stream write error");
        file.reset();
    } catch (rtl::Exception&) {
        win::DeleteFile(temporary);
        throw;
    }
    if (!win::MoveFileEx(temporary.c_str(), path.c_str(), win::MOVEFILE_REPLACE_EXISTING)) {
        const auto error = win::GetLastError();
        win::DeleteFile(temporary);
        throw rtl::EFCreateError(UnicodeString(u"Cannot create file \"") + path + u"\". " +
                                 rtl::SysErrorMessage(error));
    }
}
