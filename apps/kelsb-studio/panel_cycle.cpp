#include "panel_cycle.h"

#include "panel_dock.h"

#include <QApplication>
#include <QShortcut>
#include <QWidget>
#include <algorithm>

namespace kel::studio {

PanelCycle::PanelCycle(std::vector<PanelDock*> docks, Editor editor)
    : m_docks(docks.begin(), docks.end()), m_editor(std::move(editor)) {
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { FocusChanged(now); });
}

PanelCycle::~PanelCycle() {
    if (m_marked) {
        m_marked->SetMarked(false);
    }
}

void PanelCycle::AttachEditor() {
    QWidget* window = m_editor.window ? m_editor.window() : nullptr;
    if (!window || window == m_attached) {
        return;
    }
    m_attached = window;
    // Only while the editor's own window is active: its modal dialogs keep their keys.
    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), window);
    auto* previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), window);
    connect(next, &QShortcut::activated, this, [this] { Next(); });
    connect(previous, &QShortcut::activated, this, [this] { Previous(); });
}

std::vector<int> PanelCycle::Stops() const {
    std::vector<int> stops;
    for (int i = 0; i < static_cast<int>(m_docks.size()); ++i) {
        if (m_docks[i] && m_docks[i]->IsShown()) {
            stops.push_back(i);
        }
    }
    if (m_editor.window && m_editor.window()) {
        stops.push_back(static_cast<int>(m_docks.size()));
    }
    return stops;
}

int PanelCycle::Current() const {
    const QWidget* focus = QApplication::focusWidget();
    for (int i = 0; i < static_cast<int>(m_docks.size()); ++i) {
        if (focus && m_docks[i] && m_docks[i]->isAncestorOf(focus)) {
            return i;
        }
    }
    QWidget* editor = m_editor.window ? m_editor.window() : nullptr;
    if (editor &&
        (QApplication::activeWindow() == editor || (focus && focus->window() == editor))) {
        return static_cast<int>(m_docks.size());
    }
    return -1;
}

void PanelCycle::Step(int direction) {
    const std::vector<int> stops = Stops();
    if (stops.empty()) {
        return;
    }
    const auto here = std::find(stops.begin(), stops.end(), Current());
    int index = 0;
    if (here != stops.end()) {
        const int count = static_cast<int>(stops.size());
        index = (static_cast<int>(here - stops.begin()) + direction + count) % count;
    } else if (direction < 0) {
        index = static_cast<int>(stops.size()) - 1;
    }
    if (stops[index] == static_cast<int>(m_docks.size())) {
        m_editor.focus();
    } else {
        Focus(m_docks[stops[index]]);
    }
}

void PanelCycle::Focus(PanelDock* dock) {
    QWidget* target = dock ? dock->widget() : nullptr;
    if (!target) {
        return;
    }
    dock->raise(); // a tab behind another comes to the front
    // A floating dock is a window of its own.
    target->window()->activateWindow();
    target->setFocus(Qt::ShortcutFocusReason);
}

void PanelCycle::FocusChanged(QWidget* now) {
    PanelDock* holder = nullptr;
    for (const QPointer<PanelDock>& dock : m_docks) {
        if (now && dock && dock->isAncestorOf(now)) {
            holder = dock;
        }
    }
    // Focus that leaves the application (a menu opened, another program) leaves the mark.
    if (!now || holder == m_marked) {
        return;
    }
    if (m_marked) {
        m_marked->SetMarked(false);
    }
    m_marked = holder;
    if (m_marked) {
        m_marked->SetMarked(true);
    }
}

} // namespace kel::studio
