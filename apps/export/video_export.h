// Export of a storyboard to a video file: the frames the live output shows when it plays, at
// the video standard's raster and rate, encoded by a video file writer. Writers come from the
// FFmpeg libraries when the build found them; without them export is switched off and says why.
#pragma once

#include "platform/win_types.h"

#include <functional>
#include <memory>
#include <string>

class CKelMemBlock;
class CKelPlaySceneObj;

namespace kel::video {

// Lossless FFV1 in Matroska (".mkv"), or H.264 in MP4 (".mp4").
enum class VideoFormat { Ffv1Matroska, H264Mp4 };

// The format a file name asks for by its extension; FFV1 in Matroska for any other.
VideoFormat FormatForPath(const std::string& path);

// Encodes frames into one file. Frames are 32-bit pixels, 0xAARRGGBB, as the live output holds
// them; transparent parts come out black, as on air.
class VideoFileWriter {
public:
    virtual ~VideoFileWriter() = default;
    // False with a reason when the file cannot be made or the format's encoder is missing.
    virtual bool Open(const std::string& path, VideoFormat format, int width, int height,
                      double framesPerSecond, std::string* error) = 0;
    // Every frame the size given to Open.
    virtual bool Write(const CKelMemBlock& frame, std::string* error) = 0;
    // Writes what the encoder still holds and closes the file.
    virtual bool Finish(std::string* error) = 0;
};

// Whether this build can export at all; when not, `why` says so.
bool IsExportAvailable(std::string* why);
// Whether the format's encoder is there (H.264 needs one that the libraries may lack).
bool IsFormatAvailable(VideoFormat format);
// A new writer, or null when export is switched off.
std::unique_ptr<VideoFileWriter> MakeVideoFileWriter();

struct ExportResult {
    bool done = false;
    bool cancelled = false;
    DWORD frames = 0; // frames written
    std::string error;
};

// Renders frames first..last (both included) of the scene's current storyboard as a play puts
// them on the live output and writes them to `path`. `progress(written, total)` is told after
// every frame; it returns false to cancel. The file appears only when it is complete: it is
// written beside `path` under another name and renamed at the end; a failure or a cancel
// leaves nothing behind (and an earlier file at `path` as it was).
ExportResult ExportStoryboard(CKelPlaySceneObj& scene, const std::string& path, DWORD first,
                              DWORD last,
                              const std::function<bool(DWORD written, DWORD total)>& progress);

} // namespace kel::video
