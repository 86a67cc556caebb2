#include "host/scene/sample_scene.h"

#include "host/effects/io_effect.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"

#include <initializer_list>

namespace {

// A small gradient in the piece's own colour, so every piece is told apart on the timeline.
ImageData MakeThumbnail(DWORD colour) {
    ImageData image;
    image.width = 32;
    image.height = 18;
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const DWORD shade = static_cast<DWORD>(x * 255 / (image.width - 1));
            image.pixels[static_cast<std::size_t>(y) * image.width + x] =
                0xFF000000u | (colour & 0x00FFFFFFu) | (shade >> 1);
        }
    }
    return image;
}

struct PhaseEffect {
    const char* name;
    DWORD frames;
    int direction;
};

CKelPlayGroupObj* AddGroup(CKelPlaySceneObj& scene, unsigned n, const char* name, CRect rect,
                           DWORD colour, PhaseEffect in, PhaseEffect stay, PhaseEffect out) {
    auto* group = new CKelPlayGroupObj;
    group->SetGUID(KelSampleGUID(n));
    group->SetName(name);
    group->SetRect(rect);
    group->SetThumbnail(MakeThumbnail(colour));
    const PhaseEffect phases[3] = {in, stay, out};
    for (int state = KEL_IO_IN; state <= KEL_IO_OUT; ++state) {
        CKelIOSoftEffectBaseObj* effect = group->GetIOSoftEffect(state);
        effect->SetEffectName(phases[state].name);
        effect->SetPlayDuration(phases[state].frames);
        effect->SetDirection(phases[state].direction);
    }
    scene.GetPieceList()->AddTail(group);
    return group;
}

CKelSBContentBaseObj* NewContent(int state) {
    switch (state) {
    case KEL_IO_IN:
        return new CKelSBContentPieceInObj;
    case KEL_IO_STAY:
        return new CKelSBContentPieceStayObj;
    default:
        return new CKelSBContentPieceOutObj;
    }
}

// A material of a group piece in one of its phases.
CKelSBContentBaseObj* Phase(CKelPlaySceneObj& scene, unsigned n, int state, WORD track, DWORD in,
                            DWORD out) {
    CKelSBContentBaseObj* content = NewContent(state);
    content->Init(track, KelSampleGUID(n), in, out, scene.FindPieceByGUID(KelSampleGUID(n)));
    return content;
}

CKelSBContentBaseObj* Movie(CKelPlaySceneObj& scene, unsigned n, WORD track, DWORD in) {
    auto* piece = DYNAMIC_DOWNCAST(CKelPlayMovieObj, scene.FindPieceByGUID(KelSampleGUID(n)));
    auto* content = new CKelSBContentMovieObj;
    content->Init(track, KelSampleGUID(n), in, in + piece->GetFrameCount(), nullptr);
    return content;
}

CKelSBContentBaseObj* Scroll(CKelPlaySceneObj& scene, unsigned n, WORD track, DWORD in) {
    auto* piece = DYNAMIC_DOWNCAST(CKelPlayScrollObj, scene.FindPieceByGUID(KelSampleGUID(n)));
    auto* content = new CKelSBContentScrollObj;
    content->Init(track, KelSampleGUID(n), in, in + piece->GetPlayDuration(KEL_IO_IN), nullptr);
    return content;
}

void AddContainer(CKelSBBodyObj& body, std::initializer_list<CKelSBContentBaseObj*> contents) {
    auto* container = new CKelSBContainerObj;
    for (CKelSBContentBaseObj* content : contents) {
        container->AddContent(content);
    }
    container->MakeOrder();
    body.AddContainer(container);
}

void EnsureTracks(CKelSBBodyObj& body, int count) {
    while (body.GetTrackCount() < count) {
        body.AppendTrack();
    }
}

} // namespace

KelGUID KelSampleGUID(unsigned n) {
    // "KELSAMPLE" and the number: easy to recognise in files and logs.
    return KelGUID::Tagged("KELSAMPLE\x40\x80", n);
}

std::unique_ptr<CKelPlaySceneObj> KelCreateSampleScene() {
    auto scene = std::make_unique<CKelPlaySceneObj>();
    scene->SetName("Sample Scene");
    scene->SetSBEditWndRect(CRect(100, 100, 900, 500));

    AddGroup(*scene, kSampleHeadline, "Headline", CRect(60, 420, 660, 500), 0x2050C0,
             {"Fade", 10, 0}, {"Copy", 75, 0}, {"Wipe", 10, 0});
    AddGroup(*scene, kSampleLowerThird, "Lower Third", CRect(40, 480, 500, 540), 0xC05020,
             {"Wipe", 8, 0}, {"Copy", 50, 0}, {"Fade", 8, 0});
    AddGroup(*scene, kSampleLogo, "Logo", CRect(600, 40, 680, 100), 0x20A040, {"Copy", 12, 0},
             {"Copy", 100, 0}, {"Fade", 12, 0});
    AddGroup(*scene, kSampleScore, "Score", CRect(40, 40, 280, 90), 0xA0A020, {"Fade", 10, 0},
             {"Copy", 100, 0}, {"Wipe", 10, 1});

    KelMediaEntry opening;
    opening.strName = "sample:opening.kmv";
    opening.movie = {720, 576, 125};
    scene->EmbedMedia(opening);
    auto* movie = new CKelPlayMovieObj;
    movie->SetGUID(KelSampleGUID(kSampleOpening));
    movie->SetName("Opening");
    movie->SetRect(CRect(0, 0, 720, 576));
    movie->SetThumbnail(MakeThumbnail(0x802080));
    movie->SetFileName(opening.strName);
    movie->SetFrameCount(opening.movie.nFrameCount);
    scene->GetPieceList()->AddTail(movie);

    KelMediaEntry ticker;
    ticker.strName = "sample:ticker.ksc";
    ticker.bScroll = true;
    ticker.scroll.rcScroll = CRect(0, 530, 800, 560);
    ticker.scroll.nDirection = CKelPlayScrollObj::kLeft;
    scene->EmbedMedia(ticker);
    auto* scroll = new CKelPlayScrollObj;
    scroll->SetGUID(KelSampleGUID(kSampleTicker));
    scroll->SetName("Ticker");
    scroll->SetRect(CRect(0, 530, 720, 560));
    scroll->SetThumbnail(MakeThumbnail(0x208080));
    scroll->SetFileName(ticker.strName);
    scroll->SetScrollRect(ticker.scroll.rcScroll);
    scroll->SetDirection(ticker.scroll.nDirection);
    scene->GetPieceList()->AddTail(scroll);

    // Two groups stand selected in the item list, ready to be put on a storyboard.
    scene->FindPieceByGUID(KelSampleGUID(kSampleHeadline))->SetSelected(TRUE);
    scene->FindPieceByGUID(KelSampleGUID(kSampleLogo))->SetSelected(TRUE);

    CKelSBEditObj* document = scene->GetSBEditObj();
    CKelSBBodyObj* news = document->GetCurSBBodyObj();
    news->SetName("News");
    news->SetFramesPerUnit(25);
    EnsureTracks(*news, 5);
    CKelPlaySceneObj& sc = *scene;
    // Track 0: one group's In, Stay and Out in separate containers, then another group's In
    // and Stay together.
    AddContainer(*news, {Phase(sc, kSampleHeadline, KEL_IO_IN, 0, 0, 10)});
    AddContainer(*news, {Phase(sc, kSampleHeadline, KEL_IO_STAY, 0, 10, 85)});
    AddContainer(*news, {Phase(sc, kSampleHeadline, KEL_IO_OUT, 0, 85, 95)});
    AddContainer(*news, {Phase(sc, kSampleLogo, KEL_IO_IN, 0, 100, 112),
                         Phase(sc, kSampleLogo, KEL_IO_STAY, 0, 112, 212)});
    // Track 1, locked: the movie and the scroll.
    AddContainer(*news, {Movie(sc, kSampleOpening, 1, 0)});
    AddContainer(*news, {Scroll(sc, kSampleTicker, 1, 150)});
    news->GetTrackObj(1)->SetLocked(TRUE);
    // Track 2, not played: In and Out of a group in one container.
    AddContainer(*news, {Phase(sc, kSampleLowerThird, KEL_IO_IN, 2, 20, 28),
                         Phase(sc, kSampleLowerThird, KEL_IO_OUT, 2, 60, 68)});
    news->GetTrackObj(2)->SetPlayAllowed(FALSE);
    // Track 3: a material whose piece was deleted from the scene.
    CKelSBContentBaseObj* orphan = new CKelSBContentPieceStayObj;
    orphan->Init(3, KelSampleGUID(kSampleMissing), 30, 80, nullptr);
    if (auto* piece = DYNAMIC_DOWNCAST(CKelSBContentPieceBaseObj, orphan)) {
        if (CKelIOSoftEffectBaseObj* effect = piece->GetIOSoftEffect()) {
            effect->SetEffectName("Copy");
            effect->SetPlayDuration(50);
        }
    }
    AddContainer(*news, {orphan});
    // Track 4: Stay and Out of a group together.
    AddContainer(*news, {Phase(sc, kSampleLowerThird, KEL_IO_STAY, 4, 140, 190),
                         Phase(sc, kSampleLowerThird, KEL_IO_OUT, 4, 190, 198)});
    news->ResetAllTrackContentList();

    document->AppendSBBody();
    CKelSBBodyObj* sports = document->GetCurSBBodyObj();
    sports->SetName("Sports");
    sports->SetFramesPerUnit(25);
    EnsureTracks(*sports, 2);
    AddContainer(*sports, {Phase(sc, kSampleScore, KEL_IO_IN, 0, 0, 10),
                           Phase(sc, kSampleScore, KEL_IO_STAY, 0, 10, 110),
                           Phase(sc, kSampleScore, KEL_IO_OUT, 0, 110, 120)});
    AddContainer(*sports, {Phase(sc, kSampleLowerThird, KEL_IO_IN, 1, 50, 58)});
    AddContainer(*sports, {Phase(sc, kSampleLowerThird, KEL_IO_STAY, 1, 58, 108)});
    sports->ResetAllTrackContentList();

    document->SetCurSBBodyIndex(0);
    for (int i = 0; i < document->GetSBBodyCount(); ++i) {
        document->GetSBBodyObj(i)->UpdateContentIcon(scene->GetPieceList());
    }
    return scene;
}
