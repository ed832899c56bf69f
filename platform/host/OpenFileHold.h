// Files held open by the player or the track reader. On Windows they cannot
// be deleted while open; the layer keeps a count per file (device and inode)
// so DeleteFile fails with ERROR_SHARING_VIOLATION as it would there.
//
// Thread-safe: holds are taken and released on any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace host {

class OpenFileHold {
public:
    OpenFileHold() = default;
    // Holds the file a Windows path names; holds nothing when it does not exist.
    explicit OpenFileHold(std::u16string_view windowsPath);
    // Holds the file behind an open host descriptor.
    static OpenFileHold ForDescriptor(int fd);
    ~OpenFileHold();

    OpenFileHold(OpenFileHold&& other) noexcept;
    OpenFileHold& operator=(OpenFileHold&& other) noexcept;
    OpenFileHold(const OpenFileHold&) = delete;
    OpenFileHold& operator=(const OpenFileHold&) = delete;

    bool Held() const { return held_; }
    void Release();

    static bool IsHeld(std::uint64_t device, std::uint64_t inode);

private:
    void Take(std::uint64_t device, std::uint64_t inode);

    std::uint64_t device_ = 0;
    std::uint64_t inode_ = 0;
    bool held_ = false;
};

} // namespace host
