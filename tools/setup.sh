#!/usr/bin/env bash
# Installs what the build needs on Debian 12 (as root), then configures and builds one preset.
# Usage: tools/setup.sh [PRESET]   (default: "default")
set -euo pipefail
preset=${1:-default}
cd "$(dirname "$0")/.."

packages=(g++ cmake ninja-build pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-qpa-plugins libgl-dev fonts-dejavu-core fonts-wqy-microhei
          libavcodec-dev libavformat-dev libswscale-dev libavutil-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages and not root: install them or run this as root." >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
