#!/usr/bin/env bash
# Builds the libFuzzer targets of the file readers (preset `fuzz`, clang) and runs every input of
# their corpora once, then fuzzes the aliases parser for QELMAR_FUZZ_SECONDS (60 by default, 0
# skips it). Fails when an input crashes a reader or a sanitizer reports.
#
# To look for new faults, fuzz for a while with a scratch folder first (new inputs go there):
#   build/fuzz/bin/fuzz_layout "$(mktemp -d)" fuzz/corpus/layout -max_total_time=120
# and add what it found to crash into the target's corpus folder once it is fixed.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
for reader in layout datafile package rastermetafile aliases delimited netcdf; do
    echo "Replaying fuzz/corpus/$reader"
    build/fuzz/bin/fuzz_$reader fuzz/corpus/$reader -runs=0 -rss_limit_mb=1024 -artifact_prefix=build/fuzz/
done

fuzz_seconds=${QELMAR_FUZZ_SECONDS:-60}
if ((fuzz_seconds > 0)); then
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    echo "Fuzzing the aliases parser for $fuzz_seconds seconds"
    build/fuzz/bin/fuzz_aliases "$scratch" fuzz/corpus/aliases -max_total_time="$fuzz_seconds" -rss_limit_mb=1024 \
        -artifact_prefix=build/fuzz/
fi
