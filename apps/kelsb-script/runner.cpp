#include "runner.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/services/auto_save.h"
#include "platform/wnd.h"

#include <set>

namespace kel::script {

namespace {

ScriptBackend& InstallScriptBackend() {
    auto backend = std::make_unique<ScriptBackend>();
    ScriptBackend& installed = *backend;
    kel::platform::SetBackend(std::move(backend));
    return installed;
}

} // namespace

Runner::Runner(std::ostream& out)
    : m_out(out), m_backend(InstallScriptBackend()), m_scene(std::make_unique<CKelPlaySceneObj>()) {
    kel::platform::SetMessageObserver(
        [this](CWnd* target, UINT message, WPARAM wParam, LPARAM lParam) {
            ObserveMessage(target, message, wParam, lParam);
        });
}

Runner::~Runner() {
    // Ending normally is a normal close: the recovery file goes.
    if (m_saver) {
        m_saver->Discard();
    }
    // The host's order at its end: the history goes, then the editor. The scene outlives the
    // editor that points at it.
    if (m_module.IsLoaded()) {
        m_module.Entries().undoRedoClose();
        m_module.Entries().close();
    }
    kel::platform::SetMessageObserver(nullptr);
    m_otherWindows.clear();
    m_hosts.reset();
}

const std::map<std::string, Runner::Handler>& Runner::Commands() {
    static const std::map<std::string, Handler> commands = {
        {"sample", &Runner::Sample},
        {"load", &Runner::Load},
        {"save", &Runner::Save},
        {"fps", &Runner::Fps},
        {"piece", &Runner::Piece},
        {"storyboard", &Runner::Storyboard},
        {"track", &Runner::Track},
        {"container", &Runner::Container},
        {"material", &Runner::Material},
        {"unpiece", &Runner::Unpiece},
        {"fpu", &Runner::Fpu},
        {"timeline", &Runner::Timeline},
        {"play-stop-at", &Runner::PlayStopAt},
        {"export", &Runner::Export},
        {"range", &Runner::Range},
        {"display", &Runner::Display},
        {"deletemode", &Runner::DeleteMode},
        {"open", &Runner::Open},
        {"close", &Runner::Close},
        {"entry", &Runner::Entry},
        {"send", &Runner::Send},
        {"show", &Runner::Show},
        {"hide", &Runner::Hide},
        {"activate", &Runner::Activate},
        {"deactivate", &Runner::Deactivate},
        {"size", &Runner::Size},
        {"down", &Runner::Down},
        {"move", &Runner::Move},
        {"up", &Runner::Up},
        {"click", &Runner::Click},
        {"wheel", &Runner::Wheel},
        {"dblclick", &Runner::DblClick},
        {"rclick", &Runner::RClick},
        {"drag", &Runner::Drag},
        {"key", &Runner::Key},
        {"button", &Runner::Button},
        {"command", &Runner::Command},
        {"scroll", &Runner::Scroll},
        {"answer", &Runner::Answer},
        {"menu", &Runner::Menu},
        {"rubber", &Runner::Rubber},
        {"edit-attr", &Runner::EditAttr},
        {"edit-effect", &Runner::EditEffect},
        {"dump", &Runner::Dump},
        {"expect", &Runner::Expect},
        {"paint", &Runner::Paint},
        {"dragin", &Runner::DragIn},
        {"dragin-raw", &Runner::DragInRaw},
        {"select-item", &Runner::SelectItem},
        {"unselect-item", &Runner::UnselectItem},
        {"list", &Runner::List},
        {"check", &Runner::Check},
        {"keep", &Runner::Keep},
        {"same", &Runner::Same},
        {"autosave", &Runner::AutoSave},
        {"idle", &Runner::Idle},
        {"recover", &Runner::Recover},
    };
    return commands;
}

void Runner::Execute(const ScriptLine& line) {
    if (line.words.empty()) {
        return;
    }
    const auto it = Commands().find(line.words[0]);
    if (it == Commands().end()) {
        throw CommandError("unknown command: " + line.words[0]);
    }
    // The host changing its own scene is no edit: the next check starts from what it made.
    static const std::set<std::string> sceneCommands = {
        "sample",  "load", "piece",    "storyboard", "track",   "container",  "material",
        "unpiece", "fpu",  "timeline", "range",      "display", "deletemode", "recover"};
    // The storyboard list may put a new storyboard where a deleted one was (at its address).
    const bool storyboardList =
        line.words[0] == "list" ||
        (line.words[0] == "command" && line.words.size() == 2 && line.words[1].size() == 5 &&
         line.words[1] >= "32814" && line.words[1] <= "32822");
    if (sceneCommands.count(line.words[0]) != 0 || storyboardList) {
        m_locked.reset();
    }
    (this->*(it->second))(line);
    AfterLine(line);
}

CKelSBBodyObj& Runner::CurrentBody() const {
    CKelSBEditObj* document = m_scene->GetSBEditObj();
    CKelSBBodyObj* body = document ? document->GetCurSBBodyObj() : nullptr;
    if (!body) {
        throw CommandError("the scene has no current storyboard");
    }
    return *body;
}

void Runner::ReplaceScene(std::unique_ptr<CKelPlaySceneObj> scene) {
    // The view must let go of the old scene before it is destroyed.
    if (DialogWindow()) {
        m_module.Entries().setCurScene(scene.get());
    }
    m_scene = std::move(scene);
}

const ModuleEntryPoints& Runner::Module() {
    if (!m_module.Load()) {
        throw CommandError(m_module.Error());
    }
    return m_module.Entries();
}

HostWindows& Runner::Hosts() {
    if (!m_hosts) {
        m_hosts = std::make_unique<HostWindows>([this] { return m_scene.get(); });
    }
    return *m_hosts;
}

CWnd* Runner::Dialog() const {
    return m_module.IsLoaded() ? m_module.Entries().getDlg() : nullptr;
}

CWnd* Runner::DialogWindow() const {
    CWnd* dialog = Dialog();
    return IsWindow(dialog) ? dialog : nullptr;
}

CWnd* Runner::RequireDialogWindow() const {
    CWnd* dialog = DialogWindow();
    if (!dialog) {
        throw CommandError("the editor's dialog is not open");
    }
    return dialog;
}

LRESULT Runner::SendOwn(CWnd* target, UINT message, WPARAM wParam, LPARAM lParam) const {
    m_ownSendPending = true;
    const LRESULT result = target->SendMessage(message, wParam, lParam);
    m_ownSendPending = false;
    return result;
}

std::optional<automation::EditorState> Runner::QueryEditor() const {
    CWnd* dialog = DialogWindow();
    if (!dialog) {
        return std::nullopt;
    }
    automation::EditorState state;
    const UINT message = RegisterWindowMessage(automation::kAutomationMessageName);
    if (SendOwn(dialog, message, 0, reinterpret_cast<LPARAM>(&state)) != 1) {
        return std::nullopt;
    }
    return state;
}

CWnd* Runner::RequireView() const {
    const std::optional<automation::EditorState> state = QueryEditor();
    if (!state || !state->hasView || !IsWindow(state->view)) {
        throw CommandError("the editor has no timeline view");
    }
    return state->view;
}

CPoint Runner::ViewToScreen(CWnd* view, const std::string& x, const std::string& y) const {
    CPoint point(static_cast<int>(ParseInteger(x, "X", -100000, 100000)),
                 static_cast<int>(ParseInteger(y, "Y", -100000, 100000)));
    view->ClientToScreen(&point);
    return point;
}

void Runner::SetDialogClientSize(CWnd* dialog, int width, int height) {
    const CRect insets = dialog->GetNonClientInsets();
    dialog->SetWindowPos(nullptr, 0, 0, width + insets.left + insets.right,
                         height + insets.top + insets.bottom,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::optional<std::pair<int, int>> Runner::LocateMaterial(const void* material) const {
    CKelSBEditObj* document = m_scene->GetSBEditObj();
    CKelSBBodyObj* body = document ? document->GetCurSBBodyObj() : nullptr;
    if (!body || !material) {
        return std::nullopt;
    }
    const CKelSBContainerObj* container = body->GetContainerOf(material);
    if (!container) {
        return std::nullopt;
    }
    return std::make_pair(body->GetContainerIndex(container),
                          static_cast<int>(container->GetContentList().IndexOf(
                              static_cast<const CObject*>(material))));
}

Json Runner::DescribeLParam(LPARAM lParam) const {
    if (lParam == 0) {
        return Json();
    }
    const void* pointer = reinterpret_cast<const void*>(lParam);
    if (pointer == Dialog()) {
        return Json("dialog");
    }
    if (CKelSBEditObj* document = m_scene->GetSBEditObj()) {
        for (int i = 0; i < document->GetSBBodyCount(); ++i) {
            if (static_cast<const void*>(document->GetSBBodyObj(i)->GetURBase()) == pointer) {
                return Json("history");
            }
        }
    }
    if (const auto place = LocateMaterial(pointer)) {
        return Json(Json::Array{Json(place->first), Json(place->second)});
    }
    return Json(static_cast<long long>(lParam));
}

void Runner::ObserveMessage(CWnd* target, UINT message, WPARAM wParam, LPARAM lParam) {
    static const UINT updateHistory = RegisterWindowMessage("WM_CG_UPDATE_HISTORY");
    constexpr WPARAM kAdded = 0;
    if (message == updateHistory && wParam == kAdded && m_hosts && target == m_hosts->History()) {
        ++m_registrations;
    }
    if (m_ownSendPending) {
        m_ownSendPending = false; // the runner's own message; what it causes is recorded
        return;
    }
    std::string to = m_hosts ? m_hosts->NameOf(target) : std::string();
    if (to.empty() && target && target == Dialog()) {
        to = "self";
    }
    if (to.empty()) {
        return;
    }
    Json entry = Json::MakeObject();
    entry.Set("to", Json(to));
    entry.Set("message", Json(kel::platform::RegisteredMessageName(message).str()));
    entry.Set("wParam", Json(static_cast<unsigned long long>(wParam)));
    entry.Set("lParam", DescribeLParam(lParam));
    m_sent.push_back(std::move(entry));
}

} // namespace kel::script
