#include "platform/collections.h"

#include "platform/archive.h"

#include <unordered_map>

struct CObList::Node : kel::platform::PositionTag {
    Node* pNext;
    Node* pPrev;
    CObject* data;
    INT_PTR nIndex;     // the node's place, as of edit nStamp of the index's log
    std::size_t nStamp; // how many logged edits nIndex already allows for
};

// Lists up to this long are walked: building an index would cost more than it saves.
static constexpr INT_PTR kWalkedListLength = 16;

// Insertions and removals in the middle of a list, logged so that the nodes after them need not
// be renumbered; past this many the next look-up by place numbers the list again.
static constexpr std::size_t kLoggedEdits = 64;

// What makes look-ups constant time. Each half is either valid, and then agrees with the list,
// or marked invalid and rebuilt by the next look-up that needs it.
struct CObList::Index {
    struct Holder {
        Node* first;   // the first node holding the value
        INT_PTR count; // how many nodes hold it
    };
    // An insertion (+1) or removal (-1) at a place, since the list was last numbered.
    struct Edit {
        INT_PTR place;
        INT_PTR delta;
    };
    // The nodes by place. A node's place is its nIndex moved by the edits logged after its
    // stamp; an edit in the middle shifts the vector (a move of memory, cheap next to visiting
    // every node after it) instead of renumbering them.
    std::vector<Node*> order;
    std::vector<Edit> edits;
    bool bOrder = false;
    std::unordered_map<const CObject*, Holder> values;
    bool bValues = false;
};

IMPLEMENT_SERIAL(CObList, CObject, 0)

CObList::CObList(INT_PTR nBlockSize) {
    (void)nBlockSize;
}

CObList::~CObList() {
    for (Node* node = m_pHead; node != nullptr;) {
        Node* next = node->pNext;
        delete node;
        node = next;
    }
}

CObList::Node* CObList::NodeOf(POSITION position) {
    if (position == nullptr)
        throw CInvalidArgException("null list position");
    return static_cast<Node*>(position);
}

CObList::Node* CObList::NewNode(Node* pPrev, Node* pNext, CObject* pObject) {
    Node* node = new Node;
    node->pPrev = pPrev;
    node->pNext = pNext;
    node->data = pObject;
    node->nIndex = 0;
    node->nStamp = 0;
    (pPrev ? pPrev->pNext : m_pHead) = node;
    (pNext ? pNext->pPrev : m_pTail) = node;
    ++m_nCount;
    if (Index* index = m_pIndex.get()) {
        if (index->bOrder && pNext == nullptr) {
            node->nIndex = static_cast<INT_PTR>(index->order.size());
            node->nStamp = index->edits.size();
            index->order.push_back(node);
        } else if (const INT_PTR place = index->bOrder && index->edits.size() < kLoggedEdits
                                             ? PlaceOf(*index, pNext)
                                             : -1;
                   place >= 0) {
            index->order.insert(index->order.begin() + place, node);
            index->edits.push_back({place, +1});
            node->nIndex = place;
            node->nStamp = index->edits.size();
        } else {
            index->bOrder = false;
        }
        if (index->bValues) {
            Index::Holder& holder =
                index->values.try_emplace(pObject, Index::Holder{node, 0}).first->second;
            // A value held before keeps its first node unless the new one went in front of
            // it; that is certain only at the head.
            if (holder.count > 0 && pPrev == nullptr)
                holder.first = node;
            else if (holder.count > 0 && pNext != nullptr)
                index->bValues = false;
            ++holder.count;
        }
    }
    OnElementAdded(pObject);
    return node;
}

void CObList::Unlink(Node* node) {
    if (Index* index = m_pIndex.get()) {
        if (index->bOrder && node->pNext == nullptr) {
            index->order.pop_back();
        } else if (const INT_PTR place = index->bOrder && index->edits.size() < kLoggedEdits
                                             ? PlaceOf(*index, node)
                                             : -1;
                   place >= 0) {
            index->order.erase(index->order.begin() + place);
            index->edits.push_back({place, -1});
        } else {
            index->bOrder = false;
        }
        if (index->bValues) {
            auto it = index->values.find(node->data);
            if (--it->second.count == 0)
                index->values.erase(it);
            else if (it->second.first == node)
                index->bValues = false; // the next holder must be looked for
        }
    }
    (node->pPrev ? node->pPrev->pNext : m_pHead) = node->pNext;
    (node->pNext ? node->pNext->pPrev : m_pTail) = node->pPrev;
    --m_nCount;
}

CObList::Index* CObList::IndexForLookup() const {
    if (m_nCount <= kWalkedListLength)
        return nullptr;
    if (!m_pIndex)
        m_pIndex = std::make_unique<Index>();
    return m_pIndex.get();
}

CObList::Index* CObList::PositionIndex() const {
    Index* index = IndexForLookup();
    if (index && !index->bOrder) {
        index->order.clear();
        index->order.reserve(static_cast<std::size_t>(m_nCount));
        index->edits.clear();
        for (Node* node = m_pHead; node != nullptr; node = node->pNext) {
            node->nIndex = static_cast<INT_PTR>(index->order.size());
            node->nStamp = 0;
            index->order.push_back(node);
        }
        index->bOrder = true;
    }
    return index;
}

INT_PTR CObList::PlaceOf(const Index& index, const Node* node) {
    if (node->nStamp > index.edits.size())
        return -1; // numbered by another list
    INT_PTR place = node->nIndex;
    for (std::size_t e = node->nStamp; e < index.edits.size(); ++e) {
        const Index::Edit& edit = index.edits[e];
        if (edit.delta > 0 ? edit.place <= place : edit.place < place)
            place += edit.delta;
    }
    if (place < 0 || static_cast<std::size_t>(place) >= index.order.size() ||
        index.order[static_cast<std::size_t>(place)] != node)
        return -1;
    // Found once, found at once the next time.
    Node* mutableNode = index.order[static_cast<std::size_t>(place)];
    mutableNode->nIndex = place;
    mutableNode->nStamp = index.edits.size();
    return place;
}

CObList::Index* CObList::ValueIndex() const {
    Index* index = IndexForLookup();
    if (index && !index->bValues) {
        index->values.clear();
        index->values.reserve(static_cast<std::size_t>(m_nCount));
        for (Node* node = m_pHead; node != nullptr; node = node->pNext)
            ++index->values.try_emplace(node->data, Index::Holder{node, 0}).first->second.count;
        index->bValues = true;
    }
    return index;
}

CObject* CObList::GetHead() const {
    if (m_pHead == nullptr)
        throw CInvalidArgException("GetHead on an empty list");
    return m_pHead->data;
}

CObject* CObList::GetTail() const {
    if (m_pTail == nullptr)
        throw CInvalidArgException("GetTail on an empty list");
    return m_pTail->data;
}

CObject* CObList::RemoveHead() {
    if (m_pHead == nullptr)
        throw CInvalidArgException("RemoveHead on an empty list");
    CObject* pObject = m_pHead->data;
    RemoveAt(m_pHead);
    return pObject;
}

CObject* CObList::RemoveTail() {
    if (m_pTail == nullptr)
        throw CInvalidArgException("RemoveTail on an empty list");
    CObject* pObject = m_pTail->data;
    RemoveAt(m_pTail);
    return pObject;
}

POSITION CObList::AddHead(CObject* newElement) {
    return NewNode(nullptr, m_pHead, newElement);
}

POSITION CObList::AddTail(CObject* newElement) {
    return NewNode(m_pTail, nullptr, newElement);
}

void CObList::AddHead(const CObList* pNewList) {
    if (pNewList == nullptr)
        throw CInvalidArgException("AddHead of a null list");
    // Walking the other list backwards from its tail, each element goes in front of the one
    // added before it; the count is fixed first so that adding a list to itself ends.
    Node* node = pNewList->m_pTail;
    for (INT_PTR n = pNewList->m_nCount; n > 0; --n, node = node->pPrev)
        AddHead(node->data);
}

void CObList::AddTail(const CObList* pNewList) {
    if (pNewList == nullptr)
        throw CInvalidArgException("AddTail of a null list");
    Node* node = pNewList->m_pHead;
    for (INT_PTR n = pNewList->m_nCount; n > 0; --n, node = node->pNext)
        AddTail(node->data);
}

void CObList::RemoveAll() {
    Node* node = m_pHead;
    m_pHead = m_pTail = nullptr;
    m_nCount = 0;
    m_pIndex.reset();
    while (node != nullptr) {
        Node* next = node->pNext;
        CObject* pObject = node->data;
        delete node;
        OnElementRemoved(pObject);
        node = next;
    }
}

POSITION CObList::GetHeadPosition() const {
    return m_pHead;
}

POSITION CObList::GetTailPosition() const {
    return m_pTail;
}

CObject* CObList::GetNext(POSITION& rPosition) const {
    Node* node = NodeOf(rPosition);
    rPosition = node->pNext;
    return node->data;
}

CObject* CObList::GetPrev(POSITION& rPosition) const {
    Node* node = NodeOf(rPosition);
    rPosition = node->pPrev;
    return node->data;
}

CObject* CObList::GetAt(POSITION position) const {
    return NodeOf(position)->data;
}

void CObList::SetAt(POSITION pos, CObject* newElement) {
    Node* node = NodeOf(pos);
    CObject* pOld = node->data;
    if (pOld == newElement)
        return;
    if (Index* index = m_pIndex.get(); index && index->bValues) {
        // The old value leaves this place and the new one arrives in the middle of the list:
        // the bookkeeping of Unlink and NewNode without moving the node.
        auto it = index->values.find(pOld);
        if (--it->second.count == 0)
            index->values.erase(it);
        else if (it->second.first == node)
            index->bValues = false;
        if (index->bValues) {
            Index::Holder& holder =
                index->values.try_emplace(newElement, Index::Holder{node, 0}).first->second;
            if (holder.count > 0)
                index->bValues = false;
            ++holder.count;
        }
    }
    node->data = newElement;
    OnElementRemoved(pOld);
    OnElementAdded(newElement);
}

void CObList::RemoveAt(POSITION position) {
    Node* node = NodeOf(position);
    CObject* pObject = node->data;
    Unlink(node);
    delete node;
    OnElementRemoved(pObject);
}

POSITION CObList::InsertBefore(POSITION position, CObject* newElement) {
    if (position == nullptr)
        return AddHead(newElement);
    Node* node = NodeOf(position);
    return NewNode(node->pPrev, node, newElement);
}

POSITION CObList::InsertAfter(POSITION position, CObject* newElement) {
    if (position == nullptr)
        return AddTail(newElement);
    Node* node = NodeOf(position);
    return NewNode(node, node->pNext, newElement);
}

POSITION CObList::Find(const CObject* searchValue, POSITION startAfter) const {
    if (const Index* index = ValueIndex()) {
        auto it = index->values.find(searchValue);
        if (it == index->values.end())
            return nullptr;
        Node* first = it->second.first;
        if (startAfter == nullptr)
            return first;
        // After a given place: the first holder answers when it lies beyond that place, and a
        // value held once has no other holder to look for.
        if (GetIndexOf(first) > GetIndexOf(startAfter))
            return first;
        if (it->second.count == 1)
            return nullptr;
    }
    Node* node = startAfter ? NodeOf(startAfter)->pNext : m_pHead;
    for (; node != nullptr; node = node->pNext) {
        if (node->data == searchValue)
            return node;
    }
    return nullptr;
}

POSITION CObList::FindIndex(INT_PTR nIndex) const {
    if (nIndex < 0 || nIndex >= m_nCount)
        return nullptr;
    if (const Index* index = PositionIndex())
        return index->order[static_cast<std::size_t>(nIndex)];
    Node* node = m_pHead;
    while (nIndex-- > 0)
        node = node->pNext;
    return node;
}

INT_PTR CObList::GetIndexOf(POSITION position) const {
    const Node* target = NodeOf(position);
    if (const Index* index = PositionIndex()) {
        const INT_PTR place = PlaceOf(*index, target);
        if (place >= 0)
            return place;
        throw CInvalidArgException("position of another list");
    }
    INT_PTR nIndex = 0;
    for (const Node* node = m_pHead; node != nullptr; node = node->pNext, ++nIndex) {
        if (node == target)
            return nIndex;
    }
    throw CInvalidArgException("position of another list");
}

INT_PTR CObList::IndexOf(const CObject* pObject) const {
    POSITION pos = Find(pObject);
    return pos ? GetIndexOf(pos) : -1;
}

void CObList::Serialize(CArchive& ar) {
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<ULONGLONG>(m_nCount));
        for (Node* node = m_pHead; node != nullptr; node = node->pNext)
            ar << node->data;
    } else {
        for (ULONGLONG n = ar.ReadCount(); n > 0; --n)
            AddTail(ar.ReadObject(nullptr));
    }
}

namespace {

// Loads count values one at a time: the array grows only with data actually present.
template <class Array, class Value>
void LoadValues(CArchive& ar, Array& array) {
    array.RemoveAll();
    for (ULONGLONG n = ar.ReadCount(); n > 0; --n) {
        Value value{};
        ar >> value;
        array.Add(value);
    }
}

template <class Array>
void StoreValues(CArchive& ar, const Array& array) {
    ar.WriteCount(static_cast<ULONGLONG>(array.GetSize()));
    for (const auto& value : array)
        ar << value;
}

} // namespace

IMPLEMENT_SERIAL(CDWordArray, CObject, 0)
IMPLEMENT_SERIAL(CUIntArray, CObject, 0)
IMPLEMENT_SERIAL(CWordArray, CObject, 0)
IMPLEMENT_SERIAL(CStringArray, CObject, 0)
IMPLEMENT_SERIAL(CObArray, CObject, 0)
IMPLEMENT_DYNAMIC(CPtrArray, CObject)

void CDWordArray::Serialize(CArchive& ar) {
    if (ar.IsStoring())
        StoreValues(ar, *this);
    else
        LoadValues<CDWordArray, DWORD>(ar, *this);
}

void CUIntArray::Serialize(CArchive& ar) {
    if (ar.IsStoring())
        StoreValues(ar, *this);
    else
        LoadValues<CUIntArray, UINT>(ar, *this);
}

void CWordArray::Serialize(CArchive& ar) {
    if (ar.IsStoring())
        StoreValues(ar, *this);
    else
        LoadValues<CWordArray, WORD>(ar, *this);
}

void CStringArray::Serialize(CArchive& ar) {
    if (ar.IsStoring())
        StoreValues(ar, *this);
    else
        LoadValues<CStringArray, CString>(ar, *this);
}

void CObArray::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<ULONGLONG>(GetSize()));
        for (CObject* pObject : *this)
            ar << pObject;
    } else {
        // As with the list: what was read stays in the array for its owner to delete.
        RemoveAll();
        for (ULONGLONG n = ar.ReadCount(); n > 0; --n)
            Add(ar.ReadObject(nullptr));
    }
}

void CPtrArray::Serialize(CArchive&) {
    throw CNotSupportedException();
}
