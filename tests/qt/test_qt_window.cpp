// Framework windows on the desktop: each has a widget where the framework says it is, paints
// through its widget, and hears the clicks made on it.
#include "qt/qt_backend.h"

#include "platform/dc.h"
#include "platform/wnd.h"

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QRegion>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

class Probe : public CWnd {
public:
    std::vector<CPoint> downs;
    std::vector<CPoint> ups;
    std::vector<UINT> keys;
    std::vector<UINT> chars;
    int paints = 0;

protected:
    void OnLButtonDown(UINT, CPoint point) override {
        downs.push_back(point);
        SetCapture();
    }
    void OnLButtonUp(UINT, CPoint point) override {
        ups.push_back(point);
        ReleaseCapture();
    }
    void OnKeyDown(UINT ch, UINT, UINT) override { keys.push_back(ch); }
    void OnChar(UINT ch, UINT, UINT) override { chars.push_back(ch); }
    void OnPaint() override {
        CPaintDC dc(this);
        CRect client;
        GetClientRect(&client);
        dc.FillSolidRect(client, RGB(200, 0, 0));
        ++paints;
    }
};

// Draws outside a paint, as the editor's feedback does.
void FillOutsidePaint(CWnd& wnd, const CRect& rect, COLORREF colour) {
    CClientDC dc(&wnd);
    dc.FillSolidRect(rect, colour);
}

class QtWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = kel::platform::SetBackend(std::make_unique<kel::qt::QtBackend>());
        backend = kel::qt::Installed();
        ASSERT_NE(backend, nullptr);
        ASSERT_TRUE(top.CreateEx(0, nullptr, "Probe Top", WS_POPUP | WS_CAPTION | WS_VISIBLE,
                                 CRect(100, 100, 500, 400), nullptr, 0));
        ASSERT_TRUE(child.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE | WS_BORDER,
                                   CRect(20, 30, 220, 130), &top, 7));
    }
    void TearDown() override {
        child.DestroyWindow();
        top.DestroyWindow();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        kel::platform::SetBackend(std::move(previous));
    }

    std::unique_ptr<kel::platform::Backend> previous;
    kel::qt::QtBackend* backend = nullptr;
    CWnd top;
    Probe child;
};

TEST_F(QtWindowTest, WidgetsMirrorTheWindowTree) {
    QWidget* topWidget = backend->WidgetFor(&top);
    QWidget* childWidget = backend->WidgetFor(&child);
    ASSERT_NE(topWidget, nullptr);
    ASSERT_NE(childWidget, nullptr);
    EXPECT_EQ(childWidget->parentWidget(), topWidget);
    EXPECT_EQ(topWidget->windowTitle(), "Probe Top");
    // A top-level widget is the client area; a child's covers its frame too.
    CRect client;
    top.GetClientRect(&client);
    EXPECT_EQ(topWidget->size(), QSize(client.Width(), client.Height()));
    EXPECT_EQ(childWidget->geometry(), QRect(20, 30, 200, 100));

    child.MoveWindow(40, 50, 100, 60);
    EXPECT_EQ(childWidget->geometry(), QRect(40, 50, 100, 60));
    top.SetWindowText("Renamed");
    EXPECT_EQ(topWidget->windowTitle(), "Renamed");
    // Screen readers read a window's text as the user sees it: without the mnemonic marks and
    // the skin's mark of its buttons.
    EXPECT_EQ(topWidget->accessibleName(), "Renamed");
    child.SetWindowText("Save && &Close@p");
    EXPECT_EQ(childWidget->accessibleName(), "Save & Close");
    child.ShowWindow(SW_HIDE);
    EXPECT_FALSE(childWidget->isVisibleTo(topWidget));
    child.EnableWindow(FALSE);
    EXPECT_FALSE(childWidget->isEnabled());

    child.DestroyWindow();
    EXPECT_EQ(backend->WidgetFor(&child), nullptr);
}

TEST_F(QtWindowTest, PaintingGoesThroughTheWidget) {
    QWidget* childWidget = backend->WidgetFor(&child);
    child.Invalidate();
    const QImage shot = childWidget->grab().toImage();
    EXPECT_GE(child.paints, 1);
    // The border is drawn around the client area, which shows what WM_PAINT drew.
    EXPECT_EQ(shot.pixel(100, 50), qRgb(200, 0, 0));
    EXPECT_NE(shot.pixel(0, 0), qRgb(200, 0, 0));
    // A window that is not invalid shows its last picture without painting again.
    const int paints = child.paints;
    childWidget->grab();
    EXPECT_EQ(child.paints, paints);
}

TEST_F(QtWindowTest, ALargeWindowShowsWhatItDrawsUpToItsFarCorner) {
    // Large surfaces take memory of their own, on large pages where the system has them.
    QWidget* childWidget = backend->WidgetFor(&child);
    for (const CSize size : {CSize(1300, 900), CSize(1500, 1000)}) {
        child.MoveWindow(0, 0, size.cx, size.cy);
        child.Invalidate();
        child.UpdateWindow();
        CRect client;
        child.GetClientRect(&client);
        FillOutsidePaint(
            child,
            CRect(client.right - 30, client.bottom - 20, client.right - 10, client.bottom - 10),
            RGB(0, 0, 250));
        const QImage shot = childWidget->grab().toImage();
        // One pixel of border lies before the client area.
        const QPoint corner(client.right + 1, client.bottom + 1);
        EXPECT_EQ(shot.pixel(corner - QPoint(30, 20)), qRgb(0, 0, 250)) << size.cx;
        EXPECT_EQ(shot.pixel(corner - QPoint(11, 11)), qRgb(0, 0, 250)) << size.cx;
        EXPECT_EQ(shot.pixel(corner - QPoint(31, 21)), qRgb(200, 0, 0)) << size.cx;
        EXPECT_EQ(shot.pixel(corner - QPoint(10, 10)), qRgb(200, 0, 0)) << size.cx;
        EXPECT_EQ(shot.pixel(1, 1), qRgb(200, 0, 0)) << size.cx;
    }
}

// Records what Qt repaints of a widget.
class PaintWatch : public QObject {
public:
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

TEST_F(QtWindowTest, DrawingIsShownEachTimeEvenWhereItWasShownBefore) {
    QWidget* childWidget = backend->WidgetFor(&child);
    PaintWatch watch;
    childWidget->installEventFilter(&watch);
    // One pixel of border lies before the client area.
    const QRect drawn(11, 11, 50, 30);
    for (int round = 0; round < 3; ++round) {
        watch.painted = QRegion();
        {
            CClientDC dc(&child);
            dc.FillSolidRect(CRect(10, 10, 60, 40), RGB(0, 0, 255 - round));
            dc.FillSolidRect(CRect(20, 15, 30, 25), RGB(0, 255, 0)); // inside the first
        }
        // Qt paints at its next update, a frame later.
        EXPECT_TRUE(QTest::qWaitFor([&] { return watch.painted.contains(drawn); }, 2000))
            << "round " << round;
    }
    childWidget->removeEventFilter(&watch);
}

TEST_F(QtWindowTest, TheWindowsPictureShowsTheChildsDrawingWhereTheChildLies) {
    QWidget* topWidget = backend->WidgetFor(&top);
    QWidget* childWidget = backend->WidgetFor(&child);
    // Its first paints come before.
    QTest::qWait(100);
    child.UpdateWindow();
    PaintWatch watch;
    childWidget->installEventFilter(&watch);
    FillOutsidePaint(child, CRect(10, 10, 60, 40), RGB(0, 0, 250));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return watch.painted.contains(QRect(11, 11, 50, 30)); }, 2000));
    childWidget->removeEventFilter(&watch);
    // The child lies at (20, 30) in the top-level window, its client area one pixel further in.
    const QPoint client(21, 31);
    auto check = [&](const QImage& shot, const char* what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(shot.pixel(client + QPoint(10, 10)), qRgb(0, 0, 250));
        EXPECT_EQ(shot.pixel(client + QPoint(59, 39)), qRgb(0, 0, 250));
        EXPECT_EQ(shot.pixel(client + QPoint(60, 40)), qRgb(200, 0, 0));
        EXPECT_EQ(shot.pixel(client + QPoint(9, 9)), qRgb(200, 0, 0));
        EXPECT_NE(shot.pixel(client + QPoint(-2, 5)), qRgb(200, 0, 0)); // outside the child
    };
    // What the window system shows, and the window drawn afresh.
    check(topWidget->screen()->grabWindow(topWidget->winId()).toImage(), "shown");
    check(topWidget->grab().toImage(), "rendered");
}

TEST_F(QtWindowTest, AClickOnTheWidgetReachesTheWindowInClientCoordinates) {
    QWidget* childWidget = backend->WidgetFor(&child);
    QTest::mouseClick(childWidget, Qt::LeftButton, Qt::NoModifier, QPoint(51, 41));
    ASSERT_EQ(child.downs.size(), 1U);
    ASSERT_EQ(child.ups.size(), 1U);
    // One pixel of border lies before the client area.
    EXPECT_EQ(child.downs[0], CPoint(50, 40));
    EXPECT_EQ(child.ups[0], CPoint(50, 40));
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    CPoint cursor;
    GetCursorPos(&cursor);
    CPoint expected(50, 40);
    child.ClientToScreen(&expected);
    EXPECT_EQ(cursor, expected);
}

TEST_F(QtWindowTest, KeysGoToTheWindowWithTheFrameworksFocus) {
    child.SetFocus();
    // Whichever widget of ours Qt hands the key to, the framework's focus window gets it.
    QWidget* topWidget = backend->WidgetFor(&top);
    QTest::keyClick(topWidget, Qt::Key_Delete);
    QTest::keyClick(topWidget, Qt::Key_A);
    QTest::keyPress(topWidget, Qt::Key_Shift);
    EXPECT_TRUE(GetKeyState(VK_SHIFT) & kKeyDownBit);
    QTest::keyRelease(topWidget, Qt::Key_Shift);
    EXPECT_EQ(child.keys, (std::vector<UINT>{VK_DELETE, 'A', VK_SHIFT}));
    EXPECT_EQ(child.chars, std::vector<UINT>{'a'});
}

TEST_F(QtWindowTest, AConfinedCursorStaysInItsRectangle) {
    CRect clip(150, 150, 200, 200);
    ::ClipCursor(&clip);
    QWidget* childWidget = backend->WidgetFor(&child);
    QTest::mouseClick(childWidget, Qt::LeftButton, Qt::NoModifier, QPoint(150, 90));
    // Outside every window of ours the pointer is brought back as well.
    QCursor::setPos(1500, 900);
    QTest::qWait(80);
    CPoint cursor;
    GetCursorPos(&cursor);
    EXPECT_TRUE(clip.PtInRect(cursor));
    EXPECT_TRUE(clip.PtInRect(backend->FromGlobal(QCursor::pos())));
    ::ClipCursor(nullptr);
    ASSERT_EQ(child.downs.size(), 1U);
    CPoint screen = child.downs[0];
    child.ClientToScreen(&screen);
    EXPECT_TRUE(clip.PtInRect(screen));
}

} // namespace

TEST_F(QtWindowTest, ANewWindowIsPaintedOnceAndKeepsWhatItDrewMeanwhile) {
    Probe fresh;
    ASSERT_TRUE(
        fresh.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, CRect(250, 30, 350, 130), &top, 8));
    // Painted by the framework before Qt shows it, then drawn on outside a paint.
    fresh.UpdateWindow();
    EXPECT_EQ(fresh.paints, 1);
    FillOutsidePaint(fresh, CRect(0, 0, 10, 10), RGB(0, 0, 250));
    QTest::qWait(100);
    EXPECT_EQ(fresh.paints, 1);
    const QImage shot = backend->WidgetFor(&fresh)->grab().toImage();
    EXPECT_EQ(shot.pixel(5, 5), qRgb(0, 0, 250));
    EXPECT_EQ(shot.pixel(50, 50), qRgb(200, 0, 0));
    fresh.DestroyWindow();
}

TEST_F(QtWindowTest, AWindowCreatedHiddenStaysHiddenWhenItsParentIsShown) {
    // As a dialog template builds its buttons: the dialog hidden, one child visible, one not.
    CWnd dialog;
    ASSERT_TRUE(dialog.CreateEx(0, nullptr, "Probe Dialog", WS_POPUP | WS_CAPTION,
                                CRect(150, 150, 450, 350), nullptr, 0));
    Probe shown;
    Probe hidden;
    ASSERT_TRUE(
        shown.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 60), &dialog, 1));
    ASSERT_TRUE(hidden.CreateEx(0, nullptr, "", WS_CHILD, CRect(70, 10, 120, 60), &dialog, 2));
    dialog.ShowWindow(SW_SHOW);
    QTest::qWait(100);
    EXPECT_TRUE(backend->WidgetFor(&shown)->isVisible());
    EXPECT_FALSE(backend->WidgetFor(&hidden)->isVisible());
    EXPECT_EQ(hidden.paints, 0);

    // Shown and hidden again by the framework, the widget follows.
    hidden.ShowWindow(SW_SHOW);
    EXPECT_TRUE(backend->WidgetFor(&hidden)->isVisible());
    hidden.ShowWindow(SW_HIDE);
    EXPECT_FALSE(backend->WidgetFor(&hidden)->isVisible());
    hidden.DestroyWindow();
    shown.DestroyWindow();
    dialog.DestroyWindow();
}
