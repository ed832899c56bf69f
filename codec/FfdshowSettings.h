// The decoder settings that the installation writes: eight keys below
// "\SOFTWARE\GNU\" in the machine and the user hive, 760 values, and the 30
// audio defaults. Held as data, one row per value, in the order of writing;
// the counts are checked at compile time.
#pragma once

#include <cstdint>
#include <span>

namespace codec {

enum class SettingType {
    Dword, // REG_DWORD `number` (negative numbers are stored as their 32-bit pattern)
    String, // REG_SZ `text`; the decoder folder when `decoderFolder` is set
    Binary, // REG_BINARY of `number` zero bytes
};

struct Setting {
    const char16_t* name;
    SettingType type;
    std::int32_t number;
    const char16_t* text;
    bool decoderFolder;
};

enum class SettingsHive { Machine, User };

struct SettingsKey {
    SettingsHive hive;
    const char16_t* path;
    std::span<const Setting> values;
};

// The eight keys in the order the installation writes them: the machine's
// ffdshow, ffdshow_audio, ffdshow_vfw; the user's ffdshow, ffdshow\default,
// ffdshow_audio, ffdshow_audio\default, ffdshow_vfw\default.
std::span<const SettingsKey> InstallationKeys();

// The audio defaults of "\Software\GNU\ffdshow_audio\default" (user hive).
inline constexpr const char16_t* kAudioDefaultsKey = u"\\Software\\GNU\\ffdshow_audio\\default";
std::span<const Setting> AudioDefaults();

inline constexpr std::size_t kInstallationValueCount = 760;

} // namespace codec
