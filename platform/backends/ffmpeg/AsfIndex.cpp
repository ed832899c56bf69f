#include "platform/backends/ffmpeg/AsfIndex.h"

#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/win/HostFileIo.h"

namespace ffmpeg {

namespace {

constexpr std::uint8_t kHeaderGuid[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                          0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr std::uint8_t kDataGuid[16] = {0x36, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                        0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr std::uint8_t kFilePropertiesGuid[16] = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                                  0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr std::uint64_t kMaxHeaderBytes = 16u << 20;
constexpr std::uint64_t kDataObjectHeader = 50; // GUID, size, file id, packet count, reserved
constexpr std::uint32_t kMaxPacketBytes = 1u << 20;
constexpr std::uint64_t kHundredNsPerMs = 10000;

class File {
public:
    // Only a regular file, and never a wait on a fifo.
    explicit File(const std::string& path) : fd_(win::OpenRegularFile(path, O_RDONLY)) {}
    ~File()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    int Descriptor() const { return fd_; }
    // The file's size, or -1.
    std::int64_t Size() const
    {
        struct stat st {};
        return fd_ >= 0 && fstat(fd_, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
    }

private:
    int fd_;
};

// Exactly `size` bytes at `at`, or false.
bool ReadAt(int fd, std::uint64_t at, void* buffer, std::size_t size)
{
    return win::ReadFileAt(fd, static_cast<off_t>(at), buffer, size) == static_cast<long>(size);
}

std::uint64_t Le(const std::uint8_t* p, std::size_t bytes)
{
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < bytes; ++i)
        v |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    return v;
}

// The bytes of a length field of type 0..3.
std::size_t FieldBytes(unsigned type) { return type == 3 ? 4 : type; }

// Reads the fields of one packet in bounds; a read past the end fails.
class Cursor {
public:
    Cursor(const std::uint8_t* p, std::size_t size) : p_(p), size_(size) {}
    bool Take(std::size_t bytes, std::uint64_t& value)
    {
        if (bytes > size_ - at_)
            return false;
        value = Le(p_ + at_, bytes);
        at_ += bytes;
        return true;
    }
    bool Skip(std::size_t bytes)
    {
        if (bytes > size_ - at_)
            return false;
        at_ += bytes;
        return true;
    }
    const std::uint8_t* Here() const { return p_ + at_; }
    std::size_t At() const { return at_; }

private:
    const std::uint8_t* p_;
    std::size_t size_;
    std::size_t at_ = 0;
};

struct Layout {
    std::uint64_t firstPacket = 0;
    std::uint64_t packets = 0;
    std::uint32_t packetSize = 0;
    std::int64_t prerollMs = 0;
};

bool ReadLayout(int fd, std::int64_t fileSize, Layout& out)
{
    std::uint8_t top[30];
    if (fileSize < 30 || !ReadAt(fd, 0, top, sizeof top) || std::memcmp(top, kHeaderGuid, 16) != 0)
        return false;
    const std::uint64_t headerSize = Le(top + 16, 8);
    if (headerSize < 30 || headerSize > kMaxHeaderBytes ||
        headerSize + kDataObjectHeader > static_cast<std::uint64_t>(fileSize))
        return false;
    std::vector<std::uint8_t> header(static_cast<std::size_t>(headerSize + kDataObjectHeader));
    if (!ReadAt(fd, 0, header.data(), header.size()))
        return false;
    bool found = false;
    for (std::uint64_t at = 30; at + 24 <= headerSize;) {
        const std::uint8_t* object = header.data() + at;
        const std::uint64_t size = Le(object + 16, 8);
        if (size < 24 || size > headerSize - at)
            return false;
        if (std::memcmp(object, kFilePropertiesGuid, 16) == 0) {
            if (size < 104 || found)
                return false;
            const std::uint64_t preroll = Le(object + 80, 8);
            const std::uint64_t minPacket = Le(object + 92, 4), maxPacket = Le(object + 96, 4);
            if (preroll > (1u << 30) || minPacket != maxPacket || minPacket < 32 || minPacket > kMaxPacketBytes)
                return false;
            out.prerollMs = static_cast<std::int64_t>(preroll);
            out.packetSize = static_cast<std::uint32_t>(minPacket);
            found = true;
        }
        at += size;
    }
    const std::uint8_t* data = header.data() + headerSize;
    if (!found || std::memcmp(data, kDataGuid, 16) != 0)
        return false;
    const std::uint64_t dataSize = Le(data + 16, 8);
    const std::uint64_t room = static_cast<std::uint64_t>(fileSize) - headerSize;
    if (dataSize < kDataObjectHeader || dataSize > room || (dataSize - kDataObjectHeader) % out.packetSize != 0)
        return false;
    out.firstPacket = headerSize + kDataObjectHeader;
    out.packets = (dataSize - kDataObjectHeader) / out.packetSize;
    return true;
}

// The media object of the stream being gathered.
struct Gathering {
    bool active = false;
    std::uint64_t number = 0;
    std::uint64_t size = 0;
    std::uint64_t got = 0;
    IndexEntry entry;
};

// One packet at file offset `pos`; false for a layout not taken.
bool ReadPacket(const std::uint8_t* packet, std::uint32_t size, std::uint64_t pos, const Layout& layout, int stream,
                Gathering& g, std::vector<IndexEntry>& out)
{
    Cursor c(packet, size);
    std::uint64_t flags = 0;
    if (!c.Take(1, flags))
        return false;
    if (flags & 0x80) {
        // Error-correction data of the plain kind only.
        if ((flags & 0x60) != 0 || !c.Skip(flags & 0x0F) || !c.Take(1, flags))
            return false;
    }
    const unsigned lengthTypes = static_cast<unsigned>(flags);
    if (lengthTypes & 0x80)
        return false;
    std::uint64_t properties = 0, packetLength = 0, sequence = 0, padding = 0, sendTime = 0, duration = 0;
    if (!c.Take(1, properties) || !c.Take(FieldBytes((lengthTypes >> 5) & 3), packetLength) ||
        !c.Take(FieldBytes((lengthTypes >> 1) & 3), sequence) || !c.Take(FieldBytes((lengthTypes >> 3) & 3), padding) ||
        !c.Take(4, sendTime) || !c.Take(2, duration))
        return false;
    if (((lengthTypes >> 5) & 3) != 0 && packetLength != size)
        return false;
    if (padding > size - c.At())
        return false;
    const std::size_t end = size - static_cast<std::size_t>(padding);
    const bool multiple = (lengthTypes & 1) != 0;
    std::uint64_t payloadFlags = 0;
    if (multiple && !c.Take(1, payloadFlags))
        return false;
    const unsigned count = multiple ? static_cast<unsigned>(payloadFlags & 0x3F) : 1;
    const unsigned lengthType = static_cast<unsigned>(payloadFlags >> 6);
    if (count == 0 || (multiple && lengthType == 0))
        return false;
    const auto p = static_cast<unsigned>(properties);
    for (unsigned k = 0; k < count; ++k) {
        std::uint64_t streamByte = 0, objectNumber = 0, offset = 0, replicated = 0;
        if (!c.Take(1, streamByte) || !c.Take(FieldBytes((p >> 4) & 3), objectNumber) ||
            !c.Take(FieldBytes((p >> 2) & 3), offset) || !c.Take(FieldBytes(p & 3), replicated))
            return false;
        // A presentation time in every payload; none compressed.
        if (replicated < 8 || replicated > end - c.At())
            return false;
        const std::uint64_t objectSize = Le(c.Here(), 4);
        const std::uint64_t presentation = Le(c.Here() + 4, 4);
        c.Skip(static_cast<std::size_t>(replicated));
        std::uint64_t length = 0;
        if (multiple) {
            if (!c.Take(FieldBytes(lengthType), length))
                return false;
        } else {
            if (c.At() > end)
                return false;
            length = end - c.At();
        }
        if (length > end - c.At())
            return false;
        c.Skip(static_cast<std::size_t>(length));
        if (static_cast<int>(streamByte & 0x7F) != stream)
            continue;
        if (offset == 0) {
            if (g.active || objectSize == 0)
                return false; // an object left unfinished
            g.active = true;
            g.number = objectNumber;
            g.size = objectSize;
            g.got = 0;
            g.entry.time = (static_cast<std::int64_t>(presentation) - layout.prerollMs) *
                static_cast<std::int64_t>(kHundredNsPerMs);
            g.entry.pos = static_cast<std::int64_t>(pos);
            g.entry.key = (streamByte & 0x80) != 0;
        } else if (!g.active || objectNumber != g.number || offset != g.got || objectSize != g.size) {
            return false; // a fragment out of order, or of another object
        }
        g.got += length;
        if (g.got > g.size)
            return false;
        if (g.got == g.size) {
            out.push_back(g.entry);
            g.active = false;
        }
    }
    return true;
}

// A page of a mapped file that cannot be read (a card pulled, an I/O error)
// raises SIGBUS at the read. During a walk the handler ends the walk, which
// then fails as a failed read does; any other SIGBUS goes back to the action
// before ours, under which the fault happens again.
thread_local sigjmp_buf* tWalk = nullptr;
struct sigaction gPreviousBusAction;

void OnBusError(int, siginfo_t*, void*)
{
    if (sigjmp_buf* walk = tWalk) {
        tWalk = nullptr;
        siglongjmp(*walk, 1);
    }
    sigaction(SIGBUS, &gPreviousBusAction, nullptr);
}

void GuardBusErrors()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, &gPreviousBusAction);
    });
}

// Every packet of the mapped file; false for a layout not taken or a page
// that could not be read. Nothing with a destructor lives in this frame: a
// bus error leaves it by siglongjmp.
bool WalkPackets(const std::uint8_t* file, const Layout& layout, int stream, std::vector<IndexEntry>& out)
{
    GuardBusErrors();
    sigjmp_buf walk;
    if (sigsetjmp(walk, 1) != 0)
        return false;
    tWalk = &walk;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    Gathering g;
    bool ok = true;
    for (std::uint64_t i = 0; i < layout.packets && ok; ++i) {
        const std::uint64_t at = layout.firstPacket + i * layout.packetSize;
        ok = ReadPacket(file + at, layout.packetSize, at, layout, stream, g, out);
    }
    std::atomic_signal_fence(std::memory_order_seq_cst);
    tWalk = nullptr;
    return ok && !g.active;
}

} // namespace

bool ReadAsfIndex(const std::string& hostPath, int streamNumber, std::vector<IndexEntry>& out)
{
    const File file(hostPath);
    return detail::ReadAsfIndexOf(file.Descriptor(), file.Size(), streamNumber, out);
}

namespace detail {

bool ReadAsfIndexOf(int fd, std::int64_t fileSize, int streamNumber, std::vector<IndexEntry>& out)
{
    out.clear();
    Layout layout;
    if (fd < 0 || fileSize < 0 || streamNumber < 1 || streamNumber > 127 || !ReadLayout(fd, fileSize, layout))
        return false;
    // Mapped, not read: only the pages are looked at, nothing is copied.
    void* map = mmap(nullptr, static_cast<std::size_t>(fileSize), PROT_READ, MAP_PRIVATE, fd, 0);
    if (map == MAP_FAILED)
        return false;
    madvise(map, static_cast<std::size_t>(fileSize), MADV_SEQUENTIAL);
    const bool ok = WalkPackets(static_cast<const std::uint8_t*>(map), layout, streamNumber, out);
    munmap(map, static_cast<std::size_t>(fileSize));
    if (!ok)
        out.clear();
    return ok;
}

} // namespace detail

} // namespace ffmpeg
