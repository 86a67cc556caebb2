// Input as a person gives it (mouse on the timeline view, keys, the dialog's buttons, scroll
// bars) and the answers a person would give to what the editor asks (message boxes, menus,
// rubber bands, the storyboard properties dialog, the host's effect editor).
#include "runner.h"

#include "host/sbobject/sb_attr_dlg.h"
#include "host/scene/play_piece.h"
#include "host/services/drag_data.h"
#include "host/services/effect_editor.h"
#include "platform/controls.h"
#include "platform/wnd.h"

#include <climits>
#include <map>

namespace kel::script {

namespace {

constexpr int kDefaultDragSteps = 5;
// The format of the editor's own drags of materials within a storyboard.
constexpr const char* kMoveDataFormat = "MOVE_OBJECT_DATA";

UINT VirtualKey(const std::string& name) {
    if (name.size() == 1) {
        const char c = name[0];
        if (c >= 'a' && c <= 'z') {
            return static_cast<UINT>(c - 'a' + 'A');
        }
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            return static_cast<UINT>(c);
        }
    }
    static const std::map<std::string, int> named = {
        {"Delete", VK_DELETE}, {"Home", VK_HOME},    {"End", VK_END},   {"Left", VK_LEFT},
        {"Right", VK_RIGHT},   {"Up", VK_UP},        {"Down", VK_DOWN}, {"Space", VK_SPACE},
        {"Escape", VK_ESCAPE}, {"Enter", VK_RETURN}, {"F6", VK_F6},
    };
    const auto it = named.find(name);
    if (it == named.end()) {
        throw CommandError("unknown key: " + name +
                           " (a letter, a digit, Delete, Home, End, Left, Right, Up, Down, "
                           "Space, Escape, Enter or F6)");
    }
    return static_cast<UINT>(it->second);
}

UINT ScrollCode(const std::string& word) {
    static const std::map<std::string, UINT> named = {
        {"lineleft", SB_LINELEFT},
        {"lineup", SB_LINEUP},
        {"lineright", SB_LINERIGHT},
        {"linedown", SB_LINEDOWN},
        {"pageleft", SB_PAGELEFT},
        {"pageup", SB_PAGEUP},
        {"pageright", SB_PAGERIGHT},
        {"pagedown", SB_PAGEDOWN},
        {"thumbposition", SB_THUMBPOSITION},
        {"thumbtrack", SB_THUMBTRACK},
        {"left", SB_LEFT},
        {"top", SB_TOP},
        {"right", SB_RIGHT},
        {"bottom", SB_BOTTOM},
        {"endscroll", SB_ENDSCROLL},
    };
    const auto it = named.find(word);
    if (it != named.end()) {
        return it->second;
    }
    return static_cast<UINT>(ParseInteger(word, "CODE", 0, 8));
}

// Holds Shift and Ctrl down for the lifetime of one input, as a person's fingers would.
class ModifierKeys {
public:
    ModifierKeys(ScriptBackend& backend, bool shift, bool ctrl)
        : m_backend(backend), m_shift(shift), m_ctrl(ctrl) {
        m_backend.SetKeyDown(VK_SHIFT, m_shift);
        m_backend.SetKeyDown(VK_CONTROL, m_ctrl);
    }
    ~ModifierKeys() {
        m_backend.SetKeyDown(VK_SHIFT, false);
        m_backend.SetKeyDown(VK_CONTROL, false);
    }
    ModifierKeys(const ModifierKeys&) = delete;
    ModifierKeys& operator=(const ModifierKeys&) = delete;

private:
    ScriptBackend& m_backend;
    bool m_shift;
    bool m_ctrl;
};

} // namespace

void Runner::ParseModifiers(const ScriptLine& line, std::size_t from, bool& shift, bool& ctrl,
                            bool allowLeft, bool* left) const {
    for (std::size_t i = from; i < line.words.size(); ++i) {
        const std::string& word = line.words[i];
        // A move names the held button; presses, clicks and keys name the held modifiers.
        if (allowLeft && left && word == "left") {
            *left = true;
        } else if (!allowLeft && word == "shift") {
            shift = true;
        } else if (!allowLeft && word == "ctrl") {
            ctrl = true;
        } else {
            throw CommandError("unexpected word: " + word);
        }
    }
}

void Runner::MouseMessage(UINT message, CPoint screen, UINT buttons, bool shift, bool ctrl) {
    const ModifierKeys keys(m_backend, shift, ctrl);
    // The cursor goes there first: the editor reads it (and a confined cursor stays inside
    // its rectangle, as on the desktop).
    m_backend.SetCursorPos(screen);
    kel::platform::DeliverMouse(message, m_backend.GetCursorPos(), buttons);
}

void Runner::PressAndRelease(UINT press, CPoint screen, bool shift, bool ctrl) {
    const bool right = press == WM_RBUTTONDOWN || press == WM_RBUTTONDBLCLK;
    const UINT key = right ? VK_RBUTTON : VK_LBUTTON;
    m_backend.SetKeyDown(key, true);
    MouseMessage(press, screen, right ? MK_RBUTTON : MK_LBUTTON, shift, ctrl);
    m_backend.SetKeyDown(key, false);
    MouseMessage(right ? WM_RBUTTONUP : WM_LBUTTONUP, screen, 0, shift, ctrl);
}

void Runner::Down(const ScriptLine& line) {
    CheckArity(line, 2, 4, "down X Y [shift] [ctrl]");
    bool shift = false;
    bool ctrl = false;
    ParseModifiers(line, 3, shift, ctrl, false, nullptr);
    const CPoint point = ViewToScreen(RequireView(), line.words[1], line.words[2]);
    m_backend.SetKeyDown(VK_LBUTTON, true);
    MouseMessage(WM_LBUTTONDOWN, point, MK_LBUTTON, shift, ctrl);
}

void Runner::Move(const ScriptLine& line) {
    CheckArity(line, 2, 3, "move X Y [left]");
    bool unused = false;
    bool left = false;
    ParseModifiers(line, 3, unused, unused, true, &left);
    const CPoint point = ViewToScreen(RequireView(), line.words[1], line.words[2]);
    MouseMessage(WM_MOUSEMOVE, point, left ? MK_LBUTTON : 0, false, false);
}

void Runner::Up(const ScriptLine& line) {
    CheckArity(line, 2, 2, "up X Y");
    const CPoint point = ViewToScreen(RequireView(), line.words[1], line.words[2]);
    m_backend.SetKeyDown(VK_LBUTTON, false);
    MouseMessage(WM_LBUTTONUP, point, 0, false, false);
}

void Runner::Click(const ScriptLine& line) {
    CheckArity(line, 2, 4, "click X Y [shift] [ctrl]");
    bool shift = false;
    bool ctrl = false;
    ParseModifiers(line, 3, shift, ctrl, false, nullptr);
    const CPoint point = ViewToScreen(RequireView(), line.words[1], line.words[2]);
    PressAndRelease(WM_LBUTTONDOWN, point, shift, ctrl);
}

void Runner::DblClick(const ScriptLine& line) {
    CheckArity(line, 2, 2, "dblclick X Y");
    const CPoint point = ViewToScreen(RequireView(), line.words[1], line.words[2]);
    // The desktop's order: the first click as usual, then the double click and its release.
    PressAndRelease(WM_LBUTTONDOWN, point, false, false);
    PressAndRelease(WM_LBUTTONDBLCLK, point, false, false);
}

void Runner::RClick(const ScriptLine& line) {
    CheckArity(line, 2, 2, "rclick X Y");
    const CPoint point = ViewToScreen(RequireView(), line.words[1], line.words[2]);
    PressAndRelease(WM_RBUTTONDOWN, point, false, false);
}

void Runner::Wheel(const ScriptLine& line) {
    const char* usage = "wheel X Y DELTA [shift] [ctrl]";
    CheckArity(line, 3, 5, usage);
    bool shift = false;
    bool ctrl = false;
    ParseModifiers(line, 4, shift, ctrl, false, nullptr);
    const int delta = static_cast<int>(ParseInteger(line.words[3], "DELTA", -32768, 32767));
    const CPoint point = ViewToScreen(RequireView(), line.words[1], line.words[2]);
    const ModifierKeys keys(m_backend, shift, ctrl);
    m_backend.SetCursorPos(point);
    // As the desktop does: to the window under the cursor, which hands it to its parent when
    // it has no use for it.
    CWnd* target = WindowFromPoint(point);
    if (!target) {
        return;
    }
    const UINT flags = (shift ? MK_SHIFT : 0) | (ctrl ? MK_CONTROL : 0);
    target->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(flags, static_cast<WORD>(delta)),
                        MAKELPARAM(point.x, point.y));
}

void Runner::Drag(const ScriptLine& line) {
    CheckArity(line, 4, 5, "drag X1 Y1 X2 Y2 [STEPS]");
    CWnd* view = RequireView();
    const CPoint from = ViewToScreen(view, line.words[1], line.words[2]);
    const CPoint to = ViewToScreen(view, line.words[3], line.words[4]);
    const int steps = line.words.size() == 6
                          ? static_cast<int>(ParseInteger(line.words[5], "STEPS", 1, 1000))
                          : kDefaultDragSteps;
    std::vector<CPoint> path;
    for (int i = 1; i <= steps; ++i) {
        path.emplace_back(from.x + (to.x - from.x) * i / steps,
                          from.y + (to.y - from.y) * i / steps);
    }
    m_backend.SetKeyDown(VK_LBUTTON, true);
    MouseMessage(WM_LBUTTONDOWN, from, MK_LBUTTON, false, false);
    const int dragsBefore = m_backend.DragsRun();
    for (std::size_t i = 0; i < path.size() && m_backend.DragsRun() == dragsBefore; ++i) {
        // Should the editor start an OLE drag here, it follows the rest of the path.
        m_backend.SetPendingGesture(
            std::vector<CPoint>(path.begin() + static_cast<long>(i), path.end()));
        MouseMessage(WM_MOUSEMOVE, path[i], MK_LBUTTON, false, false);
    }
    m_backend.ClearGesture();
    m_backend.SetKeyDown(VK_LBUTTON, false);
    // An OLE drag ends with the drop, which takes the button's release with it.
    if (m_backend.DragsRun() == dragsBefore) {
        MouseMessage(WM_LBUTTONUP, to, 0, false, false);
    }
}

void Runner::DragIn(const ScriptLine& line) {
    const char* usage = "dragin PIECE 0|1|2|3|movie|scroll X1 Y1 X2 Y2 [STEPS]";
    CheckArity(line, 6, 7, usage);
    KelPieceDragData piece;
    piece.guid = RequirePiece(line.words[1]).GetGUID();
    const std::string& type = line.words[2];
    if (type == "movie") {
        piece.dwType = KelPieceDragData::kMovie;
    } else if (type == "scroll") {
        piece.dwType = KelPieceDragData::kScroll;
    } else {
        piece.dwType = static_cast<DWORD>(ParseInteger(type, "TYPE", 0, 3));
    }
    const auto bytes = piece.Encode();
    RunDragIn(std::vector<BYTE>(bytes.begin(), bytes.end()), line, 3, KelPieceDragData::kFormat);
}

void Runner::DragInRaw(const ScriptLine& line) {
    const char* usage = "dragin-raw [move] HEXBYTES X1 Y1 X2 Y2";
    CheckArity(line, 5, 6, usage);
    // "move": the bytes come as a drag of materials within a storyboard would carry them.
    const bool move = line.words.size() == 7;
    if (move && line.words[1] != "move") {
        throw UsageError(std::string("usage: ") + usage);
    }
    const std::string& hex = line.words[move ? 2 : 1];
    if (hex.empty() || hex.size() % 2 != 0 ||
        hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        throw UsageError(std::string("HEXBYTES must be pairs of hex digits; usage: ") + usage);
    }
    std::vector<BYTE> bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        bytes.push_back(static_cast<BYTE>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    RunDragIn(bytes, line, move ? 3 : 2, move ? kMoveDataFormat : KelPieceDragData::kFormat);
}

// The host panel is the drag source: the drag enters the view at the first point, crosses it
// in STEPS steps and drops at the last. The data lives until the drag is over, as a host keeps
// it.
void Runner::RunDragIn(const std::vector<BYTE>& data, const ScriptLine& line,
                       std::size_t firstPoint, const char* format) {
    CWnd* view = RequireView();
    const CPoint from = ViewToScreen(view, line.words[firstPoint], line.words[firstPoint + 1]);
    const CPoint to = ViewToScreen(view, line.words[firstPoint + 2], line.words[firstPoint + 3]);
    const int steps =
        line.words.size() > firstPoint + 4
            ? static_cast<int>(ParseInteger(line.words[firstPoint + 4], "STEPS", 1, 1000))
            : kDefaultDragSteps;
    kel::platform::ScriptedDrag drag;
    drag.points.push_back(from);
    for (int i = 1; i <= steps; ++i) {
        drag.points.emplace_back(from.x + (to.x - from.x) * i / steps,
                                 from.y + (to.y - from.y) * i / steps);
    }
    m_backend.SetCursorPos(from);
    m_backend.QueueDrag(std::move(drag));
    CKelOleDataSource* source =
        CKelDDPieceData::CreateKelDataSource(format, data.data(), data.size());
    source->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE);
    source->Release();
}

void Runner::Key(const ScriptLine& line) {
    CheckArity(line, 1, 3, "key KEY [shift] [ctrl]");
    bool shift = false;
    bool ctrl = false;
    ParseModifiers(line, 2, shift, ctrl, false, nullptr);
    const UINT key = VirtualKey(line.words[1]);
    if (!DialogWindow()) {
        throw CommandError("the editor's dialog is not open");
    }
    const ModifierKeys keys(m_backend, shift, ctrl);
    // Bits 30 and 31 of a release: the key was down and is being released.
    constexpr UINT kReleaseFlags = 0xC000;
    kel::platform::DeliverKey(WM_KEYDOWN, key, 1, 0);
    kel::platform::DeliverKey(WM_KEYUP, key, 1, kReleaseFlags);
}

void Runner::Button(const ScriptLine& line) {
    CheckArity(line, 1, 1, "button ID");
    const int id = static_cast<int>(ParseInteger(line.words[1], "ID", 0, 0xFFFF));
    auto* button = dynamic_cast<CButton*>(RequireDialogWindow()->GetDlgItem(id));
    if (!button) {
        throw CommandError("the dialog has no button " + line.words[1]);
    }
    // A disabled button ignores the click, as on the desktop; what it did shows in the state.
    button->UserClick();
}

void Runner::Command(const ScriptLine& line) {
    CheckArity(line, 1, 1, "command ID");
    const int id = static_cast<int>(ParseInteger(line.words[1], "ID", 0, 0xFFFF));
    RequireView()->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void Runner::Scroll(const ScriptLine& line) {
    CheckArity(line, 2, 3, "scroll h|v|zoom CODE [POSITION]");
    static const std::map<std::string, int> barIds = {{"h", 100}, {"v", 101}, {"zoom", 102}};
    const auto bar = barIds.find(line.words[1]);
    if (bar == barIds.end()) {
        throw CommandError("usage: scroll h|v|zoom CODE [POSITION]");
    }
    const UINT code = ScrollCode(line.words[2]);
    const int position =
        line.words.size() == 4
            ? static_cast<int>(ParseInteger(line.words[3], "POSITION", INT_MIN, INT_MAX))
            : 0;
    auto* scrollBar = dynamic_cast<CScrollBar*>(RequireView()->GetDlgItem(bar->second));
    if (!scrollBar) {
        throw CommandError("the view has no " + line.words[1] + " scroll bar");
    }
    scrollBar->UserScroll(code, position);
}

// --- Scripted answers.

void Runner::Answer(const ScriptLine& line) {
    CheckArity(line, 1, 1, "answer yes|no|cancel|ok");
    static const std::map<std::string, int> answers = {
        {"yes", IDYES}, {"no", IDNO}, {"cancel", IDCANCEL}, {"ok", IDOK}};
    const auto it = answers.find(line.words[1]);
    if (it == answers.end()) {
        throw CommandError("usage: answer yes|no|cancel|ok");
    }
    m_backend.QueueMessageBoxAnswer(it->second);
}

void Runner::Menu(const ScriptLine& line) {
    CheckArity(line, 1, 1, "menu ID|none");
    const UINT id = line.words[1] == "none"
                        ? 0
                        : static_cast<UINT>(ParseInteger(line.words[1], "ID", 1, 0xFFFF));
    m_backend.QueuePopupMenuAnswer(id);
}

void Runner::Rubber(const ScriptLine& line) {
    CheckArity(line, 4, 4, "rubber LEFT TOP RIGHT BOTTOM");
    int v[4];
    const char* names[4] = {"LEFT", "TOP", "RIGHT", "BOTTOM"};
    for (int i = 0; i < 4; ++i) {
        v[i] = static_cast<int>(
            ParseInteger(line.words[static_cast<std::size_t>(i + 1)], names[i], -100000, 100000));
    }
    m_backend.QueueRubberBand(CRect(v[0], v[1], v[2], v[3]));
}

void Runner::EditAttr(const ScriptLine& line) {
    const char* usage = "edit-attr ok|cancel [name=TEXT] [frames=0|1] [height=N] "
                        "[rangeonly=0|1] [start=N] [end=N]";
    if (line.words.size() < 2 || (line.words[1] != "ok" && line.words[1] != "cancel")) {
        throw CommandError(std::string("usage: ") + usage);
    }
    const bool ok = line.words[1] == "ok";
    if (!ok && line.words.size() > 2) {
        throw CommandError(std::string("usage: ") + usage);
    }
    // Each setting is what a person types into, or ticks in, one control of the dialog.
    struct Setting {
        UINT control;
        bool check;
        std::string value;
    };
    static const std::map<std::string, std::pair<UINT, bool>> controls = {
        {"name", {CKelSBBodyAttrDlg::IDC_SB_NAME, false}},
        {"frames", {CKelSBBodyAttrDlg::IDC_SB_FRAME_DISPLAY, true}},
        {"height", {CKelSBBodyAttrDlg::IDC_SB_TRACK_HEIGHT, false}},
        {"rangeonly", {CKelSBBodyAttrDlg::IDC_SB_PLAY_RANGE_ONLY, true}},
        {"start", {CKelSBBodyAttrDlg::IDC_SB_RANGE_START, false}},
        {"end", {CKelSBBodyAttrDlg::IDC_SB_RANGE_END, false}},
    };
    std::vector<Setting> settings;
    for (std::size_t i = 2; i < line.words.size(); ++i) {
        const std::string& word = line.words[i];
        const std::size_t equals = word.find('=');
        const auto control =
            equals == std::string::npos ? controls.end() : controls.find(word.substr(0, equals));
        if (control == controls.end()) {
            throw CommandError("usage: " + std::string(usage));
        }
        settings.push_back(
            {control->second.first, control->second.second, word.substr(equals + 1)});
    }
    m_backend.QueueModal([ok, settings](CWnd& dialog) {
        if (!ok) {
            dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return IDCANCEL;
        }
        for (const Setting& setting : settings) {
            CWnd* item = dialog.GetDlgItem(static_cast<int>(setting.control));
            if (!item) {
                continue;
            }
            if (setting.check) {
                item->SendMessage(BM_SETCHECK, setting.value == "1" ? BST_CHECKED : BST_UNCHECKED);
            } else {
                item->SetWindowText(setting.value.c_str());
            }
        }
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return IDOK;
    });
}

void Runner::EditEffect(const ScriptLine& line) {
    const char* usage = "edit-effect ok NAME | edit-effect cancel";
    const bool ok = line.words.size() == 3 && line.words[1] == "ok";
    if (!ok && !(line.words.size() == 2 && line.words[1] == "cancel")) {
        throw CommandError(std::string("usage: ") + usage);
    }
    const std::string name = ok ? line.words[2] : std::string();
    // The next effect editor the host opens: the effect chosen by name and confirmed (an
    // unknown name leaves the choice as it was), or cancelled.
    m_backend.QueueModal([ok, name](CWnd& dialog) {
        if (!ok) {
            dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return IDCANCEL;
        }
        if (auto* names = dynamic_cast<CComboBox*>(dialog.GetDlgItem(KEL_EFFECT_EDIT_NAME))) {
            const int index = names->FindStringExact(-1, name.c_str());
            if (index >= 0) {
                names->SetCurSel(index);
            }
        }
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return IDOK;
    });
}

} // namespace kel::script
