// The stored form of the viewing password: each byte scrambled with a fixed
// key that repeats every 20 bytes, and the fixed texts around it.
#pragma once

#include "platform/rtl/rtl.h"

// Key of the scrambling; byte i of a text uses key character ((i - 1) mod 20) + 1.
inline constexpr char kPasswordKey[] = "Tk8mQz52Rwd9Hx40aL7p";
// The password that stands behind either marker.
inline constexpr char kDefaultPassword[] = "3804";
// The two markers a delivered settings file may hold; both mean the default
// password, wherever the stored form is read.
inline constexpr char kStartupPasswordMarker[] = "MossTideFern";
inline constexpr char kMainWindowPasswordMarker[] = "KelpRiftOats";

// Byte i out = (key XOR byte i) + 48, modulo 256; as long as the input.
// A failure is logged (when the log exists) and gives the empty text.
AnsiString EncodePassword(const AnsiString& password);
// The inverse: byte i out = (byte i - 48) XOR key, modulo 256.
AnsiString DecodePassword(const AnsiString& stored);

// The stored form as a settings file holds it: every byte of the hex text,
// zero bytes included. `Intact` is false when the text is damaged (a digit
// that is no hex digit, or an odd count); `Bytes` then holds the bytes
// before the damage. A missing file, section or key is an intact empty form.
struct TStoredPassword {
    AnsiString Bytes;
    bool Intact = true;
};
TStoredPassword ReadStoredPassword(const TIniFile& settings, const UnicodeString& section, const UnicodeString& key);

// The password a stored form stands for: the default password for either
// marker, else the form descrambled; empty for an empty form.
AnsiString PasswordFromStoredForm(const AnsiString& stored);
