// A dock panel of the studio's workspace. It holds either an ordinary Qt widget (the Items
// panel, the live output) or the widget of a framework window that the editor talks to (the
// History Panel, the Storyboard Navigator). For the latter the framework window stays what
// the editor and the host see: when the editor shows or hides the window, the dock appears or
// goes; when the user closes the dock or picks it in the View menu, the window is hidden or
// shown, so that the editor reads the truth (it remembers whether the navigator was shown).
#pragma once

#include <QDockWidget>
#include <QPointer>

class CWnd;

namespace kel::studio {

class PanelDock : public QDockWidget {
public:
    // `name` identifies the dock in the stored layout; it must never change.
    PanelDock(const QString& title, const QString& name, QWidget* parent);

    // Holds an ordinary widget.
    void HoldWidget(QWidget* widget);
    // Holds the widget of the top-level framework window `panel` (from the Qt backend); the
    // dock shows as the window does from then on.
    void HoldPanel(CWnd* panel);
    CWnd* Panel() const { return m_panel; }

    // Whether the user sees the panel (docked, floating, or as a tab behind another).
    bool IsShown() const { return !isHidden(); }
    // Shows or hides the panel; a framework window is shown or hidden with it.
    void ShowPanel(bool show);
    // After the docks were shown or hidden wholesale (a restored layout): the framework
    // window follows its dock.
    void PushVisibilityToPanel();

    // Marks the dock as the one holding the keyboard focus: a frame in the highlight colour
    // around it, over whatever its widget draws.
    void SetMarked(bool marked);
    bool IsMarked() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class FocusMark;
    CWnd* m_panel = nullptr; // the host's; the dock lives no longer than the host's windows
    QPointer<QWidget> m_panelWidget;
    QPointer<FocusMark> m_mark;
};

} // namespace kel::studio
