#include "platform/file_faults.h"

#include <utility>

namespace kel::platform {

namespace {

FileFaultHook& Hook() {
    static FileFaultHook hook;
    return hook;
}

} // namespace

void SetFileFaultHook(FileFaultHook hook) {
    Hook() = std::move(hook);
}

int InjectedFileFault(FileOp op, const char* path) {
    const FileFaultHook& hook = Hook();
    return hook ? hook(op, path ? path : "") : 0;
}

} // namespace kel::platform
