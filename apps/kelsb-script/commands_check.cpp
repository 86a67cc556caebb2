// What a long run of edits checks after its steps, written as script commands so that the run's
// log replays, checks and all, as a script: the consistency of the storyboard and the
// selection, locked tracks left alone, and the stored document compared with one kept earlier.
#include "runner.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/scene/scene_file.h"
#include "host/undo/ur_manager.h"
#include "platform/file.h"

#include <algorithm>
#include <utility>

namespace kel::script {

namespace {

const CKelSBBodyObj* CurrentBodyOrNull(const CKelPlaySceneObj& scene) {
    const CKelSBEditObj* document = scene.GetSBEditObj();
    return document ? document->GetCurSBBodyObj() : nullptr;
}

std::string Describe(const CKelSBContentBaseObj& material) {
    return std::string(material.GetRuntimeClass()->m_lpszClassName) + " " +
           std::to_string(material.GetStoryIn()) + "-" + std::to_string(material.GetStoryOut()) +
           " " + material.GetGUID().ToString().str();
}

// The materials on one track, sorted: the containers around them may be reordered.
std::vector<std::string> MaterialsOn(const CKelSBBodyObj& body, int track) {
    std::vector<std::string> materials;
    for (int c = 0; c < body.GetContainerCount(); ++c) {
        const CKelSBContainerObj* container = body.GetContainerObj(c);
        for (INT_PTR m = 0; m < container->GetContentCount(); ++m) {
            const CKelSBContentBaseObj* material = container->GetContentObj(m);
            if (material->GetTrackIndex() == track) {
                materials.push_back(Describe(*material));
            }
        }
    }
    std::sort(materials.begin(), materials.end());
    return materials;
}

} // namespace

void Runner::Check(const ScriptLine& line) {
    CheckArity(line, 0, 1, "check [overlaps]");
    const bool overlapsAllowed = line.words.size() == 2;
    if (overlapsAllowed && line.words[1] != "overlaps") {
        throw UsageError("usage: check [overlaps] (overlaps: materials of a track may overlap)");
    }
    if (CWnd* dialog = DialogWindow()) {
        automation::EditorState state;
        state.consistencyCheck =
            overlapsAllowed ? automation::kCheckAllButOverlaps : automation::kCheckAll;
        const UINT message = RegisterWindowMessage(automation::kAutomationMessageName);
        if (SendOwn(dialog, message, 0, reinterpret_cast<LPARAM>(&state)) == 1 &&
            !state.problems.empty()) {
            std::string all = "the editor is inconsistent:";
            for (const std::string& problem : state.problems) {
                all += "\n  " + problem;
            }
            throw CommandError(all);
        }
    }
    CheckLockedTracks();
}

Runner::LockedState Runner::TakeLockedState() const {
    LockedState state;
    state.body = CurrentBodyOrNull(*m_scene);
    state.registrations = m_registrations;
    if (!state.body) {
        return state;
    }
    state.undoCount = state.body->GetURBase()->GetUndoStepCount();
    for (int t = 0; t < state.body->GetTrackCount(); ++t) {
        const CKelSBTrackObj* track = state.body->GetTrackObj(t);
        if (track->IsLocked()) {
            state.tracks.emplace_back(track, MaterialsOn(*state.body, t));
        }
    }
    return state;
}

void Runner::CheckLockedTracks() {
    LockedState now = TakeLockedState();
    const std::optional<LockedState> before = std::exchange(m_locked, now);
    // An undo or a redo gives back what the history recorded, locked or not; another
    // storyboard has other tracks.
    if (!before || !now.body || before->body != now.body ||
        now.undoCount - before->undoCount != now.registrations - before->registrations) {
        return;
    }
    for (const auto& [track, materials] : before->tracks) {
        int index = -1;
        for (int t = 0; t < now.body->GetTrackCount() && index < 0; ++t) {
            if (now.body->GetTrackObj(t) == track) {
                index = t;
            }
        }
        if (index < 0) {
            throw CommandError("a locked track was removed");
        }
        // Unlocking the track is allowed; what was on it must still be there, as it was.
        if (MaterialsOn(*now.body, index) != materials) {
            throw CommandError("the materials of locked track " + std::to_string(index) +
                               " changed");
        }
    }
}

std::vector<BYTE> Runner::ComparableBytes() const {
    CKelSBEditObj* document = m_scene->GetSBEditObj();
    std::vector<std::pair<DWORD, DWORD>> views;
    for (int i = 0; document && i < document->GetSBBodyCount(); ++i) {
        CKelSBBodyObj* body = document->GetSBBodyObj(i);
        views.emplace_back(body->GetFramesPerUnit(), body->GetTimeLinePos());
        body->SetFramesPerUnit(1);
        body->SetTimeLinePos(0);
    }
    const CRect window = m_scene->GetSBEditWndRect();
    m_scene->SetSBEditWndRect(CRect());
    CMemFile file;
    const KelSceneFileStatus status = KelWriteScene(*m_scene, &file);
    m_scene->SetSBEditWndRect(window);
    for (int i = 0; document && i < document->GetSBBodyCount(); ++i) {
        CKelSBBodyObj* body = document->GetSBBodyObj(i);
        body->SetFramesPerUnit(views[static_cast<std::size_t>(i)].first);
        body->SetTimeLinePos(views[static_cast<std::size_t>(i)].second);
    }
    if (status.nResult != KEL_SCENE_OK) {
        throw CommandError("the scene cannot be stored: " + status.strMessage.str());
    }
    return file.GetBuffer();
}

void Runner::Keep(const ScriptLine& line) {
    CheckArity(line, 1, 1, "keep NAME");
    m_kept[line.words[1]] = ComparableBytes();
}

void Runner::Same(const ScriptLine& line) {
    CheckArity(line, 1, 1, "same NAME");
    const auto kept = m_kept.find(line.words[1]);
    if (kept == m_kept.end()) {
        throw CommandError("nothing kept as " + line.words[1]);
    }
    const std::vector<BYTE> now = ComparableBytes();
    if (now == kept->second) {
        return;
    }
    std::size_t i = 0;
    while (i < now.size() && i < kept->second.size() && now[i] == kept->second[i]) {
        ++i;
    }
    throw CommandError("the document differs from " + line.words[1] + " (" +
                       std::to_string(kept->second.size()) + " and " + std::to_string(now.size()) +
                       " bytes, first difference at byte " + std::to_string(i) + ")");
}

} // namespace kel::script
