// The effects of a piece's three phases: how it comes in, how it stays and how it goes out.
// An effect is a named transition ("Copy", "Fade", "Wipe", ...) with a play duration; it can
// be prepared from the piece's picture and played onto an output block.
#pragma once

#include "host/base/kel_memblock.h"
#include "host/base/kel_object.h"
#include "platform/cstring.h"
#include "platform/geometry.h"

#include <memory>

class CWnd;
class CKelIOSoftEffectBaseObj;

// Plays a prepared effect frame by frame. It belongs to its effect and lives until the effect
// is closed, re-prepared or destroyed.
class CKelIOSoftEffectPlayer {
public:
    // Modes of Run: replace the target rectangle, or mix over what the output shows.
    static constexpr int kModeReplace = 0;
    static constexpr int kModeMix = 2;

    explicit CKelIOSoftEffectPlayer(const CKelIOSoftEffectBaseObj& effect);

    // Number of frames the effect takes (at least 1).
    DWORD GetFrameCount() const;
    // Renders frame `frame` (0-based, clamped to the last) into `out`. 0 when out is null.
    int RenderFrame(CKelMemBlock* out, DWORD frame, int nMode) const;
    // Renders every frame in turn into `out`, ending on the effect's final picture; the window
    // is told nothing. On the live output each frame is shown (UpdateOutLiveWnd) and takes its
    // video fields.
    // Returns 1, 0 when out is null.
    int Run(CKelMemBlock* out, int nMode, CWnd* pWnd);

private:
    const CKelIOSoftEffectBaseObj& m_effect;
};

class CKelIOSoftEffectBaseObj : public CKelObject {
    DECLARE_SERIAL(CKelIOSoftEffectBaseObj)
public:
    // Names the renderer knows; any other name renders as a cut ("Copy").
    static constexpr const char* kCopy = "Copy";
    static constexpr const char* kFade = "Fade";
    static constexpr const char* kWipe = "Wipe";

    // Longest play duration an effect may have (one day at 25 frames per second).
    static constexpr DWORD kMaxPlayDuration = 2160000;

    CKelIOSoftEffectBaseObj();
    CKelIOSoftEffectBaseObj(const CKelIOSoftEffectBaseObj& other);
    // Takes over the other effect's settings (name, duration, direction), whatever its phase;
    // prepared pictures are not copied and this effect's own are dropped.
    CKelIOSoftEffectBaseObj& operator=(const CKelIOSoftEffectBaseObj& other);
    ~CKelIOSoftEffectBaseObj() override;

    // 0 In, 1 Stay, 2 Out; -1 for an effect of no phase.
    virtual int GetIOState() const { return -1; }

    const CString& GetEffectName() const { return m_strName; }
    void SetEffectName(const CString& name) { m_strName = name; }
    DWORD GetPlayDuration() const { return m_dwPlayDuration; }
    // Clamped to 1 .. kMaxPlayDuration.
    void SetPlayDuration(DWORD dwFrames);
    // Direction of a wipe: 0 from the left, 1 from the right, 2 from the top, 3 from the bottom.
    int GetDirection() const { return m_nDirection; }
    void SetDirection(int nDirection);

    // Keeps a copy of the piece's picture (`source`, already drawn) and where it goes on the
    // output (`rcTarget`). `pSecond`, when given, is the picture the effect starts from instead
    // of the output's own. The object list and window are the piece's and are not kept.
    // Returns 0 (nothing prepared) when the source is missing or empty or the target empty.
    int Prepare(CKelMemBlock* source, const CRect& rcTarget, CKelMemBlock* pSecond,
                CObList* pObjects, CWnd* pWnd);
    BOOL IsPrepared() const { return m_pPlayer != nullptr; }
    // The player of the prepared effect, null when not prepared.
    CKelIOSoftEffectPlayer* GetPlayer() { return m_pPlayer.get(); }
    // Drops what Prepare kept.
    void Close();

    // Prepared data, for the player.
    const CKelMemBlock& GetSource() const { return m_source; }
    const CKelMemBlock* GetSecond() const { return m_bHasSecond ? &m_second : nullptr; }
    const CRect& GetTarget() const { return m_rcTarget; }

    CKelIOSoftEffectBaseObj* MakeCopy() const override;
    // Name, play duration, direction; loading checks the duration and direction ranges.
    void Serialize(CArchive& ar) override;

private:
    CString m_strName;
    DWORD m_dwPlayDuration = 1;
    int m_nDirection = 0;

    CKelMemBlock m_source;
    CKelMemBlock m_second;
    BOOL m_bHasSecond = FALSE;
    CRect m_rcTarget;
    std::unique_ptr<CKelIOSoftEffectPlayer> m_pPlayer;
};

// How a piece comes in: plays from nothing to the full picture.
class CKelIOSoftEffectInObj : public CKelIOSoftEffectBaseObj {
    DECLARE_SERIAL(CKelIOSoftEffectInObj)
public:
    CKelIOSoftEffectInObj() = default;
    CKelIOSoftEffectInObj(const CKelIOSoftEffectInObj&) = default;
    CKelIOSoftEffectInObj& operator=(const CKelIOSoftEffectBaseObj& other) {
        CKelIOSoftEffectBaseObj::operator=(other);
        return *this;
    }
    int GetIOState() const override { return 0; }
    CKelIOSoftEffectInObj* MakeCopy() const override;
};

// How a piece stays: the full picture for the whole duration.
class CKelIOSoftEffectStayObj : public CKelIOSoftEffectBaseObj {
    DECLARE_SERIAL(CKelIOSoftEffectStayObj)
public:
    CKelIOSoftEffectStayObj() = default;
    CKelIOSoftEffectStayObj(const CKelIOSoftEffectStayObj&) = default;
    CKelIOSoftEffectStayObj& operator=(const CKelIOSoftEffectBaseObj& other) {
        CKelIOSoftEffectBaseObj::operator=(other);
        return *this;
    }
    int GetIOState() const override { return 1; }
    CKelIOSoftEffectStayObj* MakeCopy() const override;
};

// How a piece goes out: plays from the full picture to nothing.
class CKelIOSoftEffectOutObj : public CKelIOSoftEffectBaseObj {
    DECLARE_SERIAL(CKelIOSoftEffectOutObj)
public:
    CKelIOSoftEffectOutObj() = default;
    CKelIOSoftEffectOutObj(const CKelIOSoftEffectOutObj&) = default;
    CKelIOSoftEffectOutObj& operator=(const CKelIOSoftEffectBaseObj& other) {
        CKelIOSoftEffectBaseObj::operator=(other);
        return *this;
    }
    int GetIOState() const override { return 2; }
    CKelIOSoftEffectOutObj* MakeCopy() const override;
};

// A new effect of the phase (0 In, 1 Stay, 2 Out), or null for any other phase.
CKelIOSoftEffectBaseObj* KelCreateIOSoftEffect(int nIOState);
