// The framework's abstract list of strings. A subclass stores the strings
// (TStringList here, the items of list controls in the form layer) by
// implementing the six primitives; everything else is built on them.
//
// Properties become methods: a read is `Count()`, `Strings(i)`, `Text()`,
// a write `SetStrings(i, s)`, `SetText(s)`. An index outside 0..Count()-1
// raises EListError ("List index out of bounds (%d)").
#pragma once

#include "platform/rtl/Encoding.h"
#include "platform/rtl/UnicodeString.h"

namespace rtl {

class TStream;

class TStrings {
public:
    TStrings() = default;
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;
    virtual ~TStrings();

    // Primitives.
    virtual int Count() const = 0;
    virtual UnicodeString Strings(int index) const = 0;
    virtual void SetStrings(int index, const UnicodeString& text) = 0;
    virtual void Insert(int index, const UnicodeString& text) = 0; // 0..Count()
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    // Appends; returns the new string's index (a sorted list places it).
    virtual int Add(const UnicodeString& text);
    void AddStrings(const TStrings& other);
    void Assign(const TStrings& other);
    UnicodeString operator[](int index) const { return Strings(index); }
    // First index whose string equals text (without regard to ASCII case
    // unless CaseSensitive), -1 when none.
    virtual int IndexOf(const UnicodeString& text) const;
    void Exchange(int index1, int index2);
    void Move(int currentIndex, int newIndex);

    // Each string followed by CR LF. SetText splits at CR LF, LF or a lone CR;
    // a final line break adds no empty string.
    UnicodeString Text() const;
    void SetText(const UnicodeString& text);

    // "name=value" strings: Names(i) is the part before the first "=",
    // Values(name) the part after it for the first string whose name matches
    // (ASCII case ignored), "" when none; SetValues adds, replaces, or with
    // an empty value deletes.
    UnicodeString Names(int index) const;
    UnicodeString ValueFromIndex(int index) const;
    UnicodeString Values(const UnicodeString& name) const;
    void SetValues(const UnicodeString& name, const UnicodeString& value);
    int IndexOfName(const UnicodeString& name) const;

    bool CaseSensitive() const { return caseSensitive_; }
    virtual void SetCaseSensitive(bool value) { caseSensitive_ = value; }

    // Files by Windows path. Load: a byte-order mark EF BB BF (UTF-8), FF FE
    // (UTF-16LE) or FE FF (UTF-16BE) names the encoding, else code page 932;
    // lines end at CR LF, LF or a lone CR. Save: each string then CR LF, in the
    // encoding loaded (with its mark), code page 932 without a mark when none
    // was loaded, or the one given. Failures raise EFOpenError/EFCreateError/
    // EWriteError (EReadError for a file above 256 MiB); a failed load leaves
    // the list as it was.
    void LoadFromFile(const UnicodeString& fileName);
    void LoadFromFile(const UnicodeString& fileName, const TEncoding* encoding);
    void SaveToFile(const UnicodeString& fileName) const;
    void SaveToFile(const UnicodeString& fileName, const TEncoding* encoding) const;
    void LoadFromStream(TStream& stream);
    void LoadFromStream(TStream& stream, const TEncoding* encoding);
    void SaveToStream(TStream& stream) const;
    void SaveToStream(TStream& stream, const TEncoding* encoding) const;
    // The encoding of the last load (Default before any).
    const TEncoding* Encoding() const { return encoding_; }

    // Nesting counter of the framework; subclasses may use it to defer work.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate()
    {
        if (updateCount_ > 0)
            --updateCount_;
    }

protected:
    int UpdateCount() const { return updateCount_; }
    // Raises EListError for the index.
    [[noreturn]] static void IndexError(int index);
    // Compares as IndexOf does.
    int CompareStrings(const UnicodeString& a, const UnicodeString& b) const;

private:
    void SetFromBytes(std::string_view bytes, const TEncoding* forced);
    const TEncoding* encoding_ = TEncoding::Default;
    bool caseSensitive_ = false;
    int updateCount_ = 0;
};

} // namespace rtl
