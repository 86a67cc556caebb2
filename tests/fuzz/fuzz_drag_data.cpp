// libFuzzer target: any bytes dropped on the editor's timeline view, in either drag format:
// "CREATE_PIECE_DATA" (a piece dragged in from a host panel) and "MOVE_OBJECT_DATA" (which only
// the view's own drags may carry; bytes from elsewhere must be refused). The first byte picks
// the format, the next four where the drag enters and drops; the rest is the data. The editor
// must take or refuse it, stay consistent, and never read past what it was given.
#include "fuzz_editor.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kel::fuzz::KeepProfileApart();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 6 || size > 1024)
        return 0;
    const bool move = (data[0] & 1) != 0;
    // Points over the view's track rows mostly, its other parts sometimes.
    const auto x = [](std::uint8_t b) { return std::to_string(b * 4); };
    const auto y = [](std::uint8_t b) { return std::to_string(b * 2); };
    static const char* const digits = "0123456789abcdef";
    std::string hex;
    for (std::size_t i = 5; i < size; ++i) {
        hex += digits[data[i] >> 4];
        hex += digits[data[i] & 15];
    }
    kel::fuzz::FuzzEditor editor;
    const std::string line = std::string("dragin-raw ") + (move ? "move " : "") + hex + " " +
                             x(data[1]) + " " + y(data[2]) + " " + x(data[3]) + " " + y(data[4]);
    editor.Run(line);
    editor.Check(line);
    // What was dropped is undone and redone like any other step.
    editor.Run("keep dropped");
    editor.Run("send WM_CG_UR_FROM_HISTORY 1 1");
    editor.Check("undo");
    editor.Run("send WM_CG_UR_FROM_HISTORY 0 1");
    editor.Check("redo");
    if (!editor.Run("same dropped")) {
        std::cerr << "undo and redo of \"" << line << "\" did not give the drop back\n";
        std::abort();
    }
    return 0;
}
