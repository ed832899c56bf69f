// The drive letters the program sees and the host folders behind them.
//
// Read from the environment variable VELMORASTINE_DRIVES at first use, e.g.
// "E=/media/card:removable;C=/home/me" (flags after the folder: "removable",
// "readonly" or "write-protected"). Without it: C: is the user's home folder,
// and when the current directory is not below the home folder, the mount
// point that holds it gets D:, removable when the kernel says its block
// device is.
//
// Tests set the table directly and pull or insert a drive: a removed drive
// answers no more (every path on it fails with ERROR_NOT_READY), as a card
// reader without its card.
//
// Thread-safe; the table is one for the process.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

struct DriveEntry {
    char16_t letter = 0; // 'A'..'Z'
    std::string root; // absolute host folder
    bool removable = false;
    bool writeProtected = false;
    bool present = true;

    bool operator==(const DriveEntry&) const = default;
};

class DriveTable {
public:
    static DriveTable& Instance();

    // Replaces the table by one in the environment variable's format. Entries
    // with a bad letter or an empty folder are ignored. Relative folders are
    // taken against the host's current directory. Also forgets the current
    // directory, which is then taken anew from the host's.
    void Configure(std::string_view spec);
    // Back to the table of the environment (or the defaults).
    void Reset();

    // Adds or replaces one drive (present).
    void SetDrive(char16_t letter, std::string hostRoot, bool removable = false, bool writeProtected = false);
    void Forget(char16_t letter);
    // Pulls the card out / puts it back.
    void SetPresent(char16_t letter, bool present);
    void SetWriteProtected(char16_t letter, bool writeProtected);
    // Gives an existing host folder that no drive shows a drive of its own,
    // so that a folder the user picks anywhere on the host can be used: the
    // mount point holding it (removable when the kernel says so), or the
    // folder itself when a name between the two is none Windows could hold.
    // The highest free letter from Z: down to D:; a present drive of that
    // folder already is reused. Nothing for a path that is no folder or when
    // every letter is taken.
    std::optional<char16_t> AddDriveFor(const std::string& hostFolder);

    // Letters without regard to case; nothing for an unmapped letter.
    std::optional<DriveEntry> Find(char16_t letter) const;
    // Mapped and present (no copy of the entry: asked once a file read).
    bool IsPresent(char16_t letter) const;
    std::vector<DriveEntry> Entries() const;

    // The default table for a home folder and a current directory (exposed for tests).
    static std::vector<DriveEntry> Defaults(const std::string& home, const std::string& cwd);
    static std::vector<DriveEntry> Parse(std::string_view spec);

private:
    DriveTable() = default;
    void EnsureLoaded() const;
};

} // namespace host
