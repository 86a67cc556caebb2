// The Storyboard List dialog, driven as a person drives it. `list open` clicks the view's tool
// button; the dialog is modal, so the script goes on inside it, line by line, until the dialog
// ends (`list close`, or a button that closes it) or the script does (the dialog is then closed
// as OK closes it). While it is open, `dump` shows it as `listDialog`.
#include "runner.h"

#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/wnd.h"
#include "res/resource.h"

#include <exception>

namespace kel::script {

namespace {

const char* const kListUsage =
    "list open|close|select N|rclick N|press "
    "append|insert|delete|up|down|cut|copy|paste|ok ... (several on one line run in turn)";

// The dialog's buttons by the names scripts use, in the order they stand.
const std::vector<std::pair<std::string, int>>& ListButtons() {
    static const std::vector<std::pair<std::string, int>> buttons = {
        {"append", IDC_SBL_APPEND}, {"insert", IDC_SBL_INSERT},  {"delete", IDC_SBL_DELETE},
        {"up", IDC_SBL_MOVE_UP},    {"down", IDC_SBL_MOVE_DOWN}, {"cut", IDC_SBL_CUT},
        {"copy", IDC_SBL_COPY},     {"paste", IDC_SBL_PASTE},    {"ok", IDOK},
    };
    return buttons;
}

int ButtonId(const std::string& name) {
    for (const auto& [known, id] : ListButtons()) {
        if (known == name) {
            return id;
        }
    }
    throw UsageError(std::string("no button ") + name +
                     " in the storyboard list; usage: " + kListUsage);
}

} // namespace

std::vector<Runner::ListStep> Runner::ParseListSteps(const ScriptLine& line) {
    std::vector<ListStep> steps;
    for (std::size_t i = 1; i < line.words.size(); ++i) {
        const std::string& verb = line.words[i];
        if (verb == "open" || verb == "close") {
            steps.push_back({verb, {}});
            continue;
        }
        if ((verb != "select" && verb != "rclick" && verb != "press") ||
            i + 1 >= line.words.size()) {
            throw UsageError(std::string("usage: ") + kListUsage);
        }
        const std::string& argument = line.words[++i];
        if (verb == "press") {
            ButtonId(argument); // refuses an unknown name before anything runs
        } else {
            ParseInteger(argument, "N", 0, 100000);
        }
        steps.push_back({verb, argument});
    }
    if (steps.empty()) {
        throw UsageError(std::string("usage: ") + kListUsage);
    }
    for (std::size_t i = 1; i < steps.size(); ++i) {
        if (steps[i].verb == "open") {
            throw UsageError("list open must come first on its line");
        }
    }
    return steps;
}

void Runner::List(const ScriptLine& line) {
    std::vector<ListStep> steps = ParseListSteps(line);
    if (steps.front().verb != "open") {
        RunListSteps(steps);
        return;
    }
    if (ListDialogOpen()) {
        throw CommandError("the storyboard list is already open");
    }
    steps.erase(steps.begin());
    CWnd* view = RequireView();
    std::exception_ptr failure;
    bool opened = false;
    m_backend.RunNextModalIn([&](CWnd& dialog) {
        opened = true;
        m_listDialog = &dialog;
        try {
            RunListSteps(steps);
            while (ListDialogOpen()) {
                std::optional<ScriptLine> next = m_nextLine ? m_nextLine() : std::nullopt;
                if (!next) {
                    PressListButton(IDOK); // the script ended: closed as a person would
                    break;
                }
                Execute(*next);
            }
        } catch (...) {
            failure = std::current_exception();
            if (ListDialogOpen()) {
                static_cast<CDialog&>(dialog).EndDialog(IDCANCEL);
            }
        }
        m_listDialog = nullptr;
        return IDCANCEL;
    });
    // The view's tool button opens the dialog.
    if (auto* button = dynamic_cast<CButton*>(view->GetDlgItem(IDC_VIEW_TOOL_SB_OPERATION))) {
        button->UserClick();
    } else {
        view->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_VIEW_TOOL_SB_OPERATION, 0), 0);
    }
    m_backend.RunNextModalIn({});
    if (failure) {
        std::rethrow_exception(failure);
    }
    if (!opened) {
        throw CommandError("the storyboard list did not open");
    }
}

bool Runner::ListDialogOpen() const {
    auto* dialog = dynamic_cast<CDialog*>(m_listDialog);
    return dialog && IsWindow(dialog) && !dialog->IsModalLoopDone();
}

CListBox& Runner::RequireList() const {
    if (!ListDialogOpen()) {
        throw CommandError("the storyboard list is not open");
    }
    auto* list = dynamic_cast<CListBox*>(m_listDialog->GetDlgItem(IDC_SBL_LIST));
    if (!list) {
        throw CommandError("the storyboard list has no list");
    }
    return *list;
}

int Runner::ListItem(const std::string& word) const {
    CListBox& list = RequireList();
    const auto item = static_cast<int>(ParseInteger(word, "N", 0, 100000));
    if (item >= list.GetCount()) {
        throw CommandError("the storyboard list has no item " + word);
    }
    return item;
}

void Runner::PressListButton(int id) {
    RequireList();
    auto* button = dynamic_cast<CButton*>(m_listDialog->GetDlgItem(id));
    if (!button) {
        throw CommandError("the storyboard list has no button " + std::to_string(id));
    }
    // A disabled button ignores the click, as on the desktop.
    button->UserClick();
}

void Runner::RunListSteps(const std::vector<ListStep>& steps) {
    for (const ListStep& step : steps) {
        if (step.verb == "close") {
            PressListButton(IDOK);
        } else if (step.verb == "press") {
            PressListButton(ButtonId(step.argument));
        } else if (step.verb == "select") {
            RequireList().UserSelect(ListItem(step.argument));
        } else {
            // A right click on the item's middle, the cursor there for the menu.
            CListBox& list = RequireList();
            const int item = ListItem(step.argument);
            CRect rect;
            list.GetItemRect(item, &rect);
            CRect client;
            list.GetClientRect(&client);
            if (rect.top < 0 || rect.bottom > client.bottom) {
                list.SetTopIndex(item);
                list.GetItemRect(item, &rect);
            }
            CPoint point = rect.CenterPoint();
            CPoint screen = point;
            list.ClientToScreen(&screen);
            m_backend.SetCursorPos(screen);
            m_backend.SetKeyDown(VK_RBUTTON, true);
            list.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(point.x, point.y));
            m_backend.SetKeyDown(VK_RBUTTON, false);
            if (IsWindow(&list)) {
                list.SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(point.x, point.y));
            }
        }
        if (!ListDialogOpen()) {
            return;
        }
    }
}

Json Runner::BuildListDialogState() const {
    if (!ListDialogOpen()) {
        return Json();
    }
    const CListBox& list = RequireList();
    Json items = Json::MakeArray();
    for (int i = 0; i < list.GetCount(); ++i) {
        items.Push(Json(list.GetText(i).str()));
    }
    Json buttons = Json::MakeObject();
    for (const auto& [name, id] : ListButtons()) {
        const CWnd* button = m_listDialog->GetDlgItem(id);
        Json state = Json::MakeObject();
        state.Set("enabled", Json(button && button->IsWindowEnabled() != FALSE));
        buttons.Set(name, std::move(state));
    }
    Json dialog = Json::MakeObject();
    dialog.Set("items", std::move(items));
    dialog.Set("selection", Json(list.GetCurSel()));
    dialog.Set("buttons", std::move(buttons));
    return dialog;
}

} // namespace kel::script
