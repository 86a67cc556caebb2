// Painting of the materials on their track rows: the background of the kind, the thumbnail of
// the piece, the label, and the hatch that marks a material whose piece left the scene.
#include "dialog/module_instance.h"
#include "view/sbedit_view.h"
#include "view/view_paint_tools.h"

#include "host/base/kel_guid.h"
#include "host/base/kel_memblock.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/scene/play_scene.h"
#include "host/services/module_rc.h"
#include "host/services/public_helpers.h"
#include "platform/dc.h"
#include "res/resource.h"

#include <unordered_map>

namespace {

constexpr COLORREF kMaterialLight = RGB(230, 230, 230);
constexpr COLORREF kMaterialDark = RGB(50, 50, 50);
constexpr COLORREF kThumbLight = RGB(96, 109, 137);
constexpr COLORREF kThumbDark = RGB(156, 168, 197);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kMissingHatch = RGB(255, 0, 0);
constexpr int kThumbInset = 2;
constexpr int kLabelGap = 2;
constexpr int kTextBandHeight = 12;

enum class MaterialKind { None, In, Stay, Out, Movie, Scroll };

MaterialKind KindOf(const CKelSBContentBaseObj* pContent) {
    if (!pContent)
        return MaterialKind::None;
    // A scroll is a movie too, so it is asked first.
    if (pContent->IsKindOf(RUNTIME_CLASS(CKelSBContentScrollObj)))
        return MaterialKind::Scroll;
    if (pContent->IsKindOf(RUNTIME_CLASS(CKelSBContentMovieObj)))
        return MaterialKind::Movie;
    if (pContent->IsKindOf(RUNTIME_CLASS(CKelSBContentPieceInObj)))
        return MaterialKind::In;
    if (pContent->IsKindOf(RUNTIME_CLASS(CKelSBContentPieceStayObj)))
        return MaterialKind::Stay;
    if (pContent->IsKindOf(RUNTIME_CLASS(CKelSBContentPieceOutObj)))
        return MaterialKind::Out;
    return MaterialKind::None;
}

bool IsEffectPiece(MaterialKind kind) {
    return kind == MaterialKind::In || kind == MaterialKind::Stay || kind == MaterialKind::Out;
}

CString LoadText(UINT nId) {
    return CKelModuleRC::LoadStringW(kel::sbedit::ModuleInstance(), nId);
}

// Where a thumbnail of iconWidth x iconHeight goes in `square`: a wide one spans the square's
// width at its own proportions, centred vertically; any other fills the square.
CRect IconRect(const CRect& square, int iconWidth, int iconHeight) {
    const float ratio =
        iconHeight > 0 ? static_cast<float>(iconWidth) / static_cast<float>(iconHeight) : 1.0f;
    const int middleX = (square.left + square.right) / 2;
    const int middleY = (square.top + square.bottom) / 2;
    if (ratio > 1.0f) {
        const int half = static_cast<int>(static_cast<float>(square.Width()) / ratio) / 2;
        return CRect(square.left, middleY - half, square.right, middleY + half);
    }
    const int half = square.Height() / 2;
    return CRect(middleX - half, square.top, middleX + half, square.bottom);
}

} // namespace

namespace kel::sbedit {

// What the materials of one paint look up, each found once: a screen shows the same few pieces
// many times over, the scene's list is searched from its head, and the words of the labels
// come from the string table.
class MaterialLookups {
public:
    explicit MaterialLookups(const CKelPlaySceneObj* pScene) : m_pScene(pScene) {}

    // The scene's piece of a material; a material whose piece left the scene is shown through
    // the copy it carries, and reported missing.
    const CKelItemBaseObj* FindPiece(const CKelSBContentBaseObj* pContent, bool& bMissing) {
        const CKelItemBaseObj* pPiece = nullptr;
        if (m_pScene) {
            const auto [it, bNew] = m_pieces.try_emplace(pContent->GetGUID(), nullptr);
            if (bNew)
                it->second = m_pScene->FindPieceByGUID(pContent->GetGUID());
            pPiece = it->second;
        }
        bMissing = pPiece == nullptr;
        return pPiece ? pPiece : pContent->GetAttachedPiece();
    }

    const CString& Text(UINT nId) {
        const auto [it, bNew] = m_texts.try_emplace(nId);
        if (bNew)
            it->second = LoadText(nId);
        return it->second;
    }

private:
    const CKelPlaySceneObj* m_pScene; // not owned: the host's scene, alive for the paint
    std::unordered_map<KelGUID, const CKelItemBaseObj*> m_pieces;
    std::unordered_map<UINT, CString> m_texts;
};

} // namespace kel::sbedit

namespace {

CString MaterialLabel(const CKelSBContentBaseObj* pContent, kel::sbedit::MaterialLookups& lookups) {
    const MaterialKind kind = KindOf(pContent);
    if (kind == MaterialKind::None)
        return CString();
    bool bMissing = false;
    const CKelItemBaseObj* pPiece = lookups.FindPiece(pContent, bMissing);
    CString strLabel = pPiece ? pPiece->GetName() : CString();
    if (!IsEffectPiece(kind))
        return strLabel;
    const auto* pPieceContent = static_cast<const CKelSBContentPieceBaseObj*>(pContent);
    CString strEffect = pPieceContent->GetIOSoftEffectStr();
    strEffect.Trim();
    // A Stay phase that copies its picture keeps it on air: it is named for what it does.
    if (kind == MaterialKind::Stay && strEffect == lookups.Text(IDS_PAINT_FX_COPY))
        strEffect = lookups.Text(IDS_PAINT_FX_KEEP);
    strLabel += "\\";
    strLabel += strEffect;
    switch (kind) {
    case MaterialKind::In:
        strLabel += lookups.Text(IDS_PAINT_PHASE_IN);
        break;
    case MaterialKind::Stay:
        strLabel += lookups.Text(IDS_PAINT_PHASE_STAY);
        break;
    default:
        strLabel += lookups.Text(IDS_PAINT_PHASE_OUT);
        break;
    }
    return strLabel;
}

} // namespace

// What a material shows as its name: its piece's name, the piece's effect and phase.
CString CKelSBEditView::GetMaterialLabel(const CKelSBContentBaseObj* pContent) const {
    kel::sbedit::MaterialLookups lookups(m_pCurScene);
    return MaterialLabel(pContent, lookups);
}

void CKelSBEditView::PaintMaterials(CDC* pDC) {
    kel::sbedit::PaintStep step(pDC, Geometry().GetTrackAreaRect(), Geometry().GetBelowStripRect());
    CKelSBBodyObj* pBody = GetCurSBBody();
    if (!step || !pBody)
        return;
    // Only what reaches into the clip is visited: the visible rows and, on each, the materials
    // near the visible frames. A list out of step with its track's materials may hold
    // materials of any row, so then every list is asked.
    CRect clip;
    pDC->GetClipBox(&clip);
    DWORD dwFrom = 0;
    DWORD dwTo = 0;
    if (!Geometry().GetFrameSpan(clip.left, clip.right, dwFrom, dwTo))
        return;
    const auto [nFirst, nEnd] = pBody->AreTrackContentListsCurrent()
                                    ? VisibleTracks(pDC)
                                    : std::make_pair(0, pBody->GetTrackCount());
    kel::sbedit::MaterialLookups lookups(m_pCurScene);
    for (int i = nFirst; i < nEnd; ++i) {
        const CKelSBTrackObj* pTrack = pBody->GetTrackObj(i);
        if (!pTrack)
            continue;
        for (const CKelSBContentBaseObj* pContent : pTrack->GetContentsNear(dwFrom, dwTo)) {
            // Inside the row's two bevel lines at top and bottom.
            CRect rect = GetMaterialRect(pContent);
            rect.DeflateRect(0, 1);
            if (KindOf(pContent) == MaterialKind::None || rect.IsRectEmpty() ||
                !pDC->RectVisible(rect))
                continue;
            const int nSaved = pDC->SaveDC();
            pDC->IntersectClipRect(rect);
            PaintMaterial(pDC, pContent, rect, lookups);
            pDC->RestoreDC(nSaved);
        }
    }
}

void CKelSBEditView::PaintMaterial(CDC* pDC, const CKelSBContentBaseObj* pContent,
                                   const CRect& rect, kel::sbedit::MaterialLookups& lookups) {
    const MaterialKind kind = KindOf(pContent);
    bool bMissing = false;
    lookups.FindPiece(pContent, bMissing);

    // Background: the picture of the kind stretched over the material.
    CBitmap& background = kind == MaterialKind::Stay  ? m_bmpMaterialStay
                          : kind == MaterialKind::Out ? m_bmpMaterialOut
                                                      : m_bmpMaterialIn;
    if (background.GetSafeHandle()) {
        CDC memory;
        if (memory.CreateCompatibleDC(pDC)) {
            const CSize size = background.GetSize();
            CBitmap* pOld = memory.SelectObject(&background);
            pDC->StretchBlt(rect.left, rect.top, rect.Width(), rect.Height(), &memory, 0, 0,
                            size.cx, size.cy, SRCCOPY);
            memory.SelectObject(pOld);
        }
    }
    pDC->Draw3dRect(rect, kMaterialLight, kMaterialDark);

    // Thumbnail square at the left.
    const int nSide = rect.Height() - 2 * kThumbInset;
    const CRect square(rect.left + kThumbInset, rect.top + kThumbInset,
                       rect.left + kThumbInset + nSide, rect.top + kThumbInset + nSide);
    if (nSide > 0) {
        pDC->Draw3dRect(square, kThumbLight, kThumbDark);
        CRect inside = square;
        inside.DeflateRect(1, 1);
        if (!inside.IsRectEmpty())
            pDC->FillSolidRect(inside, kBlack);
        // The icon is measured on the whole square, frame included: a wide one spans it from
        // edge to edge.
        const CKelMemBlock* pIcon = pContent->GetIcon();
        if (pIcon && !pIcon->IsEmpty())
            KelPublicDrawBitmap(pDC, IconRect(square, pIcon->GetWidth(), pIcon->GetHeight()), pIcon,
                                SRCCOPY);
    }

    // Label between the thumbnail and the right edge.
    const CRect textArea(square.right + kLabelGap, rect.top, rect.right - kLabelGap, rect.bottom);
    if (textArea.Width() > 0) {
        pDC->SetTextColor(kBlack);
        pDC->SetBkMode(TRANSPARENT);
        pDC->DrawText(MaterialLabel(pContent, lookups),
                      kel::sbedit::TextBand(textArea, kTextBandHeight),
                      DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }

    // A material whose piece is gone stays editable and visible, struck through in red.
    if (bMissing) {
        CBrush hatch(HS_FDIAGONAL, kMissingHatch);
        CBrush* pOldBrush = pDC->SelectObject(&hatch);
        CGdiObject* pOldPen = pDC->SelectStockObject(NULL_PEN);
        pDC->Rectangle(rect);
        pDC->SelectObject(pOldBrush);
        if (pOldPen)
            pDC->SelectObject(pOldPen);
    }
}
