// The studio's main window, its workspace: the menu bar, the Items panel (the scene's pieces,
// dragged from there onto the editor or put on the storyboard from the Storyboard menu), the
// live output and the host's History Panel and Storyboard Navigator as dock panels, the edit
// dialog beside it, the title that shows the scene and whether it changed, the question before
// a changed scene goes, and what it remembers between runs.
#pragma once

#include "compile_results_panel.h"
#include "items_panel.h"
#include "live_output_panel.h"
#include "panel_cycle.h"
#include "panel_dock.h"
#include "studio_host.h"
#include "studio_settings.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QMenu;

namespace kel::studio {

struct StartOptions {
    // The scene to open; when empty, the last one the studio had, else the sample.
    std::string scene;
    // Where a first start places the windows; the primary screen's free area when not given.
    std::optional<QRect> desktop;
    // False: no message boxes; a scene that cannot be opened stops the start with a reason.
    bool interactive = true;
};

class StudioWindow : public QMainWindow {
public:
    // Remembers its layout and scenes in `settingsPath` (nothing when empty).
    explicit StudioWindow(const QString& settingsPath);
    ~StudioWindow() override;

    StudioHost& Host() { return m_host; }
    StudioSettings& Settings() { return m_settings; }
    // Opens the editor, places the windows as they were left (or, on a first start, side by
    // side) and shows them. False with a reason when the editor cannot start.
    bool Start(const StartOptions& options, std::string* error);
    // Stores the layout, the editor's place and the last scene.
    void SaveWorkspace();

    // Opens the scene in `path` under the wait cursor; false (and a message when interactive)
    // when it cannot be read. The changed scene is not asked about here.
    bool OpenScene(const QString& path);
    // Saves to the scene's file, or asks for one; false when nothing was saved.
    bool Save();
    bool SaveAs();
    bool SaveTo(const QString& path);
    // What Open and Save As list: the scenes, then every file.
    static QStringList SceneFileFilters();
    // File > Export Video (studio_export.cpp): the current storyboard, as played, into a video
    // file; asks for the file when `path` is empty. False when nothing was written.
    bool ExportVideo(const QString& path = QString());
    // Undo and Redo of the Edit menu: the history panel's row above or below the current one.
    void Undo();
    void Redo();

    QListWidget* Items() const { return m_items ? m_items->List() : nullptr; }
    ItemsPanel* ItemsList() const { return m_items; }
    // The host's request to put the selected items on the storyboard (WM_CG_ADD_ITEM_TO_SB):
    // their In pieces, or with bAllPhases In, Stay and Out.
    void PutSelectedItems(bool bAllPhases);
    LiveOutputPanel* LiveOutput() const { return m_live; }
    CompileResultsPanel* CompileResults() const { return m_compile; }
    PanelDock* CompileDock() const { return m_compileDock; }
    PanelDock* ItemsDock() const { return m_itemsDock; }
    PanelDock* LiveDock() const { return m_liveDock; }
    PanelDock* HistoryDock() const { return m_historyDock; }
    PanelDock* NavigatorDock() const { return m_navigatorDock; }
    QAction* UndoAction() const { return m_undo; }
    QAction* RedoAction() const { return m_redo; }
    // Ctrl+Tab and F6 from panel to panel and to the editor.
    PanelCycle& Panels() const { return *m_cycle; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    PanelDock* AddDock(const QString& title, const QString& name, Qt::DockWidgetArea area);
    // The Items panel drags groups as it did last time, and remembers each new choice.
    void RememberDragPhases();
    // Menus (studio_menus.cpp).
    void BuildMenus();
    void BuildViewMenu(QMenu* view);
    void FillRecentMenu();
    void UpdateEditActions();
    void ShowAbout();
    void ChooseLanguage(StudioLanguage language);

    void PlaceWindows(const std::optional<QRect>& desktop);
    // Opens or saves the scene file `path` under the wait cursor; done, it is the last and the
    // most recent scene; failed, the user is told why.
    using SceneStep = bool (StudioHost::*)(const std::string&, std::string*);
    bool SceneFileStep(const QString& path, SceneStep step, std::string* error);
    void OpenFile();
    void OpenRecent(const QString& path);
    // Shows the editor and gives its timeline the keyboard focus.
    void ShowEditor();
    QWidget* EditorWindow() const;
    void FocusEditor();
    void UpdateTitle();
    void FillItems();
    // Asks the editor to preview the current material's effect on the live output, as the
    // host's effect panel does.
    void PreviewEffect();
    // After the editor enabled the host's panels again: the Stop button goes, the loaded state
    // and a new compile's results show.
    void AfterOutputCall();
    // Another scene: the results shown were the old one's.
    void ForgetOtherScenesResults();
    // Brings a material of the current storyboard into sight in the editor.
    void ShowContent(int nContainer, int nContent);
    // Automatic saving and what a start offers of a session that ended without saving
    // (studio_recovery.cpp): per scene, Recover, Open the Saved Version or Discard.
    void StartAutoSave();
    void OfferRecoveries();
    // Asks what to do with unsaved changes; false when the user wants to stay.
    bool MayDiscard();
    void Warn(const std::string& message);
    // A message box with one button, OK, in the studio's language.
    void Tell(QMessageBox::Icon icon, const QString& title, const QString& text);

    StudioSettings m_settings;
    StudioHost m_host;
    bool m_interactive = true;
    QPointer<ItemsPanel> m_items;
    QPointer<LiveOutputPanel> m_live;
    QPointer<CompileResultsPanel> m_compile;
    QPointer<PanelDock> m_compileDock;
    unsigned m_nCompilesShown = 0;
    const CKelPlaySceneObj* m_compiledScene = nullptr; // whose compiles m_nCompilesShown counts
    QPointer<PanelDock> m_itemsDock;
    QPointer<PanelDock> m_liveDock;
    QPointer<PanelDock> m_historyDock;
    QPointer<PanelDock> m_navigatorDock;
    QPointer<QMenu> m_recentMenu;
    QPointer<QAction> m_undo;
    QPointer<QAction> m_redo;
    std::unique_ptr<PanelCycle> m_cycle;
};

} // namespace kel::studio
