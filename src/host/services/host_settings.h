// Host-wide switches that the editor consults or flips: single-key shortcuts and automatic
// saving of the host's document.
#pragma once

#include <functional>

// Non-zero when single-key shortcuts are active (the default).
int KelDoesUseHotKey();
void KelSetUseHotKey(int use);

// The editor turns automatic saving off around playback; the host's saver checks the state.
void KelEnableAutoSave(int enable);
int KelIsAutoSaveEnabled();

// Called with the new state whenever automatic saving is switched, before the switch takes
// effect when it goes off: a saver writes what waits before the pause. Returns a number for
// KelRemoveAutoSaveListener.
int KelAddAutoSaveListener(std::function<void(bool enabled)> listener);
void KelRemoveAutoSaveListener(int id);
