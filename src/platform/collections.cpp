#include "platform/collections.h"

#include "platform/archive.h"

struct CObList::Node : kel::platform::PositionTag {
    Node* pNext;
    Node* pPrev;
    CObject* data;
};

IMPLEMENT_SERIAL(CObList, CObject, 0)

CObList::CObList(INT_PTR nBlockSize) {
    (void)nBlockSize;
}

CObList::~CObList() {
    RemoveAll();
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
    (pPrev ? pPrev->pNext : m_pHead) = node;
    (pNext ? pNext->pPrev : m_pTail) = node;
    ++m_nCount;
    return node;
}

CObject*& CObList::GetHead() {
    if (m_pHead == nullptr)
        throw CInvalidArgException("GetHead on an empty list");
    return m_pHead->data;
}

CObject* CObList::GetHead() const {
    return const_cast<CObList*>(this)->GetHead();
}

CObject*& CObList::GetTail() {
    if (m_pTail == nullptr)
        throw CInvalidArgException("GetTail on an empty list");
    return m_pTail->data;
}

CObject* CObList::GetTail() const {
    return const_cast<CObList*>(this)->GetTail();
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
    while (node != nullptr) {
        Node* next = node->pNext;
        delete node;
        node = next;
    }
    m_pHead = m_pTail = nullptr;
    m_nCount = 0;
}

POSITION CObList::GetHeadPosition() const {
    return m_pHead;
}

POSITION CObList::GetTailPosition() const {
    return m_pTail;
}

CObject*& CObList::GetNext(POSITION& rPosition) {
    Node* node = NodeOf(rPosition);
    rPosition = node->pNext;
    return node->data;
}

CObject* CObList::GetNext(POSITION& rPosition) const {
    return const_cast<CObList*>(this)->GetNext(rPosition);
}

CObject*& CObList::GetPrev(POSITION& rPosition) {
    Node* node = NodeOf(rPosition);
    rPosition = node->pPrev;
    return node->data;
}

CObject* CObList::GetPrev(POSITION& rPosition) const {
    return const_cast<CObList*>(this)->GetPrev(rPosition);
}

CObject*& CObList::GetAt(POSITION position) {
    return NodeOf(position)->data;
}

CObject* CObList::GetAt(POSITION position) const {
    return NodeOf(position)->data;
}

void CObList::SetAt(POSITION pos, CObject* newElement) {
    NodeOf(pos)->data = newElement;
}

void CObList::RemoveAt(POSITION position) {
    Node* node = NodeOf(position);
    (node->pPrev ? node->pPrev->pNext : m_pHead) = node->pNext;
    (node->pNext ? node->pNext->pPrev : m_pTail) = node->pPrev;
    delete node;
    --m_nCount;
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
    Node* node = m_pHead;
    while (nIndex-- > 0)
        node = node->pNext;
    return node;
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
