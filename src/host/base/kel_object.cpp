#include "host/base/kel_object.h"

#include "platform/archive.h"

IMPLEMENT_SERIAL(CKelObject, CObject, 1)
IMPLEMENT_SERIAL(CKelObList, CObList, 1)

namespace {
std::uint64_t g_modelGeneration = 0;
} // namespace

std::uint64_t KelModelGeneration() {
    return g_modelGeneration;
}

void KelModelChanged() {
    ++g_modelGeneration;
}

void KelArchiveRequire(bool bOk, int nCause) {
    if (!bOk)
        throw CArchiveException(nCause);
}

void KelArchiveRequireAtMost(DWORD dwValue, DWORD dwMax, const char* pszWhat) {
    if (dwValue <= dwMax)
        return;
    CString strWhat;
    strWhat.Format("%s %lu is beyond the largest the editor supports, %lu", pszWhat,
                   static_cast<unsigned long>(dwValue), static_cast<unsigned long>(dwMax));
    throw CKelValueLimitException(strWhat);
}

CKelObject* CKelObject::MakeCopy() const {
    return new CKelObject(*this);
}

void CKelObject::Serialize(CArchive& ar) {
    CObject::Serialize(ar);
}

CKelObList::CKelObList(INT_PTR nBlockSize) : CObList(nBlockSize) {}

CKelObList::CKelObList(QuietTag) : CObList(10), m_bQuiet(true) {}

CKelObList::CKelObList(const CKelObList& other) : CObList(10), m_bQuiet(other.m_bQuiet) {
    AppendCopies(other);
}

CKelObList& CKelObList::operator=(const CKelObList& other) {
    if (this == &other)
        return *this;
    // Copy first, so that a failing copy leaves this list as it was.
    CKelObList copies(kQuiet);
    copies.AppendCopies(other);
    DeleteAll();
    AddTail(&copies);
    copies.RemoveAll();
    return *this;
}

CKelObList::~CKelObList() {
    DeleteAll();
}

void CKelObList::NoteHeld(CObject* pObject, int nDelta) {
    if (auto* pKel = DYNAMIC_DOWNCAST(CKelObject, pObject))
        pKel->m_nHolders += nDelta;
}

void CKelObList::OnElementAdded(CObject* pObject) {
    NoteHeld(pObject, +1);
    if (!m_bQuiet)
        KelModelChanged();
}

void CKelObList::OnElementRemoved(CObject* pObject) {
    NoteHeld(pObject, -1);
    if (!m_bQuiet)
        KelModelChanged();
}

void CKelObList::DeleteAt(POSITION position) {
    CObject* pObject = GetAt(position);
    RemoveAt(position);
    delete pObject;
}

void CKelObList::DeleteAll() {
    while (!IsEmpty())
        delete RemoveHead();
}

void CKelObList::AppendCopies(const CObList& other) {
    CKelObList copies(kQuiet); // deleted with their list if a later copy throws
    for (POSITION pos = other.GetHeadPosition(); pos != nullptr;) {
        const CObject* pObject = other.GetNext(pos);
        if (pObject == nullptr) {
            copies.AddTail(static_cast<CObject*>(nullptr));
            continue;
        }
        const auto* pKel = DYNAMIC_DOWNCAST(CKelObject, pObject);
        if (pKel == nullptr)
            throw CInvalidArgException("only model objects can be copied");
        copies.AddTail(pKel->MakeCopy());
    }
    AddTail(&copies);
    copies.RemoveAll();
}

CObject* CKelObList::GetAtIndex(INT_PTR nIndex) const {
    POSITION pos = FindIndex(nIndex);
    return pos ? GetAt(pos) : nullptr;
}

void CKelObList::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<ULONGLONG>(GetCount()));
        for (POSITION pos = GetHeadPosition(); pos != nullptr;)
            ar.WriteObject(GetNext(pos));
        return;
    }
    DeleteAll();
    const ULONGLONG nCount = ar.ReadCount();
    for (ULONGLONG i = 0; i < nCount; ++i) {
        CObject* pObject = ar.ReadObject(RUNTIME_CLASS(CKelObject));
        AddTail(pObject);
    }
}

void CKelObList::SerializeOf(CArchive& ar, const CRuntimeClass* pExpected) {
    if (ar.IsStoring()) {
        Serialize(ar);
        return;
    }
    DeleteAll();
    const ULONGLONG nCount = ar.ReadCount();
    for (ULONGLONG i = 0; i < nCount; ++i) {
        CObject* pObject = ar.ReadObject(pExpected);
        if (pObject == nullptr)
            throw CArchiveException(CArchiveException::badClass);
        AddTail(pObject);
    }
}
