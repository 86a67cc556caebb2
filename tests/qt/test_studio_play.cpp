// Playing in the studio with the real module, as a user does: what is pressed during a play is
// dropped, not run afterwards; Esc, Space and the Live Output's Stop button stop it; a compile's
// findings show in the Compile Results panel; the Upload button and the loaded banner.
#include "compile_results_panel.h"
#include "dialog/automation.h"
#include "live_output_panel.h"
#include "qt/qt_backend.h"
#include "studio_window.h"
#include "video_export.h"
#include "workspace_fixture.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/scene/sample_scene.h"
#include "host/services/live_output.h"
#include "host/services/video_std.h"
#include "host/undo/ur_manager.h"
#include "res/resource.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

class StudioPlayTest : public kel::test::WorkspaceFixture {
protected:
    void SetUp() override {
        WorkspaceFixture::SetUp();
        StartPlaying();
    }
    void TearDown() override {
        CKelDrvSys::SetFieldClock({});
        WorkspaceFixture::TearDown();
    }
    // A studio that plays as fast as it can; the one before goes first, as it would on a
    // restart.
    void StartPlaying() {
        window.reset();
        Start();
        window->LiveOutput()->SetPaced(false);
        ReadState();
    }
    void ReadState() { state = EditorNow(); }
    CKelSBBodyObj& Body() { return *window->Host().Scene()->GetSBEditObj()->GetCurSBBodyObj(); }
    QWidget* ViewWidget() { return backend->WidgetFor(state.view); }
    QWidget* ButtonWidget(UINT nId) { return backend->WidgetFor(Dialog()->GetDlgItem(nId)); }
    void Press(UINT nId) {
        QWidget* button = ButtonWidget(nId);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
        QApplication::processEvents(); // the studio looks at the outcome once the call is over
    }
    void PressKey(int key) {
        state.view->SetFocus(); // keys go to the window with the framework's focus
        QTest::keyClick(ViewWidget(), static_cast<Qt::Key>(key));
        QApplication::processEvents();
    }
    static void PostKey(QWidget* to, int key, const QString& text = {},
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QCoreApplication::postEvent(to, new QKeyEvent(QEvent::KeyPress, key, modifiers, text));
        QCoreApplication::postEvent(to, new QKeyEvent(QEvent::KeyRelease, key, modifiers, text));
    }
    static void PostClick(QWidget* to, QPoint at) {
        const QPointF local(at);
        const QPointF global(to->mapToGlobal(at));
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QCoreApplication::postEvent(
                to,
                new QMouseEvent(type, local, global, Qt::LeftButton,
                                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                Qt::NoModifier));
        }
    }
    // Plays with the Play button from `from`; `during(n)` runs before the n-th frame's fields
    // (0 for the first), which then run the user interface as the studio's clock does.
    void Play(DWORD from, const std::function<void(int)>& during) {
        Body().SetTimeLinePos(from);
        int frame = 0;
        CKelDrvSys::SetFieldClock([&](int count) {
            during(frame++);
            window->LiveOutput()->WaitFields(count);
        });
        Press(IDC_BTN_PLAY);
        CKelDrvSys::SetFieldClock([this](int count) { window->LiveOutput()->WaitFields(count); });
        ReadState();
    }
    int UndoSteps() { return Body().GetURBase()->GetUndoStepCount(); }

    kel::automation::EditorState state;
};

TEST_F(StudioPlayTest, WhatIsPressedDuringPlayIsDroppedAndEscStopsAtTheFrameOnTheAir) {
    state.view->SendMessage(WM_COMMAND, MAKEWPARAM(ID_TRACK_APPEND, 0), 0);
    ASSERT_EQ(UndoSteps(), 1);
    // Whatever modal box the dropped input would have raised is answered, and remembered.
    bool boxShown = false;
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            boxShown = true;
            modal->close();
        }
    });
    watchdog.start(50);
    const CRect& tracks = state.regions[kel::automation::kTrackArea];
    const QPoint material(tracks.left + 50, tracks.top + 15);
    const int nDropped = window->Host().Gate()->Dropped();
    bool stopEnabled = false;
    Play(0, [&](int frame) {
        if (frame == 20) {
            // Undo twice in the editor, a click on a material and Delete, Undo of the Edit menu.
            PostKey(ViewWidget(), Qt::Key_Z, "z");
            PostKey(ViewWidget(), Qt::Key_Z, "z");
            PostClick(ViewWidget(), material);
            PostKey(ViewWidget(), Qt::Key_Delete);
            PostKey(window.get(), Qt::Key_Z, "z", Qt::ControlModifier);
            stopEnabled = window->LiveOutput()->StopButton()->isEnabled();
        }
        if (frame == 40)
            PostKey(ViewWidget(), Qt::Key_Escape);
    });
    watchdog.stop();

    EXPECT_TRUE(stopEnabled);
    EXPECT_FALSE(window->LiveOutput()->StopButton()->isEnabled());
    EXPECT_EQ(Body().GetTimeLinePos(), 40u);
    EXPECT_EQ(CKelCGSBServer::GetPosition(), 40u);
    EXPECT_TRUE(window->Host().PanelsEnabled());
    // Nothing of it ran, then or afterwards.
    QApplication::processEvents();
    ReadState();
    EXPECT_EQ(UndoSteps(), 1);
    EXPECT_TRUE(state.selectedContainers.empty());
    EXPECT_FALSE(boxShown);
    EXPECT_GE(window->Host().Gate()->Dropped() - nDropped, 10);

    // Input after the play goes where it always went: a click selects.
    QTest::mouseClick(ViewWidget(), Qt::LeftButton, Qt::NoModifier, material);
    ReadState();
    EXPECT_FALSE(state.selectedContainers.empty());
}

TEST_F(StudioPlayTest, SpaceAndTheStopButtonStopThePlay) {
    Play(0, [&](int frame) {
        if (frame == 5)
            PostKey(window.get(), Qt::Key_Space, " ");
    });
    EXPECT_EQ(Body().GetTimeLinePos(), 5u);
    bool clicked = false;
    Play(100, [&](int frame) {
        if (frame == 8) {
            QPushButton* stop = window->LiveOutput()->StopButton();
            QTest::mouseClick(stop, Qt::LeftButton, Qt::NoModifier, stop->rect().center());
            clicked = true;
        }
    });
    EXPECT_TRUE(clicked);
    EXPECT_EQ(Body().GetTimeLinePos(), 108u);
    // Without a play the Stop button has nothing to stop, and Space plays again as ever.
    EXPECT_FALSE(window->LiveOutput()->StopButton()->isEnabled());
    Play(Body().GetDuration() - 3, [](int) {});
    EXPECT_EQ(Body().GetTimeLinePos(), Body().GetDuration());
}

TEST_F(StudioPlayTest, TheCompileResultsShowWhatTheCompileFoundAndLeadToIt) {
    kel::studio::CompileResultsPanel* results = window->CompileResults();
    EXPECT_FALSE(window->CompileDock()->IsShown());
    PressKey(Qt::Key_M);
    // The sample's orphan: track 4 (index 3), from frame 30, its piece gone.
    ASSERT_TRUE(window->CompileDock()->IsShown());
    ASSERT_EQ(results->List()->topLevelItemCount(), 1);
    QTreeWidgetItem* row = results->List()->topLevelItem(0);
    EXPECT_EQ(row->text(0), "4");
    EXPECT_EQ(row->text(1), "00:00:01:05");
    EXPECT_EQ(row->text(2), "(missing)");
    EXPECT_EQ(row->text(3), "The material's piece is missing from the scene");
    EXPECT_EQ(results->Summary(), "Problems found by the compile: 1");

    // A double click selects the material and moves the time line to it.
    emit results->List()->itemDoubleClicked(row, 0);
    ReadState();
    EXPECT_EQ(state.selectedContainers, std::vector<int>{7});
    EXPECT_EQ(state.currentContainer, 7);
    EXPECT_EQ(Body().GetTimeLinePos(), 30u);

    // A compile that finds nothing says so.
    Body().GetTrackObj(3)->SetPlayAllowed(FALSE);
    PressKey(Qt::Key_M);
    EXPECT_EQ(results->List()->topLevelItemCount(), 0);
    EXPECT_EQ(results->Summary(), "The compile found no problems.");

    // The panel speaks the editor's language.
    auto scene = KelCreateSampleScene();
    scene->CompileStoryBoard(nullptr);
    kel::studio::CompileResultsPanel simplified(2052, {});
    simplified.Fill(*scene);
    EXPECT_EQ(kel::studio::CompileResultsPanel::Title(2052), QString::fromUtf8("编译结果"));
    EXPECT_EQ(simplified.List()->headerItem()->text(0), QString::fromUtf8("轨道"));
    EXPECT_EQ(simplified.List()->topLevelItem(0)->text(3),
              QString::fromUtf8("场景中缺少素材的图文"));
    kel::studio::CompileResultsPanel traditional(1028, {});
    traditional.Fill(*scene);
    EXPECT_EQ(traditional.List()->topLevelItem(0)->text(3),
              QString::fromUtf8("場景中缺少素材的圖文"));
}

TEST_F(StudioPlayTest, UploadShowsWithAnOutputDeviceAndTheLoadedStateIsPlain) {
    // The simulated output counts as a device: Upload is there from the start.
    EXPECT_TRUE(Dialog()->GetDlgItem(IDC_BTN_UPLOAD)->IsWindowVisible());
    EXPECT_FALSE(window->LiveOutput()->IsLoadedShown());
    state.view->SendMessage(WM_COMMAND, MAKEWPARAM(ID_TRACK_APPEND, 0), 0);
    Press(IDC_BTN_UPLOAD);
    EXPECT_TRUE(window->Host().IsLoaded());
    EXPECT_TRUE(window->LiveOutput()->IsLoadedShown());
    EXPECT_FALSE(window->UndoAction()->isEnabled()); // editing is refused while loaded
    Press(IDC_BTN_DOWNLOAD);
    EXPECT_FALSE(window->Host().IsLoaded());
    EXPECT_FALSE(window->LiveOutput()->IsLoadedShown());
    EXPECT_TRUE(window->UndoAction()->isEnabled());

    // Without a device configured the studio leaves Upload hidden.
    window->Settings().StoreOutputDevice(false);
    window->Settings().Sync();
    StartPlaying();
    EXPECT_FALSE(Dialog()->GetDlgItem(IDC_BTN_UPLOAD)->IsWindowVisible());
}

TEST_F(StudioPlayTest, ExportVideoWritesTheWholeStoryboardAsItPlays) {
    std::string why;
    if (!kel::video::IsExportAvailable(&why))
        GTEST_SKIP() << why;
    // A small raster keeps the encoding short; the frames are those of a play all the same.
    const CRect raster = CKelVideoStd::GetResRect();
    CKelVideoStd::SetResRect(CRect(0, 0, 192, 108));
    const QString path = config.path() + "/news.mkv";
    EXPECT_TRUE(window->ExportVideo(path));
    CKelVideoStd::SetResRect(raster);
    EXPECT_TRUE(QFileInfo(path).isFile());
    EXPECT_GT(QFileInfo(path).size(), 0);
}

} // namespace
