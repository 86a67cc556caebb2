#include "host/undo/ur_manager.h"
#include "host/undo/ur_snapshot_store.h"
#include "platform/file_faults.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using kel::host::GetURSnapshotUsage;
using kel::platform::FileOp;

std::vector<BYTE> Bytes(std::size_t size, unsigned seed) {
    std::vector<BYTE> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<BYTE>((i * 31 + seed * 7) & 0xFF);
    return bytes;
}

std::vector<BYTE> Read(const CString& key) {
    std::vector<BYTE> bytes;
    EXPECT_TRUE(kel::host::ReadURSnapshot(key, bytes)) << key.str();
    return bytes;
}

void Erase(std::vector<CString>& keys) {
    kel::host::EraseURSnapshots(keys.data(), keys.size());
    keys.clear();
}

// Every file operation of the given kind fails with `error` while it lives.
class Fault {
public:
    Fault(FileOp failing, int error) {
        kel::platform::SetFileFaultHook(
            [failing, error](FileOp op, const char*) { return op == failing ? error : 0; });
    }
    ~Fault() { kel::platform::SetFileFaultHook({}); }
};

bool IsPrivateFolder(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
           (st.st_mode & 077) == 0;
}

// Runs `body` in a child process and returns its exit status (-1 when it did not exit).
template <class Body>
int InChild(Body body) {
    const pid_t child = fork();
    if (child == 0)
        std::exit(body());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(URSnapshotStore, KeysAreFreshAndTheBytesLieInNoFileAnyoneCouldOpen) {
    const CString first = KelGetUniqueURFileName();
    const CString second = KelGetUniqueURFileName();
    ASSERT_FALSE(first.IsEmpty());
    EXPECT_NE(first, second);
    const std::string folder = kel::host::GetURSnapshotFolder().str();
    EXPECT_TRUE(IsPrivateFolder(folder));
    EXPECT_EQ(first.str().rfind(folder + "/", 0), 0u) << first.str();

    ASSERT_TRUE(kel::host::WriteURSnapshot(first, Bytes(5000, 1)));
    // The store's file has no name: nothing is left to tidy however the process ends.
    EXPECT_TRUE(fs::is_empty(folder));
    kel::host::EraseURSnapshot(first);
}

TEST(URSnapshotStore, AnEntryIsReadAsOftenAsAskedUntilItIsErasedOrReplaced) {
    const CString key = KelGetUniqueURFileName();
    ASSERT_TRUE(kel::host::WriteURSnapshot(key, Bytes(700, 2)));
    EXPECT_EQ(Read(key), Bytes(700, 2));
    EXPECT_EQ(Read(key), Bytes(700, 2));
    ASSERT_TRUE(kel::host::WriteURSnapshot(key, Bytes(90, 3)));
    EXPECT_EQ(Read(key), Bytes(90, 3));

    kel::host::EraseURSnapshot(key);
    std::vector<BYTE> bytes{1, 2, 3};
    EXPECT_FALSE(kel::host::HasURSnapshot(key));
    EXPECT_FALSE(kel::host::ReadURSnapshot(key, bytes));
    EXPECT_TRUE(bytes.empty());
    // Names the store never handed out are no keys of it, whatever they look like.
    const std::string folder = kel::host::GetURSnapshotFolder().str();
    for (const std::string& foreign : {folder + "/ur999999999.tmp", folder + "/../x.tmp",
                                       std::string("/etc/passwd"), std::string()}) {
        EXPECT_FALSE(kel::host::WriteURSnapshot(CString(foreign), Bytes(10, 4))) << foreign;
        EXPECT_FALSE(kel::host::HasURSnapshot(CString(foreign))) << foreign;
    }
}

TEST(URSnapshotStore, ManyEntriesComeBackWhileErasedSpaceIsGivenBack) {
    const auto before = GetURSnapshotUsage();
    std::vector<CString> keys;
    std::vector<std::size_t> sizes;
    for (unsigned i = 0; i < 4000; ++i) {
        keys.push_back(KelGetUniqueURFileName());
        sizes.push_back(50 + (i * 977) % 3000);
        ASSERT_TRUE(kel::host::WriteURSnapshot(keys.back(), Bytes(sizes.back(), i)));
    }
    const CString large = KelGetUniqueURFileName(); // more than is gathered before writing
    ASSERT_TRUE(kel::host::WriteURSnapshot(large, Bytes(600 * 1024, 9)));

    const auto bounded = [] {
        const auto usage = GetURSnapshotUsage();
        return usage.storedBytes <= 2 * usage.liveBytes + 1024 * 1024;
    };
    // Erased in the ways commands erase: every other one, then a run, then the rest.
    std::vector<CString> batch;
    for (std::size_t i = 0; i < keys.size(); i += 2)
        batch.push_back(keys[i]);
    Erase(batch);
    EXPECT_TRUE(bounded());
    for (std::size_t i = 1; i < 2001; i += 2)
        batch.push_back(keys[i]);
    Erase(batch);
    EXPECT_TRUE(bounded());
    for (std::size_t i = 2001; i < keys.size(); i += 2)
        EXPECT_EQ(Read(keys[i]), Bytes(sizes[i], static_cast<unsigned>(i))) << i;
    EXPECT_EQ(Read(large), Bytes(600 * 1024, 9));

    for (std::size_t i = 2001; i < keys.size(); i += 2)
        batch.push_back(keys[i]);
    batch.push_back(large);
    Erase(batch);
    EXPECT_EQ(GetURSnapshotUsage().liveBytes, before.liveBytes);
    EXPECT_EQ(GetURSnapshotUsage().entries, before.entries);
    EXPECT_TRUE(bounded());
}

TEST(URSnapshotStore, AFullDiskRefusesNewEntriesAndLosesNoneThatItHas) {
    std::vector<CString> keys;
    for (unsigned i = 0; i < 300; ++i) { // some written to the file, some still gathered
        keys.push_back(KelGetUniqueURFileName());
        ASSERT_TRUE(kel::host::WriteURSnapshot(keys.back(), Bytes(1500, i)));
    }
    const CString refused = KelGetUniqueURFileName();
    {
        Fault full(FileOp::write, ENOSPC);
        EXPECT_FALSE(kel::host::WriteURSnapshot(refused, Bytes(100, 1)));
        EXPECT_FALSE(kel::host::HasURSnapshot(refused));
        // Nor does a refused replacement take what the key held.
        EXPECT_FALSE(kel::host::WriteURSnapshot(keys[0], Bytes(10, 2)));
        for (unsigned i = 0; i < keys.size(); ++i)
            EXPECT_EQ(Read(keys[i]), Bytes(1500, i)) << i;
    }
    // Once there is room again the store goes on.
    EXPECT_TRUE(kel::host::WriteURSnapshot(refused, Bytes(100, 1)));
    keys.push_back(refused);
    for (unsigned i = 0; i < 300; ++i)
        EXPECT_EQ(Read(keys[i]), Bytes(1500, i)) << i;
    Erase(keys);
}

TEST(URSnapshotStore, AReadErrorIsReportedAndTheEntryStaysForTheNextTry) {
    std::vector<CString> keys;
    for (unsigned i = 0; i < 400; ++i) { // over a quarter of a megabyte: written to the file
        keys.push_back(KelGetUniqueURFileName());
        ASSERT_TRUE(kel::host::WriteURSnapshot(keys.back(), Bytes(1000, i)));
    }
    {
        Fault failing(FileOp::read, EIO);
        std::vector<BYTE> bytes;
        EXPECT_FALSE(kel::host::ReadURSnapshot(keys[0], bytes));
        EXPECT_TRUE(bytes.empty());
    }
    EXPECT_EQ(Read(keys[0]), Bytes(1000, 0));
    Erase(keys);
}

// A folder of ours in `base`, with a file in it.
fs::path MakeFolder(const fs::path& base, const std::string& name, mode_t mode) {
    const fs::path path = base / name;
    fs::create_directory(path);
    chmod(path.c_str(), mode);
    const int fd = open((path / "ur1.tmp").c_str(), O_WRONLY | O_CREAT, 0600);
    close(fd);
    return path;
}

TEST(URSnapshotStore, AStoreNobodyHoldsIsRemovedByTheNextOneWhateverItsProcessNumber) {
    const fs::path base = fs::temp_directory_path() / ("kel-ur-base-" + std::to_string(getpid()));
    fs::create_directories(base);
    const std::string uid = std::to_string(geteuid());
    // A folder named after a process that does not run here, but held by a live store (as one
    // of another namespace sharing the folder would be); one opened to others; another user's.
    const fs::path held = MakeFolder(base, "kelur-" + uid + "-999999-Held00", 0700);
    const int lock = open(held.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    const fs::path opened = MakeFolder(base, "kelur-" + uid + "-999999-Open00", 0755);
    const fs::path other =
        MakeFolder(base, "kelur-" + std::to_string(geteuid() + 1) + "-1-Oth", 0700);
    // A process of ours that is still running here, but holds no store: its folder is left over.
    const fs::path leftover =
        MakeFolder(base, "kelur-" + uid + "-" + std::to_string(getpid()) + "-Old000", 0700);

    setenv("TMPDIR", base.c_str(), 1);
    // A process killed in the middle of its work leaves its store's folder behind.
    const pid_t killed = fork();
    if (killed == 0) {
        const CString key = KelGetUniqueURFileName();
        kel::host::WriteURSnapshot(key, Bytes(300 * 1024, 5));
        raise(SIGKILL);
    }
    waitpid(killed, nullptr, 0);
    const std::string killedPrefix = "kelur-" + uid + "-" + std::to_string(killed) + "-";
    const auto killedFolderExists = [&] {
        for (const auto& entry : fs::directory_iterator(base))
            if (entry.path().filename().string().rfind(killedPrefix, 0) == 0)
                return true;
        return false;
    };
    EXPECT_TRUE(killedFolderExists());

    EXPECT_EQ(InChild([] { return KelGetUniqueURFileName().IsEmpty() ? 1 : 0; }), 0);
    unsetenv("TMPDIR");

    EXPECT_FALSE(killedFolderExists());
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_TRUE(fs::exists(held / "ur1.tmp"));
    EXPECT_TRUE(fs::exists(opened / "ur1.tmp"));
    EXPECT_TRUE(fs::exists(other / "ur1.tmp"));
    close(lock);
    fs::remove_all(base);
}

TEST(URSnapshotStore, AProcessRemovesItsOwnFolderAtExitEvenOpenedToOthersAndNoOtherFolder) {
    KelGetUniqueURFileName();
    const std::string parentFolder = kel::host::GetURSnapshotFolder().str();
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const int status = InChild([&] {
        close(fds[0]);
        const CString key = KelGetUniqueURFileName();
        kel::host::WriteURSnapshot(key, Bytes(100, 1));
        const std::string folder = kel::host::GetURSnapshotFolder().str();
        chmod(folder.c_str(), 0755);
        const bool ok =
            write(fds[1], folder.data(), folder.size()) == static_cast<ssize_t>(folder.size());
        close(fds[1]);
        return ok ? 0 : 1;
    });
    close(fds[1]);
    std::string childFolder;
    char buf[512];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
        childFolder.append(buf, static_cast<std::size_t>(n));
    close(fds[0]);
    ASSERT_EQ(status, 0);
    ASSERT_FALSE(childFolder.empty());
    EXPECT_NE(childFolder, parentFolder);
    EXPECT_FALSE(fs::exists(childFolder)) << "the child's folder survived its exit";
    EXPECT_TRUE(IsPrivateFolder(parentFolder)) << "the child removed the parent's folder";
}

} // namespace
