// The base of every item of a scene (pieces, movies, scrolls): an identity, a name and the
// selection flag of the host's item list.
#pragma once

#include "host/base/kel_guid.h"
#include "host/base/kel_object.h"
#include "platform/cstring.h"

class CKelIOSoftEffectBaseObj;
class CKelMemBlock;

class CKelItemBaseObj : public CKelObject {
    DECLARE_SERIAL(CKelItemBaseObj)
public:
    // A new item gets a fresh GUID.
    CKelItemBaseObj();
    // Copies keep the GUID: a copy stands for the same item (the storyboard attaches piece
    // copies to materials and finds them again by GUID).
    CKelItemBaseObj(const CKelItemBaseObj&) = default;
    CKelItemBaseObj& operator=(const CKelItemBaseObj&) = default;
    ~CKelItemBaseObj() override = default;

    const KelGUID& GetGUID() const { return m_guid; }
    void SetGUID(const KelGUID& guid) { m_guid = guid; }
    const CString& GetName() const { return m_strName; }
    void SetName(const CString& name) { m_strName = name; }
    BOOL IsSelected() const { return m_bSelected; }
    void SetSelected(BOOL bSelected) { m_bSelected = bSelected ? TRUE : FALSE; }

    // What the storyboard asks of an item, so that it needs no knowledge of the piece kinds.
    // Pieces override them; a plain item has no phases, no effects and no picture.
    // Length in frames of a phase (0 In, 1 Stay, 2 Out); 0 when the item has no such phase.
    virtual DWORD GetPlayDuration(int nIOState) const;
    // The item's own effect of a phase, or null. The item keeps ownership.
    virtual CKelIOSoftEffectBaseObj* GetIOSoftEffect(int nIOState) const;
    // Fills `block` with a small picture of the item for timeline icons; FALSE when there is
    // none (the block is then left as it was).
    virtual BOOL MakeThumbnail(CKelMemBlock& block) const;

    CKelItemBaseObj* MakeCopy() const override;
    // GUID, name, selected flag.
    void Serialize(CArchive& ar) override;

private:
    KelGUID m_guid;
    CString m_strName;
    BOOL m_bSelected = FALSE;
};

// The item of `pList` with that GUID, or null. Objects that are not items are skipped.
CKelItemBaseObj* KelFindItemByGUID(const CObList* pList, const KelGUID& guid);
