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

namespace {

// The platform's keys for a standard action, else `fallback` (a platform may have none).
QList<QKeySequence> KeysFor(QKeySequence::StandardKey key, const QKeySequence& fallback) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    return keys.isEmpty() ? QList<QKeySequence>{fallback} : keys;
}

QAction* AddAction(QMenu* menu, const QString& text, const QList<QKeySequence>& keys) {
    QAction* action = menu->addAction(text);
    action->setShortcuts(keys);
    return action;
}

} // namespace

// Every action has a key, so that the workspace needs no mouse: the standard keys where the
// desktop has them, Alt+digit for the panels and the editor, Ctrl+digit for the recent scenes.
void StudioWindow::BuildMenus() {
    menuBar()->setAccessibleName(Tr(Str::MenuBar));
    QMenu* file = menuBar()->addMenu(Tr(Str::MenuFile));
    connect(AddAction(file, Tr(Str::Open), KeysFor(QKeySequence::Open, Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, this, [this] { OpenFile(); });
    connect(AddAction(file, Tr(Str::Save), KeysFor(QKeySequence::Save, Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, [this] { Save(); });
    connect(AddAction(file, Tr(Str::SaveAs),
                      KeysFor(QKeySequence::SaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
            &QAction::triggered, this, [this] { SaveAs(); });
    file->addSeparator();
    QAction* exportVideo = AddAction(file, Tr(Str::ExportVideo), {Qt::CTRL | Qt::Key_E});
    connect(exportVideo, &QAction::triggered, this, [this] { ExportVideo(); });
    std::string why;
    if (!kel::video::IsExportAvailable(&why)) {
        exportVideo->setEnabled(false);
        exportVideo->setStatusTip(QString::fromStdString(why));
    }
    file->addSeparator();
    m_recentMenu = file->addMenu(Tr(Str::RecentScenes));
    connect(m_recentMenu, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
    FillRecentMenu(); // now, so that their keys work before the menu was ever opened
    file->addSeparator();
    connect(AddAction(file, Tr(Str::Quit), KeysFor(QKeySequence::Quit, Qt::CTRL | Qt::Key_Q)),
            &QAction::triggered, this, [this] { close(); });

    QMenu* edit = menuBar()->addMenu(Tr(Str::MenuEdit));
    m_undo = AddAction(edit, Tr(Str::Undo), KeysFor(QKeySequence::Undo, Qt::CTRL | Qt::Key_Z));
    connect(m_undo, &QAction::triggered, this, [this] { Undo(); });
    m_redo = edit->addAction(Tr(Str::Redo), this, [this] { Redo(); });
    // Ctrl+Y as well as the desktop's own keys: both are what users of other editors press.
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y))) {
        redoKeys.append(QKeySequence(Qt::CTRL | Qt::Key_Y));
    }
    m_redo->setShortcuts(redoKeys);

    QMenu* storyboard = menuBar()->addMenu(Tr(Str::MenuStoryboard));
    connect(AddAction(storyboard, Tr(Str::PutIn), {Qt::CTRL | Qt::Key_I}), &QAction::triggered,
            this, [this] { PutSelectedItems(false); });
    connect(AddAction(storyboard, Tr(Str::PutAllPhases), {Qt::CTRL | Qt::SHIFT | Qt::Key_I}),
            &QAction::triggered, this, [this] { PutSelectedItems(true); });

    BuildViewMenu(menuBar()->addMenu(Tr(Str::MenuView)));

    QMenu* help = menuBar()->addMenu(Tr(Str::MenuHelp));
    connect(AddAction(help, Tr(Str::About), {Qt::Key_F1}), &QAction::triggered, this,
            [this] { ShowAbout(); });
}

void StudioWindow::BuildViewMenu(QMenu* view) {
    connect(AddAction(view, Tr(Str::ShowEditor), {Qt::ALT | Qt::Key_0}), &QAction::triggered, this,
            [this] { ShowEditor(); });
    view->addSeparator();
    int number = 1;
    for (PanelDock* dock : {m_itemsDock.data(), m_liveDock.data(), m_historyDock.data(),
                            m_navigatorDock.data(), m_compileDock.data()}) {
        QAction* action =
            AddAction(view, dock->windowTitle(),
                      {QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_0 + number++))});
        action->setCheckable(true);
        // By the dock's state, not the action's: a key may toggle it while the menu is closed.
        connect(action, &QAction::triggered, dock, [this, dock] {
            const bool show = !dock->IsShown();
            dock->ShowPanel(show);
            if (show) {
                m_cycle->Focus(dock);
            }
        });
        connect(view, &QMenu::aboutToShow, action,
                [action, dock] { action->setChecked(dock->IsShown()); });
    }
    view->addSeparator();
    // F6 only here: in the editor's window F6 is the editor's own key.
    connect(AddAction(view, Tr(Str::NextPanel), {Qt::CTRL | Qt::Key_Tab, Qt::Key_F6}),
            &QAction::triggered, this, [this] { m_cycle->Next(); });
    connect(AddAction(view, Tr(Str::PreviousPanel),
                      {Qt::CTRL | Qt::SHIFT | Qt::Key_Tab, Qt::SHIFT | Qt::Key_F6}),
            &QAction::triggered, this, [this] { m_cycle->Previous(); });
    view->addSeparator();
    connect(AddAction(view, Tr(Str::PreviewEffect), {Qt::CTRL | Qt::Key_P}), &QAction::triggered,
            this, [this] { PreviewEffect(); });
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
    int key = Qt::Key_0;
    for (const auto& [choice, text] : choices) {
        QAction* action = AddAction(
            language, Tr(text), {QKeySequence(Qt::CTRL | Qt::ALT | static_cast<Qt::Key>(key++))});
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
                                 .arg(number)
                                 .arg(info.fileName(), QDir::toNativeSeparators(info.path()));
        QAction* action =
            AddAction(m_recentMenu, text,
                      {QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + number++))});
        connect(action, &QAction::triggered, this, [this, path] { OpenRecent(path); });
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
    Tell(QMessageBox::Information, Tr(Str::AboutTitle),
         Tr(Str::AboutText).arg(QDir::toNativeSeparators(StudioSettingsPath()).toHtmlEscaped()));
}

} // namespace kel::studio
