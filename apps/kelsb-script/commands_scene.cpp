// Scene commands: the host's own model, built and changed as the host application would. The
// editor is not told; a script that wants the editor to re-read the scene sends it
// WM_CG_SB_REFRESH_WINDOW, as a host does.
#include "runner.h"

#include "host/effects/io_effect.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/scene/sample_scene.h"
#include "host/scene/scene_file.h"
#include "host/services/video_std.h"

namespace kel::script {

namespace {

// Identities of the runner's own pieces: recognisable, and the same on every run.
KelGUID ScriptPieceGUID(unsigned n) {
    return KelGUID::Tagged("KELSCRIPT\x40\x80", n);
}

CKelPlayBaseObj* FindPieceByName(CKelPlaySceneObj& scene, const std::string& name) {
    CKelObList& pieces = *scene.GetPieceList();
    for (POSITION pos = pieces.GetHeadPosition(); pos;) {
        auto* piece = DYNAMIC_DOWNCAST(CKelPlayBaseObj, pieces.GetNext(pos));
        if (piece && piece->GetName().str() == name) {
            return piece;
        }
    }
    return nullptr;
}

// Frames beyond the editor's largest are refused where they enter.
DWORD Frame(const std::string& word, const char* what) {
    return static_cast<DWORD>(ParseInteger(word, what, 0, CKelSBContentBaseObj::kMaxFrame));
}

int ScrollDirection(const std::string& word) {
    if (word == "up") {
        return CKelPlayScrollObj::kUp;
    }
    if (word == "down") {
        return CKelPlayScrollObj::kDown;
    }
    if (word == "left") {
        return CKelPlayScrollObj::kLeft;
    }
    if (word == "right") {
        return CKelPlayScrollObj::kRight;
    }
    return static_cast<int>(ParseInteger(word, "DIRECTION", 0, 3));
}

} // namespace

void Runner::Sample(const ScriptLine& line) {
    CheckArity(line, 0, 0, "sample");
    ReplaceScene(KelCreateSampleScene());
    SceneFileChanged(std::string());
}

void Runner::Load(const ScriptLine& line) {
    CheckArity(line, 1, 1, "load FILE");
    KelSceneFileStatus status;
    std::unique_ptr<CKelPlaySceneObj> scene = KelLoadSceneFile(line.words[1].c_str(), &status);
    if (!scene) {
        throw CommandError("cannot load " + line.words[1] + ": " + status.strMessage.str());
    }
    ReplaceScene(std::move(scene));
    SceneFileChanged(line.words[1]);
}

void Runner::Save(const ScriptLine& line) {
    CheckArity(line, 1, 1, "save FILE");
    const KelSceneFileStatus status = KelSaveSceneFile(Scene(), line.words[1].c_str());
    if (status.nResult != KEL_SCENE_OK) {
        throw CommandError("cannot save " + line.words[1] + ": " + status.strMessage.str());
    }
    SceneFileChanged(line.words[1]);
}

void Runner::Fps(const ScriptLine& line) {
    CheckArity(line, 1, 1, "fps RATE");
    if (!CKelVideoStd::SetFrameRate(ParseReal(line.words[1], "RATE"))) {
        throw CommandError("the frame rate is refused: " + line.words[1]);
    }
}

void Runner::Piece(const ScriptLine& line) {
    const char* usage = "piece group NAME IN STAY OUT | piece movie NAME FRAMES | "
                        "piece scroll NAME WIDTH HEIGHT DIRECTION";
    CheckArity(line, 3, 5, usage);
    const std::string& kind = line.words[1];
    const std::string& name = line.words[2];
    if (name.empty() || FindPieceByName(Scene(), name)) {
        throw CommandError("the scene already has a piece named \"" + name + "\"");
    }
    const KelGUID guid = ScriptPieceGUID(m_nextPieceNumber);
    std::unique_ptr<CKelPlayBaseObj> piece;
    if (kind == "group") {
        CheckArity(line, 5, 5, usage);
        auto group = std::make_unique<CKelPlayGroupObj>();
        for (int state = KEL_IO_IN; state <= KEL_IO_OUT; ++state) {
            const char* what[] = {"IN", "STAY", "OUT"};
            group->GetIOSoftEffect(state)->SetPlayDuration(
                Frame(line.words[static_cast<std::size_t>(3 + state)], what[state]));
        }
        piece = std::move(group);
    } else if (kind == "movie") {
        CheckArity(line, 3, 3, usage);
        const DWORD frames = Frame(line.words[3], "FRAMES");
        KelMediaEntry media;
        media.strName = ("script:" + name + ".kmv").c_str();
        media.movie = {720, 576, frames};
        if (!Scene().EmbedMedia(media)) {
            throw CommandError("the movie's length is refused: " + line.words[3]);
        }
        auto movie = std::make_unique<CKelPlayMovieObj>();
        movie->SetRect(CRect(0, 0, 720, 576));
        movie->SetFileName(media.strName);
        movie->SetFrameCount(frames);
        piece = std::move(movie);
    } else if (kind == "scroll") {
        CheckArity(line, 5, 5, usage);
        const CRect area(0, 0, static_cast<int>(ParseInteger(line.words[3], "WIDTH", 1, 100000)),
                         static_cast<int>(ParseInteger(line.words[4], "HEIGHT", 1, 100000)));
        KelMediaEntry media;
        media.strName = ("script:" + name + ".ksc").c_str();
        media.bScroll = true;
        media.scroll.rcScroll = area;
        media.scroll.nDirection = ScrollDirection(line.words[5]);
        if (!Scene().EmbedMedia(media)) {
            throw CommandError("the scroll's area is refused");
        }
        auto scroll = std::make_unique<CKelPlayScrollObj>();
        scroll->SetRect(area);
        scroll->SetFileName(media.strName);
        scroll->SetScrollRect(area);
        scroll->SetDirection(media.scroll.nDirection);
        piece = std::move(scroll);
    } else {
        throw CommandError(std::string("usage: ") + usage);
    }
    piece->SetGUID(guid);
    piece->SetName(name.c_str());
    ++m_nextPieceNumber;
    // The scene's piece list owns its pieces.
    Scene().GetPieceList()->AddTail(piece.release());
}

void Runner::Storyboard(const ScriptLine& line) {
    CheckArity(line, 1, 1, "storyboard NAME");
    CKelSBEditObj* document = Scene().GetSBEditObj();
    if (!document || !document->AppendSBBody()) {
        throw CommandError("the document refuses another storyboard");
    }
    document->GetCurSBBodyObj()->SetName(line.words[1].c_str());
}

void Runner::Track(const ScriptLine& line) {
    CheckArity(line, 0, 2, "track [locked] [noplay]");
    bool locked = false;
    bool noPlay = false;
    for (std::size_t i = 1; i < line.words.size(); ++i) {
        if (line.words[i] == "locked") {
            locked = true;
        } else if (line.words[i] == "noplay") {
            noPlay = true;
        } else {
            throw CommandError("usage: track [locked] [noplay]");
        }
    }
    CKelSBBodyObj& body = CurrentBody();
    if (!body.AppendTrack()) {
        throw CommandError("the storyboard refuses another track");
    }
    CKelSBTrackObj* track = body.GetTrackObj(body.GetTrackCount() - 1);
    track->SetLocked(locked ? TRUE : FALSE);
    track->SetPlayAllowed(noPlay ? FALSE : TRUE);
}

void Runner::Container(const ScriptLine& line) {
    CheckArity(line, 0, 0, "container");
    // The storyboard owns its containers.
    CurrentBody().AddContainer(new CKelSBContainerObj);
}

void Runner::Material(const ScriptLine& line) {
    CheckArity(line, 5, 5, "material in|stay|out|movie|scroll PIECE TRACK IN OUT");
    const std::string& kind = line.words[1];
    CKelSBBodyObj& body = CurrentBody();
    CKelPlayBaseObj* piece = FindPieceByName(Scene(), line.words[2]);
    if (!piece) {
        throw CommandError("the scene has no piece named \"" + line.words[2] + "\"");
    }
    const long long track = ParseInteger(line.words[3], "TRACK", 0, 0xFFFF);
    if (track >= body.GetTrackCount()) {
        throw CommandError("the storyboard has no track " + line.words[3]);
    }
    const DWORD in = Frame(line.words[4], "IN");
    const DWORD out = Frame(line.words[5], "OUT");
    if (body.GetContainerCount() == 0) {
        throw CommandError("the storyboard has no container yet: start one with 'container'");
    }

    std::unique_ptr<CKelSBContentBaseObj> content;
    const bool isGroup = DYNAMIC_DOWNCAST(CKelPlayGroupObj, piece) != nullptr;
    if (kind == "in" || kind == "stay" || kind == "out") {
        if (!isGroup) {
            throw CommandError("an " + kind + " material needs a group piece");
        }
        if (kind == "in") {
            content = std::make_unique<CKelSBContentPieceInObj>();
        } else if (kind == "stay") {
            content = std::make_unique<CKelSBContentPieceStayObj>();
        } else {
            content = std::make_unique<CKelSBContentPieceOutObj>();
        }
    } else if (kind == "movie") {
        if (!DYNAMIC_DOWNCAST(CKelPlayMovieObj, piece)) {
            throw CommandError("a movie material needs a movie piece");
        }
        content = std::make_unique<CKelSBContentMovieObj>();
    } else if (kind == "scroll") {
        if (!DYNAMIC_DOWNCAST(CKelPlayScrollObj, piece)) {
            throw CommandError("a scroll material needs a scroll piece");
        }
        content = std::make_unique<CKelSBContentScrollObj>();
    } else {
        throw CommandError("usage: material in|stay|out|movie|scroll PIECE TRACK IN OUT");
    }
    // Effect materials take their phase's effect from the piece; movies and scrolls take
    // nothing from it.
    if (!content->Init(static_cast<WORD>(track), piece->GetGUID(), in, out,
                       isGroup ? piece : nullptr)) {
        throw CommandError("the material's times are refused: " + line.words[4] + " to " +
                           line.words[5]);
    }
    CKelSBContainerObj* container = body.GetContainerObj(body.GetContainerCount() - 1);
    CKelSBContentBaseObj* added = content.release();
    container->AddContent(added); // the container owns its materials
    container->MakeOrder();
    // One track's list takes the material: rebuilding every list would make building a scene
    // line by line quadratic.
    body.InsertTrackContent(added, container);
    CKelSBBodyObj::MakePieceContentIcon(container, Scene().GetPieceList());
}

CKelPlayBaseObj& Runner::RequirePiece(const std::string& name) const {
    CKelPlayBaseObj* piece = FindPieceByName(Scene(), name);
    if (!piece) {
        throw CommandError("the scene has no piece named \"" + name + "\"");
    }
    return *piece;
}

void Runner::SelectItem(const ScriptLine& line) {
    CheckArity(line, 1, 1, "select-item NAME");
    RequirePiece(line.words[1]).SetSelected(TRUE);
}

void Runner::UnselectItem(const ScriptLine& line) {
    CheckArity(line, 1, 1, "unselect-item NAME");
    RequirePiece(line.words[1]).SetSelected(FALSE);
}

void Runner::Unpiece(const ScriptLine& line) {
    CheckArity(line, 1, 1, "unpiece NAME");
    CKelObList& pieces = *Scene().GetPieceList();
    CKelPlayBaseObj* piece = FindPieceByName(Scene(), line.words[1]);
    if (!piece) {
        throw CommandError("the scene has no piece named \"" + line.words[1] + "\"");
    }
    pieces.DeleteAt(pieces.Find(piece));
}

void Runner::Fpu(const ScriptLine& line) {
    CheckArity(line, 1, 1, "fpu N");
    if (!CurrentBody().SetFramesPerUnit(Frame(line.words[1], "N"))) {
        throw CommandError("the frames per unit are refused: " + line.words[1]);
    }
}

void Runner::Timeline(const ScriptLine& line) {
    CheckArity(line, 1, 1, "timeline FRAME");
    CurrentBody().SetTimeLinePos(Frame(line.words[1], "FRAME"));
}

void Runner::PlayStopAt(const ScriptLine& line) {
    CheckArity(line, 1, 1, "play-stop-at FRAME|none");
    if (line.words[1] == "none") {
        m_scene->SetStopAtFrame(std::nullopt);
        return;
    }
    m_scene->SetStopAtFrame(Frame(line.words[1], "FRAME"));
}

void Runner::Range(const ScriptLine& line) {
    CheckArity(line, 2, 2, "range START END");
    CurrentBody().SetRange(Frame(line.words[1], "START"), Frame(line.words[2], "END"));
}

void Runner::Display(const ScriptLine& line) {
    CheckArity(line, 1, 1, "display frames|timecode");
    CKelSBBodyObj& body = CurrentBody();
    CKelSBBodyAttr attr = body.GetEditAttr();
    if (line.words[1] == "frames") {
        attr.nFrameDisplay = 1;
    } else if (line.words[1] == "timecode") {
        attr.nFrameDisplay = 0;
    } else {
        throw CommandError("usage: display frames|timecode");
    }
    body.SetEditAttr(attr);
}

void Runner::DeleteMode(const ScriptLine& line) {
    CheckArity(line, 1, 1, "deletemode normal|ripple");
    if (line.words[1] != "normal" && line.words[1] != "ripple") {
        throw CommandError("usage: deletemode normal|ripple");
    }
    CurrentBody().SetDeleteMode(line.words[1] == "ripple" ? 1 : 0);
}

} // namespace kel::script
