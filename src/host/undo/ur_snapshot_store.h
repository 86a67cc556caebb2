// Where undo commands keep the objects they take away: one store per process, its bytes in one
// file that has no name (it goes with the process, however the process ends), in a folder
// private to the process. The names KelGetUniqueURFileName hands out are the keys; a snapshot
// costs its bytes, not a file.
//
// A store is live while its process holds the lock on its folder. A process that starts a store
// removes the folders of ours that nobody holds any more (left by a process that was killed),
// whatever namespace the process that made them ran in.
//
// Writes are gathered in memory and go to the file a quarter of a megabyte at a time; reads
// come through a window of the file, so a series restored in the order it was written costs a
// read per window. The space of erased entries is given back by copying the live ones into a
// fresh file once the file holds more than twice the live bytes (plus some slack), so the file
// stays under twice its live bytes plus 1 MiB.
#pragma once

#include "platform/cstring.h"
#include "platform/win_types.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kel::host {

struct URSnapshotUsage {
    std::size_t entries = 0;
    std::uint64_t liveBytes = 0;   // what the entries hold
    std::uint64_t storedBytes = 0; // the file and the write buffer, erased entries' space included
    std::size_t memoryBytes = 0;   // the index, the write buffer and the read window
};

// Stores `bytes` under the key, replacing what it held. False when they could not be kept (no
// private folder, a full disk, an input/output error, a key that was not handed out by this
// process): the caller then keeps the object itself, and the key and every other entry keep
// what they held.
bool WriteURSnapshot(const CString& key, const std::vector<BYTE>& bytes);
// The bytes stored under the key, as often as asked. False, leaving `bytes` empty, when there
// is no such entry or it cannot be read.
bool ReadURSnapshot(const CString& key, std::vector<BYTE>& bytes);
bool HasURSnapshot(const CString& key);
// The bytes stored under the key, 0 for none.
std::size_t GetURSnapshotSize(const CString& key);
// Forgets the entries; keys it does not hold are passed over.
void EraseURSnapshots(const CString* keys, std::size_t count);
inline void EraseURSnapshot(const CString& key) {
    EraseURSnapshots(&key, 1);
}

// Writes what is gathered in memory to the store's file. False when it could not be written; it
// then stays in memory.
bool FlushURSnapshots();

URSnapshotUsage GetURSnapshotUsage();

// The private snapshot folder of this process ("" before the first key was handed out).
CString GetURSnapshotFolder();

} // namespace kel::host
