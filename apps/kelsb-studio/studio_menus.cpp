// The studio's menu bar: File (scenes), Edit (the storyboard's history), Storyboard (the host's
// requests to the editor), View (the panels, the editor, the editor's language) and Help.
#include "studio_window.h"
#include "video_export.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>

namespace kel::studio {

void StudioWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->addAction("&Open...", QKeySequence::Open, this, [this] { OpenFile(); });
    file->addAction("&Save", QKeySequence::Save, this, [this] { Save(); });
    file->addAction("Save &As...", QKeySequence::SaveAs, this, [this] { SaveAs(); });
    file->addSeparator();
    QAction* exportVideo = file->addAction("&Export Video...", this, [this] { ExportVideo(); });
    std::string why;
    if (!kel::video::IsExportAvailable(&why)) {
        exportVideo->setEnabled(false);
        exportVideo->setStatusTip(QString::fromStdString(why));
    }
    file->addSeparator();
    m_recentMenu = file->addMenu("&Recent Scenes");
    connect(m_recentMenu, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
    file->addSeparator();
    file->addAction("&Quit", QKeySequence::Quit, this, [this] { close(); });

    QMenu* edit = menuBar()->addMenu("&Edit");
    m_undo = edit->addAction("&Undo", QKeySequence::Undo, this, [this] { Undo(); });
    m_redo = edit->addAction("&Redo", QKeySequence::Redo, this, [this] { Redo(); });

    QMenu* storyboard = menuBar()->addMenu("&Storyboard");
    storyboard->addAction("Put Selected Items (&In)", this, [this] { PutSelectedItems(false); });
    storyboard->addAction("Put Selected Items (In, &Stay, Out)", this,
                          [this] { PutSelectedItems(true); });

    BuildViewMenu(menuBar()->addMenu("&View"));

    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction("&About KelSB Studio", this, [this] { ShowAbout(); });
}

void StudioWindow::BuildViewMenu(QMenu* view) {
    view->addAction("Storyboard &Editor", this, [this] { ShowEditor(); });
    view->addSeparator();
    for (PanelDock* dock : {m_itemsDock.data(), m_liveDock.data(), m_historyDock.data(),
                            m_navigatorDock.data(), m_compileDock.data()}) {
        QAction* action = view->addAction(dock->windowTitle());
        action->setCheckable(true);
        connect(action, &QAction::triggered, dock, [dock](bool show) { dock->ShowPanel(show); });
        connect(view, &QMenu::aboutToShow, action,
                [action, dock] { action->setChecked(dock->IsShown()); });
    }
    view->addSeparator();
    view->addAction("&Preview Effect", this, [this] { PreviewEffect(); });
    view->addSeparator();

    // The editor reads its language when it is loaded: a choice counts from the next start.
    QMenu* language = view->addMenu("&Language");
    auto* group = new QActionGroup(language);
    const std::pair<StudioLanguage, const char*> choices[] = {
        {StudioLanguage::FromLocale, "As the &System"},
        {StudioLanguage::English, "&English"},
        {StudioLanguage::SimplifiedChinese, "Simplified Chinese (简体中文)"},
        {StudioLanguage::TraditionalChinese, "Traditional Chinese (繁體中文)"},
    };
    for (const auto& [choice, text] : choices) {
        QAction* action = language->addAction(QString::fromUtf8(text));
        action->setCheckable(true);
        action->setChecked(m_settings.Language() == choice);
        group->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, choice = choice] { ChooseLanguage(choice); });
    }
}

void StudioWindow::ChooseLanguage(StudioLanguage language) {
    m_settings.StoreLanguage(language);
    m_settings.Sync();
    if (!qgetenv("KELSB_LANG").isEmpty()) {
        statusBar()->showMessage(
            "KELSB_LANG is set in the environment: it chooses the editor's language until it is "
            "unset");
    } else {
        statusBar()->showMessage("The editor shows the chosen language from the next start");
    }
}

void StudioWindow::FillRecentMenu() {
    m_recentMenu->clear();
    const QStringList scenes = m_settings.RecentScenes();
    m_settings.Sync();
    if (scenes.isEmpty()) {
        m_recentMenu->addAction("(none)")->setEnabled(false);
        return;
    }
    int number = 1;
    for (const QString& path : scenes) {
        const QFileInfo info(path);
        const QString text = QString("&%1 %2  (%3)")
                                 .arg(number++)
                                 .arg(info.fileName(), QDir::toNativeSeparators(info.path()));
        m_recentMenu->addAction(text, this, [this, path] { OpenRecent(path); });
    }
}

void StudioWindow::UpdateEditActions() {
    if (!m_undo || !m_redo) {
        return;
    }
    // Loaded on the output, the storyboard cannot be edited: its steps stay where they are.
    const HistoryPanel* history = m_host.IsLoaded() ? nullptr : m_host.History();
    const std::optional<QString> undo = history ? history->UndoStep() : std::nullopt;
    const std::optional<QString> redo = history ? history->RedoStep() : std::nullopt;
    m_undo->setEnabled(undo.has_value());
    m_undo->setText(undo ? "&Undo " + *undo : QString("&Undo"));
    m_redo->setEnabled(redo.has_value());
    m_redo->setText(redo ? "&Redo " + *redo : QString("&Redo"));
}

void StudioWindow::ShowAbout() {
    QMessageBox::about(this, "About KelSB Studio",
                       "<p><b>KelSB Studio</b></p>"
                       "<p>The reference host of KelSBEdit, the storyboard editor of a broadcast "
                       "subtitle and graphics playout system. Drag pieces from the Items panel "
                       "onto the editor's timeline; the History Panel and Edit menu undo and "
                       "redo every change; plays and effect previews show on the Live Output.</p>"
                       "<p>Settings: " +
                           QDir::toNativeSeparators(StudioSettingsPath()).toHtmlEscaped() + "</p>");
}

} // namespace kel::studio
