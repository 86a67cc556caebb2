// Framework collections: the object list with stable positions and the growable arrays.
// None of them owns the objects it points at; owning variants delete explicitly.
#pragma once

#include "platform/cstring.h"
#include "platform/exceptions.h"
#include "platform/object.h"
#include "platform/win_types.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

using INT_PTR = std::intptr_t;

namespace kel::platform {
struct PositionTag {}; // what a POSITION points at; only the collections know more
} // namespace kel::platform

// An opaque place in a list. It stays valid until its own element is removed.
using POSITION = kel::platform::PositionTag*;

// The framework's doubly linked object list, with the look-ups a list of tens of thousands of
// materials needs: FindIndex, IndexOf and Find take constant time, through an index that every
// change keeps in step or marks for rebuilding. Short lists are walked.
// Elements change only through the list's own operations (SetAt, never a reference), so the
// index always agrees with what the list holds. An insertion or removal in the middle shifts
// the index rather than renumbering the list, a few dozen times before a renumbering.
class CObList : public CObject {
    DECLARE_SERIAL(CObList)
public:
    explicit CObList(INT_PTR nBlockSize = 10);
    ~CObList() override;
    CObList(const CObList&) = delete;
    CObList& operator=(const CObList&) = delete;

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    // The head/tail accessors and removers throw CInvalidArgException on an empty list.
    CObject* GetHead() const;
    CObject* GetTail() const;
    CObject* RemoveHead();
    CObject* RemoveTail();

    POSITION AddHead(CObject* newElement);
    POSITION AddTail(CObject* newElement);
    POSITION AddHead(std::nullptr_t) { return AddHead(static_cast<CObject*>(nullptr)); }
    POSITION AddTail(std::nullptr_t) { return AddTail(static_cast<CObject*>(nullptr)); }
    // Adds the other list's elements in their order (the list may be this one).
    void AddHead(const CObList* pNewList);
    void AddTail(const CObList* pNewList);
    void RemoveAll();

    POSITION GetHeadPosition() const;
    POSITION GetTailPosition() const;
    // Return the element at rPosition and move rPosition on (to null past the end).
    CObject* GetNext(POSITION& rPosition) const;
    CObject* GetPrev(POSITION& rPosition) const;

    CObject* GetAt(POSITION position) const;
    void SetAt(POSITION pos, CObject* newElement);
    void RemoveAt(POSITION position);

    // A null position inserts at the head (InsertBefore) or the tail (InsertAfter).
    POSITION InsertBefore(POSITION position, CObject* newElement);
    POSITION InsertAfter(POSITION position, CObject* newElement);

    // Null when not found; FindIndex also for a negative or too large index.
    POSITION Find(const CObject* searchValue, POSITION startAfter = nullptr) const;
    POSITION FindIndex(INT_PTR nIndex) const;
    // The index of a position of this list (0 at the head).
    INT_PTR GetIndexOf(POSITION position) const;
    // The index of the first element equal to pObject, -1 when the list does not hold it.
    INT_PTR IndexOf(const CObject* pObject) const;

    // The count, then every element as an object (null allowed). Loading appends to the
    // list as it goes, so after a failed load the list holds what was read so far and the
    // caller, who owns those objects, can delete them.
    void Serialize(CArchive& ar) override;

protected:
    // Told of every element that enters or leaves the list (SetAt: the old one leaves, the new
    // one enters). Not called while the list itself is destroyed.
    virtual void OnElementAdded(CObject* /*pObject*/) {}
    virtual void OnElementRemoved(CObject* /*pObject*/) {}

private:
    struct Node;
    struct Index;
    static Node* NodeOf(POSITION position);
    Node* NewNode(Node* pPrev, Node* pNext, CObject* pObject);
    void Unlink(Node* node);
    // The index, with the half asked for built or rebuilt as needed; null for a list short
    // enough to walk.
    Index* IndexForLookup() const;
    Index* PositionIndex() const;
    Index* ValueIndex() const;
    // The place of a node in a valid order, -1 for a node the order does not hold.
    static INT_PTR PlaceOf(const Index& index, const Node* node);

    Node* m_pHead = nullptr;
    Node* m_pTail = nullptr;
    INT_PTR m_nCount = 0;
    mutable std::unique_ptr<Index> m_pIndex;
};

// A growable array over std::vector. Every index is checked: out of range throws
// CInvalidArgException.
template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
public:
    CArray() = default;
    CArray(const CArray&) = default;
    CArray& operator=(const CArray&) = default;

    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_data.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    BOOL IsEmpty() const { return m_data.empty(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }

    // nGrowBy is accepted for compatibility; the vector decides how to grow.
    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1) {
        (void)nGrowBy;
        if (nNewSize < 0)
            throw CInvalidArgException("negative array size");
        m_data.resize(static_cast<std::size_t>(nNewSize));
    }
    void FreeExtra() { m_data.shrink_to_fit(); }
    void RemoveAll() { m_data.clear(); }

    const TYPE& GetAt(INT_PTR nIndex) const { return m_data[Checked(nIndex)]; }
    void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { m_data[Checked(nIndex)] = newElement; }
    TYPE& ElementAt(INT_PTR nIndex) { return m_data[Checked(nIndex)]; }
    const TYPE& ElementAt(INT_PTR nIndex) const { return m_data[Checked(nIndex)]; }
    TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }
    const TYPE& operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    TYPE* GetData() { return m_data.data(); }
    const TYPE* GetData() const { return m_data.data(); }

    // Grows the array up to nIndex if needed, as the framework does.
    void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement) {
        if (nIndex < 0)
            throw CInvalidArgException("negative array index");
        if (nIndex >= GetSize())
            SetSize(nIndex + 1);
        m_data[static_cast<std::size_t>(nIndex)] = newElement;
    }
    INT_PTR Add(ARG_TYPE newElement) {
        m_data.push_back(newElement);
        return GetUpperBound();
    }
    // Returns the old size (the index of the first appended element).
    INT_PTR Append(const CArray& src) {
        const INT_PTR oldSize = GetSize();
        if (&src == this) {
            std::vector<TYPE> copy(m_data);
            m_data.insert(m_data.end(), copy.begin(), copy.end());
        } else {
            m_data.insert(m_data.end(), src.m_data.begin(), src.m_data.end());
        }
        return oldSize;
    }
    void Copy(const CArray& src) {
        if (&src != this)
            m_data = src.m_data;
    }

    // Inserting past the end first grows the array to nIndex, as the framework does.
    void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1) {
        if (nIndex < 0 || nCount < 0)
            throw CInvalidArgException("negative array index or count");
        if (nIndex > GetSize())
            SetSize(nIndex);
        const TYPE value = newElement; // may refer into the array itself
        m_data.insert(m_data.begin() + nIndex, static_cast<std::size_t>(nCount), value);
    }
    void InsertAt(INT_PTR nStartIndex, const CArray* pNewArray) {
        if (pNewArray == nullptr || nStartIndex < 0)
            throw CInvalidArgException("bad array insertion");
        if (nStartIndex > GetSize())
            SetSize(nStartIndex);
        const std::vector<TYPE> copy(pNewArray->m_data);
        m_data.insert(m_data.begin() + nStartIndex, copy.begin(), copy.end());
    }
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1) {
        if (nIndex < 0 || nCount < 0 || nIndex > GetSize() || nCount > GetSize() - nIndex)
            throw CInvalidArgException("array range out of bounds");
        m_data.erase(m_data.begin() + nIndex, m_data.begin() + nIndex + nCount);
    }

    auto begin() { return m_data.begin(); }
    auto end() { return m_data.end(); }
    auto begin() const { return m_data.begin(); }
    auto end() const { return m_data.end(); }

protected:
    std::size_t Checked(INT_PTR nIndex) const {
        if (nIndex < 0 || nIndex >= GetSize())
            throw CInvalidArgException("array index out of range");
        return static_cast<std::size_t>(nIndex);
    }

    std::vector<TYPE> m_data;
};

class CDWordArray : public CArray<DWORD, DWORD> {
    DECLARE_SERIAL(CDWordArray)
public:
    void Serialize(CArchive& ar) override;
};

class CUIntArray : public CArray<UINT, UINT> {
    DECLARE_SERIAL(CUIntArray)
public:
    void Serialize(CArchive& ar) override;
};

class CWordArray : public CArray<WORD, WORD> {
    DECLARE_SERIAL(CWordArray)
public:
    void Serialize(CArchive& ar) override;
};

class CStringArray : public CArray<CString, const CString&> {
    DECLARE_SERIAL(CStringArray)
public:
    void Serialize(CArchive& ar) override;
};

// Points at objects without owning them; stores them as objects (null allowed).
class CObArray : public CArray<CObject*, CObject*> {
    DECLARE_SERIAL(CObArray)
public:
    void Serialize(CArchive& ar) override;
};

// Raw pointers cannot be stored: Serialize throws CNotSupportedException.
class CPtrArray : public CArray<void*, void*> {
    DECLARE_DYNAMIC(CPtrArray)
public:
    void Serialize(CArchive& ar) override;
};
