#include "undo/container_cmds.h"

#include "edit/edit_change.h"
#include "undo/sbedit_editor.h"
#include "undo/ur_cmd_kind.h"

#include "host/sbobject/content_icons.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/scene/play_scene.h"

#include <algorithm>
#include <functional>
#include <string_view>

using Target = CKelSBEditURBaseCmd::Target;
using ContainerCopies = std::vector<std::unique_ptr<CKelSBContainerObj>>;

KelSBContainerCopies::KelSBContainerCopies() = default;
KelSBContainerCopies::~KelSBContainerCopies() = default;

std::size_t KelSBContainerCopies::HeldBytes() const {
    std::size_t bytes = indices.capacity() * sizeof(int);
    for (const auto& pCopy : copies)
        bytes += sizeof(pCopy) + CKelSBEditURBaseCmd::ObjectBytes(pCopy.get());
    return bytes;
}

void KelSBContainerCopies::Write(kel::host::URRecordWriter& out) const {
    out.Ints(indices);
    out.U64(copies.size());
    for (const auto& pCopy : copies)
        kel::undo::PutObject(out, pCopy);
}

void KelSBContainerCopies::Read(kel::host::URRecordReader& in) {
    indices = in.Ints();
    const std::size_t n = in.Count(1);
    for (std::size_t i = 0; i < n; ++i)
        copies.push_back(kel::undo::GetObject<CKelSBContainerObj>(in));
}

std::size_t CKelURSBAddItemToSBCmd::GetHeldBytes() const {
    std::size_t bytes = CKelSBEditURBaseCmd::GetHeldBytes() + m_addedContainers.HeldBytes();
    for (const auto& pTrack : m_arrTrackCopies)
        bytes += ObjectBytes(pTrack.get());
    return bytes;
}

namespace {

bool IsDescending(const std::vector<int>& indices) {
    return std::adjacent_find(indices.begin(), indices.end(), std::less_equal<int>()) ==
           indices.end();
}

} // namespace

// ---- Adding the host's items ------------------------------------------------------------------

int CKelURSBAddItemToSBCmd::Undo() {
    return RunStep([this](Target& t) {
        const int nContainers = t.body.GetContainerCount();
        const int nTracks = t.body.GetTrackCount();
        if (m_nFirstAddedContainer < 0 || m_nFirstAddedContainer > nContainers ||
            m_nAddedTrackCount < 0 ||
            (m_nAddedTrackCount > 0 &&
             (m_nFirstAddedTrack < 0 || m_nFirstAddedTrack + m_nAddedTrackCount > nTracks)))
            return 0;
        // The added tracks hold nothing but added materials; anything else would go with them.
        ContainerCopies containerCopies;
        std::vector<int> containerIndices;
        const CKelObList& list = t.body.GetContainerList();
        int nIndex = 0;
        for (POSITION pos = list.GetHeadPosition(); pos != nullptr; ++nIndex) {
            const auto* pContainer = static_cast<const CKelSBContainerObj*>(list.GetNext(pos));
            if (nIndex >= m_nFirstAddedContainer) {
                std::unique_ptr<CKelSBContainerObj> pCopy(pContainer->MakeCopy());
                kel::edit::AttachPieces(*pCopy, &t.scene);
                containerCopies.push_back(std::move(pCopy));
                containerIndices.push_back(nIndex);
                continue;
            }
            for (INT_PTR m = 0; m < pContainer->GetContentCount(); ++m) {
                const int nTrack = pContainer->GetContentObj(m)->GetTrackIndex();
                if (nTrack >= m_nFirstAddedTrack &&
                    nTrack < m_nFirstAddedTrack + m_nAddedTrackCount)
                    return 0;
            }
        }
        std::vector<std::unique_ptr<CKelSBTrackObj>> trackCopies;
        std::vector<int> trackIndices;
        for (int k = 0; k < m_nAddedTrackCount; ++k) {
            trackCopies.emplace_back(t.body.GetTrackObj(m_nFirstAddedTrack + k)->MakeCopy());
            trackIndices.push_back(m_nFirstAddedTrack + k);
        }

        // The status line showed the added materials, which go now.
        t.editor.ClearMaterialSelection();
        t.editor.RestoreSelection(m_arrSelectedContainers, m_focus, true);
        if (const CKelSBContentBaseObj* pCurrent = t.editor.GetCurContent())
            t.editor.GetSelTrackList().AddTail(t.body.GetTrackObj(pCurrent->GetTrackIndex()));
        t.body.ClearAllTrackContentList();
        while (t.body.GetContainerCount() > m_nFirstAddedContainer)
            kel::edit::TakeContainerAt(t.body, m_nFirstAddedContainer).reset();
        // Deleting an added track (empty now) renumbers the materials below it.
        for (int k = 0; k < m_nAddedTrackCount; ++k)
            t.body.DeleteTrack(m_nFirstAddedTrack);
        m_addedContainers.copies = std::move(containerCopies);
        m_addedContainers.indices = std::move(containerIndices);
        m_arrTrackCopies = std::move(trackCopies);
        m_arrAddedTracks = std::move(trackIndices);

        t.body.ResetAllTrackContentList();
        t.editor.EnsureCurContentVisible();
        t.editor.InvalidateAll();
        t.editor.MarkModified();
        t.editor.NotifyNavigatorContent(t.editor.GetCurContent());
        return 1;
    });
}

int CKelURSBAddItemToSBCmd::Redo(int bFirst) {
    if (bFirst)
        return 1;
    return RunStep([this](Target& t) {
        const KelSBContainerCopies& added = m_addedContainers;
        if (added.copies.size() != added.indices.size() ||
            m_arrTrackCopies.size() != m_arrAddedTracks.size() ||
            t.body.GetTrackCount() + static_cast<int>(m_arrTrackCopies.size()) >
                CKelSBBodyObj::kMaxTrackCount)
            return 0;
        // Each goes in at its recorded index: none past the end of its list.
        for (std::size_t i = 0; i < m_arrAddedTracks.size(); ++i) {
            if (m_arrAddedTracks[i] < 0 ||
                m_arrAddedTracks[i] > t.body.GetTrackCount() + static_cast<int>(i))
                return 0;
        }
        for (std::size_t i = 0; i < added.indices.size(); ++i) {
            if (added.indices[i] < 0 ||
                added.indices[i] > t.body.GetContainerCount() + static_cast<int>(i))
                return 0;
        }
        ContainerCopies fresh;
        for (const auto& pCopy : added.copies)
            fresh.emplace_back(pCopy->MakeCopy());

        t.editor.GetSelTrackList().RemoveAll();
        t.editor.ClearMaterialSelection();
        // The tracks first: inserting one renumbers the materials below it, and the restored
        // materials carry their numbers already.
        for (std::size_t i = 0; i < m_arrTrackCopies.size(); ++i) {
            if (!t.body.InsertTrack(m_arrAddedTracks[i]))
                return 0;
            CKelSBTrackObj* pTrack = t.body.GetTrackObj(m_arrAddedTracks[i]);
            *pTrack = *m_arrTrackCopies[i];
            t.editor.GetSelTrackList().AddTail(pTrack);
        }
        CKelContentIconMaker icons(t.scene.GetPieceList());
        for (std::size_t i = 0; i < fresh.size(); ++i) {
            CKelSBContainerObj* pContainer = fresh[i].get();
            kel::edit::DetachPieces(*pContainer, &t.scene);
            icons.MakeFor(*pContainer);
            kel::edit::InsertContainerAt(t.body, added.indices[i], std::move(fresh[i]));
            if (i == 0)
                t.editor.SetCurContent(pContainer->GetContentObj(0));
            t.editor.GetSelContainerList().AddTail(pContainer);
        }
        t.body.ResetAllTrackContentList();
        t.editor.EnsureCurContentVisible();
        t.editor.InvalidateAll();
        t.editor.PaintNow();
        t.editor.MarkModified();
        t.editor.NotifyNavigatorContent(t.editor.GetCurContent());
        return 1;
    });
}

// ---- Deleting containers ----------------------------------------------------------------------

int CKelURSBDeleteContainerCmd::SaveContainer(int nIndex) {
    return RunStep([this, nIndex](Target& t) {
        CKelSBContainerObj* pContainer = t.body.GetContainerObj(nIndex);
        if (pContainer == nullptr)
            return 0;
        m_arrRemovedContainers.push_back(nIndex);
        return SaveContainerSnapshot(*pContainer, &t.scene, 1);
    });
}

void CKelURSBDeleteContainerCmd::AddRippleShift(int nTrack, DWORD dwFrom, long nDelta) {
    m_arrRippleShifts.push_back({nTrack, dwFrom, nDelta});
}

int CKelURSBDeleteContainerCmd::Undo() {
    return RunStep([this](Target& t) {
        // Taken before the snapshots load: the loaded materials are not in the storyboard, so
        // the track lists, current until now, stay so until the containers come in.
        kel::edit::TrackListUpkeep lists(t.body);
        ContainerCopies containers;
        if (!IsDescending(m_arrRemovedContainers) ||
            !LoadContainerSnapshots(1, containers, &t.scene) ||
            containers.size() != m_arrRemovedContainers.size())
            return 0;
        // Lowest index first (the reverse of removal); each must land where it was.
        int nCount = t.body.GetContainerCount();
        for (std::size_t i = containers.size(); i-- > 0; ++nCount) {
            if (m_arrRemovedContainers[i] < 0 || m_arrRemovedContainers[i] > nCount)
                return 0;
        }
        std::vector<int> shiftedTracks;
        // The ripples back, last first, while the deleted materials are still away.
        kel::edit::ChangeJournal journal;
        for (auto it = m_arrRippleShifts.rbegin(); it != m_arrRippleShifts.rend(); ++it) {
            shiftedTracks.push_back(it->nTrack);
            const long long from = static_cast<long long>(it->dwFrom) + it->nDelta;
            if (from < 0 || !kel::edit::ShiftTrackFrom(t.body, it->nTrack, static_cast<DWORD>(from),
                                                       -it->nDelta, journal))
                return 0;
        }
        journal.Commit();

        std::vector<CRect> rects;
        t.editor.CollectSelectionRects(rects);
        t.editor.GetSelContainerList().RemoveAll();
        t.editor.SetCurContent(nullptr);
        CKelContentIconMaker icons(t.scene.GetPieceList());
        std::vector<const CKelSBContainerObj*> back;
        for (std::size_t i = containers.size(); i-- > 0;) {
            const int nIndex = m_arrRemovedContainers[i];
            CKelSBContainerObj& container = *containers[i];
            back.push_back(&container);
            kel::edit::InsertContainerAt(t.body, nIndex, std::move(containers[i]));
            kel::edit::DetachPieces(container, &t.scene);
            // A snapshot keeps no pictures: without them the materials would show black.
            icons.MakeFor(container);
            t.editor.GetSelContainerList().AddTail(&container);
            if (nIndex == m_focus.nContainer && t.editor.GetCurContent() == nullptr)
                t.editor.SetCurContent(container.GetContentObj(m_focus.nContent));
        }
        // Into the track lists once all are back, their indices final.
        for (const CKelSBContainerObj* pContainer : back)
            lists.Insert(*pContainer);
        lists.Done(shiftedTracks);
        std::vector<CRect> after;
        t.editor.CollectSelectionRects(after);
        rects.insert(rects.end(), after.begin(), after.end());
        t.editor.InvalidateRects(rects);
        return 1;
    });
}

int CKelURSBDeleteContainerCmd::Redo(int bFirst) {
    if (bFirst)
        return 1;
    return RunStep([this](Target& t) {
        // Highest index first: each container is still at its recorded index when its turn
        // comes.
        if (!IsDescending(m_arrRemovedContainers))
            return 0;
        std::vector<CKelSBContainerObj*> removed;
        for (int nIndex : m_arrRemovedContainers) {
            CKelSBContainerObj* pContainer = t.body.GetContainerObj(nIndex);
            if (pContainer == nullptr)
                return 0;
            removed.push_back(pContainer);
        }
        kel::edit::TrackListUpkeep lists(t.body);
        std::vector<int> shiftedTracks;
        // The ripples again, passing over the materials that go.
        kel::edit::ContentSet leaving;
        for (const CKelSBContainerObj* pContainer : removed) {
            for (INT_PTR m = 0; m < pContainer->GetContentCount(); ++m)
                leaving.insert(pContainer->GetContentObj(m));
        }
        kel::edit::ChangeJournal journal;
        for (const RippleShift& shift : m_arrRippleShifts) {
            shiftedTracks.push_back(shift.nTrack);
            if (!kel::edit::ShiftTrackFrom(t.body, shift.nTrack, shift.dwFrom, shift.nDelta,
                                           journal, &leaving))
                return 0;
        }
        journal.Commit();

        t.editor.SetCurContent(nullptr);
        t.editor.GetSelContainerList().RemoveAll();
        for (const CKelSBContainerObj* pContainer : removed)
            lists.Remove(*pContainer);
        for (int nIndex : m_arrRemovedContainers)
            kel::edit::TakeContainerAt(t.body, nIndex).reset();
        lists.Done(shiftedTracks);
        t.editor.ResetViewKeepingModel();
        return 1;
    });
}

// ---- Dragging in from outside -----------------------------------------------------------------

int CKelURSBDragFromOutCmd::Undo() {
    return RunStep([this](Target& t) {
        const int nFirst = m_nFirstNewContainer;
        if (nFirst < 0 || m_nNewContainerCount < 0 ||
            nFirst + m_nNewContainerCount > t.body.GetContainerCount() ||
            (m_nShift != 0 && t.body.GetTrackObj(m_nDropTrack) == nullptr))
            return 0;
        std::vector<CKelSBContainerObj*> added;
        kel::edit::ContentSet leaving;
        for (int k = 0; k < m_nNewContainerCount; ++k) {
            added.push_back(t.body.GetContainerObj(nFirst + k));
            for (INT_PTR m = 0; m < added.back()->GetContentCount(); ++m)
                leaving.insert(added.back()->GetContentObj(m));
        }
        kel::edit::TrackListUpkeep lists(t.body);
        // The pushed materials back first, passing over the dropped ones.
        kel::edit::ChangeJournal journal;
        if (m_nShift != 0 &&
            !kel::edit::ShiftTrackFrom(t.body, m_nDropTrack, m_dwShiftThreshold,
                                       -static_cast<long>(m_nShift), journal, &leaving))
            return 0;
        ClearSnapshotFiles(1);
        m_arrRestoredContainers.clear();
        for (int k = 0; k < m_nNewContainerCount; ++k) {
            SaveContainerSnapshot(*added[static_cast<std::size_t>(k)], &t.scene, 1);
            m_arrRestoredContainers.push_back(nFirst + k);
        }
        journal.Commit();

        std::vector<CRect> rects;
        t.editor.CollectSelectionRects(rects);
        for (const CKelSBContainerObj* pContainer : added)
            lists.Remove(*pContainer);
        for (int k = 0; k < m_nNewContainerCount; ++k) {
            std::unique_ptr<CKelSBContainerObj> pGone = kel::edit::TakeContainerAt(t.body, nFirst);
            if (POSITION pos = t.editor.GetSelContainerList().Find(pGone.get()))
                t.editor.GetSelContainerList().RemoveAt(pos);
        }
        t.editor.SetCurContent(nullptr);
        t.editor.ClearMaterialSelection();
        lists.Done({m_nDropTrack});
        t.editor.RestoreSelection(m_arrSelectedContainers, m_focus, false);
        std::vector<CRect> after;
        t.editor.CollectSelectionRects(after);
        rects.insert(rects.end(), after.begin(), after.end());
        t.editor.InvalidateRects(rects);
        t.editor.InvalidateAll();
        return 1;
    });
}

int CKelURSBDragFromOutCmd::Redo(int bFirst) {
    if (bFirst)
        return 1;
    return RunStep([this](Target& t) {
        kel::edit::TrackListUpkeep lists(t.body); // before the load, as in a delete's undo
        ContainerCopies containers;
        if (!LoadContainerSnapshots(1, containers, &t.scene) ||
            containers.size() != m_arrRestoredContainers.size() ||
            (m_nShift != 0 && t.body.GetTrackObj(m_nDropTrack) == nullptr))
            return 0;
        int nCount = t.body.GetContainerCount();
        for (std::size_t k = 0; k < containers.size(); ++k, ++nCount) {
            if (m_arrRestoredContainers[k] < 0 || m_arrRestoredContainers[k] > nCount)
                return 0;
        }
        std::vector<CRect> rects;
        t.editor.CollectSelectionRects(rects);
        kel::edit::ChangeJournal journal;
        if (m_nShift != 0 &&
            !kel::edit::ShiftTrackFrom(t.body, m_nDropTrack, m_dwShiftThreshold, m_nShift, journal))
            return 0;
        journal.Commit();

        t.editor.ClearMaterialSelection();
        CKelContentIconMaker icons(t.scene.GetPieceList());
        for (std::size_t k = 0; k < containers.size(); ++k) {
            CKelSBContainerObj* pContainer = containers[k].get();
            kel::edit::InsertContainerAt(t.body, m_arrRestoredContainers[k],
                                         std::move(containers[k]));
            kel::edit::DetachPieces(*pContainer, &t.scene);
            icons.MakeFor(*pContainer);
            lists.Insert(*pContainer);
            t.editor.GetSelContainerList().AddTail(pContainer);
            if (k == 0)
                t.editor.SetCurContent(pContainer->GetContentObj(0));
        }
        lists.Done({m_nDropTrack});
        std::vector<CRect> after;
        t.editor.CollectSelectionRects(after);
        rects.insert(rects.end(), after.begin(), after.end());
        t.editor.InvalidateRects(rects);
        return 1;
    });
}

// ---- As plain data ----------------------------------------------------------------------------

namespace {

using kel::undo::GetFocus;
using kel::undo::GetObject;
using kel::undo::Kind;
using kel::undo::MakeKind;
using kel::undo::PutFocus;
using kel::undo::PutObject;
using kel::undo::URRecordReader;
using kel::undo::URRecordWriter;

void PutTracks(URRecordWriter& out, const std::vector<std::unique_ptr<CKelSBTrackObj>>& tracks) {
    out.U64(tracks.size());
    for (const auto& track : tracks)
        PutObject(out, track);
}

void GetTracks(URRecordReader& in, std::vector<std::unique_ptr<CKelSBTrackObj>>& tracks) {
    const std::size_t n = in.Count(1);
    for (std::size_t i = 0; i < n; ++i)
        tracks.push_back(GetObject<CKelSBTrackObj>(in));
}

} // namespace

std::vector<Kind> kel::undo::ContainerCommandKinds() {
    using W = URRecordWriter;
    using R = URRecordReader;
    return {
        MakeKind<CKelURSBAddItemToSBCmd>(
            "add-items",
            [](const CKelURSBAddItemToSBCmd& c, W& o) {
                PutFocus(o, c.m_focus);
                o.I32(c.m_nFirstAddedContainer);
                o.I32(c.m_nFirstAddedTrack);
                o.I32(c.m_nAddedTrackCount);
                o.Ints(c.m_arrSelectedContainers);
                c.m_addedContainers.Write(o);
                o.Ints(c.m_arrAddedTracks);
                PutTracks(o, c.m_arrTrackCopies);
            },
            [](CKelURSBAddItemToSBCmd& c, R& i) {
                c.m_focus = GetFocus(i);
                c.m_nFirstAddedContainer = i.I32();
                c.m_nFirstAddedTrack = i.I32();
                c.m_nAddedTrackCount = i.I32();
                c.m_arrSelectedContainers = i.Ints();
                c.m_addedContainers.Read(i);
                c.m_arrAddedTracks = i.Ints();
                GetTracks(i, c.m_arrTrackCopies);
            }),
        MakeKind<CKelURSBDeleteContainerCmd>(
            "delete",
            [](const CKelURSBDeleteContainerCmd& c, W& o) {
                PutFocus(o, c.m_focus);
                o.Ints(c.m_arrRemovedContainers);
                o.U64(c.m_arrRippleShifts.size());
                for (const auto& shift : c.m_arrRippleShifts) {
                    o.I32(shift.nTrack);
                    o.U32(shift.dwFrom);
                    o.U64(static_cast<std::uint64_t>(static_cast<std::int64_t>(shift.nDelta)));
                }
            },
            [](CKelURSBDeleteContainerCmd& c, R& i) {
                c.m_focus = GetFocus(i);
                c.m_arrRemovedContainers = i.Ints();
                c.m_arrRippleShifts.resize(i.Count(16));
                for (auto& shift : c.m_arrRippleShifts) {
                    shift.nTrack = i.I32();
                    shift.dwFrom = i.U32();
                    shift.nDelta = static_cast<long>(static_cast<std::int64_t>(i.U64()));
                }
            }),
        MakeKind<CKelURSBDragFromOutCmd>(
            "drag-in",
            [](const CKelURSBDragFromOutCmd& c, W& o) {
                o.I32(c.m_nShift);
                o.I32(c.m_nDropTrack);
                o.U32(c.m_dwShiftThreshold);
                o.I32(c.m_nFirstNewContainer);
                o.I32(c.m_nNewContainerCount);
                o.Ints(c.m_arrSelectedContainers);
                PutFocus(o, c.m_focus);
                o.Ints(c.m_arrRestoredContainers);
            },
            [](CKelURSBDragFromOutCmd& c, R& i) {
                c.m_nShift = i.I32();
                c.m_nDropTrack = i.I32();
                c.m_dwShiftThreshold = i.U32();
                c.m_nFirstNewContainer = i.I32();
                c.m_nNewContainerCount = i.I32();
                c.m_arrSelectedContainers = i.Ints();
                c.m_focus = GetFocus(i);
                c.m_arrRestoredContainers = i.Ints();
            }),
    };
}
