#include "host/scene/scene_file.h"

#include "host/base/kel_object.h"
#include "platform/archive.h"
#include "platform/exceptions.h"
#include "platform/file.h"
#include "platform/safe_files.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr char kSceneMagic[8] = {'K', 'E', 'L', 'S', 'C', 'E', 'N', 'E'};
constexpr DWORD kSceneVersion = 1;

KelSceneFileStatus Fail(int result, const CString& message) {
    return KelSceneFileStatus{result, message};
}

// Loading a scene goes through two stages: the header says whether this is a scene at all;
// after it, any failure means the file is damaged.
KelSceneFileStatus Classify(const CArchiveException& e, bool inHeader) {
    if (e.m_cause == CArchiveException::badSchema) {
        return Fail(KEL_SCENE_NEWER_VERSION,
                    "The scene was written by a newer version of the program");
    }
    if (inHeader && e.m_cause == CArchiveException::genericException) {
        return Fail(KEL_SCENE_NOT_A_SCENE, "The file is not a scene");
    }
    if (inHeader && e.m_cause == CArchiveException::endOfFile) {
        return Fail(KEL_SCENE_CORRUPT, "The scene file ends before its header");
    }
    return Fail(KEL_SCENE_CORRUPT, "The scene file is damaged: " + e.GetErrorMessage());
}

// Why a scene file could not be opened, in the user's words.
CString OpenFailure(const CFileException& e) {
    if (e.m_lOsError == EISDIR) {
        return "it is a folder";
    }
    if (e.m_cause == CFileException::invalidFile) {
        return "it is not a regular file (a pipe, a device or a socket)";
    }
    return e.GetErrorMessage();
}

} // namespace

KelSceneFileStatus KelWriteScene(const CKelPlaySceneObj& scene, CFile* pFile) {
    if (pFile == nullptr) {
        return Fail(KEL_SCENE_WRITE_FAILED, "No file to write the scene to");
    }
    try {
        CArchive ar(pFile, CArchive::store);
        ar.Write(kSceneMagic, sizeof kSceneMagic);
        ar << kSceneVersion;
        // Storing does not change the scene; Serialize is one function for both directions.
        const_cast<CKelPlaySceneObj&>(scene).Serialize(ar);
        ar.Close();
    } catch (const CException& e) {
        return Fail(KEL_SCENE_WRITE_FAILED,
                    "The scene could not be written: " + e.GetErrorMessage());
    } catch (const std::bad_alloc&) {
        return Fail(KEL_SCENE_WRITE_FAILED, "Out of memory while writing the scene");
    }
    return {};
}

std::unique_ptr<CKelPlaySceneObj> KelReadScene(CFile* pFile, KelSceneFileStatus* pStatus) {
    KelSceneFileStatus status;
    std::unique_ptr<CKelPlaySceneObj> scene;
    bool inHeader = true;
    try {
        if (pFile == nullptr) {
            throw CFileException(CFileException::genericException);
        }
        CArchive ar(pFile, CArchive::load);
        char magic[sizeof kSceneMagic] = {};
        if (ar.Read(magic, sizeof magic) != sizeof magic) {
            throw CArchiveException(CArchiveException::endOfFile);
        }
        if (!std::equal(std::begin(magic), std::end(magic), std::begin(kSceneMagic))) {
            throw CArchiveException(CArchiveException::genericException);
        }
        DWORD version = 0;
        ar >> version;
        if (version > kSceneVersion) {
            throw CArchiveException(CArchiveException::badSchema);
        }
        if (version == 0) {
            throw CArchiveException(CArchiveException::genericException);
        }
        inHeader = false;
        auto fresh = std::make_unique<CKelPlaySceneObj>();
        fresh->Serialize(ar);
        // Data behind the scene means it was not written as one.
        if (ar.GetBytesLeft() != 0) {
            throw CArchiveException(CArchiveException::genericException);
        }
        ar.Close();
        // Only a scene read whole and found sound enters its media: a refused file must leave
        // the catalogue as it was.
        fresh->RegisterEmbeddedMedia();
        scene = std::move(fresh);
    } catch (const CKelValueLimitException& e) {
        status = Fail(KEL_SCENE_UNSUPPORTED, "The scene cannot be opened: " + e.GetErrorMessage());
    } catch (const CArchiveException& e) {
        status = Classify(e, inHeader);
    } catch (const CFileException& e) {
        status = Fail(KEL_SCENE_CORRUPT, "The scene could not be read: " + e.GetErrorMessage());
    } catch (const CException& e) {
        status = Fail(KEL_SCENE_CORRUPT, "The scene file is damaged: " + e.GetErrorMessage());
    } catch (const std::bad_alloc&) {
        status = Fail(KEL_SCENE_CORRUPT, "The scene file is damaged: it asks for too much memory");
    }
    if (pStatus != nullptr) {
        *pStatus = status;
    }
    return scene;
}

KelSceneFileStatus KelSaveSceneFile(const CKelPlaySceneObj& scene, const CString& strPath) {
    if (strPath.IsEmpty()) {
        return Fail(KEL_SCENE_OPEN_FAILED, "No file name for the scene");
    }
    // The whole scene is stored first, so that nothing touches the disk unless it can be
    // written completely.
    CMemFile stored;
    KelSceneFileStatus status = KelWriteScene(scene, &stored);
    if (status.nResult != KEL_SCENE_OK) {
        return status;
    }
    const std::vector<BYTE>& bytes = stored.GetBuffer();
    std::string error;
    switch (kel::platform::ReplaceFileContents(
        strPath.GetString(),
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), &error)) {
    case kel::platform::ReplaceStatus::ok:
        return {};
    case kel::platform::ReplaceStatus::createFailed:
        return Fail(KEL_SCENE_OPEN_FAILED,
                    "The scene file " + strPath + " cannot be created: " + CString(error));
    default:
        return Fail(KEL_SCENE_WRITE_FAILED,
                    "The scene file " + strPath + " cannot be written: " + CString(error));
    }
}

std::unique_ptr<CKelPlaySceneObj> KelLoadSceneFile(const CString& strPath,
                                                   KelSceneFileStatus* pStatus) {
    KelSceneFileStatus status;
    std::unique_ptr<CKelPlaySceneObj> scene;
    CFile file;
    CFileException error;
    if (strPath.IsEmpty()) {
        status = Fail(KEL_SCENE_OPEN_FAILED, "No file name for the scene");
    } else if (!file.Open(strPath.GetString(), CFile::modeRead | CFile::typeBinary, &error)) {
        status = Fail(KEL_SCENE_OPEN_FAILED,
                      "The scene file " + strPath + " cannot be opened: " + OpenFailure(error));
    } else {
        scene = KelReadScene(&file, &status);
        if (!scene) {
            status.strMessage = strPath + ": " + status.strMessage;
        }
    }
    if (pStatus != nullptr) {
        *pStatus = status;
    }
    return scene;
}

bool KelScenesEqual(const CKelPlaySceneObj& a, const CKelPlaySceneObj& b) {
    CMemFile fileA;
    CMemFile fileB;
    if (KelWriteScene(a, &fileA).nResult != KEL_SCENE_OK ||
        KelWriteScene(b, &fileB).nResult != KEL_SCENE_OK) {
        return false;
    }
    return fileA.GetBuffer() == fileB.GetBuffer();
}
