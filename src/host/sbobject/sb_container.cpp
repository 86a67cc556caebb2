#include "host/sbobject/sb_container.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_content.h"
#include "platform/archive.h"

#include <algorithm>
#include <cassert>
#include <vector>

IMPLEMENT_SERIAL(CKelSBContainerObj, CKelObject, 1)
IMPLEMENT_SERIAL(CKelSBTrackObj, CKelObject, 1)

// ---- Container ------------------------------------------------------------------------------

CKelSBContainerObj::CKelSBContainerObj(const CKelSBContainerObj& other) : CKelObject(other) {
    // Copied here rather than in the list's constructor, where the list could not yet tell
    // the copies who holds them.
    m_lstContents.AppendCopies(other.m_lstContents);
}

CKelSBContainerObj& CKelSBContainerObj::operator=(const CKelSBContainerObj& other) {
    m_lstContents = other.m_lstContents;
    return *this;
}

void CKelSBContainerObj::ContentList::OnElementAdded(CObject* pObject) {
    CKelObList::OnElementAdded(pObject);
    NoteMaterial(pObject, true);
}

void CKelSBContainerObj::ContentList::OnElementRemoved(CObject* pObject) {
    CKelObList::OnElementRemoved(pObject);
    NoteMaterial(pObject, false);
}

void CKelSBContainerObj::ContentList::NoteMaterial(CObject* pObject, bool bCame) {
    if (m_owner.IsHeld())
        KelModelChanged();
    auto* pContent = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, pObject);
    if (pContent == nullptr)
        return;
    if (const CKelSBBodyObj* pBody = m_owner.m_pBody) {
        if (bCame)
            pBody->NoteMaterialCame(*pContent, &m_owner);
        else
            pBody->NoteMaterialWent(*pContent);
    }
    if (m_owner.m_pBody != nullptr)
        pContent->m_nStoryboardHolders += bCame ? 1 : -1;
    // The holder named is one in a storyboard whenever a container holding the material is;
    // where that is not known there is none, and the material's moves are told to every
    // storyboard. A material that leaves its holder while other containers still hold it has
    // none then; a container in no storyboard (a drag group's) that takes it afterwards claims
    // it only while no storyboard's container holds it.
    const CKelSBContainerObj* pHolder = pContent->m_pHolder;
    if (bCame) {
        const bool bHolderGone =
            pHolder == nullptr || pHolder->m_lstContents.Find(pContent) == nullptr;
        if (m_owner.m_pBody != nullptr ? bHolderGone || pHolder->m_pBody == nullptr
                                       : bHolderGone && pContent->m_nStoryboardHolders == 0)
            pContent->m_pHolder = &m_owner;
        else if (bHolderGone)
            pContent->m_pHolder = nullptr;
    } else if (pHolder == &m_owner) {
        pContent->m_pHolder = nullptr;
    }
}

void CKelSBContainerObj::SetBody(const CKelSBBodyObj* pBody) {
    const int nEntering = (pBody != nullptr) - (m_pBody != nullptr);
    m_pBody = pBody;
    for (POSITION pos = m_lstContents.GetHeadPosition(); pos != nullptr;) {
        auto* pContent = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, m_lstContents.GetNext(pos));
        if (pContent == nullptr)
            continue;
        pContent->m_nStoryboardHolders += nEntering;
        if (pBody != nullptr &&
            (pContent->m_pHolder == nullptr || pContent->m_pHolder->m_pBody == nullptr))
            pContent->m_pHolder = this;
    }
}

CKelSBContentBaseObj* CKelSBContainerObj::GetContentObj(INT_PTR nIndex) const {
    return DYNAMIC_DOWNCAST(CKelSBContentBaseObj, m_lstContents.GetAtIndex(nIndex));
}

void CKelSBContainerObj::AddContent(CKelSBContentBaseObj* pContent) {
    m_lstContents.AddTail(pContent);
}

DWORD CKelSBContainerObj::GetStoryIn() const {
    DWORD dwIn = 0;
    bool bFirst = true;
    for (POSITION pos = m_lstContents.GetHeadPosition(); pos != nullptr;) {
        if (auto* p = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, m_lstContents.GetNext(pos))) {
            dwIn = bFirst ? p->GetStoryIn() : std::min(dwIn, p->GetStoryIn());
            bFirst = false;
        }
    }
    return dwIn;
}

DWORD CKelSBContainerObj::GetStoryOut() const {
    DWORD dwOut = 0;
    for (POSITION pos = m_lstContents.GetHeadPosition(); pos != nullptr;) {
        if (auto* p = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, m_lstContents.GetNext(pos)))
            dwOut = std::max(dwOut, p->GetStoryOut());
    }
    return dwOut;
}

DWORD CKelSBContainerObj::GetDuration() const {
    return m_lstContents.IsEmpty() ? 0 : GetStoryOut() - GetStoryIn();
}

int CKelSBContainerObj::MakeOrder(int nFlag) {
    return MakeOrder(m_lstContents, nFlag);
}

int CKelSBContainerObj::MakeOrder(CObList& list, int nFlag) {
    std::vector<CKelSBContentBaseObj*> items;
    items.reserve(static_cast<std::size_t>(list.GetCount()));
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        auto* p = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, list.GetNext(pos));
        if (p == nullptr)
            return 0;
        items.push_back(p);
    }
    std::stable_sort(items.begin(), items.end(), [](const auto* a, const auto* b) {
        if (a->GetStoryIn() != b->GetStoryIn())
            return a->GetStoryIn() < b->GetStoryIn();
        return a->GetTrackIndex() < b->GetTrackIndex();
    });
    if (nFlag == 1) {
        // In time order, a material overlaps an earlier one of its track exactly when it
        // starts before the latest end seen on that track.
        std::vector<std::pair<WORD, DWORD>> lastOut;
        for (const auto* p : items) {
            auto it = std::find_if(lastOut.begin(), lastOut.end(),
                                   [&](const auto& e) { return e.first == p->GetTrackIndex(); });
            if (it == lastOut.end()) {
                lastOut.emplace_back(p->GetTrackIndex(), p->GetStoryOut());
            } else {
                if (p->GetStoryIn() < it->second)
                    return 0;
                it->second = std::max(it->second, p->GetStoryOut());
            }
        }
    }
    std::size_t i = 0;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr; list.GetNext(pos))
        list.SetAt(pos, items[i++]);
    return 1;
}

CKelSBContainerObj* CKelSBContainerObj::MakeCopy() const {
    return new CKelSBContainerObj(*this);
}

void CKelSBContainerObj::Serialize(CArchive& ar) {
    CKelObject::Serialize(ar);
    m_lstContents.SerializeOf(ar, RUNTIME_CLASS(CKelSBContentBaseObj));
}

// ---- Track ----------------------------------------------------------------------------------

CKelSBTrackObj::CKelSBTrackObj(const CKelSBTrackObj& other)
    : CKelObject(other), m_bLocked(other.m_bLocked), m_bPlayAllowed(other.m_bPlayAllowed) {}

CKelSBTrackObj& CKelSBTrackObj::operator=(const CKelSBTrackObj& other) {
    m_bLocked = other.m_bLocked;
    m_bPlayAllowed = other.m_bPlayAllowed;
    return *this;
}

CKelSBContentBaseObj* CKelSBTrackObj::GetContentObj(INT_PTR nIndex) const {
    POSITION pos = m_lstContents.FindIndex(nIndex);
    return pos ? DYNAMIC_DOWNCAST(CKelSBContentBaseObj, m_lstContents.GetAt(pos)) : nullptr;
}

namespace {
std::uint64_t g_someTrackChanges = 0;
} // namespace

void CKelSBTrackObj::NoteSomeTrackChanged() {
    ++g_someTrackChanges;
}

const CKelSBTrackObj::TimeIndex& CKelSBTrackObj::CurrentTimeIndex() const {
    TimeIndex& index = m_timeIndex;
    if (index.nChanges == m_lstContents.nChanges && index.nSomeTrackChanges == g_someTrackChanges) {
#ifndef NDEBUG
        // Debug builds hold the kept index to one taken afresh: a change that forgot to tell
        // its track shows here.
        TimeIndex fresh;
        TakeTimeIndex(fresh);
        assert(fresh.contents == index.contents && fresh.storyIn == index.storyIn &&
               fresh.latestOut == index.latestOut && "a material moved without telling its track");
#endif
        return index;
    }
    TakeTimeIndex(index);
    index.nChanges = m_lstContents.nChanges;
    index.nSomeTrackChanges = g_someTrackChanges;
    return index;
}

void CKelSBTrackObj::TakeTimeIndex(TimeIndex& index) const {
    index.contents.clear();
    index.bInTimeOrder = true;
    for (POSITION pos = m_lstContents.GetHeadPosition(); pos != nullptr;) {
        if (auto* p = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, m_lstContents.GetNext(pos)))
            index.contents.push_back(p);
        else
            index.bInTimeOrder = false; // not a material: shown nowhere, so left out
    }
    TakeTimes(index);
}

void CKelSBTrackObj::TakeTimes(TimeIndex& index) {
    index.storyIn.clear();
    index.latestOut.clear();
    DWORD dwLatest = 0;
    for (const CKelSBContentBaseObj* pContent : index.contents) {
        if (!index.storyIn.empty() && pContent->GetStoryIn() < index.storyIn.back())
            index.bInTimeOrder = false;
        dwLatest = std::max(dwLatest, pContent->GetStoryOut());
        index.storyIn.push_back(pContent->GetStoryIn());
        index.latestOut.push_back(dwLatest);
    }
}

void CKelSBTrackObj::SetContentsInTimeOrder(std::vector<CKelSBContentBaseObj*> contents) {
    m_lstContents.RemoveAll();
    for (CKelSBContentBaseObj* pContent : contents)
        m_lstContents.AddTail(pContent);
    TimeIndex& index = m_timeIndex;
    index.contents = std::move(contents);
    index.bInTimeOrder = true;
    TakeTimes(index);
    index.nChanges = m_lstContents.nChanges;
    index.nSomeTrackChanges = g_someTrackChanges;
}

std::span<CKelSBContentBaseObj* const> CKelSBTrackObj::GetContentsNear(DWORD dwFrom,
                                                                       DWORD dwTo) const {
    const TimeIndex& index = CurrentTimeIndex();
    std::span<CKelSBContentBaseObj* const> all(index.contents);
    if (!index.bInTimeOrder)
        return all;
    const auto last = std::upper_bound(index.storyIn.begin(), index.storyIn.end(), dwTo);
    const auto first = std::lower_bound(
        index.latestOut.begin(), index.latestOut.begin() + (last - index.storyIn.begin()), dwFrom);
    const auto nFirst = static_cast<std::size_t>(first - index.latestOut.begin());
    const auto nLast = static_cast<std::size_t>(last - index.storyIn.begin());
    return all.subspan(nFirst, nLast - nFirst);
}

void CKelSBTrackObj::SetAllContentTrackIndex(WORD nTrack) {
    for (POSITION pos = m_lstContents.GetHeadPosition(); pos != nullptr;) {
        if (auto* p = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, m_lstContents.GetNext(pos)))
            p->SetTrackIndex(nTrack);
    }
}

CKelSBTrackObj* CKelSBTrackObj::MakeCopy() const {
    return new CKelSBTrackObj(*this);
}

void CKelSBTrackObj::Serialize(CArchive& ar) {
    CKelObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<int>(m_bLocked) << static_cast<int>(m_bPlayAllowed);
        return;
    }
    int nLocked = 0;
    int nPlay = 0;
    ar >> nLocked >> nPlay;
    m_lstContents.RemoveAll();
    m_bLocked = nLocked ? TRUE : FALSE;
    m_bPlayAllowed = nPlay ? TRUE : FALSE;
}
