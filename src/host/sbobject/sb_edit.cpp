#include "host/sbobject/sb_edit.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/undo/ur_manager.h"
#include "platform/archive.h"

IMPLEMENT_SERIAL(CKelSBEditObj, CKelObject, 1)

namespace {
// Version of the document's own data, checked on load even when the document is read
// directly rather than as an object of an archive.
constexpr int kDocumentVersion = 1;
} // namespace

CKelSBEditObj::CKelSBEditObj() {
    m_lstBodies.AddTail(new CKelSBBodyObj);
}

CKelSBEditObj::CKelSBEditObj(const CKelSBEditObj& other)
    : CKelObject(other), m_lstBodies(other.m_lstBodies), m_nCurIndex(other.m_nCurIndex) {}

CKelSBEditObj::~CKelSBEditObj() {
    m_lstPaste.RemoveAll();
}

CKelSBBodyObj* CKelSBEditObj::GetSBBodyObj(int nIndex) const {
    return dynamic_cast<CKelSBBodyObj*>(m_lstBodies.GetAtIndex(nIndex));
}

int CKelSBEditObj::SetCurSBBodyIndex(int nIndex) {
    if (nIndex < 0 || nIndex >= GetSBBodyCount())
        return 0;
    m_nCurIndex = nIndex;
    return 1;
}

int CKelSBEditObj::AppendSBBody() {
    m_lstBodies.AddTail(new CKelSBBodyObj);
    m_nCurIndex = GetSBBodyCount() - 1;
    return 1;
}

int CKelSBEditObj::InsertSBBody(int nIndex) {
    nIndex = Resolve(nIndex);
    POSITION pos = m_lstBodies.FindIndex(nIndex);
    if (pos == nullptr)
        return 0;
    m_lstBodies.InsertBefore(pos, new CKelSBBodyObj);
    m_nCurIndex = nIndex;
    return 1;
}

int CKelSBEditObj::DeleteSBBody(int nIndex) {
    nIndex = Resolve(nIndex);
    POSITION pos = m_lstBodies.FindIndex(nIndex);
    if (pos == nullptr || GetSBBodyCount() <= 1)
        return 0;
    m_lstBodies.DeleteAt(pos);
    if (m_nCurIndex > nIndex || m_nCurIndex >= GetSBBodyCount())
        --m_nCurIndex;
    return 1;
}

int CKelSBEditObj::MoveSBBody(int nFrom, int nDirection) {
    nFrom = Resolve(nFrom);
    if (nDirection != 0 && nDirection != 1)
        return 0;
    const int nTo = nDirection == 0 ? nFrom - 1 : nFrom + 1;
    POSITION posFrom = m_lstBodies.FindIndex(nFrom);
    POSITION posTo = m_lstBodies.FindIndex(nTo);
    if (posFrom == nullptr || posTo == nullptr)
        return 0;
    CObject* pBody = m_lstBodies.GetAt(posFrom);
    m_lstBodies.SetAt(posFrom, m_lstBodies.GetAt(posTo));
    m_lstBodies.SetAt(posTo, pBody);
    if (m_nCurIndex == nFrom)
        m_nCurIndex = nTo;
    else if (m_nCurIndex == nTo)
        m_nCurIndex = nFrom;
    return 1;
}

int CKelSBEditObj::CopySBBody(int nIndex) {
    const CKelSBBodyObj* pBody = GetSBBodyObj(Resolve(nIndex));
    if (pBody == nullptr)
        return 0;
    std::unique_ptr<CKelSBBodyObj> pCopy(pBody->MakeCopy());
    m_lstSBClipboard.DeleteAll();
    m_lstSBClipboard.AddTail(pCopy.release());
    return 1;
}

int CKelSBEditObj::CutSBBody(int nIndex) {
    nIndex = Resolve(nIndex);
    if (GetSBBodyObj(nIndex) == nullptr || GetSBBodyCount() <= 1)
        return 0;
    CopySBBody(nIndex);
    return DeleteSBBody(nIndex);
}

int CKelSBEditObj::PasteSBBody() {
    const auto* pSource = dynamic_cast<const CKelSBBodyObj*>(
        m_lstSBClipboard.IsEmpty() ? nullptr : m_lstSBClipboard.GetHead());
    if (pSource == nullptr)
        return 0;
    CKelSBBodyObj* pCopy = pSource->MakeCopy();
    POSITION pos = m_lstBodies.FindIndex(m_nCurIndex);
    if (pos != nullptr) {
        m_lstBodies.InsertAfter(pos, pCopy);
        ++m_nCurIndex;
    } else {
        m_lstBodies.AddTail(pCopy);
        m_nCurIndex = GetSBBodyCount() - 1;
    }
    return 1;
}

int CKelSBEditObj::UpdatePasteStuff(CObList* pPieces) {
    m_lstPaste.RemoveAll();
    for (POSITION pos = m_lstMaterialClipboard.GetHeadPosition(); pos != nullptr;) {
        const POSITION here = pos;
        if (dynamic_cast<CKelSBContentBaseObj*>(m_lstMaterialClipboard.GetNext(pos)) == nullptr)
            m_lstMaterialClipboard.DeleteAt(here);
    }
    if (pPieces != nullptr)
        CKelSBBodyObj::MakePieceContentIcon(m_lstMaterialClipboard, pPieces);
    RebuildPasteList();
    return static_cast<int>(m_lstPaste.GetCount());
}

void CKelSBEditObj::RebuildPasteList() {
    m_lstPaste.RemoveAll();
    for (POSITION pos = m_lstMaterialClipboard.GetHeadPosition(); pos != nullptr;) {
        CObject* pObject = m_lstMaterialClipboard.GetNext(pos);
        if (dynamic_cast<CKelSBContentBaseObj*>(pObject) != nullptr)
            m_lstPaste.AddTail(pObject);
    }
    CKelSBContainerObj::MakeOrder(m_lstPaste, 0);
}

CObList& CKelSBEditObj::GetPasteList() {
    RebuildPasteList();
    return m_lstPaste;
}

void CKelSBEditObj::ClearHistory() {
    for (POSITION pos = m_lstBodies.GetHeadPosition(); pos != nullptr;) {
        if (auto* pBody = dynamic_cast<CKelSBBodyObj*>(m_lstBodies.GetNext(pos)))
            pBody->GetURBase()->ClearHistory();
    }
}

CKelSBEditObj* CKelSBEditObj::MakeCopy() const {
    return new CKelSBEditObj(*this);
}

void CKelSBEditObj::Serialize(CArchive& ar) {
    CKelObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << kDocumentVersion << m_nCurIndex;
        m_lstBodies.SerializeOf(ar, RUNTIME_CLASS(CKelSBBodyObj));
        return;
    }
    int nVersion = 0;
    int nCurIndex = 0;
    ar >> nVersion;
    KelArchiveRequire(nVersion >= 1 && nVersion <= kDocumentVersion, CArchiveException::badSchema);
    ar >> nCurIndex;
    CKelObList bodies(CKelObList::kQuiet);
    bodies.SerializeOf(ar, RUNTIME_CLASS(CKelSBBodyObj));
    KelArchiveRequire(!bodies.IsEmpty(), CArchiveException::badIndex);
    KelArchiveRequire(nCurIndex >= 0 && nCurIndex < bodies.GetCount(), CArchiveException::badIndex);
    m_lstBodies.DeleteAll();
    m_lstBodies.AddTail(&bodies);
    bodies.RemoveAll();
    m_nCurIndex = nCurIndex;
    m_lstPaste.RemoveAll();
}
