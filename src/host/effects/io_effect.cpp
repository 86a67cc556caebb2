#include "host/effects/io_effect.h"

#include "host/services/live_output.h"
#include "platform/archive.h"

#include <algorithm>

IMPLEMENT_SERIAL(CKelIOSoftEffectBaseObj, CKelObject, 1)
IMPLEMENT_SERIAL(CKelIOSoftEffectInObj, CKelIOSoftEffectBaseObj, 1)
IMPLEMENT_SERIAL(CKelIOSoftEffectStayObj, CKelIOSoftEffectBaseObj, 1)
IMPLEMENT_SERIAL(CKelIOSoftEffectOutObj, CKelIOSoftEffectBaseObj, 1)

// ---- Player ---------------------------------------------------------------------------------

CKelIOSoftEffectPlayer::CKelIOSoftEffectPlayer(const CKelIOSoftEffectBaseObj& effect)
    : m_effect(effect) {}

DWORD CKelIOSoftEffectPlayer::GetFrameCount() const {
    return std::max<DWORD>(1, m_effect.GetPlayDuration());
}

int CKelIOSoftEffectPlayer::RenderFrame(CKelMemBlock* out, DWORD frame, int nMode) const {
    if (out == nullptr)
        return 0;
    const DWORD nFrames = GetFrameCount();
    frame = std::min(frame, nFrames - 1);
    const CRect& rcTarget = m_effect.GetTarget();
    const CKelMemBlock& source = m_effect.GetSource();

    // Progress of the phase: an In effect ends showing the whole picture, an Out effect ends
    // showing none of it, a Stay effect shows it throughout.
    double shown = 1.0;
    const double progress = static_cast<double>(frame + 1) / static_cast<double>(nFrames);
    if (m_effect.GetIOState() == 0)
        shown = progress;
    else if (m_effect.GetIOState() == 2)
        shown = 1.0 - progress;

    // What lies under the piece: the second picture, nothing, or (mixing) the output itself.
    if (const CKelMemBlock* pSecond = m_effect.GetSecond())
        out->Copy(*pSecond, rcTarget.left, rcTarget.top);
    else if (nMode != CKelIOSoftEffectPlayer::kModeMix)
        out->Fill(CRect(rcTarget.left, rcTarget.top, rcTarget.left + source.GetWidth(),
                        rcTarget.top + source.GetHeight()),
                  0);

    const CString& name = m_effect.GetEffectName();
    if (name == CKelIOSoftEffectBaseObj::kFade) {
        out->Blend(source, rcTarget.left, rcTarget.top, static_cast<int>(shown * 255.0 + 0.5));
    } else if (name == CKelIOSoftEffectBaseObj::kWipe) {
        const int w = source.GetWidth();
        const int h = source.GetHeight();
        const int cw = static_cast<int>(w * shown + 0.5);
        const int ch = static_cast<int>(h * shown + 0.5);
        CRect part;
        switch (m_effect.GetDirection()) {
        case 1:
            part = CRect(w - cw, 0, w, h);
            break;
        case 2:
            part = CRect(0, 0, w, ch);
            break;
        case 3:
            part = CRect(0, h - ch, w, h);
            break;
        default:
            part = CRect(0, 0, cw, h);
            break;
        }
        if (!part.IsRectEmpty())
            out->Copy(source, part, rcTarget.left + part.left, rcTarget.top + part.top);
    } else {
        // A cut: the picture is there for the whole phase.
        out->Copy(source, rcTarget.left, rcTarget.top);
    }
    return 1;
}

int CKelIOSoftEffectPlayer::Run(CKelMemBlock* out, int nMode, CWnd* /*pWnd*/) {
    if (out == nullptr)
        return 0;
    // On the live output each frame goes out as it is rendered: the output window is told,
    // and the frame takes its video fields, so that an output that paces them shows the effect
    // as it plays.
    const bool bLive = out == CKelDrvGFB::GetBlockOut();
    // Mixing is over what the output showed when the effect began, not over the effect's own
    // previous frame: otherwise a fade would pile up and an Out fade would never leave.
    const CKelMemBlock& source = m_effect.GetSource();
    const CRect& rcTarget = m_effect.GetTarget();
    const CRect rcUnder(rcTarget.left, rcTarget.top, rcTarget.left + source.GetWidth(),
                        rcTarget.top + source.GetHeight());
    CKelMemBlock under;
    const bool bKeepUnder = nMode == kModeMix && m_effect.GetSecond() == nullptr &&
                            under.Init(rcUnder.Width(), rcUnder.Height()) != 0 && !under.IsEmpty();
    if (bKeepUnder)
        under.Copy(*out, rcUnder, 0, 0);
    const DWORD nFrames = GetFrameCount();
    for (DWORD frame = 0; frame < nFrames; ++frame) {
        if (bKeepUnder && frame > 0)
            out->Copy(under, rcUnder.left, rcUnder.top);
        RenderFrame(out, frame, nMode);
        if (bLive) {
            CKelDrvGFB::UpdateOutLiveWnd(-1);
            CKelDrvSys::WaitField(CKelDrvSys::kFieldsPerFrame, 0);
        }
    }
    return 1;
}

// ---- Effect ---------------------------------------------------------------------------------

CKelIOSoftEffectBaseObj::CKelIOSoftEffectBaseObj() : m_strName(kCopy) {}

CKelIOSoftEffectBaseObj::CKelIOSoftEffectBaseObj(const CKelIOSoftEffectBaseObj& other)
    : CKelObject(other), m_strName(other.m_strName), m_dwPlayDuration(other.m_dwPlayDuration),
      m_nDirection(other.m_nDirection) {}

CKelIOSoftEffectBaseObj& CKelIOSoftEffectBaseObj::operator=(const CKelIOSoftEffectBaseObj& other) {
    if (this == &other)
        return *this;
    Close();
    m_strName = other.m_strName;
    m_dwPlayDuration = other.m_dwPlayDuration;
    m_nDirection = other.m_nDirection;
    return *this;
}

CKelIOSoftEffectBaseObj::~CKelIOSoftEffectBaseObj() = default;

void CKelIOSoftEffectBaseObj::SetPlayDuration(DWORD dwFrames) {
    m_dwPlayDuration = std::clamp<DWORD>(dwFrames, 1, kMaxPlayDuration);
}

void CKelIOSoftEffectBaseObj::SetDirection(int nDirection) {
    m_nDirection = std::clamp(nDirection, 0, 3);
}

int CKelIOSoftEffectBaseObj::Prepare(CKelMemBlock* source, const CRect& rcTarget,
                                     CKelMemBlock* pSecond, CObList* /*pObjects*/, CWnd* /*pWnd*/) {
    Close();
    if (source == nullptr || source->IsEmpty() || rcTarget.IsRectEmpty())
        return 0;
    m_source = *source;
    m_bHasSecond = pSecond != nullptr && !pSecond->IsEmpty();
    if (m_bHasSecond)
        m_second = *pSecond;
    m_rcTarget = rcTarget;
    m_pPlayer = std::make_unique<CKelIOSoftEffectPlayer>(*this);
    return 1;
}

void CKelIOSoftEffectBaseObj::Close() {
    m_pPlayer.reset();
    m_source.Close();
    m_second.Close();
    m_bHasSecond = FALSE;
    m_rcTarget = CRect();
}

CKelIOSoftEffectBaseObj* CKelIOSoftEffectBaseObj::MakeCopy() const {
    return new CKelIOSoftEffectBaseObj(*this);
}

void CKelIOSoftEffectBaseObj::Serialize(CArchive& ar) {
    CKelObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_strName << m_dwPlayDuration << m_nDirection;
        return;
    }
    CString name;
    DWORD dwDuration = 0;
    int nDirection = 0;
    ar >> name >> dwDuration >> nDirection;
    KelArchiveRequire(dwDuration >= 1 && dwDuration <= kMaxPlayDuration);
    KelArchiveRequire(nDirection >= 0 && nDirection <= 3);
    Close();
    m_strName = name;
    m_dwPlayDuration = dwDuration;
    m_nDirection = nDirection;
}

CKelIOSoftEffectInObj* CKelIOSoftEffectInObj::MakeCopy() const {
    return new CKelIOSoftEffectInObj(*this);
}
CKelIOSoftEffectStayObj* CKelIOSoftEffectStayObj::MakeCopy() const {
    return new CKelIOSoftEffectStayObj(*this);
}
CKelIOSoftEffectOutObj* CKelIOSoftEffectOutObj::MakeCopy() const {
    return new CKelIOSoftEffectOutObj(*this);
}

CKelIOSoftEffectBaseObj* KelCreateIOSoftEffect(int nIOState) {
    switch (nIOState) {
    case 0:
        return new CKelIOSoftEffectInObj;
    case 1:
        return new CKelIOSoftEffectStayObj;
    case 2:
        return new CKelIOSoftEffectOutObj;
    default:
        return nullptr;
    }
}
