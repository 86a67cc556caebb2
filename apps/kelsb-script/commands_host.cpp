// Host calls: the entry points in the host's order, registered messages to the dialog, and what
// the host does with the dialog's window (show, hide, activate, size).
#include "runner.h"

#include "host/effects/effect_preview.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/scene/play_scene.h"
#include "platform/collections.h"
#include "platform/wnd.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace kel::script {

namespace {

constexpr int kDefaultClientWidth = 1000;
constexpr int kDefaultClientHeight = 300;

bool IsMessageName(const std::string& name) {
    if (name.empty()) {
        return false;
    }
    for (const char c : name) {
        const bool ok =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) {
            return false;
        }
    }
    return true;
}

// Messages whose LPARAM is a plain number. Every other message may carry an object, so it
// takes 'none' or one of the runner's own objects of the right kind, never a number that the
// editor would follow as a pointer.
constexpr std::string_view kNumberMessages[] = {
    "WM_CG_SB_REFRESH_WINDOW",   "WM_CG_SB_CHANGE_LIST",         "WM_UPDATE_PLAY_CURRENT_FRAME",
    "WM_CG_UR_FROM_HISTORY",     "WM_CG_ENABLE_ALL_PANEL_STUFF", "WM_CG_SWITCH_ITEMEDITUR_HISTORY",
    "WM_CG_ENABLE_AQUA_NCPAINT", "WM_CG_FILE_SETDIRTY_FLAG",
};

// The runner's object a message takes, by name.
struct ObjectArgument {
    std::string_view message;
    std::string_view object;
};
constexpr ObjectArgument kObjectArguments[] = {
    {"KELSB_AUTOMATION_STATE", "state"},
    {"WM_CG_UPDATE_HISTORY", "history"},
    {"WM_CG_SB_REFRESH_CONTENTS", "contents"},
    {"WM_CG_PIECE_EFFECT_PREVIEW", "preview"},
};

bool TakesNumber(std::string_view message) {
    return std::find(std::begin(kNumberMessages), std::end(kNumberMessages), message) !=
           std::end(kNumberMessages);
}

std::string_view ObjectFor(std::string_view message) {
    for (const ObjectArgument& argument : kObjectArguments) {
        if (argument.message == message) {
            return argument.object;
        }
    }
    return {};
}

std::pair<int, int> ClientSize(const ScriptLine& line, std::size_t first) {
    return {static_cast<int>(ParseInteger(line.words[first], "WIDTH", 1, 10000)),
            static_cast<int>(ParseInteger(line.words[first + 1], "HEIGHT", 1, 10000))};
}

} // namespace

void Runner::Open(const ScriptLine& line) {
    const char* usage = "open [WIDTH HEIGHT]";
    CheckArity(line, 0, 2, usage);
    if (line.words.size() == 2) {
        throw CommandError(std::string("usage: ") + usage);
    }
    const auto [width, height] = line.words.size() == 3
                                     ? ClientSize(line, 1)
                                     : std::pair{kDefaultClientWidth, kDefaultClientHeight};
    const ModuleEntryPoints& module = Module();
    HostWindows& hosts = Hosts();
    module.open();
    CWnd* dialog = module.createDlg(hosts.Parent());
    if (!dialog) {
        throw CommandError("KelSBEditCreateDlg failed");
    }
    // Creating the window forgets the item-edit window, so it is handed after every creation.
    module.setItemEditWnd(hosts.ItemEdit());
    dialog->SetWindowText(kel::hostkit::kEditorInitialCaption);
    module.setCurScene(m_scene.get());
    dialog->ShowWindow(SW_SHOW);
    // Showing places the dialog at the rectangle kept in the scene; the size asked for wins.
    SetDialogClientSize(dialog, width, height);
}

void Runner::Close(const ScriptLine& line) {
    CheckArity(line, 0, 0, "close");
    const ModuleEntryPoints& module = Module();
    module.undoRedoClose();
    module.close();
}

void Runner::Entry(const ScriptLine& line) {
    const char* usage =
        "entry open|create|setitem|setscene|getdlg|urclose|close ('none' after create, setitem "
        "or setscene hands a null pointer)";
    CheckArity(line, 1, 2, usage);
    const std::string& name = line.words[1];
    const bool none = line.words.size() == 3;
    if (none && (line.words[2] != "none" ||
                 (name != "create" && name != "setitem" && name != "setscene"))) {
        throw CommandError(std::string("usage: ") + usage);
    }
    const ModuleEntryPoints& module = Module();
    HostWindows& hosts = Hosts();
    if (name == "open") {
        module.open();
    } else if (name == "create") {
        module.createDlg(none ? nullptr : hosts.Parent());
    } else if (name == "setitem") {
        module.setItemEditWnd(none ? nullptr : hosts.ItemEdit());
    } else if (name == "setscene") {
        module.setCurScene(none ? nullptr : m_scene.get());
    } else if (name == "getdlg") {
        module.getDlg();
    } else if (name == "urclose") {
        module.undoRedoClose();
    } else if (name == "close") {
        module.close();
    } else {
        throw CommandError(std::string("usage: ") + usage);
    }
}

void Runner::Send(const ScriptLine& line) {
    CheckArity(line, 3, 3, "send MESSAGE WPARAM LPARAM|none|OBJECT");
    const std::string& name = line.words[1];
    if (!IsMessageName(name)) {
        throw CommandError("not a message name: " + name);
    }
    // The effect preview is the host's request to the timeline view itself.
    CWnd* target = name == "WM_CG_PIECE_EFFECT_PREVIEW" ? RequireView() : RequireDialogWindow();
    const auto wParam =
        static_cast<WPARAM>(ParseInteger(line.words[2], "WPARAM", -0x7FFFFFFFLL - 1, 0xFFFFFFFFLL));
    const UINT message = RegisterWindowMessage(name.c_str());
    if (message == 0) {
        throw CommandError("cannot register the message " + name);
    }
    // The objects live for the send only; the editor keeps no pointer to them.
    automation::EditorState state;
    CObList contents;
    KelPieceEffectPreview preview;
    const std::string& word = line.words[3];
    const std::string_view object = ObjectFor(name);
    LPARAM lParam = 0;
    if (word == "none") {
        lParam = 0;
    } else if (TakesNumber(name)) {
        lParam = static_cast<LPARAM>(ParseInteger(word, "LPARAM", -0x7FFFFFFFLL - 1, 0xFFFFFFFFLL));
    } else if (!object.empty() && word == object) {
        if (object == "state") {
            lParam = reinterpret_cast<LPARAM>(&state);
        } else if (object == "history") {
            lParam = reinterpret_cast<LPARAM>(CurrentBody().GetURBase());
        } else if (object == "preview") {
            preview.pWnd = Hosts().Main();
            lParam = reinterpret_cast<LPARAM>(&preview);
        } else {
            const CKelSBBodyObj& body = CurrentBody();
            for (int c = 0; c < body.GetContainerCount(); ++c) {
                const CKelSBContainerObj* container = body.GetContainerObj(c);
                for (INT_PTR m = 0; m < container->GetContentCount(); ++m) {
                    contents.AddTail(container->GetContentObj(m));
                }
            }
            lParam = reinterpret_cast<LPARAM>(&contents);
        }
    } else {
        const std::string accepted =
            object.empty() ? std::string("none") : "none or " + std::string(object);
        throw UsageError(name + " takes an object in LPARAM (" + accepted + "), not " + word);
    }
    SendOwn(target, message, wParam, lParam);
}

void Runner::Show(const ScriptLine& line) {
    CheckArity(line, 0, 0, "show");
    RequireDialogWindow()->ShowWindow(SW_SHOW);
}

void Runner::Hide(const ScriptLine& line) {
    CheckArity(line, 0, 0, "hide");
    RequireDialogWindow()->ShowWindow(SW_HIDE);
}

void Runner::Activate(const ScriptLine& line) {
    CheckArity(line, 0, 0, "activate");
    CWnd* dialog = RequireDialogWindow();
    if (m_deactivatedToNothing && CWnd::GetActiveWindow() == dialog) {
        // The desktop gives the activation back after another program had it.
        dialog->SendMessage(WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
    } else {
        dialog->SetActiveWindow();
    }
    m_deactivatedToNothing = false;
}

void Runner::Deactivate(const ScriptLine& line) {
    CheckArity(line, 0, 1, "deactivate [TITLE]");
    CWnd* dialog = RequireDialogWindow();
    if (line.words.size() == 1) {
        // Another program took the activation: no window of this process gets it.
        dialog->SendMessage(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
        m_deactivatedToNothing = true;
        return;
    }
    const std::string& title = line.words[1];
    CWnd* other = Hosts().FindByTitle(title);
    for (const auto& made : m_otherWindows) {
        if (!other && IsWindow(made.get()) && made->GetWindowText().str() == title) {
            other = made.get();
        }
    }
    if (!other) {
        auto wnd = std::make_unique<CWnd>();
        // Out of the way of the editor, so that it never covers a point a script clicks.
        wnd->CreateEx(0, nullptr, title.c_str(), WS_POPUP | WS_CAPTION | WS_VISIBLE,
                      CRect(1500, 920, 1900, 1060), Hosts().Main(), 0);
        other = wnd.get();
        m_otherWindows.push_back(std::move(wnd));
    }
    other->SetActiveWindow();
    m_deactivatedToNothing = false;
}

void Runner::Size(const ScriptLine& line) {
    CheckArity(line, 2, 2, "size WIDTH HEIGHT");
    const auto [width, height] = ClientSize(line, 1);
    SetDialogClientSize(RequireDialogWindow(), width, height);
}

} // namespace kel::script
