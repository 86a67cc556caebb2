#include "host/undo/ur_snapshot_store.h"

#include "host/undo/ur_manager.h"
#include "platform/file_faults.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <utility>

namespace kel::host {
namespace {

using kel::platform::FileOp;
using kel::platform::InjectedFileFault;

constexpr std::size_t kWriteBuffer = 256 * 1024;
constexpr std::size_t kReadWindow = 256 * 1024;
constexpr std::size_t kCompactWindow = 1024 * 1024;
// Erased space the file may hold beyond the live bytes before it is compacted.
constexpr std::uint64_t kSlack = 768 * 1024;

// A descriptor that closes itself.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : m_fd(fd) {}
    Fd(Fd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        if (this != &other) {
            Reset();
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    ~Fd() { Reset(); }
    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    void Reset() {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd = -1;
};

// Runs `io` (pread or pwrite of `left` bytes at `at` of the caller's buffer) until all `size`
// bytes are through, across short transfers and interrupted calls.
template <class Io>
bool Whole(std::size_t size, Io io) {
    for (std::size_t at = 0; at < size;) {
        const ssize_t n = io(at, size - at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        at += static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteAll(int fd, const BYTE* data, std::size_t size, std::uint64_t offset) {
    return Whole(size, [&](std::size_t at, std::size_t left) {
        return pwrite(fd, data + at, left, static_cast<off_t>(offset + at));
    });
}

// Reads [offset, offset + size) of a file through a window that is read whole, so that entries
// read in the order they lie cost one read a window.
class WindowReader {
public:
    // `path` names the file for the fault seam.
    WindowReader(std::size_t window, const std::string& path) : m_window(window), m_path(path) {}
    void Invalidate() { m_buffer.clear(); }
    std::size_t Capacity() const { return m_buffer.capacity(); }

    // `end` is where the file's valid bytes end.
    bool Read(int fd, std::uint64_t end, std::uint64_t offset, std::size_t size, BYTE* out) {
        if (offset + size > end)
            return false;
        if (offset < m_start || offset + size > m_start + m_buffer.size()) {
            if (size >= m_window)
                return ReadExactly(fd, offset, size, out);
            const auto length =
                static_cast<std::size_t>(std::min<std::uint64_t>(m_window, end - offset));
            m_buffer.resize(length);
            if (!ReadExactly(fd, offset, length, m_buffer.data())) {
                m_buffer.clear();
                return false;
            }
            m_start = offset;
        }
        std::memcpy(out, m_buffer.data() + (offset - m_start), size);
        return true;
    }

private:
    bool ReadExactly(int fd, std::uint64_t offset, std::size_t size, BYTE* out) const {
        if (InjectedFileFault(FileOp::read, m_path.c_str()) != 0)
            return false;
        return Whole(size, [&](std::size_t at, std::size_t left) {
            return pread(fd, out + at, left, static_cast<off_t>(offset + at));
        });
    }

    std::size_t m_window;
    const std::string& m_path;
    std::vector<BYTE> m_buffer;
    std::uint64_t m_start = 0;
};

// This process's id, asked of the system once and again only in a child after fork: the store
// asks it at every call, and the system call would cost more than the call itself.
pid_t ThisProcess() {
    static pid_t pid = [] {
        pthread_atfork(nullptr, nullptr, [] { pid = getpid(); });
        return getpid();
    }();
    return pid;
}

class SnapshotStore {
public:
    ~SnapshotStore() {
        std::lock_guard lock(m_mutex);
        if (m_ownerPid == ThisProcess())
            Close();
    }

    CString NewKey() {
        std::lock_guard lock(m_mutex);
        if (!EnsureOpen())
            return {};
        return CString(m_keyPrefix + std::to_string(++m_counter) + ".tmp");
    }

    bool Write(const CString& key, const std::vector<BYTE>& bytes) {
        std::lock_guard lock(m_mutex);
        std::uint64_t id = 0;
        if (!IsOpen() || !ParseKey(key, id))
            return false;
        if (InjectedFileFault(FileOp::write, m_folder.c_str()) != 0)
            return false;
        // What the key held goes only once the new bytes are kept.
        Extent extent{0, bytes.size()};
        if (bytes.size() > kWriteBuffer) {
            // Too large to gather: straight to the file, behind what is gathered.
            if (!Flush() || !WriteAll(m_data.get(), bytes.data(), bytes.size(), m_flushed))
                return false;
            extent.offset = m_flushed;
            m_flushed += bytes.size();
        } else {
            if (m_pending.size() + bytes.size() > kWriteBuffer && !Flush())
                return false;
            extent.offset = m_flushed + m_pending.size();
            m_pending.insert(m_pending.end(), bytes.begin(), bytes.end());
        }
        EraseLocked(id);
        m_index[id] = extent;
        m_live += bytes.size();
        return true;
    }

    bool Read(const CString& key, std::vector<BYTE>& bytes) {
        std::lock_guard lock(m_mutex);
        bytes.clear();
        std::uint64_t id = 0;
        if (!IsOpen() || !ParseKey(key, id))
            return false;
        const auto it = m_index.find(id);
        if (it == m_index.end())
            return false;
        const Extent extent = it->second;
        bytes.resize(extent.size);
        if (extent.offset >= m_flushed) {
            std::memcpy(bytes.data(), m_pending.data() + (extent.offset - m_flushed), extent.size);
            return true;
        }
        if (!m_reader.Read(m_data.get(), m_flushed, extent.offset, extent.size, bytes.data())) {
            bytes.clear();
            return false;
        }
        return true;
    }

    bool Has(const CString& key) {
        std::lock_guard lock(m_mutex);
        std::uint64_t id = 0;
        return IsOpen() && ParseKey(key, id) && m_index.count(id) != 0;
    }

    std::size_t Size(const CString& key) {
        std::lock_guard lock(m_mutex);
        std::uint64_t id = 0;
        if (!IsOpen() || !ParseKey(key, id))
            return 0;
        const auto it = m_index.find(id);
        return it == m_index.end() ? 0 : it->second.size;
    }

    void Erase(const CString* keys, std::size_t count) {
        std::lock_guard lock(m_mutex);
        if (!IsOpen())
            return;
        for (std::size_t i = 0; i < count; ++i) {
            std::uint64_t id = 0;
            if (ParseKey(keys[i], id))
                EraseLocked(id);
        }
        ReclaimSpace();
    }

    bool FlushAll() {
        std::lock_guard lock(m_mutex);
        return IsOpen() && Flush();
    }

    URSnapshotUsage Usage() {
        std::lock_guard lock(m_mutex);
        URSnapshotUsage usage;
        if (!IsOpen())
            return usage;
        usage.entries = m_index.size();
        usage.liveBytes = m_live;
        usage.storedBytes = m_flushed + m_pending.size();
        // A node of the index: the pair, the hash chain's link and the cached hash.
        constexpr std::size_t kNode = sizeof(std::pair<const std::uint64_t, Extent>) + 16;
        usage.memoryBytes = m_index.size() * kNode + m_index.bucket_count() * sizeof(void*) +
                            m_pending.capacity() + m_reader.Capacity();
        return usage;
    }

    CString Folder() {
        std::lock_guard lock(m_mutex);
        return IsOpen() ? CString(m_folder) : CString();
    }

private:
    struct Extent {
        std::uint64_t offset;
        std::size_t size;
    };

    bool IsOpen() const { return m_ownerPid == ThisProcess() && m_data; }

    static std::string BaseFolder() {
        const char* tmp = std::getenv("TMPDIR");
        return tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp";
    }

    static std::string FolderPrefix() { return "kelur-" + std::to_string(geteuid()) + "-"; }

    bool ParseKey(const CString& key, std::uint64_t& id) const {
        const std::string_view text(key.GetString());
        const std::string_view suffix = ".tmp";
        if (text.size() <= m_keyPrefix.size() + suffix.size() ||
            text.substr(0, m_keyPrefix.size()) != m_keyPrefix ||
            text.substr(text.size() - suffix.size()) != suffix)
            return false;
        const char* first = text.data() + m_keyPrefix.size();
        const char* last = text.data() + text.size() - suffix.size();
        const auto [end, ec] = std::from_chars(first, last, id);
        return ec == std::errc() && end == last && id > 0 && id <= m_counter;
    }

    bool EnsureOpen() {
        if (IsOpen())
            return true;
        if (m_ownerPid != -1 && m_ownerPid != ThisProcess())
            Forget(); // a forked child: the parent's store stays the parent's
        RemoveStaleFolders();
        // Another process's clean-up may take a fresh folder before its lock is held; then the
        // folder is gone by the time the lock is ours, and a new one is made.
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (CreateFolder())
                return OpenDataFile();
        }
        return false;
    }

    bool CreateFolder() {
        std::string path =
            BaseFolder() + "/" + FolderPrefix() + std::to_string(ThisProcess()) + "-XXXXXX";
        // A fresh directory with mode 0700 under an unpredictable name.
        if (mkdtemp(path.data()) == nullptr)
            return false;
        Fd folder(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        struct stat st {};
        if (!folder || flock(folder.get(), LOCK_EX) != 0 || fstat(folder.get(), &st) != 0 ||
            st.st_nlink == 0 || st.st_uid != geteuid() || (st.st_mode & 077) != 0)
            return false;
        m_dir = std::move(folder);
        m_folder = path;
        m_keyPrefix = path + "/ur";
        m_ownerPid = ThisProcess();
        m_counter = 0;
        return true;
    }

    // A file without a name where the system offers one (it vanishes with the process, even
    // one that is killed), else a named file removed as soon as it is open.
    Fd CreateDataFile() const {
        if (InjectedFileFault(FileOp::create, m_folder.c_str()) != 0)
            return Fd();
        Fd file(openat(m_dir.get(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, S_IRUSR | S_IWUSR));
        if (file)
            return file;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = "store-" + std::to_string(++m_fileCounter);
            file =
                Fd(openat(m_dir.get(), name.c_str(),
                          O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR));
            if (file) {
                unlinkat(m_dir.get(), name.c_str(), 0);
                return file;
            }
            if (errno != EEXIST)
                break;
        }
        return Fd();
    }

    bool OpenDataFile() {
        m_data = CreateDataFile();
        if (!m_data) {
            Close();
            return false;
        }
        return true;
    }

    void EraseLocked(std::uint64_t id) {
        const auto it = m_index.find(id);
        if (it == m_index.end())
            return;
        m_live -= it->second.size;
        m_index.erase(it);
    }

    bool Flush() {
        if (m_pending.empty())
            return true;
        if (InjectedFileFault(FileOp::write, m_folder.c_str()) != 0 ||
            !WriteAll(m_data.get(), m_pending.data(), m_pending.size(), m_flushed))
            return false; // kept: its entries are read from memory until a flush succeeds
        m_flushed += m_pending.size();
        m_pending.clear();
        return true;
    }

    void ReclaimSpace() {
        if (m_index.empty()) {
            if (ftruncate(m_data.get(), 0) == 0)
                m_flushed = 0;
            m_pending.clear();
            m_reader.Invalidate();
            return;
        }
        if (m_flushed + m_pending.size() > 2 * m_live + kSlack)
            Compact();
    }

    // Copies the live entries, in the order they lie, into a fresh file that takes the old one's
    // place. When anything fails the old file stays as it was.
    void Compact() {
        Fd fresh = CreateDataFile();
        if (!fresh)
            return;
        std::vector<std::pair<std::uint64_t, Extent*>> order;
        order.reserve(m_index.size());
        for (auto& [id, extent] : m_index)
            order.emplace_back(extent.offset, &extent);
        std::sort(order.begin(), order.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });

        WindowReader reader(kCompactWindow, m_folder);
        std::vector<BYTE> out;
        out.reserve(kCompactWindow);
        std::vector<BYTE> pending;
        std::uint64_t written = 0;
        std::vector<std::uint64_t> offsets(order.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            const Extent& extent = *order[i].second;
            if (extent.offset >= m_flushed) {
                offsets[i] = pending.size(); // rebased below, once the file's length is known
                const BYTE* from = m_pending.data() + (extent.offset - m_flushed);
                pending.insert(pending.end(), from, from + extent.size);
                continue;
            }
            if (out.size() + extent.size > kCompactWindow && !out.empty()) {
                if (InjectedFileFault(FileOp::write, m_folder.c_str()) != 0 ||
                    !WriteAll(fresh.get(), out.data(), out.size(), written))
                    return;
                written += out.size();
                out.clear();
            }
            offsets[i] = written + out.size();
            const std::size_t at = out.size();
            out.resize(at + extent.size);
            if (!reader.Read(m_data.get(), m_flushed, extent.offset, extent.size, out.data() + at))
                return;
        }
        if (!out.empty()) {
            if (InjectedFileFault(FileOp::write, m_folder.c_str()) != 0 ||
                !WriteAll(fresh.get(), out.data(), out.size(), written))
                return;
            written += out.size();
        }
        for (std::size_t i = 0; i < order.size(); ++i) {
            Extent& extent = *order[i].second;
            extent.offset = extent.offset >= m_flushed ? written + offsets[i] : offsets[i];
        }
        m_data = std::move(fresh);
        m_flushed = written;
        m_pending = std::move(pending);
        m_reader.Invalidate();
    }

    // Drops what a forked child inherited without touching the parent's folder or file.
    void Forget() {
        m_data.Reset();
        m_dir.Reset();
        m_index.clear();
        m_pending.clear();
        m_reader.Invalidate();
        m_folder.clear();
        m_keyPrefix.clear();
        m_flushed = 0;
        m_live = 0;
        m_ownerPid = -1;
    }

    // Closes the store and removes its folder, also when its mode was changed meanwhile: what
    // it holds is removed through the descriptor opened when it was made, and the folder only
    // while its path still leads to that same folder.
    void Close() {
        m_data.Reset();
        if (m_dir) {
            RemoveEntries(m_dir.get());
            struct stat atPath {};
            struct stat ours {};
            if (lstat(m_folder.c_str(), &atPath) == 0 && fstat(m_dir.get(), &ours) == 0 &&
                atPath.st_dev == ours.st_dev && atPath.st_ino == ours.st_ino)
                rmdir(m_folder.c_str());
        }
        Forget();
    }

    // Removes the files of a folder; folders inside it are left, and then so is the folder.
    static void RemoveEntries(int dirFd) {
        const int fd = dup(dirFd);
        if (fd < 0)
            return;
        DIR* dir = fdopendir(fd);
        if (dir == nullptr) {
            close(fd);
            return;
        }
        rewinddir(dir);
        std::vector<std::string> names;
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            struct stat st {};
            if (name != "." && name != ".." &&
                fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(st.st_mode))
                names.push_back(name);
        }
        closedir(dir);
        for (const std::string& name : names)
            unlinkat(dirFd, name.c_str(), 0);
    }

    // Folders of ours whose lock nobody holds: their process is gone, in whatever namespace it
    // ran. Only private folders of ours are touched.
    static void RemoveStaleFolders() {
        const std::string base = BaseFolder();
        const std::string prefix = FolderPrefix();
        DIR* dir = opendir(base.c_str());
        if (dir == nullptr)
            return;
        std::vector<std::string> candidates;
        while (const dirent* entry = readdir(dir)) {
            if (std::string_view(entry->d_name).substr(0, prefix.size()) == prefix)
                candidates.emplace_back(base + "/" + entry->d_name);
        }
        closedir(dir);
        for (const std::string& path : candidates) {
            Fd folder(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            struct stat st {};
            if (!folder || fstat(folder.get(), &st) != 0 || st.st_uid != geteuid() ||
                (st.st_mode & 077) != 0 || flock(folder.get(), LOCK_EX | LOCK_NB) != 0)
                continue;
            RemoveEntries(folder.get());
            rmdir(path.c_str());
        }
    }

    std::mutex m_mutex;
    pid_t m_ownerPid = -1;
    Fd m_dir;  // holds the lock that tells other processes the store is live
    Fd m_data; // the entries' bytes up to m_flushed
    std::string m_folder;
    std::string m_keyPrefix;
    std::uint64_t m_counter = 0;
    mutable unsigned m_fileCounter = 0;
    std::unordered_map<std::uint64_t, Extent> m_index;
    std::vector<BYTE> m_pending; // entries at m_flushed and after, not written yet
    std::uint64_t m_flushed = 0;
    std::uint64_t m_live = 0;
    WindowReader m_reader{kReadWindow, m_folder};
};

SnapshotStore& TheStore() {
    static SnapshotStore store;
    return store;
}

} // namespace

bool WriteURSnapshot(const CString& key, const std::vector<BYTE>& bytes) {
    return TheStore().Write(key, bytes);
}

bool ReadURSnapshot(const CString& key, std::vector<BYTE>& bytes) {
    return TheStore().Read(key, bytes);
}

bool HasURSnapshot(const CString& key) {
    return TheStore().Has(key);
}

std::size_t GetURSnapshotSize(const CString& key) {
    return TheStore().Size(key);
}

void EraseURSnapshots(const CString* keys, std::size_t count) {
    TheStore().Erase(keys, count);
}

bool FlushURSnapshots() {
    return TheStore().FlushAll();
}

URSnapshotUsage GetURSnapshotUsage() {
    return TheStore().Usage();
}

CString GetURSnapshotFolder() {
    return TheStore().Folder();
}

} // namespace kel::host

CString KelGetUniqueURFileName() {
    return kel::host::TheStore().NewKey();
}
