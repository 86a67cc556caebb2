#!/usr/bin/env bash
# The main job: set up, build, and show the editor.
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
