// The wait before a piece's phase starts: how many video fields the output holds first.
#pragma once

#include "host/base/kel_object.h"

class CKelIOWaitObj : public CKelObject {
    DECLARE_SERIAL(CKelIOWaitObj)
public:
    static constexpr DWORD kMaxWaitFields = 100000;

    CKelIOWaitObj() = default;
    CKelIOWaitObj(const CKelIOWaitObj&) = default;
    CKelIOWaitObj& operator=(const CKelIOWaitObj&) = default;

    DWORD GetWaitFields() const { return m_dwWaitFields; }
    // Clamped to kMaxWaitFields.
    void SetWaitFields(DWORD dwFields);
    // Whether the wait ends early on an operator's cue.
    BOOL IsManual() const { return m_bManual; }
    void SetManual(BOOL bManual) { m_bManual = bManual ? TRUE : FALSE; }

    CKelIOWaitObj* MakeCopy() const override;
    void Serialize(CArchive& ar) override;

private:
    DWORD m_dwWaitFields = 0;
    BOOL m_bManual = FALSE;
};
