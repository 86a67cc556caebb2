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
#include <optional>
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

    // What is wrong with a material that cannot play.
    enum class CompileProblem { NoTrack, NoLength, MissingPiece, ScrollFile, MovieFile, NoEffects };

    // One problem that compiling found: where (the material's track, story in, and its place
    // in the storyboard: container index and index within the container), the material's
    // piece, and what is wrong (strText says it in English).
    struct CompileIssue {
        int nTrack = -1;
        DWORD nStoryIn = 0;
        KelGUID pieceGUID{};
        CString strText;
        CompileProblem nProblem = CompileProblem::MissingPiece;
        int nContainer = -1;
        int nContent = -1;
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
    // Each frame takes its video fields (CKelDrvSys::WaitField); whenever the picture changes
    // (the pieces on the air, an effect running, a movie or scroll moving) the live output
    // shows it. Tracks whose playing is forbidden stay off the air. A stop (RequestStop, or the
    // stop frame) ends the play at the frame on the air, which then counts as the last one.
    // 0 without a current storyboard, or while a play runs already.
    int PlayStoryBoard(CWnd* pParent);
    // Asks the running play to stop after the frame on the air; nothing when no play runs.
    void RequestStop();
    bool IsPlaying() const { return m_bPlaying; }
    // The next play stops once it has shown this frame (not when it never reaches it); the
    // play uses it up. Scripts stop a play with it, since they have no clock.
    void SetStopAtFrame(std::optional<DWORD> frame);
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
    // How many compiles ran (each one that checked the storyboard, whatever it found): a host
    // that shows the results knows by it that there are new ones.
    unsigned GetCompileCount() const { return m_nCompiles; }

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
    void CompileContent(CKelSBBodyObj& body, const CKelSBContentBaseObj& content, int nContainer,
                        int nContent);

    CString m_strName;
    std::int32_t m_rcSBEditWnd[4] = {0, 0, 0, 0}; // left, top, right, bottom
    CKelObList m_listPieces;
    std::unique_ptr<CKelSBEditObj> m_pSBEdit;
    std::vector<KelMediaEntry> m_media;

    bool m_bLoaded = false;
    bool m_bPlaying = false;
    bool m_bStopRequested = false;
    std::optional<DWORD> m_stopAt;
    unsigned m_failMask = 0;
    std::vector<CompileIssue> m_compileIssues;
    unsigned m_nCompiles = 0;
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
