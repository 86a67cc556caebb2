// File operations fail where a full disk, a lost permission or a failing device would make them
// fail: the undo snapshots as a command records them and as an undo reads them back, the scene
// file as it is saved and loaded, the client profile as the dialog keeps its setting. Nothing
// may be lost: the undo still restores, the previous scene file stays as it was, the editor
// goes on working.
#include "edit/edit_fixture.h"

#include "host/scene/scene_file.h"
#include "host/undo/ur_snapshot_store.h"
#include "platform/file_faults.h"
#include "platform/profile.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace kel::test {
namespace {

using kel::platform::FileOp;
namespace fs = std::filesystem;

// Undo snapshots live in the history's private folder, named after it.
constexpr const char* kSnapshots = "kelur-";

class FileFaultTest : public EditTest {
protected:
    void TearDown() override {
        kel::platform::SetFileFaultHook({});
        EditTest::TearDown();
    }

    // From now on every `op` on a path holding `where` fails with `error`.
    void Fail(FileOp op, std::string where, int error = ENOSPC) {
        kel::platform::SetFileFaultHook(
            [this, op, where = std::move(where), error](FileOp asked, const char* path) {
                if (asked != op || std::string(path).find(where) == std::string::npos)
                    return 0;
                ++failures;
                return error;
            });
    }
    void Heal() { kel::platform::SetFileFaultHook({}); }

    // A fresh folder of the test's own.
    fs::path Folder(const std::string& name) const {
        const fs::path folder = fs::path(::testing::TempDir()) / ("kel_faults_" + name);
        fs::remove_all(folder);
        fs::create_directories(folder);
        return folder;
    }
    static std::string Contents(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    int failures = 0;
};

// ---- Undo snapshots -----------------------------------------------------------------------------

TEST_F(FileFaultTest, ASnapshotThatCannotBeWrittenIsKeptInMemoryAndTheUndoRestores) {
    Fail(FileOp::write, kSnapshots);
    Select({0, 6}, Content(0, 0)); // the Headline In and the Lower Third In and Out
    ExpectOneStep([&] { return view->DeleteSelectedMaterials(); }, "Delete Objects");
    EXPECT_GT(failures, 0) << "no snapshot was written";
}

TEST_F(FileFaultTest, ASnapshotThatCannotBeReadBackFailsTheUndoWithoutHarm) {
    Select({0}, Content(0, 0));
    const std::vector<BYTE> before = Bytes();
    ASSERT_EQ(view->DeleteSelectedMaterials(), 1);
    const std::vector<BYTE> deleted = Bytes();
    ASSERT_TRUE(kel::host::FlushURSnapshots()); // read from the disk, not from what is gathered
    Fail(FileOp::read, kSnapshots, EIO);
    dlg->UndoRedoSteps(TRUE, 1);
    // The undo could not have its material back. The storyboard stays as the delete left it
    // and the history, which no longer matches it, starts again; the editor goes on.
    EXPECT_GT(failures, 0);
    ExpectConsistent("the failed undo");
    EXPECT_EQ(Bytes(), deleted);
    EXPECT_EQ(History().GetStepCount(), 0);
    Heal();
    Select({1}, Content(1, 0));
    ExpectOneStep([&] { return view->DeleteSelectedMaterials(); }, "Delete Objects");
    EXPECT_NE(Bytes(), before);
}

// ---- The scene file -----------------------------------------------------------------------------

TEST_F(FileFaultTest, ASaveThatFailsAnywhereLeavesThePreviousSceneFileAsItWas) {
    const fs::path folder = Folder("save");
    const fs::path path = folder / "news.kse";
    ASSERT_EQ(KelSaveSceneFile(*scene, path.c_str()).nResult, KEL_SCENE_OK);
    const std::string previous = Contents(path);
    // The storyboard changes, then every save of it fails at one point or another.
    Select({0}, Content(0, 0));
    ASSERT_EQ(view->DeleteSelectedMaterials(), 1);
    for (const FileOp op : {FileOp::create, FileOp::write, FileOp::flush, FileOp::rename}) {
        Fail(op, path.string());
        const KelSceneFileStatus status = KelSaveSceneFile(*scene, path.c_str());
        EXPECT_NE(status.nResult, KEL_SCENE_OK);
        EXPECT_FALSE(status.strMessage.IsEmpty());
        EXPECT_EQ(Contents(path), previous);
        // Nothing half-written is left beside it.
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    }
    EXPECT_EQ(failures, 4);
    // Once the disk is back the save goes through, and the file loads to what was saved.
    Heal();
    ASSERT_EQ(KelSaveSceneFile(*scene, path.c_str()).nResult, KEL_SCENE_OK);
    KelSceneFileStatus status;
    const std::unique_ptr<CKelPlaySceneObj> loaded = KelLoadSceneFile(path.c_str(), &status);
    ASSERT_NE(loaded, nullptr) << status.strMessage.str();
    EXPECT_TRUE(KelScenesEqual(*loaded, *scene));
}

TEST_F(FileFaultTest, ASceneFileThatCannotBeReadIsRefusedWithAReason) {
    const fs::path path = Folder("load") / "news.kse";
    ASSERT_EQ(KelSaveSceneFile(*scene, path.c_str()).nResult, KEL_SCENE_OK);
    Fail(FileOp::read, path.string(), EIO);
    KelSceneFileStatus status;
    EXPECT_EQ(KelLoadSceneFile(path.c_str(), &status), nullptr);
    EXPECT_NE(status.nResult, KEL_SCENE_OK);
    EXPECT_FALSE(status.strMessage.IsEmpty());
}

// ---- The client profile -------------------------------------------------------------------------

TEST_F(FileFaultTest, AProfileThatCannotBeWrittenKeepsItsSettingAndTheDialogGoesOn) {
    const fs::path path = Folder("profile") / "KelClient.ini";
    ASSERT_TRUE(WritePrivateProfileString("SBNAV_INFO", "SBNavShow", "0", path.c_str()));
    const std::string previous = Contents(path);
    for (const FileOp op : {FileOp::create, FileOp::write, FileOp::flush, FileOp::rename}) {
        Fail(op, path.string());
        EXPECT_FALSE(WritePrivateProfileString("SBNAV_INFO", "SBNavShow", "1", path.c_str()));
        EXPECT_EQ(Contents(path), previous);
        EXPECT_EQ(GetPrivateProfileInt("SBNAV_INFO", "SBNavShow", 7, path.c_str()), 0u);
    }
    // The dialog keeps its setting in the profile as it closes: it closes all the same, and
    // opens and edits again.
    Fail(FileOp::create, "KelClient.ini");
    dlg->SendMessage(WM_CLOSE);
    EXPECT_FALSE(dlg->IsWindowVisible());
    Heal();
    dlg->ShowWindow(SW_SHOW);
    EXPECT_TRUE(dlg->IsWindowVisible());
    Select({0}, Content(0, 0));
    ExpectOneStep([&] { return view->DeleteSelectedMaterials(); }, "Delete Objects");
}

} // namespace
} // namespace kel::test
