#!/usr/bin/env bash
# The kill test: builds the release preset's module and kelsb-crash, then for each SEED (default
# 1 to 8) runs KILLS sessions of random edits (default 125) with automatic saving on, each killed
# with SIGKILL at a random moment (or in the middle of a write), recovered in a new process and
# checked (see docs/reliability.md). A failure stops it non-zero and names the seed and the kill.
# Usage: tools/crash.sh [KILLS [SEED...]]
set -euo pipefail
kills=${1:-125}
shift || true
seeds=("$@")
if [ ${#seeds[@]} -eq 0 ]; then
    seeds=(1 2 3 4 5 6 7 8)
fi
cd "$(dirname "$0")/.."

cmake --preset release >/dev/null
cmake --build build/release --target KelSBEdit kelsb-crash

total=0
start=$(date +%s)
for seed in "${seeds[@]}"; do
    build/release/bin/kelsb-crash --seed "$seed" --kills "$kills"
    total=$((total + kills))
done
elapsed=$(( $(date +%s) - start ))
echo "crash: $total kills over ${#seeds[@]} seeds in ${elapsed} s, every check held"
