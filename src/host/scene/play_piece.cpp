#include "host/scene/play_piece.h"

#include "host/base/kel_object.h"
#include "host/effects/io_effect.h"
#include "platform/archive.h"
#include "platform/exceptions.h"
#include "platform/file.h"

#include <algorithm>
#include <cstdint>
#include <limits>

IMPLEMENT_SERIAL(CKelPlayBaseObj, CKelItemBaseObj, 1)
IMPLEMENT_SERIAL(CKelPlayGroupObj, CKelPlayBaseObj, 1)
IMPLEMENT_SERIAL(CKelPlayMovieObj, CKelPlayBaseObj, 1)
IMPLEMENT_SERIAL(CKelPlayScrollObj, CKelPlayBaseObj, 1)

namespace {

// Pieces without a thumbnail draw as a flat, opaque grey.
constexpr DWORD kPlainPieceColour = 0xFF808080u;

// Largest movie a piece may claim: a day of 60 frames per second.
constexpr DWORD kMaxMovieFrames = 24u * 3600u * 60u;

// Scroll areas and pieces' places are bounded so that lengths, sizes and durations cannot
// overflow.
constexpr int kMaxScrollCoordinate = 1000000;
constexpr int kMaxPieceCoordinate = 1000000;

void StoreRect(CArchive& ar, const CRect& rect) {
    ar << rect.left << rect.top << rect.right << rect.bottom;
}

CRect LoadRect(CArchive& ar) {
    int left = 0, top = 0, right = 0, bottom = 0;
    ar >> left >> top >> right >> bottom;
    return CRect(left, top, right, bottom);
}

// A piece's place on the output; a coordinate beyond the bound is refused by name, as frames
// beyond the largest are, rather than overflowing a width later on.
CRect LoadPieceRect(CArchive& ar) {
    const CRect rect = LoadRect(ar);
    for (int value : {rect.left, rect.top, rect.right, rect.bottom}) {
        if (value < -kMaxPieceCoordinate || value > kMaxPieceCoordinate) {
            CString what;
            what.Format("piece rectangle (%d, %d, %d, %d) reaches beyond the largest area the "
                        "editor supports, %d either way",
                        rect.left, rect.top, rect.right, rect.bottom, kMaxPieceCoordinate);
            throw CKelValueLimitException(what);
        }
    }
    return rect;
}

void StoreImage(CArchive& ar, const ImageData& image) {
    ar << image.width << image.height;
    for (std::uint32_t pixel : image.pixels) {
        ar << static_cast<DWORD>(pixel);
    }
}

ImageData LoadImage(CArchive& ar) {
    ImageData image;
    ar >> image.width >> image.height;
    if (image.width < 0 || image.height < 0 || image.width > CKelMemBlock::kMaxSide ||
        image.height > CKelMemBlock::kMaxSide || (image.width == 0) != (image.height == 0)) {
        throw CArchiveException(CArchiveException::genericException);
    }
    const ULONGLONG count = static_cast<ULONGLONG>(image.width) * image.height;
    // Check before allocating: a damaged size must not make us reserve gigabytes.
    if (count * 4 > ar.GetBytesLeft()) {
        throw CArchiveException(CArchiveException::endOfFile);
    }
    image.pixels.resize(static_cast<std::size_t>(count));
    for (auto& pixel : image.pixels) {
        DWORD value = 0;
        ar >> value;
        pixel = value;
    }
    return image;
}

bool IsSaneScrollRect(const CRect& rect) {
    auto inRange = [](int v) { return v >= -kMaxScrollCoordinate && v <= kMaxScrollCoordinate; };
    return inRange(rect.left) && inRange(rect.top) && inRange(rect.right) && inRange(rect.bottom) &&
           rect.right > rect.left && rect.bottom > rect.top;
}

std::vector<BYTE> StoredBytes(const CKelPlayBaseObj& piece) {
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    const_cast<CKelPlayBaseObj&>(piece).Serialize(ar);
    ar.Close();
    return file.Detach();
}

} // namespace

// ---- CKelPlayBaseObj ----

CKelPlayBaseObj::CKelPlayBaseObj() = default;

CKelPlayBaseObj::CKelPlayBaseObj(const CKelPlayBaseObj& other)
    : CKelItemBaseObj(other), m_rect(other.m_rect), m_thumbnail(other.m_thumbnail),
      m_objList(other.m_objList) {}

CKelPlayBaseObj& CKelPlayBaseObj::operator=(const CKelPlayBaseObj& other) {
    if (this != &other) {
        CKelItemBaseObj::operator=(other);
        m_rect = other.m_rect;
        m_thumbnail = other.m_thumbnail;
        m_objList = other.m_objList;
    }
    return *this;
}

CKelPlayBaseObj::~CKelPlayBaseObj() = default;

CKelPlayBaseObj* CKelPlayBaseObj::MakeCopy() const {
    return new CKelPlayBaseObj(*this);
}

void CKelPlayBaseObj::Serialize(CArchive& ar) {
    CKelItemBaseObj::Serialize(ar);
    if (ar.IsStoring()) {
        StoreRect(ar, m_rect);
        StoreImage(ar, m_thumbnail);
    } else {
        m_rect = LoadPieceRect(ar);
        m_thumbnail = LoadImage(ar);
    }
    m_objList.Serialize(ar);
}

DWORD CKelPlayBaseObj::GetPlayDuration(int /*nIOState*/) const {
    return 0;
}

BOOL CKelPlayBaseObj::MakeThumbnail(CKelMemBlock& block) const {
    if (m_thumbnail.width <= 0 || m_thumbnail.height <= 0) {
        return FALSE;
    }
    return block.Init(m_thumbnail) ? TRUE : FALSE;
}

int CKelPlayBaseObj::DrawToBlock(CKelMemBlock* pBlock, int nFlag) const {
    if (pBlock == nullptr) {
        return 0;
    }
    int width = m_rect.Width();
    int height = m_rect.Height();
    if (width <= 0 || height <= 0) {
        width = m_thumbnail.width;
        height = m_thumbnail.height;
    }
    if (width <= 0 || height <= 0 || width > CKelMemBlock::kMaxSide ||
        height > CKelMemBlock::kMaxSide) {
        return 0;
    }
    pBlock->Fit(width, height);
    if (pBlock->IsEmpty()) {
        return 0;
    }
    const int drawWidth = std::min(width, pBlock->GetWidth());
    const int drawHeight = std::min(height, pBlock->GetHeight());
    if (nFlag == 0) {
        pBlock->Fill(0);
    }
    const bool hasThumbnail = m_thumbnail.width > 0 && m_thumbnail.height > 0 &&
                              m_thumbnail.pixels.size() ==
                                  static_cast<std::size_t>(m_thumbnail.width) * m_thumbnail.height;
    for (int y = 0; y < drawHeight; ++y) {
        for (int x = 0; x < drawWidth; ++x) {
            DWORD colour = kPlainPieceColour;
            if (hasThumbnail) {
                // Nearest neighbour: the picture is only ever a preview of the piece.
                const int sx =
                    static_cast<int>(static_cast<long long>(x) * m_thumbnail.width / width);
                const int sy =
                    static_cast<int>(static_cast<long long>(y) * m_thumbnail.height / height);
                colour = m_thumbnail.pixels[static_cast<std::size_t>(sy) * m_thumbnail.width +
                                            static_cast<std::size_t>(sx)];
            }
            pBlock->SetPixel(x, y, colour);
        }
    }
    return 1;
}

bool CKelPlayBaseObj::IsSameAs(const CKelPlayBaseObj& other) const {
    return GetRuntimeClass() == other.GetRuntimeClass() && StoredBytes(*this) == StoredBytes(other);
}

// ---- CKelPlayGroupObj ----

CKelPlayGroupObj::CKelPlayGroupObj()
    : m_pIn(std::make_unique<CKelIOSoftEffectInObj>()),
      m_pStay(std::make_unique<CKelIOSoftEffectStayObj>()),
      m_pOut(std::make_unique<CKelIOSoftEffectOutObj>()) {}

CKelPlayGroupObj::CKelPlayGroupObj(const CKelPlayGroupObj& other)
    : CKelPlayBaseObj(other), m_pIn(other.m_pIn->MakeCopy()), m_pStay(other.m_pStay->MakeCopy()),
      m_pOut(other.m_pOut->MakeCopy()) {}

CKelPlayGroupObj& CKelPlayGroupObj::operator=(const CKelPlayGroupObj& other) {
    if (this != &other) {
        CKelPlayBaseObj::operator=(other);
        m_pIn.reset(other.m_pIn->MakeCopy());
        m_pStay.reset(other.m_pStay->MakeCopy());
        m_pOut.reset(other.m_pOut->MakeCopy());
    }
    return *this;
}

CKelPlayGroupObj::~CKelPlayGroupObj() = default;

CKelPlayGroupObj* CKelPlayGroupObj::MakeCopy() const {
    return new CKelPlayGroupObj(*this);
}

namespace {

template <class Effect>
void SerializeEffect(CArchive& ar, std::unique_ptr<Effect>& effect) {
    if (ar.IsStoring()) {
        ar << static_cast<const CObject*>(effect.get());
        return;
    }
    std::unique_ptr<CObject> loaded(ar.ReadObject(&Effect::GetThisClass()));
    if (!loaded) {
        // A group always has its three effects.
        throw CArchiveException(CArchiveException::badClass);
    }
    effect.reset(static_cast<Effect*>(loaded.release()));
}

} // namespace

void CKelPlayGroupObj::Serialize(CArchive& ar) {
    CKelPlayBaseObj::Serialize(ar);
    SerializeEffect(ar, m_pIn);
    SerializeEffect(ar, m_pStay);
    SerializeEffect(ar, m_pOut);
}

DWORD CKelPlayGroupObj::GetPlayDuration(int nIOState) const {
    const CKelIOSoftEffectBaseObj* effect = GetIOSoftEffect(nIOState);
    return effect ? effect->GetPlayDuration() : 0;
}

CKelIOSoftEffectBaseObj* CKelPlayGroupObj::GetIOSoftEffect(int nIOState) const {
    switch (nIOState) {
    case KEL_IO_IN:
        return m_pIn.get();
    case KEL_IO_STAY:
        return m_pStay.get();
    case KEL_IO_OUT:
        return m_pOut.get();
    default:
        return nullptr;
    }
}

// ---- CKelPlayMovieObj ----

CKelPlayMovieObj::CKelPlayMovieObj() = default;

CKelPlayMovieObj* CKelPlayMovieObj::MakeCopy() const {
    return new CKelPlayMovieObj(*this);
}

void CKelPlayMovieObj::Serialize(CArchive& ar) {
    CKelPlayBaseObj::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_strFileName << m_nFrameCount;
    } else {
        ar >> m_strFileName >> m_nFrameCount;
        if (m_nFrameCount > kMaxMovieFrames) {
            throw CArchiveException(CArchiveException::genericException);
        }
    }
}

DWORD CKelPlayMovieObj::GetPlayDuration(int /*nIOState*/) const {
    return m_nFrameCount;
}

// ---- CKelPlayScrollObj ----

CKelPlayScrollObj::CKelPlayScrollObj() = default;

CKelPlayScrollObj* CKelPlayScrollObj::MakeCopy() const {
    return new CKelPlayScrollObj(*this);
}

void CKelPlayScrollObj::Serialize(CArchive& ar) {
    CKelPlayBaseObj::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_strFileName;
        StoreRect(ar, m_rcScroll);
        ar << m_nDirection;
    } else {
        ar >> m_strFileName;
        CRect rect = LoadRect(ar);
        int direction = 0;
        ar >> direction;
        const bool emptyArea = rect.IsRectNull() != FALSE;
        if (direction < kUp || direction > kRight || (!emptyArea && !IsSaneScrollRect(rect))) {
            throw CArchiveException(CArchiveException::genericException);
        }
        m_rcScroll = rect;
        m_nDirection = direction;
    }
}

DWORD CKelPlayScrollObj::GetPlayDuration(int /*nIOState*/) const {
    return KelScrollDurationFromRect(m_rcScroll, m_nDirection);
}

int CKelPlayScrollObj::SetDirection(int nDirection) {
    if (nDirection < kUp || nDirection > kRight) {
        return 0;
    }
    m_nDirection = nDirection;
    return 1;
}

DWORD KelScrollDurationFromRect(const CRect& rect, int nDirection) {
    const long long length =
        (nDirection == CKelPlayScrollObj::kUp || nDirection == CKelPlayScrollObj::kDown)
            ? static_cast<long long>(rect.bottom) - rect.top
            : static_cast<long long>(rect.right) - rect.left;
    const long long frames = length / 4;
    if (frames < 1) {
        return 1;
    }
    return static_cast<DWORD>(std::min<long long>(frames, std::numeric_limits<DWORD>::max()));
}

CKelPlayBaseObj* KelPlayFindPieceByGUID(const CObList* pList, const KelGUID& guid) {
    if (pList == nullptr) {
        return nullptr;
    }
    for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;) {
        CObject* object = pList->GetNext(pos);
        auto* piece = DYNAMIC_DOWNCAST(CKelPlayBaseObj, object);
        if (piece != nullptr && piece->GetGUID() == guid) {
            return piece;
        }
    }
    return nullptr;
}
