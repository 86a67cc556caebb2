// Host-wide switches that the editor consults or flips: single-key shortcuts and automatic
// saving of the host's document.
#pragma once

// Non-zero when single-key shortcuts are active (the default).
int KelDoesUseHotKey();
void KelSetUseHotKey(int use);

// The editor turns automatic saving off around playback; the host's saver checks the state.
void KelEnableAutoSave(int enable);
int KelIsAutoSaveEnabled();
