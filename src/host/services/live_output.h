// The live output: one frame buffer at the video standard's raster that effects and previews
// render into, and the output window that mirrors it.
#pragma once

#include "platform/win_types.h"

#include <functional>

class CKelMemBlock;

class CKelDrvGFB {
public:
    // Fills the live output with transparent black.
    static void ClearScreenLive();
    // Asks the output window to show the buffer again. -1 refreshes everything.
    static void UpdateOutLiveWnd(int flag);
    // The live output buffer, sized to the video standard's raster (re-made when that changed).
    static CKelMemBlock* GetBlockOut();

    // The host's output window: told after every UpdateOutLiveWnd, with its flag, so that it
    // shows the buffer again. An empty function removes it.
    static void SetOutputWindow(std::function<void(int flag)> refresh);

    // Bookkeeping for the host's output window and for checks.
    static int GetClearCount();
    static int GetUpdateCount();
    static int GetLastUpdateFlag();
    static void ResetCounters();
};

class CKelDrvSys {
public:
    // Video fields per frame of the house standard (interlaced output).
    static constexpr int kFieldsPerFrame = 2;

    // Waits for `count` video fields. There is no output hardware behind this process, so the
    // fields are counted and handed to the field clock, if a host installed one (a host with a
    // display paces playback with it). Returns the number of fields counted in this call.
    static int WaitField(int count, int flag);
    static long long GetFieldCount();
    // The host's field clock; an empty function leaves the fields only counted.
    static void SetFieldClock(std::function<void(int count)> clock);
};
