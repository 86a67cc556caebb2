#include "undo/material_cmds.h"

#include "edit/edit_change.h"
#include "edit/edit_clip_fx.h"
#include "undo/sbedit_editor.h"
#include "undo/ur_cmd_kind.h"

#include "host/effects/io_effect.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/scene/play_scene.h"

#include <array>
#include <string_view>

using kel::edit::ChangeJournal;
using Target = CKelSBEditURBaseCmd::Target;

// ---- Change length ----------------------------------------------------------------------------

namespace {
// Finds the material whose end equals dwFrom and sets that end to dwTo.
int MoveEnd(Target& t, int nTrack, int bInPoint, DWORD dwFrom, DWORD dwTo) {
    kel::edit::TrackListUpkeep lists(t.body);
    ChangeJournal journal;
    if (CKelSBContentBaseObj* pContent = kel::edit::FindByFrame(t.body, nTrack, dwFrom, bInPoint)) {
        if (!kel::edit::SetPoint(*pContent, dwTo, bInPoint, journal))
            return 0;
    }
    journal.Commit();
    lists.Done({nTrack});
    t.editor.ShowSelectedSpan();
    t.editor.InvalidateAll();
    return 1;
}
} // namespace

int CKelURSBChangeLengthCmd::Undo() {
    return RunStep([this](Target& t) {
        return MoveEnd(t, m_nTrackIndex, m_nSide == 1, m_dwNewFrame, m_dwOldFrame);
    });
}

int CKelURSBChangeLengthCmd::Redo(int bFirst) {
    if (bFirst)
        return 1;
    return RunStep([this](Target& t) {
        return MoveEnd(t, m_nTrackIndex, m_nSide == 1, m_dwOldFrame, m_dwNewFrame);
    });
}

// ---- Clip in and out --------------------------------------------------------------------------

std::function<int(Target&)> KelSBClipRecord::Step(bool bUndo) const {
    return [this, bUndo](Target& t) {
        const std::vector<int>& tracks = frames.tracks;
        const std::vector<long>& from = bUndo ? frames.newFrames : frames.oldFrames;
        const std::vector<long>& to = bUndo ? frames.oldFrames : frames.newFrames;
        if (from.size() != tracks.size() || to.size() != tracks.size())
            return 0;
        kel::edit::TrackListUpkeep lists(t.body);
        ChangeJournal journal;
        for (std::size_t i = 0; i < tracks.size(); ++i) {
            CKelSBContentBaseObj* pContent =
                kel::edit::FindByFrame(t.body, tracks[i], static_cast<DWORD>(from[i]), bInPoint);
            if (pContent != nullptr &&
                !kel::edit::SetPoint(*pContent, static_cast<DWORD>(to[i]), bInPoint, journal))
                return 0;
        }
        journal.Commit();
        lists.Done(tracks);
        t.editor.ShowSelectedSpan();
        t.body.ResetKeyPointList();
        t.editor.InvalidateAll();
        return 1;
    };
}

int CKelURSBClipInCmd::Undo() {
    return RunStep(m_clip.Step(true));
}

int CKelURSBClipInCmd::Redo(int bFirst) {
    return bFirst ? 1 : RunStep(m_clip.Step(false));
}

CKelURSBClipOutCmd::CKelURSBClipOutCmd(CKelSBEditorServices* pEditor, unsigned int nTextId,
                                       CString strText)
    : CKelSBEditURBaseCmd(pEditor, nTextId, std::move(strText)) {
    m_clip.bInPoint = 0;
}

int CKelURSBClipOutCmd::Undo() {
    return RunStep(m_clip.Step(true));
}

int CKelURSBClipOutCmd::Redo(int bFirst) {
    return bFirst ? 1 : RunStep(m_clip.Step(false));
}

// ---- Delete space -----------------------------------------------------------------------------

namespace {
// Every material of the track at or after dwFrom moves to start dwTo - dwFrom later. Moving a
// whole tail keeps the track's order, so its list needs no rebuild, only a check.
int MoveTail(Target& t, int nTrack, DWORD dwFrom, DWORD dwTo) {
    kel::edit::TrackListUpkeep lists(t.body);
    ChangeJournal journal;
    const long nDelta = static_cast<long>(dwTo) - static_cast<long>(dwFrom);
    if (!kel::edit::ShiftTrackFrom(t.body, nTrack, dwFrom, nDelta, journal))
        return 0;
    journal.Commit();
    lists.Done({nTrack});
    t.editor.InvalidateAll();
    return 1;
}
} // namespace

int CKelURSBDeleteSpaceCmd::Undo() {
    return RunStep(
        [this](Target& t) { return MoveTail(t, m_nTrackIndex, m_dwNewFrame, m_dwOldFrame); });
}

int CKelURSBDeleteSpaceCmd::Redo(int bFirst) {
    if (bFirst)
        return 1;
    return RunStep(
        [this](Target& t) { return MoveTail(t, m_nTrackIndex, m_dwOldFrame, m_dwNewFrame); });
}

// ---- Same length ------------------------------------------------------------------------------

namespace {
// Every material of the track that starts at dwStoryIn gets the length.
bool Resize(Target& t, DWORD dwTrack, DWORD dwStoryIn, DWORD dwLength, ChangeJournal& journal) {
    const CKelSBTrackObj* pTrack = t.body.GetTrackObj(static_cast<int>(dwTrack));
    if (pTrack == nullptr)
        return false;
    const CObList& contents = pTrack->GetContentList();
    for (POSITION pos = contents.GetHeadPosition(); pos != nullptr;) {
        auto* pContent = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, contents.GetNext(pos));
        if (pContent != nullptr && pContent->GetStoryIn() == dwStoryIn &&
            !kel::edit::SetPoint(*pContent, dwStoryIn + dwLength, 0, journal))
            return false;
    }
    return true;
}
} // namespace

namespace {
// Resizing keeps a material's story in and shifting moves a track's tail as one, so the track
// lists keep their order: only these tracks' lists changed.
std::vector<int> TracksOf(const kel::edit::SameLengthRecord& record) {
    std::vector<int> tracks(record.resizedTracks.begin(), record.resizedTracks.end());
    tracks.insert(tracks.end(), record.shiftedTracks.begin(), record.shiftedTracks.end());
    return tracks;
}
} // namespace

int CKelURSBSameLengthCmd::Undo() {
    return RunStep([this](Target& t) {
        const std::size_t nResized = m_record.resizedTracks.size();
        const std::size_t nShifted = m_record.shiftedTracks.size();
        if (m_record.resizedStoryIns.size() != nResized || m_record.oldLengths.size() != nResized ||
            m_record.shiftThresholds.size() != nShifted || m_record.shiftAmounts.size() != nShifted)
            return 0;
        kel::edit::TrackListUpkeep lists(t.body);
        ChangeJournal journal;
        for (std::size_t i = 0; i < nResized; ++i) {
            if (!Resize(t, m_record.resizedTracks[i], m_record.resizedStoryIns[i],
                        m_record.oldLengths[i], journal))
                return 0;
        }
        for (std::size_t j = nShifted; j-- > 0;) {
            if (!kel::edit::ShiftTrackFrom(t.body, static_cast<int>(m_record.shiftedTracks[j]),
                                           m_record.shiftThresholds[j],
                                           -static_cast<long>(m_record.shiftAmounts[j]), journal))
                return 0;
        }
        journal.Commit();
        lists.Done(TracksOf(m_record));
        t.editor.ShowSelectedSpan();
        t.editor.InvalidateAll();
        return 1;
    });
}

int CKelURSBSameLengthCmd::Redo(int bFirst) {
    if (bFirst)
        return 1;
    return RunStep([this](Target& t) {
        const std::size_t nResized = m_record.resizedTracks.size();
        const std::size_t nShifted = m_record.shiftedTracks.size();
        if (m_record.resizedStoryIns.size() != nResized ||
            m_record.shiftThresholds.size() != nShifted || m_record.shiftAmounts.size() != nShifted)
            return 0;
        kel::edit::TrackListUpkeep lists(t.body);
        ChangeJournal journal;
        for (std::size_t j = 0; j < nShifted; ++j) {
            if (m_record.shiftThresholds[j] < m_record.shiftAmounts[j] ||
                !kel::edit::ShiftTrackFrom(t.body, static_cast<int>(m_record.shiftedTracks[j]),
                                           m_record.shiftThresholds[j] - m_record.shiftAmounts[j],
                                           static_cast<long>(m_record.shiftAmounts[j]), journal))
                return 0;
        }
        for (std::size_t i = 0; i < nResized; ++i) {
            if (!Resize(t, m_record.resizedTracks[i], m_record.resizedStoryIns[i],
                        m_record.dwLength, journal))
                return 0;
        }
        journal.Commit();
        lists.Done(TracksOf(m_record));
        t.editor.ShowSelectedSpan();
        t.editor.InvalidateAll();
        return 1;
    });
}

// ---- Moves ------------------------------------------------------------------------------------

int CKelURSBDragWithinSBCmd::Apply(bool bNew) {
    return RunStep([this, bNew](Target& t) {
        // Each moved material leaves its track's list and joins its new track's: only the
        // lists of the tracks the move touched change.
        kel::edit::TrackListUpkeep lists(t.body);
        ChangeJournal journal;
        const auto fail = [&] {
            journal.Rollback();
            t.body.ResetAllTrackContentList();
            return 0;
        };
        for (const Entry& entry : m_entries) {
            // A container that is no longer there leaves its entry out.
            const CKelSBContainerObj* pContainer = t.body.GetContainerObj(entry.nContainer);
            CKelSBContentBaseObj* pContent =
                kel::edit::ContentAt(t.body, entry.nContainer, entry.nContent);
            if (pContent == nullptr)
                continue;
            const int nTrack = bNew ? entry.nNewTrack : entry.nOldTrack;
            const int nStoryIn = bNew ? entry.nNewStoryIn : entry.nOldStoryIn;
            if (nTrack < 0 || nTrack >= t.body.GetTrackCount() || nStoryIn < 0)
                return fail();
            lists.RemoveContent(*pContent);
            journal.Keep(*pContent);
            pContent->SetTrackIndex(static_cast<WORD>(nTrack));
            if (!pContent->SetStoryIn(static_cast<DWORD>(nStoryIn), 1))
                return fail();
            lists.InsertContent(*pContent, *pContainer);
        }
        journal.Commit();
        lists.Done();
        // Clearing the selection clears the status line too: it showed where the materials
        // were before this step.
        t.editor.ClearTrackSelection();
        t.editor.ClearMaterialSelection();
        t.editor.RestoreSelection(m_arrSelectedContainers, m_focus, true);
        t.editor.EnsureCurContentVisible();
        t.editor.InvalidateAll();
        t.editor.PaintNow();
        t.editor.PaintFrameNow();
        t.editor.MarkModified();
        return 1;
    });
}

int CKelURSBDragWithinSBCmd::Undo() {
    return Apply(false);
}

int CKelURSBDragWithinSBCmd::Redo(int bFirst) {
    return bFirst ? 1 : Apply(true);
}

// ---- In/Out mode ------------------------------------------------------------------------------

CKelURSBIOModeCmd::~CKelURSBIOModeCmd() = default;

std::size_t CKelURSBIOModeCmd::GetHeldBytes() const {
    return CKelSBEditURBaseCmd::GetHeldBytes() + ObjectBytes(m_pStoredContent.get());
}

int CKelURSBIOModeCmd::Swap() {
    return RunStep([this](Target& t) {
        CKelSBContainerObj* pContainer = t.body.GetContainerObj(m_nContainerIndex);
        CKelObList* pContents = pContainer ? &pContainer->GetContentList() : nullptr;
        POSITION pos =
            pContents && m_nContentIndex >= 0 ? pContents->FindIndex(m_nContentIndex) : nullptr;
        auto* pCurrent =
            pos ? DYNAMIC_DOWNCAST(CKelSBContentBaseObj, pContents->GetAt(pos)) : nullptr;
        if (pCurrent == nullptr || !m_pStoredContent)
            return 0;
        // The lists are taken while current: the copies below move the model's generation.
        kel::edit::TrackListUpkeep lists(t.body);
        // Everything that can fail first: the material going in, and the one coming out kept
        // with its pieces.
        std::unique_ptr<CKelSBContentBaseObj> pIncoming(m_pStoredContent->MakeCopy());
        std::unique_ptr<CKelSBContentBaseObj> pOutgoing(pCurrent->MakeCopy());
        kel::edit::AttachPieces(*pOutgoing, &t.scene);

        lists.RemoveContent(*pCurrent); // the list must not name the material that goes
        pContents->SetAt(pos, pIncoming.get());
        kel::edit::DetachPieces(*pIncoming, &t.scene);
        CKelSBContentBaseObj& incoming = *pIncoming.release(); // the container has it now
        delete pCurrent;
        lists.InsertContent(incoming, *pContainer);
        lists.Done();
        CObList one;
        one.AddTail(&incoming);
        CKelSBBodyObj::MakePieceContentIcon(one, t.scene.GetPieceList());
        m_pStoredContent = std::move(pOutgoing);
        t.editor.ResetViewKeepingModel();
        return 1;
    });
}

int CKelURSBIOModeCmd::Undo() {
    return Swap();
}

int CKelURSBIOModeCmd::Redo(int bFirst) {
    return bFirst ? 1 : Swap();
}

// ---- Piece replacement ------------------------------------------------------------------------

int CKelURSBReplacePieceCmd::Apply(const KelGUID& from, const KelGUID& to) {
    return RunStep([this, &from, &to](Target& t) {
        CKelSBContentBaseObj* pContent =
            kel::edit::ContentAt(t.body, m_material.nContainer, m_material.nContent);
        if (pContent == nullptr || !(pContent->GetGUID() == from))
            return 0;
        pContent->SetGUID(to);
        CObList one;
        one.AddTail(pContent);
        CKelSBBodyObj::MakePieceContentIcon(one, t.scene.GetPieceList());
        std::vector<CRect> rects{t.editor.GetMaterialRect(pContent)};
        t.editor.InvalidateRects(rects);
        t.editor.MarkModified();
        return 1;
    });
}

int CKelURSBReplacePieceCmd::Undo() {
    return Apply(m_newGUID, m_oldGUID);
}

int CKelURSBReplacePieceCmd::Redo(int bFirst) {
    return bFirst ? 1 : Apply(m_oldGUID, m_newGUID);
}

// ---- FX paste ---------------------------------------------------------------------------------

CKelURSBIOSoftFXPasteCmd::~CKelURSBIOSoftFXPasteCmd() = default;

std::size_t CKelURSBIOSoftFXPasteCmd::GetHeldBytes() const {
    std::size_t bytes = CKelSBEditURBaseCmd::GetHeldBytes();
    for (const auto& effects : m_arrEffects) {
        for (const auto& pEffect : effects)
            bytes += ObjectBytes(pEffect.get());
    }
    return bytes;
}

int CKelURSBIOSoftFXPasteCmd::Swap() {
    return RunStep([this](Target& t) {
        // The effects to swap, per phase; every one must be there, with its stored counterpart,
        // before anything changes.
        std::array<std::vector<CKelIOSoftEffectBaseObj*>, 3> targets;
        std::array<std::vector<std::unique_ptr<CKelIOSoftEffectBaseObj>>, 3> outgoing;
        for (int nPhase = 0; nPhase < 3; ++nPhase) {
            if (m_arrTargets[nPhase].size() != m_arrEffects[nPhase].size())
                return 0;
            for (const kel::edit::Focus& at : m_arrTargets[nPhase]) {
                const CKelSBContentBaseObj* pContent =
                    kel::edit::ContentAt(t.body, at.nContainer, at.nContent);
                if (kel::edit::EffectPhaseOf(pContent) != nPhase)
                    return 0;
                CKelIOSoftEffectBaseObj* pEffect =
                    static_cast<const CKelSBContentPieceBaseObj*>(pContent)->GetIOSoftEffect();
                if (pEffect == nullptr)
                    return 0;
                targets[nPhase].push_back(pEffect);
                outgoing[nPhase].emplace_back(pEffect->MakeCopy());
            }
        }

        std::vector<CRect> rects;
        t.editor.CollectSelectionRects(rects);
        t.editor.ClearMaterialSelection(); // the status line goes with the selection
        t.editor.RestoreSelection(m_arrSelectedContainers, m_focus, true);
        for (int nPhase = 0; nPhase < 3; ++nPhase) {
            for (std::size_t k = 0; k < targets[nPhase].size(); ++k) {
                *targets[nPhase][k] = *m_arrEffects[nPhase][k];
                m_arrEffects[nPhase][k] = std::move(outgoing[nPhase][k]);
            }
        }
        std::vector<CRect> after;
        t.editor.CollectSelectionRects(after);
        rects.insert(rects.end(), after.begin(), after.end());
        t.editor.InvalidateRects(rects);
        t.editor.GetSelTrackList().RemoveAll();
        t.editor.GetSelContainerList().RemoveAll();
        t.editor.SetCurContent(nullptr);
        return 1;
    });
}

int CKelURSBIOSoftFXPasteCmd::Undo() {
    return Swap();
}

int CKelURSBIOSoftFXPasteCmd::Redo(int bFirst) {
    return bFirst ? 1 : Swap();
}

// ---- As plain data ----------------------------------------------------------------------------

namespace {

using kel::undo::GetFocus;
using kel::undo::GetGUID;
using kel::undo::GetNumbers;
using kel::undo::GetObject;
using kel::undo::Kind;
using kel::undo::MakeKind;
using kel::undo::PutFocus;
using kel::undo::PutGUID;
using kel::undo::PutNumbers;
using kel::undo::PutObject;
using kel::undo::URRecordReader;
using kel::undo::URRecordWriter;

void PutClip(URRecordWriter& out, const KelSBClipRecord& clip) {
    out.I32(clip.bInPoint);
    out.Ints(clip.frames.tracks);
    PutNumbers(out, clip.frames.oldFrames);
    PutNumbers(out, clip.frames.newFrames);
}

void GetClip(URRecordReader& in, KelSBClipRecord& clip) {
    clip.bInPoint = in.I32();
    clip.frames.tracks = in.Ints();
    clip.frames.oldFrames = GetNumbers<long>(in);
    clip.frames.newFrames = GetNumbers<long>(in);
}

template <typename T>
Kind ClipKind(std::string_view name) {
    return MakeKind<T>(
        name, [](const T& c, URRecordWriter& o) { PutClip(o, c.m_clip); },
        [](T& c, URRecordReader& i) { GetClip(i, c.m_clip); });
}

} // namespace

std::vector<Kind> kel::undo::MaterialCommandKinds() {
    using W = URRecordWriter;
    using R = URRecordReader;
    return {
        MakeKind<CKelURSBChangeLengthCmd>(
            "trim",
            [](const CKelURSBChangeLengthCmd& c, W& o) {
                o.I32(c.m_nTrackIndex);
                o.I32(c.m_nSide);
                o.U32(c.m_dwOldFrame);
                o.U32(c.m_dwNewFrame);
            },
            [](CKelURSBChangeLengthCmd& c, R& i) {
                c.m_nTrackIndex = i.I32();
                c.m_nSide = i.I32();
                c.m_dwOldFrame = i.U32();
                c.m_dwNewFrame = i.U32();
            }),
        ClipKind<CKelURSBClipInCmd>("clip-in"),
        ClipKind<CKelURSBClipOutCmd>("clip-out"),
        MakeKind<CKelURSBDeleteSpaceCmd>(
            "delete-space",
            [](const CKelURSBDeleteSpaceCmd& c, W& o) {
                o.I32(c.m_nTrackIndex);
                o.U32(c.m_dwOldFrame);
                o.U32(c.m_dwNewFrame);
            },
            [](CKelURSBDeleteSpaceCmd& c, R& i) {
                c.m_nTrackIndex = i.I32();
                c.m_dwOldFrame = i.U32();
                c.m_dwNewFrame = i.U32();
            }),
        MakeKind<CKelURSBSameLengthCmd>(
            "same-length",
            [](const CKelURSBSameLengthCmd& c, W& o) {
                const kel::edit::SameLengthRecord& r = c.m_record;
                o.U32(r.dwLength);
                for (const auto* v : {&r.resizedTracks, &r.resizedStoryIns, &r.oldLengths,
                                      &r.shiftedTracks, &r.shiftThresholds, &r.shiftAmounts})
                    PutNumbers(o, *v);
                o.Ints(r.touchedTracks);
            },
            [](CKelURSBSameLengthCmd& c, R& i) {
                kel::edit::SameLengthRecord& r = c.m_record;
                r.dwLength = i.U32();
                for (auto* v : {&r.resizedTracks, &r.resizedStoryIns, &r.oldLengths,
                                &r.shiftedTracks, &r.shiftThresholds, &r.shiftAmounts})
                    *v = GetNumbers<DWORD>(i);
                r.touchedTracks = i.Ints();
            }),
        MakeKind<CKelURSBDragWithinSBCmd>(
            "move",
            [](const CKelURSBDragWithinSBCmd& c, W& o) {
                PutFocus(o, c.m_focus);
                o.Ints(c.m_arrSelectedContainers);
                o.U64(c.m_entries.size());
                for (const auto& e : c.m_entries) {
                    for (const int v : {e.nContainer, e.nContent, e.nOldTrack, e.nOldStoryIn,
                                        e.nNewTrack, e.nNewStoryIn})
                        o.I32(v);
                }
            },
            [](CKelURSBDragWithinSBCmd& c, R& i) {
                c.m_focus = GetFocus(i);
                c.m_arrSelectedContainers = i.Ints();
                c.m_entries.resize(i.Count(24));
                for (auto& e : c.m_entries) {
                    for (int* v : {&e.nContainer, &e.nContent, &e.nOldTrack, &e.nOldStoryIn,
                                   &e.nNewTrack, &e.nNewStoryIn})
                        *v = i.I32();
                }
            }),
        MakeKind<CKelURSBIOModeCmd>(
            "io-mode",
            [](const CKelURSBIOModeCmd& c, W& o) {
                o.I32(c.m_nContainerIndex);
                o.I32(c.m_nContentIndex);
                PutObject(o, c.m_pStoredContent);
            },
            [](CKelURSBIOModeCmd& c, R& i) {
                c.m_nContainerIndex = i.I32();
                c.m_nContentIndex = i.I32();
                c.m_pStoredContent = GetObject<CKelSBContentBaseObj>(i);
            }),
        MakeKind<CKelURSBReplacePieceCmd>(
            "replace-piece",
            [](const CKelURSBReplacePieceCmd& c, W& o) {
                PutFocus(o, c.m_material);
                PutGUID(o, c.m_oldGUID);
                PutGUID(o, c.m_newGUID);
            },
            [](CKelURSBReplacePieceCmd& c, R& i) {
                c.m_material = GetFocus(i);
                c.m_oldGUID = GetGUID(i);
                c.m_newGUID = GetGUID(i);
            }),
        MakeKind<CKelURSBIOSoftFXPasteCmd>(
            "fx-paste",
            [](const CKelURSBIOSoftFXPasteCmd& c, W& o) {
                PutFocus(o, c.m_focus);
                o.Ints(c.m_arrSelectedContainers);
                for (int k = 0; k < 3; ++k) {
                    o.U64(c.m_arrEffects[k].size());
                    for (const auto& effect : c.m_arrEffects[k])
                        PutObject(o, effect);
                    o.U64(c.m_arrTargets[k].size());
                    for (const auto& target : c.m_arrTargets[k])
                        PutFocus(o, target);
                }
            },
            [](CKelURSBIOSoftFXPasteCmd& c, R& i) {
                c.m_focus = GetFocus(i);
                c.m_arrSelectedContainers = i.Ints();
                for (int k = 0; k < 3; ++k) {
                    const std::size_t effects = i.Count(1);
                    for (std::size_t e = 0; e < effects; ++e)
                        c.m_arrEffects[k].push_back(GetObject<CKelIOSoftEffectBaseObj>(i));
                    c.m_arrTargets[k].resize(i.Count(8));
                    for (auto& target : c.m_arrTargets[k])
                        target = GetFocus(i);
                }
            }),
    };
}
