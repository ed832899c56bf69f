// The stored form of the viewing password: each byte scrambled with a fixed
// key that repeats every 20 bytes, and the fixed texts around it.
#pragma once

#include "platform/rtl/rtl.h"

// Key of the scrambling; byte i of a text uses key character ((i - 1) mod 20) + 1.
inline constexpr char kPasswordKey[] = "Tk8mQz52Rwd9Hx40aL7p";
// The password that stands behind either marker.
inline constexpr char kDefaultPassword[] = "3804";
// The marker the start-up compares the stored form with.
inline constexpr char kStartupPasswordMarker[] = "MossTideFern";
// The marker the main window's settings load compares it with.
inline constexpr char kMainWindowPasswordMarker[] = "KelpRiftOats";

// Byte i out = (key XOR byte i) + 48, modulo 256; as long as the input.
AnsiString EncodePassword(const AnsiString& password);
// The inverse: byte i out = (byte i - 48) XOR key, modulo 256.
AnsiString DecodePassword(const AnsiString& stored);

// The stored form in a settings file: the bytes that the hex text of
// `section`/`key` really holds (a bad pair or an odd last digit ends them),
// up to the first zero byte. Missing file, section or key: empty.
AnsiString ReadStoredPassword(const TIniFile& settings, const UnicodeString& section, const UnicodeString& key);
