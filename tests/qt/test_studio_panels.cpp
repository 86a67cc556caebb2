// The studio's tool boxes: the history panel lists what a storyboard's history holds and asks
// the dialog to move through it; the navigator describes the material it is told about.
#include "host_panels.h"
#include "qt/qt_backend.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/scene/sample_scene.h"
#include "host/undo/ur_manager.h"

#include <QApplication>
#include <QListWidget>
#include <gtest/gtest.h>
#include <memory>
#include <utility>
#include <vector>

namespace {

using kel::studio::HistoryPanel;
using kel::studio::NavigatorPanel;

class DialogProbe : public CWnd {
public:
    std::vector<std::pair<WPARAM, LPARAM>> received;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == RegisterWindowMessage("WM_CG_UR_FROM_HISTORY")) {
            received.emplace_back(wParam, lParam);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = kel::platform::SetBackend(std::make_unique<kel::qt::QtBackend>());
        scene = KelCreateSampleScene();
        dialog.CreateEx(0, nullptr, "Storyboard Edit", WS_POPUP | WS_CAPTION, CRect(0, 0, 300, 200),
                        nullptr, 0);
    }
    void TearDown() override {
        for (CWnd* wnd : {static_cast<CWnd*>(&history), static_cast<CWnd*>(&navigator),
                          static_cast<CWnd*>(&dialog)})
            if (IsWindow(wnd))
                wnd->DestroyWindow();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        kel::platform::SetBackend(std::move(previous));
    }
    CKelSBBodyObj* Storyboard(int index) const {
        return scene->GetSBEditObj()->GetSBBodyObj(index);
    }
    void Record(CKelURBase* ur, const char* name) {
        ur->AddCommand(new CKelURCmd(nullptr, 0, CString(name)));
    }
    LRESULT Update(WPARAM code, CKelURBase* ur) {
        return history.SendMessage(RegisterWindowMessage("WM_CG_UPDATE_HISTORY"), code,
                                   reinterpret_cast<LPARAM>(ur));
    }

    std::unique_ptr<kel::platform::Backend> previous;
    std::unique_ptr<CKelPlaySceneObj> scene;
    DialogProbe dialog;
    HistoryPanel history{[this] { return scene.get(); }, [this] { return &dialog; }};
    NavigatorPanel navigator{[this] { return scene.get(); }};
};

TEST_F(PanelTest, HistoryPanelListsTheStepsAndMarksTheCurrentOne) {
    ASSERT_TRUE(history.CreatePanel(CRect(0, 0, 300, 300)));
    CKelURBase* ur = Storyboard(0)->GetURBase();
    Record(ur, "Move Materials");
    Record(ur, "Delete Materials");
    Record(ur, "Append Track");
    ur->Undo(1);
    Update(5, ur);

    const auto rows = history.Rows();
    ASSERT_EQ(rows.size(), 4U);
    EXPECT_EQ(rows[1].text, "Move Materials");
    EXPECT_EQ(rows[3].text, "Append Track");
    EXPECT_TRUE(rows[2].current);
    EXPECT_TRUE(rows[2].done);
    EXPECT_FALSE(rows[3].done); // undone, can be redone
    // The list on the desktop shows the same.
    QListWidget* list = history.List();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->item(2)->text(), "Delete Materials");
    EXPECT_EQ(list->currentRow(), 2);
    EXPECT_TRUE(list->item(2)->font().bold());

    // A click asks the dialog to undo or redo the difference, and nothing for the current row.
    history.ChooseRow(0);
    history.ChooseRow(3);
    history.ChooseRow(2);
    ASSERT_EQ(dialog.received.size(), 2U);
    EXPECT_EQ(dialog.received[0], std::make_pair(WPARAM(1), LPARAM(2)));
    EXPECT_EQ(dialog.received[1], std::make_pair(WPARAM(0), LPARAM(1)));
}

TEST_F(PanelTest, HistoryPanelShowsNothingForAHistoryThatIsGone) {
    ASSERT_TRUE(history.CreatePanel(CRect(0, 0, 300, 300)));
    CKelURBase* ur = Storyboard(1)->GetURBase();
    Record(ur, "Cut Track");
    Update(5, ur);
    EXPECT_EQ(history.Rows().size(), 2U);
    // The storyboard goes (the scene is replaced); the panel must not read its history.
    scene = KelCreateSampleScene();
    EXPECT_TRUE(history.Rows().empty());
    history.ChooseRow(1);
    EXPECT_TRUE(dialog.received.empty());
    Update(4, nullptr);
    EXPECT_EQ(history.List()->count(), 0);
}

TEST_F(PanelTest, NavigatorDescribesTheCurrentMaterial) {
    ASSERT_TRUE(navigator.CreatePanel(CRect(0, 0, 300, 200)));
    const UINT changed = RegisterWindowMessage("WM_CG_SBNAV_SBSELCONTENT_CHANGED");
    auto material = [this](int container, int index) {
        return reinterpret_cast<LPARAM>(
            Storyboard(0)->GetContainerObj(container)->GetContentObj(index));
    };
    navigator.SendMessage(changed, 5, material(1, 0)); // Headline Stay 10-85 on track 0
    NavigatorPanel::Fields shown = navigator.Shown();
    EXPECT_EQ(shown.kind, "Stay");
    EXPECT_EQ(shown.piece, "Headline");
    EXPECT_EQ(shown.track, "Track1");
    EXPECT_EQ(shown.entry.rfind("10 (", 0), 0U);
    EXPECT_EQ(shown.outlet.rfind("85 (", 0), 0U);
    EXPECT_EQ(shown.length.rfind("75 (", 0), 0U);

    navigator.SendMessage(changed, 5, material(5, 0)); // Ticker, a scroll on track 1
    EXPECT_EQ(navigator.Shown().kind, "Scroll");
    EXPECT_EQ(navigator.Shown().track, "Track2");

    navigator.SendMessage(changed, 5, material(7, 0)); // the piece the scene lacks
    EXPECT_EQ(navigator.Shown().piece, "(not in the scene)");

    navigator.SendMessage(changed, 5, 0);
    EXPECT_EQ(navigator.Shown(), NavigatorPanel::Fields{});
}

} // namespace
