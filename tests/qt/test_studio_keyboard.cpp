// The workspace without a mouse: keys alone go from panel to panel and to the editor, the
// panel with the focus is marked, every action has a key of its own, every panel and control
// has a name for screen readers, and the History Panel answers Enter.
#include "host_panels.h"
#include "panel_dock.h"
#include "workspace_fixture.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <map>
#include <vector>

namespace {

using kel::studio::PanelDock;

class KeyboardTest : public kel::test::WorkspaceFixture {
protected:
    void StartActive() {
        Start();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QWidget* EditorWindow() { return backend->WidgetFor(Dialog()); }
    CWnd* View() { return EditorNow().view; }
    // Presses a key where the keyboard focus is, as the user does, and lets it settle.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        if (!target)
            target = QApplication::activeWindow();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key, modifiers);
        QApplication::processEvents();
    }
    std::vector<PanelDock*> Docks() const {
        return {window->ItemsDock(), window->LiveDock(), window->HistoryDock(),
                window->NavigatorDock(), window->CompileDock()};
    }
    // Where the focus is: the dock holding it (which alone is marked), or "editor".
    std::string FocusedPlace() {
        const QWidget* focus = QApplication::focusWidget();
        std::string place = "nowhere";
        int marked = 0;
        for (PanelDock* dock : Docks()) {
            marked += dock->IsMarked() ? 1 : 0;
            if (focus && dock->isAncestorOf(focus))
                place = dock->IsMarked() ? dock->objectName().toStdString() : "unmarked dock";
        }
        if (focus && focus->window() == EditorWindow() &&
            QApplication::activeWindow() == EditorWindow() && focus == backend->WidgetFor(View()) &&
            CWnd::GetFocus() == View())
            place = "editor";
        if (marked != (place == "editor" ? 0 : 1))
            place += " (marks: " + std::to_string(marked) + ")";
        return place;
    }
};

TEST_F(KeyboardTest, CtrlTabAndF6WalkThePanelsAndTheEditorMarkingThePanelWithTheFocus) {
    StartActive();
    // The workspace opens with the focus in its first panel; from there the shown panels in
    // their order, then the editor, and round again.
    ASSERT_EQ(FocusedPlace(), "items");
    const std::vector<std::string> round = {"liveOutput", "history", "navigator", "editor",
                                            "items"};
    for (int i = 0; i < 2 * static_cast<int>(round.size()); ++i) {
        Press(Qt::Key_Tab, Qt::ControlModifier);
        if (round[i % round.size()] == "editor")
            ASSERT_TRUE(QTest::qWaitForWindowActive(EditorWindow()));
        else
            ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        EXPECT_EQ(FocusedPlace(), round[i % round.size()]) << "step " << i;
    }
    // Backwards, from the first panel to the editor; F6 and Shift+F6 in the workspace.
    ASSERT_EQ(FocusedPlace(), "items");
    Press(Qt::Key_F6);
    EXPECT_EQ(FocusedPlace(), "liveOutput");
    Press(Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(FocusedPlace(), "items");
    Press(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(QTest::qWaitForWindowActive(EditorWindow()));
    EXPECT_EQ(FocusedPlace(), "editor");
    Press(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(FocusedPlace(), "navigator");

    // A closed panel is passed over; one shown again is visited and gets the focus at once.
    Press(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(FocusedPlace(), "history");
    window->NavigatorDock()->close();
    Press(Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitForWindowActive(EditorWindow()));
    EXPECT_EQ(FocusedPlace(), "editor");
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    Press(Qt::Key_5, Qt::AltModifier); // View > Compile Results
    EXPECT_EQ(FocusedPlace(), "compileResults");
}

TEST_F(KeyboardTest, TheMarkOfTheFocusedPanelIsSeen) {
    StartActive();
    PanelDock* dock = window->HistoryDock();
    const QImage plain = dock->grab().toImage();
    window->Panels().Focus(dock);
    QApplication::processEvents();
    ASSERT_TRUE(dock->IsMarked());
    const QImage marked = dock->grab().toImage();
    const QColor highlight = dock->palette().color(QPalette::Active, QPalette::Highlight);
    // Its frame, down the left edge and along the bottom, over what the dock draws there.
    for (const QPoint at :
         {QPoint(1, marked.height() / 2), QPoint(marked.width() / 2, marked.height() - 2)}) {
        EXPECT_EQ(marked.pixelColor(at), highlight) << at.x() << "," << at.y();
        EXPECT_NE(plain.pixelColor(at), highlight) << at.x() << "," << at.y();
    }
    // Gone when the focus leaves for the editor.
    window->Panels().Next();
    window->Panels().Next();
    QApplication::processEvents();
    EXPECT_FALSE(dock->IsMarked());
}

TEST_F(KeyboardTest, EveryActionHasAKeyOfItsOwn) {
    QTemporaryDir scenes;
    Start();
    ASSERT_TRUE(window->SaveTo(scenes.path() + "/recent.kel")); // a recent scene to list
    std::map<QString, std::vector<std::string>> owners;
    std::vector<QMenu*> menus;
    for (QAction* action : window->menuBar()->actions())
        menus.push_back(action->menu());
    int actions = 0;
    while (!menus.empty()) {
        QMenu* menu = menus.back();
        menus.pop_back();
        for (QAction* action : menu->actions()) {
            if (action->menu()) {
                menus.push_back(action->menu());
                continue;
            }
            if (action->isSeparator())
                continue;
            ++actions;
            EXPECT_FALSE(action->shortcuts().isEmpty()) << action->text().toStdString();
            for (const QKeySequence& key : action->shortcuts())
                owners[key.toString()].push_back(action->text().toStdString());
        }
    }
    EXPECT_GE(actions, 20);
    // Two actions on one key: Qt runs neither.
    for (const auto& [key, texts] : owners)
        EXPECT_EQ(texts.size(), 1u)
            << key.toStdString() << " is " << ::testing::PrintToString(texts);
}

TEST_F(KeyboardTest, EveryPanelAndControlHasAnAccessibleName) {
    Start();
    window->CompileDock()->ShowPanel(true);
    EXPECT_FALSE(window->menuBar()->accessibleName().isEmpty());
    EXPECT_FALSE(window->statusBar()->accessibleName().isEmpty());
    // What a user meets in a panel; not the parts that make up a list or a combo box.
    auto isControl = [](const QWidget* widget) {
        return qobject_cast<const QAbstractButton*>(widget) ||
               qobject_cast<const QComboBox*>(widget) ||
               qobject_cast<const QAbstractItemView*>(widget) ||
               qobject_cast<const QLabel*>(widget) || (widget->focusPolicy() & Qt::TabFocus);
    };
    auto isPart = [](const QWidget* widget, const QWidget* panel) {
        for (const QWidget* up = widget->parentWidget(); up && up != panel; up = up->parentWidget())
            if (qobject_cast<const QComboBox*>(up) || qobject_cast<const QAbstractItemView*>(up))
                return true;
        return false;
    };
    int controls = 0;
    for (PanelDock* dock : Docks()) {
        SCOPED_TRACE(dock->objectName().toStdString());
        EXPECT_FALSE(dock->accessibleName().isEmpty());
        QWidget* panel = dock->widget();
        ASSERT_NE(panel, nullptr);
        EXPECT_FALSE(panel->accessibleName().isEmpty());
        for (QWidget* widget : panel->findChildren<QWidget*>()) {
            if (!isControl(widget) || isPart(widget, panel))
                continue;
            ++controls;
            EXPECT_FALSE(widget->accessibleName().isEmpty())
                << widget->metaObject()->className() << " " << widget->objectName().toStdString();
        }
    }
    EXPECT_GE(controls, 20);

    // The editor's buttons are named by their captions.
    const CWnd* undo = Dialog()->GetDlgItem(IDC_BTN_UNDO);
    ASSERT_NE(undo, nullptr);
    EXPECT_EQ(backend->WidgetFor(undo)->accessibleName(), "Undo");
}

TEST_F(KeyboardTest, EnterOnAHistoryRowBringsTheDocumentThere) {
    StartActive();
    AppendTrack();
    AppendTrack();
    ASSERT_EQ(History()->GetUndoStepCount(), 2);
    window->Panels().Focus(window->HistoryDock());
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), window->Host().History()->List());
    Press(Qt::Key_Up);
    Press(Qt::Key_Up);
    EXPECT_EQ(History()->GetUndoStepCount(), 2); // moving along the rows changes nothing
    Press(Qt::Key_Return);
    EXPECT_EQ(History()->GetUndoStepCount(), 0);
    Press(Qt::Key_Down);
    Press(Qt::Key_Enter);
    EXPECT_EQ(History()->GetUndoStepCount(), 1);
}

} // namespace
