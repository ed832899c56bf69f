#include "platform/rtl/MemoryStream.h"

#include "platform/rtl/Exception.h"
#include "platform/rtl/FileStream.h"

#include <cstring>
#include <new>

namespace rtl {
namespace {
// The framework's memory stream is bounded by 32-bit sizes.
constexpr std::int64_t kMaxSize = 0x7FFFFFFF;
} // namespace

TMemoryStream::~TMemoryStream() = default;

std::int32_t TMemoryStream::Read(void* buffer, std::int32_t count)
{
    std::int64_t size = Size();
    if (count <= 0 || position_ >= size || !buffer)
        return 0;
    std::int64_t n = size - position_ < count ? size - position_ : count;
    std::memcpy(buffer, data_.data() + position_, static_cast<std::size_t>(n));
    position_ += n;
    return static_cast<std::int32_t>(n);
}

std::int32_t TMemoryStream::Write(const void* buffer, std::int32_t count)
{
    if (count <= 0 || !buffer)
        return 0;
    std::int64_t end = position_ + count;
    if (end > kMaxSize)
        return 0;
    try {
        if (end > Size()) {
            // The source may be this stream's own memory, which growing moves.
            const auto* p = static_cast<const std::uint8_t*>(buffer);
            if (!data_.empty() && p >= data_.data() && p < data_.data() + data_.size()) {
                std::vector<std::uint8_t> copy(p, p + count);
                data_.resize(static_cast<std::size_t>(end));
                std::memcpy(data_.data() + position_, copy.data(), copy.size());
                position_ = end;
                return count;
            }
            data_.resize(static_cast<std::size_t>(end));
        }
    } catch (const std::bad_alloc&) {
        return 0;
    }
    std::memmove(data_.data() + position_, buffer, static_cast<std::size_t>(count));
    position_ = end;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    std::int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : Size();
    if ((offset > 0 && base > INT64_MAX - offset))
        return -1;
    std::int64_t target = base + offset;
    if (target < 0)
        return -1;
    position_ = target;
    return position_;
}

void TMemoryStream::SetSize(std::int64_t size)
{
    if (size < 0 || size > kMaxSize)
        throw EStreamError(u"Out of memory while expanding memory stream");
    try {
        data_.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        throw EStreamError(u"Out of memory while expanding memory stream");
    }
    if (position_ > size)
        position_ = size;
}

void TMemoryStream::Clear()
{
    data_.clear();
    data_.shrink_to_fit();
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream)
{
    stream.SetPosition(0);
    std::int64_t size = stream.Size();
    SetSize(size);
    if (size > 0)
        stream.ReadBuffer(data_.data(), static_cast<std::int32_t>(size));
    position_ = 0;
}

void TMemoryStream::LoadFromFile(const UnicodeString& fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& stream)
{
    if (!data_.empty())
        stream.WriteBuffer(data_.data(), static_cast<std::int32_t>(data_.size()));
}

void TMemoryStream::SaveToFile(const UnicodeString& fileName)
{
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

} // namespace rtl
