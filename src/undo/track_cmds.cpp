#include "undo/track_cmds.h"

#include "undo/sbedit_editor.h"
#include "undo/ur_cmd_kind.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"

#include <functional>
#include <memory>
#include <string_view>

namespace {

using Target = CKelSBEditURBaseCmd::Target;
using Containers = std::vector<std::unique_ptr<CKelSBContainerObj>>;

// What every track command ends with: no current material, nothing selected, the view back at
// its start. The model rebuilt the track lists itself, and the containers put back got their
// icons, so the storyboard is not walked again.
void RebuildView(Target& t) {
    t.editor.SetCurContent(nullptr);
    t.editor.ResetViewKeepingModel();
}

// Puts an empty track in at nTrack with the settings of the one that was there (the model
// renumbers the materials below it).
bool PutTrackBack(Target& t, int nTrack, const CKelSBTrackObj* pSettings) {
    const int bInserted =
        nTrack < t.body.GetTrackCount() ? t.body.InsertTrack(nTrack) : t.body.AppendTrack();
    if (!bInserted)
        return false;
    if (pSettings != nullptr)
        *t.body.GetTrackObj(nTrack) = *pSettings;
    return true;
}

// The record of a track about to be deleted or cut.
std::function<int(Target&)> RecordRemoval(CKelSBEditURBaseCmd& cmd, KelSBRemovedTrack& removed,
                                          int nTrack) {
    return [&cmd, &removed, nTrack](Target& t) {
        removed.nTrackIndex = nTrack;
        const CKelSBTrackObj* pTrack = t.body.GetTrackObj(nTrack);
        removed.pTrack.reset(pTrack ? pTrack->MakeCopy() : nullptr);
        removed.nContainerCount = t.body.GetContainerCount();
        cmd.SnapshotContainersOnTrack(t, 1, nTrack, removed.containerIndices, removed.survivors);
        return 1;
    };
}

// The containers of a track as they were, once the track is back: false, and the track taken
// away again, when they do not fit the storyboard.
bool PutTrackContainersBack(Target& t, int nTrack, Containers& containers,
                            const std::vector<int>& indices, const std::vector<int>& survivors,
                            int nCountBefore) {
    if (CKelSBEditURBaseCmd::PutBackContainersOfTrack(t, containers, indices, survivors,
                                                      nCountBefore))
        return true;
    t.body.DeleteTrack(nTrack);
    return false;
}

// Undo of a deleted or cut track: the track where it was, then its containers as they were
// before the track went.
std::function<int(Target&)> UndoRemoval(const CKelSBEditURBaseCmd& cmd,
                                        const KelSBRemovedTrack& removed) {
    return [&cmd, &removed](Target& t) {
        const int nTrack = removed.nTrackIndex;
        if (nTrack < 0 || nTrack > t.body.GetTrackCount())
            return 0;
        Containers containers;
        if (!cmd.LoadContainerSnapshots(1, containers, &t.scene) ||
            containers.size() != removed.containerIndices.size())
            return 0;
        if (!PutTrackBack(t, nTrack, removed.pTrack.get()) ||
            !PutTrackContainersBack(t, nTrack, containers, removed.containerIndices,
                                    removed.survivors, removed.nContainerCount))
            return 0;
        t.editor.SetCurContent(nullptr);
        t.editor.EnsureCurContentVisible();
        RebuildView(t);
        t.editor.MarkModified();
        return 1;
    };
}

// A track's play and lock flags change without an undo step, so a redo that removes the track
// again keeps its settings as it finds them: the next undo gives back that track, not the one
// first recorded.
void KeepTrackSettings(Target& t, KelSBRemovedTrack& removed) {
    if (const CKelSBTrackObj* pTrack = t.body.GetTrackObj(removed.nTrackIndex))
        removed.pTrack.reset(pTrack->MakeCopy());
}

// What follows removing a track again.
void AfterTrackRemoval(Target& t) {
    t.editor.ClearStatusLine();
    t.body.ResetAllTrackContentList();
    t.editor.SetCurContent(nullptr);
    t.editor.EnsureCurContentVisible();
    RebuildView(t);
    t.editor.MarkModified();
}

} // namespace

// ---- Append and insert ------------------------------------------------------------------------

namespace {
// Takes the added track away, keeping its settings for the redo.
int RemoveAddedTrack(Target& t, int nTrack, std::unique_ptr<CKelSBTrackObj>& pKept) {
    const CKelSBTrackObj* pTrack = t.body.GetTrackObj(nTrack);
    if (pTrack == nullptr)
        return 0;
    std::unique_ptr<CKelSBTrackObj> pCopy(pTrack->MakeCopy());
    if (!t.body.DeleteTrack(nTrack))
        return 0;
    pKept = std::move(pCopy);
    return 1;
}

// The added track back at nTrack (the end for an append) with the settings it had.
int AddTrackAgain(Target& t, int nTrack, bool bAppend, const CKelSBTrackObj* pKept) {
    if (!(bAppend ? t.body.AppendTrack() : t.body.InsertTrack(nTrack)))
        return 0;
    CKelSBTrackObj* pTrack = t.body.GetTrackObj(bAppend ? t.body.GetTrackCount() - 1 : nTrack);
    if (pTrack != nullptr && pKept != nullptr)
        *pTrack = *pKept;
    return 1;
}
} // namespace

int CKelURSBAppendTrackCmd::Undo() {
    return RunStep([this](Target& t) {
        if (!RemoveAddedTrack(t, m_nTrackIndex, m_pTrack))
            return 0;
        RebuildView(t);
        return 1;
    });
}

int CKelURSBAppendTrackCmd::Redo(int bFirst) {
    if (bFirst)
        return 1;
    return RunStep([this](Target& t) {
        if (!AddTrackAgain(t, m_nTrackIndex, true, m_pTrack.get()))
            return 0;
        RebuildView(t);
        return 1;
    });
}

int CKelURSBInsertTrackCmd::Undo() {
    return RunStep([this](Target& t) {
        if (!RemoveAddedTrack(t, m_nTrackIndex, m_pTrack))
            return 0;
        RebuildView(t);
        return 1;
    });
}

int CKelURSBInsertTrackCmd::Redo(int bFirst) {
    if (bFirst)
        return 1;
    return RunStep([this](Target& t) {
        if (!AddTrackAgain(t, m_nTrackIndex, false, m_pTrack.get()))
            return 0;
        RebuildView(t);
        return 1;
    });
}

// ---- Moves ------------------------------------------------------------------------------------

namespace {
// Moves the track at nTrack one place (0 up, 1 down) and lets the index follow it.
int MoveTrackStep(Target& t, int& nTrack, int nDirection) {
    if (!t.body.MoveTrack(nTrack, nDirection))
        return 0;
    nTrack += nDirection == 0 ? -1 : 1;
    RebuildView(t);
    return 1;
}
} // namespace

int CKelURSBMoveupTrackCmd::Undo() {
    return RunStep([this](Target& t) { return MoveTrackStep(t, m_nTrackIndex, 1); });
}

int CKelURSBMoveupTrackCmd::Redo(int bFirst) {
    if (bFirst)
        return 1;
    return RunStep([this](Target& t) { return MoveTrackStep(t, m_nTrackIndex, 0); });
}

int CKelURSBMovedownTrackCmd::Undo() {
    return RunStep([this](Target& t) { return MoveTrackStep(t, m_nTrackIndex, 0); });
}

int CKelURSBMovedownTrackCmd::Redo(int bFirst) {
    if (bFirst)
        return 1;
    return RunStep([this](Target& t) { return MoveTrackStep(t, m_nTrackIndex, 1); });
}

// ---- Delete and cut ---------------------------------------------------------------------------

int CKelURSBDeleteTrackCmd::Record(int nTrackIndex) {
    return RunStep(RecordRemoval(*this, m_removed, nTrackIndex));
}

int CKelURSBDeleteTrackCmd::Undo() {
    return RunStep(UndoRemoval(*this, m_removed));
}

int CKelURSBDeleteTrackCmd::Redo(int bFirst) {
    if (bFirst)
        return 1;
    return RunStep([this](Target& t) {
        // Undo left the storyboard as it was when the snapshots were taken, so they still
        // hold what the next undo must put back: they are not written again.
        if (t.body.GetTrackObj(m_removed.nTrackIndex) == nullptr)
            return 0;
        KeepTrackSettings(t, m_removed);
        if (!t.body.DeleteTrack(m_removed.nTrackIndex))
            return 0;
        AfterTrackRemoval(t);
        return 1;
    });
}

int CKelURSBCutTrackCmd::Record(int nTrackIndex) {
    return RunStep(RecordRemoval(*this, m_removed, nTrackIndex));
}

int CKelURSBCutTrackCmd::Undo() {
    return RunStep(UndoRemoval(*this, m_removed));
}

int CKelURSBCutTrackCmd::Redo(int bFirst) {
    if (bFirst)
        return 1;
    return RunStep([this](Target& t) {
        CKelSBEditObj* pDoc = t.scene.GetSBEditObj();
        if (pDoc == nullptr || t.body.GetTrackObj(m_removed.nTrackIndex) == nullptr)
            return 0;
        KeepTrackSettings(t, m_removed);
        // The model appends to the clipboard; a paste takes its first track.
        pDoc->GetTrackClipboard().DeleteAll();
        if (!t.body.CutTrack(pDoc->GetTrackClipboard(), m_removed.nTrackIndex))
            return 0;
        AfterTrackRemoval(t);
        return 1;
    });
}

// ---- Paste ------------------------------------------------------------------------------------

int CKelURSBPasteTrackCmd::Undo() {
    return RunStep([this](Target& t) {
        const CKelSBTrackObj* pTrack = t.body.GetTrackObj(m_nTrackIndex);
        if (pTrack == nullptr)
            return 0;
        // Every undo starts from the storyboard the paste left (redo puts it back as it was), so
        // the snapshots of the first undo serve every later one. The track's flags may have
        // changed since without a step: its settings are taken as they are now.
        if (!m_pTrack) {
            m_nContainerCount = t.body.GetContainerCount();
            SnapshotContainersOnTrack(t, 0, m_nTrackIndex, m_arrContainerIndices, m_arrSurvivors);
        }
        m_pTrack.reset(pTrack->MakeCopy());
        if (!t.body.DeleteTrack(m_nTrackIndex))
            return 0;
        RebuildView(t);
        return 1;
    });
}

int CKelURSBPasteTrackCmd::Redo(int bFirst) {
    if (bFirst)
        return 1;
    return RunStep([this](Target& t) {
        Containers containers;
        if (!LoadContainerSnapshots(0, containers, &t.scene) ||
            containers.size() != m_arrContainerIndices.size())
            return 0;
        // The new track is empty: the pasted materials come back with the containers.
        if (m_nTrackIndex < 0 || m_nTrackIndex > t.body.GetTrackCount() ||
            !PutTrackBack(t, m_nTrackIndex, m_pTrack.get()) ||
            !PutTrackContainersBack(t, m_nTrackIndex, containers, m_arrContainerIndices,
                                    m_arrSurvivors, m_nContainerCount))
            return 0;
        RebuildView(t);
        return 1;
    });
}

// ---- Properties -------------------------------------------------------------------------------

int CKelURSBSettingsCmd::Record() {
    return RunStep([this](Target& t) {
        m_attr = t.body.GetEditAttr();
        return 1;
    });
}

int CKelURSBSettingsCmd::Swap() {
    return RunStep([this](Target& t) {
        CKelSBBodyAttr previous = t.body.GetEditAttr();
        t.body.SetEditAttr(m_attr);
        m_attr = std::move(previous);
        t.editor.FullViewRebuild();
        return 1;
    });
}

int CKelURSBSettingsCmd::Undo() {
    return Swap();
}

int CKelURSBSettingsCmd::Redo(int bFirst) {
    return bFirst ? 1 : Swap();
}

// ---- As plain data ----------------------------------------------------------------------------

namespace {

using kel::undo::GetObject;
using kel::undo::Kind;
using kel::undo::MakeKind;
using kel::undo::PutObject;
using kel::undo::URRecordReader;
using kel::undo::URRecordWriter;

// Append and insert: the track's index and the copy the last undo took.
template <typename T>
Kind TrackCopyKind(std::string_view name) {
    return MakeKind<T>(
        name,
        [](const T& c, URRecordWriter& o) {
            o.I32(c.m_nTrackIndex);
            PutObject(o, c.m_pTrack);
        },
        [](T& c, URRecordReader& i) {
            c.m_nTrackIndex = i.I32();
            c.m_pTrack = GetObject<CKelSBTrackObj>(i);
        });
}

template <typename T>
Kind TrackIndexKind(std::string_view name) {
    return MakeKind<T>(
        name, [](const T& c, URRecordWriter& o) { o.I32(c.m_nTrackIndex); },
        [](T& c, URRecordReader& i) { c.m_nTrackIndex = i.I32(); });
}

void PutRemoved(URRecordWriter& out, const KelSBRemovedTrack& removed) {
    out.I32(removed.nTrackIndex);
    out.I32(removed.nContainerCount);
    out.Ints(removed.containerIndices);
    out.Ints(removed.survivors);
    PutObject(out, removed.pTrack);
}

void GetRemoved(URRecordReader& in, KelSBRemovedTrack& removed) {
    removed.nTrackIndex = in.I32();
    removed.nContainerCount = in.I32();
    removed.containerIndices = in.Ints();
    removed.survivors = in.Ints();
    removed.pTrack = GetObject<CKelSBTrackObj>(in);
}

template <typename T>
Kind RemovedTrackKind(std::string_view name) {
    return MakeKind<T>(
        name, [](const T& c, URRecordWriter& o) { PutRemoved(o, c.m_removed); },
        [](T& c, URRecordReader& i) { GetRemoved(i, c.m_removed); });
}

} // namespace

std::vector<Kind> kel::undo::TrackCommandKinds() {
    using W = URRecordWriter;
    using R = URRecordReader;
    return {
        TrackCopyKind<CKelURSBAppendTrackCmd>("append-track"),
        TrackCopyKind<CKelURSBInsertTrackCmd>("insert-track"),
        TrackIndexKind<CKelURSBMoveupTrackCmd>("track-up"),
        TrackIndexKind<CKelURSBMovedownTrackCmd>("track-down"),
        RemovedTrackKind<CKelURSBDeleteTrackCmd>("delete-track"),
        RemovedTrackKind<CKelURSBCutTrackCmd>("cut-track"),
        MakeKind<CKelURSBPasteTrackCmd>(
            "paste-track",
            [](const CKelURSBPasteTrackCmd& c, W& o) {
                o.I32(c.m_nTrackIndex);
                o.I32(c.m_nContainerCount);
                o.Ints(c.m_arrContainerIndices);
                o.Ints(c.m_arrSurvivors);
                PutObject(o, c.m_pTrack);
            },
            [](CKelURSBPasteTrackCmd& c, R& i) {
                c.m_nTrackIndex = i.I32();
                c.m_nContainerCount = i.I32();
                c.m_arrContainerIndices = i.Ints();
                c.m_arrSurvivors = i.Ints();
                c.m_pTrack = GetObject<CKelSBTrackObj>(i);
            }),
        MakeKind<CKelURSBSettingsCmd>(
            "settings",
            [](const CKelURSBSettingsCmd& c, W& o) {
                o.I32(c.m_attr.nFrameDisplay);
                o.I32(c.m_attr.nTrackHeight);
                o.I32(c.m_attr.nPlayRangeOnly);
                o.Text(c.m_attr.strName);
                o.U32(c.m_attr.dwRangeStart);
                o.U32(c.m_attr.dwRangeEnd);
            },
            [](CKelURSBSettingsCmd& c, R& i) {
                c.m_attr.nFrameDisplay = i.I32();
                c.m_attr.nTrackHeight = i.I32();
                c.m_attr.nPlayRangeOnly = i.I32();
                c.m_attr.strName = i.Text();
                c.m_attr.dwRangeStart = i.U32();
                c.m_attr.dwRangeEnd = i.U32();
            }),
    };
}
