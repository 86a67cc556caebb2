// This build has no FFmpeg libraries: export is switched off.
#include "video_export.h"

namespace kel::video {

bool IsExportAvailable(std::string* why) {
    if (why != nullptr)
        *why = "video export is switched off: this build was made without the FFmpeg libraries "
               "(libavcodec, libavformat, libswscale)";
    return false;
}

bool IsFormatAvailable(VideoFormat /*format*/) {
    return false;
}

std::unique_ptr<VideoFileWriter> MakeVideoFileWriter() {
    return nullptr;
}

} // namespace kel::video
