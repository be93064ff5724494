#!/usr/bin/env bash
# The Debian package as a user gets it:
#   1. builds it with scripts/package.sh, unless a .deb is given;
#   2. checks its binaries: stripped, relro, bind-now, stack protector, fortified calls;
#   3. lintian: no error and no warning; appstreamcli: its metadata are valid;
#   4. installs it with apt-get;
#   5. starts its desktop entry's command under Xvfb in a fresh home folder, as the menu does,
#      and checks over AT-SPI that the dialog opens on the examples without any message, and
#      that the new working folder holds the examples;
#   6. purges it and checks that nothing of it is left.
# Needs root or sudo, for the install and the purge; refuses to run when ervalun is already
# installed, which the purge would remove.
# Usage: scripts/package-test.sh [ervalun_<version>_<arch>.deb]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
else
    sudo=(sudo)
fi
fail() {
    echo "ÉCHEC : $*" >&2
    exit 1
}
if dpkg-query -W -f='${Status}' ervalun 2>/dev/null | grep -q 'installed'; then
    fail "ervalun est déjà installé ; ce test le désinstallerait. Retirez-le d'abord."
fi

bash scripts/install-deps.sh lintian appstream xvfb xauth dbus at-spi2-core python3-pyatspi \
    binutils file

if [ $# -ge 1 ]; then
    deb=$(realpath "$1")
else
    deb=$(bash scripts/package.sh | tail -n 1)
fi
echo "Paquet : $deb"

work=$(mktemp -d)
cleanup() {
    rm -rf "$work"
    if dpkg-query -W -f='${Status}' ervalun 2>/dev/null | grep -q 'installed'; then
        "${sudo[@]}" apt-get purge -y -qq ervalun >/dev/null 2>&1 || true
    fi
}
trap cleanup EXIT

echo "== Binaires"
dpkg-deb -x "$deb" "$work/tree"
while IFS= read -r binary; do
    name=${binary#"$work/tree"}
    # Read whole before matching: grep -q would stop the reader early, failing the pipe.
    kind=$(file "$binary")
    segments=$(readelf -lW "$binary")
    dynamic=$(readelf -dW "$binary")
    symbols=$(readelf --dyn-syms -W "$binary")
    grep -q ', stripped' <<<"$kind" || fail "$name n'est pas strippé"
    grep -q GNU_RELRO <<<"$segments" || fail "$name sans relro"
    grep -q BIND_NOW <<<"$dynamic" || fail "$name sans bind-now"
    grep -q __stack_chk_fail <<<"$symbols" || fail "$name sans protection de pile"
    grep -q '_chk@' <<<"$symbols" || fail "$name sans appels fortifiés"
    echo "$name : strippé, relro, bind-now, protection de pile, appels fortifiés"
done < <(find "$work/tree" -type f -exec sh -c 'file "$1" | grep ELF >/dev/null' _ {} \; -print)

echo "== lintian"
lintian --info --display-info "$deb" | tee "$work/lintian" || true
if grep -qE '^[EW]: ' "$work/lintian"; then
    fail "lintian signale des erreurs ou des avertissements"
fi
echo "lintian : ni erreur ni avertissement"

echo "== AppStream"
appstreamcli validate --no-net "$work"/tree/usr/share/metainfo/*.metainfo.xml
appstreamcli validate-tree --no-net "$work/tree"

echo "== Installation"
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "$deb" >/dev/null
dpkg-query -L ervalun | sort >"$work/files"

echo "== Démarrage depuis le menu, dossier personnel neuf"
home="$work/home"
mkdir -m 700 "$home"
command=$(sed -n 's/^Exec=//p' /usr/share/applications/ervalun.desktop | sed 's/ *%[fFuUdDnNickvm]//g')
[ -n "$command" ] || fail "pas de commande Exec dans l'entrée de menu"
positions=$(grep -c . /usr/share/ervalun/examples/ervalun.txt)
# A session's environment: the home folder as current folder, the standard PATH, French.
(cd "$home" && bash "$root/scripts/atspi-check.sh" --positions "$positions" -- \
    env HOME="$home" PATH=/usr/local/bin:/usr/bin:/bin LANG=fr_FR.UTF-8 LC_ALL= \
    sh -c "exec $command") || fail "le programme lancé depuis le menu ne s'ouvre pas sans message"
for example in /usr/share/ervalun/examples/*; do
    cmp -s "$example" "$home/Ervalun/$(basename "$example")" ||
        fail "$(basename "$example") manque dans $home/Ervalun"
done
echo "Dossier de travail $home/Ervalun créé avec les exemples"

echo "== Purge"
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get purge -y -qq ervalun >/dev/null
if dpkg-query -W -f='${Status}' ervalun 2>/dev/null | grep -q 'installed\|config-files'; then
    fail "ervalun reste connu de dpkg après la purge"
fi
left=()
while IFS= read -r path; do
    # Folders shared with other packages stay; anything of ours must be gone.
    if [ -e "$path" ] && { [ ! -d "$path" ] || [[ "$path" == *ervalun* ]]; }; then
        left+=("$path")
    fi
done <"$work/files"
[ ${#left[@]} -eq 0 ] || fail "restent après la purge : ${left[*]}"
echo "Purge : rien ne reste ($(wc -l <"$work/files") chemins vérifiés)"
echo "Test du paquet réussi."
