// The workspace without a mouse: Ctrl+Tab (F6 in the workspace) goes to the next panel that is
// shown, then to the editor, and round again; Ctrl+Shift+Tab (Shift+F6) goes back. The panel
// holding the keyboard focus is marked with a frame in the highlight colour, wherever the focus
// came from (a key, a click, a menu).
//
// F6 is not taken in the editor's window: there the editor's own F6 unloads the storyboard.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class QWidget;

namespace kel::studio {

class PanelDock;

class PanelCycle : public QObject {
public:
    struct Editor {
        // The editor's window, null while it has none or is hidden.
        std::function<QWidget*()> window;
        // Gives the editor's timeline the keyboard focus.
        std::function<void()> focus;
    };
    // `docks` in the order the keys visit them. The workspace's keys are its View menu's (Next
    // Panel, Previous Panel), which call Next and Previous.
    PanelCycle(std::vector<PanelDock*> docks, Editor editor);
    ~PanelCycle() override;
    PanelCycle(const PanelCycle&) = delete;
    PanelCycle& operator=(const PanelCycle&) = delete;

    // The editor's window takes Ctrl+Tab and Ctrl+Shift+Tab too (once it exists).
    void AttachEditor();

    void Next() { Step(+1); }
    void Previous() { Step(-1); }
    // Shows `dock` in front of its tab group and gives it the keyboard focus.
    void Focus(PanelDock* dock);
    // The dock marked as holding the focus; null when none does (the editor may).
    PanelDock* Marked() const { return m_marked; }

private:
    // The places the keys visit now: the shown docks, then the editor (index docks.size()).
    std::vector<int> Stops() const;
    // Where the focus is: a dock's index, the editor's, or -1.
    int Current() const;
    void Step(int direction);
    void FocusChanged(QWidget* now);

    std::vector<QPointer<PanelDock>> m_docks;
    Editor m_editor;
    QPointer<QWidget> m_attached; // the editor's window holding our shortcuts
    QPointer<PanelDock> m_marked;
};

} // namespace kel::studio
