// The timeline view's context menus in the studio with the real module: opened with the right
// button, shown with their grayed and checked items, and answered with a click on an item.
#include "dialog/automation.h"
#include "qt/qt_backend.h"
#include "studio_fixture.h"
#include "studio_host.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <map>
#include <string>

namespace {

class StudioMenuTest : public kel::test::StudioFixture {
protected:
    CKelSBBodyObj& Body() const { return *host->Scene()->GetSBEditObj()->GetCurSBBodyObj(); }

    // Points of the view: the middle of track i's header; a place below every track.
    QPoint Header(int track) const {
        const CRect& column = state.regions[kel::automation::kHeaderColumn];
        return QPoint(column.CenterPoint().x, column.top + 30 * track + 15);
    }
    QPoint Below() const {
        const CRect& tracks = state.regions[kel::automation::kTrackArea];
        return QPoint(tracks.CenterPoint().x, tracks.top + 30 * Body().GetTrackCount() + 10);
    }

    // Right-clicks the view at `at`; the menu that opens is read, then the item `choose` is
    // clicked (empty: the menu is dismissed). The items' texts with whether each was enabled
    // and checked.
    struct Item {
        bool enabled;
        bool checked;
    };
    std::map<std::string, Item> RightClick(QPoint at, const std::string& choose) {
        std::map<std::string, Item> items;
        QTimer::singleShot(30, [&] {
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!popup) {
                ADD_FAILURE() << "no menu";
                return;
            }
            QAction* chosen = nullptr;
            for (QAction* action : popup->actions()) {
                if (action->isSeparator())
                    continue;
                const std::string text = action->text().toStdString();
                items[text] = {action->isEnabled(), action->isChecked()};
                if (text == choose)
                    chosen = action;
            }
            if (chosen)
                QTest::mouseClick(popup, Qt::LeftButton, Qt::NoModifier,
                                  popup->actionGeometry(chosen).center());
            else
                popup->close();
        });
        QWidget* view = backend->WidgetFor(state.view);
        EXPECT_NE(view, nullptr);
        if (view)
            QTest::mouseClick(view, Qt::RightButton, Qt::NoModifier, at);
        QApplication::processEvents();
        return items;
    }
};

TEST_F(StudioMenuTest, TheViewsContextMenusWorkWithTheMouse) {
    // Below the tracks, the storyboard menu shows the delete mode; a click switches it.
    ASSERT_LT(Below().y(), state.regions[kel::automation::kTrackArea].bottom);
    auto items = RightClick(Below(), "Material Delete Mode: Ripple");
    ASSERT_EQ(items.size(), 4u);
    EXPECT_TRUE(items["Material Delete Mode: Normal"].checked);
    EXPECT_FALSE(items["Material Delete Mode: Ripple"].checked);
    EXPECT_EQ(Body().GetDeleteMode(), 1);

    // Dismissed, a menu changes nothing.
    items = RightClick(Below(), "");
    EXPECT_TRUE(items["Material Delete Mode: Ripple"].checked);
    EXPECT_EQ(Body().GetDeleteMode(), 1);

    // The track menu of the last track: it cannot move down, and nothing is there to paste.
    const int nTracks = Body().GetTrackCount();
    items = RightClick(Header(nTracks - 1), "Append Subtitle Track");
    ASSERT_EQ(items.size(), 8u);
    EXPECT_FALSE(items["Move Down Subtitle Track"].enabled);
    EXPECT_FALSE(items["Paste Subtitle Track"].enabled);
    EXPECT_TRUE(items["Move Up Subtitle Track"].enabled);
    EXPECT_EQ(Body().GetTrackCount(), nTracks + 1);
}

} // namespace
