#!/usr/bin/env bash
# Builds the minimal host against an installed prefix alone, once through the CMake packages and
# once through pkg-config, and runs both headless.
# Usage: examples/minimal-host/run.sh PREFIX [BUILD_FOLDER]
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 PREFIX [BUILD_FOLDER]" >&2; exit 2; }
prefix=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -ge 2 ]; then
    build=$2
else
    build=$(mktemp -d)
    trap 'rm -rf "$build"' EXIT
fi
export QT_QPA_PLATFORM=offscreen

# Nothing of the source tree is on the search paths: only the prefix and the system.
echo "== minimal host, CMake packages from $prefix"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$build"
"$build/minimal-host"

echo "== minimal host, pkg-config from $prefix"
flags=$(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs qmsdkdialogs_io_qt)
# shellcheck disable=SC2086 # the flags are words
c++ -std=c++17 -fPIC "$here/main.cpp" -o "$build/minimal-host-pkgconfig" $flags -I"$prefix/include/qelmar/standin" \
    -lqmloaders -lqmframework -lqmexportengine -lqmsdkbase \
    -Wl,-rpath,"$prefix/lib"
"$build/minimal-host-pkgconfig"
