#include "host/scene/play_frames.h"

#include "host/effects/io_effect.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_content_walk.h"
#include "host/scene/play_piece.h"
#include "host/scene/play_scene.h"
#include "host/services/video_std.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

// Scrolls move four pixels a frame, the speed their play duration is reckoned with.
constexpr int kScrollStep = 4;

// A movie's frame number: white, four pixels a dot, just inside the picture's corner.
constexpr DWORD kFrameNumberColour = 0xFFFFFFFFu;
constexpr int kFrameNumberScale = 4;
constexpr int kFrameNumberInset = 8;

enum class Kind { Picture, Effect, Movie, Scroll };

// 3 x 5 dots per digit, one row a byte's low three bits, the left dot the highest.
constexpr unsigned char kDigits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

int Wrap(long long value, int length) {
    const long long r = value % length;
    return static_cast<int>(r < 0 ? r + length : r);
}

} // namespace

struct CKelPlayFrameRenderer::Active {
    Entry entry;
    Kind kind = Kind::Picture;
    const CKelMemBlock* pPicture = nullptr; // the piece's, kept by the renderer
    bool bOpaque = false; // the picture fills the piece's place with opaque pixels
    CKelIOSoftEffectBaseObj* pEffect = nullptr; // the material's, when kind is Effect
    bool bPrepared = false;                     // prepared once it is first drawn
    int nDirection = 0;                         // of a scroll
};

CKelPlayFrameRenderer::CKelPlayFrameRenderer(const CKelPlaySceneObj& scene, CKelSBBodyObj& body) {
    std::size_t order = 0;
    kel::host::ForEachContent(body.GetContainerList(), [&](CKelSBContentBaseObj& content) {
        const int nTrack = content.GetTrackIndex();
        const CKelSBTrackObj* pTrack = body.GetTrackObj(nTrack);
        if (pTrack == nullptr || !pTrack->IsPlayAllowed() ||
            content.GetStoryOut() <= content.GetStoryIn())
            return;
        // A material whose piece is gone plays from its attached copy, else not at all.
        const CKelPlayBaseObj* pPiece = scene.FindPieceByGUID(content.GetGUID());
        if (pPiece == nullptr)
            pPiece = DYNAMIC_DOWNCAST(CKelPlayBaseObj, content.GetAttachedPiece());
        if (pPiece == nullptr)
            return;
        m_entries.push_back(
            {content.GetStoryIn(), content.GetStoryOut(), nTrack, order++, &content, pPiece});
    });
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const Entry& a, const Entry& b) { return a.nIn < b.nIn; });
}

CKelPlayFrameRenderer::~CKelPlayFrameRenderer() {
    Restart();
}

void CKelPlayFrameRenderer::Restart() {
    for (const auto& active : m_active) {
        if (active->bPrepared)
            active->pEffect->Close();
    }
    m_active.clear();
    m_nNext = 0;
}

const CKelPlayFrameRenderer::Picture&
CKelPlayFrameRenderer::PictureOf(const CKelPlayBaseObj& piece) {
    auto [it, added] = m_pictures.try_emplace(&piece);
    Picture& picture = it->second;
    if (added) {
        picture.block.Init(-1, -1, nullptr, 0); // sized by the piece's drawing
        piece.DrawToBlock(&picture.block, 0);
        const CRect& place = piece.GetRect();
        const CKelMemBlock& block = picture.block;
        if (!block.IsEmpty() && block.GetWidth() == place.Width() &&
            block.GetHeight() == place.Height()) {
            const DWORD* bits = block.GetBits();
            const std::size_t count = static_cast<std::size_t>(block.GetWidth()) *
                                      static_cast<std::size_t>(block.GetHeight());
            picture.bFillsPlace =
                std::all_of(bits, bits + count, [](DWORD pixel) { return (pixel >> 24) == 0xFF; });
        }
    }
    return picture;
}

void CKelPlayFrameRenderer::TakeOn(const Entry& entry) {
    auto active = std::make_unique<Active>();
    active->entry = entry;
    const CKelPlayBaseObj& piece = *entry.pPiece;
    const Picture& picture = PictureOf(piece);
    active->pPicture = &picture.block;
    active->bOpaque = picture.bFillsPlace;

    auto* pMaterial = DYNAMIC_DOWNCAST(CKelSBContentPieceBaseObj, entry.pContent);
    CKelIOSoftEffectBaseObj* pEffect = pMaterial ? pMaterial->GetIOSoftEffect() : nullptr;
    if (const auto* pScroll = DYNAMIC_DOWNCAST(CKelPlayScrollObj, &piece)) {
        active->kind = Kind::Scroll;
        active->nDirection = pScroll->GetDirection();
    } else if (DYNAMIC_DOWNCAST(CKelPlayMovieObj, &piece) != nullptr) {
        active->kind = Kind::Movie;
    } else if (pEffect != nullptr && DYNAMIC_DOWNCAST(CKelPlayGroupObj, &piece) != nullptr) {
        active->kind = Kind::Effect;
        active->pEffect = pEffect;
    }
    const auto before = [](const Active& a, const Entry& b) {
        return a.entry.nTrack != b.nTrack ? a.entry.nTrack < b.nTrack : a.entry.nOrder < b.nOrder;
    };
    auto at = std::find_if(m_active.begin(), m_active.end(),
                           [&](const auto& a) { return !before(*a, entry); });
    m_active.insert(at, std::move(active));
}

bool CKelPlayFrameRenderer::Covers(const Active& active) const {
    if (!active.bOpaque)
        return false;
    if (active.kind != Kind::Effect)
        return true;
    // The effect shows the whole picture: a cut, a Stay, an In that has come in.
    const CKelIOSoftEffectBaseObj& effect = *active.pEffect;
    const DWORD nPhase = m_nFrame - active.entry.nIn;
    return effect.GetEffectName() == CKelIOSoftEffectBaseObj::kCopy || effect.GetIOState() == 1 ||
           (effect.GetIOState() == 0 && nPhase + 1 >= std::max<DWORD>(1, effect.GetPlayDuration()));
}

bool CKelPlayFrameRenderer::Moves(const Active& active) const {
    const DWORD nPhase = m_nFrame - active.entry.nIn;
    switch (active.kind) {
    case Kind::Movie:
    case Kind::Scroll:
        return true;
    case Kind::Effect:
        // Stay effects and finished ones show one picture; the first frame came with the set.
        return active.pEffect->GetIOState() != 1 && nPhase >= 1 &&
               nPhase < std::max<DWORD>(1, active.pEffect->GetPlayDuration());
    case Kind::Picture:
        break;
    }
    return false;
}

void CKelPlayFrameRenderer::Seek(DWORD nFrame) {
    bool bChanged = false;
    if (!m_bStarted || nFrame < m_nFrame) {
        Restart();
        m_bStarted = true;
        bChanged = true;
    }
    for (auto it = m_active.begin(); it != m_active.end();) {
        if ((*it)->entry.nOut <= nFrame) {
            if ((*it)->bPrepared)
                (*it)->pEffect->Close();
            it = m_active.erase(it);
            bChanged = true;
        } else {
            ++it;
        }
    }
    for (; m_nNext < m_entries.size() && m_entries[m_nNext].nIn <= nFrame; ++m_nNext) {
        if (nFrame < m_entries[m_nNext].nOut) {
            TakeOn(m_entries[m_nNext]);
            bChanged = true;
        }
    }
    const bool bMoved = nFrame != m_nFrame;
    m_nFrame = nFrame;
    if (!bChanged && bMoved) {
        bChanged = std::any_of(m_active.begin(), m_active.end(),
                               [this](const auto& a) { return Moves(*a); });
    }
    m_bChanged = bChanged;
}

std::vector<KelGUID> CKelPlayFrameRenderer::OnAir() const {
    std::vector<KelGUID> guids;
    guids.reserve(m_active.size());
    for (const auto& active : m_active)
        guids.push_back(active->entry.pContent->GetGUID());
    return guids;
}

void CKelPlayFrameRenderer::Render(CKelMemBlock& out) {
    if (&out != m_pLastOut || out.GetVersion() != m_nLastVersion) {
        out.Fill(0);
    } else {
        for (const CRect& rect : m_drawn)
            out.Fill(rect, 0);
    }
    m_drawn.clear();
    // From the first track down, what an opaque piece above hides is left out.
    std::vector<Active*> shown;
    std::vector<CRect> covered;
    const CRect raster = out.GetRect();
    for (const auto& active : m_active) {
        CRect place;
        if (!place.IntersectRect(active->entry.pPiece->GetRect(), raster))
            continue;
        const bool hidden = std::any_of(covered.begin(), covered.end(), [&](const CRect& c) {
            CRect both;
            both.UnionRect(c, place);
            return both == c;
        });
        if (hidden)
            continue;
        shown.push_back(active.get());
        if (active->kind == Kind::Effect) {
            // An effect draws the whole picture from where its place meets the raster.
            CRect extent(place.TopLeft(),
                         CSize(active->pPicture->GetWidth(), active->pPicture->GetHeight()));
            extent.IntersectRect(extent, raster);
            place.UnionRect(place, extent);
        }
        m_drawn.push_back(place);
        if (Covers(*active))
            covered.push_back(place);
    }
    // The last track first, so that the first track ends on top.
    for (auto it = shown.rbegin(); it != shown.rend(); ++it)
        Draw(**it, out);
    m_pLastOut = &out;
    m_nLastVersion = out.GetVersion();
}

void CKelPlayFrameRenderer::Draw(Active& active, CKelMemBlock& out) {
    const CKelMemBlock& picture = *active.pPicture;
    const CRect& place = active.entry.pPiece->GetRect();
    const DWORD nPhase = m_nFrame - active.entry.nIn;
    switch (active.kind) {
    case Kind::Effect:
        if (!active.bPrepared) {
            // The effect the preview plays, prepared the same way: the piece's picture at its
            // place on the output raster.
            CRect rcTarget;
            rcTarget.IntersectRect(place, CKelVideoStd::GetResRect());
            // Preparing only reads the picture: it keeps a copy of its own.
            auto* pSource = const_cast<CKelMemBlock*>(&picture);
            auto* pObjects = const_cast<CKelObList*>(active.entry.pPiece->GetObjList());
            active.bPrepared =
                active.pEffect->Prepare(pSource, rcTarget, nullptr, pObjects, nullptr) != 0;
        }
        if (active.bPrepared) {
            active.pEffect->GetPlayer()->RenderFrame(&out, nPhase,
                                                     CKelIOSoftEffectPlayer::kModeMix);
        }
        break;
    case Kind::Movie:
        out.Copy(picture, place.left, place.top);
        KelDrawFrameNumber(out, place.left + kFrameNumberInset, place.top + kFrameNumberInset,
                           nPhase, kFrameNumberScale, kFrameNumberColour, place);
        break;
    case Kind::Scroll: {
        // The picture runs through the piece's place, entering where the last part left.
        const int w = picture.GetWidth();
        const int h = picture.GetHeight();
        if (w <= 0 || h <= 0)
            break;
        const long long shift = static_cast<long long>(nPhase) * kScrollStep;
        const int dx = active.nDirection == CKelPlayScrollObj::kLeft    ? Wrap(shift, w)
                       : active.nDirection == CKelPlayScrollObj::kRight ? Wrap(-shift, w)
                                                                        : 0;
        const int dy = active.nDirection == CKelPlayScrollObj::kUp     ? Wrap(shift, h)
                       : active.nDirection == CKelPlayScrollObj::kDown ? Wrap(-shift, h)
                                                                       : 0;
        // Four copies of the picture's quarters cover the wrapped picture.
        const std::array<std::array<int, 6>, 4> parts = {{
            {dx, dy, w - dx, h - dy, 0, 0},
            {0, dy, dx, h - dy, w - dx, 0},
            {dx, 0, w - dx, dy, 0, h - dy},
            {0, 0, dx, dy, w - dx, h - dy},
        }};
        for (const auto& [sx, sy, sw, sh, tx, ty] : parts) {
            if (sw > 0 && sh > 0)
                out.Copy(picture, CRect(sx, sy, sx + sw, sy + sh), place.left + tx, place.top + ty);
        }
        break;
    }
    case Kind::Picture:
        out.Copy(picture, place.left, place.top);
        break;
    }
}

void KelDrawFrameNumber(CKelMemBlock& out, int x, int y, DWORD number, int scale, DWORD colour,
                        const CRect& clip) {
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(number));
    for (int i = 0; i < length; ++i) {
        const unsigned char* rows = kDigits[text[i] - '0'];
        const int left = x + i * 4 * scale;
        for (int row = 0; row < 5; ++row) {
            for (int dot = 0; dot < 3; ++dot) {
                if ((rows[row] >> (2 - dot)) & 1) {
                    CRect dotRect(left + dot * scale, y + row * scale, left + (dot + 1) * scale,
                                  y + (row + 1) * scale);
                    if (dotRect.IntersectRect(dotRect, clip))
                        out.Fill(dotRect, colour);
                }
            }
        }
    }
}
