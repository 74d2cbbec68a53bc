#!/usr/bin/env bash
# Checks what the headless demo tour left in its folder: every file it listed exists and is not
# empty, and the recorded macro holds exactly the steps the tour took.
set -euo pipefail
dir=${1:?usage: check-tour.sh TOUR_FOLDER}
manifest=$dir/tour-manifest.txt
problems=0
problem() { echo "check-tour: $*" >&2; problems=$((problems + 1)); }

[ -s "$manifest" ] || { echo "check-tour: $manifest is missing or empty" >&2; exit 1; }

while IFS=$'\t' read -r file _; do
    [ -s "$dir/$file" ] || problem "$file is missing or empty"
done <"$manifest"

for expected in tour.mcr macro_recorder.png main_window.png bindings_page.png; do
    grep -q "^$expected"$'\t' "$manifest" || problem "$expected is not in the manifest"
done

if [ -f "$dir/tour.mcr" ]; then
    expected_steps=$(printf '%s\n' "\$!PAUSE 'Don\\'t move'" '$!DRAWGRAPHICS FALSE' '$!DRAWGRAPHICS TRUE' '$!REDRAWALL')
    actual_steps=$(tail -n +2 "$dir/tour.mcr")
    [ "$actual_steps" = "$expected_steps" ] || {
        problem "tour.mcr does not hold the recorded steps:"
        diff <(echo "$expected_steps") <(echo "$actual_steps") >&2 || true
    }
fi

if grep -q $'^tour.lpk\t' "$manifest"; then
    entries=$(unzip -Z1 "$dir/tour.lpk")
    grep -q '\.lay$' <<<"$entries" || problem "tour.lpk holds no layout"
    grep -q '\.plt$' <<<"$entries" || problem "tour.lpk holds no data file"
fi

[ "$problems" -eq 0 ] || exit 1
echo "check-tour: all $(wc -l <"$manifest") tour files are in $dir"
