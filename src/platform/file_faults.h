// A seam for tests: file operations fail at points a test chooses, as a full disk, a missing
// permission or a failing device would make them fail, to show that nothing is lost when they
// do. Nothing in the product sets a hook; without one every operation runs as it comes.
#pragma once

#include <functional>

namespace kel::platform {

enum class FileOp {
    create,      // a file opened for writing (created or truncated)
    write,       // data written to a file, or (where no flush is announced) flushed to the disk
    rename,      // a file renamed over another
    read,        // a file opened for reading, or read from
    flush,       // a new file's data flushed to the disk (fsync)
    flushFolder, // a folder flushed to the disk, so that names made or replaced in it last
};

// Answers, for an operation on `path`, the errno it fails with, or 0 to let it run.
using FileFaultHook = std::function<int(FileOp op, const char* path)>;

// Installs the hook (an empty one removes it). Tests only.
void SetFileFaultHook(FileFaultHook hook);

// The errno an operation fails with, 0 when it is to run; the file layer asks before each.
int InjectedFileFault(FileOp op, const char* path);

} // namespace kel::platform
