#include "platform/file_faults.h"
#include "platform/safe_files.h"
#include "platform/shared_folder.h"
#include "platform/temp_folder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using kel::platform::FileOp;
using kel::platform::ReplaceFileContents;
using kel::platform::ReplaceStatus;
using kel::platform::SetFileFaultHook;

namespace {

class SafeFiles : public kel::test::TempFolderTest {
protected:
    void TearDown() override {
        SetFileFaultHook({});
        TempFolderTest::TearDown();
    }

    static std::vector<std::string> Names(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// ---- Power loss -------------------------------------------------------------------------------

const char* StepName(FileOp op) {
    switch (op) {
    case FileOp::create:
        return "create";
    case FileOp::write:
        return "write";
    case FileOp::flush:
        return "flush";
    case FileOp::rename:
        return "rename";
    case FileOp::flushFolder:
        return "flush the folder";
    case FileOp::read:
        return "read";
    }
    return "?";
}

// What the target may hold after the power fails, once the steps in `ran` are done: the worst a
// file system may do, which keeps only what was flushed. Data not flushed may be lost even
// when the rename that names it has lasted; a rename lasts only once its folder is flushed.
enum class Left { before, after, garbage };

std::ostream& operator<<(std::ostream& out, Left left) {
    return out << (left == Left::before  ? "the old file"
                   : left == Left::after ? "the new file"
                                         : "garbage");
}

std::set<Left> AfterPowerLoss(const std::vector<FileOp>& ran) {
    bool written = false, unflushed = false, renamed = false, renameLasts = false;
    for (const FileOp op : ran) {
        if (op == FileOp::write)
            written = unflushed = true;
        else if (op == FileOp::flush)
            unflushed = false;
        else if (op == FileOp::rename)
            renamed = true;
        else if (op == FileOp::flushFolder)
            renameLasts = renamed;
    }
    const Left replacement = written && !unflushed ? Left::after : Left::garbage;
    if (!renamed)
        return {Left::before};
    if (!renameLasts)
        return {Left::before, replacement};
    return {replacement};
}

constexpr int kCutExit = 42;

// Replaces `path` in a child process that stops dead before the step numbered `cut` (never,
// for a cut past the last step), as a crash would stop it; answers the child's exit code.
int ReplaceCutAt(const std::string& path, const std::string& data, std::size_t cut) {
    const pid_t child = fork();
    if (child == 0) {
        SetFileFaultHook([cut, step = std::size_t{0}](FileOp, const char*) mutable {
            if (step++ == cut)
                _exit(kCutExit);
            return 0;
        });
        _exit(ReplaceFileContents(path.c_str(), data) == ReplaceStatus::ok ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

using SafeFilesPowerLoss = SafeFiles;

TEST_F(SafeFilesPowerLoss, ACutAtAnyStepLeavesTheOldFileOrTheNewOneWhole) {
    const std::string before = "the scene as it was saved an hour ago";
    const std::string after = std::string(200000, 'n') + " the scene as it is now";
    for (const bool existed : {true, false}) {
        SCOPED_TRACE(existed ? "over an existing file" : "a new file");
        const std::string folder = Path(existed ? "existing" : "new");
        const std::string target = folder + "/news.kse";
        // A rehearsal beside it tells the steps and their order.
        std::vector<FileOp> steps;
        fs::create_directories(Path("rehearsal"));
        const std::string rehearsal = Path("rehearsal") + "/news.kse";
        if (existed)
            Put(rehearsal, before);
        SetFileFaultHook([&steps](FileOp op, const char*) {
            steps.push_back(op);
            return 0;
        });
        ASSERT_EQ(ReplaceFileContents(rehearsal.c_str(), after), ReplaceStatus::ok);
        SetFileFaultHook({});
        fs::remove_all(Path("rehearsal"));
        ASSERT_FALSE(steps.empty());

        for (std::size_t cut = 0; cut <= steps.size(); ++cut) {
            const bool finished = cut == steps.size();
            SCOPED_TRACE(finished ? std::string("after the last step")
                                  : std::string("before: ") + StepName(steps[cut]));
            fs::remove_all(folder);
            fs::create_directories(folder);
            if (existed)
                Put(target, before);
            ASSERT_EQ(ReplaceCutAt(target, after, cut), finished ? 0 : kCutExit);

            // What the crashed process left: the target, whole, and its own temporaries.
            const std::vector<FileOp> ran(steps.begin(), steps.begin() + cut);
            const bool renamed = std::count(ran.begin(), ran.end(), FileOp::rename) > 0;
            if (renamed) {
                EXPECT_EQ(Contents(target), after);
            } else if (existed) {
                EXPECT_EQ(Contents(target), before);
            } else {
                EXPECT_FALSE(fs::exists(fs::symlink_status(target)));
            }
            for (const std::string& name : Names(folder))
                EXPECT_TRUE(name == "news.kse" || name.rfind("news.kse.save-", 0) == 0) << name;

            // What the disk may hold had the power failed there instead.
            const std::set<Left> left = AfterPowerLoss(ran);
            EXPECT_EQ(left.count(Left::garbage), 0u);
            if (finished) { // the caller was told it is saved: nothing may bring the old back
                EXPECT_EQ(left, std::set<Left>{Left::after});
            }

            // The next start saves again and tidies what the dead process left.
            ASSERT_EQ(ReplaceFileContents(target.c_str(), after), ReplaceStatus::ok);
            EXPECT_EQ(Names(folder), std::vector<std::string>{"news.kse"});
            EXPECT_EQ(Contents(target), after);
        }
    }
}

TEST_F(SafeFilesPowerLoss, AFolderTheDiskDoesNotConfirmIsReportedNotPassedAsSaved) {
    const std::string target = Path("news.kse");
    Put(target, "before");
    SetFileFaultHook([](FileOp op, const char*) { return op == FileOp::flushFolder ? EIO : 0; });
    std::string error;
    EXPECT_EQ(ReplaceFileContents(target.c_str(), "after", &error), ReplaceStatus::writeFailed);
    EXPECT_NE(error.find("power loss"), std::string::npos) << error;
    // A file system that cannot flush a folder at all orders its own writes.
    SetFileFaultHook([](FileOp op, const char*) { return op == FileOp::flushFolder ? EINVAL : 0; });
    EXPECT_EQ(ReplaceFileContents(target.c_str(), "again"), ReplaceStatus::ok);
    EXPECT_EQ(Contents(target), "again");
    EXPECT_EQ(Names(m_dir.string()), std::vector<std::string>{"news.kse"});
}

// ---- Files other users can touch ----------------------------------------------------------------

class SafeFilesSharedFolder : public SafeFiles {
protected:
    void SetUp() override {
        if (!kel::test::CanPlantAsOtherUsers())
            GTEST_SKIP() << "planting files as another user needs root";
        SafeFiles::SetUp();
        Put(Path("victim"), "the victim's own settings");
    }
};

TEST_F(SafeFilesSharedFolder, ALinkAnotherUserPlantedIsNotFollowed) {
    using kel::test::kOtherUser;
    const uid_t me = geteuid();
    // The kernel's rule for open: in a sticky folder open to everyone, only the follower's own
    // links and those of the folder's owner are followed.
    struct Case {
        const char* name;
        uid_t folderOwner;
        mode_t mode;
        uid_t linkOwner;
        bool followed;
    };
    const Case cases[] = {
        {"shared", me, 01777, kOtherUser, false},
        {"shared-of-another", kOtherUser - 1, 01777, kOtherUser, false},
        {"shared-own-link", kOtherUser - 1, 01777, me, true},
        {"shared-owners-link", kOtherUser, 01777, kOtherUser, true},
        {"not-sticky", me, 0777, kOtherUser, true},
        {"sticky-not-shared", me, 01775, kOtherUser, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = Path(c.name);
        ASSERT_TRUE(kel::test::MakeSharedFolder(folder, c.folderOwner, c.mode));
        const std::string link = folder + "/news.kse";
        ASSERT_TRUE(kel::test::PlantLink(link, Path("victim"), c.linkOwner));
        std::string error;
        const ReplaceStatus status = ReplaceFileContents(link.c_str(), "attack", &error);
        if (c.followed) {
            EXPECT_EQ(status, ReplaceStatus::ok) << error;
            EXPECT_EQ(Contents(Path("victim")), "attack");
            Put(Path("victim"), "the victim's own settings");
            continue;
        }
        EXPECT_EQ(status, ReplaceStatus::createFailed);
        EXPECT_NE(error.find("another user"), std::string::npos) << error;
        EXPECT_EQ(Contents(Path("victim")), "the victim's own settings");
        EXPECT_EQ(Names(folder), std::vector<std::string>{"news.kse"});
        EXPECT_TRUE(fs::is_symlink(link));
    }
    // Every link on the way counts, not only the first: one of the saver's own, in a folder
    // of its own, that leads to a planted one.
    const std::string own = Path("own.kse");
    ASSERT_TRUE(kel::test::PlantLink(own, Path("shared") + "/news.kse", me));
    EXPECT_EQ(ReplaceFileContents(own.c_str(), "attack"), ReplaceStatus::createFailed);
    EXPECT_EQ(Contents(Path("victim")), "the victim's own settings");
}

TEST_F(SafeFilesSharedFolder, AFileAnotherUserLeftThereIsNotTakenOver) {
    // Its permissions would pass on to the data: whoever made it could read and change it.
    const std::string folder = Path("shared");
    ASSERT_TRUE(kel::test::MakeSharedFolder(folder, geteuid()));
    const std::string target = folder + "/news.kse";
    Put(target, "bait");
    ASSERT_EQ(chmod(target.c_str(), 0666), 0);
    ASSERT_EQ(lchown(target.c_str(), kel::test::kOtherUser, kel::test::kOtherUser), 0);
    std::string error;
    EXPECT_EQ(ReplaceFileContents(target.c_str(), "private", &error), ReplaceStatus::createFailed);
    EXPECT_NE(error.find("another user"), std::string::npos) << error;
    EXPECT_EQ(Contents(target), "bait");
    EXPECT_EQ(Names(folder), std::vector<std::string>{"news.kse"});
    // A file of the saver's own there is replaced as anywhere else.
    ASSERT_EQ(lchown(target.c_str(), geteuid(), getegid()), 0);
    EXPECT_EQ(ReplaceFileContents(target.c_str(), "private"), ReplaceStatus::ok);
    EXPECT_EQ(Contents(target), "private");
}

TEST_F(SafeFilesSharedFolder, NamesTakenInAdvanceDoNotBlockTheSave) {
    const std::string folder = Path("shared");
    ASSERT_TRUE(kel::test::MakeSharedFolder(folder, geteuid()));
    const std::string target = folder + "/news.kse";
    // Every name a save of this process could once have used, taken by another user: files
    // and links to the victim.
    const std::string own = target + ".save-" + std::to_string(getpid()) + "-";
    for (int n = 0; n < 100; ++n) {
        const std::string name = own + std::to_string(n);
        if (n % 2) {
            ASSERT_TRUE(kel::test::PlantLink(name, Path("victim")));
        } else {
            Put(name, "taken");
            ASSERT_EQ(lchown(name.c_str(), kel::test::kOtherUser, kel::test::kOtherUser), 0);
        }
    }
    // The name the save writes to, seen when the data is in and the rename comes next.
    std::vector<std::string> used;
    SetFileFaultHook([&](FileOp op, const char*) {
        if (op == FileOp::rename) {
            for (const std::string& name : Names(folder)) {
                if (name.rfind("news.kse.save-", 0) == 0 &&
                    Contents(folder + "/" + name) == "saved")
                    used.push_back(name);
            }
        }
        return 0;
    });
    for (int save = 0; save < 2; ++save) {
        std::string error;
        ASSERT_EQ(ReplaceFileContents(target.c_str(), "saved", &error), ReplaceStatus::ok) << error;
    }
    EXPECT_EQ(Contents(target), "saved");
    EXPECT_EQ(Contents(Path("victim")), "the victim's own settings");
    EXPECT_EQ(Names(folder).size(), 101u);
    // Beside the target, named after this process (so that a later save may tidy it once the
    // process is gone), and not the same twice.
    ASSERT_EQ(used.size(), 2u);
    EXPECT_NE(used[0], used[1]);
    for (const std::string& name : used)
        EXPECT_EQ(kel::platform::ProcessIdInName(name, "news.kse.save-"), getpid()) << name;
}

} // namespace
