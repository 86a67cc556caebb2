// The storyboard document of a scene: its storyboards, which one is current, and the
// clipboards that all storyboards of the scene share.
#pragma once

#include "host/base/kel_object.h"

class CKelSBBodyObj;

class CKelSBEditObj : public CKelObject {
    DECLARE_SERIAL(CKelSBEditObj)
public:
    // A new document holds one new storyboard.
    CKelSBEditObj();
    // Copies the storyboards and the current index; clipboards start empty, histories new.
    CKelSBEditObj(const CKelSBEditObj& other);
    CKelSBEditObj& operator=(const CKelSBEditObj&) = delete;
    ~CKelSBEditObj() override;

    int GetSBBodyCount() const { return static_cast<int>(m_lstBodies.GetCount()); }
    CKelSBBodyObj* GetSBBodyObj(int nIndex) const;
    CKelSBBodyObj* GetCurSBBodyObj() const { return GetSBBodyObj(m_nCurIndex); }
    int GetCurSBBodyIndex() const { return m_nCurIndex; }
    // 0 out of range.
    int SetCurSBBodyIndex(int nIndex);
    CKelObList& GetSBBodyList() { return m_lstBodies; }

    // In the operations below an index of -1 means the current storyboard.
    // Appends a new storyboard and makes it current.
    int AppendSBBody();
    // Inserts a new storyboard before the one at nIndex and makes it current.
    int InsertSBBody(int nIndex = -1);
    // Deletes the storyboard (with its history); the one that takes its place, or the new
    // last one, becomes current. 0 for the last remaining storyboard or out of range.
    int DeleteSBBody(int nIndex = -1);
    // Moves the storyboard one place up (0) or down (1); the current storyboard stays current
    // wherever it goes. 0 at the ends or out of range.
    int MoveSBBody(int nFrom, int nDirection);
    // Replaces the storyboard clipboard with a copy of the storyboard, then deletes it. 0 (the
    // clipboard untouched) where DeleteSBBody would refuse.
    int CutSBBody(int nIndex = -1);
    // Replaces the storyboard clipboard with a copy of the storyboard.
    int CopySBBody(int nIndex = -1);
    // Inserts a copy of the clipboard's storyboard after the current one and makes it current;
    // the clipboard keeps it, so pasting can be repeated. 0 with an empty clipboard.
    int PasteSBBody();
    int GetSBClipboardCount() const { return static_cast<int>(m_lstSBClipboard.GetCount()); }
    CKelObList& GetSBClipboard() { return m_lstSBClipboard; }

    // Clipboards shared by every storyboard of the scene (owning).
    CKelObList& GetMaterialClipboard() { return m_lstMaterialClipboard; }
    CKelObList& GetTrackClipboard() { return m_lstTrackClipboard; }
    CKelObList& GetFXClipboardIn() { return m_lstFXIn; }
    CKelObList& GetFXClipboardStay() { return m_lstFXStay; }
    CKelObList& GetFXClipboardOut() { return m_lstFXOut; }

    // The paste list: the materials of the material clipboard in the order a paste places
    // them (time order). Not owning; taken afresh from the clipboard on every call, so it
    // never points at materials the clipboard has dropped.
    CObList& GetPasteList();
    // Drops clipboard entries that are not materials, refreshes the icons of the others from
    // `pPieces` (when given) and rebuilds the paste list. Returns the number of materials left
    // to paste.
    int UpdatePasteStuff(CObList* pPieces = nullptr);

    // Clears the undo/redo history of every storyboard.
    void ClearHistory();

    CKelSBEditObj* MakeCopy() const override;
    // The storyboards and the current index; clipboards are not stored. Loading checks that
    // there is at least one storyboard and the index is in range, and replaces the document's
    // storyboards only when everything was read.
    void Serialize(CArchive& ar) override;

private:
    int Resolve(int nIndex) const { return nIndex == -1 ? m_nCurIndex : nIndex; }
    void RebuildPasteList();

    CKelObList m_lstBodies;
    int m_nCurIndex = 0;
    // Nothing a storyboard shows is derived from the clipboards: filling them leaves the model
    // generation, and with it what the storyboards know current, alone.
    CKelObList m_lstSBClipboard{CKelObList::kQuiet};
    CKelObList m_lstMaterialClipboard{CKelObList::kQuiet};
    CKelObList m_lstTrackClipboard{CKelObList::kQuiet};
    CKelObList m_lstFXIn{CKelObList::kQuiet};
    CKelObList m_lstFXStay{CKelObList::kQuiet};
    CKelObList m_lstFXOut{CKelObList::kQuiet};
    CObList m_lstPaste;
};
