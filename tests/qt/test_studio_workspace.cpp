// The studio as a workspace: what it remembers between runs and where, where its windows go on
// a first start, its panels docked yet still the host's windows for the editor, and the title,
// the Edit menu and the recent scenes following the document.
#include "dialog/automation.h"
#include "panel_dock.h"
#include "qt/qt_backend.h"
#include "studio_settings.h"
#include "studio_window.h"
#include "workspace_fixture.h"
#include "workspace_plan.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/undo/ur_manager.h"
#include "res/resource.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

namespace {

using kel::studio::StudioLanguage;
using kel::studio::StudioSettings;
using kel::studio::StudioWindow;

using kel::test::ScopedEnv;

QRect WindowRect(const CWnd& wnd) {
    CRect r;
    wnd.GetWindowRect(&r);
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// Answers the question that the next call asks with `button`.
void AnswerNextQuestion(QMessageBox::StandardButton button) {
    QTimer::singleShot(0, [button] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(button)->click();
    });
}

void Touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(StudioSettingsTest, EverythingStoredComesBackFromTheFileInTheConfigFolder) {
    QTemporaryDir config;
    ScopedEnv xdg("XDG_CONFIG_HOME", config.path().toUtf8());
    ScopedEnv override("KELSB_CONFIG_DIR", std::nullopt);
    const QString path = kel::studio::StudioSettingsPath();
    EXPECT_EQ(path, config.path() + "/kelsbedit/studio.ini"); // beside the editor's own profile
    {
        ScopedEnv own("KELSB_CONFIG_DIR", "/elsewhere");
        EXPECT_EQ(kel::studio::StudioSettingsPath(), "/elsewhere/studio.ini");
    }

    const QString a = config.path() + "/a.kscene", b = config.path() + "/b.kscene";
    Touch(a);
    Touch(b);
    {
        StudioSettings settings(path);
        EXPECT_FALSE(settings.HasLayout()); // a first start
        EXPECT_EQ(settings.Language(), StudioLanguage::FromLocale);
        settings.StoreLayout("geometry", "docks", QRect(10, 20, 300, 200));
        settings.StoreLastScene(b);
        settings.AddRecentScene(a);
        settings.AddRecentScene(b);
        settings.StoreLanguage(StudioLanguage::TraditionalChinese);
        settings.Sync();
    }
    StudioSettings again(path);
    EXPECT_TRUE(again.HasLayout());
    EXPECT_EQ(again.Geometry(), "geometry");
    EXPECT_EQ(again.DockState(), "docks");
    EXPECT_EQ(again.EditorRect(), QRect(10, 20, 300, 200));
    EXPECT_EQ(again.LastScene(), b);
    EXPECT_EQ(again.RecentScenes(), (QStringList{b, a}));
    EXPECT_EQ(again.Language(), StudioLanguage::TraditionalChinese);

    // A layout stored without the editor (it was gone) keeps the editor's last place.
    again.StoreLayout("g2", "d2", QRect());
    EXPECT_EQ(again.EditorRect(), QRect(10, 20, 300, 200));

    // Back to the locale; a value no string table has counts as the locale's choice too.
    again.StoreLanguage(StudioLanguage::FromLocale);
    EXPECT_EQ(again.Language(), StudioLanguage::FromLocale);
    QSettings(path, QSettings::IniFormat).setValue("editor/language", 1041);
    EXPECT_EQ(StudioSettings(path).Language(), StudioLanguage::FromLocale);

    // Nothing is kept without a file.
    StudioSettings none{QString()};
    none.StoreLastScene(a);
    none.AddRecentScene(a);
    EXPECT_TRUE(none.LastScene().isEmpty());
    EXPECT_TRUE(none.RecentScenes().isEmpty());
}

TEST(StudioSettingsTest, RecentScenesKeepTheLatestFirstOnceEachAndDropWhatWent) {
    using kel::studio::kMaxRecentScenes;
    using kel::studio::WithRecentScene;
    QStringList recent;
    for (int i = 0; i < kMaxRecentScenes + 3; ++i)
        recent = WithRecentScene(recent, QString("s%1").arg(i));
    ASSERT_EQ(recent.size(), kMaxRecentScenes);
    EXPECT_EQ(recent.front(), QString("s%1").arg(kMaxRecentScenes + 2));
    EXPECT_EQ(recent.back(), "s3");
    // Opened again, a scene moves to the front instead of standing twice.
    recent = WithRecentScene(recent, "s5");
    EXPECT_EQ(recent.size(), kMaxRecentScenes);
    EXPECT_EQ(recent.front(), "s5");
    EXPECT_EQ(recent.count("s5"), 1);

    QTemporaryDir dir;
    QString paths[3];
    for (int i = 0; i < 3; ++i) {
        paths[i] = dir.path() + QString("/scene%1.kscene").arg(i);
        Touch(paths[i]);
    }
    const QString settingsPath = dir.path() + "/studio.ini";
    StudioSettings settings(settingsPath);
    for (const QString& p : paths)
        settings.AddRecentScene(p);
    QFile::remove(paths[1]);
    EXPECT_EQ(settings.RecentScenes(), (QStringList{paths[2], paths[0]}));
    settings.Sync();
    // Dropped for good, even if the file comes back later.
    Touch(paths[1]);
    EXPECT_EQ(StudioSettings(settingsPath).RecentScenes(), (QStringList{paths[2], paths[0]}));
}

TEST(StudioSettingsTest, TheStoredLanguageReachesTheEditorUnlessTheEnvironmentChose) {
    QTemporaryDir dir;
    StudioSettings settings(dir.path() + "/studio.ini");
    {
        ScopedEnv lang("KELSB_LANG", std::nullopt);
        EXPECT_FALSE(kel::studio::ApplyStoredLanguage(settings)); // the locale decides
        EXPECT_FALSE(qEnvironmentVariableIsSet("KELSB_LANG"));
        settings.StoreLanguage(StudioLanguage::SimplifiedChinese);
        EXPECT_TRUE(kel::studio::ApplyStoredLanguage(settings));
        EXPECT_EQ(qgetenv("KELSB_LANG"), "2052");
    }
    ScopedEnv lang("KELSB_LANG", "1033");
    EXPECT_FALSE(kel::studio::ApplyStoredLanguage(settings));
    EXPECT_EQ(qgetenv("KELSB_LANG"), "1033");
}

TEST(WorkspacePlanTest, TheWindowsNeverOverlapAndFitWhereTheDesktopAllows) {
    const QMargins frame(3, 26, 3, 3);
    for (const QRect& desktop : {QRect(0, 0, 1920, 1080), QRect(0, 0, 1280, 800),
                                 QRect(1920, 0, 1366, 768), QRect(0, 28, 1024, 740)}) {
        const kel::studio::WorkspacePlan plan = kel::studio::PlanFirstStart(desktop, frame);
        const QRect workspace = plan.workspace.marginsAdded(frame);
        const QRect editor = plan.editorClient.marginsAdded(frame);
        EXPECT_FALSE(workspace.intersects(editor)) << desktop.width() << "x" << desktop.height();
        EXPECT_TRUE(desktop.contains(workspace)) << desktop.width() << "x" << desktop.height();
        EXPECT_TRUE(desktop.contains(editor)) << desktop.width() << "x" << desktop.height();
        EXPECT_EQ(plan.workspace.width(), plan.editorClient.width());
    }
    // Too low for both: they still do not overlap, the editor goes past the bottom instead.
    const kel::studio::WorkspacePlan low =
        kel::studio::PlanFirstStart(QRect(0, 0, 800, 480), frame);
    EXPECT_FALSE(
        low.workspace.marginsAdded(frame).intersects(low.editorClient.marginsAdded(frame)));
}

using WorkspaceTest = kel::test::WorkspaceFixture;

TEST_F(WorkspaceTest, OnAFirstStartThePanelsAreDockedAndTheEditorCoversNothing) {
    Start();
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_TRUE(Dialog()->IsWindowVisible());
    const QRect editor = WindowRect(*Dialog());
    EXPECT_FALSE(window->frameGeometry().intersects(editor));
    EXPECT_FALSE(window->geometry().intersects(editor));
    EXPECT_TRUE(desktop.contains(editor));
    for (kel::studio::PanelDock* dock : {window->ItemsDock(), window->LiveDock(),
                                         window->HistoryDock(), window->NavigatorDock()}) {
        EXPECT_TRUE(dock->isVisible()) << dock->objectName().toStdString();
        EXPECT_FALSE(dock->isFloating()) << dock->objectName().toStdString();
        ASSERT_NE(dock->widget(), nullptr);
        EXPECT_TRUE(window->rect().contains(dock->geometry())) << dock->objectName().toStdString();
    }
    // The tool boxes are still the host's windows for the editor, and shown there.
    EXPECT_EQ(window->HistoryDock()->widget(), backend->WidgetFor(window->Host().History()));
    EXPECT_TRUE(window->Host().History()->IsWindowVisible());
    EXPECT_TRUE(window->Host().Navigator()->IsWindowVisible());
    // Their framework rectangles follow the docks.
    const QWidget* navigator = window->NavigatorDock()->widget();
    EXPECT_EQ(WindowRect(*window->Host().Navigator()).topLeft().x(),
              navigator->mapToGlobal(QPoint()).x() -
                  window->Host().Navigator()->GetNonClientInsets().left);
}

TEST_F(WorkspaceTest, ADockAndItsHostWindowShowAndHideTogether) {
    Start();
    kel::studio::PanelDock* dock = window->NavigatorDock();
    CWnd* navigator = window->Host().Navigator();
    const QRect inDock = dock->widget()->geometry();
    dock->close(); // the dock's close button
    EXPECT_FALSE(dock->isVisible());
    EXPECT_FALSE(navigator->IsWindowVisible()); // what the editor stores on closing
    navigator->ShowWindow(SW_SHOW);             // the editor shows its navigator again
    EXPECT_TRUE(dock->isVisible());
    // Where the dock put it, not where the framework last had the window.
    EXPECT_EQ(dock->widget()->geometry(), inDock);
    navigator->SetWindowPos(nullptr, 5, 5, 50, 50, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(dock->widget()->geometry(), inDock);
    navigator->ShowWindow(SW_HIDE);
    EXPECT_FALSE(dock->isVisible());
    dock->ShowPanel(true); // the View menu
    EXPECT_TRUE(dock->isVisible());
    EXPECT_TRUE(navigator->IsWindowVisible());
    EXPECT_TRUE(dock->widget()->isVisible());

    // Floating and docked again, the window stays shown.
    dock->setFloating(true);
    QApplication::processEvents();
    EXPECT_TRUE(navigator->IsWindowVisible());
    dock->setFloating(false);
    EXPECT_TRUE(navigator->IsWindowVisible());
    EXPECT_TRUE(dock->isVisible());
}

TEST_F(WorkspaceTest, TheLayoutTheEditorsPlaceAndTheSceneComeBackOnTheNextStart) {
    QTemporaryDir scenes;
    const QString scene = scenes.path() + "/news.kscene";
    Start();
    ASSERT_TRUE(window->SaveTo(scene));
    window->setGeometry(QRect(100, 60, 900, 380));
    window->NavigatorDock()->close();
    window->HistoryDock()->setFloating(true);
    Dialog()->SetWindowPos(nullptr, 120, 500, 820, 280, SWP_NOZORDER | SWP_NOACTIVATE);
    QApplication::processEvents();
    const QRect editor = WindowRect(*Dialog());

    Restart();
    EXPECT_EQ(window->Host().Path(), scene.toStdString());
    EXPECT_EQ(window->geometry(), QRect(100, 60, 900, 380));
    EXPECT_FALSE(window->NavigatorDock()->isVisible());
    EXPECT_FALSE(window->Host().Navigator()->IsWindowVisible());
    EXPECT_TRUE(window->HistoryDock()->isFloating());
    EXPECT_TRUE(window->Host().History()->IsWindowVisible());
    EXPECT_EQ(WindowRect(*Dialog()), editor);

    // An editor's place that no screen shows, or too large for them, is not taken.
    for (const QRect& stored : {QRect(20000, 20000, 800, 300), QRect(0, 0, 1 << 28, 1 << 28)}) {
        window->SaveWorkspace();
        QSettings(kel::studio::StudioSettingsPath(), QSettings::IniFormat)
            .setValue("layout/editor", stored);
        window.reset();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Start();
        EXPECT_FALSE(window->geometry().intersects(WindowRect(*Dialog())));
        EXPECT_LT(WindowRect(*Dialog()).width(), 2000);
    }

    // A scene given on the command line wins over the last one.
    const QString other = scenes.path() + "/other.kscene";
    ASSERT_TRUE(window->SaveTo(other));
    ASSERT_TRUE(window->OpenScene(scene));
    Restart(other.toStdString());
    EXPECT_EQ(window->Host().Path(), other.toStdString());

    // The sample when the last scene's file went.
    QFile::remove(other);
    Restart();
    EXPECT_TRUE(window->Host().Path().empty());
    EXPECT_EQ(window->windowTitle(), "Sample - KelSB Studio");
}

TEST_F(WorkspaceTest, TheHistoryPanelKeepsItsHistoryWhenTheWorkspaceIsActivated) {
    Start();
    AppendTrack();
    kel::studio::HistoryPanel* panel = window->Host().History();
    ASSERT_EQ(panel->Rows().size(), 2u); // the start and the new track
    // A click into the workspace (its History Panel dock, say) activates the main window.
    backend->OnActivated(window->Host().MainWindow());
    EXPECT_EQ(panel->Rows().size(), 2u);
    backend->OnActivated(Dialog());
    backend->OnActivated(window->Host().MainWindow());
    EXPECT_EQ(panel->Rows().size(), 2u);
}

TEST_F(WorkspaceTest, TheTitleAndTheEditMenuFollowTheDocument) {
    QTemporaryDir scenes;
    Start();
    EXPECT_EQ(window->windowTitle(), "Sample - KelSB Studio");
    EXPECT_FALSE(window->UndoAction()->isEnabled());
    const int tracks = window->Host().Scene()->GetSBEditObj()->GetCurSBBodyObj()->GetTrackCount();

    AppendTrack();
    EXPECT_EQ(window->windowTitle(), "Sample* - KelSB Studio");
    ASSERT_EQ(History()->GetUndoStepCount(), 1);
    EXPECT_TRUE(window->UndoAction()->isEnabled());
    EXPECT_FALSE(window->RedoAction()->isEnabled());

    ASSERT_TRUE(window->SaveTo(scenes.path() + "/one.kscene"));
    EXPECT_EQ(window->windowTitle(), "one.kscene - KelSB Studio");

    // Undo and Redo go through the editor, as the history panel does.
    window->Undo();
    EXPECT_EQ(History()->GetUndoStepCount(), 0);
    EXPECT_EQ(window->Host().Scene()->GetSBEditObj()->GetCurSBBodyObj()->GetTrackCount(), tracks);
    EXPECT_FALSE(window->UndoAction()->isEnabled());
    EXPECT_TRUE(window->RedoAction()->isEnabled());
    window->Redo();
    EXPECT_EQ(History()->GetUndoStepCount(), 1);
    EXPECT_EQ(window->Host().Scene()->GetSBEditObj()->GetCurSBBodyObj()->GetTrackCount(),
              tracks + 1);
}

TEST_F(WorkspaceTest, OpenedAndSavedScenesBecomeTheRecentOnes) {
    QTemporaryDir scenes;
    const QString first = scenes.path() + "/first.kscene";
    const QString second = scenes.path() + "/second.kscene";
    Start();
    ASSERT_TRUE(window->SaveTo(first));
    ASSERT_TRUE(window->SaveTo(second));
    ASSERT_TRUE(window->OpenScene(first));
    EXPECT_EQ(window->Settings().RecentScenes(), (QStringList{first, second}));
    EXPECT_EQ(window->windowTitle(), "first.kscene - KelSB Studio");

    // A file that is no scene leaves the open scene and the list alone.
    EXPECT_FALSE(window->OpenScene(scenes.path() + "/missing.kscene"));
    EXPECT_EQ(window->Host().Path(), first.toStdString());
    QFile::remove(second);
    EXPECT_EQ(window->Settings().RecentScenes(), QStringList{first});
}

TEST_F(WorkspaceTest, AChangedSceneIsAskedAboutBeforeItGoes) {
    Start();
    AppendTrack();
    AnswerNextQuestion(QMessageBox::Cancel);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->Host().IsStarted());
    EXPECT_FALSE(StudioSettings(kel::studio::StudioSettingsPath()).HasLayout());

    AnswerNextQuestion(QMessageBox::Discard);
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->Host().IsStarted()); // the editor closed with the studio
    EXPECT_TRUE(StudioSettings(kel::studio::StudioSettingsPath()).HasLayout());
}

} // namespace
