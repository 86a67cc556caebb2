// The studio's Storyboard List dialog and live output with the real module: the dialog is
// driven with the mouse on the desktop, and the live output shows what plays and previews.
#include "dialog/automation.h"
#include "live_output_panel.h"
#include "qt/qt_backend.h"
#include "storyboard/list_button_ids.h"
#include "studio_fixture.h"
#include "studio_host.h"

#include "host/effects/effect_preview.h"
#include "host/gui/aqua_dialog.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/services/live_output.h"
#include "host/services/module_rc.h"
#include "platform/controls.h"
#include "res/resource.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

class StudioOutputTest : public kel::test::StudioFixture {
protected:
    CKelSBEditObj& Document() const { return *host->Scene()->GetSBEditObj(); }
    // A left or right click in the middle of a framework window's rectangle `rect` (its client
    // coordinates).
    void Click(CWnd* wnd, Qt::MouseButton button, const CRect& rect) {
        QWidget* widget = backend->WidgetFor(wnd);
        ASSERT_NE(widget, nullptr);
        QTest::mouseClick(widget, button, Qt::NoModifier,
                          QPoint(rect.CenterPoint().x, rect.CenterPoint().y));
    }
    void ClickWindow(CWnd* wnd) {
        ASSERT_NE(wnd, nullptr);
        CRect client;
        wnd->GetClientRect(&client);
        Click(wnd, Qt::LeftButton, client);
    }
    // Runs `step` once the modal loop that the next call starts is running.
    static void Soon(std::function<void()> step) { QTimer::singleShot(30, std::move(step)); }
};

TEST_F(StudioOutputTest, TheStoryboardListWorksWithTheMouse) {
    bool shown = false;
    QStringList menu;
    bool moveDownGrayed = false;
    Soon([&] {
        CWnd* dialog = CWnd::GetActiveWindow();
        ASSERT_NE(dialog, nullptr);
        shown = dialog->GetWindowText() == CString("Storyboard List");
        auto* list = dynamic_cast<CListBox*>(dialog->GetDlgItem(IDC_SBL_LIST));
        ASSERT_NE(list, nullptr);
        CRect item;
        list->GetItemRect(1, &item);
        // Choosing the second storyboard shows it; the Copy button copies it.
        Click(list, Qt::LeftButton, item);
        EXPECT_EQ(Document().GetCurSBBodyIndex(), 1);
        ClickWindow(dialog->GetDlgItem(IDC_SBL_COPY));
        EXPECT_EQ(Document().GetSBClipboardCount(), 1);
        // The context menu of the first item: looked at, then dismissed.
        QTimer::singleShot(30, [&] {
            if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* action : popup->actions()) {
                    if (!action->isSeparator())
                        menu << action->text();
                    if (action->text() == "Move Down Storyboard")
                        moveDownGrayed = !action->isEnabled();
                }
                popup->close();
            }
        });
        list->GetItemRect(0, &item);
        Click(list, Qt::RightButton, item);
        EXPECT_EQ(list->GetCurSel(), 0);
        ClickWindow(dialog->GetDlgItem(IDOK));
    });
    QWidget* tool = backend->WidgetFor(state.view->GetDlgItem(IDC_VIEW_TOOL_SB_OPERATION));
    ASSERT_NE(tool, nullptr);
    QTest::mouseClick(tool, Qt::LeftButton, Qt::NoModifier, tool->rect().center());
    EXPECT_TRUE(shown);
    EXPECT_EQ(menu.size(), 8);
    EXPECT_FALSE(moveDownGrayed); // the first of two can move down
    EXPECT_EQ(Document().GetCurSBBodyIndex(), 1);
}

TEST_F(StudioOutputTest, TheListButtonsCaptionsFitTheirButtonsInEveryLanguage) {
    const auto& ids = kel::test::kListButtonIds;
    for (LANGID language : {LANG_ENGLISH_US, LANG_CHINESE_SIMPLIFIED, LANG_CHINESE_TRADITIONAL}) {
        SCOPED_TRACE(language);
        CKelModuleRC::SetLanguage(language);
        int checked = 0;
        Soon([&] {
            CWnd* dialog = CWnd::GetActiveWindow();
            ASSERT_NE(dialog, nullptr);
            for (UINT nId : ids) {
                CWnd* button = dialog->GetDlgItem(static_cast<int>(nId));
                ASSERT_NE(button, nullptr);
                CClientDC dc(button);
                dc.SelectObject(button->GetFont());
                CRect client;
                button->GetClientRect(&client);
                // Measured with the desktop's own fonts, a few pixels of the bevel spared.
                const CString shown = CKelAquaPushBtn::ShownCaption(button->GetWindowText());
                EXPECT_LE(dc.GetTextExtent(shown).cx, client.Width() - 4) << shown.str();
                ++checked;
            }
            ClickWindow(dialog->GetDlgItem(IDOK));
        });
        QWidget* tool = backend->WidgetFor(state.view->GetDlgItem(IDC_VIEW_TOOL_SB_OPERATION));
        ASSERT_NE(tool, nullptr);
        QTest::mouseClick(tool, Qt::LeftButton, Qt::NoModifier, tool->rect().center());
        EXPECT_EQ(checked, 9);
    }
    CKelModuleRC::SetLanguage(LANG_ENGLISH_US);
}

TEST_F(StudioOutputTest, TheLiveOutputShowsWhatPlaysAndWhatIsPreviewed) {
    kel::studio::LiveOutputPanel panel(false);
    panel.show();
    // While the News plays, the window shows what is on the air: at the Logo's place the
    // Opening movie (frames 0 to 124) and then the Logo (100 to 211).
    const auto shownAt = [&panel](int x, int y) {
        return !panel.Frame().isNull() && panel.Frame().pixel(x, y) != 0;
    };
    int framesWithLogo = 0;
    CKelDrvSys::SetFieldClock([&](int) { framesWithLogo += shownAt(640, 70) ? 1 : 0; });
    const int nTaken = panel.FramesTaken();
    ClickWindow(host->Dialog()->GetDlgItem(IDC_BTN_PLAY));
    CKelDrvSys::SetFieldClock({});
    EXPECT_FALSE(host->Scene()->GetLastPlay().empty());
    EXPECT_GT(panel.FramesTaken(), nTaken + 1);
    EXPECT_EQ(framesWithLogo, 212);

    // A click on the Headline's Stay, then its effect previewed for the host's main window.
    const CRect& tracks = state.regions[kel::automation::kTrackArea];
    Click(state.view, Qt::LeftButton,
          CRect(tracks.left + 40, tracks.top + 5, tracks.left + 60, tracks.top + 25));
    KelPieceEffectPreview record;
    record.pWnd = host->MainWindow();
    const int nBefore = panel.FramesTaken();
    state.view->SendMessage(RegisterWindowMessage("WM_CG_PIECE_EFFECT_PREVIEW"), 0,
                            reinterpret_cast<LPARAM>(&record));
    EXPECT_GT(panel.FramesTaken(), nBefore + 1);
    EXPECT_TRUE(shownAt(100, 450));
}

} // namespace
