// The studio's tool boxes: the History Panel (tool box 3) and the Storyboard Navigator (tool
// box 4). Each is a framework window, because the editor talks to it with window messages and
// shows, hides and activates it; on the desktop its widget holds ordinary Qt controls.
#pragma once

#include "platform/wnd.h"

#include <QListWidget>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class CKelPlaySceneObj;
class CKelSBContentBaseObj;
class CKelURBase;
class QLabel;

namespace kel::studio {

using SceneSource = std::function<CKelPlaySceneObj*()>;

// Lists the current storyboard's history, oldest step first, below a first row for the state
// before any step. A click on a row undoes or redoes to it through the edit dialog.
class HistoryPanel : public CWnd {
public:
    using DialogSource = std::function<CWnd*()>;

    HistoryPanel(SceneSource scene, DialogSource dialog);
    // A floating tool window at `screen` (its window rectangle), hidden until shown.
    BOOL CreatePanel(const CRect& screen);

    struct Row {
        QString text;
        bool done = false;    // the step is applied (or this is the starting row)
        bool current = false; // the state the document is in now
    };
    std::vector<Row> Rows() const;
    // Brings the document to the state of `row` (0: before the first step).
    void ChooseRow(int row);
    // The step that Undo would take back and the one Redo would apply again, empty when there
    // is none; Undo and Redo go one row up or down, as a click on that row does.
    std::optional<QString> UndoStep() const;
    std::optional<QString> RedoStep() const;
    void Undo();
    void Redo();
    // Runs after every change of what the panel shows (a new step, an undo, another history).
    void SetRefreshed(std::function<void()> refreshed) { m_refreshed = std::move(refreshed); }
    // The history shown belongs to a scene that is about to go.
    void Forget();
    // Shows the history of the scene's current storyboard, as the editor does when it is
    // activated: a scene just opened shows its history before the editor is clicked.
    void ShowCurrentHistory();
    QListWidget* List() const { return m_list; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The history to show, only while it still belongs to a storyboard of the current scene:
    // the pointer comes from a message and its storyboard may have been deleted since.
    CKelURBase* LiveHistory() const;
    void Refresh();
    void ShowRows();

    SceneSource m_scene;
    DialogSource m_dialog;
    CKelURBase* m_history = nullptr;
    std::function<void()> m_refreshed;
    QPointer<QListWidget> m_list;
    UINT m_updateHistory;
    UINT m_fromHistory;
};

// Shows the editor's current material: its kind, piece, track, entry point, outlet point and
// length.
class NavigatorPanel : public CWnd {
public:
    explicit NavigatorPanel(SceneSource scene);
    BOOL CreatePanel(const CRect& screen);

    struct Fields {
        std::string kind, piece, track, entry, outlet, length;
        bool operator==(const Fields&) const = default;
    };
    // Empty fields when no material is current.
    const Fields& Shown() const { return m_fields; }
    void Clear();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Describe(const CKelSBContentBaseObj* content);
    void ShowFields();

    SceneSource m_scene;
    Fields m_fields;
    std::vector<QPointer<QLabel>> m_values;
    UINT m_contentChanged;
};

} // namespace kel::studio
