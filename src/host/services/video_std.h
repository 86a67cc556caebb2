// The house video standard: frame rate, timecode and the output raster. One standard serves the
// whole process; the host sets it from its output configuration at start-up.
#pragma once

#include "platform/cstring.h"
#include "platform/geometry.h"
#include "platform/win_types.h"

class CKelVideoStd {
public:
    // Frames per second as configured (29.97 stays 29.97). Defaults to 25.
    static double GetFrameRate();
    // Refuses (0) a rate that is not a positive, finite number of at most 1000 frames per second.
    static int SetFrameRate(double framesPerSecond);

    // Timecode counts frames on the rounded nominal rate (30 for 29.97), non-drop-frame.
    // Hours keep counting past 23 so that long durations never read as short ones.
    static int GetTimecodeBase();
    static void FrameToTC(DWORD frame, int& hours, int& minutes, int& seconds, int& frames);
    // "HH:MM:SS:FF".
    static CString FrameToTCStr(DWORD frame);

    // The output raster in pixels, (0, 0, 1920, 1080) unless the host sets another.
    static CRect GetResRect();
    static int SetResRect(const CRect& raster); // refuses an empty raster
};
