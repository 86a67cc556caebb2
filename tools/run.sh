#!/usr/bin/env bash
# The main job: set up, build, and show the editor: the studio's workspace on a desktop, or,
# without a display, a picture of it written by the studio's screenshot mode.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh default
bin=build/default/bin
if [ -x "$bin/kelsb-script" ]; then
    echo "== kelsb-script on the sample scene =="
    printf 'sample\nopen\ndump\n' | "$bin/kelsb-script"
else
    echo "== Built. The test suite so far: =="
    ctest --preset default
fi
if [ -x "$bin/kelsb-studio" ]; then
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        echo "== kelsb-studio (the last scene, or the sample on a first start) =="
        exec "$bin/kelsb-studio"
    fi
    shot=build/default/studio.png
    "$bin/kelsb-studio" --screenshot "$shot"
    echo "== No display: a picture of the studio and its editor on the sample scene is in $shot =="
fi
