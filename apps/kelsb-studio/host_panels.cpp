#include "host_panels.h"

#include "qt/qt_backend.h"
#include "studio_texts.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_piece.h"
#include "host/scene/play_scene.h"
#include "host/services/video_std.h"
#include "host/undo/ur_manager.h"

#include <QFont>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QShortcut>
#include <QVBoxLayout>

namespace kel::studio {

namespace {

constexpr DWORD kPanelStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

// The panel's own widget, to put Qt controls in; null without the desktop backend.
QWidget* PanelWidget(const CWnd* wnd) {
    kel::qt::QtBackend* backend = kel::qt::Installed();
    return backend ? backend->WidgetFor(wnd) : nullptr;
}

std::string Text(Str id) {
    return Tr(id).toStdString();
}

std::string TimeText(DWORD frame) {
    return std::to_string(frame) + " (" + CKelVideoStd::FrameToTCStr(frame).str() + ")";
}

} // namespace

// --- History Panel.

HistoryPanel::HistoryPanel(SceneSource scene, DialogSource dialog)
    : m_scene(std::move(scene)), m_dialog(std::move(dialog)),
      m_updateHistory(RegisterWindowMessage("WM_CG_UPDATE_HISTORY")),
      m_fromHistory(RegisterWindowMessage("WM_CG_UR_FROM_HISTORY")) {}

BOOL HistoryPanel::CreatePanel(const CRect& screen) {
    // The editor knows the panel by this title (it is the editor's own text for it).
    if (!CreateEx(0, nullptr, Tr(Str::HistoryPanel).toUtf8().constData(), kPanelStyle, screen,
                  nullptr, 0)) {
        return FALSE;
    }
    if (QWidget* widget = PanelWidget(this)) {
        auto* layout = new QVBoxLayout(widget);
        layout->setContentsMargins(2, 2, 2, 2);
        m_list = new QListWidget(widget);
        layout->addWidget(m_list);
        QObject::connect(m_list, &QListWidget::itemClicked, m_list,
                         [this](QListWidgetItem* item) { ChooseRow(m_list->row(item)); });
        // From the keyboard: the arrows go to a row, Enter brings the document there.
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            auto* choose = new QShortcut(QKeySequence(key), m_list);
            choose->setContext(Qt::WidgetShortcut);
            QObject::connect(choose, &QShortcut::activated, m_list,
                             [this] { ChooseRow(m_list->currentRow()); });
        }
        widget->setAccessibleName(Tr(Str::HistoryPanel));
        m_list->setAccessibleName(Tr(Str::HistorySteps));
        widget->setFocusProxy(m_list);
    }
    Refresh();
    return TRUE;
}

CKelURBase* HistoryPanel::LiveHistory() const {
    CKelPlaySceneObj* scene = m_scene ? m_scene() : nullptr;
    if (!m_history || !scene || !scene->GetSBEditObj()) {
        return nullptr;
    }
    const CKelSBEditObj* document = scene->GetSBEditObj();
    for (int i = 0; i < document->GetSBBodyCount(); ++i) {
        const CKelSBBodyObj* body = document->GetSBBodyObj(i);
        if (body && body->GetURBase() == m_history) {
            return m_history;
        }
    }
    return nullptr;
}

std::vector<HistoryPanel::Row> HistoryPanel::Rows() const {
    std::vector<Row> rows;
    const CKelURBase* history = LiveHistory();
    if (!history) {
        return rows;
    }
    const int done = history->GetUndoStepCount();
    rows.push_back({Tr(Str::HistoryStart), true, done == 0});
    const std::vector<CString> names = history->GetStepNames();
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        rows.push_back({QString::fromUtf8(names[i].str()), i < done, i + 1 == done});
    }
    return rows;
}

void HistoryPanel::Refresh() {
    ShowRows();
    if (m_refreshed) {
        m_refreshed();
    }
}

void HistoryPanel::ShowRows() {
    if (!m_list) {
        return;
    }
    const std::vector<Row> rows = Rows();
    // Rows are updated in place: a refresh may run inside the click on one of them.
    while (m_list->count() > static_cast<int>(rows.size())) {
        delete m_list->takeItem(m_list->count() - 1);
    }
    while (m_list->count() < static_cast<int>(rows.size())) {
        m_list->addItem(QString());
    }
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        QListWidgetItem* item = m_list->item(i);
        item->setText(rows[i].text);
        QFont font = item->font();
        font.setBold(rows[i].current);
        font.setItalic(!rows[i].done);
        item->setFont(font);
        item->setForeground(rows[i].done ? QColor(0, 0, 0) : QColor(140, 140, 140));
        if (rows[i].current) {
            m_list->setCurrentRow(i);
        }
    }
}

void HistoryPanel::ChooseRow(int row) {
    CKelURBase* history = LiveHistory();
    CWnd* dialog = m_dialog ? m_dialog() : nullptr;
    if (!history || row < 0 || row > history->GetStepCount() || !IsWindow(dialog)) {
        Refresh();
        return;
    }
    const int steps = row - history->GetUndoStepCount();
    if (steps < 0) {
        dialog->SendMessage(m_fromHistory, 1, -steps); // undo
    } else if (steps > 0) {
        dialog->SendMessage(m_fromHistory, 0, steps); // redo
    }
    Refresh();
}

std::optional<QString> HistoryPanel::UndoStep() const {
    const std::vector<Row> rows = Rows();
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (rows[i].current) {
            return rows[i].text;
        }
    }
    return std::nullopt;
}

std::optional<QString> HistoryPanel::RedoStep() const {
    const std::vector<Row> rows = Rows();
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (!rows[i].done) {
            return rows[i].text;
        }
    }
    return std::nullopt;
}

void HistoryPanel::Undo() {
    if (const CKelURBase* history = LiveHistory(); history && history->GetUndoStepCount() > 0) {
        ChooseRow(history->GetUndoStepCount() - 1);
    }
}

void HistoryPanel::Redo() {
    const CKelURBase* history = LiveHistory();
    if (history && history->GetUndoStepCount() < history->GetStepCount()) {
        ChooseRow(history->GetUndoStepCount() + 1);
    }
}

void HistoryPanel::Forget() {
    m_history = nullptr;
    Refresh();
}

void HistoryPanel::ShowCurrentHistory() {
    CKelPlaySceneObj* scene = m_scene ? m_scene() : nullptr;
    const CKelSBEditObj* document = scene ? scene->GetSBEditObj() : nullptr;
    const CKelSBBodyObj* body = document ? document->GetCurSBBodyObj() : nullptr;
    m_history = body ? body->GetURBase() : nullptr;
    Refresh();
}

LRESULT HistoryPanel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == m_updateHistory && m_updateHistory != 0) {
        switch (wParam) {
        case 0: // a command was added
        case 5: // show this history
            m_history = reinterpret_cast<CKelURBase*>(lParam);
            break;
        case 4: // no scene yet
            m_history = nullptr;
            break;
        default: // 1 after an undo, 2 after a redo: the same history moved
            break;
        }
        Refresh();
        return 0;
    }
    if (message == WM_CLOSE) {
        ShowWindow(SW_HIDE); // a tool box is only hidden
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// --- Storyboard Navigator.

NavigatorPanel::NavigatorPanel(SceneSource scene)
    : m_scene(std::move(scene)),
      m_contentChanged(RegisterWindowMessage("WM_CG_SBNAV_SBSELCONTENT_CHANGED")) {}

BOOL NavigatorPanel::CreatePanel(const CRect& screen) {
    if (!CreateEx(0, nullptr, Tr(Str::Navigator).toUtf8().constData(), kPanelStyle, screen, nullptr,
                  0)) {
        return FALSE;
    }
    if (QWidget* widget = PanelWidget(this)) {
        widget->setAccessibleName(Tr(Str::Navigator));
        auto* form = new QFormLayout(widget);
        for (const Str label : {Str::NavKind, Str::NavPiece, Str::NavTrack, Str::NavEntry,
                                Str::NavOutlet, Str::NavLength}) {
            auto* value = new QLabel(widget);
            // Reachable and readable from the keyboard, as with the mouse.
            value->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                           Qt::TextSelectableByKeyboard);
            auto* name = new QLabel(Tr(label), widget);
            name->setBuddy(value);
            name->setAccessibleName(name->text());
            QString field = name->text();
            field.remove(QRegularExpression("[:：]$"));
            value->setAccessibleName(field);
            form->addRow(name, value);
            if (m_values.empty()) {
                widget->setFocusProxy(value);
            }
            m_values.emplace_back(value);
        }
    }
    ShowFields();
    return TRUE;
}

void NavigatorPanel::Clear() {
    m_fields = Fields{};
    ShowFields();
}

void NavigatorPanel::Describe(const CKelSBContentBaseObj* content) {
    m_fields = Fields{};
    if (!content) {
        return;
    }
    // Read at once and not kept: the material belongs to the storyboard and may go any time.
    if (kel::platform::DowncastTo<CKelSBContentScrollObj>(content)) {
        m_fields.kind = Text(Str::NavScroll);
    } else if (kel::platform::DowncastTo<CKelSBContentMovieObj>(content)) {
        m_fields.kind = Text(Str::NavMovie);
    } else if (const auto* piece = kel::platform::DowncastTo<CKelSBContentPieceBaseObj>(content)) {
        static constexpr Str phases[] = {Str::NavIn, Str::NavStay, Str::NavOut};
        const int phase = piece->GetIOStateType();
        m_fields.kind = Text(phase >= 0 && phase <= 2 ? phases[phase] : Str::NavPieceKind);
    } else {
        m_fields.kind = Text(Str::NavMaterial);
    }
    CKelPlaySceneObj* scene = m_scene ? m_scene() : nullptr;
    const CKelPlayBaseObj* piece = scene ? scene->FindPieceByGUID(content->GetGUID()) : nullptr;
    m_fields.piece = piece ? piece->GetName().str() : Text(Str::NavNotInScene);
    m_fields.track = Tr(Str::NavTrackName).arg(content->GetTrackIndex() + 1).toStdString();
    m_fields.entry = TimeText(content->GetStoryIn());
    m_fields.outlet = TimeText(content->GetStoryOut());
    m_fields.length = TimeText(content->GetDuration());
}

void NavigatorPanel::ShowFields() {
    const std::string* texts[] = {&m_fields.kind,  &m_fields.piece,  &m_fields.track,
                                  &m_fields.entry, &m_fields.outlet, &m_fields.length};
    for (std::size_t i = 0; i < m_values.size() && i < std::size(texts); ++i) {
        if (m_values[i]) {
            m_values[i]->setText(QString::fromStdString(*texts[i]));
        }
    }
}

LRESULT NavigatorPanel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == m_contentChanged && m_contentChanged != 0) {
        if (wParam == 5) {
            Describe(reinterpret_cast<const CKelSBContentBaseObj*>(lParam));
            ShowFields();
        }
        return 0;
    }
    if (message == WM_CLOSE) {
        ShowWindow(SW_HIDE);
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

} // namespace kel::studio
