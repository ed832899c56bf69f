#include "platform/rtl/Stream.h"

#include "platform/rtl/Exception.h"

#include <vector>

namespace rtl {

TStream::~TStream() = default;

std::int64_t TStream::Position() { return Seek(0, soCurrent); }

void TStream::SetPosition(std::int64_t position) { Seek(position, soBeginning); }

std::int64_t TStream::Size()
{
    std::int64_t here = Seek(0, soCurrent);
    std::int64_t end = Seek(0, soEnd);
    Seek(here, soBeginning);
    return end;
}

void TStream::SetSize(std::int64_t) { throw EStreamError(u"Stream size cannot be changed"); }

void TStream::ReadBuffer(void* buffer, std::int32_t count)
{
    if (count < 0 || (count > 0 && Read(buffer, count) != count))
        throw EReadError(u"Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int32_t count)
{
    if (count < 0 || (count > 0 && Write(buffer, count) != count))
        throw EWriteError(u"Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    if (count < 0)
        throw EReadError(u"Stream read error");
    const std::int64_t total = count;
    std::vector<unsigned char> buffer(static_cast<std::size_t>(count < 65536 ? (count > 0 ? count : 1) : 65536));
    while (count > 0) {
        std::int32_t chunk = static_cast<std::int32_t>(count < 65536 ? count : 65536);
        source.ReadBuffer(buffer.data(), chunk);
        WriteBuffer(buffer.data(), chunk);
        count -= chunk;
    }
    return total;
}

std::int64_t TStream::CopyFrom(TStream* source, std::int64_t count)
{
    if (!source)
        throw EInvalidPointer(u"Invalid pointer operation");
    return CopyFrom(*source, count);
}

} // namespace rtl
