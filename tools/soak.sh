#!/usr/bin/env bash
# The long random run of edits: builds the release preset's module and kelsb-soak, then runs
# STEPS steps (default 250000) for each SEED (default 1 2 3 4), printing the steps per second.
# A failure stops it non-zero and leaves the episode's script as
# build/release/soak-failure-SEED.kss, to replay with kelsb-script (see docs/reliability.md).
# Usage: tools/soak.sh [STEPS [SEED...]]
set -euo pipefail
steps=${1:-250000}
shift || true
seeds=("$@")
if [ ${#seeds[@]} -eq 0 ]; then
    seeds=(1 2 3 4)
fi
cd "$(dirname "$0")/.."

cmake --preset release >/dev/null
cmake --build build/release --target KelSBEdit kelsb-soak kelsb-script

total=0
start=$(date +%s)
for seed in "${seeds[@]}"; do
    build/release/bin/kelsb-soak --seed "$seed" --steps "$steps" \
        --failure "build/release/soak-failure-$seed.kss"
    total=$((total + steps))
done
elapsed=$(( $(date +%s) - start ))
echo "soak: $total steps over ${#seeds[@]} seeds in ${elapsed} s, no violation"
