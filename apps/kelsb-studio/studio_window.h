// The studio's main window: the File menu (open, save), the Items panel listing the scene's
// pieces (dragged from there onto the editor, or put on the storyboard from the Storyboard
// menu), the title that shows the scene and whether it changed, and the question before a
// changed scene is closed.
#pragma once

#include "items_panel.h"
#include "studio_host.h"

#include <QMainWindow>
#include <QPointer>

namespace kel::studio {

class StudioWindow : public QMainWindow {
public:
    StudioWindow();
    ~StudioWindow() override;

    StudioHost& Host() { return m_host; }
    // Opens the editor (on `scenePath` when given, else on the sample); false with a message
    // shown when that fails.
    bool Start(const std::string& scenePath);
    QListWidget* Items() const { return m_items ? m_items->List() : nullptr; }
    ItemsPanel* ItemsList() const { return m_items; }
    // The host's request to put the selected items on the storyboard (WM_CG_ADD_ITEM_TO_SB):
    // their In pieces, or with bAllPhases In, Stay and Out.
    void PutSelectedItems(bool bAllPhases);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void OpenFile();
    bool Save();
    bool SaveAs();
    void ShowEditor();
    void UpdateTitle();
    void FillItems();
    // Asks what to do with unsaved changes; false when the user wants to stay.
    bool MayDiscard();

    StudioHost m_host;
    QPointer<ItemsPanel> m_items;
};

} // namespace kel::studio
