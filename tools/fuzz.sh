#!/usr/bin/env bash
# Builds the scene reader's fuzz target with clang's libFuzzer (preset "fuzz") and runs it for
# SECONDS (default 60) from the seed corpus in tests/fuzz/corpus. Without clang++ and its
# libFuzzer runtime it says so and exits 0. A finding stops it non-zero, its input kept in
# build/fuzz/.
# Usage: tools/fuzz.sh [SECONDS]
set -euo pipefail
seconds=${1:-60}
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
# New inputs go to a corpus of the build's own; the seeds in the repository stay as they are.
mkdir -p build/fuzz/corpus
build/fuzz/bin/fuzz_scene_load -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix=build/fuzz/ -print_final_stats=1 build/fuzz/corpus tests/fuzz/corpus
