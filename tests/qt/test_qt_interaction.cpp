// What the backend runs modally on the desktop: pop-up menus and message boxes built from the
// framework's data, the drag-and-drop loop over the framework's drop targets, the rubber band
// and the module cursors.
#include "qt/qt_backend.h"

#include "platform/cursor.h"
#include "platform/dialog.h"
#include "platform/menu.h"
#include "platform/ole.h"
#include "platform/wnd.h"

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

class Target : public COleDropTarget {
public:
    std::vector<CPoint> overs;
    std::vector<CPoint> drops;
    std::string format;

    DROPEFFECT OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint) override {
        return DROPEFFECT_MOVE;
    }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint point) override {
        overs.push_back(point);
        return DROPEFFECT_MOVE;
    }
    BOOL OnDrop(CWnd*, COleDataObject* data, DROPEFFECT, CPoint point) override {
        drops.push_back(point);
        format = data->GetPayload() ? data->GetPayload()->format.str() : "";
        return TRUE;
    }
};

class InteractionTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = kel::platform::SetBackend(std::make_unique<kel::qt::QtBackend>());
        backend = kel::qt::Installed();
        ASSERT_TRUE(top.CreateEx(0, nullptr, "Owner", WS_POPUP | WS_VISIBLE,
                                 CRect(200, 200, 600, 500), nullptr, 0));
        widget = backend->WidgetFor(&top);
    }
    void TearDown() override {
        top.DestroyWindow();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        kel::platform::SetBackend(std::move(previous));
    }
    // Runs `step` once the modal loop that the next call starts is running.
    static void Soon(std::function<void()> step) { QTimer::singleShot(20, std::move(step)); }
    // The shown top-level widget of type T (a menu, a message box), or null.
    template <class T>
    static T* Shown() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* t = qobject_cast<T*>(w); t && t->isVisible())
                return t;
        return nullptr;
    }

    std::unique_ptr<kel::platform::Backend> previous;
    kel::qt::QtBackend* backend = nullptr;
    CWnd top;
    QWidget* widget = nullptr;
};

TEST_F(InteractionTest, PopupMenusShowTheMenuAsTheFrameworkHoldsIt) {
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, 101, "&Cut\tCtrl+X");
    menu.AppendMenu(MF_STRING | MF_GRAYED, 102, "&Paste");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING | MF_CHECKED, 103, "Lock");
    QStringList seen;
    bool grayed = false;
    bool checked = false;
    Soon([&] {
        auto* shown = Shown<QMenu>();
        if (!shown) {
            ADD_FAILURE() << "no menu shown";
            return;
        }
        const auto actions = shown->actions();
        ASSERT_EQ(actions.size(), 4);
        for (QAction* a : actions)
            seen << a->text();
        grayed = !actions[1]->isEnabled();
        checked = actions[3]->isChecked();
        EXPECT_TRUE(actions[2]->isSeparator());
        shown->setActiveAction(actions[3]); // chosen with the keyboard, as a person may
        QTest::keyClick(shown, Qt::Key_Return);
    });
    const BOOL chosen = menu.TrackPopupMenu(TPM_RETURNCMD, 250, 250, &top);
    EXPECT_EQ(chosen, 103);
    EXPECT_EQ(seen.value(0), "&Cut\tCtrl+X");
    EXPECT_TRUE(grayed);
    EXPECT_TRUE(checked);

    Soon([] {
        if (QMenu* shown = Shown<QMenu>())
            shown->close();
    });
    EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 250, 250, &top), 0); // dismissed
}

TEST_F(InteractionTest, MessageBoxesOfferTheButtonsAndIconOfTheirStyle) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    Soon([&] {
        auto* box = Shown<QMessageBox>();
        if (!box) {
            ADD_FAILURE() << "no message box shown";
            return;
        }
        icon = box->icon();
        buttons = static_cast<int>(box->buttons().size());
        EXPECT_EQ(box->text(), "Delete?");
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(top.MessageBox("Delete?", "Storyboard Edit", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(buttons, 3);

    Soon([] {
        if (QMessageBox* box = Shown<QMessageBox>())
            box->close(); // closed without an answer
    });
    EXPECT_EQ(top.MessageBox("Forbidden", "Storyboard Edit", MB_OK | MB_ICONHAND), IDOK);
}

TEST_F(InteractionTest, TheDragLoopCallsTheDropTargetsUntilTheRelease) {
    Target target;
    ASSERT_TRUE(target.Register(&top));
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    Soon([&] {
        QTest::mouseMove(widget, QPoint(60, 40));
        QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, QPoint(80, 50));
    });
    COleDataSource source;
    const char bytes[] = "piece";
    source.CacheData(static_cast<CLIPFORMAT>(RegisterClipboardFormat("CREATE_PIECE_DATA")), bytes,
                     sizeof bytes);
    EXPECT_EQ(source.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE), DROPEFFECT_MOVE);
    ASSERT_FALSE(target.overs.empty());
    ASSERT_EQ(target.drops.size(), 1U);
    EXPECT_EQ(target.drops[0], CPoint(80, 50));
    EXPECT_EQ(target.format, "CREATE_PIECE_DATA");

    // Escape cancels: nothing is dropped.
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    Soon([&] {
        QTest::mouseMove(widget, QPoint(30, 30));
        QTest::keyClick(widget, Qt::Key_Escape);
    });
    EXPECT_EQ(source.DoDragDrop(DROPEFFECT_MOVE), DROPEFFECT_NONE);
    EXPECT_EQ(target.drops.size(), 1U);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    target.Revoke();
}

TEST_F(InteractionTest, TheRubberBandFollowsThePointerWithinItsLimit) {
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    Soon([&] {
        QTest::mouseMove(widget, QPoint(90, 60));
        QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, QPoint(300, 60));
    });
    CRect limit(0, 0, 150, 200);
    top.ClientToScreen(&limit);
    const CRect band = backend->TrackRubberBand(top, CPoint(20, 20), limit);
    EXPECT_EQ(band, CRect(20, 20, 150, 60));
    // Without a held button there is nothing to track.
    EXPECT_TRUE(backend->TrackRubberBand(top, CPoint(20, 20), limit).IsRectEmpty());
}

TEST_F(InteractionTest, AModalDialogRunsUntilItEndsItselfWithItsOwnerDisabled) {
    DialogTemplate form;
    form.caption = "Storyboard Properties";
    form.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    form.cx = 120;
    form.cy = 60;
    CDialog dialog;
    ASSERT_TRUE(dialog.InitModalIndirect(form, &top));
    bool ownerDisabled = false;
    bool modal = false;
    Soon([&] {
        ownerDisabled = !widget->isEnabled();
        QWidget* shown = backend->WidgetFor(&dialog);
        modal = shown && shown->isVisible() && shown->isModal();
        dialog.EndDialog(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(modal);
    EXPECT_TRUE(widget->isEnabled());
    EXPECT_FALSE(IsWindow(&dialog));

    // Closing the window through the desktop cancels it.
    CDialog closed;
    ASSERT_TRUE(closed.InitModalIndirect(form, &top));
    Soon([&] {
        if (QWidget* shown = backend->WidgetFor(&closed))
            shown->close();
    });
    EXPECT_EQ(closed.DoModal(), IDCANCEL);
}

TEST_F(InteractionTest, ModuleCursorsShowTheirPictureAtTheirHotSpot) {
    CursorData data;
    data.image.width = 32;
    data.image.height = 32;
    data.image.pixels.assign(32 * 32, 0xFF000000);
    data.hotX = 5;
    data.hotY = 9;
    HCURSOR cursor = kel::platform::CursorFromResource(data, 201);
    const QCursor shown = backend->ToQCursor(cursor);
    EXPECT_EQ(shown.shape(), Qt::BitmapCursor);
    EXPECT_EQ(shown.hotSpot(), QPoint(5, 9));
    EXPECT_EQ(backend->ToQCursor(LoadCursor(nullptr, IDC_WAIT)).shape(), Qt::WaitCursor);
    ::SetCursor(cursor);
    EXPECT_EQ(backend->CurrentCursor(), cursor);
}

} // namespace
