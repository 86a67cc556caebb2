// Whole-file reads and replacements for files a user may have been handed by someone else, or
// whose folder others can write to. Reading never blocks on a pipe or a device and never takes
// more than the caller allows; replacing never writes through a link planted beside the target
// and never leaves a half-written target behind.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace kel::platform {

enum class ReadStatus {
    ok,
    missing,    // nothing at the path (or a folder on the way is missing)
    notRegular, // a folder, a pipe, a device or a socket
    tooLarge,   // larger than the caller's limit
    failed,     // no permission, an input/output error, ...
};

// Reads the regular file at `path` whole into `data` (left alone unless ok). `osError`, when
// given, receives the errno of a failed call (0 otherwise).
ReadStatus ReadRegularFile(const char* path, std::size_t maxBytes, std::string& data,
                           int* osError = nullptr);

// Replaces the file at `path` with `data`: written into a new, exclusively created file beside
// it (named PATH.save-PID-RANDOM, a name no other user can take in advance) through the
// descriptor that created it, flushed to the disk, renamed over the target, and the folder
// flushed too, so that a power loss at any point leaves the old file or the new one whole.
// The target's permission bits are kept; a target that is a symbolic link stays one and the
// file it points to is replaced. In a sticky folder that everyone may write to, a link or a
// file that another user (not the folder's owner) placed there is refused, as the kernel
// refuses to follow or open them. Files that a killed process left beside the target
// (PATH.save-PID-* of a process that is gone) are removed on the way. On failure `error` says
// why and the target is untouched, except when the folder cannot be flushed after the rename:
// then the target holds the new data, which a power loss might still undo.
enum class ReplaceStatus {
    ok,
    createFailed, // nothing could be created beside the target (no folder, no permission, ...)
    writeFailed,  // the new file could not be written, flushed or renamed over the target
};
ReplaceStatus ReplaceFileContents(const char* path, std::string_view data,
                                  std::string* error = nullptr);

// True when no process with this id runs any more (a process of another user still counts as
// running).
bool IsProcessGone(pid_t pid);

// The process id in a name of the form PREFIX + PID + "-" + anything, 0 for any other name:
// files and folders a process names after itself, to be tidied once it is gone.
pid_t ProcessIdInName(std::string_view name, std::string_view prefix);

} // namespace kel::platform
