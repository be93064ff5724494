#!/usr/bin/env bash
# ervalun-fix from the outside: one answer per case line, errors in place, the exit status,
# the options, and the same bytes under a French locale (whose printf would write 45,9).
# Usage: ervalun_fix_cli_test.sh path/to/ervalun-fix
set -uo pipefail
tool=$1
failures=0
fail() {
    echo "ÉCHEC : $*" >&2
    failures=$((failures + 1))
}

# Le-Brévent 108 and Montenvers 264 (the README example), a comment, a blank line, a line of
# five numbers, a decimal comma, parallel lines, a latitude beyond the pole, a case behind.
input='45.934166666667 6.8375 108 45.928888888889 6.918611111111 264
# commentaire

  0 0 45 0 2 315
1 2 3 4 5
45,5 6 10 45 7 20
0 6 90 0 7 270
95 0 10 45 1 20
45 6 270 45.1 6.1 180'

out=$(printf '%s\n' "$input" | LC_ALL=C "$tool")
status=$?
[ "$status" -eq 1 ] || fail "code de sortie $status au lieu de 1 avec des lignes en erreur"
[ "$(printf '%s\n' "$out" | wc -l)" -eq 7 ] || fail "7 lignes attendues, une par cas : $out"

expected_errors='ERREUR ligne 5 : six nombres attendus, 5 champs lus
ERREUR ligne 6 : « 45,5 » n'"'"'est pas un nombre
ERREUR ligne 7 : lignes parallèles ou confondues
ERREUR ligne 8 : latitude au-delà de 90 degrés'
[ "$(printf '%s\n' "$out" | grep '^ERREUR')" = "$expected_errors" ] ||
    fail "lignes d'erreur : $(printf '%s\n' "$out" | grep '^ERREUR')"

# Eight columns: degrees with 9 decimals, metres with 3, always a point.
deg='-?[0-9]+\.[0-9]{9}'
m='[0-9]+\.[0-9]{3}'
line_re="^$deg $deg $deg $deg $m $m $m $deg\$"
while read -r line; do
    [[ $line =~ $line_re ]] || fail "colonnes : $line"
done < <(printf '%s\n' "$out" | grep -v '^ERREUR')

# The README example: the geodesic fix about 466 m from the flat fix.
offset=$(printf '%s\n' "$out" | sed -n 1p | cut -d' ' -f5)
awk -v o="$offset" 'BEGIN { exit !(o > 440 && o < 490) }' || fail "écart de l'exemple : $offset m"

# The same bytes under a French locale, when the machine has one.
if locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
    french=$(printf '%s\n' "$input" | LC_ALL=fr_FR.UTF-8 "$tool")
    [ "$french" = "$out" ] || fail "sortie différente sous fr_FR.UTF-8 : $french"
else
    echo "Locale fr_FR.UTF-8 absente : indépendance de la locale NON vérifiée." >&2
fi

# --spread adds a last column; --declination moves the geodesic fix, not the flat one.
case1=$(printf '%s\n' "$input" | sed -n 1p)
spread=$(printf '%s\n' "$case1" | "$tool" --spread 1)
[ $? -eq 0 ] || fail "code de sortie non nul pour un cas correct"
spread_re="${line_re%\$} $m\$"
[[ $spread =~ $spread_re ]] || fail "--spread : $spread"
turned=$(printf '%s\n' "$case1" | "$tool" --declination 2)
first=$(printf '%s\n' "$out" | sed -n 1p)
[ "$(cut -d' ' -f3,4 <<<"$turned")" = "$(cut -d' ' -f3,4 <<<"$first")" ] ||
    fail "--declination change le point plan : $turned"
[ "$(cut -d' ' -f1,2 <<<"$turned")" != "$(cut -d' ' -f1,2 <<<"$first")" ] ||
    fail "--declination ne change pas le point géodésique : $turned"

# Numbers as the calibration file takes them: a leading "+", and a value too small for a double
# reads as 0; an infinity is no number.
[ "$(printf '+0 1e-400 45 0 2 315\n' | "$tool")" = "$(printf '0 0 45 0 2 315\n' | "$tool")" ] ||
    fail "« +0 » ou « 1e-400 » ne se lit pas comme 0"
[ "$(printf 'inf 0 45 0 2 315\n' | "$tool")" = "ERREUR ligne 1 : « inf » n'est pas un nombre" ] ||
    fail "« inf » : « n'est pas un nombre » attendu"

# Whole, both modes (read whole: grep -q would stop the tool mid-text).
help=$("$tool" --help)
grep -q '^Usage : ervalun-fix' <<<"$help" && grep -q 'ervalun-fix --multi' <<<"$help" ||
    fail "--help"
"$tool" --spread >/dev/null 2>&1 </dev/null
[ $? -eq 2 ] || fail "option sans valeur : code 2 attendu"
"$tool" --bogus >/dev/null 2>&1 </dev/null
[ $? -eq 2 ] || fail "option inconnue : code 2 attendu"


# --multi. Chamonix (45 55 25 N, 6 52 10 E) seen from Le-Brévent, Montenvers, the Aiguille du
# Midi and Lac Blanc with the true azimuths to it (PROJ's geod), then from Les-Houches 25 degrees
# off: the wild fifth bearing.
target='45.923611111 6.869444444'
exact='45.934166667 6.8375 115.327269569
45.928888889 6.918611111 261.272878924
45.878888889 6.8875 344.264971960
45.981666667 6.891111111 194.599047403'
wild='45.890833333 6.798888889 81.331686765'
as_case() { sed "s/^/$1 /"; }
multi_re="^[^ ]+ $deg $deg $m $m -?[01]\.[0-9]{6} $m $m $deg [0-9]+ $m (-|[0-9]+(,[0-9]+)*)\$"
# The estimate's distance to the target in metres, from an answer line: metres per degree at
# 46 degrees north, near enough over the few metres these checks allow.
off_target() {
    awk -v t="$target" '{ split(t, c, " "); dn = ($2 - c[1]) * 111150; de = ($3 - c[2]) * 77570
                          print sqrt(dn * dn + de * de) }' <<<"$1"
}

# Exact bearings give the target back; consecutive lines make a case, the same id again later
# is a new one (here pairs of the same stations).
pair() { sed -n "$1p" <<<"$exact" | as_case "$2"; }
out=$({ as_case exact <<<"$exact"; pair 1,2 a; pair 3,4 b; pair 1,2 a; } | "$tool" --multi)
[ $? -eq 0 ] || fail "--multi : code de sortie non nul pour des cas corrects"
[ "$(cut -d' ' -f1,10,12 <<<"$out" | tr '\n' ';')" = 'exact 4 -;a 2 -;b 2 -;a 2 -;' ] ||
    fail "--multi : cas, n ou flagged : $out"
while read -r line; do
    [[ $line =~ $multi_re ]] || fail "--multi, colonnes : $line"
    d=$(off_target "$line")
    awk -v d="$d" 'BEGIN { exit !(d < 0.01) }' || fail "--multi : $d m de la cible : $line"
done <<<"$out"

# A wild bearing stands out under the robust estimators, and Andrews leaves it out.
for est in huber andrews; do
    line=$(printf '%s\n%s\n' "$exact" "$wild" | as_case w | "$tool" --multi --estimator $est)
    [ "$(cut -d' ' -f12 <<<"$line")" = 5 ] || fail "--estimator $est : 5 seul attendu : $line"
done
d=$(off_target "$line")
awk -v d="$d" 'BEGIN { exit !(d < 1) }' || fail "andrews : $d m de la cible"

# --declination is added to every bearing: readings one degree short, corrected, give the same.
short=$(as_case d <<<"$exact" | awk '{ $4 = sprintf("%.9f", $4 - 1); print }' |
    "$tool" --multi --declination 1)
[ "$short" = "$(as_case d <<<"$exact" | "$tool" --multi)" ] || fail "--multi --declination : $short"

# 0.95 and 95 are the same level; 50 % gives a smaller ellipse.
at() { as_case c <<<"$exact" | "$tool" --multi --confidence "$1" | cut -d' ' -f7; }
default=$(as_case c <<<"$exact" | "$tool" --multi | cut -d' ' -f7)
[ "$(at 0.95)" = "$(at 95)" ] && [ "$(at 0.95)" = "$default" ] ||
    fail "--confidence 0.95, 95 et le défaut diffèrent"
awk -v a="$(at 50)" -v b="$(at 95)" 'BEGIN { exit !(a < b) }' || fail "--confidence 50 : $(at 50)"

# Errors in place, the other cases still answered: a lone bearing, a short line, a decimal comma
# and a sigma of 0 each cost their case; --estimate-sigma wants four bearings.
bad="seul 45.9 6.8 100
ok $(sed -n 1p <<<"$exact")
ok $(sed -n 2p <<<"$exact")
court 45.9 6.8
virgule 45.9 6.8 100
virgule 45,9 6.8 100
zero 45.9 6.8 100 0
ok $(sed -n 3p <<<"$exact")
ok $(sed -n 4p <<<"$exact")"
out=$(printf '%s\n' "$bad" | LC_ALL=C "$tool" --multi)
[ $? -eq 1 ] || fail "--multi : code de sortie 1 attendu avec des erreurs"
expected="ERREUR ligne 4 : quatre ou cinq champs attendus (id lat lon azimut [sigma]), 3 champs lus
ERREUR cas court : ligne 4 illisible
ERREUR ligne 6 : « 45,9 » n'est pas un nombre
ERREUR cas virgule : ligne 6 illisible
ERREUR ligne 7 : l'écart type « 0 » n'est pas positif
ERREUR cas zero : ligne 7 illisible"
[ "$(grep -v '^ERREUR cas seul : .' <<<"$out" | grep '^ERREUR')" = "$expected" ] ||
    fail "--multi, erreurs : $out"
[ "$(grep -c '^ok ' <<<"$out")" = 2 ] || fail "--multi : les deux cas ok attendus : $out"
two=$(sed -n 2,3p <<<"$bad" | "$tool" --multi --estimate-sigma)
[[ $two == "ERREUR cas ok : "?* ]] || fail "--estimate-sigma à deux relèvements : $two"
if locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
    [ "$(printf '%s\n' "$bad" | LC_ALL=fr_FR.UTF-8 "$tool" --multi)" = "$out" ] ||
        fail "--multi : sortie différente sous fr_FR.UTF-8"
fi

# A case is answered as soon as the next id comes, before the input ends.
# (bash forgets the coprocess's variables once it ends: keep them.)
coproc FIX { "$tool" --multi; }
to_fix=${FIX[1]} from_fix=${FIX[0]} fix_pid=$FIX_PID
as_case a <<<"$exact" >&"$to_fix"
echo "b $(sed -n 1p <<<"$exact")" >&"$to_fix"
read -r -t 20 first <&"$from_fix" || fail "--multi : pas de réponse au cas a avant la fin"
exec {to_fix}>&-
wait "$fix_pid"
[[ $first == "a "* ]] || fail "--multi, réponse au fil de l'eau : $first"

# Wrong options: 2, before reading anything.
while read -r -a args; do
    "$tool" "${args[@]}" </dev/null >/dev/null 2>&1
    [ $? -eq 2 ] || fail "code 2 attendu : ${args[*]}"
done <<'OPTIONS'
--multi --confidence 0
--multi --confidence 1
--multi --confidence 100
--multi --estimator moyenne
--multi --sigma 0
--multi --tuning -1
--multi --spread 1
--estimator huber
--confidence 95
--north magnetic --declination 2
--north l93 --declination 2
--date 2026-12-07
--north utm --date 2026-12-07
--north magnetic --date 2026-02-30
--north magnetic --date 7/12/2026
--north grid
--format csv
--declination-at 45 6 --multi
--declination-at 45 6 --north magnetic
--declination-at 95 6
--declination-at 45
--declination-at 45 6 --date 2026-13-01
OPTIONS

# --declination-at: NOAA's published WMM2025 test declinations (2027.5 read as 2 July), then
# Lambert 93 convergences in Brittany and Corsica (about -5.4 and +4.7 degrees) with the UTM
# ones of the same sign there, and no Lambert 93 in Australia.
# lat lon date column expected tolerance
while read -r lat lon date col want tol; do
    got=$("$tool" --declination-at "$lat" "$lon" --date "$date")
    [ $? -eq 0 ] || fail "--declination-at $lat $lon $date : code non nul"
    [[ $got =~ ^(-?[0-9]+\.[0-9]{6}|nan)( (-?[0-9]+\.[0-9]{6}|nan)){2}$ ]] ||
        fail "--declination-at, colonnes : $got"
    v=$(cut -d' ' -f"$col" <<<"$got")
    if [ "$want" = nan ]; then
        [ "$v" = nan ] || fail "--declination-at $lat $lon : colonne $col $v au lieu de nan"
    else
        awk -v v="$v" -v w="$want" -v t="$tol" 'BEGIN { d = v - w; exit !(d <= t && -d <= t) }' ||
            fail "--declination-at $lat $lon $date : colonne $col = $v, $want attendu à $tol près"
    fi
done <<'AT'
80 0 2025-01-01 1 1.28 0.02
0 120 2025-01-01 1 -0.16 0.02
-80 240 2027-07-02 1 68.49 0.02
48.390 -4.486 2026-12-07 2 -5.4 0.1
48.390 -4.486 2026-12-07 3 -1.2 1.2
42.700 9.450 2026-12-07 2 4.7 0.1
42.700 9.450 2026-12-07 3 0.4 0.4
-33.9 151.2 2026-12-07 2 nan 0
AT
for date in 2024-12-31 2030-01-01; do
    got=$("$tool" --declination-at 48.39 -4.49 --date $date)
    [ $? -eq 1 ] && [[ $got == "ERREUR "*WMM2025* ]] || fail "--declination-at hors du modèle : $got"
done

# --north magnetic turns each bearing by the declination at its station on --date: the same
# geodesic figures as the bearings turned by hand (to the 6 decimals of --declination-at), the
# flat fix of the bearings as typed. --north true is the default.
decl() { "$tool" --declination-at "$1" "$2" --date 2026-12-07 | cut -d' ' -f1; }
read -r a1 o1 z1 a2 o2 z2 <<<"$case1"
by_hand=$(printf '%s %s %s %s %s %s\n' "$a1" "$o1" "$(awk -v z="$z1" -v d="$(decl "$a1" "$o1")" \
    'BEGIN { printf "%.9f", z + d }')" "$a2" "$o2" "$(awk -v z="$z2" -v d="$(decl "$a2" "$o2")" \
    'BEGIN { printf "%.9f", z + d }')" | "$tool")
plain=$("$tool" <<<"$case1")
magnetic=$("$tool" --north magnetic --date 2026-12-07 <<<"$case1")
[ $? -eq 0 ] || fail "--north magnetic : code non nul"
paste -d' ' <(tr ' ' '\n' <<<"$magnetic") <(tr ' ' '\n' <<<"$by_hand") |
    awk '{ d = $1 - $2; t = NR == 6 || NR == 7 ? 2e-3 : 1e-6 }
         (NR < 3 || NR > 5) && (d > t || -d > t) { bad = 1 } END { exit bad }' ||
    fail "--north magnetic : $magnetic au lieu de $by_hand"
[ "$(cut -d' ' -f3,4 <<<"$magnetic")" = "$(cut -d' ' -f3,4 <<<"$plain")" ] &&
    [ "$(cut -d' ' -f1,2 <<<"$magnetic")" != "$(cut -d' ' -f1,2 <<<"$plain")" ] ||
    fail "--north magnetic : point plan changé ou point géodésique inchangé : $magnetic"
[ "$("$tool" --north true <<<"$case1")" = "$plain" ] || fail "--north true n'est pas le défaut"
# In --multi, every bearing of the case: the estimate of the bearings turned by hand.
m_hand=$(as_case m <<<"$exact" | while read -r id la lo az; do
    echo "$id $la $lo $(awk -v z="$az" -v d="$(decl "$la" "$lo")" 'BEGIN { printf "%.9f", z + d }')"
done | "$tool" --multi)
m_north=$(as_case m <<<"$exact" | "$tool" --multi --north magnetic --date 2026-12-07)
awk -v a="$m_north" -v b="$m_hand" 'BEGIN { split(a, x, " "); split(b, y, " ")
    exit !(x[2] - y[2] < 1e-8 && y[2] - x[2] < 1e-8 && x[3] - y[3] < 1e-8 && y[3] - x[3] < 1e-8) }' ||
    fail "--multi --north magnetic : $m_north au lieu de $m_hand"

# No correction, no answer: a date outside the model, a station outside Lambert 93.
out=$("$tool" --north magnetic --date 2030-06-01 <<<"$case1")
[ $? -eq 1 ] && [[ $out == "ERREUR ligne 1 : point 1 : "*WMM2025* ]] || fail "hors du modèle : $out"
out=$(printf 'x 0 0 10\nx 1 1 200\n' | "$tool" --multi --north l93)
[ $? -eq 1 ] && [[ $out == "ERREUR cas x : ligne 1 : "*"Lambert 93"* ]] || fail "hors L93 : $out"

# --format: one file for every case on standard output, read back by the tools at hand; the
# line in error on standard error, the exit status 1, the file still whole.
have() { command -v "$1" >/dev/null; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
printf '%s\n1 2 3\n%s\n' "$case1" "$case1" >"$tmp/pair.txt"
{ as_case a <<<"$exact"; as_case b <<<"$exact"; } >"$tmp/multi.txt"
for format in gpx kml geojson; do
    "$tool" --format $format <"$tmp/pair.txt" >"$tmp/pair.$format" 2>"$tmp/err"
    [ $? -eq 1 ] && [ "$(cat "$tmp/err")" = "ERREUR ligne 2 : six nombres attendus, 3 champs lus" ] ||
        fail "--format $format : erreur $(cat "$tmp/err")"
    "$tool" --multi --format $format <"$tmp/multi.txt" >"$tmp/multi.$format" ||
        fail "--multi --format $format : code non nul"
    for f in "$tmp"/{pair,multi}.$format; do
        if [ $format = geojson ]; then
            ! have ogrinfo || ogrinfo -ro -al -so "$f" >/dev/null 2>&1 || fail "ogrinfo : $f"
        else
            ! have xmllint || xmllint --noout "$f" || fail "xmllint : $f"
        fi
    done
done
# Each two-bearing case gives its two stations, the geodesic and the flat fix; each case of
# --multi its stations and its estimate, named after the case.
if have gpsbabel; then
    while read -r file names; do
        got=$(gpsbabel -i gpx -f - -o unicsv -F - <"$tmp/$file" | cut -d, -f4 | tail -n +2 |
            tr -d '"' | tr '\n' ';')
        [ "$got" = "$names" ] || fail "gpsbabel, $file : $got"
    done <<'NAMES'
pair.gpx ligne 1 : point 1;ligne 1 : point 2;ligne 1 : Point géodésique;ligne 1 : Point plan;ligne 3 : point 1;ligne 3 : point 2;ligne 3 : Point géodésique;ligne 3 : Point plan;
multi.gpx a : ligne 1;a : ligne 2;a : ligne 3;a : ligne 4;a : Estimation;b : ligne 5;b : ligne 6;b : ligne 7;b : ligne 8;b : Estimation;
NAMES
fi

[ "$failures" -eq 0 ] || exit 1
echo "ervalun-fix : tout est conforme."
