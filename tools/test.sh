#!/usr/bin/env bash
# Sets up, builds and runs every test of one preset ("default", or "asan" for the sanitizer build).
set -euo pipefail
preset=${1:-default}
cd "$(dirname "$0")/.."
bash tools/setup.sh "$preset"
ctest --preset "$preset"
