// Export of the current storyboard to a video file, as the studio's File > Export Video does it.
#include "runner.h"
#include "video_export.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_content.h"

namespace kel::script {

namespace {

DWORD FrameWord(const std::string& word, const char* what) {
    return static_cast<DWORD>(ParseInteger(word, what, 0, CKelSBContentBaseObj::kMaxFrame));
}

} // namespace

void Runner::Export(const ScriptLine& line) {
    const char* usage = "export FILE [START END]";
    CheckArity(line, 1, 3, usage);
    if (line.words.size() == 3) {
        throw UsageError(std::string("usage: ") + usage);
    }
    const CKelSBBodyObj& body = CurrentBody();
    const DWORD first = line.words.size() == 4 ? FrameWord(line.words[2], "START") : 0;
    const DWORD last =
        line.words.size() == 4 ? FrameWord(line.words[3], "END") : body.GetDuration();
    const kel::video::ExportResult result =
        kel::video::ExportStoryboard(*m_scene, line.words[1], first, last, {});
    if (!result.done) {
        throw CommandError("export failed: " + result.error);
    }
}

} // namespace kel::script
