#include "host/effects/io_wait.h"

#include "platform/archive.h"

#include <algorithm>

IMPLEMENT_SERIAL(CKelIOWaitObj, CKelObject, 1)

void CKelIOWaitObj::SetWaitFields(DWORD dwFields) {
    m_dwWaitFields = std::min(dwFields, kMaxWaitFields);
}

CKelIOWaitObj* CKelIOWaitObj::MakeCopy() const {
    return new CKelIOWaitObj(*this);
}

void CKelIOWaitObj::Serialize(CArchive& ar) {
    CKelObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_dwWaitFields << static_cast<int>(m_bManual);
        return;
    }
    DWORD dwFields = 0;
    int nManual = 0;
    ar >> dwFields >> nManual;
    KelArchiveRequire(dwFields <= kMaxWaitFields);
    m_dwWaitFields = dwFields;
    m_bManual = nManual ? TRUE : FALSE;
}
