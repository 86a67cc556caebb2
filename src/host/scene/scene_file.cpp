#include "host/scene/scene_file.h"

#include "platform/archive.h"
#include "platform/exceptions.h"
#include "platform/file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <iterator>
#include <new>
#include <string>
#include <unistd.h>

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
        scene = std::move(fresh);
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
    // A new file beside the target, so the rename below replaces it in one step.
    std::string temp;
    for (int attempt = 0; attempt < 100 && temp.empty(); ++attempt) {
        std::string name =
            strPath.str() + ".save-" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            close(fd);
            temp = name;
        } else if (errno != EEXIST) {
            break;
        }
    }
    if (temp.empty()) {
        return Fail(KEL_SCENE_OPEN_FAILED, "The scene file " + strPath + " cannot be created");
    }
    KelSceneFileStatus status;
    {
        CFile file;
        CFileException error;
        if (!file.Open(temp.c_str(), CFile::modeWrite | CFile::typeBinary, &error)) {
            status =
                Fail(KEL_SCENE_OPEN_FAILED, "The scene file " + strPath +
                                                " cannot be created: " + error.GetErrorMessage());
        } else {
            status = KelWriteScene(scene, &file);
            if (status.nResult == KEL_SCENE_OK) {
                try {
                    file.Close();
                } catch (const CException& e) {
                    status = Fail(KEL_SCENE_WRITE_FAILED,
                                  "The scene could not be written: " + e.GetErrorMessage());
                }
            }
        }
    }
    if (status.nResult == KEL_SCENE_OK && std::rename(temp.c_str(), strPath.GetString()) != 0) {
        status = Fail(KEL_SCENE_WRITE_FAILED, "The scene file " + strPath + " cannot be replaced");
    }
    if (status.nResult != KEL_SCENE_OK) {
        unlink(temp.c_str());
    }
    return status;
}

std::unique_ptr<CKelPlaySceneObj> KelLoadSceneFile(const CString& strPath,
                                                   KelSceneFileStatus* pStatus) {
    CFile file;
    CFileException error;
    if (strPath.IsEmpty() ||
        !file.Open(strPath.GetString(), CFile::modeRead | CFile::typeBinary, &error)) {
        if (pStatus != nullptr) {
            *pStatus =
                Fail(KEL_SCENE_OPEN_FAILED,
                     "The scene file " + strPath + " cannot be opened: " + error.GetErrorMessage());
        }
        return nullptr;
    }
    auto scene = KelReadScene(&file, pStatus);
    if (!scene && pStatus != nullptr) {
        pStatus->strMessage = strPath + ": " + pStatus->strMessage;
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
