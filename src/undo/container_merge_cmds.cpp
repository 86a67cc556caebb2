// Merge and split: the container commands that keep in-memory copies of the containers they
// change (container_cmds.h).
#include "edit/edit_arrange.h"
#include "edit/edit_change.h"
#include "undo/container_cmds.h"
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

} // namespace

std::size_t CKelURSBUnionContainerCmd::GetHeldBytes() const {
    return CKelSBEditURBaseCmd::GetHeldBytes() + m_recorded.HeldBytes();
}

std::size_t CKelURSBSplitContainerCmd::GetHeldBytes() const {
    return CKelSBEditURBaseCmd::GetHeldBytes() + m_recorded.HeldBytes();
}

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

// ---- As plain data ----------------------------------------------------------------------------

namespace {

using kel::undo::GetFocus;
using kel::undo::Kind;
using kel::undo::MakeKind;
using kel::undo::PutFocus;
using kel::undo::URRecordReader;
using kel::undo::URRecordWriter;

// A focus, the containers in the order changed, and copies of them.
template <typename T, std::vector<int> T::*Containers>
Kind ContainerCopiesKind(std::string_view name) {
    return MakeKind<T>(
        name,
        [](const T& c, URRecordWriter& o) {
            PutFocus(o, c.m_focus);
            o.Ints(c.*Containers);
            c.m_recorded.Write(o);
        },
        [](T& c, URRecordReader& i) {
            c.m_focus = GetFocus(i);
            c.*Containers = i.Ints();
            c.m_recorded.Read(i);
        });
}

} // namespace

std::vector<Kind> kel::undo::ContainerMergeCommandKinds() {
    return {
        ContainerCopiesKind<CKelURSBUnionContainerCmd,
                            &CKelURSBUnionContainerCmd::m_arrMergedContainers>("merge"),
        ContainerCopiesKind<CKelURSBSplitContainerCmd,
                            &CKelURSBSplitContainerCmd::m_arrSplitContainers>("split"),
    };
}
