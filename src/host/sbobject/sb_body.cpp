#include "host/sbobject/sb_body.h"

#include "host/base/kel_item.h"
#include "host/sbobject/content_icons.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_content_walk.h"
#include "host/undo/ur_manager.h"
#include "platform/archive.h"

#include <algorithm>
#include <cassert>
#include <memory>
#include <unordered_map>

IMPLEMENT_SERIAL(CKelSBBodyObj, CKelObject, 1)

CKelSBBodyObj::CKelSBBodyObj() : m_pURBase(std::make_unique<CKelURBase>()) {
    m_attr.strName = GetDefName();
    for (int i = 0; i < kDefaultTrackCount; ++i)
        m_lstTracks.AddTail(new CKelSBTrackObj);
}

CKelSBBodyObj::CKelSBBodyObj(const CKelSBBodyObj& other)
    : CKelObject(other), m_attr(other.m_attr), m_lstTracks(other.m_lstTracks),
      m_dwFramesPerUnit(other.m_dwFramesPerUnit), m_dwTimeLinePos(other.m_dwTimeLinePos),
      m_nDeleteMode(other.m_nDeleteMode), m_pURBase(std::make_unique<CKelURBase>()) {
    m_lstContainers.AppendCopies(other.m_lstContainers);
    ResetAllTrackContentList();
}

CKelSBBodyObj::~CKelSBBodyObj() {
    // The history goes first: its commands may still look at the storyboard's objects.
    m_pURBase.reset();
    ClearAllTrackContentList();
}

CString CKelSBBodyObj::GetDefName() {
    return CString("Storyboard");
}

CKelSBTrackObj* CKelSBBodyObj::GetTrackObj(int nIndex) const {
    return DYNAMIC_DOWNCAST(CKelSBTrackObj, m_lstTracks.GetAtIndex(nIndex));
}

int CKelSBBodyObj::GetTrackIndex(const CKelSBTrackObj* pTrack) const {
    return pTrack ? static_cast<int>(m_lstTracks.IndexOf(pTrack)) : -1;
}

CKelSBContainerObj* CKelSBBodyObj::GetContainerObj(int nIndex) const {
    return DYNAMIC_DOWNCAST(CKelSBContainerObj, m_lstContainers.GetAtIndex(nIndex));
}

void CKelSBBodyObj::AddContainer(CKelSBContainerObj* pContainer) {
    m_lstContainers.AddTail(pContainer);
}

CKelSBContainerObj* CKelSBBodyObj::GetContainerOf(const void* pContent) const {
    if (pContent == nullptr)
        return nullptr;
    const auto* pKey = static_cast<const CObject*>(pContent);
    const auto holds = [&](CKelSBContainerObj* pContainer) {
        // The container is looked for among ours before it is asked anything: a stale entry
        // may name one that is gone.
        return m_lstContainers.Find(pContainer) != nullptr &&
               pContainer->GetContentList().Find(pKey) != nullptr;
    };
    const auto found = m_containerOf.find(pContent);
    if (found != m_containerOf.end() && holds(found->second))
        return found->second;
    if (found == m_containerOf.end() && m_bContainerOfWhole)
        return nullptr; // every material that came is entered: none of ours
    if (m_nContainerOfGeneration == KelModelGeneration())
        return nullptr; // built since the last change: the material is none of ours
    m_containerOf.clear();
    m_containerOf.reserve(static_cast<std::size_t>(m_lstContainers.GetCount()) * 2);
    for (POSITION pos = m_lstContainers.GetHeadPosition(); pos != nullptr;) {
        auto* pContainer = DYNAMIC_DOWNCAST(CKelSBContainerObj, m_lstContainers.GetNext(pos));
        if (pContainer == nullptr)
            continue;
        const CKelObList& contents = pContainer->GetContentList();
        for (POSITION p = contents.GetHeadPosition(); p != nullptr;)
            m_containerOf.try_emplace(contents.GetNext(p), pContainer); // the first one holds it
    }
    m_nContainerOfGeneration = KelModelGeneration();
    m_bContainerOfWhole = true;
    const auto it = m_containerOf.find(pContent);
    return it != m_containerOf.end() ? it->second : nullptr;
}

CKelSBContainerObj* CKelSBBodyObj::GetContainerOf(const CKelSBContentBaseObj* pContent) const {
    CKelSBContainerObj* pHolder = pContent ? pContent->GetHolder() : nullptr;
    // The holder is looked for among ours before it is asked anything, as below.
    if (pHolder != nullptr && m_lstContainers.Find(pHolder) != nullptr &&
        pHolder->GetContentList().Find(pContent) != nullptr)
        return pHolder;
    return GetContainerOf(static_cast<const void*>(pContent));
}

int CKelSBBodyObj::GetContainerIndex(const CKelSBContainerObj* pContainer) const {
    return pContainer ? static_cast<int>(m_lstContainers.IndexOf(pContainer)) : -1;
}

// ---- Derived lists --------------------------------------------------------------------------

void CKelSBBodyObj::ClearAllTrackContentList() {
    for (POSITION pos = m_lstTracks.GetHeadPosition(); pos != nullptr;) {
        if (auto* pTrack = DYNAMIC_DOWNCAST(CKelSBTrackObj, m_lstTracks.GetNext(pos)))
            pTrack->GetContentList().RemoveAll();
    }
}

CKelSBBodyObj::TrackRows CKelSBBodyObj::BuildTrackRows(int& nOffTrack) const {
    const int nTracks = GetTrackCount();
    TrackRows rows(static_cast<std::size_t>(nTracks));
    nOffTrack = 0;
    kel::host::ForEachContent(m_lstContainers, [&](CKelSBContentBaseObj& content) {
        if (content.GetTrackIndex() < nTracks)
            rows[content.GetTrackIndex()].push_back(&content);
        else
            ++nOffTrack;
    });
    for (auto& row : rows) {
        std::stable_sort(row.begin(), row.end(), [](const auto* a, const auto* b) {
            return a->GetStoryIn() < b->GetStoryIn();
        });
    }
    return rows;
}

void CKelSBBodyObj::NoteTrackListsChecked(bool bCurrent, int nOffTrack) const {
    m_listCheck.nGeneration = KelModelGeneration();
    m_listCheck.bCurrent = bCurrent;
    m_listCheck.nOffTrack = nOffTrack;
}

void CKelSBBodyObj::ResetAllTrackContentList() {
    // Built or checked since the last change: building them again would give the same lists.
    if (m_listCheck.nGeneration == KelModelGeneration() && m_listCheck.bCurrent)
        return;
    int nOffTrack = 0;
    TrackRows rows = BuildTrackRows(nOffTrack);
    int nTrack = 0;
    for (POSITION pos = m_lstTracks.GetHeadPosition(); pos != nullptr; ++nTrack) {
        auto* pTrack = DYNAMIC_DOWNCAST(CKelSBTrackObj, m_lstTracks.GetNext(pos));
        if (pTrack == nullptr)
            continue;
        pTrack->SetContentsInTimeOrder(std::move(rows[static_cast<std::size_t>(nTrack)]));
    }
    NoteTrackListsChecked(true, nOffTrack);
}

bool CKelSBBodyObj::AreTrackContentListsCurrent() const {
    // Changes of the track lists move the generation as well.
    if (m_listCheck.nGeneration == KelModelGeneration())
        return m_listCheck.bCurrent;

    int nOffTrack = 0;
    const TrackRows rows = BuildTrackRows(nOffTrack);
    bool bCurrent = true;
    std::size_t nTrack = 0;
    for (POSITION pos = m_lstTracks.GetHeadPosition(); bCurrent && pos != nullptr; ++nTrack) {
        const auto* pTrack = DYNAMIC_DOWNCAST(CKelSBTrackObj, m_lstTracks.GetNext(pos));
        if (pTrack == nullptr)
            continue;
        const CObList& list = pTrack->GetContentList();
        const auto& row = rows[nTrack];
        bCurrent = list.GetCount() == static_cast<INT_PTR>(row.size());
        std::size_t m = 0;
        for (POSITION p = list.GetHeadPosition(); bCurrent && p != nullptr; ++m)
            bCurrent = list.GetNext(p) == row[m];
    }
    NoteTrackListsChecked(bCurrent, nOffTrack);
    return bCurrent;
}

int CKelSBBodyObj::FindTrackListUnlikeRebuild() const {
    int nOffTrack = 0;
    const TrackRows rows = BuildTrackRows(nOffTrack);
    for (int t = 0; t < GetTrackCount(); ++t) {
        const CKelSBTrackObj* pTrack = GetTrackObj(t);
        const auto& row = rows[static_cast<std::size_t>(t)];
        if (pTrack == nullptr)
            continue;
        const CObList& list = pTrack->GetContentList();
        bool bSame = static_cast<std::size_t>(list.GetCount()) == row.size();
        std::size_t m = 0;
        for (POSITION pos = list.GetHeadPosition(); bSame && pos != nullptr; ++m)
            bSame = list.GetNext(pos) == row[m];
        if (!bSame)
            return t;
    }
    return -1;
}

bool CKelSBBodyObj::AreTrackContentListsComplete() const {
    return AreTrackContentListsCurrent() && m_listCheck.nOffTrack == 0;
}

void CKelSBBodyObj::InsertTrackContent(CKelSBContentBaseObj* pContent,
                                       const CKelSBContainerObj* pContainer) {
    CKelSBTrackObj* pTrack = pContent ? GetTrackObj(pContent->GetTrackIndex()) : nullptr;
    if (pTrack == nullptr || pContainer == nullptr)
        return; // such a material stays out of every list, as a rebuild leaves it
    // A rebuild orders by story in, then by the place in the container walk: container index,
    // then the index within the container. The new material goes behind every material of its
    // track that comes before it in that order.
    const DWORD dwIn = pContent->GetStoryIn();
    const int nContainer = GetContainerIndex(pContainer);
    const INT_PTR nWithin = pContainer->GetContentList().IndexOf(pContent);
    const auto comesBefore = [&](const CKelSBContentBaseObj* pOther) {
        if (pOther->GetStoryIn() != dwIn)
            return pOther->GetStoryIn() < dwIn;
        const CKelSBContainerObj* pOtherContainer = GetContainerOf(pOther);
        const int nOther = GetContainerIndex(pOtherContainer);
        if (nOther != nContainer)
            return nOther < nContainer;
        return pOtherContainer->GetContentList().IndexOf(pOther) < nWithin;
    };
    CObList& list = pTrack->GetContentList();
    INT_PTR nLow = 0;
    INT_PTR nHigh = list.GetCount();
    while (nLow < nHigh) {
        const INT_PTR nMid = nLow + (nHigh - nLow) / 2;
        const auto* pOther =
            static_cast<const CKelSBContentBaseObj*>(list.GetAt(list.FindIndex(nMid)));
        if (comesBefore(pOther))
            nLow = nMid + 1;
        else
            nHigh = nMid;
    }
    if (POSITION pos = list.FindIndex(nLow))
        list.InsertBefore(pos, pContent);
    else
        list.AddTail(pContent);
}

bool CKelSBBodyObj::AreTrackContentListsNotedCurrent() const {
    return m_listCheck.nGeneration == KelModelGeneration() && m_listCheck.bCurrent;
}

void CKelSBBodyObj::RemoveTrackContent(const CKelSBContentBaseObj* pContent) {
    CKelSBTrackObj* pTrack = pContent ? GetTrackObj(pContent->GetTrackIndex()) : nullptr;
    if (pTrack == nullptr)
        return;
    CObList& list = pTrack->GetContentList();
    if (POSITION pos = list.Find(pContent))
        list.RemoveAt(pos);
}

void CKelSBBodyObj::NoteTrackContentListsKept(const std::vector<int>& tracks) {
    // Where materials of one track start together, the rebuild's order is that of the walk
    // through the containers.
    const auto walkOrder = [this](const CKelSBContentBaseObj* p) {
        const CKelSBContainerObj* pContainer = GetContainerOf(p);
        return std::make_pair(GetContainerIndex(pContainer),
                              pContainer ? pContainer->GetContentList().IndexOf(p) : -1);
    };
    bool bInOrder = true;
    for (int nTrack : tracks) {
        const CKelSBTrackObj* pTrack = GetTrackObj(nTrack);
        if (pTrack == nullptr)
            continue;
        const CObList& list = pTrack->GetContentList();
        const CKelSBContentBaseObj* pPrevious = nullptr;
        for (POSITION pos = list.GetHeadPosition(); bInOrder && pos != nullptr;) {
            const auto* pContent = static_cast<const CKelSBContentBaseObj*>(list.GetNext(pos));
            bInOrder = pContent->GetTrackIndex() == nTrack &&
                       (pPrevious == nullptr || pPrevious->GetStoryIn() < pContent->GetStoryIn() ||
                        (pPrevious->GetStoryIn() == pContent->GetStoryIn() &&
                         walkOrder(pPrevious) < walkOrder(pContent)));
            pPrevious = pContent;
        }
    }
    if (!bInOrder) {
        ResetAllTrackContentList();
        return;
    }
    NoteTrackListsChecked(true, m_listCheck.nOffTrack);
#ifndef NDEBUG
    // Debug builds hold every such edit to what a rebuild gives.
    assert(FindTrackListUnlikeRebuild() < 0 &&
           "an edit noted a track list as kept that a rebuild would change");
#endif
}

void CKelSBBodyObj::NoteTrackContentsChanged(int nTrack) const {
    if (const CKelSBTrackObj* pTrack = GetTrackObj(nTrack))
        pTrack->NoteContentsChanged();
}

void CKelSBBodyObj::NoteContainerOf(CKelSBContainerObj* pContainer) const {
    if (pContainer == nullptr)
        return;
    const CKelObList& contents = pContainer->GetContentList();
    for (POSITION pos = contents.GetHeadPosition(); pos != nullptr;)
        m_containerOf[contents.GetNext(pos)] = pContainer;
}

void CKelSBBodyObj::NoteMaterialCame(const CKelSBContentBaseObj& content,
                                     CKelSBContainerObj* pContainer) const {
    NoteStoryOutAdded(content.GetStoryOut());
    NoteTrackContentsChanged(content.GetTrackIndex());
    if (!m_bContainerOfWhole)
        return;
    const auto [it, bNew] = m_containerOf.try_emplace(&content, pContainer);
    // A stale entry (a material gone, its address given to a new one) is replaced; a material
    // still held by its first container keeps that one.
    if (!bNew && it->second != pContainer &&
        (m_lstContainers.Find(it->second) == nullptr ||
         it->second->GetContentList().Find(&content) == nullptr))
        it->second = pContainer;
}

void CKelSBBodyObj::NoteMaterialWent(const CKelSBContentBaseObj& content) const {
    NoteStoryOutRemoved(content.GetStoryOut());
    NoteTrackContentsChanged(content.GetTrackIndex());
}

void CKelSBBodyObj::FindKeyPoints() const {
    if (m_nKeyPointsGeneration == KelModelGeneration())
        return; // nothing moved since they were found
    const int nTracks = GetTrackCount();
    m_keyPoints.assign(1, 0);
    kel::host::ForEachContent(m_lstContainers, [&](const CKelSBContentBaseObj& content) {
        if (content.GetTrackIndex() < nTracks) {
            m_keyPoints.push_back(content.GetStoryIn());
            m_keyPoints.push_back(content.GetStoryOut());
        }
    });
    std::sort(m_keyPoints.begin(), m_keyPoints.end());
    m_keyPoints.erase(std::unique(m_keyPoints.begin(), m_keyPoints.end()), m_keyPoints.end());
    m_nKeyPointsGeneration = KelModelGeneration();
}

DWORD CKelSBBodyObj::GetNewTimeLinePos(int bPrevious) {
    ResetKeyPointList();
    const DWORD dwPos = m_dwTimeLinePos;
    if (bPrevious) {
        auto it = std::lower_bound(m_keyPoints.begin(), m_keyPoints.end(), dwPos);
        return it == m_keyPoints.begin() ? dwPos : *std::prev(it);
    }
    auto it = std::upper_bound(m_keyPoints.begin(), m_keyPoints.end(), dwPos);
    return it == m_keyPoints.end() ? dwPos : *it;
}

// ---- Reconciling with the scene -------------------------------------------------------------

namespace {
bool IsShowable(const CKelSBContentBaseObj* pContent, int nTracks) {
    return pContent != nullptr && pContent->GetTrackIndex() < nTracks &&
           pContent->GetStoryOut() >= pContent->GetStoryIn() &&
           pContent->GetDuration() >= pContent->GetMinDuration();
}
} // namespace

int CKelSBBodyObj::ValidateContainerList(CObList* /*pPieces*/) {
    const int nTracks = GetTrackCount();
    // Every view refresh asks; almost always all is well, and then the track lists, which
    // name no material that would go, stay as they are instead of being built again.
    bool bAllShowable = true;
    for (POSITION pos = m_lstContainers.GetHeadPosition(); bAllShowable && pos != nullptr;) {
        const auto* pContainer = DYNAMIC_DOWNCAST(CKelSBContainerObj, m_lstContainers.GetNext(pos));
        if (pContainer == nullptr || pContainer->GetContentList().IsEmpty()) {
            bAllShowable = false;
            break;
        }
        const CKelObList& contents = pContainer->GetContentList();
        for (POSITION p = contents.GetHeadPosition(); bAllShowable && p != nullptr;)
            bAllShowable =
                IsShowable(DYNAMIC_DOWNCAST(CKelSBContentBaseObj, contents.GetNext(p)), nTracks);
    }
    if (bAllShowable) {
        ResetAllTrackContentList(); // nothing when they are current
        return 0;
    }
    ClearAllTrackContentList();
    int nRemoved = 0;
    for (POSITION pos = m_lstContainers.GetHeadPosition(); pos != nullptr;) {
        const POSITION here = pos;
        auto* pContainer = DYNAMIC_DOWNCAST(CKelSBContainerObj, m_lstContainers.GetNext(pos));
        if (pContainer == nullptr) {
            m_lstContainers.DeleteAt(here);
            ++nRemoved;
            continue;
        }
        CKelObList& contents = pContainer->GetContentList();
        for (POSITION p = contents.GetHeadPosition(); p != nullptr;) {
            const POSITION at = p;
            auto* pContent = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, contents.GetNext(p));
            if (!IsShowable(pContent, nTracks)) {
                contents.DeleteAt(at);
                ++nRemoved;
            }
        }
        if (contents.IsEmpty()) {
            m_lstContainers.DeleteAt(here);
            ++nRemoved;
        }
    }
    ResetAllTrackContentList();
    return nRemoved;
}

void CKelSBBodyObj::UpdateContentIcon(CObList* pPieces) {
    CKelContentIconMaker icons(pPieces);
    for (POSITION pos = m_lstContainers.GetHeadPosition(); pos != nullptr;) {
        if (auto* pContainer = DYNAMIC_DOWNCAST(CKelSBContainerObj, m_lstContainers.GetNext(pos)))
            icons.MakeFor(*pContainer);
    }
}

void CKelSBBodyObj::MakePieceContentIcon(CKelSBContainerObj* pContainer, CObList* pPieces) {
    if (pContainer != nullptr)
        MakePieceContentIcon(pContainer->GetContentList(), pPieces);
}

void CKelSBBodyObj::MakePieceContentIcon(CObList& contents, CObList* pPieces) {
    CKelContentIconMaker(pPieces).MakeFor(contents);
}

// ---- Time and properties --------------------------------------------------------------------

namespace {
std::uint64_t g_nUntoldStoryOuts = 0;
} // namespace

DWORD CKelSBBodyObj::GetDuration() const {
    if (!m_latestOuts.IsKnown() || m_nLatestOutsUntold != g_nUntoldStoryOuts) {
        m_latestOuts.Restart();
        kel::host::ForEachContent(m_lstContainers, [&](const CKelSBContentBaseObj& content) {
            m_latestOuts.Add(content.GetStoryOut());
        });
        m_nLatestOutsUntold = g_nUntoldStoryOuts;
    }
#ifndef NDEBUG
    // Debug builds hold the kept figure to a walk every time.
    DWORD dwWalked = 0;
    kel::host::ForEachContent(m_lstContainers, [&](const CKelSBContentBaseObj& content) {
        dwWalked = std::max(dwWalked, content.GetStoryOut());
    });
    assert(dwWalked == m_latestOuts.Latest() && "a story out moved without the storyboard knowing");
#endif
    return m_latestOuts.Latest();
}

void CKelSBBodyObj::NoteStoryOutAdded(DWORD dwOut) const {
    m_latestOuts.Add(dwOut);
}

void CKelSBBodyObj::NoteStoryOutRemoved(DWORD dwOut) const {
    m_latestOuts.Remove(dwOut);
}

void CKelSBBodyObj::NoteStoryOutUntold() {
    ++g_nUntoldStoryOuts;
}

CKelSBBodyObj::ContainerList::~ContainerList() {
    // The containers go with the storyboard: none may tell it anything on the way.
    for (POSITION pos = GetHeadPosition(); pos != nullptr;) {
        if (auto* pContainer = DYNAMIC_DOWNCAST(CKelSBContainerObj, GetNext(pos)))
            pContainer->SetBody(nullptr);
    }
    DeleteAll();
}

void CKelSBBodyObj::ContainerList::OnElementAdded(CObject* pObject) {
    CKelObList::OnElementAdded(pObject);
    auto* pContainer = DYNAMIC_DOWNCAST(CKelSBContainerObj, pObject);
    if (pContainer == nullptr)
        return;
    pContainer->SetBody(&m_owner);
    const CKelObList& contents = pContainer->GetContentList();
    for (POSITION pos = contents.GetHeadPosition(); pos != nullptr;) {
        if (const auto* pContent = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, contents.GetNext(pos)))
            m_owner.NoteMaterialCame(*pContent, pContainer);
    }
}

void CKelSBBodyObj::ContainerList::OnElementRemoved(CObject* pObject) {
    CKelObList::OnElementRemoved(pObject);
    auto* pContainer = DYNAMIC_DOWNCAST(CKelSBContainerObj, pObject);
    // A container the storyboard let go first (as its destruction does) tells it nothing: the
    // storyboard's own members may be gone by then.
    if (pContainer == nullptr || pContainer->GetBody() != &m_owner)
        return;
    const CKelObList& contents = pContainer->GetContentList();
    for (POSITION pos = contents.GetHeadPosition(); pos != nullptr;) {
        if (const auto* pContent = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, contents.GetNext(pos)))
            m_owner.NoteMaterialWent(*pContent);
    }
    pContainer->SetBody(nullptr);
}

int CKelSBBodyObj::SetFramesPerUnit(DWORD dwFrames) {
    // More frames to a unit than the longest storyboard holds shows nothing more.
    if (dwFrames == 0 || dwFrames > CKelSBContentBaseObj::kMaxFrame)
        return 0;
    m_dwFramesPerUnit = dwFrames;
    return 1;
}

void CKelSBBodyObj::SetTimeLinePos(DWORD dwFrame) {
    m_dwTimeLinePos = std::min(dwFrame, CKelSBContentBaseObj::kMaxFrame);
}

void CKelSBBodyObj::SetRange(DWORD dwStart, DWORD dwEnd) {
    dwStart = std::min(dwStart, CKelSBContentBaseObj::kMaxFrame);
    dwEnd = std::min(dwEnd, CKelSBContentBaseObj::kMaxFrame);
    m_attr.dwRangeStart = std::min(dwStart, dwEnd);
    m_attr.dwRangeEnd = std::max(dwStart, dwEnd);
}

void CKelSBBodyObj::SetEditAttr(const CKelSBBodyAttr& attr) {
    m_attr = attr;
    m_attr.nTrackHeight = std::clamp(attr.nTrackHeight, kMinTrackHeight, kMaxTrackHeight);
    SetRange(attr.dwRangeStart, attr.dwRangeEnd);
}

CKelSBBodyObj* CKelSBBodyObj::MakeCopy() const {
    return new CKelSBBodyObj(*this);
}

// ---- Storage --------------------------------------------------------------------------------

void CKelSBBodyObj::Serialize(CArchive& ar) {
    CKelObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_attr.strName << m_attr.nFrameDisplay << m_attr.nTrackHeight << m_attr.nPlayRangeOnly
           << m_attr.dwRangeStart << m_attr.dwRangeEnd;
        ar << m_dwFramesPerUnit << m_dwTimeLinePos << m_nDeleteMode;
        m_lstTracks.SerializeOf(ar, RUNTIME_CLASS(CKelSBTrackObj));
        m_lstContainers.SerializeOf(ar, RUNTIME_CLASS(CKelSBContainerObj));
        return;
    }
    CKelSBBodyAttr attr;
    DWORD dwFramesPerUnit = 0;
    DWORD dwTimeLine = 0;
    int nDeleteMode = 0;
    ar >> attr.strName >> attr.nFrameDisplay >> attr.nTrackHeight >> attr.nPlayRangeOnly >>
        attr.dwRangeStart >> attr.dwRangeEnd;
    ar >> dwFramesPerUnit >> dwTimeLine >> nDeleteMode;
    KelArchiveRequire(attr.nTrackHeight >= kMinTrackHeight && attr.nTrackHeight <= kMaxTrackHeight);
    KelArchiveRequire(attr.dwRangeStart <= attr.dwRangeEnd);
    KelArchiveRequire(dwFramesPerUnit >= 1);
    KelArchiveRequire(nDeleteMode == 0 || nDeleteMode == 1);
    const DWORD dwMaxFrame = CKelSBContentBaseObj::kMaxFrame;
    KelArchiveRequireAtMost(dwFramesPerUnit, dwMaxFrame, "A storyboard's frames per unit");
    KelArchiveRequireAtMost(dwTimeLine, dwMaxFrame, "A storyboard's time line position");
    KelArchiveRequireAtMost(attr.dwRangeEnd, dwMaxFrame, "A storyboard's range end");

    // Read into fresh lists so that a failure leaves this storyboard as it was.
    CKelObList tracks(CKelObList::kQuiet);
    CKelObList containers(CKelObList::kQuiet);
    tracks.SerializeOf(ar, RUNTIME_CLASS(CKelSBTrackObj));
    KelArchiveRequire(tracks.GetCount() <= kMaxTrackCount, CArchiveException::badIndex);
    containers.SerializeOf(ar, RUNTIME_CLASS(CKelSBContainerObj));
    bool bIndicesOk = true;
    kel::host::ForEachContent(containers, [&](const CKelSBContentBaseObj& content) {
        bIndicesOk = bIndicesOk && content.GetTrackIndex() < tracks.GetCount();
    });
    KelArchiveRequire(bIndicesOk, CArchiveException::badIndex);

    ClearAllTrackContentList();
    m_lstTracks.DeleteAll();
    m_lstTracks.AddTail(&tracks);
    tracks.RemoveAll();
    m_lstContainers.DeleteAll();
    m_lstContainers.AddTail(&containers);
    containers.RemoveAll();
    m_attr = attr;
    m_dwFramesPerUnit = dwFramesPerUnit;
    m_dwTimeLinePos = dwTimeLine;
    m_nDeleteMode = nDeleteMode;
    m_pURBase->ClearHistory();
    ResetAllTrackContentList();
}
