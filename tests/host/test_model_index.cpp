// The storyboard's fast look-ups (containers by index and by material, the duration, the key
// points, whether the track lists are current, the materials near a time) checked against a
// plain walk of the containers after every kind of change a storyboard goes through.
#include "model_fixtures.h"

#include "host/sbobject/latest_story_outs.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "platform/archive.h"
#include "platform/file.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <vector>

using kel::test::Load;
using kel::test::MakeContent;
using kel::test::Store;

namespace {

using Contents = std::vector<CKelSBContentBaseObj*>;

CKelSBContentBaseObj* Content(CObject* pObject) {
    return dynamic_cast<CKelSBContentBaseObj*>(pObject);
}

// The walk every look-up must agree with: containers in order, their materials in order.
struct Walk {
    std::vector<CKelSBContainerObj*> containers;
    std::map<const CObject*, CKelSBContainerObj*> containerOf;
    std::vector<Contents> rows; // what each track's list must hold, in order
    int offTrack = 0;
    DWORD duration = 0;
    std::set<DWORD> keyPoints{0};

    explicit Walk(const CKelSBBodyObj& body)
        : rows(static_cast<std::size_t>(body.GetTrackCount())) {
        const CKelObList& list = body.GetContainerList();
        for (POSITION pos = list.GetHeadPosition(); pos;) {
            auto* pContainer = dynamic_cast<CKelSBContainerObj*>(list.GetNext(pos));
            containers.push_back(pContainer);
            const CKelObList& contents = pContainer->GetContentList();
            for (POSITION p = contents.GetHeadPosition(); p;) {
                CKelSBContentBaseObj* pContent = Content(contents.GetNext(p));
                containerOf.try_emplace(pContent, pContainer);
                duration = std::max(duration, pContent->GetStoryOut());
                if (pContent->GetTrackIndex() >= body.GetTrackCount()) {
                    ++offTrack;
                    continue;
                }
                keyPoints.insert({pContent->GetStoryIn(), pContent->GetStoryOut()});
                rows[pContent->GetTrackIndex()].push_back(pContent);
            }
        }
        for (Contents& row : rows)
            std::stable_sort(row.begin(), row.end(),
                             [](auto* a, auto* b) { return a->GetStoryIn() < b->GetStoryIn(); });
    }
};

Contents ListOf(const CKelSBTrackObj& track) {
    Contents out;
    const CObList& list = track.GetContentList();
    for (POSITION pos = list.GetHeadPosition(); pos;)
        out.push_back(Content(list.GetNext(pos)));
    return out;
}

void ExpectAgreement(CKelSBBodyObj& body, std::mt19937& random) {
    const Walk walk(body);
    // Now and then rebuilt right after the change, before anything asks about them: then
    // they are the lists the walk gives.
    if (random() % 4 == 0) {
        body.ResetAllTrackContentList();
        for (int t = 0; t < body.GetTrackCount(); ++t)
            ASSERT_EQ(ListOf(*body.GetTrackObj(t)), walk.rows[static_cast<std::size_t>(t)]);
    }
    ASSERT_EQ(body.GetContainerCount(), static_cast<int>(walk.containers.size()));
    for (std::size_t i = 0; i < walk.containers.size(); ++i) {
        ASSERT_EQ(body.GetContainerObj(static_cast<int>(i)), walk.containers[i]);
        ASSERT_EQ(body.GetContainerIndex(walk.containers[i]), static_cast<int>(i));
    }
    for (const auto& [pContent, pContainer] : walk.containerOf)
        ASSERT_EQ(body.GetContainerOf(pContent), pContainer);
    CKelSBContentPieceInObj stranger;
    EXPECT_EQ(body.GetContainerOf(&stranger), nullptr);
    EXPECT_EQ(body.GetContainerIndex(nullptr), -1);
    EXPECT_EQ(body.GetDuration(), walk.duration);

    bool current = true;
    for (int t = 0; t < body.GetTrackCount(); ++t)
        current = current && ListOf(*body.GetTrackObj(t)) == walk.rows[static_cast<std::size_t>(t)];
    ASSERT_EQ(body.AreTrackContentListsCurrent(), current);
    EXPECT_EQ(body.AreTrackContentListsComplete(), current && walk.offTrack == 0);

    // Materials near a time: every one of the list that reaches into the frames, in list order.
    for (int t = 0; t < body.GetTrackCount(); ++t) {
        const Contents list = ListOf(*body.GetTrackObj(t));
        const DWORD from = random() % 400;
        const DWORD to = from + random() % 100;
        const auto near = body.GetTrackObj(t)->GetContentsNear(from, to);
        auto place = list.begin();
        for (CKelSBContentBaseObj* pNear : near) {
            place = std::find(place, list.end(), pNear);
            ASSERT_NE(place, list.end()) << "not in the list, or out of its order";
        }
        for (CKelSBContentBaseObj* pContent : list) {
            if (pContent->GetStoryIn() <= to && pContent->GetStoryOut() >= from) {
                ASSERT_NE(std::find(near.begin(), near.end(), pContent), near.end())
                    << "track " << t << " frames " << from << " to " << to;
            }
        }
    }

    // Key points on both sides of a time line.
    const DWORD line = random() % 400;
    body.SetTimeLinePos(line);
    auto next = walk.keyPoints.upper_bound(line);
    auto before = walk.keyPoints.lower_bound(line);
    EXPECT_EQ(body.GetNewTimeLinePos(0), next == walk.keyPoints.end() ? line : *next);
    EXPECT_EQ(body.GetNewTimeLinePos(1),
              before == walk.keyPoints.begin() ? line : *std::prev(before));
    EXPECT_EQ(body.GetKeyPointList(),
              std::vector<DWORD>(walk.keyPoints.begin(), walk.keyPoints.end()));
}

} // namespace

TEST(ModelIndex, LookupsAgreeWithTheContainersAfterEveryKindOfChange) {
    std::mt19937 random(7);
    CKelSBBodyObj body;
    body.AppendTrack();
    body.AppendTrack(); // six tracks
    auto any = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto newContent = [&](int nTrack) -> CKelSBContentBaseObj* {
        const DWORD in = static_cast<DWORD>(any(350));
        const DWORD out = in + 1 + static_cast<DWORD>(any(40));
        switch (any(3)) {
        case 0:
            return MakeContent<CKelSBContentPieceInObj>(nTrack, in, out);
        case 1:
            return MakeContent<CKelSBContentPieceStayObj>(nTrack, in, out);
        default:
            return MakeContent<CKelSBContentMovieObj>(nTrack, in, out);
        }
    };
    auto someContainer = [&]() -> CKelSBContainerObj* {
        return body.GetContainerCount() ? body.GetContainerObj(any(body.GetContainerCount()))
                                        : nullptr;
    };
    auto someContent = [&]() -> CKelSBContentBaseObj* {
        CKelSBContainerObj* pContainer = someContainer();
        return pContainer && pContainer->GetContentCount()
                   ? pContainer->GetContentObj(any(static_cast<int>(pContainer->GetContentCount())))
                   : nullptr;
    };

    for (int step = 0; step < 1500; ++step) {
        // Adding is likelier than anything else, so that lists grow long enough to be indexed.
        int kind = any(26);
        if (kind >= 18)
            kind %= 2;
        CKelSBContentBaseObj* pContent = someContent();
        switch (kind) {
        case 0: { // a new container, lists rebuilt or not
            auto* pContainer = new CKelSBContainerObj;
            for (int n = 1 + any(3); n > 0; --n)
                pContainer->AddContent(newContent(any(body.GetTrackCount())));
            body.AddContainer(pContainer);
            if (any(2))
                body.ResetAllTrackContentList();
            break;
        }
        case 1: { // a material added to the last container and put into its track's list
            if (!body.GetContainerCount())
                break;
            const bool wasCurrent = body.AreTrackContentListsCurrent();
            CKelSBContainerObj* pLast = body.GetContainerObj(body.GetContainerCount() - 1);
            CKelSBContentBaseObj* pNew = newContent(any(body.GetTrackCount()));
            pLast->AddContent(pNew);
            pLast->MakeOrder();
            body.InsertTrackContent(pNew, pLast);
            EXPECT_EQ(body.AreTrackContentListsCurrent(), wasCurrent) << "step " << step;
            break;
        }
        case 2: // a container deleted; the track lists are emptied first, as they must be
                // before materials go
            if (CKelSBContainerObj* pContainer = someContainer()) {
                body.ClearAllTrackContentList();
                CKelObList& list = body.GetContainerList();
                list.DeleteAt(list.Find(pContainer));
                if (any(2))
                    body.ResetAllTrackContentList();
            }
            break;
        case 3: // a material deleted from its container
            if (pContent) {
                body.ClearAllTrackContentList();
                CKelObList& list = body.GetContainerOf(pContent)->GetContentList();
                list.DeleteAt(list.Find(pContent));
                if (any(2))
                    body.ResetAllTrackContentList();
            }
            break;
        case 4: // moved, trimmed at either end
            if (pContent) {
                pContent->Move(any(41) - 20);
                pContent->SetStoryIn(pContent->GetStoryIn() + static_cast<DWORD>(any(3)), 0);
                pContent->SetStoryOut(pContent->GetStoryOut() + static_cast<DWORD>(any(30)), 0);
            }
            break;
        case 5: // to another track, maybe one that does not exist
            if (pContent)
                pContent->SetTrackIndex(static_cast<WORD>(any(body.GetTrackCount() + 1)));
            break;
        case 6: // restored from a copy taken earlier
            if (pContent) {
                std::unique_ptr<CKelSBContentBaseObj> copy(pContent->MakeCopy());
                pContent->Move(5);
                *pContent = *copy;
            }
            break;
        case 7: // a copy changed: nothing of the storyboard moves
            if (pContent) {
                std::unique_ptr<CKelSBContentBaseObj> copy(pContent->MakeCopy());
                copy->Move(7);
                copy->SetTrackIndex(0);
            }
            break;
        case 8:
            body.InsertTrack(any(body.GetTrackCount() + 1));
            break;
        case 9:
            if (body.GetTrackCount() > 3)
                body.DeleteTrack(any(body.GetTrackCount()));
            break;
        case 10:
            body.MoveTrack(any(body.GetTrackCount()), any(2));
            break;
        case 11: {
            CKelObList clipboard;
            body.CutTrack(clipboard, any(body.GetTrackCount()));
            body.PasteTrack(clipboard, nullptr, any(body.GetTrackCount() + 1));
            break;
        }
        case 12: {
            CKelObList pieces;
            body.ValidateContainerList(&pieces);
            break;
        }
        case 13: // a track's list changed by hand, or emptied
            if (any(2))
                body.ClearAllTrackContentList();
            else if (body.GetTrackObj(0)->HasContentObj())
                body.GetTrackObj(0)->GetContentList().RemoveHead();
            break;
        case 14:
            if (CKelSBContainerObj* pContainer = someContainer())
                pContainer->MakeOrder();
            break;
        case 15: // a material taken into another container before it leaves its own
            if (CKelSBContainerObj* pTo = someContainer(); pTo && pContent) {
                CKelSBContainerObj* pFrom = body.GetContainerOf(pContent);
                if (pFrom == pTo)
                    break;
                body.ClearAllTrackContentList();
                pTo->AddContent(pContent);
                CKelObList& from = pFrom->GetContentList();
                from.RemoveAt(from.Find(pContent));
                if (from.IsEmpty()) {
                    CKelObList& list = body.GetContainerList();
                    list.DeleteAt(list.Find(pFrom));
                }
            }
            break;
        case 16: { // a drag group borrows materials and lets them go
            CKelSBContainerObj group;
            for (int n = any(4); n > 0; --n) {
                if (CKelSBContentBaseObj* pBorrowed = someContent();
                    pBorrowed && !group.GetContentList().Find(pBorrowed))
                    group.AddContent(pBorrowed);
            }
            group.GetContentList().RemoveAll();
            break;
        }
        case 17: { // a container copied and thrown away: the copies are no one's
            if (CKelSBContainerObj* pContainer = someContainer())
                std::unique_ptr<CKelSBContainerObj>(pContainer->MakeCopy()).reset();
            break;
        }
        default: // stored and loaded again; refused, leaving it as it was, with a material
                 // on a track that does not exist
            try {
                Load(body, Store(body));
            } catch (const CArchiveException&) {
            }
            break;
        }
        ExpectAgreement(body, random);
        if (HasFatalFailure())
            FAIL() << "after step " << step << ", a change of kind " << kind;
    }
}

// The storyboard's duration keeps only the latest story outs counted; after any run of
// comings and goings it must name the latest one, or know that it needs a walk.
TEST(ModelIndex, LatestStoryOutsNameTheLatestOrAskForAWalk) {
    std::mt19937 random(11);
    kel::host::LatestStoryOuts latest;
    std::multiset<DWORD> outs;
    int walks = 0;
    for (int step = 0; step < 20000; ++step) {
        if (!latest.IsKnown()) {
            ++walks;
            latest.Restart();
            for (DWORD out : outs)
                latest.Add(out);
        }
        ASSERT_EQ(latest.Latest(), outs.empty() ? 0 : *outs.rbegin()) << "step " << step;
        // Growing at first, then mostly taking the latest away: the hard case.
        const bool add = outs.empty() || random() % 100 < (step < 10000 ? 70 : 30);
        if (add) {
            const DWORD out = static_cast<DWORD>(random() % 5000);
            outs.insert(out);
            latest.Add(out);
        } else {
            auto it = random() % 2 ? std::prev(outs.end())
                                   : std::next(outs.begin(), random() % outs.size());
            latest.Remove(*it);
            outs.erase(it);
        }
    }
    // A walk only when the counted story outs have run out, not at every latest that goes.
    EXPECT_LT(walks, 200);
}

// A drag group borrows the storyboard's materials. One that changed containers while a group
// held it, and that the next drag's group then collects, still tells the storyboard and its
// track when it moves.
TEST(ModelIndex, AMaterialADragGroupCollectsAfterItChangedContainersStillTellsItsMoves) {
    CKelSBBodyObj body;
    auto* pFrom = new CKelSBContainerObj;
    auto* pTo = new CKelSBContainerObj;
    CKelSBContentBaseObj* pMoved = MakeContent<CKelSBContentPieceInObj>(1, 10, 50);
    pFrom->AddContent(pMoved);
    pFrom->AddContent(MakeContent<CKelSBContentPieceInObj>(1, 60, 70));
    body.AddContainer(pFrom);
    body.AddContainer(pTo);
    CKelSBContainerObj group;
    group.GetContentList().AddTail(pMoved);
    pTo->GetContentList().AddTail(pMoved);
    pFrom->GetContentList().RemoveAt(pFrom->GetContentList().Find(pMoved));
    group.GetContentList().RemoveAll();
    group.GetContentList().AddTail(pMoved); // the next drag
    body.ResetAllTrackContentList();
    ASSERT_EQ(body.GetDuration(), 70u);
    ASSERT_EQ(body.GetTrackObj(1)->GetContentsNear(80, 95).size(), 0u);

    ASSERT_TRUE(pMoved->SetStoryIn(50, 1));
    EXPECT_EQ(body.GetDuration(), 90u);
    const auto near = body.GetTrackObj(1)->GetContentsNear(80, 95);
    EXPECT_TRUE(std::find(near.begin(), near.end(), pMoved) != near.end());
    group.GetContentList().RemoveAll();
}
