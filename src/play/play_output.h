// Playing, compiling, loading onto the output and unloading, as the timeline view runs them.
//
// The editor plays nothing itself: the host's scene does, synchronously, while the editor keeps
// the host's panels disabled, keeps the history panel where it is (the history-sync flag) and
// starts from a cleared live output. Whatever the host answers, or if it throws, the panels and
// the flag are restored before the call returns.
#pragma once

class CWnd;
class CKelSBEditView;

namespace kel::play {

enum class OutputCall { Play, Compile, Upload, Download };

// Runs the scene's operation for the view's current scene with pParent as its parent window
// and returns the host's result; 0, sending nothing, without a scene. Playing also turns the
// host's automatic saving off for its duration and empties the view's selections first, so
// that nothing on the timeline looks chosen while the storyboard runs. Whether the call is
// allowed while the storyboard is loaded is the caller's to decide.
int RunOutputCall(CKelSBEditView& view, OutputCall call, CWnd* pParent);

} // namespace kel::play
