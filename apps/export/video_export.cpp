#include "video_export.h"

#include "host/base/kel_memblock.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_frames.h"
#include "host/scene/play_scene.h"
#include "host/services/video_std.h"

#include <cstdio>
#include <exception>
#include <unistd.h>

namespace kel::video {

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    if (text.size() < end.size())
        return false;
    for (std::size_t i = 0; i < end.size(); ++i) {
        const char c = text[text.size() - end.size() + i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != end[i])
            return false;
    }
    return true;
}

// The name the file is written under until it is complete: beside it, so that the rename
// stays on one file system, and hidden.
std::string PartPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "." + name + ".part" + std::to_string(::getpid()) +
           (FormatForPath(path) == VideoFormat::H264Mp4 ? ".mp4" : ".mkv");
}

} // namespace

VideoFormat FormatForPath(const std::string& path) {
    return EndsWith(path, ".mp4") ? VideoFormat::H264Mp4 : VideoFormat::Ffv1Matroska;
}

ExportResult ExportStoryboard(CKelPlaySceneObj& scene, const std::string& path, DWORD first,
                              DWORD last,
                              const std::function<bool(DWORD written, DWORD total)>& progress) {
    ExportResult result;
    std::string why;
    if (!IsExportAvailable(&why)) {
        result.error = why;
        return result;
    }
    CKelSBBodyObj* body = scene.GetSBEditObj() ? scene.GetSBEditObj()->GetCurSBBodyObj() : nullptr;
    if (body == nullptr) {
        result.error = "the scene has no current storyboard";
        return result;
    }
    if (last < first) {
        result.error = "the last frame comes before the first";
        return result;
    }
    const VideoFormat format = FormatForPath(path);
    if (!IsFormatAvailable(format)) {
        result.error = "the H.264 encoder is missing from the FFmpeg libraries";
        return result;
    }
    const std::string part = PartPath(path);
    const CRect raster = CKelVideoStd::GetResRect();
    std::unique_ptr<VideoFileWriter> writer = MakeVideoFileWriter();
    bool written = false;
    try {
        if (writer && writer->Open(part, format, raster.Width(), raster.Height(),
                                   CKelVideoStd::GetFrameRate(), &result.error)) {
            CKelPlayFrameRenderer frames(scene, *body);
            CKelMemBlock picture;
            picture.Init(raster.Width(), raster.Height());
            const DWORD total = last - first + 1;
            bool ok = true;
            for (DWORD frame = first; ok; ++frame) {
                frames.Seek(frame);
                if (frames.PictureChanged())
                    frames.Render(picture);
                ok = writer->Write(picture, &result.error);
                if (ok)
                    ++result.frames;
                if (ok && progress && !progress(result.frames, total)) {
                    result.cancelled = true;
                    ok = false;
                }
                if (frame == last)
                    break;
            }
            written = ok && writer->Finish(&result.error);
        }
    } catch (const std::exception& e) {
        result.error = e.what();
        written = false;
    }
    writer.reset(); // the file is closed before it is renamed or removed
    if (written && std::rename(part.c_str(), path.c_str()) == 0) {
        result.done = true;
        return result;
    }
    if (written)
        result.error = "cannot rename the finished file to " + path;
    std::remove(part.c_str());
    return result;
}

} // namespace kel::video
