#include "play/material_effects.h"

#include "operations/op_place.h"
#include "view/sbedit_view.h"

#include "host/effects/effect_preview.h"
#include "host/effects/io_effect.h"
#include "host/effects/io_wait.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/scene/play_piece.h"
#include "host/scene/play_scene.h"
#include "host/services/effect_editor.h"
#include "host/services/live_output.h"
#include "host/services/video_std.h"
#include "res/resource.h"

#include <memory>

namespace kel::play {

namespace {

// The mix mode the effect editor previews with: over what the output shows.
constexpr int kEditorMixMode = 2;

CKelSBContentPieceBaseObj* AsPiece(CKelSBContentBaseObj* pContent) {
    return DYNAMIC_DOWNCAST(CKelSBContentPieceBaseObj, pContent);
}

bool IsOnLockedTrack(const CKelSBBodyObj& body, const CKelSBContentBaseObj& content) {
    const CKelSBTrackObj* pTrack = body.GetTrackObj(content.GetTrackIndex());
    return pTrack != nullptr && pTrack->IsLocked();
}

// The effect editor on the material's own effect, for the phase the material plays. 0 for a
// phase the editor does not know.
int RunEffectEditor(CKelSBEditView& view, CKelSBContentPieceBaseObj& material,
                    CKelPlayBaseObj& piece) {
    const int nState = material.GetIOStateType();
    if (nState < 0 || nState > 2)
        return 0;
    CKelIOSoftEffectBaseObj* pEffect = material.GetIOSoftEffect();
    CKelIOWaitObj wait;
    CKelIOWaitObj* waits[3] = {};
    CKelIOSoftEffectBaseObj* effects[3] = {};
    waits[nState] = &wait;
    effects[nState] = pEffect;
    view.SetHistorySync(0);
    const int nResult = KelIOSoftEditEffectObj(&piece, piece.GetRect(), nState, waits[0], waits[1],
                                               waits[2], effects[0], effects[1], effects[2],
                                               kEditorMixMode, piece.GetObjList(), &view);
    view.SetHistorySync(1);
    return nResult;
}

} // namespace

CKelPlayBaseObj* FindPlayPiece(const CKelPlaySceneObj& scene, const CKelSBContentBaseObj& content) {
    if (CKelPlayBaseObj* pPiece = scene.FindPieceByGUID(content.GetGUID()))
        return pPiece;
    return DYNAMIC_DOWNCAST(CKelPlayBaseObj, content.GetAttachedPiece());
}

int EditCurrentEffect(CKelSBEditView& view) {
    CKelPlaySceneObj* pScene = view.GetCurScene();
    CKelSBBodyObj* pBody = view.GetCurSBBody();
    CKelSBContentBaseObj* pContent = view.Selection().GetCurContent();
    if (view.IsLoaded() || pScene == nullptr || pBody == nullptr || pContent == nullptr ||
        IsOnLockedTrack(*pBody, *pContent))
        return 0;
    const kel::edit::Focus focus = view.Selection().GetCurFocus();
    if (!focus.IsSet())
        return 0; // a current material that is not the storyboard's cannot be recorded
    // The step keeps the material as it is before the editor runs.
    bool bNothingToEdit = false;
    const int nResult =
        kel::operations::EditEffect(view, IDS_HIST_IO_MODE, pScene, focus, *pContent, [&] {
            view.EnableHostPanels(FALSE);
            CKelSBContentPieceBaseObj* pMaterial = AsPiece(pContent);
            CKelPlayBaseObj* pPiece = pMaterial ? FindPlayPiece(*pScene, *pMaterial) : nullptr;
            int nEdited = 0;
            if (pMaterial != nullptr && pPiece == nullptr)
                bNothingToEdit = true;
            // Only groups play in phases; movies, scrolls and any other piece have no effect
            // to edit.
            else if (pMaterial != nullptr && DYNAMIC_DOWNCAST(CKelPlayGroupObj, pPiece) != nullptr)
                nEdited = RunEffectEditor(view, *pMaterial, *pPiece);
            view.EnableHostPanels(TRUE);
            return nEdited;
        });
    if (bNothingToEdit)
        return 0; // nothing to edit and nothing changed: the document is left as it was
    const CKelSBEditorServices& editor = view;
    if (nResult != 0) {
        editor.NotifyNavigatorContent(view.Selection().GetCurContent());
        if (view.GetSafeHwnd()) {
            view.InvalidateRect(view.Geometry().GetMaterialRect(pContent), TRUE);
            view.Invalidate();
            view.UpdateWindow();
        }
    }
    editor.MarkModified();
    return nResult;
}

int RunEffect(CKelSBContentBaseObj* pContent, CKelPlayBaseObj* pPiece, CWnd* pWnd) {
    CKelSBContentPieceBaseObj* pMaterial = AsPiece(pContent);
    CKelIOSoftEffectBaseObj* pEffect = pMaterial ? pMaterial->GetIOSoftEffect() : nullptr;
    if (pEffect == nullptr || DYNAMIC_DOWNCAST(CKelPlayGroupObj, pPiece) == nullptr)
        return 0;
    CRect rcTarget;
    rcTarget.IntersectRect(pPiece->GetRect(), CKelVideoStd::GetResRect());
    CKelMemBlock picture;
    picture.Init(-1, -1, nullptr, 0); // sized by the piece's drawing
    pPiece->DrawToBlock(&picture, 0);
    if (!pEffect->Prepare(&picture, rcTarget, nullptr, pPiece->GetObjList(), pWnd)) {
        pMaterial->CloseIOData();
        return 0;
    }
    picture.Close();
    CKelIOSoftEffectPlayer* pPlayer = pEffect->GetPlayer();
    return pPlayer ? pPlayer->Run(CKelDrvGFB::GetBlockOut(), CKelIOSoftEffectPlayer::kModeMix, pWnd)
                   : 0;
}

int PreviewCurrentEffect(CKelSBEditView& view, const KelPieceEffectPreview* pRecord) {
    if (pRecord == nullptr)
        return 0;
    CKelDrvGFB::ClearScreenLive();
    CKelDrvGFB::UpdateOutLiveWnd(-1);
    CKelMemBlock* pOut = CKelDrvGFB::GetBlockOut();
    CKelPlaySceneObj* pScene = view.GetCurScene();
    CKelSBContentPieceBaseObj* pMaterial = AsPiece(view.Selection().GetCurContent());
    CKelPlayBaseObj* pPiece = pScene && pMaterial ? FindPlayPiece(*pScene, *pMaterial) : nullptr;
    if (pPiece == nullptr)
        return 0;
    // Stay and Out play from what the piece shows, not from an empty output: its picture at
    // its place, as the output shows it on the air.
    if (pMaterial->GetIOStateType() != 0 && pOut != nullptr) {
        CKelMemBlock picture;
        picture.Init(-1, -1, nullptr, 0); // sized by the piece's drawing
        if (pPiece->DrawToBlock(&picture, 0)) {
            const CRect& place = pPiece->GetRect();
            pOut->Copy(picture, place.left, place.top);
        }
    }
    const int nResult = RunEffect(pMaterial, pPiece, pRecord->pWnd);
    pMaterial->CloseIOData();
    return nResult;
}

} // namespace kel::play
