#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/media_info.h"
#include "host/scene/sample_scene.h"
#include "host/scene/scene_file.h"
#include "platform/archive.h"
#include "platform/file.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
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

class SceneFiles : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir =
            std::filesystem::temp_directory_path() / ("kel-scene-test-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    CString PathOf(const char* name) const { return CString((m_dir / name).string()); }

    std::filesystem::path m_dir;
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

    auto other = KelCreateSampleScene();
    KelMediaEntry entry;
    entry.strName = "test:only-in-the-damaged-file";
    entry.movie = {16, 16, 9};
    ASSERT_EQ(other->EmbedMedia(entry), 1);
    kel::host::UnregisterMedia(entry.strName);
    std::vector<BYTE> bytes = Stored(*other);
    bytes.resize(bytes.size() - 3);
    {
        std::ofstream(PathOf("cut.kscene").str(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    KelSceneFileStatus status;
    std::unique_ptr<CKelPlaySceneObj> loaded = KelLoadSceneFile(PathOf("cut.kscene"), &status);
    EXPECT_EQ(loaded, nullptr);
    EXPECT_EQ(status.nResult, KEL_SCENE_CORRUPT);
    EXPECT_NE(status.strMessage.Find("cut.kscene"), -1);
    EXPECT_EQ(Stored(*open), before);
    KelMovieFileInfo info;
    EXPECT_EQ(KelMovieGetFileInfo(entry.strName, &info), 0);
}

} // namespace
