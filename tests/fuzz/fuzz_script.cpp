// libFuzzer target: the runner's interpreter on any lines, over the sample with the editor open.
// Lines that would touch files or build the host's scene are passed over (the target is the
// editor behind the runner's input, answers, host messages and storyboard list); after every
// line the editor must be consistent, and a line may fail but never crash.
#include "fuzz_editor.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

// Commands of the runner that reach the editor; the rest read or write files, print, or build
// the host's scene, which the host owns.
bool Offered(const kel::script::ScriptLine& line) {
    static const std::set<std::string> commands = {
        "open",   "close",      "entry", "send",    "show",     "hide",      "activate",
        "deactivate", "size",   "down",  "move",    "up",       "click",     "dblclick",
        "rclick", "drag",       "key",   "button",  "command",  "scroll",    "dragin",
        "dragin-raw", "answer", "menu",  "rubber",  "edit-attr", "select-item",
        "unselect-item", "list", "check", "keep",   "same"};
    return !line.words.empty() && commands.count(line.words[0]) != 0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kel::fuzz::KeepProfileApart();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Long inputs only repeat what short ones do, slower.
    if (size > 4096)
        return 0;
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            lines.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    lines.push_back(current);

    kel::fuzz::FuzzEditor editor;
    std::size_t next = 0;
    // The storyboard list is modal: while it is open it reads the lines that follow itself.
    editor.Runner().SetLineSource([&]() -> std::optional<kel::script::ScriptLine> {
        while (next < lines.size()) {
            try {
                kel::script::ScriptLine line =
                    kel::script::ParseLine(lines[next], static_cast<int>(next + 1));
                ++next;
                if (Offered(line))
                    return line;
            } catch (const kel::script::CommandError&) {
                ++next;
            }
        }
        return std::nullopt;
    });
    while (next < lines.size()) {
        const std::string text = lines[next++];
        try {
            if (!Offered(kel::script::ParseLine(text, static_cast<int>(next))))
                continue;
        } catch (const kel::script::CommandError&) {
            continue;
        }
        editor.Run(text);
        editor.Check(text);
    }
    return 0;
}
