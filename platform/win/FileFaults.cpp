#include "platform/win/FileFaults.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>

#include "platform/win/DriveTable.h"
#include "platform/win/LastError.h"
#include "platform/win/PathResolver.h"

namespace win {

namespace {

struct Rules {
    std::mutex lock;
    std::map<char16_t, std::uint64_t> bytesFree;
    std::optional<std::pair<char16_t, std::uint64_t>> pull;
};

Rules& TheRules()
{
    static Rules rules;
    return rules;
}

} // namespace

void FileFaults::DiskFull(char16_t letter, std::uint64_t bytesFree)
{
    Rules& r = TheRules();
    std::lock_guard guard(r.lock);
    r.bytesFree[UpperCaseForNames(letter)] = bytesFree;
}

void FileFaults::PullDuringCopy(char16_t letter, std::uint64_t afterBytes)
{
    Rules& r = TheRules();
    std::lock_guard guard(r.lock);
    r.pull = std::pair{UpperCaseForNames(letter), afterBytes};
}

void FileFaults::Clear()
{
    Rules& r = TheRules();
    std::lock_guard guard(r.lock);
    r.bytesFree.clear();
    r.pull.reset();
}

std::uint64_t FileFaults::Allow(char16_t source, char16_t target, std::uint64_t done, std::uint64_t wanted,
                                std::uint32_t& error)
{
    Rules& r = TheRules();
    std::optional<char16_t> pulled;
    std::uint64_t allowed = wanted;
    {
        std::lock_guard guard(r.lock);
        if (r.pull && (r.pull->first == source || r.pull->first == target) && done + wanted > r.pull->second) {
            allowed = r.pull->second > done ? r.pull->second - done : 0;
            error = ERROR_NOT_READY;
            pulled = r.pull->first;
            r.pull.reset();
        }
        const auto full = r.bytesFree.find(target);
        if (full != r.bytesFree.end()) {
            if (full->second < allowed) {
                allowed = full->second;
                error = ERROR_DISK_FULL;
            }
            full->second -= allowed;
        }
    }
    // Outside the lock: the drive table has its own.
    if (pulled)
        DriveTable::Instance().SetPresent(*pulled, false);
    return allowed;
}

} // namespace win
