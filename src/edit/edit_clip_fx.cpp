#include "edit/edit_clip_fx.h"

#include "edit/edit_change.h"

#include "host/effects/io_effect.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"

#include <utility>

namespace kel::edit {

namespace {

CKelObList& ClipboardOf(CKelSBEditObj& doc, int nPhase) {
    switch (nPhase) {
    case 0:
        return doc.GetFXClipboardIn();
    case 1:
        return doc.GetFXClipboardStay();
    default:
        return doc.GetFXClipboardOut();
    }
}

// The effect a phase's clipboard holds, null when it is empty.
const CKelIOSoftEffectBaseObj* ClipboardEffect(CKelSBEditObj& doc, int nPhase) {
    const CKelObList& clipboard = ClipboardOf(doc, nPhase);
    return clipboard.IsEmpty() ? nullptr
                               : DYNAMIC_DOWNCAST(CKelIOSoftEffectBaseObj, clipboard.GetHead());
}

CKelIOSoftEffectBaseObj* EffectOf(const CKelSBContentBaseObj* pContent) {
    const auto* pPiece = DYNAMIC_DOWNCAST(CKelSBContentPieceBaseObj, pContent);
    return pPiece ? pPiece->GetIOSoftEffect() : nullptr;
}

} // namespace

ClipRecord ClipAtTimeLine(const CKelPlaySceneObj& scene, CKelSBBodyObj& body, bool bEntry) {
    // Every track's material is found before any is clipped: a clip on one track does not
    // change what lies under the time line on another, and the look-ups stay those of one
    // unchanged storyboard.
    std::vector<std::pair<int, CKelSBContentBaseObj*>> found;
    for (int nTrack = 0; nTrack < body.GetTrackCount(); ++nTrack) {
        const CKelSBTrackObj* pTrack = body.GetTrackObj(nTrack);
        if (pTrack == nullptr || pTrack->IsLocked() || !pTrack->HasContentObj())
            continue;
        if (CKelSBContentBaseObj* pContent = scene.GetTimeLineContent(nTrack))
            found.emplace_back(nTrack, pContent);
    }
    TrackListUpkeep lists(body);
    ClipRecord record;
    const DWORD dwTimeLine = body.GetTimeLinePos();
    for (const auto& [nTrack, pContent] : found) {
        const DWORD dwOld = bEntry ? pContent->GetStoryIn() : pContent->GetStoryOut();
        ChangeJournal journal;
        // The model refuses an end that would leave the material shorter than it may be.
        if (dwOld == dwTimeLine || !SetPoint(*pContent, dwTimeLine, bEntry, journal))
            continue;
        journal.Commit();
        record.tracks.push_back(nTrack);
        record.oldFrames.push_back(static_cast<long>(dwOld));
        record.newFrames.push_back(static_cast<long>(dwTimeLine));
    }
    if (!record.IsEmpty())
        lists.Done(record.tracks);
    return record;
}

int EffectPhaseOf(const CKelSBContentBaseObj* pContent) {
    if (DYNAMIC_DOWNCAST(CKelSBContentPieceInObj, pContent))
        return 0;
    if (DYNAMIC_DOWNCAST(CKelSBContentPieceStayObj, pContent))
        return 1;
    if (DYNAMIC_DOWNCAST(CKelSBContentPieceOutObj, pContent))
        return 2;
    return -1;
}

bool CopyEffect(CKelSBEditObj& doc, const CKelSBContentBaseObj& content) {
    const int nPhase = EffectPhaseOf(&content);
    const CKelIOSoftEffectBaseObj* pEffect = EffectOf(&content);
    if (nPhase < 0 || pEffect == nullptr)
        return false;
    std::unique_ptr<CKelIOSoftEffectBaseObj> pCopy(pEffect->MakeCopy());
    CKelObList& clipboard = ClipboardOf(doc, nPhase);
    clipboard.DeleteAll();
    clipboard.AddTail(pCopy.release()); // the clipboard owns it
    return true;
}

FXPasteTargets FindFXPasteTargets(const CKelSBBodyObj& body, CKelSBEditObj& doc,
                                  const std::vector<int>& containerIndices) {
    FXPasteTargets targets;
    for (int nContainer : containerIndices) {
        const CKelSBContainerObj* pContainer = body.GetContainerObj(nContainer);
        for (INT_PTR m = 0; pContainer != nullptr && m < pContainer->GetContentCount(); ++m) {
            const CKelSBContentBaseObj* pContent = pContainer->GetContentObj(m);
            const int nPhase = EffectPhaseOf(pContent);
            if (nPhase < 0 || EffectOf(pContent) == nullptr ||
                ClipboardEffect(doc, nPhase) == nullptr)
                continue;
            targets.bAnyClipboardFilled = true;
            const CKelSBTrackObj* pTrack = body.GetTrackObj(pContent->GetTrackIndex());
            if (pTrack != nullptr && !pTrack->IsLocked())
                targets.byPhase[nPhase].push_back({nContainer, static_cast<int>(m)});
        }
    }
    return targets;
}

std::array<std::vector<std::unique_ptr<CKelIOSoftEffectBaseObj>>, 3>
PasteEffects(const CKelSBBodyObj& body, CKelSBEditObj& doc, const FXPasteTargets& targets) {
    std::array<std::vector<std::unique_ptr<CKelIOSoftEffectBaseObj>>, 3> replaced;
    std::array<std::vector<CKelIOSoftEffectBaseObj*>, 3> effects;
    // Copies of what is replaced first: an allocation failure then changes nothing.
    for (int nPhase = 0; nPhase < 3; ++nPhase) {
        for (const Focus& at : targets.byPhase[nPhase]) {
            CKelIOSoftEffectBaseObj* pEffect =
                EffectOf(ContentAt(body, at.nContainer, at.nContent));
            if (pEffect == nullptr || ClipboardEffect(doc, nPhase) == nullptr)
                return {};
            replaced[nPhase].emplace_back(pEffect->MakeCopy());
            effects[nPhase].push_back(pEffect);
        }
    }
    for (int nPhase = 0; nPhase < 3; ++nPhase) {
        for (CKelIOSoftEffectBaseObj* pEffect : effects[nPhase]) {
            // An effect plays as long as the material it is on: the pasted one takes the
            // target's play duration, not its source's. Every trim and its undo set the play
            // duration from the material's length, so a pasted length would be lost on undo.
            const DWORD dwPlayDuration = pEffect->GetPlayDuration();
            *pEffect = *ClipboardEffect(doc, nPhase);
            pEffect->SetPlayDuration(dwPlayDuration);
        }
    }
    return replaced;
}

} // namespace kel::edit
