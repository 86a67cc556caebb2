// The studio's menu bar: File (scenes), Edit (the storyboard's history), Storyboard (the host's
// requests to the editor), View (the panels, the editor, the editor's language) and Help.
#include "studio_texts.h"
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
    menuBar()->setAccessibleName(Tr(Str::MenuBar));
    QMenu* file = menuBar()->addMenu(Tr(Str::MenuFile));
    file->addAction(Tr(Str::Open), QKeySequence::Open, this, [this] { OpenFile(); });
    file->addAction(Tr(Str::Save), QKeySequence::Save, this, [this] { Save(); });
    file->addAction(Tr(Str::SaveAs), QKeySequence::SaveAs, this, [this] { SaveAs(); });
    file->addSeparator();
    QAction* exportVideo = file->addAction(Tr(Str::ExportVideo), this, [this] { ExportVideo(); });
    std::string why;
    if (!kel::video::IsExportAvailable(&why)) {
        exportVideo->setEnabled(false);
        exportVideo->setStatusTip(QString::fromStdString(why));
    }
    file->addSeparator();
    m_recentMenu = file->addMenu(Tr(Str::RecentScenes));
    connect(m_recentMenu, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
    file->addSeparator();
    file->addAction(Tr(Str::Quit), QKeySequence::Quit, this, [this] { close(); });

    QMenu* edit = menuBar()->addMenu(Tr(Str::MenuEdit));
    m_undo = edit->addAction(Tr(Str::Undo), QKeySequence::Undo, this, [this] { Undo(); });
    m_redo = edit->addAction(Tr(Str::Redo), this, [this] { Redo(); });
    // Ctrl+Y as well as the desktop's own keys: both are what users of other editors press.
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y))) {
        redoKeys.append(QKeySequence(Qt::CTRL | Qt::Key_Y));
    }
    m_redo->setShortcuts(redoKeys);

    QMenu* storyboard = menuBar()->addMenu(Tr(Str::MenuStoryboard));
    storyboard->addAction(Tr(Str::PutIn), this, [this] { PutSelectedItems(false); });
    storyboard->addAction(Tr(Str::PutAllPhases), this, [this] { PutSelectedItems(true); });

    BuildViewMenu(menuBar()->addMenu(Tr(Str::MenuView)));

    QMenu* help = menuBar()->addMenu(Tr(Str::MenuHelp));
    help->addAction(Tr(Str::About), this, [this] { ShowAbout(); });
}

void StudioWindow::BuildViewMenu(QMenu* view) {
    view->addAction(Tr(Str::ShowEditor), this, [this] { ShowEditor(); });
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
    view->addAction(Tr(Str::PreviewEffect), this, [this] { PreviewEffect(); });
    view->addSeparator();

    // The editor reads its language when it is loaded: a choice counts from the next start.
    QMenu* language = view->addMenu(Tr(Str::Language));
    auto* group = new QActionGroup(language);
    const std::pair<StudioLanguage, Str> choices[] = {
        {StudioLanguage::FromLocale, Str::LanguageSystem},
        {StudioLanguage::English, Str::LanguageEnglish},
        {StudioLanguage::SimplifiedChinese, Str::LanguageSimplified},
        {StudioLanguage::TraditionalChinese, Str::LanguageTraditional},
    };
    for (const auto& [choice, text] : choices) {
        QAction* action = language->addAction(Tr(text));
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
    if (m_settings.IsShared()) {
        statusBar()->showMessage(Tr(Str::LanguageNotStored));
    } else if (!qgetenv("KELSB_LANG").isEmpty()) {
        statusBar()->showMessage(Tr(Str::LanguageFromEnvironment));
    } else {
        statusBar()->showMessage(Tr(Str::LanguageNextStart));
    }
}

void StudioWindow::FillRecentMenu() {
    m_recentMenu->clear();
    const QStringList scenes = m_settings.RecentScenes();
    m_settings.Sync();
    if (scenes.isEmpty()) {
        m_recentMenu->addAction(Tr(Str::RecentNone))->setEnabled(false);
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
    m_undo->setText(undo ? Tr(Str::UndoStep).arg(*undo) : Tr(Str::Undo));
    m_redo->setEnabled(redo.has_value());
    m_redo->setText(redo ? Tr(Str::RedoStep).arg(*redo) : Tr(Str::Redo));
}

void StudioWindow::ShowAbout() {
    QMessageBox::about(
        this, Tr(Str::AboutTitle),
        Tr(Str::AboutText).arg(QDir::toNativeSeparators(StudioSettingsPath()).toHtmlEscaped()));
}

} // namespace kel::studio
