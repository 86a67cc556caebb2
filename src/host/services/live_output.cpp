#include "host/services/live_output.h"

#include "host/base/kel_memblock.h"
#include "host/services/video_std.h"

#include <utility>

namespace {

struct LiveOutput {
    CKelMemBlock block;
    int clears = 0;
    int updates = 0;
    int lastUpdateFlag = 0;
    long long fields = 0;
    std::function<void(int)> window;
    std::function<void(int)> fieldClock;
};

LiveOutput& output() {
    static LiveOutput s;
    return s;
}

// The buffer follows the video standard: a raster change makes a fresh, cleared buffer.
CKelMemBlock& sizedBlock() {
    CKelMemBlock& block = output().block;
    const CRect raster = CKelVideoStd::GetResRect();
    if (block.IsEmpty() || block.GetWidth() != raster.Width() ||
        block.GetHeight() != raster.Height())
        block.Init(raster.Width(), raster.Height());
    return block;
}

} // namespace

void CKelDrvGFB::ClearScreenLive() {
    sizedBlock().Fill(0);
    ++output().clears;
}

void CKelDrvGFB::UpdateOutLiveWnd(int flag) {
    ++output().updates;
    output().lastUpdateFlag = flag;
    if (output().window)
        output().window(flag);
}

void CKelDrvGFB::SetOutputWindow(std::function<void(int flag)> refresh) {
    output().window = std::move(refresh);
}

CKelMemBlock* CKelDrvGFB::GetBlockOut() {
    CKelMemBlock& block = sizedBlock();
    return block.IsEmpty() ? nullptr : &block;
}

int CKelDrvGFB::GetClearCount() {
    return output().clears;
}
int CKelDrvGFB::GetUpdateCount() {
    return output().updates;
}
int CKelDrvGFB::GetLastUpdateFlag() {
    return output().lastUpdateFlag;
}

void CKelDrvGFB::ResetCounters() {
    output().clears = 0;
    output().updates = 0;
    output().lastUpdateFlag = 0;
}

int CKelDrvSys::WaitField(int count, int /*flag*/) {
    if (count <= 0)
        return 0;
    output().fields += count;
    if (output().fieldClock)
        output().fieldClock(count);
    return count;
}

void CKelDrvSys::SetFieldClock(std::function<void(int count)> clock) {
    output().fieldClock = std::move(clock);
}

long long CKelDrvSys::GetFieldCount() {
    return output().fields;
}
