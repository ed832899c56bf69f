#include "platform/win/FindFile.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/rtl/AnsiString.h"
#include "platform/win/DriveTable.h"
#include "platform/win/Files.h"
#include "platform/win/HostFileIo.h"
#include "platform/win/LastError.h"
#include "platform/win/PathResolver.h"

namespace win {

namespace {

// An entry's name lies in its search's Names, so a large folder's names
// take two allocations in all, not two each.
struct Entry {
    std::uint32_t nameAt = 0; // in Names::text; its key at twice that in Names::keys
    std::uint32_t nameLength = 0;
    int rank = 2; // "." first, ".." next, then the names
    // The host name below the search's folder, or the whole host path;
    // empty for a name whose host spelling is the name itself (ASCII).
    std::string host;
    DWORD attributes = 0;
    std::uint64_t size = 0;
    FILETIME created, accessed, written;
};

struct Names {
    std::u16string text;
    std::string keys; // the names as the sort compares them: upper-cased, big-endian code units

    std::u16string_view Of(const Entry& e) const { return std::u16string_view(text).substr(e.nameAt, e.nameLength); }
    std::string_view KeyOf(const Entry& e) const
    {
        return std::string_view(keys).substr(2 * std::size_t{e.nameAt}, 2 * std::size_t{e.nameLength});
    }
    void Add(Entry& e, std::u16string_view name)
    {
        e.nameAt = static_cast<std::uint32_t>(text.size());
        e.nameLength = static_cast<std::uint32_t>(name.size());
        text.append(name);
        // Bytes in this order compare as the code units do, so the sort can
        // use memcmp.
        std::size_t at = keys.size();
        keys.resize(at + 2 * name.size());
        for (const char16_t n : name) {
            const char16_t c = UpperCaseForNames(n);
            keys[at++] = static_cast<char>(c >> 8);
            keys[at++] = static_cast<char>(c & 0xFF);
        }
        e.rank = name == u"." ? 0 : name == u".." ? 1 : 2;
    }
};

struct Search {
    std::vector<Entry> entries;
    Names names;
    size_t next = 0;
    char16_t drive = 0;
    // The folder listed, which the entries' host names are below (AT_FDCWD
    // when they hold whole paths): a file found is opened below it without
    // walking the path again.
    int folder = AT_FDCWD;

    Search() = default;
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;
    ~Search()
    {
        if (folder >= 0)
            close(folder);
    }
};

std::mutex& SearchMutex()
{
    static std::mutex m;
    return m;
}
std::set<Search*>& LiveSearches() // guarded by SearchMutex
{
    static std::set<Search*> live;
    return live;
}

bool IsAscii(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

bool HasWildcards(std::u16string_view s) { return s.find_first_of(u"*?") != std::u16string_view::npos; }

// Glob without regard to case; "*" any run, "?" one character.
bool Glob(std::u16string_view p, std::u16string_view s)
{
    size_t pi = 0, si = 0, starP = std::u16string_view::npos, starS = 0;
    while (si < s.size()) {
        if (pi < p.size() && p[pi] == u'*') {
            starP = pi++;
            starS = si;
        } else if (pi < p.size() && (p[pi] == u'?' || UpperCaseForNames(p[pi]) == UpperCaseForNames(s[si]))) {
            ++pi;
            ++si;
        } else if (starP != std::u16string_view::npos) {
            pi = starP + 1;
            si = ++starS;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == u'*')
        ++pi;
    return pi == p.size();
}

bool Matches(std::u16string_view pattern, std::u16string_view name)
{
    if (pattern == u"*" || pattern == u"*.*")
        return true;
    if (Glob(pattern, name))
        return true;
    // "x.*" also matches "x" (no extension), as Windows does.
    if (pattern.size() >= 2 && pattern.ends_with(u".*") && name.find(u'.') == std::u16string_view::npos)
        return Glob(pattern.substr(0, pattern.size() - 2), name);
    return false;
}

// What the host tells of a file; no name (Names::Add gives it one).
Entry EntryOf(const struct stat& st)
{
    Entry e;
    e.attributes = detail::AttributesOf(st.st_mode);
    e.size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
    e.written = detail::FileTimeFromHost(st.st_mtim);
    e.accessed = detail::FileTimeFromHost(st.st_atim);
    e.created = e.written;
    return e;
}

// What the sort compares, beside the entry: no look into the entry until
// two keys are the same.
struct SortItem {
    std::string_view key;
    int rank;
    Entry* entry;
};

bool SortOrder(const Names& names, const SortItem& a, const SortItem& b)
{
    if (a.rank != b.rank)
        return a.rank < b.rank;
    if (const int c = a.key.compare(b.key); c != 0)
        return c < 0;
    return names.Of(*a.entry) < names.Of(*b.entry);
}

void Append(Search& s, std::u16string_view name, std::string host, const struct stat& st)
{
    Entry e = EntryOf(st);
    s.names.Add(e, name);
    e.host = std::move(host);
    s.entries.push_back(std::move(e));
}

// Builds the snapshot; 0 or the error code.
DWORD Collect(std::u16string_view path, Search& s, FindDetail detail)
{
    std::vector<Entry>& out = s.entries;
    size_t cut = path.find_last_of(u"\\/");
    std::u16string folder;
    std::u16string_view pattern;
    if (cut != std::u16string_view::npos) {
        folder = path.substr(0, cut + 1);
        pattern = path.substr(cut + 1);
    } else if (path.size() >= 2 && path[1] == u':') {
        folder = path.substr(0, 2);
        pattern = path.substr(2);
    } else {
        folder = u".";
        pattern = path;
    }
    if (pattern.empty())
        return ERROR_FILE_NOT_FOUND;

    if (!HasWildcards(pattern)) {
        const ResolvedPath r = ResolvePath(path);
        if (!r.ok())
            return r.error;
        struct stat st {};
        if (r.isRoot || stat(r.host.c_str(), &st) != 0)
            return r.parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
        const size_t slash = r.windows.find_last_of(u'\\');
        s.drive = r.drive;
        Append(s, std::u16string_view(r.windows).substr(slash + 1), r.host, st);
        return 0;
    }
    for (char16_t c : pattern)
        if (c < 0x20 || std::u16string_view(u"<>:\"|").find(c) != std::u16string_view::npos)
            return ERROR_INVALID_NAME;

    const ResolvedPath dir = ResolvePath(folder);
    if (!dir.ok())
        return dir.error;
    struct stat dst {};
    if (stat(dir.host.c_str(), &dst) != 0 || !S_ISDIR(dst.st_mode))
        return ERROR_PATH_NOT_FOUND;
    s.drive = dir.drive;
    const int fd = open(dir.host.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int listFd = fd < 0 ? -1 : fcntl(fd, F_DUPFD_CLOEXEC, 0);
    DIR* d = listFd < 0 ? nullptr : fdopendir(listFd);
    if (d == nullptr) {
        if (listFd >= 0)
            close(listFd);
        if (fd >= 0)
            close(fd);
        return ERROR_ACCESS_DENIED;
    }
    s.folder = fd;
    if (!dir.isRoot) {
        if (Matches(pattern, u"."))
            Append(s, u".", ".", dst);
        struct stat pst {};
        if (Matches(pattern, u"..") && fstatat(fd, "..", &pst, 0) == 0)
            Append(s, u"..", "..", pst);
    }
    // A large folder's own size hints at its entries (ext4 gives about 32
    // bytes a short name), which saves growing the list step by step.
    const auto expected = static_cast<size_t>(std::clamp<long long>(dst.st_size / 32, 16, 1 << 16));
    out.reserve(expected);
    s.names.text.reserve(expected * 24);
    s.names.keys.reserve(expected * 48);
    std::u16string wide;
    while (const dirent* e = readdir(d)) {
        const std::string_view host(e->d_name);
        if (host == "." || host == "..")
            continue;
        if (!Utf8ToUtf16(host, wide) || !IsWindowsName(wide) || !Matches(pattern, wide))
            continue;
        if (detail == FindDetail::NamesAndKinds && (e->d_type == DT_REG || e->d_type == DT_DIR)) {
            // The kind from the listing itself; the rest when it is read.
            struct stat kind {};
            kind.st_mode = e->d_type == DT_DIR ? S_IFDIR | S_IWUSR : S_IFREG | S_IWUSR;
            Append(s, wide, IsAscii(host) ? std::string() : std::string(host), kind);
            continue;
        }
        struct stat st {};
        if (fstatat(fd, e->d_name, &st, 0) != 0)
            continue; // a dangling link
        Append(s, wide, std::string(host), st);
    }
    closedir(d);
    // Sorted through pointers: the entries themselves move once.
    std::vector<SortItem> order(out.size());
    for (size_t i = 0; i < out.size(); ++i)
        order[i] = {s.names.KeyOf(out[i]), out[i].rank, &out[i]};
    const Names& names = s.names;
    std::sort(order.begin(), order.end(),
              [&names](const SortItem& a, const SortItem& b) { return SortOrder(names, a, b); });
    std::vector<Entry> sorted;
    sorted.reserve(out.size());
    for (const SortItem& item : order)
        sorted.push_back(std::move(*item.entry));
    out = std::move(sorted);
    return out.empty() ? ERROR_FILE_NOT_FOUND : 0;
}

void Fill(const Search& s, const Entry& e, WIN32_FIND_DATAW& d)
{
    // Field by field: the name buffer past its end need not be cleared.
    d.dwReserved0 = d.dwReserved1 = 0;
    d.cAlternateFileName[0] = u'\0';
    d.dwFileAttributes = e.attributes;
    d.ftCreationTime = e.created;
    d.ftLastAccessTime = e.accessed;
    d.ftLastWriteTime = e.written;
    d.nFileSizeHigh = static_cast<DWORD>(e.size >> 32);
    d.nFileSizeLow = static_cast<DWORD>(e.size & 0xFFFFFFFFu);
    const std::u16string_view name = s.names.Of(e);
    const size_t n = std::min<size_t>(name.size(), MAX_PATH - 1);
    name.copy(d.cFileName, n);
    d.cFileName[n] = u'\0';
}

void Narrow(const WIN32_FIND_DATAW& w, WIN32_FIND_DATAA& a)
{
    a = WIN32_FIND_DATAA{};
    a.dwFileAttributes = w.dwFileAttributes;
    a.ftCreationTime = w.ftCreationTime;
    a.ftLastAccessTime = w.ftLastAccessTime;
    a.ftLastWriteTime = w.ftLastWriteTime;
    a.nFileSizeHigh = w.nFileSizeHigh;
    a.nFileSizeLow = w.nFileSizeLow;
    const rtl::AnsiString name{rtl::UnicodeString(w.cFileName)};
    const size_t n = std::min<size_t>(static_cast<size_t>(name.Length()), MAX_PATH - 1);
    name.str().copy(a.cFileName, n);
    a.cFileName[n] = '\0';
}

// Takes the next entry of a live search; false at the end or for a bad handle.
bool Next(HANDLE handle, WIN32_FIND_DATAW& data)
{
    std::lock_guard lock(SearchMutex());
    auto* s = static_cast<Search*>(handle);
    if (LiveSearches().count(s) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (s->next >= s->entries.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return false;
    }
    Fill(*s, s->entries[s->next], data);
    ++s->next;
    // The names are read in sorted order, not in the order they were
    // stored: the next one is fetched while the caller works on this one.
    if (s->next < s->entries.size()) {
        __builtin_prefetch(&s->entries[s->next]);
        __builtin_prefetch(s->names.text.data() + s->entries[s->next].nameAt);
    }
    return true;
}

HANDLE InvalidHandle() { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)); }

// DOS date/time of a file time, in local time.
int DosTime(const FILETIME& ft)
{
    const timespec t = detail::HostFromFileTime(ft);
    tm local{};
    if (localtime_r(&t.tv_sec, &local) == nullptr || local.tm_year < 80)
        return 0;
    const unsigned date =
        static_cast<unsigned>(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
    const unsigned time = static_cast<unsigned>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
    return static_cast<int>((date << 16) | time);
}

void FillRec(TSearchRec& rec)
{
    const WIN32_FIND_DATAW& d = rec.FindData;
    rec.Name = rtl::UnicodeString(d.cFileName);
    rec.Attr = static_cast<int>(d.dwFileAttributes);
    rec.Size = static_cast<std::int64_t>((static_cast<std::uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow);
    rec.Time = DosTime(d.ftLastWriteTime);
}

// Advances to the next entry the record's attribute filter lets through.
int NextAllowed(TSearchRec& rec)
{
    for (;;) {
        if (!Next(rec.FindHandle, rec.FindData))
            return static_cast<int>(GetLastError());
        if ((static_cast<int>(rec.FindData.dwFileAttributes) & rec.ExcludeAttr) == 0)
            break;
    }
    FillRec(rec);
    return 0;
}

} // namespace

HANDLE FindFirstFileW(const char16_t* pattern, WIN32_FIND_DATAW* data)
{
    return FindFirstFileW(pattern, data, FindDetail::Full);
}

HANDLE FindFirstFileW(const char16_t* pattern, WIN32_FIND_DATAW* data, FindDetail detail)
{
    if (pattern == nullptr || data == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return InvalidHandle();
    }
    auto search = std::make_unique<Search>();
    if (const DWORD error = Collect(pattern, *search, detail); error != 0) {
        SetLastError(error);
        return InvalidHandle();
    }
    Fill(*search, search->entries[0], *data);
    search->next = 1;
    std::lock_guard lock(SearchMutex());
    LiveSearches().insert(search.get());
    return search.release();
}

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data)
{
    if (pattern == nullptr || data == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return InvalidHandle();
    }
    WIN32_FIND_DATAW wide;
    HANDLE h = FindFirstFileW(AnsiPathToWide(pattern).c_str(), &wide);
    if (h != InvalidHandle())
        Narrow(wide, *data);
    return h;
}

BOOL FindNextFileW(HANDLE search, WIN32_FIND_DATAW* data)
{
    if (data == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return Next(search, *data) ? 1 : 0;
}

BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* data)
{
    if (data == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WIN32_FIND_DATAW wide;
    if (!Next(search, wide))
        return 0;
    Narrow(wide, *data);
    return 1;
}

BOOL FindClose(HANDLE search)
{
    auto* s = static_cast<Search*>(search);
    {
        std::lock_guard lock(SearchMutex());
        if (LiveSearches().erase(s) == 0) {
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
        }
    }
    delete s;
    return 1;
}

long ReadFoundFile(HANDLE search, void* buffer, std::size_t size, WIN32_FIND_DATAW* data)
{
    int fd = -1;
    {
        std::lock_guard lock(SearchMutex());
        auto* s = static_cast<Search*>(search);
        if (LiveSearches().count(s) == 0 || s->next == 0 || s->next > s->entries.size()) {
            errno = EINVAL;
            return -1;
        }
        // A card pulled since the listing answers no more.
        if (!DriveTable::Instance().IsPresent(s->drive)) {
            errno = ENODEV;
            return -1;
        }
        // Never blocks on a fifo or a device put there meanwhile: only a
        // regular file is read.
        const Entry& e = s->entries[s->next - 1];
        char ascii[MAX_PATH + 1];
        const char* host = e.host.c_str();
        if (e.host.empty()) {
            const std::u16string_view name = s->names.Of(e);
            size_t n = 0;
            for (; n < name.size() && n < MAX_PATH; ++n)
                ascii[n] = static_cast<char>(name[n]);
            ascii[n] = 0;
            host = ascii;
        }
        fd = openat(s->folder, host, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    }
    if (fd < 0)
        return -1;
    // The size from the same open; a fifo cannot seek, a folder cannot be read.
    const off_t end = lseek(fd, 0, SEEK_END);
    if (end < 0) {
        close(fd);
        errno = EACCES;
        return -1;
    }
    if (data != nullptr) {
        data->nFileSizeHigh = static_cast<DWORD>(static_cast<std::uint64_t>(end) >> 32);
        data->nFileSizeLow = static_cast<DWORD>(static_cast<std::uint64_t>(end) & 0xFFFFFFFFu);
    }
    const std::size_t want = std::min<std::uint64_t>(size, static_cast<std::uint64_t>(end));
    const long got = ReadFileAt(fd, 0, buffer, want);
    if (got < 0) {
        const int error = errno == EISDIR ? EACCES : errno;
        close(fd);
        errno = error;
        return -1;
    }
    close(fd);
    return got;
}

int FindFirst(const rtl::UnicodeString& path, int attr, TSearchRec& rec)
{
    rec.ExcludeAttr = ~attr & (faHidden | faSysFile | faDirectory);
    rec.FindHandle = FindFirstFileW(path.c_str(), &rec.FindData);
    if (rec.FindHandle == InvalidHandle()) {
        rec.FindHandle = nullptr;
        return static_cast<int>(GetLastError());
    }
    if ((static_cast<int>(rec.FindData.dwFileAttributes) & rec.ExcludeAttr) == 0) {
        FillRec(rec);
        return 0;
    }
    const int error = NextAllowed(rec);
    if (error != 0) {
        FindClose(rec);
        return error == static_cast<int>(ERROR_NO_MORE_FILES) ? static_cast<int>(ERROR_FILE_NOT_FOUND) : error;
    }
    return 0;
}

int FindNext(TSearchRec& rec)
{
    if (rec.FindHandle == nullptr)
        return static_cast<int>(ERROR_INVALID_HANDLE);
    return NextAllowed(rec);
}

void FindClose(TSearchRec& rec)
{
    if (rec.FindHandle != nullptr) {
        FindClose(rec.FindHandle);
        rec.FindHandle = nullptr;
    }
}

} // namespace win
