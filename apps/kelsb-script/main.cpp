// kelsb-script: runs a script against the storyboard editor without a display.
//
//   kelsb-script [SCRIPT]      a file, or standard input without one (or with "-")
//
// Exit status: 0 when every command succeeded, 1 when a command or an expectation failed, 2 for
// a usage error: a command used wrongly, or the program itself (the message names the line).
#include "kill_points.h"
#include "runner.h"
#include "script.h"

#include <cstring>
#include <exception>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "usage: kelsb-script [SCRIPT]\n"
    "Runs the commands of SCRIPT (standard input when omitted or \"-\"), one a line; '#' starts\n"
    "a comment, \"double quotes\" keep blanks in a word. Exit status 0 on success, 1 when a\n"
    "command or an expect fails, 2 on misuse. Coordinates are the timeline view's client ones.\n"
    "A message's LPARAM is a number, or for messages that take an object 'none' or one of the\n"
    "runner's: state (KELSB_AUTOMATION_STATE), history (WM_CG_UPDATE_HISTORY), contents\n"
    "(WM_CG_SB_REFRESH_CONTENTS: every material of the storyboard), preview\n"
    "(WM_CG_PIECE_EFFECT_PREVIEW, which goes to the timeline view: a preview for the host's\n"
    "main window).\n"
    "\n"
    "scene:   sample | load FILE | save FILE | fps RATE | piece group NAME IN STAY OUT |\n"
    "         piece movie NAME FRAMES | piece scroll NAME WIDTH HEIGHT up|down|left|right |\n"
    "         storyboard NAME | track [locked] [noplay] | container |\n"
    "         material in|stay|out|movie|scroll PIECE TRACK IN OUT | unpiece NAME | fpu N |\n"
    "         timeline FRAME | range START END | display frames|timecode |\n"
    "         select-item NAME | unselect-item NAME (the host's item selection)\n"
    "         deletemode normal|ripple | play-stop-at FRAME|none (the next play stops once it\n"
    "         has shown FRAME, as when the user stops it) | export FILE [START END] (the\n"
    "         storyboard as played, to FFV1 in Matroska, or H.264 in MP4 for a .mp4 FILE)\n"
    "host:    open [WIDTH HEIGHT] | close | entry "
    "open|create|setitem|setscene|getdlg|urclose|close\n"
    "         | send MESSAGE WPARAM LPARAM|none|OBJECT | show | hide | activate |\n"
    "         deactivate [TITLE] | size WIDTH HEIGHT\n"
    "input:   down X Y [shift] [ctrl] | move X Y [left] | up X Y | click X Y [shift] [ctrl] |\n"
    "         dblclick X Y | rclick X Y | drag X1 Y1 X2 Y2 [STEPS] | key KEY [shift] [ctrl] |\n"
    "         wheel X Y DELTA [shift] [ctrl] (120 a notch; shift: time, ctrl: zoom) |\n"
    "         button ID | command ID | scroll h|v|zoom CODE [POSITION] |\n"
    "         dragin PIECE 0|1|2|3|movie|scroll X1 Y1 X2 Y2 [STEPS] (a piece dragged in from\n"
    "         the host: 0 In, 1 Stay, 2 Out, 3 all three) | dragin-raw [move] HEXBYTES X1 Y1\n"
    "         X2 Y2 (any bytes as piece data, or with move as a drag of materials). Mouse input "
    "goes where the cursor is, as on a\n"
    "         desktop: WM_SETCURSOR first (unless the mouse is captured), so view.cursor\n"
    "         follows a move.\n"
    "answers: answer yes|no|cancel|ok | menu ID|none | rubber LEFT TOP RIGHT BOTTOM |\n"
    "         edit-attr ok|cancel [name=TEXT] [frames=0|1] [height=N] [rangeonly=0|1]\n"
    "         [start=N] [end=N] | edit-effect ok NAME|cancel (the next effect editor)\n"
    "list:    list open|close|select N|rclick N|press append|insert|delete|up|down|cut|copy|\n"
    "         paste|ok ... drives the Storyboard List dialog (several on a line run in turn);\n"
    "         after open the script goes on inside the dialog until it closes\n"
    "checks:  check [overlaps] (the consistency of the storyboard and the selection, and no\n"
    "         material of a locked track changed since the last check but by undo or redo;\n"
    "         overlaps: materials of a track may overlap) | keep NAME | same NAME (the\n"
    "         document stored now equals the one kept as NAME, zoom and time line aside)\n"
    "recovery: autosave on|off (the host's automatic saving of the scene to its recovery file\n"
    "         in $XDG_STATE_HOME/kelsbedit/recovery; a normal end or a save removes it) |\n"
    "         idle MILLISECONDS (waits as an idle host, saving when due) | recover SCENE|FILE\n"
    "         (the recovery of a scene file, or a .kelrec file; exit status 1 without one)\n"
    "output:  dump | expect PATH JSON (lastDrag: the last drag's format and drop effect;\n"
    "         view.gesture: idle, pressed, markerDrag, scrub, trim, move or rubberBand;\n"
    "         menus: the pop-up menus shown since the last dump, menus.N.items.ID.enabled\n"
    "         and .checked, menus.N.chosen the command run, 0 for none;\n"
    "         language: 1033, 2052 or 1028, from KELSB_LANG or the locale;\n"
    "         output.compileList: the last compile's problems, each with track, frame,\n"
    "         piece and text; recovery: the saver and the recovery files found)\n";

int Run(std::istream& in) {
    kel::script::Runner runner(std::cout);
    // The number of the last line read: a modal dialog the script drives reads on by itself,
    // and a failure there is reported at the line that failed.
    int number = 0;
    const auto next = [&in, &number]() -> std::optional<kel::script::ScriptLine> {
        std::string raw;
        if (!std::getline(in, raw)) {
            return std::nullopt;
        }
        return kel::script::ParseLine(raw, ++number);
    };
    runner.SetLineSource(next);
    for (;;) {
        try {
            const std::optional<kel::script::ScriptLine> line = next();
            if (!line) {
                break;
            }
            runner.Execute(*line);
        } catch (const kel::script::UsageError& e) {
            std::cout.flush();
            std::cerr << "kelsb-script: line " << number << ": " << e.what() << '\n';
            return kExitUsage;
        } catch (const std::exception& e) {
            std::cout.flush();
            std::cerr << "kelsb-script: line " << number << ": " << e.what() << '\n';
            return kExitFailed;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (std::string error; !kel::script::InstallKillPointFromEnvironment(&error)) {
        std::cerr << "kelsb-script: " << error << '\n';
        return kExitUsage;
    }
    if (argc > 2) {
        std::cerr << kUsage;
        return kExitUsage;
    }
    if (argc == 2 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0)) {
        std::cout << kUsage;
        return 0;
    }
    if (argc == 2 && argv[1][0] == '-' && argv[1][1] != '\0') {
        std::cerr << "kelsb-script: unknown option " << argv[1] << '\n' << kUsage;
        return kExitUsage;
    }
    if (argc == 1 || std::strcmp(argv[1], "-") == 0) {
        return Run(std::cin);
    }
    std::ifstream file(argv[1]);
    if (!file) {
        std::cerr << "kelsb-script: cannot read " << argv[1] << '\n' << kUsage;
        return kExitUsage;
    }
    return Run(file);
}
