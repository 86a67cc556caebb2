// libFuzzer target: any bytes handed to the scene reader. A file is either refused with a
// reason or loads into a scene that stores back to bytes which load into an equal scene, with
// every frame within the editor's largest.
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/scene_file.h"
#include "platform/file.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

void CheckFrames(const CKelPlaySceneObj& scene) {
    const CKelSBEditObj* document = scene.GetSBEditObj();
    for (int i = 0; document && i < document->GetSBBodyCount(); ++i) {
        const CKelSBBodyObj* body = document->GetSBBodyObj(i);
        Require(body->GetFramesPerUnit() >= 1);
        Require(body->GetFramesPerUnit() <= CKelSBContentBaseObj::kMaxFrame);
        Require(body->GetTimeLinePos() <= CKelSBContentBaseObj::kMaxFrame);
        Require(body->GetRangeEnd() <= CKelSBContentBaseObj::kMaxFrame);
        Require(body->GetDuration() <= CKelSBContentBaseObj::kMaxFrame);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CMemFile file(std::vector<BYTE>(data, data + size));
    KelSceneFileStatus status;
    std::unique_ptr<CKelPlaySceneObj> scene = KelReadScene(&file, &status);
    if (!scene) {
        Require(status.nResult != KEL_SCENE_OK && !status.strMessage.IsEmpty());
        return 0;
    }
    CheckFrames(*scene);
    CMemFile stored;
    Require(KelWriteScene(*scene, &stored).nResult == KEL_SCENE_OK);
    stored.SeekToBegin();
    std::unique_ptr<CKelPlaySceneObj> again = KelReadScene(&stored, &status);
    Require(again != nullptr);
    Require(KelScenesEqual(*scene, *again));
    return 0;
}
