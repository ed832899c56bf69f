// A stream in memory that grows as it is written.
#pragma once

#include "platform/rtl/Stream.h"
#include "platform/rtl/UnicodeString.h"

#include <cstdint>
#include <vector>

namespace rtl {

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    ~TMemoryStream() override;

    std::int32_t Read(void* buffer, std::int32_t count) override;
    // Writing past the end grows the stream (zero-filling any gap).
    std::int32_t Write(const void* buffer, std::int32_t count) override;
    // Seeking past the end is allowed; the size grows only when written.
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }
    // Shrinking moves a position past the new end to the end.
    void SetSize(std::int64_t size) override;

    // Null while empty.
    void* Memory() { return data_.empty() ? nullptr : data_.data(); }
    const void* Memory() const { return data_.empty() ? nullptr : data_.data(); }
    void Clear();
    // Whole-file copies through TFileStream (its exceptions pass on).
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const UnicodeString& fileName);
    void SaveToStream(TStream& stream);
    void SaveToFile(const UnicodeString& fileName);

private:
    std::vector<std::uint8_t> data_;
    std::int64_t position_ = 0;
};

} // namespace rtl
