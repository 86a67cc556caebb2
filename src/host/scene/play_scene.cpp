#include "host/scene/play_scene.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"
#include "host/services/live_output.h"
#include "platform/archive.h"
#include "platform/exceptions.h"
#include "platform/wnd.h"

#include <algorithm>
#include <atomic>
#include <set>
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

// Puts what is on the air onto the live output: each piece's picture at its place, the pieces
// in track order from the last track up, so that the first track is on top.
void ShowOnAir(const std::vector<const CKelPlayBaseObj*>& pieces) {
    CKelMemBlock* out = CKelDrvGFB::GetBlockOut();
    if (out == nullptr) {
        return;
    }
    out->Fill(0);
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) {
        CKelMemBlock picture;
        if ((*it)->DrawToBlock(&picture, 0)) {
            const CRect& place = (*it)->GetRect();
            out->Copy(picture, place.left, place.top);
        }
    }
    CKelDrvGFB::UpdateOutLiveWnd(-1);
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
    if (ShouldFail(Operation::Play) || body == nullptr) {
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

    // What is on the air changes only where a material starts or ends.
    struct Playing {
        DWORD in, out;
        int track;
        KelGUID guid;
        const CKelPlayBaseObj* piece;
    };
    std::vector<Playing> playing;
    std::set<DWORD> changes;
    ForEachContent(*body, [&](CKelSBContentBaseObj& content) {
        if (!TrackPlays(*body, content.GetTrackIndex())) {
            return;
        }
        // A material whose piece is gone plays from its attached copy, else not at all.
        const CKelPlayBaseObj* piece = FindPieceByGUID(content.GetGUID());
        if (piece == nullptr) {
            piece = DYNAMIC_DOWNCAST(CKelPlayBaseObj, content.GetAttachedPiece());
        }
        if (piece == nullptr) {
            return;
        }
        playing.push_back({content.GetStoryIn(), content.GetStoryOut(), content.GetTrackIndex(),
                           content.GetGUID(), piece});
        changes.insert(content.GetStoryIn());
        changes.insert(content.GetStoryOut());
    });
    std::stable_sort(playing.begin(), playing.end(),
                     [](const Playing& a, const Playing& b) { return a.track < b.track; });

    const UINT message = RegisterWindowMessage("WM_UPDATE_PLAY_CURRENT_FRAME");
    m_lastPlay.clear();
    for (DWORD frame = first;; ++frame) {
        if (frame == first || changes.count(frame) != 0) {
            PlayedFrame now;
            now.nFrame = frame;
            std::vector<const CKelPlayBaseObj*> pieces;
            for (const Playing& p : playing) {
                if (p.in <= frame && frame < p.out) {
                    now.onAir.push_back(p.guid);
                    pieces.push_back(p.piece);
                }
            }
            if (m_lastPlay.empty() || m_lastPlay.back().onAir != now.onAir) {
                m_lastPlay.push_back(std::move(now));
                ShowOnAir(pieces);
            }
        }
        CKelCGSBServer::Seek(frame);
        CKelDrvSys::WaitField(CKelDrvSys::kFieldsPerFrame, 0);
        if (pParent != nullptr && pParent->GetSafeHwnd() != nullptr) {
            pParent->SendMessage(message, frame, frame == last ? 1 : 0);
        }
        if (frame == last) {
            break;
        }
    }
    return 1;
}

int CKelPlaySceneObj::CompileStoryBoard(CWnd* /*pParent*/) {
    CKelSBBodyObj* body = m_pSBEdit ? m_pSBEdit->GetCurSBBodyObj() : nullptr;
    if (ShouldFail(Operation::Compile) || body == nullptr) {
        return 0;
    }
    m_compileIssues.clear();
    ForEachContent(*body, [&](CKelSBContentBaseObj& content) {
        const int track = content.GetTrackIndex();
        auto report = [&](const char* text) {
            m_compileIssues.push_back({track, content.GetStoryIn(), content.GetGUID(), text});
        };
        if (track >= body->GetTrackCount()) {
            report("The material lies on a track that does not exist");
            return;
        }
        if (!TrackPlays(*body, track)) {
            return; // never played, so never compiled
        }
        if (content.GetStoryOut() <= content.GetStoryIn()) {
            report("The material has no length");
            return;
        }
        const CKelItemBaseObj* item = FindPieceByGUID(content.GetGUID());
        if (item == nullptr) {
            item = content.GetAttachedPiece();
        }
        if (item == nullptr) {
            report("The material's piece is missing from the scene");
            return;
        }
        if (content.IsKindOf(RUNTIME_CLASS(CKelSBContentScrollObj))) {
            const auto* scroll = DYNAMIC_DOWNCAST(CKelPlayScrollObj, item);
            CRect rect;
            int direction = 0;
            if (scroll == nullptr ||
                KelGetScrollFileInfo(scroll->GetFileName(), &rect, &direction) == 0) {
                report("The scroll file cannot be read");
            }
        } else if (content.IsKindOf(RUNTIME_CLASS(CKelSBContentMovieObj))) {
            const auto* movie = DYNAMIC_DOWNCAST(CKelPlayMovieObj, item);
            KelMovieFileInfo info;
            if (movie == nullptr || KelMovieGetFileInfo(movie->GetFileName(), &info) == 0) {
                report("The movie file cannot be read");
            }
        } else if (content.IsKindOf(RUNTIME_CLASS(CKelSBContentPieceBaseObj)) &&
                   DYNAMIC_DOWNCAST(CKelPlayGroupObj, item) == nullptr) {
            report("The material's piece has no effects to play");
        }
    });
    return m_compileIssues.empty() ? 1 : 0;
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
