#include "storyboard_generator.h"

#include "host/effects/io_effect.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"

#include <random>
#include <string>
#include <vector>

namespace kel::bench {

namespace {

constexpr int kGroupPieces = 12;
constexpr int kMovies = 6;
constexpr int kScrolls = 4;

KelGUID PieceGUID(unsigned n) {
    return KelGUID::Tagged("KELBENCHMARK", n);
}

ImageData Thumbnail(unsigned n) {
    ImageData image;
    image.width = 32;
    image.height = 18;
    image.pixels.assign(static_cast<std::size_t>(image.width * image.height),
                        0xFF000000u | (n * 0x2F4F6Fu & 0x00FFFFFFu));
    return image;
}

template <class Piece>
Piece* AddPiece(CKelPlaySceneObj& scene, unsigned n, const std::string& name) {
    auto* piece = new Piece;
    piece->SetGUID(PieceGUID(n));
    piece->SetName(name.c_str());
    piece->SetRect(CRect(0, 0, 720, 576));
    piece->SetThumbnail(Thumbnail(n));
    scene.GetPieceList()->AddTail(piece); // the scene owns its pieces
    return piece;
}

// The scene's pieces: groups with the three phase effects, movies and scrolls of their own
// lengths.
void AddPieces(CKelPlaySceneObj& scene) {
    const char* effects[] = {"Fade", "Wipe", "Copy", "Push"};
    for (int i = 0; i < kGroupPieces; ++i) {
        auto* group = AddPiece<CKelPlayGroupObj>(scene, static_cast<unsigned>(i),
                                                 "Group " + std::to_string(i + 1));
        for (int state = KEL_IO_IN; state <= KEL_IO_OUT; ++state) {
            CKelIOSoftEffectBaseObj* effect = group->GetIOSoftEffect(state);
            effect->SetEffectName(effects[(i + state) % 4]);
            effect->SetPlayDuration(state == KEL_IO_STAY ? 100 : 15);
        }
    }
    for (int i = 0; i < kMovies; ++i) {
        KelMediaEntry media;
        media.strName = ("bench:movie" + std::to_string(i) + ".kmv").c_str();
        media.movie = {720, 576, static_cast<DWORD>(400 + 100 * i)};
        scene.EmbedMedia(media);
        auto* movie = AddPiece<CKelPlayMovieObj>(scene, static_cast<unsigned>(kGroupPieces + i),
                                                 "Movie " + std::to_string(i + 1));
        movie->SetFileName(media.strName);
        movie->SetFrameCount(media.movie.nFrameCount);
    }
    for (int i = 0; i < kScrolls; ++i) {
        KelMediaEntry media;
        media.strName = ("bench:scroll" + std::to_string(i) + ".ksc").c_str();
        media.bScroll = true;
        media.scroll.rcScroll = CRect(0, 500, 720, 540);
        media.scroll.nDirection = CKelPlayScrollObj::kLeft;
        scene.EmbedMedia(media);
        auto* scroll =
            AddPiece<CKelPlayScrollObj>(scene, static_cast<unsigned>(kGroupPieces + kMovies + i),
                                        "Ticker " + std::to_string(i + 1));
        scroll->SetFileName(media.strName);
        scroll->SetScrollRect(media.scroll.rcScroll);
        scroll->SetDirection(media.scroll.nDirection);
    }
}

template <class Content>
CKelSBContentBaseObj* NewMaterial(CKelPlaySceneObj& scene, unsigned nPiece, int nTrack, DWORD dwIn,
                                  DWORD dwOut) {
    auto* content = new Content;
    content->Init(static_cast<WORD>(nTrack), PieceGUID(nPiece), dwIn, dwOut,
                  scene.FindPieceByGUID(PieceGUID(nPiece)));
    return content;
}

// One track's materials from frame 0 on: a group's In, Stay and Out butting against each other
// in one container, or a movie or a scroll alone; between them a gap or none.
void FillTrack(CKelPlaySceneObj& scene, CKelSBBodyObj& body, int nTrack, int nMaterials,
               std::mt19937& random) {
    DWORD dwAt = random() % 50;
    for (int nLeft = nMaterials; nLeft > 0;) {
        auto* container = new CKelSBContainerObj;
        const unsigned roll = random() % 10;
        if (roll < 6 && nLeft >= 3) {
            const unsigned nPiece = random() % kGroupPieces;
            const DWORD dwIn = 10 + random() % 15;
            const DWORD dwStay = 40 + random() % 160;
            const DWORD dwOut = 10 + random() % 15;
            container->AddContent(
                NewMaterial<CKelSBContentPieceInObj>(scene, nPiece, nTrack, dwAt, dwAt + dwIn));
            container->AddContent(NewMaterial<CKelSBContentPieceStayObj>(
                scene, nPiece, nTrack, dwAt + dwIn, dwAt + dwIn + dwStay));
            container->AddContent(NewMaterial<CKelSBContentPieceOutObj>(
                scene, nPiece, nTrack, dwAt + dwIn + dwStay, dwAt + dwIn + dwStay + dwOut));
            dwAt += dwIn + dwStay + dwOut;
            nLeft -= 3;
        } else if (roll < 8) {
            const unsigned nMovie = random() % kMovies;
            const DWORD dwLength = 100 + random() % 300;
            container->AddContent(NewMaterial<CKelSBContentMovieObj>(
                scene, kGroupPieces + nMovie, nTrack, dwAt, dwAt + dwLength));
            dwAt += dwLength;
            --nLeft;
        } else {
            const unsigned nScroll = random() % kScrolls;
            const DWORD dwLength = 150 + random() % 250;
            container->AddContent(NewMaterial<CKelSBContentScrollObj>(
                scene, kGroupPieces + kMovies + nScroll, nTrack, dwAt, dwAt + dwLength));
            dwAt += dwLength;
            --nLeft;
        }
        body.AddContainer(container); // the storyboard owns its containers
        // Half the neighbours butt against each other, the others leave a gap.
        if (random() % 2)
            dwAt += 5 + random() % 120;
    }
}

} // namespace

std::unique_ptr<CKelPlaySceneObj> MakeStoryboardScene(StoryboardSize size) {
    auto scene = std::make_unique<CKelPlaySceneObj>();
    scene->SetName(("Bench " + std::to_string(size.materials)).c_str());
    AddPieces(*scene);
    CKelSBBodyObj* body = scene->GetSBEditObj()->GetCurSBBodyObj();
    body->SetName("Broadcast day");
    // Ten frames per unit: the 728 frames a 1920-pixel view shows are covered on every track
    // at every size, so each size shows as much.
    body->SetFramesPerUnit(10);
    while (body->GetTrackCount() < size.tracks)
        body->AppendTrack();
    std::mt19937 random(20240611);
    for (int t = 0; t < size.tracks; ++t) {
        const int nMaterials = size.materials / size.tracks + (t < size.materials % size.tracks);
        FillTrack(*scene, *body, t, nMaterials, random);
    }
    body->ResetAllTrackContentList();
    body->UpdateContentIcon(scene->GetPieceList());
    return scene;
}

} // namespace kel::bench
