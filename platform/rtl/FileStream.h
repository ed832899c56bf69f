// A stream on a file named by a Windows path ("E:\DATA\X.ASF"), resolved
// through the drive table.
//
// Modes as in the framework: fmCreate, or an access (fmOpenRead,
// fmOpenWrite, fmOpenReadWrite) or'ed with a share mode. Share modes are
// accepted and not enforced (no other process shares the card's files
// here). A folder is refused, as on Windows. Writing honours the emulated
// read-only attribute (owner-write bit) and write-protected drives.
// Failures raise EFOpenError / EFCreateError with the framework's texts.
#pragma once

#include "platform/rtl/Stream.h"
#include "platform/rtl/UnicodeString.h"

#include <cstdint>

namespace rtl {

inline constexpr std::uint16_t fmCreate = 0xFF00;
inline constexpr std::uint16_t fmOpenRead = 0x0000;
inline constexpr std::uint16_t fmOpenWrite = 0x0001;
inline constexpr std::uint16_t fmOpenReadWrite = 0x0002;
inline constexpr std::uint16_t fmShareCompat = 0x0000;
inline constexpr std::uint16_t fmShareExclusive = 0x0010;
inline constexpr std::uint16_t fmShareDenyWrite = 0x0020;
inline constexpr std::uint16_t fmShareDenyRead = 0x0030;
inline constexpr std::uint16_t fmShareDenyNone = 0x0040;

class TFileStream : public TStream {
public:
    TFileStream(const UnicodeString& fileName, std::uint16_t mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    std::int32_t Read(void* buffer, std::int32_t count) override;
    std::int32_t Write(const void* buffer, std::int32_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override;
    void SetSize(std::int64_t size) override;

    const UnicodeString& FileName() const { return fileName_; }
    // Puts the bytes written so far on the disk (the system's FlushFileBuffers);
    // false when the device refuses.
    bool FlushToDisk();
    // The host file descriptor (for the layer's own use).
    int Handle() const { return fd_; }

private:
    UnicodeString fileName_;
    int fd_ = -1;
};

} // namespace rtl
