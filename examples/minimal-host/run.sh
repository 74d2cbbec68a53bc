#!/usr/bin/env bash
# Builds the minimal host against an installed prefix alone and runs it headless.
# Usage: examples/minimal-host/run.sh PREFIX [BUILD_FOLDER]
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 PREFIX [BUILD_FOLDER]" >&2; exit 2; }
prefix=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
build=${2:-$(mktemp -d)}

# Nothing of the source tree is on the search paths: only the prefix and the system.
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$build"
QT_QPA_PLATFORM=offscreen "$build/minimal-host"
