#!/usr/bin/env bash
# Checks what the headless demo tour left in its folder: every file it listed exists and is not
# empty, the recorded macro holds exactly the steps the tour took, and every exported image is
# what the export dialog promised, as read by tools that did not write it (ImageMagick for
# raster images, Ghostscript for encapsulated PostScript).
set -euo pipefail
dir=${1:?usage: check-tour.sh TOUR_FOLDER}
manifest=$dir/tour-manifest.txt
problems=0
problem() { echo "check-tour: $*" >&2; problems=$((problems + 1)); }

[ -s "$manifest" ] || { echo "check-tour: $manifest is missing or empty" >&2; exit 1; }

while IFS=$'\t' read -r file _; do
    [ -s "$dir/$file" ] || problem "$file is missing or empty"
done <"$manifest"

for expected in tour.mcr macro_recorder.png main_window.png bindings_page.png \
    export_png_page.png export_eps_page.png export-expectations.txt; do
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

# ---- Exported images -----------------------------------------------------------------------

# "W x H" as the export dialog shows it, from ImageMagick's reading of the first image.
raster_dimensions() { identify -format '%w x %h' "$1[0]"; }

check_png_rgb() {
    local file=$1 dimensions=$2 actual colour_type depth
    actual=$(raster_dimensions "$file") || { problem "$file: ImageMagick cannot read it"; return; }
    [ "$actual" = "$dimensions" ] || problem "$file is $actual pixels, the export dialog said $dimensions"
    # PNG colour type 2 is RGB, 6 is RGB with alpha; either way not a palette or greys.
    colour_type=$(identify -format '%[png:IHDR.color-type-orig]' "$file") || true
    depth=$(identify -format '%[png:IHDR.bit-depth-orig]' "$file") || true
    case "$colour_type" in
        2|6) ;;
        *) problem "$file: PNG colour type $colour_type, expected RGB (2 or 6)" ;;
    esac
    [ "$depth" = 8 ] || problem "$file: $depth bits per sample, expected 8"
}

check_tiff_palette() {
    local file=$1 dimensions=$2 actual type depth photometric
    actual=$(raster_dimensions "$file") || { problem "$file: ImageMagick cannot read it"; return; }
    [ "$actual" = "$dimensions" ] || problem "$file is $actual pixels, the export dialog said $dimensions"
    type=$(identify -format '%[type]' "$file[0]") || true
    depth=$(identify -format '%z' "$file[0]") || true
    # ImageMagick's type says Palette for any image of few colours; the photometric tag says
    # the file really stores colour indices.
    photometric=$(identify -format '%[tiff:photometric]' "$file[0]") || true
    [ "$type" = Palette ] || problem "$file is of type $type, expected a 256-colour Palette image"
    [ "$photometric" = palette ] || problem "$file stores $photometric pixels, expected palette indices"
    [ "$depth" = 8 ] || problem "$file: $depth bits per sample, expected 8"
}

# The four numbers of the first "%%BoundingBox:" line of a text.
first_bounding_box() { grep -a -m1 '^%%BoundingBox:' | sed 's/^%%BoundingBox:[[:space:]]*//' | tr -d '\r'; }

check_eps_tiffpreview() {
    local file=$1 dimensions=$2 magic declared measured log
    # A TIFF preview travels in the binary header of an encapsulated file, which starts with C5 D0 D3 C6.
    magic=$(head -c 4 "$file" | od -An -tx1 | tr -d ' \n')
    [ "$magic" = c5d0d3c6 ] || problem "$file does not start with the binary header of a TIFF preview (it starts $magic)"
    declared=$(first_bounding_box <"$file")
    [ -n "$declared" ] || { problem "$file declares no %%BoundingBox"; return; }
    read -r -a want <<<"$declared"
    # The page is the export region: the same shape as the dialog's dimensions, within 1%.
    if [[ "$dimensions" =~ ^([0-9]+)\ x\ ([0-9]+)$ ]] && [ "${#want[@]}" -eq 4 ]; then
        local across=$((want[2] - want[0])) down=$((want[3] - want[1]))
        local skew=$((across * BASH_REMATCH[2] - down * BASH_REMATCH[1]))
        [ $((100 * ${skew#-})) -le $((across * BASH_REMATCH[2])) ] ||
            problem "$file: bounding box $declared is not of the shape of the export dimensions $dimensions"
    else
        problem "$file: cannot compare the bounding box $declared with the export dimensions \"$dimensions\""
    fi
    log=$(mktemp)
    if ! gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=bbox "$file" 2>"$log" >/dev/null; then
        problem "$file: Ghostscript could not measure it: $(grep -v '^%%' "$log" | tail -n 1)"
        rm -f "$log"
        return
    fi
    measured=$(first_bounding_box <"$log")
    read -r -a got <<<"$measured"
    if [ "${#want[@]}" -ne 4 ] || [ "${#got[@]}" -ne 4 ]; then
        problem "$file: bounding boxes not comparable: declared \"$declared\", drawn \"$measured\""
    else
        for i in 0 1 2 3; do
            diff=$((want[i] - got[i]))
            if [ "${diff#-}" -gt 1 ]; then
                problem "$file draws within $measured, not the declared bounding box $declared"
                break
            fi
        done
    fi
    if ! gs -q -dSAFER -dNOPAUSE -dBATCH -dEPSCrop -sDEVICE=png16m -r72 -sOutputFile=/dev/null "$file" \
        >"$log" 2>&1 || grep -qi 'error' "$log"; then
        problem "$file: Ghostscript could not render it: $(tail -n 1 "$log")"
    fi
    rm -f "$log"
}

expectations=$dir/export-expectations.txt
if [ -f "$expectations" ]; then
    kinds=""
    while IFS=$'\t' read -r file dimensions kind; do
        kinds="$kinds $kind"
        [ -s "$dir/$file" ] || { problem "$file is missing or empty"; continue; }
        grep -q "^$file"$'\t' "$manifest" || problem "$file is not in the manifest"
        case "$kind" in
            png-rgb) check_png_rgb "$dir/$file" "$dimensions" ;;
            tiff-palette) check_tiff_palette "$dir/$file" "$dimensions" ;;
            eps-tiffpreview) check_eps_tiffpreview "$dir/$file" "$dimensions" ;;
            *) problem "$file: unknown kind \"$kind\" in $(basename "$expectations")" ;;
        esac
    done <"$expectations"
    for kind in png-rgb tiff-palette eps-tiffpreview; do
        [[ " $kinds " == *" $kind "* ]] || problem "no $kind export in $(basename "$expectations")"
    done
fi

[ "$problems" -eq 0 ] || exit 1
echo "check-tour: all $(wc -l <"$manifest") tour files are in $dir"
