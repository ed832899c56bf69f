// The track reader: walks a recording's ASF data packets from the first to
// the last, reassembles the media objects of the track stream (stream 3) and
// hands each complete object to the sentence parser, which appends GPS fixes
// and G-sensor samples to a TAsfFileInfo.
//
// Runs on the track worker thread. Reports failures as result codes and log
// lines, never by raising. The collection buffer is one static buffer shared
// by every instance: only one reader may exist and read at a time.
#pragma once

#include "platform/rtl/FileStream.h"
#include "platform/rtl/UnicodeString.h"

#include <cstddef>
#include <cstdint>
#include <memory>

struct TAsfFileInfo;

// The stream that carries the recorder's sentences.
inline constexpr int GpsStreamNumber = 3;

// Result codes of the reader's operations.
enum : int {
    AsfOk = 0,
    AsfOpenFailed = 1, // the file cannot be opened
    AsfShortRead = 2, // fewer bytes than asked (end of file)
    AsfOpaqueData = 12, // bad packet: opaque data present
    AsfEcLengthType = 13, // bad packet: error correction length type not 0
    AsfEcData = 14, // bad packet: error correction data length not 2, or first byte not 0
    AsfPacketOverrun = 15, // bad packet: a field or payload runs past the packet's end
    AsfNoMemory = 16, // the read buffer cannot be allocated
    AsfMisuse = 18, // no file open, a file already open, a size below 1, other failures
};

class TGetGPSFromASF {
public:
    TGetGPSFromASF();
    ~TGetGPSFromASF();
    TGetGPSFromASF(const TGetGPSFromASF&) = delete;
    TGetGPSFromASF& operator=(const TGetGPSFromASF&) = delete;

    // Reads the whole recording at path into info's lists (which the caller
    // has emptied) and returns a result code.
    int GetGpsInfo(rtl::UnicodeString path, TAsfFileInfo* info);

    // Opens the file for reading, sharing it with other readers and writers.
    int Open(rtl::UnicodeString path);
    // origin: 0 from the beginning, 1 from the current position, 2 from the end.
    int Seek(std::int32_t offset, std::uint16_t origin);
    // Reads size bytes into a fresh FBuffer.
    int Read(std::int32_t size);
    int Close();

    // Turns one media object of the track stream into a record of info.
    // True when the sentence was stored or of another kind, false when it was
    // rejected. Keeps no state.
    static bool ParseToGpsInfo(const std::uint8_t* data, std::int32_t length, TAsfFileInfo* info, std::uint32_t timeMs);

    // For tests: the last read and the collection state.
    const std::uint8_t* Buffer() const { return FBuffer.get(); }
    std::int32_t BufferSize() const { return FBufferSize; }
    bool IsOpen() const { return FStream != nullptr; }
    std::uint32_t ObjectLength() const { return FObjectLength; }
    std::int32_t PacketSize() const { return FPacketSize; }

    static constexpr std::uint32_t ObjectCapacity = 1024;

private:
    // Serves reads from a block read ahead of the file position.
    std::int32_t ReadThrough(std::uint8_t* dest, std::int32_t size);
    // The next size bytes (at most the block's size) in place in the
    // read-ahead block, valid until the next read; null when the file ends first.
    const std::uint8_t* Peek(std::size_t size);
    // Read(FPacketSize) for the packet walk, without a buffer of its own:
    // the same codes and log lines; packet points into the read-ahead block.
    int ReadPacket(const std::uint8_t*& packet);
    void ReleaseBuffer();
    int WalkPacket(const std::uint8_t* packet, std::size_t size, TAsfFileInfo* info);

    std::int32_t FPacketSize;
    std::unique_ptr<rtl::TFileStream> FStream;
    std::unique_ptr<std::uint8_t[]> FBuffer;
    std::int32_t FBufferSize;
    std::uint8_t* FObjectData;
    std::uint32_t FObjectCapacity;
    std::uint32_t FObjectLength;
    bool FCollecting;

    std::unique_ptr<std::uint8_t[]> FAhead;
    std::size_t FAheadPos;
    std::size_t FAheadEnd;
};
