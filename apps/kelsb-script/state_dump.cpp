// The state a script sees: the dialog, the document, the view, and what the editor sent and
// showed since the last dump, as one JSON object.
#include "runner.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/services/live_output.h"
#include "host/services/module_rc.h"
#include "host/undo/ur_manager.h"
#include "platform/controls.h"
#include "platform/wnd.h"

#include <algorithm>
#include <ostream>

namespace kel::script {

namespace {

Json RectJson(const CRect& rect) {
    return Json(Json::Array{Json(rect.left), Json(rect.top), Json(rect.right), Json(rect.bottom)});
}

Json IntList(const std::vector<int>& values) {
    Json list = Json::MakeArray();
    for (const int v : values) {
        list.Push(Json(v));
    }
    return list;
}

Json Pair(int a, int b) {
    return Json(Json::Array{Json(a), Json(b)});
}

// [container, material] of a material within one storyboard, or null.
Json PlaceIn(const CKelSBBodyObj& body, const CObject* material) {
    const CKelSBContainerObj* container = body.GetContainerOf(material);
    if (!container) {
        return Json();
    }
    return Pair(body.GetContainerIndex(container),
                static_cast<int>(container->GetContentList().IndexOf(material)));
}

const char* KindOf(const CKelSBContentBaseObj& content) {
    // Scrolls are movies too, so they are asked first.
    if (content.IsKindOf(RUNTIME_CLASS(CKelSBContentScrollObj))) {
        return "scroll";
    }
    if (content.IsKindOf(RUNTIME_CLASS(CKelSBContentMovieObj))) {
        return "movie";
    }
    if (content.IsKindOf(RUNTIME_CLASS(CKelSBContentPieceInObj))) {
        return "in";
    }
    if (content.IsKindOf(RUNTIME_CLASS(CKelSBContentPieceStayObj))) {
        return "stay";
    }
    if (content.IsKindOf(RUNTIME_CLASS(CKelSBContentPieceOutObj))) {
        return "out";
    }
    return "material";
}

Json MaterialJson(const CKelPlaySceneObj& scene, const CKelSBContentBaseObj& content) {
    const CKelPlayBaseObj* piece = scene.FindPieceByGUID(content.GetGUID());
    std::string pieceName;
    if (piece) {
        pieceName = piece->GetName().str();
    } else if (const CKelItemBaseObj* copy = content.GetAttachedPiece()) {
        pieceName = copy->GetName().str();
    } else {
        pieceName = content.GetGUID().ToString().str();
    }
    Json material = Json::MakeObject();
    material.Set("kind", Json(KindOf(content)));
    material.Set("piece", Json(pieceName));
    material.Set("track", Json(static_cast<int>(content.GetTrackIndex())));
    material.Set("in", Json(content.GetStoryIn()));
    material.Set("out", Json(content.GetStoryOut()));
    material.Set("duration", Json(content.GetDuration()));
    material.Set("missing", Json(piece == nullptr));
    return material;
}

Json StoryboardJson(const CKelPlaySceneObj& scene, const CKelSBBodyObj& body) {
    Json sb = Json::MakeObject();
    sb.Set("name", Json(body.GetName().str()));
    sb.Set("framesPerUnit", Json(body.GetFramesPerUnit()));
    sb.Set("duration", Json(body.GetDuration()));
    sb.Set("timeLine", Json(body.GetTimeLinePos()));
    sb.Set("rangeStart", Json(body.GetRangeStart()));
    sb.Set("rangeEnd", Json(body.GetRangeEnd()));
    sb.Set("deleteMode", Json(body.GetDeleteMode()));
    sb.Set("frameDisplay", Json(body.GetFrameDisplay()));
    sb.Set("trackHeight", Json(body.GetTrackHeight()));

    Json tracks = Json::MakeArray();
    for (int t = 0; t < body.GetTrackCount(); ++t) {
        const CKelSBTrackObj* track = body.GetTrackObj(t);
        Json contents = Json::MakeArray();
        const CObList& list = track->GetContentList();
        for (POSITION pos = list.GetHeadPosition(); pos;) {
            contents.Push(PlaceIn(body, list.GetNext(pos)));
        }
        Json entry = Json::MakeObject();
        entry.Set("locked", Json(track->IsLocked() != FALSE));
        entry.Set("playAllowed", Json(track->IsPlayAllowed() != FALSE));
        entry.Set("contents", std::move(contents));
        tracks.Push(std::move(entry));
    }
    sb.Set("tracks", std::move(tracks));

    Json containers = Json::MakeArray();
    const CKelObList& containerList = body.GetContainerList();
    for (POSITION pos = containerList.GetHeadPosition(); pos;) {
        const auto* container = DYNAMIC_DOWNCAST(CKelSBContainerObj, containerList.GetNext(pos));
        Json materials = Json::MakeArray();
        const CKelObList* contents = container ? &container->GetContentList() : nullptr;
        for (POSITION p = contents ? contents->GetHeadPosition() : nullptr; p;) {
            if (const auto* content =
                    DYNAMIC_DOWNCAST(CKelSBContentBaseObj, contents->GetNext(p))) {
                materials.Push(MaterialJson(scene, *content));
            }
        }
        containers.Push(std::move(materials));
    }
    sb.Set("containers", std::move(containers));

    const CKelURBase* history = body.GetURBase();
    Json texts = Json::MakeArray();
    for (const CString& text : history->GetStepNames()) {
        texts.Push(Json(text.str()));
    }
    Json historyJson = Json::MakeObject();
    historyJson.Set("count", Json(history->GetStepCount()));
    historyJson.Set("undoable", Json(history->GetUndoStepCount()));
    historyJson.Set("bytes", Json(static_cast<long long>(history->GetHeldBytes())));
    historyJson.Set("texts", std::move(texts));
    sb.Set("history", std::move(historyJson));
    return sb;
}

int CountTracks(const CObList& clipboard) {
    int count = 0;
    for (POSITION pos = clipboard.GetHeadPosition(); pos;) {
        const CObject* object = clipboard.GetNext(pos);
        if (object && object->IsKindOf(RUNTIME_CLASS(CKelSBTrackObj))) {
            ++count;
        }
    }
    return count;
}

} // namespace

Json Runner::BuildDialogState(const std::optional<automation::EditorState>& editor) const {
    Json dialog = Json::MakeObject();
    CWnd* window = DialogWindow();
    dialog.Set("visible", Json(window && window->IsWindowVisible()));
    dialog.Set("loaded", Json(editor && editor->loaded));
    dialog.Set("toolMode", Json(editor ? editor->toolMode : 0));
    std::vector<std::pair<int, Json>> buttons;
    for (CWnd* child = window ? window->GetWindow(GW_CHILD) : nullptr; child;
         child = child->GetWindow(GW_HWNDNEXT)) {
        const int id = child->GetDlgCtrlID();
        if (!dynamic_cast<CButton*>(child) || id == 0 || id == 0xFFFF) {
            continue;
        }
        Json state = Json::MakeObject();
        state.Set("enabled", Json(child->IsWindowEnabled() != FALSE));
        state.Set("visible", Json((child->GetStyle() & WS_VISIBLE) != 0));
        buttons.emplace_back(id, std::move(state));
    }
    std::sort(buttons.begin(), buttons.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    Json buttonsJson = Json::MakeObject();
    for (auto& [id, state] : buttons) {
        buttonsJson.Set(std::to_string(id), std::move(state));
    }
    dialog.Set("buttons", std::move(buttonsJson));
    return dialog;
}

Json Runner::BuildDocumentState() const {
    Json document = Json::MakeObject();
    CKelSBEditObj* edit = m_scene->GetSBEditObj();
    if (!edit) {
        return Json();
    }
    document.Set("current", Json(edit->GetCurSBBodyIndex()));
    Json clipboards = Json::MakeObject();
    clipboards.Set("materials",
                   Json(static_cast<long long>(edit->GetMaterialClipboard().GetCount())));
    clipboards.Set("tracks", Json(CountTracks(edit->GetTrackClipboard())));
    clipboards.Set("storyboards", Json(edit->GetSBClipboardCount()));
    clipboards.Set("fxIn", Json(static_cast<long long>(edit->GetFXClipboardIn().GetCount())));
    clipboards.Set("fxStay", Json(static_cast<long long>(edit->GetFXClipboardStay().GetCount())));
    clipboards.Set("fxOut", Json(static_cast<long long>(edit->GetFXClipboardOut().GetCount())));
    document.Set("clipboards", std::move(clipboards));
    Json storyboards = Json::MakeArray();
    for (int i = 0; i < edit->GetSBBodyCount(); ++i) {
        storyboards.Push(StoryboardJson(*m_scene, *edit->GetSBBodyObj(i)));
    }
    document.Set("storyboards", std::move(storyboards));
    return document;
}

Json Runner::BuildViewState(const std::optional<automation::EditorState>& editor) const {
    // Without a view every field keeps its neutral value, so paths stay valid in any state.
    const automation::EditorState state = editor ? *editor : automation::EditorState{};
    Json view = Json::MakeObject();
    view.Set("client", RectJson(state.client));
    Json regions = Json::MakeObject();
    for (int i = 0; i < automation::kRegionCount; ++i) {
        regions.Set(automation::kRegionNames[static_cast<std::size_t>(i)],
                    RectJson(state.regions[static_cast<std::size_t>(i)]));
    }
    view.Set("regions", std::move(regions));
    view.Set("hscroll", Json(state.hscroll));
    view.Set("vscroll", Json(state.vscroll));
    view.Set("zoomIndex", Json(state.zoomIndex));
    view.Set("selectedTracks", IntList(state.selectedTracks));
    view.Set("selectedContainers", IntList(state.selectedContainers));
    view.Set("currentContent", state.hasCurrentContent
                                   ? Pair(state.currentContainer, state.currentMaterial)
                                   : Json());
    view.Set("currentTrack", Json(state.currentTrack));
    view.Set("cursor", Json(state.cursorId));
    view.Set("gesture",
             Json(automation::kGestureNames.at(static_cast<std::size_t>(state.gesture))));
    return view;
}

Json Runner::BuildOutputState() const {
    Json played = Json::MakeArray();
    for (const CKelPlaySceneObj::PlayedFrame& change : m_scene->GetLastPlay()) {
        Json entry = Json::MakeObject();
        entry.Set("frame", Json(change.nFrame));
        entry.Set("onAir", Json(static_cast<int>(change.onAir.size())));
        played.Push(std::move(entry));
    }
    Json output = Json::MakeObject();
    output.Set("loaded", Json(m_scene->IsLoaded()));
    output.Set("played", std::move(played));
    output.Set("compileIssues", Json(static_cast<int>(m_scene->GetCompileIssues().size())));
    Json issues = Json::MakeArray();
    for (const CKelPlaySceneObj::CompileIssue& issue : m_scene->GetCompileIssues()) {
        Json entry = Json::MakeObject();
        entry.Set("track", Json(issue.nTrack));
        entry.Set("frame", Json(issue.nStoryIn));
        const CKelPlayBaseObj* piece = m_scene->FindPieceByGUID(issue.pieceGUID);
        entry.Set("piece", piece != nullptr ? Json(piece->GetName().str()) : Json());
        entry.Set("text", Json(issue.strText.str()));
        issues.Push(std::move(entry));
    }
    output.Set("compileList", std::move(issues));
    // How often the live output was cleared, by a play, a preview or the Escape key.
    output.Set("liveClears", Json(CKelDrvGFB::GetClearCount()));
    return output;
}

Json Runner::BuildSentList() const {
    return Json(Json::Array(m_sent.begin(), m_sent.end()));
}

// The last drag and drop run, from the view or from a host panel: its format and the effect the
// drop ended with (0 when refused or cancelled).
Json Runner::BuildLastDrag() const {
    const auto& drags = m_backend.Drags();
    if (drags.empty()) {
        return Json();
    }
    Json drag = Json::MakeObject();
    drag.Set("format", Json(drags.back().format.str()));
    drag.Set("effect", Json(static_cast<int>(drags.back().result)));
    return drag;
}

Json Runner::BuildBoxList() const {
    Json boxes = Json::MakeArray();
    const auto& shown = m_backend.MessageBoxes();
    for (std::size_t i = m_boxesSeen; i < shown.size(); ++i) {
        Json box = Json::MakeObject();
        box.Set("text", Json(shown[i].text.str()));
        box.Set("style", Json(shown[i].type));
        boxes.Push(std::move(box));
    }
    return boxes;
}

Json Runner::BuildMenuList() const {
    Json menus = Json::MakeArray();
    const auto& shown = m_backend.PopupMenus();
    for (std::size_t i = m_menusSeen; i < shown.size(); ++i) {
        Json items = Json::MakeObject();
        UINT chosen = 0;
        for (const kel::platform::MenuItemRecord& record : shown[i].items) {
            if (record.separator || record.popup) {
                continue;
            }
            Json item = Json::MakeObject();
            item.Set("text", Json(record.text.str()));
            item.Set("enabled", Json(record.enabled));
            item.Set("checked", Json(record.checked));
            items.Set(std::to_string(record.id), std::move(item));
            if (record.id == shown[i].answer && record.enabled) {
                chosen = record.id;
            }
        }
        Json menu = Json::MakeObject();
        menu.Set("items", std::move(items));
        menu.Set("chosen", Json(static_cast<int>(chosen)));
        menus.Push(std::move(menu));
    }
    return menus;
}

Json Runner::BuildState() const {
    const std::optional<automation::EditorState> editor = QueryEditor();
    CWnd* window = DialogWindow();
    Json state = Json::MakeObject();
    // The language the module's texts are in: 1033, 2052 or 1028.
    state.Set("language", Json(static_cast<int>(CKelModuleRC::GetLanguage())));
    state.Set("caption", Json(window ? window->GetWindowText().str() : std::string()));
    state.Set("dialog", BuildDialogState(editor));
    state.Set("document", BuildDocumentState());
    state.Set("view", BuildViewState(editor));
    state.Set("listDialog", BuildListDialogState());
    state.Set("output", BuildOutputState());
    state.Set("sent", BuildSentList());
    state.Set("boxes", BuildBoxList());
    state.Set("menus", BuildMenuList());
    state.Set("lastDrag", BuildLastDrag());
    state.Set("recovery", BuildRecoveryState());
    return state;
}

void Runner::Dump(const ScriptLine& line) {
    CheckArity(line, 0, 0, "dump");
    m_out << BuildState().Write() << std::endl;
    m_sent.clear();
    m_boxesSeen = m_backend.MessageBoxes().size();
    m_menusSeen = m_backend.PopupMenus().size();
}

void Runner::Expect(const ScriptLine& line) {
    if (line.words.size() < 3) {
        throw CommandError("usage: expect PATH VALUE");
    }
    const std::string& path = line.words[1];
    const std::string valueText = line.Rest(2);
    std::string error;
    const std::optional<Json> expected = Json::Parse(valueText, &error);
    if (!expected) {
        throw CommandError("the expected value is not JSON (" + error + "): " + valueText);
    }
    const Json state = BuildState();
    std::string missingStep;
    const Json* actual = ResolvePath(state, path, &missingStep);
    if (!actual) {
        throw CommandError("expect " + path + ": the state has no " + missingStep);
    }
    if (!(*actual == *expected)) {
        throw CommandError("expect " + path + ": got " + actual->Write() + ", expected " +
                           expected->Write());
    }
}

} // namespace kel::script
