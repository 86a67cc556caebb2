#include "host/effects/io_effect.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/media_info.h"
#include "host/scene/play_piece.h"
#include "host/scene/sample_scene.h"
#include "host/scene/scene_file.h"
#include "platform/archive.h"
#include "platform/file.h"
#include "platform/temp_folder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<BYTE> Stored(const CKelPlaySceneObj& scene) {
    CMemFile file;
    EXPECT_EQ(KelWriteScene(scene, &file).nResult, KEL_SCENE_OK);
    return file.Detach();
}

// The sample without its thumbnails: every structure of a scene file in a few kilobytes, so
// that damage can be tried at every byte.
std::unique_ptr<CKelPlaySceneObj> LeanSample() {
    auto scene = KelCreateSampleScene();
    CKelObList* pieces = scene->GetPieceList();
    for (POSITION pos = pieces->GetHeadPosition(); pos != nullptr;) {
        static_cast<CKelPlayBaseObj*>(pieces->GetNext(pos))->SetThumbnail(ImageData{});
    }
    return scene;
}

std::unique_ptr<CKelPlaySceneObj> Read(std::vector<BYTE> bytes, KelSceneFileStatus* status) {
    CMemFile file(std::move(bytes));
    return KelReadScene(&file, status);
}

// Replaces the first little-endian occurrence of `from` in stored bytes.
bool Replace(std::vector<BYTE>& bytes, DWORD from, DWORD to) {
    const BYTE pattern[4] = {BYTE(from), BYTE(from >> 8), BYTE(from >> 16), BYTE(from >> 24)};
    auto at = std::search(bytes.begin(), bytes.end(), std::begin(pattern), std::end(pattern));
    if (at == bytes.end()) {
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        at[i] = BYTE(to >> (8 * i));
    }
    return true;
}

void PutBytes(const CString& path, const std::vector<BYTE>& bytes) {
    std::ofstream(path.str(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::vector<BYTE> BytesOf(const CString& path) {
    std::ifstream in(path.str(), std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), {});
}

// The id of a process that has ended.
pid_t GoneProcess() {
    const pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    return child;
}

class SceneFiles : public kel::test::TempFolderTest {
protected:
    CString PathOf(const char* name) const { return CString(Path(name)); }
};

TEST_F(SceneFiles, SavedSceneLoadsBackEqual) {
    auto scene = KelCreateSampleScene();
    // Move away from the sample's defaults so that the round trip carries real changes.
    scene->SetName("Evening");
    scene->SetSBEditWndRect(CRect(-50, 20, 700, 610));
    scene->GetSBEditObj()->SetCurSBBodyIndex(1);
    scene->GetSBEditObj()->GetCurSBBodyObj()->SetTimeLinePos(77);
    EXPECT_FALSE(KelScenesEqual(*scene, *KelCreateSampleScene()));

    ASSERT_EQ(KelSaveSceneFile(*scene, PathOf("a.kscene")).nResult, KEL_SCENE_OK);
    KelSceneFileStatus status;
    auto loaded = KelLoadSceneFile(PathOf("a.kscene"), &status);
    ASSERT_NE(loaded, nullptr) << status.strMessage.str();
    EXPECT_EQ(status.nResult, KEL_SCENE_OK);
    EXPECT_TRUE(status.strMessage.IsEmpty());
    EXPECT_TRUE(KelScenesEqual(*scene, *loaded));
    EXPECT_EQ(loaded->GetSBEditWndRect(), CRect(-50, 20, 700, 610));
    EXPECT_EQ(loaded->GetSBEditObj()->GetCurSBBodyIndex(), 1);

    // Saving again over the file replaces it and leaves no side files behind.
    ASSERT_EQ(KelSaveSceneFile(*KelCreateSampleScene(), PathOf("a.kscene")).nResult, KEL_SCENE_OK);
    loaded = KelLoadSceneFile(PathOf("a.kscene"), &status);
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(KelScenesEqual(*KelCreateSampleScene(), *loaded));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(SceneFiles, SaveThatCannotCreateItsFileReportsIt) {
    auto scene = KelCreateSampleScene();
    KelSceneFileStatus status = KelSaveSceneFile(*scene, PathOf("missing/dir/a.kscene"));
    EXPECT_EQ(status.nResult, KEL_SCENE_OPEN_FAILED);
    EXPECT_FALSE(status.strMessage.IsEmpty());

    status = KelSaveSceneFile(*scene, "");
    EXPECT_NE(status.nResult, KEL_SCENE_OK);

    KelLoadSceneFile(PathOf("nothing-here"), &status);
    EXPECT_EQ(status.nResult, KEL_SCENE_OPEN_FAILED);
}

TEST(SceneRead, TruncatedFilesAreRejectedAtEveryLength) {
    const std::vector<BYTE> bytes = Stored(*LeanSample());
    ASSERT_GT(bytes.size(), 64u);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        KelSceneFileStatus status;
        auto scene = Read(std::vector<BYTE>(bytes.begin(), bytes.begin() + length), &status);
        ASSERT_EQ(scene, nullptr) << "length " << length;
        ASSERT_NE(status.nResult, KEL_SCENE_OK) << "length " << length;
        ASSERT_FALSE(status.strMessage.IsEmpty());
        if (length > 16) {
            ASSERT_EQ(status.nResult, KEL_SCENE_CORRUPT) << "length " << length;
        }
    }
    KelSceneFileStatus status;
    std::vector<BYTE> longer = bytes;
    longer.push_back(0);
    EXPECT_EQ(Read(longer, &status), nullptr);
    EXPECT_EQ(status.nResult, KEL_SCENE_CORRUPT);
}

TEST(SceneRead, DamagedBytesNeverCrashAndNeverHalfLoad) {
    const std::vector<BYTE> bytes = Stored(*LeanSample());
    // Flip each byte in turn: the result is either a complete scene or a clear failure.
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        for (BYTE mask : {BYTE{0xFF}, BYTE{0x80}}) {
            std::vector<BYTE> damaged = bytes;
            damaged[i] ^= mask;
            KelSceneFileStatus status;
            auto scene = Read(damaged, &status);
            if (scene) {
                ASSERT_EQ(status.nResult, KEL_SCENE_OK);
                // Whatever loaded is a whole scene that can be stored again.
                ASSERT_FALSE(Stored(*scene).empty()) << "byte " << i;
            } else {
                ASSERT_NE(status.nResult, KEL_SCENE_OK);
                ASSERT_FALSE(status.strMessage.IsEmpty());
            }
        }
    }
}

TEST(SceneRead, ForeignFilesAreNamedAsSuch) {
    KelSceneFileStatus status;
    const std::string text = "This is a text file, not a scene.\n";
    EXPECT_EQ(Read(std::vector<BYTE>(text.begin(), text.end()), &status), nullptr);
    EXPECT_EQ(status.nResult, KEL_SCENE_NOT_A_SCENE);

    // One of our archives, but holding something else.
    CMemFile other;
    {
        CArchive ar(&other, CArchive::store);
        ar << CString("a storyboard snapshot") << 42;
        ar.Close();
    }
    EXPECT_EQ(Read(other.Detach(), &status), nullptr);
    EXPECT_EQ(status.nResult, KEL_SCENE_NOT_A_SCENE);

    // A scene from a later version of the program.
    std::vector<BYTE> bytes = Stored(*KelCreateSampleScene());
    CMemFile newer;
    {
        CArchive ar(&newer, CArchive::store);
        ar.Write("KELSCENE", 8);
        ar << DWORD{2};
        ar.Close();
    }
    EXPECT_EQ(Read(newer.Detach(), &status), nullptr);
    EXPECT_EQ(status.nResult, KEL_SCENE_NEWER_VERSION);
}

TEST_F(SceneFiles, FailedLoadLeavesTheOpenSceneAndTheMediaAlone) {
    auto open = KelCreateSampleScene();
    const std::vector<BYTE> before = Stored(*open);

    auto other = LeanSample();
    KelMediaEntry entry;
    entry.strName = "test:only-in-the-damaged-file";
    entry.movie = {16, 16, 9};
    ASSERT_EQ(other->EmbedMedia(entry), 1);
    const std::vector<BYTE> sound = Stored(*other);
    KelMovieFileInfo info;
    // Cut short, with a byte too many (read whole, then refused), and with a frame past the
    // largest the editor takes (refused deep inside the document).
    std::vector<BYTE> cut(sound.begin(), sound.end() - 3);
    std::vector<BYTE> longer = sound;
    longer.push_back(0);
    other->GetSBEditObj()->GetCurSBBodyObj()->SetTimeLinePos(CKelSBContentBaseObj::kMaxFrame);
    std::vector<BYTE> beyond = Stored(*other);
    ASSERT_TRUE(
        Replace(beyond, CKelSBContentBaseObj::kMaxFrame, CKelSBContentBaseObj::kMaxFrame + 1));
    for (const auto& bytes : {cut, longer, beyond}) {
        kel::host::UnregisterMedia(entry.strName);
        PutBytes(PathOf("refused.kscene"), bytes);
        KelSceneFileStatus status;
        EXPECT_EQ(KelLoadSceneFile(PathOf("refused.kscene"), &status), nullptr);
        EXPECT_NE(status.nResult, KEL_SCENE_OK);
        EXPECT_NE(status.strMessage.Find("refused.kscene"), -1);
        EXPECT_EQ(KelMovieGetFileInfo(entry.strName, &info), 0) << status.strMessage.str();
    }
    EXPECT_EQ(Stored(*open), before);
    // The sound file enters its media.
    PutBytes(PathOf("sound.kscene"), sound);
    EXPECT_NE(KelLoadSceneFile(PathOf("sound.kscene"), nullptr), nullptr);
    EXPECT_EQ(KelMovieGetFileInfo(entry.strName, &info), 1);
    kel::host::UnregisterMedia(entry.strName);
}

TEST(SceneRead, FramesPastTheLargestAreRefusedByName) {
    constexpr DWORD kMax = CKelSBContentBaseObj::kMaxFrame;
    struct Case {
        const char* what;
        std::function<void(CKelSBBodyObj&)> set; // puts kMax - offset where the value goes
        DWORD offset;
    };
    const Case cases[] = {
        {"frames per unit", [](CKelSBBodyObj& b) { b.SetFramesPerUnit(kMax - 1); }, 1},
        {"time line", [](CKelSBBodyObj& b) { b.SetTimeLinePos(kMax - 2); }, 2},
        {"range end", [](CKelSBBodyObj& b) { b.SetRange(0, kMax - 3); }, 3},
        {"story out",
         [](CKelSBBodyObj& b) {
             auto* container = new CKelSBContainerObj;
             auto* content = new CKelSBContentPieceStayObj;
             content->Init(0, KelGUID{}, kMax - 104, kMax - 4, nullptr);
             container->AddContent(content); // the container owns its materials
             b.AddContainer(container);
         },
         4},
    };
    for (const Case& c : cases) {
        auto scene = LeanSample();
        c.set(*scene->GetSBEditObj()->GetCurSBBodyObj());
        std::vector<BYTE> bytes = Stored(*scene);
        // At the largest frame the scene loads; one past it is refused, naming the value.
        ASSERT_TRUE(Replace(bytes, kMax - c.offset, kMax)) << c.what;
        KelSceneFileStatus status;
        EXPECT_NE(Read(bytes, &status), nullptr) << c.what << ": " << status.strMessage.str();
        ASSERT_TRUE(Replace(bytes, kMax, kMax + 1)) << c.what;
        EXPECT_EQ(Read(bytes, &status), nullptr) << c.what;
        EXPECT_EQ(status.nResult, KEL_SCENE_UNSUPPORTED) << c.what;
        EXPECT_NE(status.strMessage.Find(c.what), -1) << status.strMessage.str();
        EXPECT_NE(status.strMessage.Find("82944001"), -1) << status.strMessage.str();
    }
}

TEST(SceneRead, PieceRectanglesReachingTooFarAreRefusedByName) {
    auto scene = LeanSample();
    auto* piece = static_cast<CKelPlayBaseObj*>(scene->GetPieceList()->GetHead());
    piece->SetRect(CRect(-1000000, 0, 720, 576));
    std::vector<BYTE> bytes = Stored(*scene);
    KelSceneFileStatus status;
    EXPECT_NE(Read(bytes, &status), nullptr) << status.strMessage.str();
    // One changed byte puts the left edge at the smallest integer: its width would overflow.
    ASSERT_TRUE(Replace(bytes, static_cast<DWORD>(-1000000), 0x80000000u));
    EXPECT_EQ(Read(bytes, &status), nullptr);
    EXPECT_EQ(status.nResult, KEL_SCENE_UNSUPPORTED);
    EXPECT_NE(status.strMessage.Find("piece rectangle"), -1) << status.strMessage.str();
}

TEST(SceneRead, AnEffectLongerOrShorterThanItsMaterialLoadsAsLongAsIt) {
    auto scene = LeanSample();
    auto* content = static_cast<CKelSBContentPieceBaseObj*>(
        scene->GetSBEditObj()->GetCurSBBodyObj()->GetContainerObj(1)->GetContentObj(0));
    ASSERT_NE(content->GetIOSoftEffect(), nullptr);
    const DWORD length = content->GetDuration();
    const std::vector<BYTE> asWritten = Stored(*scene);
    // As another program might have written it.
    content->GetIOSoftEffect()->SetPlayDuration(length + 7);
    KelSceneFileStatus status;
    auto loaded = Read(Stored(*scene), &status);
    ASSERT_NE(loaded, nullptr) << status.strMessage.str();
    const auto* back = static_cast<const CKelSBContentPieceBaseObj*>(
        loaded->GetSBEditObj()->GetCurSBBodyObj()->GetContainerObj(1)->GetContentObj(0));
    EXPECT_EQ(back->GetIOSoftEffect()->GetPlayDuration(), length);
    EXPECT_EQ(Stored(*loaded), asWritten);
}

TEST_F(SceneFiles, OnlyRegularFilesAreRead) {
    ASSERT_EQ(mkfifo(PathOf("pipe").GetString(), 0600), 0);
    const std::pair<CString, const char*> refused[] = {
        {PathOf("pipe"), "not a regular file"},
        {CString(m_dir.string()), "a folder"},
        {"/dev/zero", "not a regular file"},
        {"", "No file name"},
    };
    for (const auto& [path, why] : refused) {
        KelSceneFileStatus status;
        EXPECT_EQ(KelLoadSceneFile(path, &status), nullptr) << path.str();
        EXPECT_EQ(status.nResult, KEL_SCENE_OPEN_FAILED) << path.str();
        EXPECT_NE(status.strMessage.Find(why), -1) << status.strMessage.str();
    }
}

TEST_F(SceneFiles, SavingWritesOnlyThroughItsOwnNewFile) {
    namespace fs = std::filesystem;
    auto scene = LeanSample();
    const CString target = PathOf("a.kscene");
    const std::string temp0 = target.str() + ".save-" + std::to_string(getpid()) + "-0";
    // A link planted where the first new file would go must not carry the data away.
    PutBytes(PathOf("victim"), {'v'});
    fs::create_symlink(PathOf("victim").str(), temp0);
    // What a killed process left is tidied; what a running one writes is not.
    const pid_t gone = GoneProcess();
    const std::string stale = target.str() + ".save-" + std::to_string(gone) + "-3";
    const std::string running = target.str() + ".save-" + std::to_string(getppid()) + "-0";
    PutBytes(stale, {'s'});
    PutBytes(running, {'r'});
    PutBytes(target, {'o', 'l', 'd'});
    ASSERT_EQ(chmod(target.GetString(), 0640), 0);

    ASSERT_EQ(KelSaveSceneFile(*scene, target).nResult, KEL_SCENE_OK);
    EXPECT_EQ(BytesOf(PathOf("victim")), std::vector<BYTE>{'v'});
    EXPECT_EQ(BytesOf(target), Stored(*scene));
    EXPECT_EQ(fs::status(target.str()).permissions(), static_cast<fs::perms>(0640));
    EXPECT_FALSE(fs::exists(fs::symlink_status(stale)));
    EXPECT_TRUE(fs::exists(running));
    EXPECT_TRUE(fs::is_symlink(temp0));

    // Saving through a link replaces the file it points to; the link stays a link.
    const CString link = PathOf("link.kscene");
    fs::create_symlink(target.str(), link.str());
    auto other = KelCreateSampleScene();
    ASSERT_EQ(KelSaveSceneFile(*other, link).nResult, KEL_SCENE_OK);
    EXPECT_TRUE(fs::is_symlink(link.str()));
    EXPECT_EQ(BytesOf(target), Stored(*other));
}

} // namespace
