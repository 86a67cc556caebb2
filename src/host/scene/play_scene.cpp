#include "host/scene/play_scene.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_frames.h"
#include "host/services/live_output.h"
#include "platform/archive.h"
#include "platform/exceptions.h"
#include "platform/wnd.h"

#include <algorithm>
#include <atomic>
#include <optional>
#include <utility>

namespace {

constexpr unsigned OperationBit(CKelPlaySceneObj::Operation op) {
    return 1u << static_cast<unsigned>(op);
}

// A scene file never describes more media than this; more means a damaged count.
constexpr ULONGLONG kMaxEmbeddedMedia = 100000;

std::atomic<DWORD> g_serverPosition{0};
std::atomic<unsigned long> g_serverSeeks{0};

void StoreMedia(CArchive& ar, const KelMediaEntry& entry) {
    ar << entry.strName << entry.bScroll;
    if (entry.bScroll) {
        const CRect& r = entry.scroll.rcScroll;
        ar << r.left << r.top << r.right << r.bottom << entry.scroll.nDirection;
    } else {
        ar << entry.movie.nWidth << entry.movie.nHeight << entry.movie.nFrameCount;
    }
}

KelMediaEntry LoadMedia(CArchive& ar) {
    KelMediaEntry entry;
    ar >> entry.strName >> entry.bScroll;
    if (entry.bScroll) {
        CRect& r = entry.scroll.rcScroll;
        ar >> r.left >> r.top >> r.right >> r.bottom >> entry.scroll.nDirection;
    } else {
        ar >> entry.movie.nWidth >> entry.movie.nHeight >> entry.movie.nFrameCount;
    }
    if (!kel::host::IsValidMediaEntry(entry)) {
        throw CArchiveException(CArchiveException::genericException);
    }
    return entry;
}

} // namespace

CKelPlaySceneObj::CKelPlaySceneObj() : m_pSBEdit(std::make_unique<CKelSBEditObj>()) {}

CKelPlaySceneObj::~CKelPlaySceneObj() = default;

void CKelPlaySceneObj::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << m_strName;
        for (std::int32_t v : m_rcSBEditWnd) {
            ar << static_cast<int>(v);
        }
        ar.WriteCount(m_media.size());
        for (const KelMediaEntry& entry : m_media) {
            StoreMedia(ar, entry);
        }
        m_listPieces.SerializeOf(ar, RUNTIME_CLASS(CKelPlayBaseObj));
        m_pSBEdit->Serialize(ar);
        return;
    }

    ar >> m_strName;
    for (std::int32_t& v : m_rcSBEditWnd) {
        int value = 0;
        ar >> value;
        v = value;
    }
    const ULONGLONG count = ar.ReadCount();
    if (count > kMaxEmbeddedMedia) {
        throw CArchiveException(CArchiveException::genericException);
    }
    std::vector<KelMediaEntry> media;
    for (ULONGLONG i = 0; i < count; ++i) {
        media.push_back(LoadMedia(ar));
    }
    m_listPieces.SerializeOf(ar, RUNTIME_CLASS(CKelPlayBaseObj));
    auto document = std::make_unique<CKelSBEditObj>();
    document->Serialize(ar);
    m_pSBEdit = std::move(document);
    m_media = std::move(media);
}

void CKelPlaySceneObj::RegisterEmbeddedMedia() const {
    for (const KelMediaEntry& entry : m_media) {
        kel::host::RegisterMedia(entry);
    }
}

CRect CKelPlaySceneObj::GetSBEditWndRect() const {
    return CRect(m_rcSBEditWnd[0], m_rcSBEditWnd[1], m_rcSBEditWnd[2], m_rcSBEditWnd[3]);
}

void CKelPlaySceneObj::SetSBEditWndRect(const CRect& rect) {
    m_rcSBEditWnd[0] = rect.left;
    m_rcSBEditWnd[1] = rect.top;
    m_rcSBEditWnd[2] = rect.right;
    m_rcSBEditWnd[3] = rect.bottom;
}

CKelPlayBaseObj* CKelPlaySceneObj::FindPieceByGUID(const KelGUID& guid) const {
    return KelPlayFindPieceByGUID(&m_listPieces, guid);
}

int CKelPlaySceneObj::EmbedMedia(const KelMediaEntry& entry) {
    if (!kel::host::RegisterMedia(entry)) {
        return 0;
    }
    auto same = [&entry](const KelMediaEntry& e) { return e.strName == entry.strName; };
    auto it = std::find_if(m_media.begin(), m_media.end(), same);
    if (it != m_media.end()) {
        *it = entry;
    } else {
        m_media.push_back(entry);
    }
    return 1;
}

namespace {

// Every material of a storyboard, container by container.
template <class Visit>
void ForEachContent(CKelSBBodyObj& body, Visit visit) {
    const CKelObList& containers = body.GetContainerList();
    for (POSITION pos = containers.GetHeadPosition(); pos != nullptr;) {
        auto* container = DYNAMIC_DOWNCAST(CKelSBContainerObj, containers.GetNext(pos));
        if (container == nullptr) {
            continue;
        }
        const CKelObList& contents = container->GetContentList();
        for (POSITION cpos = contents.GetHeadPosition(); cpos != nullptr;) {
            if (auto* content = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, contents.GetNext(cpos))) {
                visit(*content);
            }
        }
    }
}

bool TrackPlays(CKelSBBodyObj& body, int nTrack) {
    CKelSBTrackObj* track = body.GetTrackObj(nTrack);
    return track != nullptr && track->IsPlayAllowed();
}

} // namespace

CKelSBContentBaseObj* CKelPlaySceneObj::GetTimeLineContent(int nTrack) const {
    CKelSBBodyObj* body = m_pSBEdit ? m_pSBEdit->GetCurSBBodyObj() : nullptr;
    if (body == nullptr || nTrack < 0 || nTrack >= body->GetTrackCount()) {
        return nullptr;
    }
    const DWORD now = body->GetTimeLinePos();
    const auto under = [now](const CKelSBContentBaseObj& content) {
        return content.GetStoryIn() <= now && now < content.GetStoryOut();
    };
    // Current track lists hold the track's materials by story in, equal ones in container
    // order: the first under the time line is the one a walk of the containers finds.
    if (body->AreTrackContentListsCurrent()) {
        for (CKelSBContentBaseObj* content : body->GetTrackObj(nTrack)->GetContentsNear(now, now)) {
            if (under(*content)) {
                return content;
            }
        }
        return nullptr;
    }
    CKelSBContentBaseObj* found = nullptr;
    ForEachContent(*body, [&](CKelSBContentBaseObj& content) {
        if (content.GetTrackIndex() != nTrack || !under(content)) {
            return;
        }
        if (found == nullptr || content.GetStoryIn() < found->GetStoryIn()) {
            found = &content;
        }
    });
    return found;
}

int CKelPlaySceneObj::PlayStoryBoard(CWnd* pParent) {
    CKelSBBodyObj* body = m_pSBEdit ? m_pSBEdit->GetCurSBBodyObj() : nullptr;
    // A stop asked for before this play, or a stop frame given for it, is used up here.
    const std::optional<DWORD> stopAt = std::exchange(m_stopAt, std::nullopt);
    m_bStopRequested = false;
    if (ShouldFail(Operation::Play) || body == nullptr || m_bPlaying) {
        return 0;
    }
    DWORD first = body->GetTimeLinePos();
    DWORD last = body->GetDuration();
    const CKelSBBodyAttr& attr = body->GetEditAttr();
    if (attr.nPlayRangeOnly != 0 && attr.dwRangeEnd > attr.dwRangeStart) {
        first = std::clamp(first, attr.dwRangeStart, attr.dwRangeEnd);
        last = attr.dwRangeEnd;
    }
    last = std::max(first, last);

    struct PlayingFlag {
        bool& flag;
        explicit PlayingFlag(bool& f) : flag(f) { flag = true; }
        ~PlayingFlag() { flag = false; }
        PlayingFlag(const PlayingFlag&) = delete;
        PlayingFlag& operator=(const PlayingFlag&) = delete;
    } playing(m_bPlaying);
    CKelPlayFrameRenderer frames(*this, *body);
    const UINT message = RegisterWindowMessage("WM_UPDATE_PLAY_CURRENT_FRAME");
    m_lastPlay.clear();
    for (DWORD frame = first;; ++frame) {
        frames.Seek(frame);
        std::vector<KelGUID> onAir = frames.OnAir();
        if (m_lastPlay.empty() || m_lastPlay.back().onAir != onAir) {
            m_lastPlay.push_back({frame, std::move(onAir)});
        }
        if (frames.PictureChanged()) {
            if (CKelMemBlock* out = CKelDrvGFB::GetBlockOut()) {
                frames.Render(*out);
                CKelDrvGFB::UpdateOutLiveWnd(-1);
            }
        }
        CKelCGSBServer::Seek(frame);
        // The host's field clock runs its user interface meanwhile: a stop comes from there.
        CKelDrvSys::WaitField(CKelDrvSys::kFieldsPerFrame, 0);
        const bool stop = m_bStopRequested || (stopAt && *stopAt == frame);
        const bool end = frame == last || stop;
        if (pParent != nullptr && pParent->GetSafeHwnd() != nullptr) {
            pParent->SendMessage(message, frame, end ? 1 : 0);
        }
        if (end) {
            break;
        }
    }
    m_bStopRequested = false;
    return 1;
}

void CKelPlaySceneObj::RequestStop() {
    if (m_bPlaying) {
        m_bStopRequested = true;
    }
}

void CKelPlaySceneObj::SetStopAtFrame(std::optional<DWORD> frame) {
    m_stopAt = frame;
}

int CKelPlaySceneObj::CompileStoryBoard(CWnd* /*pParent*/) {
    CKelSBBodyObj* body = m_pSBEdit ? m_pSBEdit->GetCurSBBodyObj() : nullptr;
    if (ShouldFail(Operation::Compile) || body == nullptr) {
        return 0;
    }
    m_compileIssues.clear();
    ++m_nCompiles;
    // Walked by position: a storyboard may hold tens of thousands of materials.
    const CKelObList& containers = body->GetContainerList();
    int c = 0;
    for (POSITION pos = containers.GetHeadPosition(); pos != nullptr; ++c) {
        const auto* container = DYNAMIC_DOWNCAST(CKelSBContainerObj, containers.GetNext(pos));
        if (container == nullptr) {
            continue;
        }
        const CKelObList& contents = container->GetContentList();
        int m = 0;
        for (POSITION cpos = contents.GetHeadPosition(); cpos != nullptr; ++m) {
            if (const auto* content =
                    DYNAMIC_DOWNCAST(CKelSBContentBaseObj, contents.GetNext(cpos))) {
                CompileContent(*body, *content, c, m);
            }
        }
    }
    return m_compileIssues.empty() ? 1 : 0;
}

void CKelPlaySceneObj::CompileContent(CKelSBBodyObj& body, const CKelSBContentBaseObj& content,
                                      int nContainer, int nContent) {
    const int track = content.GetTrackIndex();
    auto report = [&](CompileProblem problem, const char* text) {
        m_compileIssues.push_back(
            {track, content.GetStoryIn(), content.GetGUID(), text, problem, nContainer, nContent});
    };
    if (track >= body.GetTrackCount()) {
        report(CompileProblem::NoTrack, "The material lies on a track that does not exist");
        return;
    }
    if (!TrackPlays(body, track)) {
        return; // never played, so never compiled
    }
    if (content.GetStoryOut() <= content.GetStoryIn()) {
        report(CompileProblem::NoLength, "The material has no length");
        return;
    }
    const CKelItemBaseObj* item = FindPieceByGUID(content.GetGUID());
    if (item == nullptr) {
        item = content.GetAttachedPiece();
    }
    if (item == nullptr) {
        report(CompileProblem::MissingPiece, "The material's piece is missing from the scene");
        return;
    }
    if (content.IsKindOf(RUNTIME_CLASS(CKelSBContentScrollObj))) {
        const auto* scroll = DYNAMIC_DOWNCAST(CKelPlayScrollObj, item);
        CRect rect;
        int direction = 0;
        if (scroll == nullptr ||
            KelGetScrollFileInfo(scroll->GetFileName(), &rect, &direction) == 0) {
            report(CompileProblem::ScrollFile, "The scroll file cannot be read");
        }
    } else if (content.IsKindOf(RUNTIME_CLASS(CKelSBContentMovieObj))) {
        const auto* movie = DYNAMIC_DOWNCAST(CKelPlayMovieObj, item);
        KelMovieFileInfo info;
        if (movie == nullptr || KelMovieGetFileInfo(movie->GetFileName(), &info) == 0) {
            report(CompileProblem::MovieFile, "The movie file cannot be read");
        }
    } else if (content.IsKindOf(RUNTIME_CLASS(CKelSBContentPieceBaseObj)) &&
               DYNAMIC_DOWNCAST(CKelPlayGroupObj, item) == nullptr) {
        report(CompileProblem::NoEffects, "The material's piece has no effects to play");
    }
}

int CKelPlaySceneObj::UpLoadStoryBoard(CWnd* /*pParent*/) {
    if (ShouldFail(Operation::Upload) || m_bLoaded || !m_pSBEdit ||
        m_pSBEdit->GetCurSBBodyObj() == nullptr) {
        return 0;
    }
    m_bLoaded = true;
    return 1;
}

int CKelPlaySceneObj::DownLoadStoryBoard(CWnd* /*pParent*/) {
    if (ShouldFail(Operation::Download) || !m_bLoaded) {
        return 0;
    }
    m_bLoaded = false;
    return 1;
}

void CKelPlaySceneObj::SetSimulatedFailure(Operation op, bool bFail) {
    if (bFail) {
        m_failMask |= OperationBit(op);
    } else {
        m_failMask &= ~OperationBit(op);
    }
}

bool CKelPlaySceneObj::ShouldFail(Operation op) const {
    return (m_failMask & OperationBit(op)) != 0;
}

void CKelCGSBServer::Seek(DWORD nFrame) {
    g_serverPosition.store(nFrame);
    g_serverSeeks.fetch_add(1);
}

DWORD CKelCGSBServer::GetPosition() {
    return g_serverPosition.load();
}

unsigned long CKelCGSBServer::GetSeekCount() {
    return g_serverSeeks.load();
}
