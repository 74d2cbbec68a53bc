#!/usr/bin/env bash
# Set-up, build, test and demo in one place. Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
          libboost-dev libzip-dev libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core unzip
          clang-format libcairo2-dev libtiff-dev qt6-image-formats-plugins imagemagick ghostscript
          libwmf-bin libavformat-dev libavcodec-dev libswscale-dev ffmpeg zlib1g-dev
          libfast-float-dev libnetcdf-dev netcdf-bin python3-pandas librapidcheck-dev libcsv-dev
          librsvg2-bin python3-matplotlib)

# Only the fuzz targets need clang (libFuzzer).
FUZZ_PACKAGES=(clang)
# Only the Qt 5 build needs Qt 5.
QT5_PACKAGES=(qtbase5-dev qt5-image-formats-plugins)

install_missing_packages() {
    local missing=()
    for package in "${PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
    local preset=$1
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
}

run_tests() {
    local preset=$1
    build "$preset"
    ctest --preset "$preset"
}

# Builds a preset and installs the libraries, their headers and packages into a prefix.
install_into() {
    local prefix=$1 preset=$2
    build "$preset"
    cmake --install "build/$preset" --prefix "$prefix"
}

run_demo() {
    build debug
    local demo=build/debug/bin/qelmar-demo
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        local dir=${TOUR_DIR:-$PWD/tour-out}
        echo "No display: running the scripted tour into $dir"
        QT_QPA_PLATFORM=offscreen "$demo" --tour "$dir"
    else
        "$demo"
    fi
}

# Every C++ file git knows of, for clang-format.
cxx_sources() {
    git ls-files -z -- '*.h' '*.cpp'
}

command=${1:-help}
case "$command" in
    demo) install_missing_packages; run_demo ;;
    test) install_missing_packages; run_tests debug ;;
    asan) install_missing_packages; run_tests asan ;;
    qt5) install_missing_packages "${QT5_PACKAGES[@]}"; run_tests qt5 ;;
    bench)
        install_missing_packages
        build release
        build/release/bin/qelmar-bench "${@:2}"
        ;;
    build) install_missing_packages; build "${2:-debug}" ;;
    install) install_missing_packages; install_into "${2:-$PWD/build/prefix}" "${3:-install}" ;;
    fuzz) install_missing_packages "${FUZZ_PACKAGES[@]}"; ./fuzz/replay.sh ;;
    format) install_missing_packages; cxx_sources | xargs -0 clang-format -i ;;
    format-check) install_missing_packages; cxx_sources | xargs -0 clang-format --dry-run --Werror ;;
    *)
        echo "usage: $0 demo|test|asan|qt5|bench|fuzz|build [preset]|install [prefix [preset]]|format|format-check"
        exit 2
        ;;
esac
