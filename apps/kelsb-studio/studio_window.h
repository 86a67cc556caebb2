// The studio's main window: the File menu (open, save), the Items panel listing the scene's
// pieces, the title that shows the scene and whether it changed, and the question before a
// changed scene is closed.
#pragma once

#include "live_output_panel.h"
#include "studio_host.h"

#include <QMainWindow>
#include <QPointer>

class QListWidget;

namespace kel::studio {

class StudioWindow : public QMainWindow {
public:
    StudioWindow();
    ~StudioWindow() override;

    StudioHost& Host() { return m_host; }
    // Opens the editor (on `scenePath` when given, else on the sample); false with a message
    // shown when that fails.
    bool Start(const std::string& scenePath);
    QListWidget* Items() const { return m_items; }
    LiveOutputPanel* LiveOutput() const { return m_live; }

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
    // Asks the editor to preview the current material's effect on the live output, as the
    // host's effect panel does.
    void PreviewEffect();
    // Asks what to do with unsaved changes; false when the user wants to stay.
    bool MayDiscard();

    StudioHost m_host;
    QPointer<QListWidget> m_items;
    QPointer<LiveOutputPanel> m_live;
};

} // namespace kel::studio
