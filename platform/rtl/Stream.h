// The framework's abstract byte stream. Positions and sizes are 64-bit;
// counts of one Read/Write are 32-bit as in the framework.
#pragma once

#include <cstdint>

namespace rtl {

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };
// The framework's older origin names.
inline constexpr TSeekOrigin soFromBeginning = soBeginning;
inline constexpr TSeekOrigin soFromCurrent = soCurrent;
inline constexpr TSeekOrigin soFromEnd = soEnd;

class TStream {
public:
    virtual ~TStream();

    // Reads up to count bytes at the position; returns how many were read
    // (0 at the end, or for count <= 0). Never raises.
    virtual std::int32_t Read(void* buffer, std::int32_t count) = 0;
    // Writes count bytes at the position; returns how many were written
    // (fewer on a failure). Never raises.
    virtual std::int32_t Write(const void* buffer, std::int32_t count) = 0;
    // Returns the new position, or -1 when the target is before the start
    // (the position then stays).
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

    std::int64_t Position();
    void SetPosition(std::int64_t position);
    virtual std::int64_t Size();
    // Raises EStreamError (or a subclass) when the size cannot be set.
    virtual void SetSize(std::int64_t size);

    // Exactly count bytes or EReadError / EWriteError.
    void ReadBuffer(void* buffer, std::int32_t count);
    void WriteBuffer(const void* buffer, std::int32_t count);
    // Copies count bytes from source's position (count 0: all of source from
    // its start); returns the bytes copied; raises EReadError/EWriteError.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
    std::int64_t CopyFrom(TStream* source, std::int64_t count);
};

} // namespace rtl
