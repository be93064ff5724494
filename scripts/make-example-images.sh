#!/usr/bin/env bash
# Draws the example map "examples/map.jpg" and the three 50 x 50 markers "noire.gif",
# "verte.gif" and "rouge.gif" with ImageMagick. The map follows examples/calibration.txt
# exactly: every place of examples/ervalun.txt is a dot at the pixel where the map page puts
# its marker centre, left = (lon - west) * W / (east - west), top = (north - lat) * H / (north -
# south). Usage: scripts/make-example-images.sh
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C

if ! command -v convert >/dev/null 2>&1; then
    echo "ImageMagick (convert) est requis." >&2
    exit 1
fi

out=examples
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

font=$(fc-match -f '%{file}' 'DejaVu Sans:style=Book' 2>/dev/null || true)
bold=$(fc-match -f '%{file}' 'DejaVu Sans:style=Bold' 2>/dev/null || true)
[ -n "$font" ] || font=Helvetica
[ -n "$bold" ] || bold=Helvetica-Bold

# Labels that would run into a neighbour go on the left of their dot.
left_labels=" Refuge-du-Goûter Refuge-de-Tête-Rousse Aiguille-de-Bionnassay Lac-Blanc "
# The Arve, sketched through the places of its valley from upstream to downstream.
arve="Le-Tour Argentière Chamonix Les-Houches Servoz Saint-Gervais-les-Bains"

# The calibration: 24 tokens, label and value for each size, label, degrees, minutes, seconds
# and letter for each corner coordinate.
read -r W H west north east south < <(tr -s ' \t\r\n' '\n' <"$out/calibration.txt" | awk '
    { t[NR] = $0 }
    function dms(i, neg) { v = t[i] + t[i + 1] / 60 + t[i + 2] / 3600; return t[i + 3] == neg ? -v : v }
    END { printf "%d %d %.10f %.10f %.10f %.10f\n", t[2], t[4], dms(6, "O"), dms(11, "S"), dms(16, "O"), dms(21, "S") }')

# Places: name, x, y (pixels, before truncation), one a line.
tr -s ' \t\r\n' '\n' <"$out/ervalun.txt" | awk -v W="$W" -v H="$H" -v west="$west" \
    -v north="$north" -v east="$east" -v south="$south" '
    { f[(NR - 1) % 9] = $0 }
    (NR % 9) == 0 {
        lat = f[1] + f[2] / 60 + f[3] / 3600; if (f[4] == "S") lat = -lat
        lon = f[5] + f[6] / 60 + f[7] / 3600; if (f[8] == "O") lon = -lon
        printf "%s %.2f %.2f\n", f[0], (lon - west) * W / (east - west), (north - lat) * H / (north - south)
    }' >"$work/places"

mvg="$work/map.mvg"
{
    echo "font-size 11"
    echo "font '$font'"
    # A light grid every 5 minutes of arc, with its values along the top and left edges.
    awk -v W="$W" -v H="$H" -v west="$west" -v north="$north" -v east="$east" -v south="$south" '
    BEGIN {
        print "stroke #c9d2bd stroke-width 1 fill none"
        for (m = int(west * 12) + 1; m / 12 < east; m++) {
            x = (m / 12 - west) * W / (east - west)
            printf "line %.1f,0 %.1f,%d\n", x, x, H
            lx[m] = x
        }
        for (m = int(south * 12) + 1; m / 12 < north; m++) {
            y = (north - m / 12) * H / (north - south)
            printf "line 0,%.1f %d,%.1f\n", y, W, y
            ly[m] = y
        }
        print "stroke none fill #7d8a6e"
        for (m in lx) printf "text %.1f,%d \"%d°%02d′ E\"\n", lx[m] + 3, H - 6, int(m / 12), (m % 12) * 5
        for (m in ly) printf "text 4,%.1f \"%d°%02d′ N\"\n", ly[m] - 4, int(m / 12), (m % 12) * 5
    }'
    # The river first, under everything else.
    printf "stroke #8fb8de stroke-width 4 fill none stroke-linejoin round stroke-linecap round\npolyline"
    for name in $arve; do
        awk -v n="$name" '$1 == n { printf " %s,%s", $2, $3 }' "$work/places"
    done
    echo
    awk -v n="Les-Houches" '$1 == n { printf "stroke none fill #5f8fbd font-size 12\ntext %.1f,%.1f \"Arve\"\nfont-size 11\n", $2 - 28, $3 - 18 }' "$work/places"
    # Each place: a dot on its calibrated pixel and its name beside it, on a light halo.
    while read -r name x y; do
        echo "stroke white stroke-width 1.5 fill #2b3a55 circle $x,$y $(awk -v x="$x" 'BEGIN { printf "%.2f", x + 4 }'),$y"
        case "$left_labels" in
        *" $name "*) anchor=end dx=-8 ;;
        *) anchor=start dx=8 ;;
        esac
        lx=$(awk -v x="$x" -v d="$dx" 'BEGIN { printf "%.1f", x + d }')
        ly=$(awk -v y="$y" 'BEGIN { printf "%.1f", y + 4 }')
        echo "text-anchor $anchor"
        echo "stroke #f4f6ee stroke-width 3 fill #f4f6ee text $lx,$ly \"$name\""
        echo "stroke none fill #1d2633 text $lx,$ly \"$name\""
    done <"$work/places"
    echo "text-anchor start"
    # Title, north arrow and scale bar.
    echo "stroke #7d8a6e stroke-width 1 fill #f4f6eecc rectangle 12,12 300,54"
    echo "stroke none fill #1d2633 font '$bold' font-size 15 text 22,32 \"Massif du Mont-Blanc\""
    echo "font '$font' font-size 11 text 22,47 \"Haute-Savoie - carte d'exemple Ervalun\""
    nx=$((W - 36))
    echo "stroke none fill #1d2633 polygon $nx,16 $((nx - 9)),40 $nx,34 $((nx + 9)),40"
    echo "font '$bold' font-size 13 text-anchor middle text $nx,58 \"N\" text-anchor start font '$font'"
    awk -v W="$W" -v H="$H" -v west="$west" -v east="$east" -v north="$north" -v south="$south" '
    BEGIN {
        pi = atan2(0, -1)
        km = 111.32 * cos((north + south) / 2 * pi / 180)
        len = 5 / km * W / (east - west)
        x0 = W - 30 - len; y = H - 30
        printf "stroke #1d2633 stroke-width 3 line %.1f,%d %.1f,%d\n", x0, y, W - 30, y
        printf "stroke-width 1 line %.1f,%d %.1f,%d line %d,%d %d,%d\n", x0, y - 5, x0, y + 5, W - 30, y - 5, W - 30, y + 5
        printf "stroke none fill #1d2633 font-size 11 text %.1f,%d \"5 km\"\n", x0 + len / 2 - 12, y - 8
    }'
} >"$mvg"

convert -size "${W}x${H}" xc:'#eef2e4' -draw "$(cat "$mvg")" -strip -interlace JPEG -quality 82 \
    "$out/map.jpg"

# Markers: a ring with a dot at the centre, pixel (25, 25), where the page puts the point; no
# antialiasing so the GIF transparency has clean edges.
marker() {
    convert -size 50x50 xc:none +antialias -fill none -stroke "$1" -strokewidth 4 \
        -draw "circle 25,25 25,9" -stroke none -fill "$1" -draw "circle 25,25 25,28" \
        -fill white -draw "point 25,25" "$out/$2"
}
marker '#000000' noire.gif
marker '#008000' verte.gif
marker '#ff0000' rouge.gif

echo "Images écrites dans $out/ : map.jpg (${W} x ${H}), noire.gif, verte.gif, rouge.gif"
