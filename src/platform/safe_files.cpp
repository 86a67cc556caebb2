#include "platform/safe_files.h"

#include "platform/file_faults.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kel::platform {

namespace {

// Linux follows at most 40 links in one path; a longer chain is a loop.
constexpr int kMaxLinkHops = 40;

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { Reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    void Adopt(int fd) {
        Reset();
        m_fd = fd;
    }
    // Closes now; false when closing reported an error (lost data on a write).
    bool Reset() {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || close(fd) == 0;
    }

private:
    int m_fd;
};

void SetError(std::string* error, const std::string& text, int osError) {
    if (error)
        *error = osError ? text + ": " + std::strerror(osError) : text;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The kernel's rule for links in shared folders (fs.protected_symlinks), which following a link
// by hand would bypass: in a sticky folder that everyone may write to, only a link of the
// follower's own or of the folder's owner is followed. Otherwise any user could point a name
// that another is about to save to at that user's files. The same rule keeps a file that
// another user left there from being taken over (fs.protected_regular): its permissions would
// pass on to what is saved.
bool MayUseEntryOf(const struct stat& folder, const struct stat& entry) {
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return !shared || entry.st_uid == geteuid() || entry.st_uid == folder.st_uid;
}

// The file a path finally names: symbolic links followed to their end, which may not exist
// yet. Empty (with the reason) for a loop or a link that must not be followed.
std::string FollowLinks(std::string path, std::string* error) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        // The link itself is opened, so that the link whose owner is checked is the one read.
        const Descriptor folder(open(FolderOf(path).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        const Descriptor link(
            folder ? openat(folder.Get(), NameOf(path).c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC)
                   : -1);
        struct stat st {};
        if (!link || fstat(link.Get(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        struct stat folderSt {};
        if (fstat(folder.Get(), &folderSt) != 0) {
            SetError(error, "cannot follow the link " + path, errno);
            return {};
        }
        if (!MayUseEntryOf(folderSt, st)) {
            SetError(error,
                     "will not follow " + path +
                         ", a link that another user placed in a folder shared with everyone",
                     EACCES);
            return {};
        }
        std::string target(static_cast<std::size_t>(st.st_size) + 256, '\0');
        const ssize_t length = readlinkat(link.Get(), "", target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) {
            SetError(error, "cannot follow the link " + path, length < 0 ? errno : 0);
            return {};
        }
        target.resize(static_cast<std::size_t>(length));
        path = target.front() == '/' ? target : FolderOf(path) + "/" + target;
    }
    SetError(error, "too many links from " + path, ELOOP);
    return {};
}

// 64 bits that no other user can guess: a name known in advance could be taken by anyone who
// may write to the folder, and every save of the file would fail.
std::string UnguessableSuffix() {
    std::uint64_t bits = 0;
    if (getrandom(&bits, sizeof bits, 0) != static_cast<ssize_t>(sizeof bits)) {
        std::random_device device;
        bits = (std::uint64_t{device()} << 32) ^ device();
    }
    char text[16];
    const auto end = std::to_chars(text, text + sizeof text, bits, 16).ptr;
    return std::string(text, end);
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Removes what killed processes of ours left beside the target. Only our own plain files and
// links go; a link is removed, never what it points to.
void RemoveStaleTempFiles(int folder, const std::string& prefix) {
    const int listFd = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0)
        return;
    DIR* dir = fdopendir(listFd);
    if (!dir) {
        close(listFd);
        return;
    }
    while (const dirent* entry = readdir(dir)) {
        const pid_t pid = ProcessIdInName(entry->d_name, prefix);
        if (pid <= 0 || pid == getpid() || !IsProcessGone(pid))
            continue;
        struct stat st {};
        if (fstatat(folder, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) && st.st_uid == geteuid())
            unlinkat(folder, entry->d_name, 0);
    }
    closedir(dir);
}

} // namespace

ReadStatus ReadRegularFile(const char* path, std::size_t maxBytes, std::string& data,
                           int* osError) {
    if (osError)
        *osError = 0;
    const auto fail = [&](ReadStatus status, int error) {
        if (osError)
            *osError = error;
        return status;
    };
    if (!path || !*path)
        return fail(ReadStatus::missing, ENOENT);
    if (const int injected = InjectedFileFault(FileOp::read, path))
        return fail(ReadStatus::failed, injected);
    // Without O_NONBLOCK opening a pipe waits for a writer that may never come.
    Descriptor fd(open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd) {
        const int error = errno;
        return fail(error == ENOENT || error == ENOTDIR ? ReadStatus::missing : ReadStatus::failed,
                    error);
    }
    struct stat st {};
    if (fstat(fd.Get(), &st) != 0)
        return fail(ReadStatus::failed, errno);
    if (!S_ISREG(st.st_mode))
        return fail(ReadStatus::notRegular, S_ISDIR(st.st_mode) ? EISDIR : 0);
    if (static_cast<unsigned long long>(st.st_size) > maxBytes)
        return fail(ReadStatus::tooLarge, EFBIG);
    // The file may grow while it is read: one byte more than the limit tells.
    std::string buffer(static_cast<std::size_t>(st.st_size) + 1, '\0');
    std::size_t total = 0;
    while (true) {
        if (total == buffer.size()) {
            if (total > maxBytes)
                return fail(ReadStatus::tooLarge, EFBIG);
            buffer.resize(std::min(maxBytes + 1, total * 2 + 1));
        }
        const ssize_t n = read(fd.Get(), buffer.data() + total, buffer.size() - total);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(ReadStatus::failed, errno);
        if (n == 0)
            break;
        total += static_cast<std::size_t>(n);
    }
    if (total > maxBytes)
        return fail(ReadStatus::tooLarge, EFBIG);
    buffer.resize(total);
    data = std::move(buffer);
    return ReadStatus::ok;
}

ReplaceStatus ReplaceFileContents(const char* path, std::string_view data, std::string* error) {
    if (!path || !*path) {
        SetError(error, "no file name", 0);
        return ReplaceStatus::createFailed;
    }
    const std::string target = FollowLinks(path, error);
    if (target.empty())
        return ReplaceStatus::createFailed;
    const std::string folderPath = FolderOf(target);
    const std::string name = NameOf(target);
    Descriptor folder(open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder) {
        SetError(error, "cannot open the folder " + folderPath, errno);
        return ReplaceStatus::createFailed;
    }
    struct stat existing {};
    const bool exists = fstatat(folder.Get(), name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        SetError(error, target + " is not a regular file", 0);
        return ReplaceStatus::createFailed;
    }
    struct stat folderSt {};
    if (fstat(folder.Get(), &folderSt) != 0) {
        SetError(error, "cannot open the folder " + folderPath, errno);
        return ReplaceStatus::createFailed;
    }
    if (exists && !MayUseEntryOf(folderSt, existing)) {
        SetError(error,
                 "will not replace " + target +
                     ", a file that another user placed in a folder shared with everyone",
                 EACCES);
        return ReplaceStatus::createFailed;
    }

    const std::string prefix = name + ".save-";
    RemoveStaleTempFiles(folder.Get(), prefix);

    // O_EXCL and O_NOFOLLOW: anything already at the name, a planted link included, is
    // refused, and the descriptor is the only way the data goes in. The process id in the name
    // lets a later save tidy what a killed process left.
    std::string temp;
    Descriptor file;
    if (const int injected = InjectedFileFault(FileOp::create, target.c_str())) {
        SetError(error, "cannot create a file beside " + target, injected);
        return ReplaceStatus::createFailed;
    }
    const std::string ownPrefix = prefix + std::to_string(getpid()) + "-";
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        temp = ownPrefix + UnguessableSuffix();
        file.Adopt(openat(folder.Get(), temp.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!file && errno != EEXIST)
            break;
    }
    if (!file) {
        SetError(error, "cannot create a file beside " + target, errno);
        return ReplaceStatus::createFailed;
    }
    const auto abandon = [&](const std::string& what, int osError) {
        file.Reset();
        unlinkat(folder.Get(), temp.c_str(), 0);
        SetError(error, what, osError);
        return ReplaceStatus::writeFailed;
    };
    // Before any data goes in, so that a private file is never readable by others.
    if (exists && fchmod(file.Get(), existing.st_mode & 07777) != 0)
        return abandon("cannot keep the permissions of " + target, errno);
    if (const int injected = InjectedFileFault(FileOp::write, target.c_str()))
        return abandon("cannot write beside " + target, injected);
    if (!WriteAll(file.Get(), data))
        return abandon("cannot write beside " + target, errno);
    // The data must be on the disk before the name points at it: after a power loss the
    // rename may have lasted while data still in memory did not, leaving an empty target.
    if (const int injected = InjectedFileFault(FileOp::flush, target.c_str()))
        return abandon("cannot flush the new " + target + " to the disk", injected);
    if (fsync(file.Get()) != 0)
        return abandon("cannot flush the new " + target + " to the disk", errno);
    if (!file.Reset())
        return abandon("cannot write beside " + target, errno);
    if (const int injected = InjectedFileFault(FileOp::rename, target.c_str()))
        return abandon("cannot replace " + target, injected);
    if (renameat(folder.Get(), temp.c_str(), folder.Get(), name.c_str()) != 0)
        return abandon("cannot replace " + target, errno);
    // The rename lives in the folder: until it is flushed a power loss may bring back the old
    // file, or no file at all where there was none. Some file systems cannot flush a folder
    // (EINVAL); they order their own writes, and the data itself is safe by then.
    int folderError = InjectedFileFault(FileOp::flushFolder, folderPath.c_str());
    if (!folderError && fsync(folder.Get()) != 0)
        folderError = errno;
    if (folderError && folderError != EINVAL) {
        SetError(error,
                 target + " was written, but the disk did not confirm it: a power loss may "
                          "undo the save",
                 folderError);
        return ReplaceStatus::writeFailed;
    }
    return ReplaceStatus::ok;
}

bool IsProcessGone(pid_t pid) {
    return pid > 0 && kill(pid, 0) != 0 && errno == ESRCH;
}

pid_t ProcessIdInName(std::string_view name, std::string_view prefix) {
    if (name.substr(0, prefix.size()) != prefix)
        return 0;
    name.remove_prefix(prefix.size());
    pid_t pid = 0;
    const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (ec != std::errc() || end == name.data() || end == name.data() + name.size() || *end != '-')
        return 0;
    return pid;
}

} // namespace kel::platform
