// What the decoder installation's operations share: log calls on the
// program's log, the decoder's names and folder, the filter lookup.
#pragma once

#include "platform/rtl/Exception.h"
#include "platform/rtl/UnicodeString.h"
#include "platform/win/Types.h"

namespace codec::detail {

inline constexpr const char16_t* kVideoDecoderName = u"ffdshow Video Decoder";
inline constexpr const char16_t* kProgramFileName = u"Velmorastine II.exe";
inline constexpr int kOwnRevision = 2528;
// The video decoder's settings key (below the machine's or the user's root).
inline constexpr const char16_t* kDecoderKey = u"\\SOFTWARE\\GNU\\ffdshow";

void LogDebug(const rtl::UnicodeString& text);
void LogInfo(const rtl::UnicodeString& text);
void LogError(const rtl::UnicodeString& text);
void LogWarningBox(const rtl::UnicodeString& text);
// "<name> ERROR:" directly followed by the exception's message.
void LogException(const char16_t* name, const rtl::Exception& e);

// `ProgramFolder` followed directly by "\ffdshow".
rtl::UnicodeString DecoderFolder();
// Whether "ffdshow Video Decoder" is registered (the lookup without a graph).
bool VideoDecoderRegistered();
// One wait of a registration poll: at most `ms`, over as soon as the filter
// is (`registered`) or is no longer registered. It looks without the
// lookup's log line, so the poll logs what it logged with whole waits.
void WaitForVideoDecoder(bool registered, win::DWORD ms);
// The main window's handle, the owner of the programs the installation starts.
win::HWND OwnerWindow();

// True when the text can stand in a parameter text: no double quote and no
// control character.
bool IsSafeParameterText(const rtl::UnicodeString& text);

// Set when this process started the unregistration of its own decoder; the
// restart waits for it to finish.
extern bool UnregistrationStarted;

} // namespace codec::detail
