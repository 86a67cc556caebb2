#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (preset "fuzz") and runs each from its seed
# corpus in tests/fuzz for a share of SECONDS (default 150): the scene reader a fifth, the
# runner's interpreter on random lines over the sample two fifths, drag data of both formats the
# rest. Without clang++ and its libFuzzer runtime it says so and exits 0. A finding stops it
# non-zero, its input kept in build/fuzz/ (replay: build/fuzz/bin/TARGET FILE).
# Usage: tools/fuzz.sh [SECONDS]
set -euo pipefail
seconds=${1:-150}
cd "$(dirname "$0")/.."

probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
    >"$probe/probe.cpp"
if ! command -v clang++ >/dev/null ||
    ! clang++ -fsanitize=fuzzer "$probe/probe.cpp" -o "$probe/probe" 2>/dev/null; then
    echo "fuzz: clang++ with libFuzzer is not available; the fuzz run is skipped"
    exit 0
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

# TARGET SEED_CORPUS SHARE_IN_FIFTHS [libFuzzer options]
run() {
    local target=$1 seeds=$2 share=$3
    shift 3
    # New inputs go to a corpus of the build's own; the seeds in the repository stay as they are.
    mkdir -p "build/fuzz/corpus-$target"
    echo "fuzz: $target for $((seconds * share / 5)) s"
    "build/fuzz/bin/$target" -max_total_time=$((seconds * share / 5)) -timeout=10 \
        -rss_limit_mb=2048 -artifact_prefix="build/fuzz/$target-" -print_final_stats=1 "$@" \
        "build/fuzz/corpus-$target" "$seeds"
}
run fuzz_scene_load tests/fuzz/corpus 1
run fuzz_script tests/fuzz/script_corpus 2 -max_len=4096 -dict=tests/fuzz/script.dict
run fuzz_drag_data tests/fuzz/drag_corpus 2 -max_len=256
