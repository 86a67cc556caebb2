// Materials: what a storyboard places on its tracks. A material is a piece of the scene in one
// of its phases (In, Stay, Out), a movie or a scroll, between a story in and a story out frame.
#pragma once

#include "host/base/kel_guid.h"
#include "host/base/kel_item.h"
#include "host/base/kel_memblock.h"
#include "host/base/kel_object.h"
#include "host/effects/io_effect.h"
#include "platform/geometry.h"

#include <memory>

class CKelSBContainerObj;

class CKelSBContentBaseObj : public CKelObject {
    DECLARE_SERIAL(CKelSBContentBaseObj)
public:
    // The largest frame value the editor supports, for every time of a storyboard: 24 hours at
    // 120 frames per second, eight times over; at 25 pixels a frame (one frame per unit) its
    // pixel, 2,073,600,000, still fits a signed 32-bit coordinate.
    static constexpr DWORD kMaxFrame = 24u * 3600u * 120u * 8u;
    // GetIOStateType of materials that have no phase (movies, scrolls, plain materials).
    static constexpr int kNoIOState = -1;

    CKelSBContentBaseObj() = default;
    CKelSBContentBaseObj(const CKelSBContentBaseObj& other);
    // Takes over everything of a material of the same kind (times, track, rectangle, GUID,
    // icon, attached pieces and the kind's own data); used to restore a material from a copy.
    CKelSBContentBaseObj& operator=(const CKelSBContentBaseObj& other);
    ~CKelSBContentBaseObj() override;

    // Sets up a new material: track, GUID of its piece, times, and the piece (may be null) from
    // which the kind takes what it needs (pieces their phase's effect). Returns 0 when story
    // out < story in + minimum duration or story out > kMaxFrame.
    virtual int Init(WORD nTrack, const KelGUID& guid, DWORD dwStoryIn, DWORD dwStoryOut,
                     CKelItemBaseObj* pPiece);

    DWORD GetStoryIn() const { return m_dwStoryIn; }
    DWORD GetStoryOut() const { return m_dwStoryOut; }
    DWORD GetDuration() const { return m_dwStoryOut - m_dwStoryIn; }
    // Shortest length a material may be trimmed to.
    virtual DWORD GetMinDuration() const { return 1; }
    // Earliest frame the story in may be trimmed to (a movie cannot start before its first
    // frame); moving the whole material is not limited by it.
    virtual DWORD GetMinStoryIn() const { return 0; }

    // Flag 1 moves the material so that it starts (SetStoryIn) or ends (SetStoryOut) at the
    // frame, keeping its duration; flag 0 trims that end and keeps the other. Both refuse (0,
    // nothing changed) a result with story out < story in + minimum duration, a story in below
    // the minimum story in, or a frame beyond kMaxFrame.
    virtual int SetStoryIn(DWORD dwFrame, int nFlag);
    virtual int SetStoryOut(DWORD dwFrame, int nFlag);
    // Moves the material by a signed number of frames; refuses (0) to leave the frame range.
    int Move(long nDelta);

    WORD GetTrackIndex() const { return m_nTrackIndex; }
    void SetTrackIndex(WORD nTrack) {
        const WORD nOldTrack = m_nTrackIndex;
        m_nTrackIndex = nTrack;
        NotePlaceChanged(m_dwStoryOut, nOldTrack);
    }
    // The container whose list took the material last and still holds it, or null: the
    // storyboard checks it before answering which container holds a material.
    CKelSBContainerObj* GetHolder() const { return m_pHolder; }
    const CRect& GetGeometryRect() const { return m_rcGeometry; }
    void SetGeometryRect(const CRect& rect) { m_rcGeometry = rect; }
    const KelGUID& GetGUID() const { return m_guid; }
    void SetGUID(const KelGUID& guid) { m_guid = guid; }

    // Timeline icon built from the piece's thumbnail; null when there is none.
    const CKelMemBlock* GetIcon() const { return m_pIcon.get(); }
    // Keeps a copy of `pIcon` (null: no icon).
    void SetIcon(const CKelMemBlock* pIcon);
    // Shows `pIcon` itself. An icon never changes once given, so the materials of one piece
    // (and copies of a material) share one.
    void ShareIcon(std::shared_ptr<const CKelMemBlock> pIcon) { m_pIcon = std::move(pIcon); }

    // Copies of the piece, attached while the material is stored away (clipboard, undo
    // snapshots), so that it can be shown even when the scene no longer holds the piece.
    CKelObList& GetAttachedPieceList() { return m_lstPieces; }
    const CKelObList& GetAttachedPieceList() const { return m_lstPieces; }
    // The first attached piece copy, or null.
    CKelItemBaseObj* GetAttachedPiece() const;

    CKelSBContentBaseObj* MakeCopy() const override;
    // Loading checks that the times are consistent for the kind.
    void Serialize(CArchive& ar) override;

protected:
    // Copies the kind's own data from a material known to be of the same kind.
    virtual void AssignFrom(const CKelSBContentBaseObj& other);
    // Kinds whose times carry more (a movie's first frame) adjust it when an end is trimmed.
    virtual void OnTrimmed(DWORD dwOldIn, DWORD dwNewIn) {
        (void)dwOldIn;
        (void)dwNewIn;
    }
    // Whether the kind accepts these times on top of the common rules.
    virtual BOOL AcceptsTimes(DWORD dwIn, DWORD dwOut) const {
        (void)dwIn;
        (void)dwOut;
        return TRUE;
    }
    void SetTimes(DWORD dwIn, DWORD dwOut) {
        const DWORD dwOldOut = m_dwStoryOut;
        m_dwStoryIn = dwIn;
        m_dwStoryOut = dwOut;
        NotePlaceChanged(dwOldOut, m_nTrackIndex);
    }

private:
    friend class CKelSBContainerObj;

    // Times and track decide where a storyboard shows the material; a material of a document
    // tells the storyboards' derived data that it moved.
    // The storyboard holding the material also learns where its story out went from, and the
    // tracks it was and is filed under that their materials moved.
    void NotePlaceChanged(DWORD dwOldOut, WORD nOldTrack) const;

    DWORD m_dwStoryIn = 0;
    DWORD m_dwStoryOut = 1;
    WORD m_nTrackIndex = 0;
    CRect m_rcGeometry;
    KelGUID m_guid;
    std::shared_ptr<const CKelMemBlock> m_pIcon;
    CKelObList m_lstPieces{CKelObList::kQuiet}; // copies, from which nothing is derived
    CKelSBContainerObj* m_pHolder = nullptr;    // not copied: a copy is held by no one yet
    int m_nStoryboardHolders = 0;               // containers of a storyboard holding it; not copied
};

// A material that stands for a scene item. Movies and scrolls are pieces too; the effect
// pieces (In, Stay, Out) own the effect of their phase.
class CKelSBContentPieceBaseObj : public CKelSBContentBaseObj {
    DECLARE_SERIAL(CKelSBContentPieceBaseObj)
public:
    CKelSBContentPieceBaseObj() = default;
    CKelSBContentPieceBaseObj(const CKelSBContentPieceBaseObj& other);
    ~CKelSBContentPieceBaseObj() override;

    int Init(WORD nTrack, const KelGUID& guid, DWORD dwStoryIn, DWORD dwStoryOut,
             CKelItemBaseObj* pPiece) override;

    // 0 In, 1 Stay, 2 Out; kNoIOState for movies and scrolls.
    virtual int GetIOStateType() const { return kNoIOState; }
    // The effect's name ("Fade", "Copy", ...), empty without an effect.
    CString GetIOSoftEffectStr() const;
    // The material's own effect (the material keeps it), null for movies and scrolls.
    CKelIOSoftEffectBaseObj* GetIOSoftEffect() const { return m_pEffect.get(); }
    // The effect plays for that many frames (nothing for kinds without an effect).
    virtual void SetPlayDuration(DWORD dwFrames);
    // Drops what the effect prepared for a preview.
    void CloseIOData();

    CKelSBContentPieceBaseObj* MakeCopy() const override;
    void Serialize(CArchive& ar) override;

protected:
    void AssignFrom(const CKelSBContentBaseObj& other) override;
    // Effect kinds create their effect here; others have none.
    virtual CKelIOSoftEffectBaseObj* CreateEffect() const { return nullptr; }
    void EnsureEffect();

private:
    std::unique_ptr<CKelIOSoftEffectBaseObj> m_pEffect;
};

class CKelSBContentPieceInObj : public CKelSBContentPieceBaseObj {
    DECLARE_SERIAL(CKelSBContentPieceInObj)
public:
    CKelSBContentPieceInObj();
    CKelSBContentPieceInObj(const CKelSBContentPieceInObj&) = default;
    int GetIOStateType() const override { return 0; }
    CKelSBContentPieceInObj* MakeCopy() const override;

protected:
    CKelIOSoftEffectBaseObj* CreateEffect() const override;
};

class CKelSBContentPieceStayObj : public CKelSBContentPieceBaseObj {
    DECLARE_SERIAL(CKelSBContentPieceStayObj)
public:
    CKelSBContentPieceStayObj();
    CKelSBContentPieceStayObj(const CKelSBContentPieceStayObj&) = default;
    int GetIOStateType() const override { return 1; }
    CKelSBContentPieceStayObj* MakeCopy() const override;

protected:
    CKelIOSoftEffectBaseObj* CreateEffect() const override;
};

class CKelSBContentPieceOutObj : public CKelSBContentPieceBaseObj {
    DECLARE_SERIAL(CKelSBContentPieceOutObj)
public:
    CKelSBContentPieceOutObj();
    CKelSBContentPieceOutObj(const CKelSBContentPieceOutObj&) = default;
    int GetIOStateType() const override { return 2; }
    CKelSBContentPieceOutObj* MakeCopy() const override;

protected:
    CKelIOSoftEffectBaseObj* CreateEffect() const override;
};

// A movie file: the material shows frames [media in, media in + duration) of a movie that is
// media length frames long, so it can be trimmed and extended only within the file.
class CKelSBContentMovieObj : public CKelSBContentPieceBaseObj {
    DECLARE_SERIAL(CKelSBContentMovieObj)
public:
    CKelSBContentMovieObj() = default;
    CKelSBContentMovieObj(const CKelSBContentMovieObj&) = default;

    // The movie is story out - story in frames long and starts at its first frame.
    int Init(WORD nTrack, const KelGUID& guid, DWORD dwStoryIn, DWORD dwStoryOut,
             CKelItemBaseObj* pPiece) override;
    DWORD GetMinStoryIn() const override;

    DWORD GetMediaIn() const { return m_dwMediaIn; }
    DWORD GetMediaLength() const { return m_dwMediaLength; }

    CKelSBContentMovieObj* MakeCopy() const override;
    void Serialize(CArchive& ar) override;

protected:
    void AssignFrom(const CKelSBContentBaseObj& other) override;
    void OnTrimmed(DWORD dwOldIn, DWORD dwNewIn) override;
    BOOL AcceptsTimes(DWORD dwIn, DWORD dwOut) const override;

private:
    DWORD m_dwMediaIn = 0;
    DWORD m_dwMediaLength = 1;
};

// A scroll: a movie-like material rendered from a scroll file.
class CKelSBContentScrollObj : public CKelSBContentMovieObj {
    DECLARE_SERIAL(CKelSBContentScrollObj)
public:
    CKelSBContentScrollObj() = default;
    CKelSBContentScrollObj(const CKelSBContentScrollObj&) = default;
    CKelSBContentScrollObj* MakeCopy() const override;
};
