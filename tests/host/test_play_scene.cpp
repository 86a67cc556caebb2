#include "host/effects/io_effect.h"
#include "host/effects/io_wait.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/media_info.h"
#include "host/scene/play_piece.h"
#include "host/scene/play_scene.h"
#include "host/scene/sample_scene.h"
#include "host/scene/scene_file.h"
#include "host/services/live_output.h"
#include "platform/temp_folder.h"
#include "platform/wnd.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

CKelSBBodyObj* Current(CKelPlaySceneObj& scene) {
    return scene.GetSBEditObj()->GetCurSBBodyObj();
}

std::vector<CKelSBContentBaseObj*> AllContents(CKelSBBodyObj& body) {
    std::vector<CKelSBContentBaseObj*> all;
    for (int i = 0; i < body.GetContainerCount(); ++i) {
        CKelSBContainerObj* container = body.GetContainerObj(i);
        for (INT_PTR j = 0; j < container->GetContentCount(); ++j) {
            all.push_back(container->GetContentObj(j));
        }
    }
    return all;
}

// ---- Pieces ----

TEST(PlayPieces, CopiesAreDeepAndKeepTheIdentity) {
    CKelPlayGroupObj group;
    group.SetName("Title");
    group.SetRect(CRect(10, 20, 110, 70));
    group.GetInEffect()->SetEffectName("Fade");
    group.GetInEffect()->SetPlayDuration(12);
    group.GetObjList()->AddTail(new CKelIOWaitObj);

    std::unique_ptr<CKelPlayGroupObj> copy(group.MakeCopy());
    EXPECT_EQ(copy->GetGUID(), group.GetGUID());
    EXPECT_TRUE(copy->IsSameAs(group));
    EXPECT_NE(copy->GetInEffect(), group.GetInEffect());
    EXPECT_NE(copy->GetObjList()->GetHead(), group.GetObjList()->GetHead());

    copy->GetInEffect()->SetEffectName("Wipe");
    EXPECT_EQ(group.GetInEffect()->GetEffectName(), "Fade");
    EXPECT_FALSE(copy->IsSameAs(group));
    EXPECT_EQ(group.GetPlayDuration(KEL_IO_IN), 12u);
    EXPECT_EQ(group.GetPlayDuration(7), 0u);
    EXPECT_EQ(group.GetIOSoftEffect(-1), nullptr);
}

TEST(PlayPieces, ScrollLengthFollowsItsDirection) {
    EXPECT_EQ(KelScrollDurationFromRect(CRect(0, 0, 720, 400), CKelPlayScrollObj::kUp), 100u);
    EXPECT_EQ(KelScrollDurationFromRect(CRect(0, 0, 720, 400), CKelPlayScrollObj::kDown), 100u);
    EXPECT_EQ(KelScrollDurationFromRect(CRect(0, 0, 720, 400), CKelPlayScrollObj::kLeft), 180u);
    EXPECT_EQ(KelScrollDurationFromRect(CRect(0, 0, 720, 2), CKelPlayScrollObj::kUp), 1u);
    EXPECT_EQ(KelScrollDurationFromRect(CRect(0, 0, 0, 0), CKelPlayScrollObj::kRight), 1u);

    CKelPlayScrollObj scroll;
    EXPECT_EQ(scroll.SetDirection(4), 0);
    EXPECT_EQ(scroll.SetDirection(-1), 0);
    EXPECT_EQ(scroll.GetDirection(), CKelPlayScrollObj::kUp);
}

TEST(PlayPieces, FindByGUIDSkipsWhatIsNotAPiece) {
    CKelObList list;
    auto* effect = new CKelIOSoftEffectInObj;
    list.AddTail(effect);
    auto* movie = new CKelPlayMovieObj;
    list.AddTail(movie);
    EXPECT_EQ(KelPlayFindPieceByGUID(&list, movie->GetGUID()), movie);
    EXPECT_EQ(KelPlayFindPieceByGUID(&list, KelGUID{}), nullptr);
    EXPECT_EQ(KelPlayFindPieceByGUID(nullptr, movie->GetGUID()), nullptr);
}

TEST(PlayPieces, DrawingFillsABlockOfThePieceSize) {
    CKelPlayBaseObj piece;
    piece.SetRect(CRect(0, 0, 8, 4));
    ImageData image;
    image.width = 2;
    image.height = 1;
    image.pixels = {0xFF0000FFu, 0xFFFF0000u};
    piece.SetThumbnail(image);

    CKelMemBlock block;
    block.Init(-1, -1, nullptr, 0);
    ASSERT_EQ(piece.DrawToBlock(&block, 0), 1);
    EXPECT_EQ(block.GetWidth(), 8);
    EXPECT_EQ(block.GetHeight(), 4);
    EXPECT_EQ(block.GetPixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(block.GetPixel(7, 3), 0xFFFF0000u);

    CKelPlayBaseObj empty; // no rectangle, no picture: nothing to draw
    EXPECT_EQ(empty.DrawToBlock(&block, 0), 0);
    EXPECT_EQ(piece.DrawToBlock(nullptr, 0), 0);
}

// ---- Media information ----

class MediaFiles : public kel::test::TempFolderTest {
protected:
    CString Write(const std::string& name, const std::string& text) {
        Put(Path(name), text);
        return CString(Path(name));
    }
};

TEST_F(MediaFiles, DescriptorsOnDiskAreRead) {
    KelMovieFileInfo movie;
    ASSERT_EQ(
        KelMovieGetFileInfo(
            Write("a.kmv", "KELMEDIA 1\r\nkind=movie\nwidth=720 height=576\nframes=250\n"), &movie),
        1);
    EXPECT_EQ(movie.nWidth, 720);
    EXPECT_EQ(movie.nFrameCount, 250u);

    KelMediaEntry entry;
    entry.strName = "x";
    entry.bScroll = true;
    entry.scroll.rcScroll = CRect(0, -10, 720, 390);
    entry.scroll.nDirection = 1;
    CString path = Write("b.ksc", kel::host::FormatMediaDescriptor(entry).str());
    CRect rect;
    int direction = -1;
    ASSERT_EQ(KelGetScrollFileInfo(path, &rect, &direction), 1);
    EXPECT_EQ(rect, entry.scroll.rcScroll);
    EXPECT_EQ(direction, 1);
    // A scroll is not a movie and the other way round.
    EXPECT_EQ(KelMovieGetFileInfo(path, &movie), 0);
}

TEST_F(MediaFiles, AnythingElseIsRefusedAndLeavesTheResultAlone) {
    const std::vector<std::string> bad = {
        "",
        "KELMEDIA 2\nkind=movie\nwidth=1 height=1\nframes=1\n",
        "KELMEDIA 1\nkind=movie\nwidth=720 height=576\n",          // no length
        "KELMEDIA 1\nkind=movie\nwidth=0 height=576\nframes=10\n", // empty picture
        "KELMEDIA 1\nkind=movie\nwidth=720 height=576\nframes=-5\n",
        "KELMEDIA 1\nkind=movie\nwidth=720 height=576\nframes=99999999999999999999\n",
        "KELMEDIA 1\nkind=movie\nwidth=720 height=576\nframes=10 frames=11\n", // twice
        "KELMEDIA 1\nkind=movie\nwidth=720 height=576\nframes=10 colour=3\n",  // unknown key
        "KELMEDIA 1\nkind=movie\nwidth=7x20 height=576\nframes=10\n",
        "KELMEDIA 1\nkind=film\nwidth=720 height=576\nframes=10\n",
        "KELMEDIA 1\nkind=movie\nwidth=720 height=576 frames=10\n" + std::string(5000, ' '),
    };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        KelMovieFileInfo info;
        info.nFrameCount = 77;
        EXPECT_EQ(KelMovieGetFileInfo(Write("bad" + std::to_string(i), bad[i]), &info), 0) << i;
        EXPECT_EQ(info.nFrameCount, 77u) << i;
    }
    const std::vector<std::string> badScrolls = {
        "KELMEDIA 1\nkind=scroll\nleft=0 top=0 right=720 bottom=400 direction=4\n",
        "KELMEDIA 1\nkind=scroll\nleft=720 top=0 right=0 bottom=400 direction=0\n",
        "KELMEDIA 1\nkind=scroll\nleft=0 top=0 right=720 direction=0\n",
    };
    for (std::size_t i = 0; i < badScrolls.size(); ++i) {
        CRect rect(1, 2, 3, 4);
        int direction = 9;
        EXPECT_EQ(
            KelGetScrollFileInfo(Write("s" + std::to_string(i), badScrolls[i]), &rect, &direction),
            0)
            << i;
        EXPECT_EQ(direction, 9);
    }
    KelMovieFileInfo info;
    EXPECT_EQ(KelMovieGetFileInfo(CString(m_dir.string()), &info), 0); // a folder
    EXPECT_EQ(KelMovieGetFileInfo("/dev/zero", &info), 0);             // a device
    EXPECT_EQ(KelMovieGetFileInfo(CString((m_dir / "none").string()), &info), 0);
    EXPECT_EQ(KelMovieGetFileInfo("", &info), 0);
    EXPECT_EQ(KelMovieGetFileInfo("x", nullptr), 0);
}

TEST(MediaCatalogue, EmbeddedMediaIsFoundByName) {
    CKelPlaySceneObj scene;
    KelMediaEntry entry;
    entry.strName = "test:clip-embedded";
    entry.movie = {320, 240, 42};
    ASSERT_EQ(scene.EmbedMedia(entry), 1);
    KelMovieFileInfo info;
    ASSERT_EQ(KelMovieGetFileInfo(entry.strName, &info), 1);
    EXPECT_EQ(info.nFrameCount, 42u);

    entry.movie.nFrameCount = 0; // invalid: refused, the old description stays
    EXPECT_EQ(scene.EmbedMedia(entry), 0);
    ASSERT_EQ(KelMovieGetFileInfo(entry.strName, &info), 1);
    EXPECT_EQ(info.nFrameCount, 42u);
    kel::host::UnregisterMedia(entry.strName);
    EXPECT_EQ(KelMovieGetFileInfo(entry.strName, &info), 0);
}

// ---- The sample ----

// The sample scene with its first storyboard, the News, current.
class OnTheSample : public ::testing::Test {
protected:
    std::unique_ptr<CKelPlaySceneObj> scene = KelCreateSampleScene();
    CKelSBBodyObj* news = Current(*scene);
};
using SampleScene = OnTheSample;
using TimeLineContent = OnTheSample;
using ScenePlay = OnTheSample;

TEST_F(SampleScene, HoldsWhatTheEditorIsExercisedWith) {
    CKelSBEditObj* document = scene->GetSBEditObj();
    ASSERT_GE(document->GetSBBodyCount(), 2);
    EXPECT_EQ(document->GetCurSBBodyIndex(), 0);

    EXPECT_EQ(news->GetFramesPerUnit(), 25u);
    EXPECT_TRUE(news->GetTrackObj(1)->IsLocked());
    EXPECT_FALSE(news->GetTrackObj(2)->IsPlayAllowed());

    int multi = 0;
    for (int i = 0; i < news->GetContainerCount(); ++i) {
        multi += news->GetContainerObj(i)->GetContentCount() > 1 ? 1 : 0;
    }
    EXPECT_GE(multi, 2);

    bool stayCopy = false, movie = false, scroll = false, missing = false;
    int phases[3] = {0, 0, 0};
    for (CKelSBContentBaseObj* content : AllContents(*news)) {
        CKelPlayBaseObj* piece = scene->FindPieceByGUID(content->GetGUID());
        missing |= piece == nullptr;
        if (content->IsKindOf(RUNTIME_CLASS(CKelSBContentScrollObj))) {
            scroll = true;
            ASSERT_NE(DYNAMIC_DOWNCAST(CKelPlayScrollObj, piece), nullptr);
            EXPECT_EQ(content->GetDuration(), piece->GetPlayDuration(KEL_IO_IN));
        } else if (content->IsKindOf(RUNTIME_CLASS(CKelSBContentMovieObj))) {
            movie = true;
            auto* moviePiece = DYNAMIC_DOWNCAST(CKelPlayMovieObj, piece);
            ASSERT_NE(moviePiece, nullptr);
            KelMovieFileInfo info;
            ASSERT_EQ(KelMovieGetFileInfo(moviePiece->GetFileName(), &info), 1);
            EXPECT_EQ(content->GetDuration(), info.nFrameCount);
        } else if (auto* p = DYNAMIC_DOWNCAST(CKelSBContentPieceBaseObj, content)) {
            ++phases[p->GetIOStateType()];
            stayCopy |= p->GetIOStateType() == KEL_IO_STAY && piece != nullptr &&
                        p->GetIOSoftEffectStr() == "Copy";
        }
    }
    EXPECT_TRUE(stayCopy && movie && scroll && missing);
    EXPECT_GT(phases[KEL_IO_IN], 0);
    EXPECT_GT(phases[KEL_IO_STAY], 0);
    EXPECT_GT(phases[KEL_IO_OUT], 0);

    // The same sample every run: nothing random goes into it.
    EXPECT_TRUE(KelScenesEqual(*scene, *KelCreateSampleScene()));
}

// ---- Material under the time line ----

TEST_F(TimeLineContent, StoryOutIsTheFirstFrameAfterTheMaterial) {
    auto at = [&](DWORD frame, int track) {
        news->SetTimeLinePos(frame);
        return scene->GetTimeLineContent(track);
    };
    auto phase = [&](CKelSBContentBaseObj* c) {
        auto* p = DYNAMIC_DOWNCAST(CKelSBContentPieceBaseObj, c);
        return p ? p->GetIOStateType() : -9;
    };
    EXPECT_EQ(phase(at(0, 0)), KEL_IO_IN);
    EXPECT_EQ(phase(at(9, 0)), KEL_IO_IN);
    EXPECT_EQ(phase(at(10, 0)), KEL_IO_STAY);
    EXPECT_EQ(phase(at(84, 0)), KEL_IO_STAY);
    EXPECT_EQ(phase(at(85, 0)), KEL_IO_OUT);
    EXPECT_EQ(at(95, 0), nullptr); // gap before the next container
    EXPECT_EQ(at(99, 0), nullptr);
    EXPECT_EQ(phase(at(100, 0)), KEL_IO_IN);
    EXPECT_NE(at(30, 3), nullptr); // a material without its piece is still there
    EXPECT_EQ(at(0, news->GetTrackCount()), nullptr);
    EXPECT_EQ(at(0, -1), nullptr);
    EXPECT_EQ(at(0xFFFFFFFFu, 0), nullptr);
}

// ---- Play, compile, load ----

// Records the play messages that reach it.
class PlayWatcher : public CWnd {
public:
    PlayWatcher() {
        Create(nullptr, "play watcher", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
        m_message = RegisterWindowMessage("WM_UPDATE_PLAY_CURRENT_FRAME");
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == m_message) {
            frames.emplace_back(static_cast<DWORD>(wParam), static_cast<int>(lParam));
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<std::pair<DWORD, int>> frames;

private:
    UINT m_message = 0;
};

TEST_F(ScenePlay, StepsFromTheTimeLineToTheEndAndMarksTheLastFrame) {
    const DWORD end = news->GetDuration();
    news->SetTimeLinePos(end - 5);
    PlayWatcher watcher;
    ASSERT_EQ(scene->PlayStoryBoard(&watcher), 1);

    ASSERT_EQ(watcher.frames.size(), 6u);
    for (std::size_t i = 0; i < watcher.frames.size(); ++i) {
        EXPECT_EQ(watcher.frames[i].first, end - 5 + i);
        EXPECT_EQ(watcher.frames[i].second, i + 1 == watcher.frames.size() ? 1 : 0);
    }
    EXPECT_EQ(CKelCGSBServer::GetPosition(), end);

    // At the end already: one frame, the last.
    watcher.frames.clear();
    news->SetTimeLinePos(end + 40);
    ASSERT_EQ(scene->PlayStoryBoard(&watcher), 1);
    ASSERT_EQ(watcher.frames.size(), 1u);
    EXPECT_EQ(watcher.frames[0], std::make_pair(end + 40, 1));
    EXPECT_EQ(scene->PlayStoryBoard(nullptr), 1); // no window to tell: still plays
}

TEST_F(ScenePlay, TheLiveOutputShowsWhatIsOnTheAirFrameByFrame) {
    news->SetTimeLinePos(200);
    // What the output window sees at each refresh: the Logo's place and the Ticker's.
    std::vector<std::pair<bool, bool>> shown;
    CKelDrvGFB::SetOutputWindow([&](int) {
        const CKelMemBlock* out = CKelDrvGFB::GetBlockOut();
        shown.emplace_back(out->GetPixel(640, 70) != 0, out->GetPixel(100, 545) != 0);
    });
    const long long fields = CKelDrvSys::GetFieldCount();
    ASSERT_EQ(scene->PlayStoryBoard(nullptr), 1);
    CKelDrvGFB::SetOutputWindow({});
    // From 200: Logo and Ticker; at 212 the Logo goes; at 350 the Ticker. (The moving Ticker
    // refreshes the output every frame meanwhile.)
    shown.erase(std::unique(shown.begin(), shown.end()), shown.end());
    EXPECT_EQ(shown,
              (std::vector<std::pair<bool, bool>>{{true, true}, {false, true}, {false, false}}));
    EXPECT_EQ(CKelDrvSys::GetFieldCount() - fields, 151 * CKelDrvSys::kFieldsPerFrame);
}

// The live output as the frames `keep` of a play left it (by frame, counted from the first).
std::map<std::size_t, CKelMemBlock> PlayedPictures(CKelPlaySceneObj& scene,
                                                   const std::set<std::size_t>& keep) {
    std::map<std::size_t, CKelMemBlock> pictures;
    std::size_t frame = 0;
    CKelDrvSys::SetFieldClock([&](int) {
        if (keep.count(frame) != 0)
            pictures[frame] = *CKelDrvGFB::GetBlockOut();
        ++frame;
    });
    scene.PlayStoryBoard(nullptr);
    CKelDrvSys::SetFieldClock({});
    return pictures;
}

TEST_F(ScenePlay, AStopEndsThePlayAtTheFrameOnTheAir) {
    PlayWatcher watcher;
    // A stop asked for outside a play is no stop for the next one.
    scene->RequestStop();
    news->SetTimeLinePos(10);
    int frames = 0;
    CKelDrvSys::SetFieldClock([&](int) {
        EXPECT_TRUE(scene->IsPlaying());
        if (++frames == 5)
            scene->RequestStop();
    });
    ASSERT_EQ(scene->PlayStoryBoard(&watcher), 1);
    CKelDrvSys::SetFieldClock({});
    EXPECT_FALSE(scene->IsPlaying());
    ASSERT_EQ(watcher.frames.size(), 5u);
    EXPECT_EQ(watcher.frames.back(), std::make_pair(DWORD{14}, 1));
    EXPECT_EQ(CKelCGSBServer::GetPosition(), 14u);
    // A script's stop frame, used by the next play only: the runner script
    // storyboards_playback.kss.
}

TEST_F(ScenePlay, EffectsMoviesAndScrollsMoveOnTheAir) {
    const CRect headline = scene->FindPieceByGUID(KelSampleGUID(kSampleHeadline))->GetRect();
    const CPoint inside = headline.CenterPoint();

    // The Headline's In fades in over its ten frames, alone on the air (the movie's track
    // forbidden): each frame shows more of it, and only at its place.
    news->GetTrackObj(1)->SetPlayAllowed(FALSE);
    news->SetTimeLinePos(0);
    news->SetRange(0, 12);
    CKelSBBodyAttr attr = news->GetEditAttr();
    attr.nPlayRangeOnly = 1;
    news->SetEditAttr(attr);
    std::map<std::size_t, CKelMemBlock> pictures =
        PlayedPictures(*scene, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    ASSERT_EQ(pictures.size(), 10u);
    for (std::size_t i = 1; i < 10; ++i) {
        EXPECT_NE(pictures[i].GetPixel(inside.x, inside.y),
                  pictures[i - 1].GetPixel(inside.x, inside.y))
            << "frame " << i;
    }
    CKelMemBlock nothing;
    nothing.Init(pictures[0].GetWidth(), pictures[0].GetHeight());
    for (std::size_t i = 0; i < 10; ++i) {
        CKelMemBlock outside = pictures[i];
        outside.Fill(headline, 0);
        EXPECT_EQ(outside, nothing) << "frame " << i;
    }
    CKelMemBlock whole;
    whole.Init(-1, -1, nullptr, 0);
    scene->FindPieceByGUID(KelSampleGUID(kSampleHeadline))->DrawToBlock(&whole, 0);
    EXPECT_EQ(pictures[9].GetPixel(inside.x, inside.y),
              whole.GetPixel(inside.x - headline.left, inside.y - headline.top));

    // The movie (from frame 0) shows its frame number in its corner; the Ticker (from frame
    // 150) crawls left four pixels a frame. The first track stays on top: the Headline's Stay
    // over the movie.
    news->GetTrackObj(1)->SetPlayAllowed(TRUE);
    attr.nPlayRangeOnly = 0;
    news->SetEditAttr(attr);
    pictures = PlayedPictures(*scene, {3, 4, 40, 160, 161});
    ASSERT_EQ(pictures.size(), 5u);
    const auto corner = [](const CKelMemBlock& b) {
        std::vector<DWORD> dots;
        for (int y = 8; y < 28; ++y)
            for (int x = 8; x < 20; ++x)
                dots.push_back(b.GetPixel(x, y));
        return dots;
    };
    EXPECT_NE(corner(pictures[3]), corner(pictures[4]));
    EXPECT_EQ(pictures[3].GetPixel(8, 8), 0xFFFFFFFFu); // a 3 has its top-left dot
    EXPECT_EQ(pictures[40].GetPixel(inside.x, inside.y),
              whole.GetPixel(inside.x - headline.left, inside.y - headline.top));
    for (int x = 0; x < 700; x += 50) {
        EXPECT_EQ(pictures[161].GetPixel(x, 545), pictures[160].GetPixel(x + 4, 545)) << x;
    }
    EXPECT_NE(pictures[161].GetPixel(100, 545), 0u);
}

TEST_F(ScenePlay, ForbiddenTracksAndMissingPiecesStayOffTheAir) {
    news->SetTimeLinePos(20);
    ASSERT_EQ(scene->PlayStoryBoard(nullptr), 1);
    auto onAirAt = [&](DWORD frame) {
        std::vector<KelGUID> now;
        for (const auto& change : scene->GetLastPlay()) {
            if (change.nFrame <= frame) {
                now = change.onAir;
            }
        }
        return now;
    };
    // Frame 40: Headline Stay (track 0) and the movie (locked track 1, which plays). Not the
    // Lower Third In/Out on the forbidden track 2, not the orphan of track 3.
    EXPECT_EQ(onAirAt(40), (std::vector<KelGUID>{KelSampleGUID(kSampleHeadline),
                                                 KelSampleGUID(kSampleOpening)}));
    EXPECT_EQ(scene->GetLastPlay().front().nFrame, 20u);

    news->GetTrackObj(2)->SetPlayAllowed(TRUE);
    ASSERT_EQ(scene->PlayStoryBoard(nullptr), 1);
    EXPECT_EQ(onAirAt(62),
              (std::vector<KelGUID>{KelSampleGUID(kSampleHeadline), KelSampleGUID(kSampleOpening),
                                    KelSampleGUID(kSampleLowerThird)}));
}

TEST_F(ScenePlay, CompileReportsMaterialsThatCannotPlay) {
    EXPECT_EQ(scene->CompileStoryBoard(nullptr), 0);
    ASSERT_EQ(scene->GetCompileIssues().size(), 1u);
    EXPECT_EQ(scene->GetCompileIssues()[0].nTrack, 3);
    EXPECT_EQ(scene->GetCompileIssues()[0].pieceGUID, KelSampleGUID(kSampleMissing));

    // Forbidding the orphan's track takes it out of the compile.
    news->GetTrackObj(3)->SetPlayAllowed(FALSE);
    EXPECT_EQ(scene->CompileStoryBoard(nullptr), 1);
    EXPECT_TRUE(scene->GetCompileIssues().empty());

    // A material keeps playing from its attached copy when the scene lost the piece.
    auto other = KelCreateSampleScene();
    other->GetSBEditObj()->SetCurSBBodyIndex(1);
    EXPECT_EQ(other->CompileStoryBoard(nullptr), 1);
    CKelObList* pieces = other->GetPieceList();
    POSITION pos = pieces->Find(other->FindPieceByGUID(KelSampleGUID(kSampleScore)));
    std::unique_ptr<CKelPlayBaseObj> score(static_cast<CKelPlayBaseObj*>(pieces->GetAt(pos)));
    pieces->RemoveAt(pos);
    EXPECT_EQ(other->CompileStoryBoard(nullptr), 0);
    EXPECT_EQ(other->GetCompileIssues().size(), 3u);
    for (CKelSBContentBaseObj* content : AllContents(*Current(*other))) {
        if (content->GetGUID() == score->GetGUID()) {
            content->GetAttachedPieceList().AddTail(score->MakeCopy());
        }
    }
    EXPECT_EQ(other->CompileStoryBoard(nullptr), 1);
}

TEST_F(ScenePlay, LoadStateAndInjectedFailures) {
    EXPECT_EQ(scene->DownLoadStoryBoard(nullptr), 0);
    EXPECT_EQ(scene->UpLoadStoryBoard(nullptr), 1);
    EXPECT_TRUE(scene->IsLoaded());
    EXPECT_EQ(scene->UpLoadStoryBoard(nullptr), 0);

    scene->SetSimulatedFailure(CKelPlaySceneObj::Operation::Download, true);
    EXPECT_EQ(scene->DownLoadStoryBoard(nullptr), 0);
    EXPECT_TRUE(scene->IsLoaded());
    scene->SetSimulatedFailure(CKelPlaySceneObj::Operation::Download, false);
    EXPECT_EQ(scene->DownLoadStoryBoard(nullptr), 1);
    EXPECT_FALSE(scene->IsLoaded());

    scene->SetSimulatedFailure(CKelPlaySceneObj::Operation::Upload, true);
    EXPECT_EQ(scene->UpLoadStoryBoard(nullptr), 0);
    EXPECT_FALSE(scene->IsLoaded());

    news->GetTrackObj(3)->SetPlayAllowed(FALSE); // would compile
    scene->SetSimulatedFailure(CKelPlaySceneObj::Operation::Compile, true);
    EXPECT_EQ(scene->CompileStoryBoard(nullptr), 0);

    scene->SetSimulatedFailure(CKelPlaySceneObj::Operation::Play, true);
    PlayWatcher watcher;
    const unsigned long seeks = CKelCGSBServer::GetSeekCount();
    EXPECT_EQ(scene->PlayStoryBoard(&watcher), 0);
    EXPECT_TRUE(watcher.frames.empty());
    EXPECT_EQ(CKelCGSBServer::GetSeekCount(), seeks);
}

} // namespace
