#include "tracks/GetGPSFromASF.h"

#include "tracks/TrackServices.h"

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Exception.h"

#include <algorithm>
#include <cstring>
#include <new>

using rtl::AnsiString;
using rtl::UnicodeString;

namespace {

// The media-object collection buffer, one for the process.
std::uint8_t SharedObjectData[TGetGPSFromASF::ObjectCapacity];

// Large enough that a refill is a rare, long read; small enough to stay in
// the processor's second-level cache while its packets are walked.
constexpr std::size_t ReadAheadSize = 128 * 1024;

// A failure inside one of the reader's operations: the code it returns and
// the text it logs.
struct Failure {
    int code;
    UnicodeString message;
};

std::uint32_t Le32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
        static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint64_t Le64(const std::uint8_t* p) { return Le32(p) | static_cast<std::uint64_t>(Le32(p + 4)) << 32; }

void LogFailure(const char* operation, const UnicodeString& message)
{
    TrackLogError(AnsiString(operation) + " ERROR:" + AnsiString(message));
}

// A bounded view of one data packet: every field is checked against the
// packet's end before it is read, in widths that cannot wrap.
struct PacketCursor {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos;

    std::size_t Remaining() const { return size - pos; }

    bool Skip(std::size_t n)
    {
        if (n > Remaining())
            return false;
        pos += n;
        return true;
    }

    bool Byte(std::uint8_t& value)
    {
        if (Remaining() < 1)
            return false;
        value = data[pos++];
        return true;
    }

    // A field whose width is given by a 2-bit length type: 0 absent, 1 byte,
    // 2 word, 3 dword.
    bool Field(unsigned lengthType, std::uint32_t& value)
    {
        static constexpr std::size_t widths[4] = {0, 1, 2, 4};
        const std::size_t n = widths[lengthType & 3];
        if (n > Remaining())
            return false;
        value = 0;
        for (std::size_t i = 0; i < n; ++i)
            value |= static_cast<std::uint32_t>(data[pos + i]) << (8 * i);
        pos += n;
        return true;
    }
};

} // namespace

TGetGPSFromASF::TGetGPSFromASF()
    : FPacketSize(0),
      FStream(),
      FBuffer(),
      FBufferSize(0),
      FObjectData(SharedObjectData),
      FObjectCapacity(ObjectCapacity),
      FObjectLength(0),
      FCollecting(false),
      FAhead(),
      FAheadPos(0),
      FAheadEnd(0)
{
    std::memset(SharedObjectData, 0, sizeof SharedObjectData);
}

TGetGPSFromASF::~TGetGPSFromASF() = default;

int TGetGPSFromASF::Open(UnicodeString path)
{
    try {
        if (FStream)
            throw Failure{AsfMisuse, u"Asf file open error."};
        const int cr = path.Pos(u"\r");
        if (cr > 0)
            path = path.SubString(1, cr - 1);
        // The path as the scan listed it: a name outside the 8-bit code page
        // opens too.
        try {
            FStream = std::make_unique<rtl::TFileStream>(path, rtl::fmOpenRead | rtl::fmShareDenyNone);
        } catch (rtl::Exception& e) {
            throw Failure{AsfOpenFailed, e.Message};
        }
        if (!FAhead)
            FAhead.reset(new std::uint8_t[ReadAheadSize]);
        FAheadPos = FAheadEnd = 0;
        return AsfOk;
    } catch (Failure& f) {
        LogFailure("TGetGPSFromASF::Open", f.message);
        FStream.reset();
        return f.code;
    } catch (std::exception& e) {
        LogFailure("TGetGPSFromASF::Open", rtl::FromUtf8(e.what()));
        FStream.reset();
        return AsfMisuse;
    } catch (...) {
        FStream.reset();
        return AsfMisuse;
    }
}

int TGetGPSFromASF::Seek(std::int32_t offset, std::uint16_t origin)
{
    try {
        if (!FStream)
            throw Failure{AsfMisuse, u"Asf file isn't opening."};
        if (origin > 2)
            throw Failure{AsfMisuse, u"Invalid seek origin"};
        // The read-ahead block holds bytes past the logical position.
        const std::int64_t buffered = static_cast<std::int64_t>(FAheadEnd - FAheadPos);
        std::int64_t result;
        if (origin == rtl::soCurrent) {
            result = FStream->Seek(static_cast<std::int64_t>(offset) - buffered, rtl::soCurrent);
        } else {
            result = FStream->Seek(offset, static_cast<rtl::TSeekOrigin>(origin));
        }
        if (result < 0)
            throw Failure{AsfMisuse, u"Stream seek error"};
        FAheadPos = FAheadEnd = 0;
        return AsfOk;
    } catch (Failure& f) {
        LogFailure("TGetGPSFromASF::Seek", f.message);
        return f.code;
    } catch (...) {
        LogFailure("TGetGPSFromASF::Seek", u"Unexpected failure");
        return AsfMisuse;
    }
}

std::int32_t TGetGPSFromASF::ReadThrough(std::uint8_t* dest, std::int32_t size)
{
    std::size_t want = static_cast<std::size_t>(size);
    std::size_t got = 0;
    while (got < want) {
        if (FAheadPos == FAheadEnd) {
            // Large reads go straight to the destination.
            if (want - got >= ReadAheadSize) {
                const std::int32_t n = FStream->Read(dest + got, static_cast<std::int32_t>(want - got));
                if (n <= 0)
                    break;
                got += static_cast<std::size_t>(n);
                continue;
            }
            const std::int32_t n = FStream->Read(FAhead.get(), static_cast<std::int32_t>(ReadAheadSize));
            if (n <= 0)
                break;
            FAheadPos = 0;
            FAheadEnd = static_cast<std::size_t>(n);
        }
        const std::size_t n = std::min(FAheadEnd - FAheadPos, want - got);
        std::memcpy(dest + got, FAhead.get() + FAheadPos, n);
        FAheadPos += n;
        got += n;
    }
    return static_cast<std::int32_t>(got);
}

const std::uint8_t* TGetGPSFromASF::Peek(std::size_t size)
{
    if (FAheadEnd - FAheadPos < size) {
        // Keep the tail in front of the block and fill up behind it, so the
        // next size bytes lie together.
        const std::size_t kept = FAheadEnd - FAheadPos;
        if (kept)
            std::memmove(FAhead.get(), FAhead.get() + FAheadPos, kept);
        FAheadPos = 0;
        FAheadEnd = kept;
        while (FAheadEnd < size) {
            const std::int32_t n =
                FStream->Read(FAhead.get() + FAheadEnd, static_cast<std::int32_t>(ReadAheadSize - FAheadEnd));
            if (n <= 0)
                break;
            FAheadEnd += static_cast<std::size_t>(n);
        }
        if (FAheadEnd < size) {
            FAheadPos = FAheadEnd; // what there was is consumed, as by a short read
            return nullptr;
        }
    }
    const std::uint8_t* bytes = FAhead.get() + FAheadPos;
    FAheadPos += size;
    return bytes;
}

int TGetGPSFromASF::Read(std::int32_t size)
{
    try {
        if (!FStream)
            throw Failure{AsfMisuse, u"Asf file isn't opening."};
        if (size < 1)
            throw Failure{AsfMisuse, u"Parameter [Size] error"};
        FBufferSize = size;
        FBuffer.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(size)]);
        if (!FBuffer)
            throw Failure{AsfNoMemory, u"Memory error"};
        if (ReadThrough(FBuffer.get(), size) < size)
            throw Failure{AsfShortRead, u"Reached the end of the file."};
        return AsfOk;
    } catch (Failure& f) {
        LogFailure("TGetGPSFromASF::Read", f.message);
        return f.code;
    } catch (...) {
        LogFailure("TGetGPSFromASF::Read", u"Unexpected failure");
        return AsfMisuse;
    }
}

int TGetGPSFromASF::ReadPacket(const std::uint8_t*& packet)
{
    packet = nullptr;
    try {
        if (!FStream)
            throw Failure{AsfMisuse, u"Asf file isn't opening."};
        if (FPacketSize < 1 || static_cast<std::size_t>(FPacketSize) > ReadAheadSize)
            throw Failure{AsfMisuse, u"Parameter [Size] error"};
        FBufferSize = FPacketSize;
        packet = Peek(static_cast<std::size_t>(FPacketSize));
        if (!packet)
            throw Failure{AsfShortRead, u"Reached the end of the file."};
        return AsfOk;
    } catch (Failure& f) {
        LogFailure("TGetGPSFromASF::Read", f.message);
        return f.code;
    } catch (...) {
        LogFailure("TGetGPSFromASF::Read", u"Unexpected failure");
        return AsfMisuse;
    }
}

int TGetGPSFromASF::Close()
{
    FStream.reset();
    FBuffer.reset();
    FAheadPos = FAheadEnd = 0;
    return AsfOk;
}

void TGetGPSFromASF::ReleaseBuffer() { FBuffer.reset(); }

// One data packet, as the recorder writes it:
//   82 00 00      error correction: flags (length 2), two bytes
//   11            length types: multiple payloads, padding length a word
//   5D            properties: replicated length byte, offset dword,
//                 object number byte, stream number byte
//   00 00         padding length
//   10 27 00 00   send time      00 00  duration
//   03            payload flags: 3 payloads, lengths ... by bits 6-7
//   then per payload: 83 (stream 3, key frame) 07 (object) 00 00 00 00
//   (offset) 08 (replicated length) 4A 00 00 00 10 27 00 00 (object size,
//   presentation time) [payload length] data ...
int TGetGPSFromASF::WalkPacket(const std::uint8_t* packet, std::size_t size, TAsfFileInfo* info)
{
    if (size < 5)
        return AsfPacketOverrun;
    const std::uint8_t ecFlags = packet[0];
    if (ecFlags & 0x10)
        return AsfOpaqueData;
    if (ecFlags & 0x60)
        return AsfEcLengthType;
    if ((ecFlags & 0x0F) != 2 || packet[1] != 0)
        return AsfEcData;

    const unsigned lengthTypes = packet[3];
    const unsigned properties = packet[4];
    PacketCursor c{packet, size, 5};
    std::uint32_t ignored = 0;
    if (!c.Field(lengthTypes >> 5, ignored) || !c.Field(lengthTypes >> 1, ignored) ||
        !c.Field(lengthTypes >> 3, ignored) || !c.Skip(4 + 2))
        return AsfPacketOverrun;

    const bool multiple = (lengthTypes & 0x01) != 0;
    unsigned payloads = 1;
    unsigned payloadLengthType = 0;
    if (multiple) {
        std::uint8_t flags = 0;
        if (!c.Byte(flags))
            return AsfPacketOverrun;
        payloads = flags & 0x3F;
        payloadLengthType = flags >> 6;
    }

    for (unsigned i = 0; i < payloads; ++i) {
        std::uint8_t streamByte = 0;
        std::uint32_t replicatedLength = 0;
        if (!c.Byte(streamByte) || !c.Field(properties >> 4, ignored) || !c.Field(properties >> 2, ignored) ||
            !c.Field(properties, replicatedLength) || replicatedLength > c.Remaining())
            return AsfPacketOverrun;
        std::uint32_t objectSize = 0;
        std::uint32_t presentationMs = 0;
        if (replicatedLength >= 8) {
            objectSize = Le32(packet + c.pos);
            presentationMs = Le32(packet + c.pos + 4);
        }
        c.pos += replicatedLength;

        std::size_t length;
        if (multiple) {
            std::uint32_t field = 0;
            if (!c.Field(payloadLengthType, field) || field > c.Remaining())
                return AsfPacketOverrun;
            length = field;
        } else {
            // A single payload runs to the packet's end, padding included.
            length = c.Remaining();
        }
        const std::uint8_t* payload = packet + c.pos;
        c.pos += length;

        if ((streamByte & 0x7F) != GpsStreamNumber)
            continue;
        if (!FCollecting) {
            // The first payload of the track stream is not collected.
            FCollecting = true;
            continue;
        }
        if (length > FObjectCapacity - FObjectLength) {
            // The object would outgrow the buffer: drop it with this payload.
            FObjectLength = 0;
            continue;
        }
        if (length)
            std::memcpy(FObjectData + FObjectLength, payload, length);
        FObjectLength += static_cast<std::uint32_t>(length);
        if (FObjectLength >= objectSize) {
            ParseToGpsInfo(FObjectData, static_cast<std::int32_t>(FObjectLength), info, presentationMs);
            FObjectLength = 0;
        }
    }
    return AsfOk;
}

int TGetGPSFromASF::GetGpsInfo(UnicodeString path, TAsfFileInfo* info)
{
    FPacketSize = 3200;
    FObjectLength = 0;
    FCollecting = false;
    int result = Open(path);
    if (result != AsfOk)
        return result;
    try {
        result = Read(30);
        if (result != AsfOk) {
            Close();
            return result;
        }
        const std::uint32_t dataOffset = Le32(FBuffer.get() + 16);
        ReleaseBuffer();
        // Seek takes a signed 32-bit offset: one at 2^31 or above lies beyond
        // any file the reader can walk, like an offset past the end.
        if (dataOffset > 0x7FFFFFFFu) {
            LogFailure("TGetGPSFromASF::Seek", u"Data Object offset beyond the file");
            Close();
            return AsfShortRead;
        }
        result = Seek(static_cast<std::int32_t>(dataOffset), rtl::soBeginning);
        if (result == AsfOk)
            result = Read(50);
        if (result != AsfOk) {
            Close();
            return result;
        }
        const std::uint64_t totalPackets = Le64(FBuffer.get() + 40);
        ReleaseBuffer();

        // Packets are walked where they lie in the read-ahead block: no
        // buffer of their own, no copy.
        std::uint64_t packets = 0;
        for (;;) {
            const std::uint8_t* packet = nullptr;
            result = ReadPacket(packet);
            if (result != AsfOk) {
                Close();
                return result;
            }
            result = WalkPacket(packet, static_cast<std::size_t>(FPacketSize), info);
            if (result != AsfOk) {
                Close();
                TrackLogDebug(AnsiString("<GPS> File:") + AnsiString(path) + " Error:" + AnsiString(result));
                return result;
            }
            ++packets;
            if (packets >= totalPackets) {
                Close();
                return AsfOk;
            }
        }
    } catch (std::exception& e) {
        LogFailure("TGetGPSFromASF::GetGpsInfo", rtl::FromUtf8(e.what()));
    } catch (...) {
        LogFailure("TGetGPSFromASF::GetGpsInfo", u"Unexpected failure");
    }
    Close();
    return AsfMisuse;
}
