// What an undo/redo command may ask of the editor it works in, and what the undo layer asks of
// the module around it. Commands see the editor only through CKelSBEditorServices, so that they
// build and link without the view, the dialog or the module; the timeline view implements it.
#pragma once

#include "edit/edit_find.h"

#include "platform/cstring.h"
#include "platform/geometry.h"
#include "platform/win_types.h"

#include <vector>

class CObList;
class CKelPlaySceneObj;
class CKelSBBodyObj;
class CKelSBContentBaseObj;
class CKelURBase;

class CKelSBEditorServices {
public:
    virtual ~CKelSBEditorServices() = default;

    // ---- What the editor shows: the scene, its current storyboard and that one's history.
    virtual CKelPlaySceneObj* GetCurScene() const = 0;
    virtual CKelSBBodyObj* GetCurSBBody() const = 0;
    virtual CKelURBase* GetCurHistory() const = 0;

    // ---- The selection.
    virtual CObList& GetSelTrackList() = 0;
    virtual CObList& GetSelContainerList() = 0;
    virtual CKelSBContentBaseObj* GetCurContent() const = 0;
    virtual void SetCurContent(CKelSBContentBaseObj* pContent) = 0;
    virtual void ClearTrackSelection() = 0;
    // Goes with the status line's material.
    virtual void ClearMaterialSelection() = 0;
    // Selects the recorded containers again and makes the focus current; repaints nothing.
    virtual void RestoreSelection(const std::vector<int>& containerIndices,
                                  const kel::edit::Focus& focus, bool bTracksToo) = 0;

    // ---- Showing a change.
    // The earliest entry and the latest outlet of the selected materials to the status line.
    virtual void ShowSelectedSpan() = 0;
    virtual void ClearStatusLine() = 0;
    virtual void EnsureCurContentVisible() = 0;
    virtual CRect GetMaterialRect(const CKelSBContentBaseObj* pContent) const = 0;
    // Appends the rectangle of every material of every selected container.
    virtual void CollectSelectionRects(std::vector<CRect>& rects) const = 0;
    // Repaints each non-empty rectangle at once and empties the list.
    virtual void InvalidateRects(std::vector<CRect>& rects) = 0;
    // The whole editor is repainted later, now, or its frame (which shows the selection too)
    // now.
    virtual void InvalidateAll() = 0;
    virtual void PaintNow() = 0;
    virtual void PaintFrameNow() = 0;
    // Both selections emptied and the storyboard re-read (validated, track lists rebuilt), or,
    // for a step that kept the storyboard's derived data itself, only shown again from the start.
    virtual void FullViewRebuild() = 0;
    virtual void ResetViewKeepingModel() = 0;

    // ---- Telling others.
    // The host's document changed.
    virtual void MarkModified() const = 0;
    // The storyboard navigator's focus follows the current material (null: none).
    virtual void NotifyNavigatorContent(const CKelSBContentBaseObj* pContent) const = 0;
    // Debug builds stop on any fault of the storyboard, the selection or the history, naming
    // what was being done; release builds do nothing.
    virtual void DebugCheck(const char* pszDoing) const = 0;

    // Whether the editor still exists: commands outlive the editor that recorded them, and
    // then ask the module for its current one. An address is never dereferenced here.
    static bool IsLive(const CKelSBEditorServices* pEditor);

protected:
    CKelSBEditorServices() = default;
    CKelSBEditorServices(const CKelSBEditorServices&) = default;
    CKelSBEditorServices& operator=(const CKelSBEditorServices&) = default;
    // An editor is live between these calls, which it makes while it is whole.
    void SetLive(bool bLive);
};

// ---- What the module provides. Until it installs these, a command whose editor is gone finds
// none, history texts are empty and no history panel hears of a change.

// The editor's current one (null without one).
using KelSBCurrentEditorFn = CKelSBEditorServices* (*)();
void KelSBSetCurrentEditorSource(KelSBCurrentEditorFn pfnCurrent);
CKelSBEditorServices* KelSBCurrentEditor();

// The history text of a command (its string id in the module's table), and the history panel
// told that pHistory is about to get a step (bAdded false) or got one (true).
struct KelSBHistoryServices {
    CString (*pfnLoadText)(UINT nTextId) = nullptr;
    void (*pfnTellPanel)(bool bAdded, CKelURBase* pHistory) = nullptr;
};
void KelSBSetHistoryServices(const KelSBHistoryServices& services);
const KelSBHistoryServices& KelSBGetHistoryServices();
