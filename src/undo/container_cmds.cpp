#include "undo/container_cmds.h"

#include "edit/edit_arrange.h"
#include "edit/edit_change.h"
#include "undo/sbedit_editor.h"

#include "host/sbobject/content_icons.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/scene/play_scene.h"

#include <algorithm>
#include <functional>

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

std::size_t CKelURSBUnionContainerCmd::GetHeldBytes() const {
    return CKelSBEditURBaseCmd::GetHeldBytes() + m_recorded.HeldBytes();
}

std::size_t CKelURSBSplitContainerCmd::GetHeldBytes() const {
    return CKelSBEditURBaseCmd::GetHeldBytes() + m_recorded.HeldBytes();
}

std::size_t CKelURSBAddItemToSBCmd::GetHeldBytes() const {
    std::size_t bytes = CKelSBEditURBaseCmd::GetHeldBytes() + m_addedContainers.HeldBytes();
    for (const auto& pTrack : m_arrTrackCopies)
        bytes += ObjectBytes(pTrack.get());
    return bytes;
}

namespace {

// Merge and split: the operation records a copy of each container it is about to change, and
// undo puts fresh copies of those back (the command keeps its own), with nothing selected.
std::function<int(Target&)> RecordCopies(const std::vector<int>& indices,
                                         KelSBContainerCopies& recorded) {
    return [&indices, &recorded](Target& t) {
        const std::vector<CKelSBContainerObj*> containers =
            kel::edit::ContainersAt(t.body, indices);
        if (containers.size() != indices.size())
            return 0;
        ContainerCopies copies;
        for (const CKelSBContainerObj* pContainer : containers) {
            std::unique_ptr<CKelSBContainerObj> pCopy(pContainer->MakeCopy());
            kel::edit::AttachPieces(*pCopy, &t.scene);
            copies.push_back(std::move(pCopy));
        }
        recorded.copies = std::move(copies);
        recorded.indices = indices;
        return 1;
    };
}

// Fresh copies of what a command keeps, their pieces still attached.
ContainerCopies FreshCopies(const KelSBContainerCopies& recorded) {
    ContainerCopies fresh;
    for (const auto& pCopy : recorded.copies)
        fresh.emplace_back(pCopy->MakeCopy());
    return fresh;
}

// Puts a recorded container back in place of the one at nIndex, or in at nIndex when bInsert,
// keeping the track lists and giving its materials their pieces' icons.
void PutBack(Target& t, int nIndex, std::unique_ptr<CKelSBContainerObj> pCopy, bool bInsert,
             kel::edit::TrackListUpkeep& lists, CKelContentIconMaker& icons) {
    CKelSBContainerObj& container = *pCopy;
    if (!bInsert) {
        if (const CKelSBContainerObj* pOld = t.body.GetContainerObj(nIndex))
            lists.Remove(*pOld);
        kel::edit::TakeContainerAt(t.body, nIndex).reset();
    }
    kel::edit::InsertContainerAt(t.body, nIndex, std::move(pCopy));
    kel::edit::DetachPieces(container, &t.scene);
    icons.MakeFor(container);
    lists.Insert(container);
}

INT_PTR MaterialCount(const ContainerCopies& copies) {
    INT_PTR nCount = 0;
    for (const auto& pCopy : copies)
        nCount += pCopy->GetContentCount();
    return nCount;
}

bool IsDescending(const std::vector<int>& indices) {
    return std::adjacent_find(indices.begin(), indices.end(), std::less_equal<int>()) ==
           indices.end();
}

} // namespace

// ---- Merge ------------------------------------------------------------------------------------

int CKelURSBUnionContainerCmd::RecordContainers() {
    return RunStep(RecordCopies(m_arrMergedContainers, m_recorded));
}

int CKelURSBUnionContainerCmd::Undo() {
    return RunStep([this](Target& t) {
        const std::vector<int>& indices = m_recorded.indices;
        if (indices.size() < 2 || m_recorded.copies.size() != indices.size())
            return 0;
        // The receiver stands where the others' leaving moved it, holding all their materials.
        std::vector<int> others(indices.begin() + 1, indices.end());
        std::sort(others.begin(), others.end());
        const int nReceiver =
            indices[0] -
            static_cast<int>(std::lower_bound(others.begin(), others.end(), indices[0]) -
                             others.begin());
        const CKelSBContainerObj* pReceiver = t.body.GetContainerObj(nReceiver);
        if (pReceiver == nullptr ||
            pReceiver->GetContentCount() != MaterialCount(m_recorded.copies) ||
            std::adjacent_find(others.begin(), others.end()) != others.end() ||
            others.back() >= t.body.GetContainerCount() + static_cast<int>(others.size()))
            return 0;
        // The lists are taken while current: making the copies moves the model's generation.
        kel::edit::TrackListUpkeep lists(t.body);
        ContainerCopies fresh = FreshCopies(m_recorded);
        CKelContentIconMaker icons(t.scene.GetPieceList());
        PutBack(t, nReceiver, std::move(fresh[0]), false, lists, icons);
        // The others go back lowest index first, so that each lands where it was.
        for (int nIndex : others) {
            const auto at = std::find(indices.begin() + 1, indices.end(), nIndex) - indices.begin();
            PutBack(t, nIndex, std::move(fresh[static_cast<std::size_t>(at)]), true, lists, icons);
        }
        lists.Done();
        t.editor.ResetViewKeepingModel();
        return 1;
    });
}

int CKelURSBUnionContainerCmd::Redo(int bFirst) {
    if (bFirst)
        return 1;
    return RunStep([this](Target& t) {
        CKelSBContentBaseObj* pFocus =
            kel::edit::ContentAt(t.body, m_focus.nContainer, m_focus.nContent);
        kel::edit::TrackListUpkeep lists(t.body);
        CKelSBContainerObj* pReceiver =
            kel::edit::MergeContainers(t.body, m_arrMergedContainers, lists);
        if (pReceiver == nullptr)
            return 0;
        CKelSBContainerObj& receiver = *pReceiver;

        CObList& selection = t.editor.GetSelContainerList();
        selection.RemoveAll();
        selection.AddTail(&receiver);
        const bool bFocusMerged =
            pFocus != nullptr && receiver.GetContentList().Find(pFocus) != nullptr;
        t.editor.SetCurContent(bFocusMerged ? pFocus : nullptr);
        t.editor.InvalidateAll();
        return 1;
    });
}

// ---- Split ------------------------------------------------------------------------------------

int CKelURSBSplitContainerCmd::RecordContainers() {
    return RunStep(RecordCopies(m_arrSplitContainers, m_recorded));
}

int CKelURSBSplitContainerCmd::Undo() {
    return RunStep([this](Target& t) {
        const std::vector<int>& indices = m_recorded.indices;
        if (m_recorded.copies.size() != indices.size())
            return 0;
        // The split containers keep their first material; the rest went to the end, one each.
        const int nAdded =
            static_cast<int>(MaterialCount(m_recorded.copies)) - static_cast<int>(indices.size());
        const int nKept = t.body.GetContainerCount() - nAdded;
        const std::vector<CKelSBContainerObj*> split = kel::edit::ContainersAt(t.body, indices);
        if (split.size() != indices.size() ||
            std::any_of(indices.begin(), indices.end(), [&](int i) { return i >= nKept; }))
            return 0;
        kel::edit::TrackListUpkeep lists(t.body); // before the copies, as in a merge's undo
        ContainerCopies fresh = FreshCopies(m_recorded);
        while (t.body.GetContainerCount() > nKept) {
            const int nLast = t.body.GetContainerCount() - 1;
            lists.Remove(*t.body.GetContainerObj(nLast));
            kel::edit::TakeContainerAt(t.body, nLast).reset();
        }
        CKelContentIconMaker icons(t.scene.GetPieceList());
        for (std::size_t i = 0; i < indices.size(); ++i)
            PutBack(t, indices[i], std::move(fresh[i]), false, lists, icons);
        lists.Done();
        t.editor.ResetViewKeepingModel();
        return 1;
    });
}

int CKelURSBSplitContainerCmd::Redo(int bFirst) {
    if (bFirst)
        return 1;
    return RunStep([this](Target& t) {
        kel::edit::TrackListUpkeep lists(t.body);
        const auto added = kel::edit::SplitContainers(t.body, m_arrSplitContainers, lists);
        if (!added)
            return 0;
        for (CKelSBContainerObj* pContainer : *added)
            t.editor.GetSelContainerList().AddTail(pContainer);
        t.editor.InvalidateAll();
        return 1;
    });
}

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
