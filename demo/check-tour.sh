#!/usr/bin/env bash
# Checks what the headless demo tour left in its folder: every file it listed exists and is not
# empty, the recorded macro holds exactly the steps the tour took, and every exported file is
# what the export dialog promised, as read by tools that did not write it (ImageMagick for
# raster images, Ghostscript for encapsulated PostScript, ffprobe for movies, libwmf's wmf2svg
# for Windows Metafiles).
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
    export_png_page.png export_preview_png.png export_eps_page.png export_avi_page.png export-expectations.txt \
    load_data_dialog.png append_replace_not_shared.png append_replace_shared.png \
    variable_match_before.png variable_match_after_aliases.png variable_match_suggestion.png tour-aliases.txt \
    variable_match_coverage.png loaded_messy_csv.png loaded_packed_grid.png load_progress.png load_skipped_status.png \
    relink_locate.png relink_changed.txt tour-moved.lay; do
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

if grep -q $'^tour-aliases.txt\t' "$manifest"; then
    [ "$(head -n 1 "$dir/tour-aliases.txt" | tr -d '\r')" = '#!QELMAR VA 1' ] ||
        problem "tour-aliases.txt does not start with the aliases file header"
    grep -qx 'humidity;rel_humidity' "$dir/tour-aliases.txt" ||
        problem "tour-aliases.txt does not hold the group the tour made (humidity;rel_humidity)"
fi

if grep -q $'^tour.lpk\t' "$manifest"; then
    entries=$(unzip -Z1 "$dir/tour.lpk")
    grep -q '\.lay$' <<<"$entries" || problem "tour.lpk holds no layout"
    grep -q '\.plt$' <<<"$entries" || problem "tour.lpk holds no data file"
fi

# A layout that found its moved data records every data file with its SHA-256 (the second field).
if [ -f "$dir/tour-moved.lay" ]; then
    data_lines=$(grep -c $'^Data\t' "$dir/tour-moved.lay" || true)
    hashed_lines=$(grep -cE $'^Data\t[^\t]+\t[0-9a-f]{64}(\t|$)' "$dir/tour-moved.lay" || true)
    [ "$data_lines" -gt 0 ] || problem "tour-moved.lay names no data file"
    [ "$data_lines" = "$hashed_lines" ] ||
        problem "tour-moved.lay: $hashed_lines of $data_lines Data lines carry a SHA-256"
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

# Colour off in the export dialog: a TIFF of greys only, whatever its depth.
check_tiff_grey() {
    local file=$1 dimensions=$2 actual colourspace
    actual=$(raster_dimensions "$file") || { problem "$file: ImageMagick cannot read it"; return; }
    [ "$actual" = "$dimensions" ] || problem "$file is $actual pixels, the export dialog said $dimensions"
    colourspace=$(identify -format '%[colorspace]' "$file[0]") || true
    [ "$colourspace" = Gray ] || problem "$file is in the $colourspace colour space, expected Gray"
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

# ---- Movies and metafiles ------------------------------------------------------------------

# Every file the tour animated runs through all time steps of the sample data.
least_movie_frames=20

# The value of key=value among the details of an expectation line; empty when absent.
detail() {
    local key=$1 field
    shift
    for field in "$@"; do
        [ "${field%%=*}" = "$key" ] && { echo "${field#*=}"; return 0; }
    done
    return 0
}

# Whether a rate "N/D" as ffprobe reports it equals frames per second within a thousandth.
same_rate() { awk -v rate="$1" -v wanted="$2" 'BEGIN { split(rate, r, "/"); if (r[2] == "") r[2] = 1;
    exit !(r[2] != 0 && (r[1] / r[2] - wanted) ^ 2 < 1e-6) }'; }

check_movie() {
    local file=$1 dimensions=$2 container=$3 frames=$4 rate=$5 codec=$6 probe format
    [ -n "$frames" ] && [ -n "$rate" ] && [ -n "$codec" ] ||
        { problem "$file: the expectation lacks frames, rate or codec"; return; }
    [ "$frames" -ge "$least_movie_frames" ] ||
        problem "$file: the tour expected only $frames frames, fewer than $least_movie_frames"
    # Counting decodes every frame, so a damaged one shows here too.
    if ! probe=$(ffprobe -v error -count_frames -select_streams v:0 \
        -show_entries format=format_name:stream=codec_name,width,height,r_frame_rate,nb_read_frames \
        -of default=noprint_wrappers=1 "$file" 2>&1 </dev/null); then
        problem "$file: ffprobe cannot read it: $(tail -n 1 <<<"$probe")"
        return
    fi
    value() { sed -n "s/^$1=//p" <<<"$probe" | head -n 1; }
    format=$(value format_name)
    [[ "$format" == "$container" || "$format" == "$container",* ]] ||
        problem "$file is a $format container, expected $container"
    [ "$(value codec_name)" = "$codec" ] || problem "$file is encoded with $(value codec_name), expected $codec"
    [ "$(value width) x $(value height)" = "$dimensions" ] ||
        problem "$file is $(value width) x $(value height) pixels, the export dialog said $dimensions"
    same_rate "$(value r_frame_rate)" "$rate" ||
        problem "$file plays at $(value r_frame_rate) frames per second, the animation speed was $rate"
    [ "$(value nb_read_frames)" = "$frames" ] ||
        problem "$file holds $(value nb_read_frames) frames, expected $frames"
}

# Unsigned little-endian 32-bit numbers of the file from a byte offset.
uint32_at() { od -An -v -tu4 --endian=little -j "$2" -N $((4 * $3)) "$1" | tr -s ' \n' ' ' | sed 's/^ //;s/ $//'; }

# The kernel's tests read Raster Metafiles back frame by frame; here the header must say what the
# dialog promised, and the file must be long enough to hold that many frames.
check_raster_metafile() {
    local file=$1 dimensions=$2 frames=$3 tables=$4 magic header size
    magic=$(head -c 8 "$file" | od -An -tx1 | tr -d ' \n')
    [ "$magic" = 51454c524d460d0a ] || { problem "$file does not start with the Raster Metafile magic (it starts $magic)"; return; }
    # version, width and height from offset 8; frame count and table mode from offset 28.
    read -r -a header <<<"$(uint32_at "$file" 8 3) $(uint32_at "$file" 28 2)"
    [ "${header[0]}" = 1 ] || problem "$file is of version ${header[0]}, expected 1"
    [ "${header[1]} x ${header[2]}" = "$dimensions" ] ||
        problem "$file holds frames of ${header[1]} x ${header[2]} pixels, the export dialog said $dimensions"
    [ "${header[3]}" = "$frames" ] || problem "$file holds ${header[3]} frames, expected $frames"
    [ -z "$tables" ] || [ "${header[4]}" = "$tables" ] ||
        problem "$file has colour table mode ${header[4]}, expected $tables"
    # A frame takes at least its byte count, a minimal compressed stream and its checksum.
    size=$(stat -c %s "$file")
    [ "$size" -ge $((40 + frames * 16)) ] || problem "$file is $size bytes, too short for $frames frames"
}

check_wmf() {
    local file=$1 text=$2 svg log
    svg=$(mktemp --suffix=.svg)
    log=$(mktemp)
    if ! wmf2svg -o "$svg" "$file" >"$log" 2>&1 </dev/null || [ ! -s "$svg" ]; then
        problem "$file: wmf2svg could not convert it: $(tail -n 1 "$log")"
    elif grep -qi 'error' "$log"; then
        problem "$file: wmf2svg reported: $(grep -i -m1 'error' "$log")"
    elif [ -n "$text" ] && ! grep -qF ">$text<" "$svg"; then
        problem "$file: the drawing does not show the text \"$text\""
    fi
    rm -f "$svg" "$log"
}

# ---- Physical size, transparency, PDF and SVG ---------------------------------------------

# A PNG of the physical size: the width in pixels and the resolution of its pHYs chunk, which
# ImageMagick reports per centimetre or per inch.
check_png_physical() {
    local file=$1 width=$2 dpi=$3 reading actual x y unit
    reading=$(identify -format '%w %x %y %U' "$file[0]") || { problem "$file: ImageMagick cannot read it"; return; }
    read -r actual x y unit <<<"$reading"
    [ "$actual" = "$width" ] || problem "$file is $actual pixels wide, expected $width"
    awk -v x="$x" -v y="$y" -v unit="$unit" -v dpi="$dpi" 'BEGIN {
        scale = unit == "PixelsPerCentimeter" ? 2.54 : unit == "PixelsPerInch" ? 1 : 0
        exit !(scale > 0 && (x * scale - dpi) ^ 2 < 0.25 && (y * scale - dpi) ^ 2 < 0.25) }' ||
        problem "$file: resolution $x x $y $unit, expected $dpi dots per inch"
}

# A transparent background: the top-left corner (the desk or the paper) is fully transparent and
# some pixels (the plot) are fully opaque.
check_png_transparent() {
    local file=$1 alphas opaque corner most
    alphas=$(identify -format '%[opaque] %[fx:p{0,0}.a] %[fx:maxima.a]' "$file[0]") ||
        { problem "$file: ImageMagick cannot read it"; return; }
    read -r opaque corner most <<<"$alphas"
    [ "${opaque,,}" = false ] || { problem "$file has no transparent pixel"; return; }
    [ "$corner" = 0 ] || problem "$file: the top-left corner has alpha $corner, expected 0 (transparent)"
    [ "$most" = 1 ] || problem "$file: no pixel is fully opaque (largest alpha $most)"
}

# A PDF Ghostscript reads, whose text holds the title.
check_pdf() {
    local file=$1 title=$2 text
    if ! text=$(gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=txtwrite -sOutputFile=- "$file" 2>&1 </dev/null); then
        problem "$file: Ghostscript could not read it: $(tail -n 1 <<<"$text")"
    elif ! grep -qF -- "$title" <<<"$text"; then
        problem "$file: its text does not hold the title \"$title\""
    fi
}

# An SVG librsvg renders, whose title, description or text elements hold the title (the
# letters themselves may be glyph outlines).
check_svg() {
    local file=$1 title=$2 png texts
    png=$(mktemp --suffix=.png)
    if ! rsvg-convert --format png -o "$png" "$file" 2>/dev/null </dev/null || [ ! -s "$png" ]; then
        problem "$file: rsvg-convert could not render it"
    fi
    rm -f "$png"
    texts=$(tr '\n' ' ' <"$file" | grep -oE '<(title|desc|text)[^>]*>[^<]*' | sed 's/^<[^>]*>//' |
        sed 's/&lt;/</g; s/&gt;/>/g; s/&quot;/"/g; s/&apos;/'"'"'/g; s/&amp;/\&/g') || true
    grep -qF -- "$title" <<<"$texts" || problem "$file: no title, description or text holds \"$title\""
}

# ---- Web movies ----------------------------------------------------------------------------

# The types of an MPEG-4 file's top-level boxes in file order, one a line: each box starts with
# its size (32 bits, big-endian; 1: a 64-bit size follows the type; 0: to the end of the file).
top_level_boxes() {
    python3 - "$1" <<'PYTHON'
import struct, sys
with open(sys.argv[1], 'rb') as movie:
    end = movie.seek(0, 2)
    at = 0
    while at + 8 <= end:
        movie.seek(at)
        size, kind = struct.unpack('>I4s', movie.read(8))
        if size == 1:
            size = struct.unpack('>Q', movie.read(8))[0]
        elif size == 0:
            size = end - at
        print(kind.decode('latin-1'))
        if size < 8:
            break
        at += size
PYTHON
}

# A movie that plays in a browser: H.264 in yuv420p, the frames, rate and size asked for, and
# its index (moov) before its media (mdat), so that playing starts while the file still arrives.
# Usage: check_web_movie FILE FRAMES FPS WIDTHxHEIGHT
check_web_movie() {
    local file=$1 frames=$2 rate=$3 size=$4 probe boxes moov mdat
    if ! probe=$(ffprobe -v error -count_frames -select_streams v:0 \
        -show_entries stream=codec_name,pix_fmt,width,height,r_frame_rate,nb_read_frames \
        -of default=noprint_wrappers=1 "$file" 2>&1 </dev/null); then
        problem "$file: ffprobe cannot read it: $(tail -n 1 <<<"$probe")"
        return
    fi
    web_value() { sed -n "s/^$1=//p" <<<"$probe" | head -n 1; }
    [ "$(web_value codec_name)" = h264 ] || problem "$file is encoded with $(web_value codec_name), expected h264"
    [ "$(web_value pix_fmt)" = yuv420p ] || problem "$file has pixels in $(web_value pix_fmt), expected yuv420p"
    [ "$(web_value nb_read_frames)" = "$frames" ] ||
        problem "$file holds $(web_value nb_read_frames) frames, expected $frames"
    same_rate "$(web_value r_frame_rate)" "$rate" ||
        problem "$file plays at $(web_value r_frame_rate) frames per second, expected $rate"
    [ "$(web_value width)x$(web_value height)" = "$size" ] ||
        problem "$file is $(web_value width)x$(web_value height) pixels, expected $size"
    boxes=$(top_level_boxes "$file") || { problem "$file: its boxes cannot be read"; return; }
    moov=$(grep -n -m1 -x moov <<<"$boxes" | cut -d: -f1)
    mdat=$(grep -n -m1 -x mdat <<<"$boxes" | cut -d: -f1)
    if [ -z "$moov" ] || [ -z "$mdat" ]; then
        problem "$file lacks its index (moov) or its media (mdat): $(tr '\n' ' ' <<<"$boxes")"
    elif [ "$moov" -gt "$mdat" ]; then
        problem "$file has its index (moov) after its media (mdat): a player must wait for the whole file"
    fi
}

# ---- The expectations ----------------------------------------------------------------------

# One line per exported file, tab-separated: the file, the dimensions the export dialog showed
# ("-" where it shows none), the kind of file, then key=value details (frames, rate, codec,
# tables, text).
expectations=$dir/export-expectations.txt
if [ -f "$expectations" ]; then
    kinds=""
    while IFS=$'\t' read -r -a fields; do
        file=${fields[0]} dimensions=${fields[1]:-} kind=${fields[2]:-}
        details=("${fields[@]:3}")
        kinds="$kinds $kind"
        [ -s "$dir/$file" ] || { problem "$file is missing or empty"; continue; }
        grep -q "^$file"$'\t' "$manifest" || problem "$file is not in the manifest"
        frames=$(detail frames "${details[@]}")
        case "$kind" in
            png-rgb) check_png_rgb "$dir/$file" "$dimensions" ;;
            png-physical)
                check_png_rgb "$dir/$file" "$dimensions"
                check_png_physical "$dir/$file" "${dimensions%% x *}" "$(detail dpi "${details[@]}")"
                ;;
            png-transparent)
                check_png_rgb "$dir/$file" "$dimensions"
                check_png_transparent "$dir/$file"
                ;;
            pdf) check_pdf "$dir/$file" "$(detail text "${details[@]}")" ;;
            svg) check_svg "$dir/$file" "$(detail text "${details[@]}")" ;;
            tiff-palette) check_tiff_palette "$dir/$file" "$dimensions" ;;
            tiff-grey) check_tiff_grey "$dir/$file" "$dimensions" ;;
            eps-tiffpreview) check_eps_tiffpreview "$dir/$file" "$dimensions" ;;
            movie-avi | movie-mp4)
                container=avi
                [ "$kind" = movie-mp4 ] && container=mov,mp4
                check_movie "$dir/$file" "$dimensions" "$container" "$frames" "$(detail rate "${details[@]}")" \
                    "$(detail codec "${details[@]}")"
                # MPEG-4 is the movie for the web: it must play in a browser as it downloads.
                if [ "$kind" = movie-mp4 ]; then
                    check_web_movie "$dir/$file" "$frames" "$(detail rate "${details[@]}")" "${dimensions// x /x}"
                fi
                ;;
            rm) check_raster_metafile "$dir/$file" "$dimensions" "${frames:-0}" "$(detail tables "${details[@]}")" ;;
            wmf) check_wmf "$dir/$file" "$(detail text "${details[@]}")" ;;
            *) problem "$file: unknown kind \"$kind\" in $(basename "$expectations")" ;;
        esac
    done <"$expectations"
    for kind in png-rgb png-physical png-transparent pdf svg tiff-palette eps-tiffpreview movie-avi movie-mp4 rm wmf; do
        [[ " $kinds " == *" $kind "* ]] || problem "no $kind export in $(basename "$expectations")"
    done
fi

[ "$problems" -eq 0 ] || exit 1
echo "check-tour: all $(wc -l <"$manifest") tour files are in $dir"
