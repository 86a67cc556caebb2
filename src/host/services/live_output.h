// The live output: one frame buffer at the video standard's raster that effects and previews
// render into, and the output window that mirrors it.
#pragma once

#include "platform/win_types.h"

class CKelMemBlock;

class CKelDrvGFB {
public:
    // Fills the live output with transparent black.
    static void ClearScreenLive();
    // Asks the output window to show the buffer again. -1 refreshes everything.
    static void UpdateOutLiveWnd(int flag);
    // The live output buffer, sized to the video standard's raster (re-made when that changed).
    static CKelMemBlock* GetBlockOut();

    // Bookkeeping for the host's output window and for checks.
    static int GetClearCount();
    static int GetUpdateCount();
    static int GetLastUpdateFlag();
    static void ResetCounters();
};

class CKelDrvSys {
public:
    // Waits for `count` video fields. There is no output hardware behind this process, so the
    // fields are counted, not waited for. Returns the number of fields counted in this call.
    static int WaitField(int count, int flag);
    static long long GetFieldCount();
};
