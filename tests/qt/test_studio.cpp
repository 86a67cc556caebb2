// The studio end to end with the real module: what the editor shows on the desktop is what the
// view draws, at the places the view computes; a click on the widget selects a material; the
// document's changed state follows the editor; the screenshot mode writes its picture.
#include "dialog/automation.h"
#include "items_panel.h"
#include "qt/qt_backend.h"
#include "screenshot.h"
#include "studio_fixture.h"
#include "studio_host.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_piece.h"
#include "host/scene/play_scene.h"
#include "platform/headless_backend.h"
#include "res/module_resources.h"
#include "res/resource.h"

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

using kel::platform::DrawLog;
using kel::platform::DrawRecord;

class StudioTest : public kel::test::StudioFixture {
protected:
    // Where a point of the view's client area lands in a picture of the dialog's client area.
    QPoint InDialog(CPoint viewClient) const {
        CPoint p = viewClient;
        state.view->ClientToScreen(&p);
        host->Dialog()->ScreenToClient(&p);
        return {p.x, p.y};
    }
    // What the view draws, as the headless backend records it.
    DrawLog RecordViewPaint() {
        auto qt = kel::platform::SetBackend(std::make_unique<kel::platform::HeadlessBackend>());
        state.view->Invalidate();
        state.view->UpdateWindow();
        DrawLog log = kel::platform::Headless().LastPaint(*state.view);
        kel::platform::SetBackend(std::move(qt));
        return log;
    }
};

bool Near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 2 && std::abs(qGreen(a) - qGreen(b)) <= 2 &&
           std::abs(qBlue(a) - qBlue(b)) <= 2;
}

// Whether the picture at `at` shows a pixel of `image` stretched over `rect` (nearest pixel,
// one either way for rounding).
bool ShowsStretched(QRgb shown, const ImageData& image, const CRect& rect, CPoint at) {
    const int sx = (at.x - rect.left) * image.width / rect.Width();
    const int sy = (at.y - rect.top) * image.height / rect.Height();
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int x = std::clamp(sx + dx, 0, image.width - 1);
            const int y = std::clamp(sy + dy, 0, image.height - 1);
            if (Near(shown, image.pixels[y * image.width + x] | 0xFF000000))
                return true;
        }
    return false;
}

TEST_F(StudioTest, TheDesktopShowsWhatTheViewDrawsWhereItDrawsIt) {
    const QImage shot = backend->WidgetFor(host->Dialog())->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(1000, 300));
    const DrawLog log = RecordViewPaint();
    const ModuleResources& resources = kel::res::KelSBEditResources();
    const CRect& ruler = state.regions[kel::automation::kRuler];
    const CRect& headers = state.regions[kel::automation::kHeaderColumn];

    std::vector<CRect> hatches;
    for (const DrawRecord& r : log)
        if (r.Is("Rectangle") && r.brush.lbStyle == BS_HATCHED)
            hatches.push_back(r.rect);
    auto underHatch = [&](CPoint p) {
        return std::any_of(hatches.begin(), hatches.end(),
                           [&](const CRect& h) { return h.PtInRect(p); });
    };

    // Child windows (scroll bars, buttons) cover what the view draws under them.
    auto covered = [&](CPoint p) { return state.view->ChildWindowFromPoint(p) != state.view; };

    int materials = 0, ticks = 0, hatched = 0, cursorLines = 0;
    for (const DrawRecord& r : log) {
        if (!r.visible)
            continue;
        if (r.Is("StretchBlt") &&
            (r.bitmapTag == 353 || r.bitmapTag == 361 || r.bitmapTag == 362)) {
            // A material's background, probed right of its label and its thumbnail.
            const CPoint probe(r.rect.right - 2, r.rect.CenterPoint().y);
            const int thumbnailRight = r.rect.left + 2 + r.rect.Height() - 4;
            if (!r.clip.PtInRect(probe) || probe.x <= thumbnailRight || underHatch(probe) ||
                covered(probe))
                continue;
            const QRgb shown = shot.pixel(InDialog(probe));
            EXPECT_TRUE(ShowsStretched(shown, resources.bitmaps.at(r.bitmapTag), r.rect, probe))
                << "material background " << r.bitmapTag << " at " << probe.x << "," << probe.y;
            ++materials;
        } else if (r.Is("LineTo") && r.from.x == r.to.x &&
                   std::abs(r.to.y - r.from.y) > state.client.Height() / 2) {
            // The time line cursor reaches down to the bottom of the client area.
            const CPoint mid(r.from.x, (state.regions[kel::automation::kTrackArea].top +
                                        state.regions[kel::automation::kTrackArea].bottom) /
                                           2);
            if (r.clip.PtInRect(mid)) {
                EXPECT_EQ(shot.pixel(InDialog(mid)), qRgb(0, 0, 0));
                ++cursorLines;
            }
        } else if (r.Is("LineTo") && r.from.x == r.to.x && ruler.PtInRect(r.from) &&
                   r.clip.PtInRect(r.from) && !covered(r.from) && r.pen.lopnColor == RGB(0, 0, 0)) {
            EXPECT_EQ(shot.pixel(InDialog(r.from)), qRgb(0, 0, 0)) << "ruler tick " << r.from.x;
            ++ticks;
        } else if (r.Is("Rectangle") && r.brush.lbStyle == BS_HATCHED &&
                   r.brush.lbColor == RGB(255, 0, 0)) {
            int red = 0;
            for (int y = r.rect.top; y < r.rect.bottom; ++y)
                for (int x = r.rect.left; x < r.rect.right; ++x)
                    red += shot.pixel(InDialog(CPoint(x, y))) == qRgb(255, 0, 0);
            EXPECT_GT(red, r.rect.Width() * r.rect.Height() / 10);
            ++hatched;
        }
    }
    EXPECT_GE(materials, 5);
    EXPECT_GT(ticks, 50);
    EXPECT_EQ(hatched, 1); // the one material whose piece the scene lacks
    EXPECT_EQ(cursorLines, 2);
    // Below the last header the column shows its own grey.
    EXPECT_EQ(shot.pixel(InDialog(CPoint(headers.left + 2, headers.bottom - 2))),
              qRgb(180, 180, 180));
}

TEST_F(StudioTest, AClickOnTheViewSelectsTheMaterialUnderIt) {
    const DrawLog log = RecordViewPaint();
    CRect stay;
    for (const DrawRecord& r : log)
        if (r.Is("StretchBlt") && r.bitmapTag == 361) {
            stay = r.rect; // the first Stay background on the first track: Headline
            break;
        }
    ASSERT_FALSE(stay.IsRectEmpty());
    QWidget* view = backend->WidgetFor(state.view);
    ASSERT_NE(view, nullptr);
    const QPoint target = InDialog(stay.CenterPoint()) - view->mapTo(view->window(), QPoint());
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, target);

    const kel::automation::EditorState after = Now();
    ASSERT_EQ(after.selectedContainers, std::vector<int>{1});
    EXPECT_TRUE(after.hasCurrentContent);
    EXPECT_EQ(after.currentContainer, 1);
    EXPECT_EQ(host->Navigator()->Shown().piece, "Headline");
    // The caption keeps the studio's clean prefix through every update, selection shown or not.
    const std::string caption = host->Dialog()->GetWindowText().str();
    EXPECT_TRUE(caption.starts_with("1x --Sample Scene   ")) << caption;
    EXPECT_NE(caption.find("Selected Material Entry Point"), std::string::npos) << caption;
}

TEST_F(StudioTest, TheWheelOverTheViewZoomsWithCtrlAndScrollsTimeWithShift) {
    QWidget* view = backend->WidgetFor(state.view);
    ASSERT_NE(view, nullptr);
    const auto turn = [&](QPoint angle, Qt::KeyboardModifiers modifiers) {
        const QPointF at(400, 120);
        QWheelEvent event(at, view->mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &event);
    };
    const int zoom = Now().zoomIndex;
    ASSERT_GT(zoom, 1);
    turn(QPoint(0, 120), Qt::ControlModifier);
    EXPECT_EQ(Now().zoomIndex, zoom - 1);
    // At the finest scale there is time to scroll: down (or tilted right) goes later.
    state.view->SendMessage(WM_COMMAND, ID_ZOOM_FIRST, 0);
    ASSERT_EQ(Now().hscroll, 0);
    turn(QPoint(0, -120), Qt::ShiftModifier);
    const int after = Now().hscroll;
    EXPECT_GT(after, 0);
    turn(QPoint(-120, 0), Qt::NoModifier);
    EXPECT_GT(Now().hscroll, after);
}

TEST_F(StudioTest, APieceDraggedFromTheItemsPanelLandsWhereItIsDropped) {
    kel::studio::ItemsPanel panel([this] { return host->Scene(); });
    panel.Fill();
    panel.show();
    QApplication::processEvents();
    int row = -1;
    for (int i = 0; i < panel.List()->count(); ++i)
        if (panel.List()->item(i)->text().startsWith("Logo"))
            row = i;
    ASSERT_GE(row, 0);
    EXPECT_TRUE(panel.List()->item(row)->isSelected()); // the sample selects it
    panel.PhaseChooser()->setCurrentIndex(0);           // groups as their In phase
    ASSERT_EQ(panel.DragDataOf(row)->dwType, KelPieceDragData::kIn);

    // Pressed on the Logo's row, let go over track 2 at frame 400: its 12 frames are held at
    // their middle.
    const CRect& area = state.regions[kel::automation::kTrackArea];
    QWidget* view = backend->WidgetFor(state.view);
    const QPoint drop = InDialog(CPoint(area.left + 400, area.top + 30 * 2 + 15)) -
                        view->mapTo(view->window(), QPoint());
    QWidget* list = panel.List()->viewport();
    QTest::mousePress(list, Qt::LeftButton, Qt::NoModifier,
                      panel.List()->visualItemRect(panel.List()->item(row)).center());
    QTimer::singleShot(20, [&] {
        QTest::mouseMove(view, drop);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, drop);
    });
    EXPECT_EQ(panel.DragRow(row), DWORD(DROPEFFECT_MOVE));
    CKelSBBodyObj* body = host->Scene()->GetSBEditObj()->GetCurSBBodyObj();
    ASSERT_EQ(body->GetContainerCount(), 10);
    const CKelSBContentBaseObj* placed = body->GetContainerObj(9)->GetContentObj(0);
    EXPECT_EQ(placed->GetTrackIndex(), 2);
    EXPECT_EQ(placed->GetStoryIn(), 394u);
    EXPECT_EQ(placed->GetStoryOut(), 406u);

    // The list's selection is the host's item selection.
    panel.List()->clearSelection();
    EXPECT_FALSE(host->Scene()->FindPieceByGUID(panel.DragDataOf(row)->guid)->IsSelected());
}

TEST_F(StudioTest, TheChangedStateFollowsTheEditorAndSavingClearsIt) {
    QTemporaryDir dir;
    const std::string path = (dir.path() + "/news.kscene").toStdString();
    host->MainWindow()->SendMessage(RegisterWindowMessage("WM_CG_FILE_SETDIRTY_FLAG"), 1, 0);
    EXPECT_TRUE(host->IsDirty());
    EXPECT_GE(changes, 1);
    std::string error;
    ASSERT_TRUE(host->SaveScene(path, &error)) << error;
    EXPECT_FALSE(host->IsDirty());
    EXPECT_EQ(host->Path(), path);

    // A file that is no scene leaves the open scene alone.
    CKelPlaySceneObj* open = host->Scene();
    EXPECT_FALSE(host->OpenScene(dir.path().toStdString() + "/missing.kscene", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(host->Scene(), open);

    ASSERT_TRUE(host->OpenScene(path, &error)) << error;
    EXPECT_NE(host->Scene(), open);
    EXPECT_EQ(host->Scene()->GetSBEditObj() != nullptr, true);
    EXPECT_TRUE(host->Dialog()->IsWindowVisible());
}

TEST(StudioScreenshot, WritesThePictureOfTheWorkspace) {
    QTemporaryDir dir;
    const std::string png = (dir.path() + "/studio.png").toStdString();
    // Nothing of the user's settings is read or written for the picture.
    const std::string config = (dir.path() + "/config").toStdString();
    const std::string command = "XDG_CONFIG_HOME=" + config +
                                " KELSB_CONFIG_DIR= " + std::string(KELSB_STUDIO_PATH) +
                                " --screenshot " + png;
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(config + "/kelsbedit/studio.ini")));
    QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), kel::studio::kScreenshotDesktop.size());
    EXPECT_NE(image.pixel(10, 10), image.pixel(500, 80)); // not one flat colour

    // A scene file that cannot be read is a failure, not an empty picture.
    const std::string bad = std::string(KELSB_STUDIO_PATH) + " --screenshot " + png + " " +
                            dir.path().toStdString() + "/none.kscene 2>/dev/null";
    EXPECT_NE(std::system(bad.c_str()), 0);
    EXPECT_NE(std::system((std::string(KELSB_STUDIO_PATH) + " --bogus 2>/dev/null").c_str()), 0);
}

} // namespace
