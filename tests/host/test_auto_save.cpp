#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/sample_scene.h"
#include "host/scene/scene_file.h"
#include "host/services/auto_save.h"
#include "host/services/host_settings.h"
#include "host/services/recovery_file.h"
#include "platform/file.h"
#include "platform/file_faults.h"
#include "platform/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using kel::host::KelAutoSaver;

class AutoSave : public kel::test::TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        m_folder = Path("recovery");
        m_scene = KelCreateSampleScene();
    }
    void TearDown() override {
        KelEnableAutoSave(1);
        kel::platform::SetFileFaultHook({});
        TempFolderTest::TearDown();
    }
    std::size_t FileCount() const {
        std::error_code error;
        std::size_t n = 0;
        for (fs::directory_iterator it(m_folder, error), end; !error && it != end; ++it)
            ++n;
        return n;
    }
    std::string ScenePath(const char* name) const { return Path(name); }
    void Change() { m_scene->GetSBEditObj()->GetCurSBBodyObj()->AppendTrack(); }

    std::string m_folder;
    std::unique_ptr<CKelPlaySceneObj> m_scene;
};

TEST_F(AutoSave, FirstChangeAtOnceThenAtMostOneSaveAnInterval) {
    KelAutoSaver saver(m_folder);
    saver.SetScenePath(ScenePath("news.kse"));
    const auto t0 = KelAutoSaver::Clock::now();
    EXPECT_FALSE(saver.Poll(*m_scene, t0)) << "nothing changed";
    saver.NoteChange();
    EXPECT_TRUE(saver.Poll(*m_scene, t0));
    saver.Wait();
    Change();
    saver.NoteChange();
    EXPECT_FALSE(saver.Poll(*m_scene, t0 + KelAutoSaver::kInterval / 2));
    EXPECT_TRUE(saver.HasPendingChange());
    EXPECT_TRUE(saver.Poll(*m_scene, t0 + KelAutoSaver::kInterval));
    saver.Wait();
    EXPECT_EQ(saver.SaveCount(), 2u);
    EXPECT_EQ(saver.LastError(), "");

    std::string error;
    const std::unique_ptr<CKelPlaySceneObj> back =
        kel::host::KelLoadRecovery(saver.RecoveryPath(), &error);
    ASSERT_TRUE(back) << error;
    EXPECT_TRUE(KelScenesEqual(*back, *m_scene));
}

TEST_F(AutoSave, NothingIsWrittenWhileAutomaticSavingIsOff) {
    KelAutoSaver saver(m_folder);
    KelEnableAutoSave(0); // as around play
    saver.NoteChange();
    EXPECT_FALSE(saver.Poll(*m_scene));
    saver.Wait();
    EXPECT_EQ(FileCount(), 0u);
    KelEnableAutoSave(1);
    EXPECT_TRUE(saver.Poll(*m_scene)) << "the change still waits";
    saver.Wait();
    EXPECT_TRUE(fs::exists(saver.RecoveryPath()));
}

TEST_F(AutoSave, ChangeWaitingForItsTurnIsWrittenBeforePlaybackPausesSaving) {
    KelAutoSaver saver(m_folder, [this] { return m_scene.get(); });
    saver.NoteChange();
    ASSERT_TRUE(saver.Poll(*m_scene));
    saver.Wait();
    Change();
    saver.NoteChange();
    EXPECT_FALSE(saver.Poll(*m_scene)) << "its turn has not come";
    KelEnableAutoSave(0);
    EXPECT_FALSE(saver.HasPendingChange());
    std::string error;
    const std::unique_ptr<CKelPlaySceneObj> back =
        kel::host::KelLoadRecovery(saver.RecoveryPath(), &error);
    ASSERT_TRUE(back) << error;
    EXPECT_TRUE(KelScenesEqual(*back, *m_scene)) << "the change made just before the pause";
}

TEST_F(AutoSave, ChangeThatStoresAlikeIsNotWrittenAgain) {
    KelAutoSaver saver(m_folder);
    saver.NoteChange();
    ASSERT_TRUE(saver.SaveNow(*m_scene));
    saver.NoteChange();
    ASSERT_TRUE(saver.SaveNow(*m_scene));
    EXPECT_EQ(saver.SaveCount(), 1u);
}

TEST_F(AutoSave, CloseAndRenameRemoveOnlyWhatThisSaverWrote) {
    // A recovery a killed session left for the scene must survive a session that opens the
    // scene and closes it without a change.
    const std::string scene = ScenePath("news.kse");
    fs::create_directories(m_folder);
    const std::string left = kel::host::KelRecoveryPathFor(m_folder, scene);
    Put(left, "earlier work");
    {
        KelAutoSaver saver(m_folder);
        saver.SetScenePath(scene);
        saver.Discard();
    }
    EXPECT_TRUE(fs::exists(left));

    KelAutoSaver saver(m_folder);
    saver.NoteChange();
    ASSERT_TRUE(saver.SaveNow(*m_scene));
    const std::string untitled = saver.RecoveryPath();
    EXPECT_TRUE(fs::exists(untitled));
    // Saved under a name: the work now lives in the scene file.
    saver.SetScenePath(ScenePath("other.kse"));
    EXPECT_FALSE(fs::exists(untitled));
    saver.NoteChange();
    ASSERT_TRUE(saver.SaveNow(*m_scene));
    EXPECT_TRUE(fs::exists(saver.RecoveryPath()));
    saver.Discard();
    EXPECT_FALSE(fs::exists(saver.RecoveryPath()));
}

TEST_F(AutoSave, FailedWriteKeepsTheOldRecoveryAndIsReported) {
    KelAutoSaver saver(m_folder);
    saver.NoteChange();
    ASSERT_TRUE(saver.SaveNow(*m_scene));
    kel::platform::SetFileFaultHook([](kel::platform::FileOp op, const char*) {
        return op == kel::platform::FileOp::write ? 28 /* ENOSPC */ : 0;
    });
    Change();
    saver.NoteChange();
    EXPECT_FALSE(saver.SaveNow(*m_scene));
    EXPECT_NE(saver.LastError(), "");
    kel::platform::SetFileFaultHook({});
    std::string error;
    const std::unique_ptr<CKelPlaySceneObj> back =
        kel::host::KelLoadRecovery(saver.RecoveryPath(), &error);
    ASSERT_TRUE(back) << error;
    EXPECT_FALSE(KelScenesEqual(*back, *m_scene)) << "the old recovery, whole";
}

TEST_F(AutoSave, RecoveriesOfRunningProcessesAreNotOffered) {
    KelAutoSaver saver(m_folder);
    saver.SetScenePath(ScenePath("news.kse"));
    saver.NoteChange();
    ASSERT_TRUE(saver.SaveNow(*m_scene));
    EXPECT_TRUE(kel::host::KelFindRecoveries(m_folder).empty()) << "this process writes it";

    // The same file as a process that is gone left it.
    std::string data = Contents(saver.RecoveryPath());
    const std::size_t pidAt = data.find("pid ");
    const std::size_t pidEnd = data.find('\n', pidAt);
    data.replace(pidAt, pidEnd - pidAt, "pid 2147483646");
    const std::string orphan = m_folder + "/news_kse.0123456789abcdef.kelrec";
    Put(orphan, data);
    const auto found = kel::host::KelFindRecoveries(m_folder);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].path, orphan);
    EXPECT_EQ(found[0].scenePath, ScenePath("news.kse"));
    EXPECT_TRUE(found[0].newerThanScene) << "the scene file was never written";
    EXPECT_FALSE(found[0].damaged);
}

} // namespace
