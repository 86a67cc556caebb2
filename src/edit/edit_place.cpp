#include "edit/edit_place.h"

#include "edit/edit_change.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/scene/play_scene.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>

// ---- The record ----------------------------------------------------------------------------

CONTAINER_INSERT_PARAM::~CONTAINER_INSERT_PARAM() {
    ClearGroup();
}

void CONTAINER_INSERT_PARAM::ClearGroup() {
    CKelObList& list = group.GetContentList();
    if (bOwnsGroup)
        list.DeleteAll();
    else
        list.RemoveAll();
    bOwnsGroup = false;
}

void CONTAINER_INSERT_PARAM::Reset() {
    ClearGroup();
    dwKind = kMove;
    ptStart = CPoint(0, 0);
    ptCurrent = CPoint(0, 0);
    dwLeadIn = 0;
    dwNewStoryIn = 0;
    dwNewStoryOut = 0;
    dwAccepted = 0;
    nDeltaFrames.reset();
    bKeepTracks = false;
    at.reset();
}

namespace kel::edit {

namespace {

using Content = CKelSBContentBaseObj;

std::vector<Content*> Materials(const CObList& list) {
    std::vector<Content*> materials;
    materials.reserve(static_cast<std::size_t>(list.GetCount()));
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        if (auto* pContent = DYNAMIC_DOWNCAST(Content, list.GetNext(pos)))
            materials.push_back(pContent);
    }
    return materials;
}

DWORD AtLeastZero(long long nFrame) {
    return static_cast<DWORD>(std::clamp<long long>(nFrame, 0, CKelSBContentBaseObj::kMaxFrame));
}

void Note(const ChangeNote& note, const Content& content) {
    if (note)
        note(content);
}

// Moves one material by nDelta frames, telling `note` before and after.
bool Push(Content& content, long nDelta, ChangeJournal& journal, const ChangeNote& note) {
    journal.Keep(content);
    Note(note, content);
    if (!content.Move(nDelta))
        return false;
    Note(note, content);
    return true;
}

// The materials of a move that the undo record lists, built as the move goes: for each group
// material, it and the materials it pushed (in container order) are added unless listed
// already; old values are those before the whole move, new values those after it.
class MoveRecord {
public:
    explicit MoveRecord(const CKelSBBodyObj& body) : m_body(body) {}

    // Before anything changes: the material's values as they are.
    void RememberOld(const Content& content) {
        m_old.try_emplace(&content, Old{content.GetTrackIndex(), content.GetStoryIn()});
    }
    void AddStep(const Content& moved, std::vector<const Content*> pushed) {
        std::vector<std::pair<Focus, const Content*>> step;
        step.emplace_back(FindFocus(m_body, &moved), &moved);
        for (const Content* pContent : pushed)
            step.emplace_back(FindFocus(m_body, pContent), pContent);
        std::sort(step.begin(), step.end(), [](const auto& a, const auto& b) {
            return std::pair(a.first.nContainer, a.first.nContent) <
                   std::pair(b.first.nContainer, b.first.nContent);
        });
        for (const auto& [focus, pContent] : step) {
            if (m_listed.insert(pContent).second)
                m_order.emplace_back(focus, pContent);
        }
    }
    std::vector<MoveEntry> Entries() const {
        std::vector<MoveEntry> entries;
        entries.reserve(m_order.size());
        for (const auto& [focus, pContent] : m_order) {
            const Old& old = m_old.at(pContent);
            entries.push_back({focus.nContainer, focus.nContent, old.nTrack,
                               static_cast<int>(old.dwStoryIn), pContent->GetTrackIndex(),
                               static_cast<int>(pContent->GetStoryIn())});
        }
        return entries;
    }

private:
    struct Old {
        int nTrack;
        DWORD dwStoryIn;
    };
    const CKelSBBodyObj& m_body;
    std::unordered_map<const Content*, Old> m_old;
    std::unordered_set<const Content*> m_listed;
    std::vector<std::pair<Focus, const Content*>> m_order;
};

// The collision scan of one group material on its target track (group materials passed over).
// Returns false when its entry point falls inside a material. Performing, the first material
// that it would overlap is pushed just past it, and the materials after that follow as far as
// they must, until the moved material's own old place on the track is reached. Only the
// materials near the entry point are looked at, and those pushed.
bool MakeRoom(const CKelSBTrackObj& track, const Content& moved, long long nNewIn,
              const std::unordered_set<const Content*>& group, bool bPerform,
              ChangeJournal& journal, MoveRecord& record, std::vector<const Content*>& pushed,
              const ChangeNote& note) {
    const long long nNewOut = nNewIn + moved.GetDuration();
    const auto push = [&](Content& content, long long nShift) {
        record.RememberOld(content);
        pushed.push_back(&content);
        return Push(content, static_cast<long>(nShift), journal, note);
    };
    for (Content* pY :
         track.GetContentsNear(AtLeastZero(nNewIn), CKelSBContentBaseObj::kMaxFrame)) {
        if (group.count(pY) != 0 || nNewIn >= pY->GetStoryOut())
            continue;
        if (nNewIn > pY->GetStoryIn())
            return false; // the entry point would lie inside Y
        // Y and every later material start at or after the entry point: only pushing is left.
        if (!bPerform || pY->GetStoryIn() >= nNewOut)
            return true;
        if (!push(*pY, nNewOut - pY->GetStoryIn()))
            return false;
        long long nPrevOut = pY->GetStoryOut();
        const CObList& list = track.GetContentList();
        POSITION pos = list.Find(pY);
        list.GetNext(pos);
        while (pos != nullptr) {
            auto* pZ = DYNAMIC_DOWNCAST(Content, list.GetNext(pos));
            if (pZ == &moved)
                break;
            if (pZ == nullptr || group.count(pZ) != 0)
                continue;
            const long long nShift = nPrevOut - pZ->GetStoryIn();
            if (nShift > 0 && !push(*pZ, nShift))
                return false;
            nPrevOut = pZ->GetStoryOut();
        }
        return true;
    }
    return true;
}

} // namespace

int PlaceGroup(CKelSBBodyObj& body, const CObList& group, const std::vector<GroupTarget>& targets,
               long nDelta, bool bPerform, PlaceGroupResult& result, const ChangeNote& note) {
    result = PlaceGroupResult{};
    const std::vector<Content*> materials = Materials(group);
    if (materials.empty() || targets.size() != materials.size())
        return 0;

    // Everything is read before anything changes: materials of the group are never pushed,
    // and their new places follow from where they were.
    struct Start {
        DWORD dwStoryIn;
        DWORD dwDuration;
    };
    std::vector<Start> starts;
    DWORD dwLastOut = 0;
    for (const Content* pContent : materials) {
        starts.push_back({pContent->GetStoryIn(), pContent->GetDuration()});
        dwLastOut = std::max(dwLastOut, pContent->GetStoryOut());
    }
    result.dwNewStoryIn = AtLeastZero(static_cast<long long>(starts.front().dwStoryIn) + nDelta);
    result.dwNewStoryOut = AtLeastZero(static_cast<long long>(dwLastOut) + nDelta);

    const std::unordered_set<const Content*> inGroup(materials.begin(), materials.end());
    // Taken before anything moves; the placement reads the lists as they were throughout.
    std::optional<TrackListUpkeep> lists;
    if (bPerform)
        lists.emplace(body);
    ChangeJournal journal; // puts everything back unless committed
    MoveRecord record(body);
    for (Content* pContent : materials)
        record.RememberOld(*pContent);

    for (std::size_t i = 0; i < materials.size(); ++i) {
        Content& moved = *materials[i];
        const GroupTarget& target = targets[i];
        const long long nNewIn = static_cast<long long>(starts[i].dwStoryIn) + nDelta;
        if (nNewIn < 0 || nNewIn + starts[i].dwDuration > CKelSBContentBaseObj::kMaxFrame)
            return 0;
        const CKelSBTrackObj* pTrack = body.GetTrackObj(target.nTrack);
        if (target.nTrack < 0 || pTrack == nullptr || target.bLocked || pTrack->IsLocked())
            return 0;
        std::vector<const Content*> pushed;
        if (!MakeRoom(*pTrack, moved, nNewIn, inGroup, bPerform, journal, record, pushed, note))
            return 0;
        if (!bPerform)
            continue;
        journal.Keep(moved);
        Note(note, moved);
        moved.SetTrackIndex(static_cast<WORD>(target.nTrack));
        if (!moved.SetStoryIn(static_cast<DWORD>(nNewIn), 1))
            return 0;
        Note(note, moved);
        record.AddStep(moved, std::move(pushed));
    }
    if (bPerform) {
        result.entries = record.Entries();
        lists->Refile(journal);
        journal.Commit();
        lists->Done();
    }
    return 1;
}

// ---- From outside ----------------------------------------------------------------------------

namespace {

bool IsPiece(const Content* pContent) {
    return DYNAMIC_DOWNCAST(CKelSBContentPieceBaseObj, pContent) != nullptr;
}

// The last material of the track that starts before the frame, or null.
const Content* LastStartingBefore(const CKelSBTrackObj& track, long nFrame) {
    if (nFrame <= 0)
        return nullptr;
    const auto near = track.GetContentsNear(0, static_cast<DWORD>(nFrame - 1));
    // In time order the last is the one; in any other, the last of them that does.
    for (auto it = near.rbegin(); it != near.rend(); ++it) {
        if (static_cast<long long>((*it)->GetStoryIn()) < nFrame)
            return *it;
    }
    return nullptr;
}

// The first material of the track that starts at or after the frame, or null.
Content* FirstStartingFrom(const CKelSBTrackObj& track, DWORD dwFrame) {
    for (Content* pContent : track.GetContentsNear(dwFrame, CKelSBContentBaseObj::kMaxFrame)) {
        if (pContent->GetStoryIn() >= dwFrame)
            return pContent;
    }
    return nullptr;
}

} // namespace

OutsideTarget OutsideTargetAt(const CKelSBBodyObj& body, int nTrack, long nFrame) {
    OutsideTarget target;
    const CKelSBTrackObj* pTrack = body.GetTrackObj(nTrack);
    if (pTrack == nullptr)
        return target;
    target.nTrack = nTrack;
    target.bLocked = pTrack->IsLocked() != FALSE;
    target.nFrame = nFrame;
    if (nFrame < 0)
        return target;
    const DWORD dwFrame = static_cast<DWORD>(nFrame);
    for (CKelSBContentBaseObj* pContent : pTrack->GetContentsNear(dwFrame, dwFrame)) {
        if (pContent->GetStoryIn() <= dwFrame && dwFrame < pContent->GetStoryOut()) {
            target.pUnder = pContent;
            break;
        }
    }
    return target;
}

OutsidePlan PlanFromOutside(const CKelSBBodyObj& body, const CKelSBContainerObj& group,
                            DWORD dwKind, DWORD dwLeadIn, const OutsideTarget& target) {
    OutsidePlan plan;
    const CKelSBTrackObj* pTrack = body.GetTrackObj(target.nTrack);
    if (target.nTrack < 0 || pTrack == nullptr || target.bLocked || pTrack->IsLocked() ||
        group.GetContentCount() == 0)
        return plan;
    if (target.pUnder != nullptr) {
        if (dwKind == CONTAINER_INSERT_PARAM::kDragIn) {
            if (group.GetContentCount() == 1 && IsPiece(group.GetContentObj(0)) &&
                IsPiece(target.pUnder))
                plan.verdict = OutsideVerdict::kReplace;
            return plan;
        }
        // A paste may go on at a material's very end only.
        if (target.nFrame != static_cast<long long>(target.pUnder->GetStoryOut()))
            return plan;
    }
    long long nNewIn = static_cast<long long>(target.nFrame) - dwLeadIn;
    if (nNewIn < 1)
        nNewIn = 0;
    if (const Content* pBefore = LastStartingBefore(*pTrack, target.nFrame);
        pBefore != nullptr && nNewIn <= pBefore->GetStoryOut())
        nNewIn = pBefore->GetStoryOut();
    const long long nNewOut = nNewIn + group.GetDuration();
    if (nNewOut > CKelSBContentBaseObj::kMaxFrame)
        return plan;
    plan.verdict = OutsideVerdict::kPlace;
    plan.dwNewStoryIn = static_cast<DWORD>(nNewIn);
    plan.dwNewStoryOut = static_cast<DWORD>(nNewOut);
    return plan;
}

int PlaceFromOutside(CKelSBBodyObj& body, CKelPlaySceneObj* pScene, CKelSBContainerObj& group,
                     int nTrack, DWORD dwNewStoryIn, OutsidePlacement& placement,
                     const ChangeNote& note) {
    placement = OutsidePlacement{};
    const std::vector<Content*> materials = Materials(group.GetContentList());
    CKelSBTrackObj* pTrack = body.GetTrackObj(nTrack);
    if (materials.empty() || pTrack == nullptr)
        return 0;
    const DWORD dwDuration = group.GetDuration();
    const DWORD dwFirstIn = materials.front()->GetStoryIn();

    TrackListUpkeep lists(body); // the pushes read the target track's list as it was
    ChangeJournal journal;
    // The group keeps its layout and lengths on the target track.
    for (Content* pContent : materials) {
        journal.Keep(*pContent);
        const DWORD dwLength = pContent->GetDuration();
        pContent->SetTrackIndex(static_cast<WORD>(nTrack));
        if (pContent->GetStoryIn() < dwFirstIn ||
            !pContent->SetStoryIn(pContent->GetStoryIn() - dwFirstIn + dwNewStoryIn, 1))
            return 0;
        if (auto* pPiece = DYNAMIC_DOWNCAST(CKelSBContentPieceBaseObj, pContent))
            pPiece->SetPlayDuration(dwLength);
    }

    // What follows on the track makes room when the group does not fit before it.
    if (Content* pNext = FirstStartingFrom(*pTrack, dwNewStoryIn);
        pNext != nullptr && pNext->GetStoryIn() - dwNewStoryIn < dwDuration) {
        const DWORD dwThreshold = pNext->GetStoryIn();
        const long nShift = static_cast<long>(dwNewStoryIn + dwDuration - dwThreshold);
        const CObList& list = pTrack->GetContentList();
        for (POSITION pos = list.Find(pNext); pos != nullptr;) {
            auto* pContent = DYNAMIC_DOWNCAST(Content, list.GetNext(pos));
            if (pContent != nullptr && !Push(*pContent, nShift, journal, note))
                return 0;
        }
        placement.nShift = static_cast<int>(nShift);
        placement.dwShiftThreshold = dwThreshold;
    }

    // Copies go into the storyboard, each in a container of its own.
    std::vector<std::unique_ptr<CKelSBContainerObj>> made;
    for (const Content* pContent : materials) {
        auto pContainer = std::make_unique<CKelSBContainerObj>();
        std::unique_ptr<Content> pCopy(pContent->MakeCopy());
        DetachPieces(*pCopy, pScene);
        pContainer->AddContent(pCopy.release());
        CKelSBBodyObj::MakePieceContentIcon(pContainer.get(),
                                            pScene ? pScene->GetPieceList() : nullptr);
        made.push_back(std::move(pContainer));
    }
    lists.Refile(journal);
    journal.Commit();
    placement.nFirstNewContainer = body.GetContainerCount();
    for (auto& pContainer : made) {
        placement.newContainers.push_back(pContainer.get());
        InsertContainerAt(body, body.GetContainerCount(), std::move(pContainer));
        lists.Insert(*placement.newContainers.back());
        Note(note, *placement.newContainers.back()->GetContentObj(0));
    }
    lists.Done();
    return 1;
}

} // namespace kel::edit
