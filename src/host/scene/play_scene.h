// The play scene: a scene's pieces, its storyboard document, and the play, compile, load and
// unload of the current storyboard on the output.
#pragma once

#include "host/base/kel_object.h"
#include "host/scene/media_info.h"
#include "host/scene/play_piece.h"
#include "platform/cstring.h"
#include "platform/geometry.h"
#include "platform/win_types.h"

#include <cstdint>
#include <memory>
#include <vector>

class CArchive;
class CWnd;
class CKelSBEditObj;
class CKelSBBodyObj;
class CKelSBContentBaseObj;

class CKelPlaySceneObj {
public:
    // The operations a test can make fail (SetSimulatedFailure).
    enum class Operation { Play, Compile, Upload, Download };

    // One problem that compiling found.
    struct CompileIssue {
        int nTrack = -1;
        DWORD nStoryIn = 0;
        KelGUID pieceGUID{};
        CString strText;
    };

    // A new scene holds no pieces and a document with one empty storyboard.
    CKelPlaySceneObj();
    ~CKelPlaySceneObj();
    CKelPlaySceneObj(const CKelPlaySceneObj&) = delete;
    CKelPlaySceneObj& operator=(const CKelPlaySceneObj&) = delete;

    // Everything a scene file holds: name, editor window rectangle, embedded media, pieces and
    // the storyboard document. Loading replaces all of it; load into a fresh scene (scene files
    // do) since a failed load leaves the scene partly read. Loaded media are not entered into
    // the media catalogue: the reader does that once the whole file has proved sound.
    void Serialize(CArchive& ar);
    // Enters the embedded media into the process's media catalogue.
    void RegisterEmbeddedMedia() const;

    const CString& GetName() const { return m_strName; }
    void SetName(const CString& strName) { m_strName = strName; }

    // The storyboard editor's window rectangle, in screen coordinates, kept with the scene.
    CRect GetSBEditWndRect() const;
    void SetSBEditWndRect(const CRect& rect);

    // The scene's pieces (owning); also the host's item list, whose selection is each item's
    // selected flag.
    CKelObList* GetPieceList() { return &m_listPieces; }
    const CKelObList* GetPieceList() const { return &m_listPieces; }
    CKelPlayBaseObj* FindPieceByGUID(const KelGUID& guid) const;

    CKelSBEditObj* GetSBEditObj() const { return m_pSBEdit.get(); }

    // Media descriptions that travel with the scene; adding one also enters it into the
    // process's media catalogue, so KelMovieGetFileInfo and KelGetScrollFileInfo find it.
    int EmbedMedia(const KelMediaEntry& entry);
    const std::vector<KelMediaEntry>& GetEmbeddedMedia() const { return m_media; }

    // The material on track nTrack of the current storyboard under its time line: the one with
    // story in <= time line < story out (the earliest if several). Null without one.
    CKelSBContentBaseObj* GetTimeLineContent(int nTrack) const;

    // Plays the current storyboard from its time line position to its end, one frame at a
    // time: seeks the server and tells pParent (if any) each frame with the registered message
    // "WM_UPDATE_PLAY_CURRENT_FRAME" (wParam the frame, lParam 1 on the last frame, else 0).
    // Each frame takes its video fields (CKelDrvSys::WaitField); whenever what is on the air
    // changes, the live output shows it. Tracks whose playing is forbidden stay off the air.
    // 0 without a current storyboard.
    int PlayStoryBoard(CWnd* pParent);
    // Checks the current storyboard: every material on a track that may play must have its
    // piece (in the scene or an attached copy), a known media file for movies and scrolls, and
    // sane times. 0 when anything is wrong (GetCompileIssues tells what).
    int CompileStoryBoard(CWnd* pParent);
    // Loads the current storyboard onto the output, or takes it off. Loading while loaded and
    // unloading while not loaded are refused.
    int UpLoadStoryBoard(CWnd* pParent);
    int DownLoadStoryBoard(CWnd* pParent);

    bool IsLoaded() const { return m_bLoaded; }
    const std::vector<CompileIssue>& GetCompileIssues() const { return m_compileIssues; }

    // What the last play put on the air: an entry for its first frame and for every frame at
    // which that changed, with the GUIDs of the pieces then playing in track order.
    struct PlayedFrame {
        DWORD nFrame = 0;
        std::vector<KelGUID> onAir;
    };
    const std::vector<PlayedFrame>& GetLastPlay() const { return m_lastPlay; }

    // Test hook: the next calls of an operation fail (return 0, change nothing) while set.
    void SetSimulatedFailure(Operation op, bool bFail);

private:
    bool ShouldFail(Operation op) const;

    CString m_strName;
    std::int32_t m_rcSBEditWnd[4] = {0, 0, 0, 0}; // left, top, right, bottom
    CKelObList m_listPieces;
    std::unique_ptr<CKelSBEditObj> m_pSBEdit;
    std::vector<KelMediaEntry> m_media;

    bool m_bLoaded = false;
    unsigned m_failMask = 0;
    std::vector<CompileIssue> m_compileIssues;
    std::vector<PlayedFrame> m_lastPlay;
};

// The output server's play position (the frame the output shows).
class CKelCGSBServer {
public:
    static void Seek(DWORD nFrame);
    static DWORD GetPosition();
    // How many seeks happened since the process started; lets callers see that one happened.
    static unsigned long GetSeekCount();
};
