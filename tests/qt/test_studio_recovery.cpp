// The studio after a session that was killed: what it offers at the next start, and what each
// answer does with the scene and the recovery file.
#include "qt/qt_backend.h"
#include "studio_window.h"
#include "workspace_fixture.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/sample_scene.h"
#include "host/scene/scene_file.h"
#include "host/services/auto_save.h"
#include "host/services/module_rc.h"
#include "host/services/recovery_file.h"
#include "host/undo/ur_manager.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using kel::studio::StudioWindow;

class StudioRecovery : public ::testing::Test {
protected:
    void SetUp() override {
        previous = kel::platform::SetBackend(std::make_unique<kel::qt::QtBackend>());
        scenePath = (state.path() + "/news.kscene").toStdString();
        ASSERT_EQ(KelSaveSceneFile(*KelCreateSampleScene(), CString(scenePath)).nResult,
                  KEL_SCENE_OK);
    }
    void TearDown() override {
        window.reset();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        kel::platform::SetBackend(std::move(previous));
        CKelModuleRC::SetLanguage(1033);
    }

    // A session that added a storyboard to the scene, had it saved automatically and was
    // killed: its recovery file is what is left.
    void KilledSession(const std::string& scene) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::unique_ptr<CKelPlaySceneObj> edited = KelCreateSampleScene();
            edited->GetSBEditObj()->AppendSBBody();
            edited->GetSBEditObj()->GetCurSBBodyObj()->SetName("Lost Work");
            kel::host::KelAutoSaver saver(kel::host::KelRecoveryFolder());
            saver.SetScenePath(scene);
            saver.NoteChange();
            saver.SaveNow(*edited);
            raise(SIGKILL);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
    }

    // Starts the studio on the scene; `answer` gets the offer when one is shown.
    void Start(std::function<void(QMessageBox&)> answer) {
        offered = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box && box->objectName() == "recoveryOffer") {
                offered = true;
                answer(*box);
            }
        });
        poll.start(20);
        window = std::make_unique<StudioWindow>(QString());
        kel::studio::StartOptions options;
        options.scene = scenePath;
        options.desktop = QRect(0, 0, 1280, 800);
        std::string error;
        ASSERT_TRUE(window->Start(options, &error)) << error;
        QApplication::processEvents();
    }

    static QStringList ButtonTexts(const QMessageBox& box) {
        QStringList texts;
        for (QAbstractButton* button : box.buttons())
            texts << button->text();
        texts.sort();
        return texts;
    }
    static void Press(QMessageBox& box, const QString& text) {
        for (QAbstractButton* button : box.buttons())
            if (button->text() == text)
                return button->click();
        ADD_FAILURE() << "no button " << text.toStdString();
        box.reject();
    }
    int StoryboardCount() { return window->Host().Scene()->GetSBEditObj()->GetSBBodyCount(); }
    std::string RecoveryFile() const {
        return kel::host::KelRecoveryPathFor(kel::host::KelRecoveryFolder(), scenePath);
    }

    QTemporaryDir state;
    kel::test::ScopedEnv stateHome{"XDG_STATE_HOME", state.path().toUtf8()};
    kel::test::ScopedEnv config{"KELSB_CONFIG_DIR", (state.path() + "/config").toUtf8()};
    std::string scenePath;
    std::unique_ptr<kel::platform::Backend> previous;
    std::unique_ptr<StudioWindow> window;
    bool offered = false;
    QStringList buttons;
};

TEST_F(StudioRecovery, RecoverBringsBackTheKilledSessionsWorkAsUnsavedChanges) {
    KilledSession(scenePath);
    Start([&](QMessageBox& box) {
        buttons = ButtonTexts(box);
        EXPECT_TRUE(box.text().contains("news.kscene")) << box.text().toStdString();
        Press(box, "&Recover");
    });
    EXPECT_TRUE(offered);
    EXPECT_EQ(buttons, QStringList({"&Discard", "&Open the Saved Version", "&Recover"}));
    EXPECT_EQ(StoryboardCount(), 3);
    EXPECT_EQ(window->Host().Path(), scenePath);
    EXPECT_TRUE(window->Host().IsDirty());
    // The killed session's history was empty: nothing to say about lost steps.
    EXPECT_EQ(
        window->Host().Scene()->GetSBEditObj()->GetCurSBBodyObj()->GetURBase()->GetStepCount(), 0);
    // The work is this session's now: saved automatically under the same name, and gone
    // with a normal end.
    window->Host().AutoSaver()->Wait();
    window->Host().PollAutoSave();
    window->Host().AutoSaver()->Wait();
    EXPECT_EQ(window->Host().AutoSaver()->SaveCount(), 1u);
    EXPECT_TRUE(kel::host::KelFindRecoveries(kel::host::KelRecoveryFolder()).empty());
    window.reset();
    EXPECT_FALSE(fs::exists(RecoveryFile()));
}

TEST_F(StudioRecovery, OpenTheSavedVersionKeepsTheRecoveryAndDiscardRemovesIt) {
    KilledSession(scenePath);
    Start([&](QMessageBox& box) { Press(box, "&Open the Saved Version"); });
    EXPECT_TRUE(offered);
    EXPECT_EQ(StoryboardCount(), 2);
    EXPECT_FALSE(window->Host().IsDirty());
    window.reset();
    EXPECT_TRUE(fs::exists(RecoveryFile())) << "not discarded: offered again at the next start";

    Start([&](QMessageBox& box) { Press(box, "&Discard"); });
    EXPECT_TRUE(offered);
    EXPECT_EQ(StoryboardCount(), 2);
    EXPECT_FALSE(fs::exists(RecoveryFile()));
}

TEST_F(StudioRecovery, NothingIsOfferedWhenTheSceneWasSavedAfterwards) {
    KilledSession(scenePath);
    // Saved later (by another studio, say): the recovery holds nothing the scene lacks.
    const auto later = fs::last_write_time(RecoveryFile()) + std::chrono::seconds(5);
    fs::last_write_time(scenePath, later);
    Start([&](QMessageBox& box) { box.reject(); });
    EXPECT_FALSE(offered);
}

TEST_F(StudioRecovery, TheOfferSpeaksTheStudiosLanguage) {
    KilledSession("");
    CKelModuleRC::SetLanguage(1028);
    Start([&](QMessageBox& box) {
        buttons = ButtonTexts(box);
        EXPECT_TRUE(box.text().contains("從未儲存過的場景")) << box.text().toStdString();
        Press(box, "救回(&R)");
    });
    EXPECT_TRUE(offered);
    // A scene never saved has no saved version to open.
    EXPECT_EQ(buttons, QStringList({"捨棄(&D)", "救回(&R)"}));
    EXPECT_EQ(StoryboardCount(), 3);
    EXPECT_EQ(window->Host().Path(), "");
}

} // namespace
