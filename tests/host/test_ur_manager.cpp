#include "host/undo/ur_manager.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Records every call into a shared journal so tests can check order and destruction.
struct Journal {
    std::vector<std::string> events;
};

class RecordingCmd : public CKelURCmd {
public:
    RecordingCmd(Journal* journal, const char* name, int undoResult = 1, int redoResult = 1)
        : CKelURCmd(journal, 0, name), m_journal(journal), m_undoResult(undoResult),
          m_redoResult(redoResult) {}
    ~RecordingCmd() override { m_journal->events.push_back("~" + GetName().str()); }
    int Undo() override {
        m_journal->events.push_back("undo " + GetName().str());
        return m_undoResult;
    }
    int Redo(int bFirst) override {
        m_journal->events.push_back((bFirst ? "do " : "redo ") + GetName().str());
        return m_redoResult;
    }

private:
    Journal* m_journal;
    int m_undoResult;
    int m_redoResult;
};

void AddSteps(CKelURBase& history, Journal& journal, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        auto* cmd = new RecordingCmd(&journal, name);
        cmd->Do();
        ASSERT_EQ(history.AddCommand(cmd), 1);
    }
}

TEST(URHistory, CountsFollowUndoRedoAndAdding) {
    Journal journal;
    CKelURBase history;
    AddSteps(history, journal, {"a", "b", "c"});
    EXPECT_EQ(history.GetStepCount(), 3);
    EXPECT_EQ(history.GetUndoStepCount(), 3);

    EXPECT_EQ(history.Undo(2), 1);
    EXPECT_EQ(history.GetUndoStepCount(), 1);
    EXPECT_EQ(history.GetRedoStepCount(), 2);
    EXPECT_EQ(history.GetCurrentStep(), 0);

    EXPECT_EQ(history.Redo(1), 1);
    EXPECT_EQ(history.GetUndoStepCount(), 2);

    // Newest first on undo, oldest first on redo, Redo(0) after an undo.
    std::vector<std::string> expected = {"do a", "do b", "do c", "undo c", "undo b", "redo b"};
    EXPECT_EQ(journal.events, expected);
    EXPECT_EQ(history.GetStepNames(), (std::vector<CString>{"a", "b", "c"}));
}

TEST(URHistory, AddingAfterUndoDestroysTheRedoTail) {
    Journal journal;
    CKelURBase history;
    AddSteps(history, journal, {"a", "b", "c"});
    history.Undo(2);
    journal.events.clear();

    AddSteps(history, journal, {"d"});
    // The dropped steps are destroyed, newest first, before the new step is appended.
    std::vector<std::string> expected = {"do d", "~c", "~b"};
    EXPECT_EQ(journal.events, expected);
    EXPECT_EQ(history.GetStepNames(), (std::vector<CString>{"a", "d"}));
    EXPECT_EQ(history.GetRedoStepCount(), 0);
    EXPECT_EQ(history.Redo(1), 1); // nothing left to redo is not a failure
    EXPECT_EQ(history.GetUndoStepCount(), 2);
}

TEST(URHistory, StepRequestsBeyondTheHistoryAreClamped) {
    Journal journal;
    CKelURBase history;
    AddSteps(history, journal, {"a", "b"});
    EXPECT_EQ(history.Undo(10), 1);
    EXPECT_EQ(history.GetUndoStepCount(), 0);
    EXPECT_EQ(history.Undo(1), 1);
    EXPECT_EQ(history.Redo(10), 1);
    EXPECT_EQ(history.GetUndoStepCount(), 2);
    EXPECT_EQ(history.Undo(0), 1);
    EXPECT_EQ(history.Undo(-3), 1);
    EXPECT_EQ(history.GetUndoStepCount(), 2);
}

TEST(URHistory, FailingCommandStopsTheSeriesAndReportsFailure) {
    Journal journal;
    CKelURBase history;
    AddSteps(history, journal, {"a"});
    history.AddCommand(new RecordingCmd(&journal, "bad", /*undo*/ 0, /*redo*/ 0));
    AddSteps(history, journal, {"c"});
    journal.events.clear();

    EXPECT_EQ(history.Undo(3), 0);
    // "c" was undone, "bad" failed and stays done, "a" was never asked.
    EXPECT_EQ(journal.events, (std::vector<std::string>{"undo c", "undo bad"}));
    EXPECT_EQ(history.GetUndoStepCount(), 2);

    history.Redo(1);
    history.ClearHistory();
    EXPECT_EQ(history.GetStepCount(), 0);
    EXPECT_EQ(history.GetUndoStepCount(), 0);

    AddSteps(history, journal, {"x"});
    history.AddCommand(new RecordingCmd(&journal, "bad redo", 1, 0));
    history.Undo(2);
    EXPECT_EQ(history.Redo(2), 0);
    EXPECT_EQ(history.GetUndoStepCount(), 1);
}

// A command that touches its own history while running must not pull the floor from under
// itself.
class ReentrantCmd : public CKelURCmd {
public:
    ReentrantCmd(CKelURBase* history, Journal* journal)
        : CKelURCmd(history, 0, "reentrant"), m_history(history), m_journal(journal) {}
    int Undo() override {
        m_addResult = m_history->AddCommand(new RecordingCmd(m_journal, "nested"));
        m_history->ClearHistory();
        return 1;
    }
    int m_addResult = -1;

private:
    CKelURBase* m_history;
    Journal* m_journal;
};

TEST(URHistory, HistoryRefusesChangesFromARunningCommand) {
    Journal journal;
    CKelURBase history;
    auto* cmd = new ReentrantCmd(&history, &journal);
    history.AddCommand(cmd);
    EXPECT_EQ(history.Undo(1), 1);
    EXPECT_EQ(cmd->m_addResult, 0);
    EXPECT_EQ(journal.events, (std::vector<std::string>{"~nested"}));
    EXPECT_EQ(history.GetStepCount(), 1);
    EXPECT_EQ(history.GetUndoStepCount(), 0);
    EXPECT_EQ(history.AddCommand(nullptr), 0);
}

bool IsOwnerOnly(const std::string& path, bool dir) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        return false;
    }
    return (dir ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode)) && st.st_uid == geteuid() &&
           (st.st_mode & 077) == 0;
}

TEST(URSnapshotNames, FreshOwnerOnlyFilesInAPrivateFolder) {
    CString first = KelGetUniqueURFileName();
    CString second = KelGetUniqueURFileName();
    ASSERT_FALSE(first.IsEmpty());
    EXPECT_NE(first, second);

    std::string folder = kel::host::GetURSnapshotFolder().str();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(IsOwnerOnly(folder, true));
    for (const CString& name : {first, second}) {
        EXPECT_EQ(name.str().rfind(folder + "/", 0), 0u) << name.str();
        EXPECT_TRUE(IsOwnerOnly(name.str(), false)) << name.str();
    }
    // A name stays fresh even after the file it named was removed.
    unlink(first.str().c_str());
    EXPECT_NE(KelGetUniqueURFileName(), first);
}

TEST(URSnapshotNames, FolderOpenedToOthersIsAbandoned) {
    CString old = KelGetUniqueURFileName();
    unlink(old.str().c_str());
    std::string folder = kel::host::GetURSnapshotFolder().str();
    ASSERT_EQ(chmod(folder.c_str(), 0777), 0);

    CString name = KelGetUniqueURFileName();
    std::string newFolder = kel::host::GetURSnapshotFolder().str();
    EXPECT_NE(newFolder, folder);
    EXPECT_TRUE(IsOwnerOnly(newFolder, true));
    EXPECT_EQ(name.str().rfind(newFolder + "/", 0), 0u);

    // The abandoned folder is no longer trusted, so nothing removes it at exit: tidy up here.
    std::filesystem::remove_all(folder);
}

TEST(URSnapshotNames, ProcessRemovesOnlyItsOwnFolderAtExit) {
    std::string parentFolder = kel::host::GetURSnapshotFolder().str();
    if (parentFolder.empty()) {
        KelGetUniqueURFileName();
        parentFolder = kel::host::GetURSnapshotFolder().str();
    }
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(fds[0]);
        CString name = KelGetUniqueURFileName();
        std::string folder = kel::host::GetURSnapshotFolder().str();
        // Leave a written snapshot behind: the exit must clear it with the folder.
        int fd = open(name.str().c_str(), O_WRONLY);
        if (fd >= 0) {
            (void)!write(fd, "snapshot", 8);
            close(fd);
        }
        std::string msg = folder + "\n" + name.str();
        (void)!write(fds[1], msg.data(), msg.size());
        close(fds[1]);
        std::exit(0);
    }
    close(fds[1]);
    std::string msg;
    char buf[512];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0) {
        msg.append(buf, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));

    std::string childFolder = msg.substr(0, msg.find('\n'));
    ASSERT_FALSE(childFolder.empty());
    EXPECT_NE(childFolder, parentFolder);
    struct stat st {};
    EXPECT_NE(lstat(childFolder.c_str(), &st), 0) << "child's folder survived its exit";
    EXPECT_TRUE(IsOwnerOnly(parentFolder, true)) << "child removed the parent's folder";
}

TEST(URSnapshotNames, FoldersOfKilledProcessesAreRemovedWhenANewOneIsMade) {
    namespace fs = std::filesystem;
    const fs::path base = fs::temp_directory_path() / ("kel-ur-base-" + std::to_string(getpid()));
    fs::create_directories(base);
    const char* oldTmp = std::getenv("TMPDIR");
    const std::string savedTmp = oldTmp ? oldTmp : "";
    setenv("TMPDIR", base.c_str(), 1);

    const pid_t gone = fork();
    if (gone == 0) {
        _exit(0);
    }
    waitpid(gone, nullptr, 0);
    const std::string uid = std::to_string(geteuid());
    const auto folder = [&](const std::string& name, mode_t mode) {
        const fs::path path = base / name;
        fs::create_directory(path);
        chmod(path.c_str(), mode);
        int fd = open((path / "ur1.tmp").c_str(), O_WRONLY | O_CREAT, 0600);
        close(fd);
        return path;
    };
    const fs::path stale = folder("kelur-" + uid + "-" + std::to_string(gone) + "-AbCdEf", 0700);
    // Not private, of a running process, or of another user: left alone.
    const fs::path open = folder("kelur-" + uid + "-" + std::to_string(gone) + "-Open00", 0755);
    const fs::path running =
        folder("kelur-" + uid + "-" + std::to_string(getppid()) + "-Run000", 0700);
    const fs::path other = folder(
        "kelur-" + std::to_string(geteuid() + 1) + "-" + std::to_string(gone) + "-Other0", 0700);

    // Abandoning our folder makes the next name come from a new one.
    KelGetUniqueURFileName();
    ASSERT_EQ(chmod(kel::host::GetURSnapshotFolder().GetString(), 0777), 0);
    const std::string abandoned = kel::host::GetURSnapshotFolder().str();
    const CString name = KelGetUniqueURFileName();
    EXPECT_EQ(name.str().rfind(base.string(), 0), 0u) << name.str();
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(open / "ur1.tmp"));
    EXPECT_TRUE(fs::exists(running / "ur1.tmp"));
    EXPECT_TRUE(fs::exists(other / "ur1.tmp"));

    if (oldTmp) {
        setenv("TMPDIR", savedTmp.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
    fs::remove_all(abandoned);
    fs::remove_all(base);
}

} // namespace
