#include "host/base/kel_item.h"

#include "platform/archive.h"

IMPLEMENT_SERIAL(CKelItemBaseObj, CKelObject, 1)

CKelItemBaseObj::CKelItemBaseObj() : m_guid(KelGUID::New()) {}

DWORD CKelItemBaseObj::GetPlayDuration(int /*nIOState*/) const {
    return 0;
}

CKelIOSoftEffectBaseObj* CKelItemBaseObj::GetIOSoftEffect(int /*nIOState*/) const {
    return nullptr;
}

BOOL CKelItemBaseObj::MakeThumbnail(CKelMemBlock& /*block*/) const {
    return FALSE;
}

CKelItemBaseObj* CKelItemBaseObj::MakeCopy() const {
    return new CKelItemBaseObj(*this);
}

void CKelItemBaseObj::Serialize(CArchive& ar) {
    CKelObject::Serialize(ar);
    m_guid.Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_strName << static_cast<int>(m_bSelected);
    } else {
        int nSelected = 0;
        ar >> m_strName >> nSelected;
        m_bSelected = nSelected ? TRUE : FALSE;
    }
}

CKelItemBaseObj* KelFindItemByGUID(const CObList* pList, const KelGUID& guid) {
    if (pList == nullptr)
        return nullptr;
    for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;) {
        auto* pItem = DYNAMIC_DOWNCAST(CKelItemBaseObj, pList->GetNext(pos));
        if (pItem != nullptr && pItem->GetGUID() == guid)
            return pItem;
    }
    return nullptr;
}
