#!/usr/bin/env bash
# The desktop launcher in an installed layout (bin/, share/ervalun/examples/) with a stand-in
# for the program that reports where it was started: the first start makes the user's folder
# with the examples, later starts never replace the user's files, and an unusable folder still
# starts the program.
# Usage: tests/launcher_test.sh <packaging/ervalun-launcher> <examples folder>
set -euo pipefail
launcher=$(readlink -f "$1")
examples=$(readlink -f "$2")
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

mkdir -p "$root/prefix/bin" "$root/prefix/share/ervalun"
cp "$launcher" "$root/prefix/bin/ervalun-launcher"
cp -r "$examples" "$root/prefix/share/ervalun/examples"
cat >"$root/prefix/bin/ervalun" <<'PROGRAM'
#!/bin/sh
echo "started in $(pwd) with $*"
PROGRAM
chmod +x "$root/prefix/bin/ervalun" "$root/prefix/bin/ervalun-launcher"
# Through a link, as a menu or a user's own bin/ may call it.
ln -s "$root/prefix/bin/ervalun-launcher" "$root/launcher-link"

fail() {
    echo "ÉCHEC : $*" >&2
    exit 1
}

home="$root/home"
mkdir -m 700 "$home"
out=$(cd / && umask 022 && HOME=$home "$root/launcher-link" a b)
[ "$out" = "started in $home/Ervalun with a b" ] || fail "first start: $out"
for f in "$examples"/*; do
    cmp -s "$f" "$home/Ervalun/$(basename "$f")" || fail "example $(basename "$f") not copied"
done
[ "$(stat -c %a "$home/Ervalun")" = 755 ] || fail "folder mode $(stat -c %a "$home/Ervalun")"
[ -z "$(find "$home" -name '.Ervalun.*')" ] || fail "staging folder left behind"

# The user's files stay as they are: changed, removed or added.
echo "Mon-Refuge 45 0 0 N 6 0 0 E" >"$home/Ervalun/ervalun.txt"
rm "$home/Ervalun/calibration.txt"
echo "journal" >"$home/Ervalun/ervalun.log"
out=$(HOME=$home "$root/prefix/bin/ervalun-launcher")
[ "$out" = "started in $home/Ervalun with " ] || fail "second start: $out"
[ "$(cat "$home/Ervalun/ervalun.txt")" = "Mon-Refuge 45 0 0 N 6 0 0 E" ] || fail "ervalun.txt replaced"
[ ! -e "$home/Ervalun/calibration.txt" ] || fail "a removed file came back"
[ "$(cat "$home/Ervalun/ervalun.log")" = "journal" ] || fail "the log was touched"

# Another folder on request, made with its parents.
out=$(HOME=$home ERVALUN_DIR="$root/ailleurs/Triangulation" "$root/prefix/bin/ervalun-launcher")
[ "$out" = "started in $root/ailleurs/Triangulation with " ] || fail "ERVALUN_DIR: $out"
[ -f "$root/ailleurs/Triangulation/operateurs.txt" ] || fail "ERVALUN_DIR not filled"

# A file where the folder should be: the program still starts, in the current folder.
other="$root/other"
mkdir -p "$other"
touch "$other/Ervalun"
out=$(cd "$root" && HOME=$other "$root/prefix/bin/ervalun-launcher" 2>/dev/null)
[ "$out" = "started in $root with " ] || fail "unusable folder: $out"
echo "lanceur : dossier créé, fichiers de l'utilisateur gardés"
