#include "host/services/video_std.h"

#include <cmath>

namespace {

struct VideoStandard {
    double frameRate = 25.0;
    CRect raster{0, 0, 1920, 1080};
};

VideoStandard& standard() {
    static VideoStandard s;
    return s;
}

} // namespace

double CKelVideoStd::GetFrameRate() {
    return standard().frameRate;
}

int CKelVideoStd::SetFrameRate(double framesPerSecond) {
    if (!std::isfinite(framesPerSecond) || framesPerSecond <= 0.0 || framesPerSecond > 1000.0)
        return 0;
    // A rate below 0.5 would round to a timecode base of 0.
    if (std::lround(framesPerSecond) < 1)
        return 0;
    standard().frameRate = framesPerSecond;
    return 1;
}

int CKelVideoStd::GetTimecodeBase() {
    return static_cast<int>(std::lround(standard().frameRate));
}

void CKelVideoStd::FrameToTC(DWORD frame, int& hours, int& minutes, int& seconds, int& frames) {
    const DWORD base = static_cast<DWORD>(GetTimecodeBase());
    const DWORD totalSeconds = frame / base;
    frames = static_cast<int>(frame % base);
    seconds = static_cast<int>(totalSeconds % 60);
    minutes = static_cast<int>((totalSeconds / 60) % 60);
    hours = static_cast<int>(totalSeconds / 3600);
}

CString CKelVideoStd::FrameToTCStr(DWORD frame) {
    int h = 0, m = 0, s = 0, f = 0;
    FrameToTC(frame, h, m, s, f);
    CString text;
    text.Format("%02d:%02d:%02d:%02d", h, m, s, f);
    return text;
}

CRect CKelVideoStd::GetResRect() {
    return standard().raster;
}

int CKelVideoStd::SetResRect(const CRect& raster) {
    if (raster.IsRectEmpty())
        return 0;
    standard().raster = raster;
    return 1;
}
