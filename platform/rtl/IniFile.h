// The framework's INI file, with the rules of the system's private-profile
// calls. Every operation reads the file afresh (nothing is cached), so two
// objects on one file see each other's writes.
//
// Reading: a missing or unreadable file, section or key gives the default;
// section and key names match without regard to ASCII case; the first
// matching section and key win; values are trimmed and one pair of
// enclosing quotes (" or ') removed. Reads never raise.
//
// Writing: an existing key is replaced in place (the file keeps its
// spelling of the name); a new key goes after the last key of its section,
// a new section at the end of the file; the rest of the file is kept byte
// for byte. A missing file is created (code page 932, CR LF); a missing
// folder is not. Failure raises EIniFileException ("Unable to write to %s").
// The new text goes to a temporary file beside the old one, flushed to the
// disk and then renamed over it (permissions kept), so a failed write, a kill
// or a power loss keeps the old file; temporaries of killed writers are
// removed by the next write (platform/host/FileIo.h). A FIFO or a device
// in the file's place reads as a missing file and refuses writes.
//
// The file is code page 932, or UTF-16LE / UTF-8 when it starts with that
// byte-order mark (written back in the same encoding).
#pragma once

#include "platform/rtl/UnicodeString.h"

namespace rtl {

class TStream;
class TStrings;

class TIniFile {
public:
    explicit TIniFile(const UnicodeString& fileName);
    virtual ~TIniFile();

    const UnicodeString& FileName() const { return fileName_; }

    UnicodeString ReadString(const UnicodeString& section, const UnicodeString& ident,
                             const UnicodeString& defaultValue) const;
    // Decimal or "0x"/"$" hex (StrToInt's grammar); the default when the
    // value is missing or not a number.
    int ReadInteger(const UnicodeString& section, const UnicodeString& ident, int defaultValue) const;
    // "0" is false, any other number true; the default when not a number.
    bool ReadBool(const UnicodeString& section, const UnicodeString& ident, bool defaultValue) const;
    // Hex pairs (either case) -> bytes written at the stream's position,
    // stopping at the first bad pair or an odd last digit; returns the bytes
    // written. A memory stream's position is put back to where it was (so the
    // caller reads what was written). Never raises.
    int ReadBinaryStream(const UnicodeString& section, const UnicodeString& name, TStream& value) const;
    int ReadBinaryStream(const UnicodeString& section, const UnicodeString& name, TStream* value) const;

    void WriteString(const UnicodeString& section, const UnicodeString& ident, const UnicodeString& value);
    void WriteInteger(const UnicodeString& section, const UnicodeString& ident, int value);
    void WriteBool(const UnicodeString& section, const UnicodeString& ident, bool value);
    // The bytes from the stream's position to its end, as upper-case hex.
    void WriteBinaryStream(const UnicodeString& section, const UnicodeString& name, TStream& value);
    void WriteBinaryStream(const UnicodeString& section, const UnicodeString& name, TStream* value);

    bool SectionExists(const UnicodeString& section) const;
    bool ValueExists(const UnicodeString& section, const UnicodeString& ident) const;
    // Names in file order (first spelling of duplicates).
    void ReadSections(TStrings& sections) const;
    void ReadSection(const UnicodeString& section, TStrings& idents) const;
    // Remove a key / a whole section; missing ones are no failure. Raise as
    // the writes do when the file cannot be written.
    void DeleteKey(const UnicodeString& section, const UnicodeString& ident);
    void EraseSection(const UnicodeString& section);
    // Nothing is buffered; kept for the framework's interface.
    void UpdateFile() {}

private:
    UnicodeString fileName_;
};

} // namespace rtl
