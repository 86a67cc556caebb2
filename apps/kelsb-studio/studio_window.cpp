#include "studio_window.h"

#include "dialog/automation.h"
#include "qt/qt_backend.h"
#include "studio_texts.h"
#include "workspace_plan.h"

#include "host/effects/effect_preview.h"
#include "host/scene/play_scene.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

namespace kel::studio {

namespace {

constexpr const char* kAppTitle = "KelSB Studio";
constexpr const char* kSceneExtension = ".kel";

// Opening and saving a scene may take a while: the wait cursor shows over every window.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QRect ToQRect(const CRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// Whether a stored window rectangle is still a sensible place for a window: enough of its
// caption on one of the screens (a screen may have gone since), and not far larger than all of
// them together (the file may have been edited or damaged; the window keeps a picture of its
// size).
bool FitsTheScreens(const QRect& rect) {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) {
        return false;
    }
    const QSize desktop = primary->virtualGeometry().size();
    if (rect.width() < 64 || rect.height() < 32 || rect.width() > 2 * desktop.width() ||
        rect.height() > 2 * desktop.height()) {
        return false;
    }
    const QRect caption(rect.left(), rect.top(), rect.width(), 24);
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect seen = screen->availableGeometry().intersected(caption);
        if (seen.width() >= 48 && seen.height() >= 8) {
            return true;
        }
    }
    return false;
}

} // namespace

StudioWindow::StudioWindow(const QString& settingsPath)
    : m_settings(settingsPath), m_host([this] {
          UpdateTitle();
          FillItems();
          ForgetOtherScenesResults();
      }) {
    // The docks share the whole window; the central area stays empty.
    auto* central = new QWidget(this);
    setCentralWidget(central);
    central->hide();
    setDockNestingEnabled(true);

    m_items = new ItemsPanel([this] { return m_host.Scene(); });
    m_itemsDock = AddDock(Tr(Str::Items), "items", Qt::LeftDockWidgetArea);
    m_itemsDock->HoldWidget(m_items);
    RememberDragPhases();
    // Plays and previews run in real time in it, as they would on air.
    m_live = new LiveOutputPanel(true);
    m_liveDock = AddDock(Tr(Str::LiveOutput), "liveOutput", Qt::LeftDockWidgetArea);
    m_liveDock->HoldWidget(m_live);
    splitDockWidget(m_itemsDock, m_liveDock, Qt::Horizontal);
    // The host's tool boxes come with the editor (Start).
    const LANGID language = StudioUiLanguage();
    m_compile = new CompileResultsPanel(
        language, [this](int nContainer, int nContent) { ShowContent(nContainer, nContent); });
    m_compileDock =
        AddDock(CompileResultsPanel::Title(language), "compileResults", Qt::BottomDockWidgetArea);
    m_compileDock->HoldWidget(m_compile);
    m_compileDock->hide();
    m_historyDock = AddDock(Tr(Str::HistoryPanel), "history", Qt::RightDockWidgetArea);
    m_navigatorDock = AddDock(Tr(Str::Navigator), "navigator", Qt::RightDockWidgetArea);
    splitDockWidget(m_historyDock, m_navigatorDock, Qt::Vertical);
    m_historyDock->hide();
    m_navigatorDock->hide();

    m_cycle = std::make_unique<PanelCycle>(
        std::vector<PanelDock*>{m_itemsDock, m_liveDock, m_historyDock, m_navigatorDock,
                                m_compileDock},
        PanelCycle::Editor{[this] { return EditorWindow(); }, [this] { FocusEditor(); }});
    BuildMenus();
    statusBar()->setAccessibleName(Tr(Str::StatusBar));
    statusBar()->showMessage(Tr(Str::ReadyHint));
    if (m_settings.IsShared()) {
        // Said for as long as it holds, not only until the next message.
        auto* notice = new QLabel(Tr(Str::SettingsShared), statusBar());
        notice->setObjectName("settingsShared");
        notice->setAccessibleName(notice->text());
        statusBar()->addPermanentWidget(notice);
    }
    UpdateTitle();
}

void StudioWindow::RememberDragPhases() {
    QComboBox* phases = m_items->PhaseChooser();
    if (const std::optional<unsigned> stored = m_settings.DragPhases()) {
        // A value no choice has (an edited file) leaves the default.
        if (const int index = phases->findData(*stored); index >= 0) {
            phases->setCurrentIndex(index);
        }
    }
    connect(phases, &QComboBox::currentIndexChanged, this, [this, phases] {
        m_settings.StoreDragPhases(phases->currentData().toUInt());
        m_settings.Sync();
    });
}

StudioWindow::~StudioWindow() {
    if (kel::qt::QtBackend* backend = kel::qt::Installed()) {
        backend->AssociateWindow(this, nullptr);
    }
    m_host.Shutdown();
}

PanelDock* StudioWindow::AddDock(const QString& title, const QString& name,
                                 Qt::DockWidgetArea area) {
    auto* dock = new PanelDock(title, name, this);
    addDockWidget(area, dock);
    return dock;
}

bool StudioWindow::Start(const StartOptions& options, std::string* error) {
    m_interactive = options.interactive;
    QString path = QString::fromStdString(options.scene);
    if (path.isEmpty()) {
        // The last scene, while it is there; otherwise the sample.
        path = m_settings.LastScene();
        if (!path.isEmpty() && !QFileInfo(path).isFile()) {
            path.clear();
        }
    }
    // An interactive start goes on with the sample when the scene cannot be read.
    if (!path.isEmpty() && !SceneFileStep(path, &StudioHost::OpenScene, error) && !m_interactive) {
        return false;
    }
    if (!m_host.Start(error)) {
        if (m_interactive) {
            Tell(QMessageBox::Critical, kAppTitle,
                 Tr(Str::EditorCannotStart).arg(QString::fromStdString(*error)));
        }
        return false;
    }
    if (m_settings.HasOutputDevice()) {
        m_host.ShowUploadButton();
    }
    m_live->SetStopAction([this] { m_host.StopPlay(); });
    m_host.SetPanelsListener([this](bool enabled) {
        m_live->SetStopEnabled(!enabled);
        if (enabled) {
            // Once the editor has finished the call: a load sets the dialog's loaded state
            // only after the panels came back.
            QTimer::singleShot(0, this, [this] { AfterOutputCall(); });
        }
    });
    m_historyDock->HoldPanel(m_host.History());
    m_navigatorDock->HoldPanel(m_host.Navigator());
    if (HistoryPanel* history = m_host.History()) {
        history->SetRefreshed([this] {
            UpdateEditActions();
            // An undo or redo from the panel changes the document without telling the host.
            m_host.NoteChange();
        });
    }
    if (kel::qt::QtBackend* backend = kel::qt::Installed()) {
        backend->AssociateWindow(this, m_host.MainWindow());
    }
    PlaceWindows(options.desktop);
    show();
    UpdateTitle();
    UpdateEditActions();
    FillItems();
    m_cycle->AttachEditor();
    if (m_interactive) {
        OfferRecoveries();
    }
    StartAutoSave();
    return true;
}

void StudioWindow::PlaceWindows(const std::optional<QRect>& desktop) {
    CWnd* dialog = m_host.Dialog();
    const CRect insets = dialog ? dialog->GetNonClientInsets() : CRect();
    const QMargins frame(insets.left, insets.top, insets.right, insets.bottom);
    QRect available = desktop.value_or(QRect(0, 0, 1280, 800));
    if (!desktop) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            available = screen->availableGeometry();
        }
    }
    const WorkspacePlan plan = PlanFirstStart(available, frame);

    if (m_settings.HasLayout() && restoreGeometry(m_settings.Geometry())) {
        restoreState(m_settings.DockState());
        // The tool boxes are the host's windows: they follow their docks.
        for (PanelDock* dock : {m_historyDock.data(), m_navigatorDock.data()}) {
            dock->PushVisibilityToPanel();
        }
    } else {
        setGeometry(plan.workspace);
        // The live output at about its picture's shape, the rest shared by the lists.
        const int width = plan.workspace.width();
        resizeDocks({m_itemsDock, m_liveDock, m_historyDock}, {width / 4, width * 2 / 5, width / 3},
                    Qt::Horizontal);
    }
    // Where the user left the editor; on a first start (or when that place is no longer on the
    // screens) below the workspace, not over it, wherever the scene had it.
    const std::optional<QRect> editor = m_settings.EditorRect();
    if (dialog && editor && FitsTheScreens(*editor)) {
        dialog->SetWindowPos(nullptr, editor->left(), editor->top(), editor->width(),
                             editor->height(), SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        const QRect c = plan.editorClient;
        m_host.PlaceDialog(CRect(c.left(), c.top(), c.left() + c.width(), c.top() + c.height()));
    }
}

void StudioWindow::SaveWorkspace() {
    QRect editor;
    if (CWnd* dialog = m_host.Dialog()) {
        CRect rect;
        dialog->GetWindowRect(&rect);
        editor = ToQRect(rect);
    }
    m_settings.StoreLayout(saveGeometry(), saveState(), editor);
    m_settings.StoreLastScene(QString::fromStdString(m_host.Path()));
    m_settings.Sync();
}

void StudioWindow::ShowEditor() {
    if (CWnd* dialog = m_host.Dialog()) {
        dialog->ShowWindow(SW_SHOW);
        FocusEditor();
    }
}

QWidget* StudioWindow::EditorWindow() const {
    CWnd* dialog = m_host.Dialog();
    kel::qt::QtBackend* backend = kel::qt::Installed();
    if (!dialog || !backend || !dialog->IsWindowVisible()) {
        return nullptr;
    }
    return backend->WidgetFor(dialog);
}

void StudioWindow::FocusEditor() {
    QWidget* window = EditorWindow();
    kel::automation::EditorState state;
    if (!window ||
        m_host.Dialog()->SendMessage(RegisterWindowMessage(kel::automation::kAutomationMessageName),
                                     0, reinterpret_cast<LPARAM>(&state)) != 1) {
        return;
    }
    window->raise();
    window->activateWindow();
    // The editor's keys go to its timeline: the framework's focus, and Qt's within the window.
    if (IsWindow(state.view)) {
        state.view->SetFocus();
        if (QWidget* view = kel::qt::Installed()->WidgetFor(state.view)) {
            view->setFocus(Qt::ShortcutFocusReason);
        }
    }
}

void StudioWindow::PreviewEffect() {
    CWnd* dialog = m_host.Dialog();
    if (!IsWindow(dialog)) {
        return;
    }
    kel::automation::EditorState state;
    const UINT stateMessage = RegisterWindowMessage(kel::automation::kAutomationMessageName);
    if (dialog->SendMessage(stateMessage, 0, reinterpret_cast<LPARAM>(&state)) != 1 ||
        !IsWindow(state.view)) {
        return;
    }
    KelPieceEffectPreview record;
    record.pWnd = m_host.MainWindow();
    state.view->SendMessage(RegisterWindowMessage("WM_CG_PIECE_EFFECT_PREVIEW"), 0,
                            reinterpret_cast<LPARAM>(&record));
}

void StudioWindow::AfterOutputCall() {
    // A load or an unload ends with the panels enabled again.
    m_live->ShowLoaded(m_host.IsLoaded());
    UpdateEditActions();
    ForgetOtherScenesResults();
    const CKelPlaySceneObj* scene = m_host.Scene();
    if (scene != nullptr && scene->GetCompileCount() != m_nCompilesShown) {
        m_nCompilesShown = scene->GetCompileCount();
        m_compile->Fill(*scene);
        m_compileDock->ShowPanel(true);
        m_compileDock->raise();
    }
}

void StudioWindow::ForgetOtherScenesResults() {
    const CKelPlaySceneObj* scene = m_host.Scene();
    if (scene == m_compiledScene || !m_compile) {
        return;
    }
    m_compiledScene = scene;
    m_nCompilesShown = scene != nullptr ? scene->GetCompileCount() : 0;
    m_compile->Clear();
}

void StudioWindow::ShowContent(int nContainer, int nContent) {
    CWnd* dialog = m_host.Dialog();
    kel::automation::EditorState state;
    if (!IsWindow(dialog) ||
        dialog->SendMessage(RegisterWindowMessage(kel::automation::kAutomationMessageName), 0,
                            reinterpret_cast<LPARAM>(&state)) != 1 ||
        !IsWindow(state.view)) {
        return;
    }
    if (state.view->SendMessage(RegisterWindowMessage(kel::automation::kShowContentMessageName),
                                static_cast<WPARAM>(nContainer),
                                static_cast<LPARAM>(nContent)) == 1) {
        dialog->ShowWindow(SW_SHOW);
        state.view->SetFocus();
    }
}

void StudioWindow::UpdateTitle() {
    const QString name = m_host.Path().empty()
                             ? Tr(Str::SampleName)
                             : QFileInfo(QString::fromStdString(m_host.Path())).fileName();
    setWindowTitle(QString("%1%2 - %3").arg(name, m_host.IsDirty() ? "*" : "", kAppTitle));
}

void StudioWindow::FillItems() {
    if (m_items) {
        m_items->Fill();
    }
}

void StudioWindow::PutSelectedItems(bool bAllPhases) {
    if (CWnd* dialog = m_host.Dialog(); IsWindow(dialog)) {
        dialog->SendMessage(RegisterWindowMessage("WM_CG_ADD_ITEM_TO_SB"), bAllPhases ? 1 : 0, 0);
    }
}

void StudioWindow::Undo() {
    if (HistoryPanel* history = m_host.History()) {
        history->Undo();
    }
}

void StudioWindow::Redo() {
    if (HistoryPanel* history = m_host.History()) {
        history->Redo();
    }
}

void StudioWindow::Warn(const std::string& message) {
    if (m_interactive) {
        Tell(QMessageBox::Warning, kAppTitle, QString::fromStdString(message));
    } else {
        statusBar()->showMessage(QString::fromStdString(message));
    }
}

void StudioWindow::Tell(QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, this);
    box.button(QMessageBox::Ok)->setText(Tr(Str::ButtonOk));
    box.exec();
}

bool StudioWindow::SceneFileStep(const QString& path, SceneStep step, std::string* error) {
    bool done = false;
    {
        WaitCursor wait;
        done = (m_host.*step)(path.toStdString(), error);
    }
    if (!done) {
        Warn(*error);
        return false;
    }
    m_settings.AddRecentScene(path);
    m_settings.StoreLastScene(path);
    m_settings.Sync();
    FillRecentMenu();
    return true;
}

bool StudioWindow::OpenScene(const QString& path) {
    std::string error;
    return SceneFileStep(path, &StudioHost::OpenScene, &error);
}

void StudioWindow::OpenFile() {
    if (!MayDiscard()) {
        return;
    }
    const QString path = QFileDialog::getOpenFileName(this, Tr(Str::OpenTitle), QString(),
                                                      SceneFileFilters().join(";;"));
    if (!path.isEmpty()) {
        OpenScene(path);
    }
}

void StudioWindow::OpenRecent(const QString& path) {
    if (MayDiscard()) {
        OpenScene(path);
    }
}

bool StudioWindow::Save() {
    return m_host.Path().empty() ? SaveAs() : SaveTo(QString::fromStdString(m_host.Path()));
}

QStringList StudioWindow::SceneFileFilters() {
    return {Tr(Str::SceneFilter), Tr(Str::AllFilesFilter)};
}

bool StudioWindow::SaveAs() {
    QString filter;
    QString path = QFileDialog::getSaveFileName(this, Tr(Str::SaveTitle), QString(),
                                                SceneFileFilters().join(";;"), &filter);
    if (path.isEmpty()) {
        return false;
    }
    // A name typed without its extension, under the scenes' filter, gets the scenes' one, as
    // Open lists only those; any other name is taken as typed.
    if (filter == SceneFileFilters().front() && QFileInfo(path).suffix().isEmpty()) {
        path += kSceneExtension;
    }
    return SaveTo(path);
}

bool StudioWindow::SaveTo(const QString& path) {
    std::string error;
    if (!SceneFileStep(path, &StudioHost::SaveScene, &error)) {
        return false;
    }
    statusBar()->showMessage(Tr(Str::Saved), 3000);
    return true;
}

bool StudioWindow::MayDiscard() {
    if (!m_host.IsDirty()) {
        return true;
    }
    QMessageBox box(QMessageBox::Question, kAppTitle, Tr(Str::AskSave),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Save);
    // Qt's own texts for its buttons would stay English: no translations of Qt come with the
    // studio.
    box.button(QMessageBox::Save)->setText(Tr(Str::ButtonSave));
    box.button(QMessageBox::Discard)->setText(Tr(Str::ButtonDiscard));
    box.button(QMessageBox::Cancel)->setText(Tr(Str::ButtonCancel));
    const auto answer = static_cast<QMessageBox::StandardButton>(box.exec());
    if (answer == QMessageBox::Save) {
        return Save();
    }
    return answer == QMessageBox::Discard;
}

void StudioWindow::closeEvent(QCloseEvent* event) {
    if (!MayDiscard()) {
        event->ignore();
        return;
    }
    event->accept();
    SaveWorkspace();
    // The editor's and the panels' windows go with the studio.
    m_host.Shutdown();
    QApplication::quit();
}

} // namespace kel::studio
