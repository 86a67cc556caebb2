// The root of the host's model objects and the owning object list they live in.
#pragma once

#include "platform/collections.h"
#include "platform/exceptions.h"
#include "platform/object.h"

#include <cstdint>

class CArchive;

// The generation of the host's documents: it moves whenever an owning list (CKelObList) gains,
// loses or replaces an object, or a material held by one gets other times or another track.
// Data derived from a document (durations, track lists, look-up indexes) remembers the
// generation it was built at and stays current while the generation does, so asking for it
// again costs nothing until something changes.
std::uint64_t KelModelGeneration();
void KelModelChanged();

// Raises CArchiveException with the cause unless the loaded value is acceptable: the common
// check of every Serialize that reads counts, indices and times.
void KelArchiveRequire(bool bOk, int nCause = CArchiveException::genericException);

// A loaded value beyond what this program supports. The file need not be damaged (another
// writer may allow more), so its message names the value instead of calling the file broken.
class CKelValueLimitException : public CArchiveException {
public:
    explicit CKelValueLimitException(CString strWhat)
        : CArchiveException(genericException), m_strWhat(std::move(strWhat)) {}
    CString GetErrorMessage() const override { return m_strWhat; }

private:
    CString m_strWhat;
};

// Raises CKelValueLimitException naming the value ("frames per unit 90000000 is beyond the
// largest the editor supports, 82944000") when dwValue exceeds dwMax.
void KelArchiveRequireAtMost(DWORD dwValue, DWORD dwMax, const char* pszWhat);

// Every object the host stores or copies: it can make a deep copy of itself and serialise.
class CKelObject : public CObject {
    DECLARE_SERIAL(CKelObject)
public:
    CKelObject() = default;
    // A copy is a free object, whoever holds the original.
    CKelObject(const CKelObject& other) : CObject(other) {}
    CKelObject& operator=(const CKelObject&) { return *this; }
    ~CKelObject() override = default;

    // A new, independent object of the same class with the same data; the caller owns it.
    virtual CKelObject* MakeCopy() const;
    void Serialize(CArchive& ar) override;

    // Whether an owning list holds the object: it is part of a document (or of a clipboard or
    // snapshot) rather than a free copy, and its changes move the model generation.
    bool IsHeld() const { return m_nHolders > 0; }

private:
    friend class CKelObList;
    int m_nHolders = 0; // owning lists holding the object
};

// An object list that owns its objects: the destructor, DeleteAt and DeleteAll delete them.
// RemoveAt/RemoveAll (inherited) take objects out without deleting them, for callers that
// borrow the list for objects owned elsewhere. Copying (construction or assignment) makes a
// deep copy through MakeCopy; every object in a copied list must be a CKelObject, otherwise
// the copy throws CInvalidArgException and leaves the target empty.
class CKelObList : public CObList {
    DECLARE_SERIAL(CKelObList)
public:
    // Changes of an owning list move the model generation, unless the list is quiet: one that
    // no storyboard derives anything from (the piece copies a material carries, a list filled
    // before its objects go anywhere). A copy of a quiet list is quiet.
    struct QuietTag {};
    static constexpr QuietTag kQuiet{};

    explicit CKelObList(INT_PTR nBlockSize = 10);
    explicit CKelObList(QuietTag);
    CKelObList(const CKelObList& other);
    CKelObList& operator=(const CKelObList& other);
    ~CKelObList() override;

    // Deletes the object at the position and removes the node.
    void DeleteAt(POSITION position);
    // Deletes every object and empties the list.
    void DeleteAll();
    // Appends deep copies of the other list's objects (the list may be this one).
    void AppendCopies(const CObList& other);

    // The object at an index, or null when the index is out of range.
    CObject* GetAtIndex(INT_PTR nIndex) const;

    // Stores like CObList. Loading first deletes what the list holds, then reads; every
    // object read must be a CKelObject (else CArchiveException badClass). On failure the
    // objects read so far stay in the list and are deleted with it.
    void Serialize(CArchive& ar) override;
    // Loading as Serialize, but every object must be of pExpected or derived from it and none
    // may be null; storing is the same as Serialize.
    void SerializeOf(CArchive& ar, const CRuntimeClass* pExpected);

protected:
    void OnElementAdded(CObject* pObject) override;
    void OnElementRemoved(CObject* pObject) override;
    // Only the holder counts of the object change, the model generation stays; for lists that
    // decide themselves when their changes matter.
    static void NoteHeld(CObject* pObject, int nDelta);

private:
    bool m_bQuiet = false;
};
