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

"$tool" --help | grep -q '^Usage : ervalun-fix' || fail "--help"
"$tool" --spread >/dev/null 2>&1 </dev/null
[ $? -eq 2 ] || fail "option sans valeur : code 2 attendu"
"$tool" --bogus >/dev/null 2>&1 </dev/null
[ $? -eq 2 ] || fail "option inconnue : code 2 attendu"

[ "$failures" -eq 0 ] || exit 1
echo "ervalun-fix : tout est conforme."
