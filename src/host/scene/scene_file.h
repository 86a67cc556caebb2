// Scene files: a whole scene (pieces, embedded media and the storyboard document) in one file.
#pragma once

#include "host/scene/play_scene.h"
#include "platform/cstring.h"

#include <memory>

class CFile;

enum KelSceneFileResult : int {
    KEL_SCENE_OK = 0,
    KEL_SCENE_OPEN_FAILED = 1,   // the file cannot be opened or created
    KEL_SCENE_NOT_A_SCENE = 2,   // another kind of file
    KEL_SCENE_NEWER_VERSION = 3, // written by a newer program
    KEL_SCENE_CORRUPT = 4,       // truncated or damaged
    KEL_SCENE_WRITE_FAILED = 5,  // disk full or similar while saving
    KEL_SCENE_UNSUPPORTED = 6,   // holds a value beyond what the editor supports (a frame)
};

struct KelSceneFileStatus {
    int nResult = KEL_SCENE_OK;
    CString strMessage; // empty on success
};

// Saving writes a new file beside the target and renames it over the target only when complete,
// so a failed save leaves any existing file as it was.
KelSceneFileStatus KelSaveSceneFile(const CKelPlaySceneObj& scene, const CString& strPath);
// Loads into a new scene; null on failure (pStatus says why). The caller's open scene is never
// touched: replace it with the result only on success.
std::unique_ptr<CKelPlaySceneObj> KelLoadSceneFile(const CString& strPath,
                                                   KelSceneFileStatus* pStatus);

// The same over an open file (a CMemFile, for instance), from its current position.
KelSceneFileStatus KelWriteScene(const CKelPlaySceneObj& scene, CFile* pFile);
std::unique_ptr<CKelPlaySceneObj> KelReadScene(CFile* pFile, KelSceneFileStatus* pStatus);

// True when both scenes store to the same bytes.
bool KelScenesEqual(const CKelPlaySceneObj& a, const CKelPlaySceneObj& b);
