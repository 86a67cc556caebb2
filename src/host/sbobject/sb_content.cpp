#include "host/sbobject/sb_content.h"

#include "host/base/kel_item.h"
#include "host/effects/io_effect.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "platform/archive.h"

IMPLEMENT_SERIAL(CKelSBContentBaseObj, CKelObject, 1)
IMPLEMENT_SERIAL(CKelSBContentPieceBaseObj, CKelSBContentBaseObj, 1)
IMPLEMENT_SERIAL(CKelSBContentPieceInObj, CKelSBContentPieceBaseObj, 1)
IMPLEMENT_SERIAL(CKelSBContentPieceStayObj, CKelSBContentPieceBaseObj, 1)
IMPLEMENT_SERIAL(CKelSBContentPieceOutObj, CKelSBContentPieceBaseObj, 1)
IMPLEMENT_SERIAL(CKelSBContentMovieObj, CKelSBContentPieceBaseObj, 1)
IMPLEMENT_SERIAL(CKelSBContentScrollObj, CKelSBContentMovieObj, 1)

// ---- Material -------------------------------------------------------------------------------

CKelSBContentBaseObj::CKelSBContentBaseObj(const CKelSBContentBaseObj& other)
    : CKelObject(other), m_dwStoryIn(other.m_dwStoryIn), m_dwStoryOut(other.m_dwStoryOut),
      m_nTrackIndex(other.m_nTrackIndex), m_rcGeometry(other.m_rcGeometry), m_guid(other.m_guid),
      m_pIcon(other.m_pIcon), m_lstPieces(other.m_lstPieces) {}

CKelSBContentBaseObj& CKelSBContentBaseObj::operator=(const CKelSBContentBaseObj& other) {
    if (this == &other)
        return *this;
    m_lstPieces = other.m_lstPieces; // may throw; nothing changed yet
    const DWORD dwOldOut = m_dwStoryOut;
    const WORD nOldTrack = m_nTrackIndex;
    m_dwStoryIn = other.m_dwStoryIn;
    m_dwStoryOut = other.m_dwStoryOut;
    m_nTrackIndex = other.m_nTrackIndex;
    NotePlaceChanged(dwOldOut, nOldTrack);
    m_rcGeometry = other.m_rcGeometry;
    m_guid = other.m_guid;
    m_pIcon = other.m_pIcon;
    if (GetRuntimeClass() == other.GetRuntimeClass())
        AssignFrom(other);
    return *this;
}

CKelSBContentBaseObj::~CKelSBContentBaseObj() = default;

void CKelSBContentBaseObj::NotePlaceChanged(DWORD dwOldOut, WORD nOldTrack) const {
    if (!IsHeld())
        return; // a free material is in no storyboard
    KelModelChanged();
    if (m_pHolder == nullptr) {
        // Held, but by which storyboard is unknown.
        CKelSBTrackObj::NoteSomeTrackChanged();
        if (dwOldOut != m_dwStoryOut)
            CKelSBBodyObj::NoteStoryOutUntold();
        return;
    }
    // A holder in no storyboard (a clipboard's or a drag group's container) means the material
    // is in none: its holder would be a container of a storyboard if one held it, and a
    // storyboard that takes its container later counts its story out and tells its track then.
    const CKelSBBodyObj* pBody = m_pHolder->GetBody();
    if (pBody == nullptr)
        return;
    pBody->NoteTrackContentsChanged(m_nTrackIndex);
    if (nOldTrack != m_nTrackIndex)
        pBody->NoteTrackContentsChanged(nOldTrack);
    if (dwOldOut != m_dwStoryOut) {
        pBody->NoteStoryOutAdded(m_dwStoryOut);
        pBody->NoteStoryOutRemoved(dwOldOut);
    }
}

int CKelSBContentBaseObj::Init(WORD nTrack, const KelGUID& guid, DWORD dwStoryIn, DWORD dwStoryOut,
                               CKelItemBaseObj* /*pPiece*/) {
    if (dwStoryOut < dwStoryIn || dwStoryOut - dwStoryIn < GetMinDuration() ||
        dwStoryOut > kMaxFrame)
        return 0;
    const DWORD dwOldOut = m_dwStoryOut;
    const WORD nOldTrack = m_nTrackIndex;
    m_nTrackIndex = nTrack;
    m_guid = guid;
    m_dwStoryIn = dwStoryIn;
    m_dwStoryOut = dwStoryOut;
    NotePlaceChanged(dwOldOut, nOldTrack);
    return 1;
}

int CKelSBContentBaseObj::SetStoryIn(DWORD dwFrame, int nFlag) {
    if (nFlag) {
        const DWORD dwDuration = GetDuration();
        if (dwFrame > kMaxFrame - dwDuration)
            return 0;
        SetTimes(dwFrame, dwFrame + dwDuration);
        return 1;
    }
    if (dwFrame < GetMinStoryIn() || dwFrame > m_dwStoryOut ||
        m_dwStoryOut - dwFrame < GetMinDuration() || !AcceptsTimes(dwFrame, m_dwStoryOut))
        return 0;
    const DWORD dwOldIn = m_dwStoryIn;
    SetTimes(dwFrame, m_dwStoryOut);
    OnTrimmed(dwOldIn, dwFrame);
    return 1;
}

int CKelSBContentBaseObj::SetStoryOut(DWORD dwFrame, int nFlag) {
    if (nFlag) {
        const DWORD dwDuration = GetDuration();
        if (dwFrame < dwDuration || dwFrame > kMaxFrame)
            return 0;
        SetTimes(dwFrame - dwDuration, dwFrame);
        return 1;
    }
    if (dwFrame < m_dwStoryIn || dwFrame > kMaxFrame || dwFrame - m_dwStoryIn < GetMinDuration() ||
        !AcceptsTimes(m_dwStoryIn, dwFrame))
        return 0;
    SetTimes(m_dwStoryIn, dwFrame);
    return 1;
}

int CKelSBContentBaseObj::Move(long nDelta) {
    const long long newIn = static_cast<long long>(m_dwStoryIn) + nDelta;
    if (newIn < 0 || newIn + GetDuration() > static_cast<long long>(kMaxFrame))
        return 0;
    return SetStoryIn(static_cast<DWORD>(newIn), 1);
}

void CKelSBContentBaseObj::SetIcon(const CKelMemBlock* pIcon) {
    if (pIcon == m_pIcon.get())
        return;
    m_pIcon = pIcon ? std::make_shared<const CKelMemBlock>(*pIcon) : nullptr;
}

CKelItemBaseObj* CKelSBContentBaseObj::GetAttachedPiece() const {
    for (POSITION pos = m_lstPieces.GetHeadPosition(); pos != nullptr;) {
        if (auto* pPiece = dynamic_cast<CKelItemBaseObj*>(m_lstPieces.GetNext(pos)))
            return pPiece;
    }
    return nullptr;
}

CKelSBContentBaseObj* CKelSBContentBaseObj::MakeCopy() const {
    return new CKelSBContentBaseObj(*this);
}

void CKelSBContentBaseObj::AssignFrom(const CKelSBContentBaseObj& /*other*/) {}

void CKelSBContentBaseObj::Serialize(CArchive& ar) {
    CKelObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_dwStoryIn << m_dwStoryOut << m_nTrackIndex;
        ar << static_cast<int>(m_rcGeometry.left) << static_cast<int>(m_rcGeometry.top)
           << static_cast<int>(m_rcGeometry.right) << static_cast<int>(m_rcGeometry.bottom);
        m_guid.Serialize(ar);
        m_lstPieces.SerializeOf(ar, RUNTIME_CLASS(CKelItemBaseObj));
        return;
    }
    DWORD dwIn = 0;
    DWORD dwOut = 0;
    WORD nTrack = 0;
    int l = 0, t = 0, r = 0, b = 0;
    ar >> dwIn >> dwOut >> nTrack >> l >> t >> r >> b;
    KelArchiveRequire(dwOut >= dwIn && dwOut - dwIn >= GetMinDuration());
    KelArchiveRequireAtMost(dwOut, kMaxFrame, "A material's story out");
    const DWORD dwOldOut = m_dwStoryOut;
    const WORD nOldTrack = m_nTrackIndex;
    m_dwStoryIn = dwIn;
    m_dwStoryOut = dwOut;
    m_nTrackIndex = nTrack;
    NotePlaceChanged(dwOldOut, nOldTrack);
    m_rcGeometry = CRect(l, t, r, b);
    m_guid.Serialize(ar);
    m_lstPieces.SerializeOf(ar, RUNTIME_CLASS(CKelItemBaseObj));
    m_pIcon.reset();
}

// ---- Pieces ---------------------------------------------------------------------------------

CKelSBContentPieceBaseObj::CKelSBContentPieceBaseObj(const CKelSBContentPieceBaseObj& other)
    : CKelSBContentBaseObj(other),
      m_pEffect(other.m_pEffect ? other.m_pEffect->MakeCopy() : nullptr) {}

CKelSBContentPieceBaseObj::~CKelSBContentPieceBaseObj() = default;

void CKelSBContentPieceBaseObj::EnsureEffect() {
    if (!m_pEffect)
        m_pEffect.reset(CreateEffect());
}

int CKelSBContentPieceBaseObj::Init(WORD nTrack, const KelGUID& guid, DWORD dwStoryIn,
                                    DWORD dwStoryOut, CKelItemBaseObj* pPiece) {
    if (!CKelSBContentBaseObj::Init(nTrack, guid, dwStoryIn, dwStoryOut, pPiece))
        return 0;
    EnsureEffect();
    if (m_pEffect) {
        // The material starts with the piece's own effect for its phase.
        if (pPiece != nullptr) {
            if (const CKelIOSoftEffectBaseObj* pPieceEffect =
                    pPiece->GetIOSoftEffect(GetIOStateType()))
                *m_pEffect = *pPieceEffect;
        }
        m_pEffect->SetPlayDuration(GetDuration());
    }
    return 1;
}

CString CKelSBContentPieceBaseObj::GetIOSoftEffectStr() const {
    return m_pEffect ? m_pEffect->GetEffectName() : CString();
}

void CKelSBContentPieceBaseObj::SetPlayDuration(DWORD dwFrames) {
    if (m_pEffect)
        m_pEffect->SetPlayDuration(dwFrames);
}

void CKelSBContentPieceBaseObj::CloseIOData() {
    if (m_pEffect)
        m_pEffect->Close();
}

CKelSBContentPieceBaseObj* CKelSBContentPieceBaseObj::MakeCopy() const {
    return new CKelSBContentPieceBaseObj(*this);
}

void CKelSBContentPieceBaseObj::AssignFrom(const CKelSBContentBaseObj& other) {
    CKelSBContentBaseObj::AssignFrom(other);
    const auto& piece = static_cast<const CKelSBContentPieceBaseObj&>(other);
    if (!piece.m_pEffect)
        m_pEffect.reset();
    else if (m_pEffect)
        *m_pEffect = *piece.m_pEffect;
    else
        m_pEffect.reset(piece.m_pEffect->MakeCopy());
}

void CKelSBContentPieceBaseObj::Serialize(CArchive& ar) {
    CKelSBContentBaseObj::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteObject(m_pEffect.get());
        return;
    }
    std::unique_ptr<CKelIOSoftEffectBaseObj> pEffect(static_cast<CKelIOSoftEffectBaseObj*>(
        ar.ReadObject(RUNTIME_CLASS(CKelIOSoftEffectBaseObj))));
    // An effect piece needs the effect of its own phase; other kinds have none.
    const std::unique_ptr<CKelIOSoftEffectBaseObj> pExpected(CreateEffect());
    if (pExpected)
        KelArchiveRequire(pEffect && pEffect->GetRuntimeClass() == pExpected->GetRuntimeClass(),
                          CArchiveException::badClass);
    else
        KelArchiveRequire(pEffect == nullptr, CArchiveException::badClass);
    m_pEffect = std::move(pEffect);
    // The editor keeps an effect as long as its material. A file written elsewhere may not:
    // taken as stored, the first trim and its undo would give back another document.
    if (m_pEffect)
        m_pEffect->SetPlayDuration(GetDuration());
}

CKelSBContentPieceInObj::CKelSBContentPieceInObj() {
    EnsureEffect();
}
CKelSBContentPieceStayObj::CKelSBContentPieceStayObj() {
    EnsureEffect();
}
CKelSBContentPieceOutObj::CKelSBContentPieceOutObj() {
    EnsureEffect();
}

CKelIOSoftEffectBaseObj* CKelSBContentPieceInObj::CreateEffect() const {
    return new CKelIOSoftEffectInObj;
}
CKelIOSoftEffectBaseObj* CKelSBContentPieceStayObj::CreateEffect() const {
    return new CKelIOSoftEffectStayObj;
}
CKelIOSoftEffectBaseObj* CKelSBContentPieceOutObj::CreateEffect() const {
    return new CKelIOSoftEffectOutObj;
}

CKelSBContentPieceInObj* CKelSBContentPieceInObj::MakeCopy() const {
    return new CKelSBContentPieceInObj(*this);
}
CKelSBContentPieceStayObj* CKelSBContentPieceStayObj::MakeCopy() const {
    return new CKelSBContentPieceStayObj(*this);
}
CKelSBContentPieceOutObj* CKelSBContentPieceOutObj::MakeCopy() const {
    return new CKelSBContentPieceOutObj(*this);
}

// ---- Movies and scrolls ---------------------------------------------------------------------

int CKelSBContentMovieObj::Init(WORD nTrack, const KelGUID& guid, DWORD dwStoryIn, DWORD dwStoryOut,
                                CKelItemBaseObj* pPiece) {
    if (!CKelSBContentPieceBaseObj::Init(nTrack, guid, dwStoryIn, dwStoryOut, pPiece))
        return 0;
    m_dwMediaIn = 0;
    m_dwMediaLength = dwStoryOut - dwStoryIn;
    return 1;
}

DWORD CKelSBContentMovieObj::GetMinStoryIn() const {
    return GetStoryIn() >= m_dwMediaIn ? GetStoryIn() - m_dwMediaIn : 0;
}

BOOL CKelSBContentMovieObj::AcceptsTimes(DWORD dwIn, DWORD dwOut) const {
    // The first frame shown moves with the story in; the last may not pass the file's end.
    const long long mediaIn =
        static_cast<long long>(m_dwMediaIn) + dwIn - static_cast<long long>(GetStoryIn());
    return mediaIn >= 0 && mediaIn + (dwOut - dwIn) <= static_cast<long long>(m_dwMediaLength);
}

void CKelSBContentMovieObj::OnTrimmed(DWORD dwOldIn, DWORD dwNewIn) {
    m_dwMediaIn = static_cast<DWORD>(static_cast<long long>(m_dwMediaIn) + dwNewIn -
                                     static_cast<long long>(dwOldIn));
}

void CKelSBContentMovieObj::AssignFrom(const CKelSBContentBaseObj& other) {
    CKelSBContentPieceBaseObj::AssignFrom(other);
    const auto& movie = static_cast<const CKelSBContentMovieObj&>(other);
    m_dwMediaIn = movie.m_dwMediaIn;
    m_dwMediaLength = movie.m_dwMediaLength;
}

CKelSBContentMovieObj* CKelSBContentMovieObj::MakeCopy() const {
    return new CKelSBContentMovieObj(*this);
}

void CKelSBContentMovieObj::Serialize(CArchive& ar) {
    CKelSBContentPieceBaseObj::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_dwMediaIn << m_dwMediaLength;
        return;
    }
    DWORD dwMediaIn = 0;
    DWORD dwLength = 0;
    ar >> dwMediaIn >> dwLength;
    KelArchiveRequire(dwMediaIn <= dwLength &&
                      static_cast<long long>(dwMediaIn) + GetDuration() <= dwLength);
    m_dwMediaIn = dwMediaIn;
    m_dwMediaLength = dwLength;
}

CKelSBContentScrollObj* CKelSBContentScrollObj::MakeCopy() const {
    return new CKelSBContentScrollObj(*this);
}
