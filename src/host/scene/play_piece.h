// Play pieces: the items of a scene that a storyboard's materials play. A material refers to
// its piece by GUID; the scene's piece list owns the pieces.
#pragma once

#include "host/base/kel_guid.h"
#include "host/base/kel_item.h"
#include "host/base/kel_memblock.h"
#include "host/base/kel_object.h"
#include "platform/cstring.h"
#include "platform/geometry.h"
#include "platform/resource_types.h"
#include "platform/win_types.h"

#include <memory>

class CArchive;
class CKelIOSoftEffectBaseObj;
class CKelIOSoftEffectInObj;
class CKelIOSoftEffectStayObj;
class CKelIOSoftEffectOutObj;

// IO states of a piece, as materials give them (GetIOStateType).
enum KelIOState : int { KEL_IO_IN = 0, KEL_IO_STAY = 1, KEL_IO_OUT = 2 };

// The common part of every piece: its name and GUID (from CKelItemBaseObj), its place on the
// output raster, a thumbnail and its own object list (the graphic objects it is made of).
class CKelPlayBaseObj : public CKelItemBaseObj {
    DECLARE_SERIAL(CKelPlayBaseObj)
public:
    CKelPlayBaseObj();
    CKelPlayBaseObj(const CKelPlayBaseObj& other); // deep: the object list is copied too
    CKelPlayBaseObj& operator=(const CKelPlayBaseObj& other);
    ~CKelPlayBaseObj() override;

    // A copy with the same GUID: attached copies stand in for the piece they came from.
    CKelPlayBaseObj* MakeCopy() const override;
    // The item's data, then rectangle, thumbnail and object list.
    void Serialize(CArchive& ar) override;

    const CRect& GetRect() const { return m_rect; }
    void SetRect(const CRect& rect) { m_rect = rect; }
    const ImageData& GetThumbnail() const { return m_thumbnail; }
    void SetThumbnail(ImageData image) { m_thumbnail = std::move(image); }

    // Frames the piece plays in the given IO state; 0 for a state it does not have.
    DWORD GetPlayDuration(int nIOState) const override;
    // The thumbnail; FALSE without one.
    BOOL MakeThumbnail(CKelMemBlock& block) const override;

    CKelObList* GetObjList() { return &m_objList; }
    const CKelObList* GetObjList() const { return &m_objList; }

    // Renders the piece's picture into pBlock at the piece's size (the thumbnail scaled, or a
    // flat fill without one). nFlag 0 replaces the block's contents. Returns 0 on failure.
    virtual int DrawToBlock(CKelMemBlock* pBlock, int nFlag) const;

    // Same class and the same stored data (everything Serialize writes).
    bool IsSameAs(const CKelPlayBaseObj& other) const;

protected:
    CRect m_rect;
    ImageData m_thumbnail;
    CKelObList m_objList;
};

// The name the editor's play code uses for "a scene's piece".
using CKelPlayPieceObj = CKelPlayBaseObj;

// A graphic group with its three effects. The effects are owned and always present.
class CKelPlayGroupObj : public CKelPlayBaseObj {
    DECLARE_SERIAL(CKelPlayGroupObj)
public:
    CKelPlayGroupObj();
    CKelPlayGroupObj(const CKelPlayGroupObj& other);
    CKelPlayGroupObj& operator=(const CKelPlayGroupObj& other);
    ~CKelPlayGroupObj() override;

    CKelPlayGroupObj* MakeCopy() const override;
    void Serialize(CArchive& ar) override;
    // The play duration of the state's effect.
    DWORD GetPlayDuration(int nIOState) const override;
    // The effect of an IO state (0 In, 1 Stay, 2 Out), null for any other state.
    CKelIOSoftEffectBaseObj* GetIOSoftEffect(int nIOState) const override;

    CKelIOSoftEffectInObj* GetInEffect() const { return m_pIn.get(); }
    CKelIOSoftEffectStayObj* GetStayEffect() const { return m_pStay.get(); }
    CKelIOSoftEffectOutObj* GetOutEffect() const { return m_pOut.get(); }

private:
    std::unique_ptr<CKelIOSoftEffectInObj> m_pIn;
    std::unique_ptr<CKelIOSoftEffectStayObj> m_pStay;
    std::unique_ptr<CKelIOSoftEffectOutObj> m_pOut;
};

// A movie clip: a media file and its length. Every IO state plays the whole clip.
class CKelPlayMovieObj : public CKelPlayBaseObj {
    DECLARE_SERIAL(CKelPlayMovieObj)
public:
    CKelPlayMovieObj();

    CKelPlayMovieObj* MakeCopy() const override;
    void Serialize(CArchive& ar) override;
    DWORD GetPlayDuration(int nIOState) const override;

    const CString& GetFileName() const { return m_strFileName; }
    void SetFileName(const CString& strFile) { m_strFileName = strFile; }
    DWORD GetFrameCount() const { return m_nFrameCount; }
    void SetFrameCount(DWORD nFrames) { m_nFrameCount = nFrames; }

private:
    CString m_strFileName;
    DWORD m_nFrameCount = 0;
};

// A scroll (crawl or roll): a scroll file, the scrolled area and its direction.
class CKelPlayScrollObj : public CKelPlayBaseObj {
    DECLARE_SERIAL(CKelPlayScrollObj)
public:
    // 0 up, 1 down (vertical rolls), 2 left, 3 right (horizontal crawls).
    enum Direction : int { kUp = 0, kDown = 1, kLeft = 2, kRight = 3 };

    CKelPlayScrollObj();

    CKelPlayScrollObj* MakeCopy() const override;
    void Serialize(CArchive& ar) override;
    // Four pixels a frame over the scrolled length, at least one frame.
    DWORD GetPlayDuration(int nIOState) const override;

    const CString& GetFileName() const { return m_strFileName; }
    void SetFileName(const CString& strFile) { m_strFileName = strFile; }
    const CRect& GetScrollRect() const { return m_rcScroll; }
    void SetScrollRect(const CRect& rect) { m_rcScroll = rect; }
    int GetDirection() const { return m_nDirection; }
    // Refuses (0) a direction outside 0..3.
    int SetDirection(int nDirection);

private:
    CString m_strFileName;
    CRect m_rcScroll;
    int m_nDirection = kUp;
};

// Frames a scroll of the given area and direction plays: the scrolled length in pixels (height
// for directions 0 and 1, width otherwise) divided by four, at least 1.
DWORD KelScrollDurationFromRect(const CRect& rect, int nDirection);

// The piece with that GUID in a list of pieces (other objects in the list are skipped), or null.
CKelPlayBaseObj* KelPlayFindPieceByGUID(const CObList* pList, const KelGUID& guid);
