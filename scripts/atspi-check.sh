#!/usr/bin/env bash
# Starts a command that runs Ervalun under Xvfb, in a private D-Bus session with the
# accessibility bus, and checks with scripts/atspi_check.py what a screen reader gets from it:
# the dialog open without a message, the position lists filled, the hemisphere lists and the
# buttons named. Stops the program afterwards.
#
# Usage: scripts/atspi-check.sh [--positions N] -- command [arguments...]
# Exit status: 0 when the checks hold, 1 when not, 77 when a tool is missing (xvfb, dbus,
# at-spi2-core, python3-pyatspi).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" = "--inside" ]; then
    shift
    checks=()
    while [ "$1" != "--" ]; do
        checks+=("$1")
        shift
    done
    shift
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    bus=$!
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$@" &
    program=$!
    status=0
    /usr/bin/python3 "$here/atspi_check.py" "${checks[@]}" || status=$?
    kill "$program" 2>/dev/null || true
    wait "$program" 2>/dev/null || true
    kill "$bus" 2>/dev/null || true
    exit "$status"
fi

for tool in xvfb-run dbus-run-session; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool manque : vérification AT-SPI sautée (paquets xvfb, dbus)."
        exit 77
    fi
done
if [ ! -x /usr/libexec/at-spi-bus-launcher ] || ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null; then
    echo "at-spi2-core ou python3-pyatspi manque : vérification AT-SPI sautée."
    exit 77
fi

checks=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    checks+=("$1")
    shift
done
if [ $# -lt 2 ]; then
    echo "Usage : $0 [--positions N] -- commande [arguments...]" >&2
    exit 2
fi
shift

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Qt wants a private runtime folder and complains on every start without one.
if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -w "${XDG_RUNTIME_DIR:-/nonexistent}" ]; then
    mkdir -m 700 "$work/runtime"
    export XDG_RUNTIME_DIR="$work/runtime"
fi
status=0
timeout 180 xvfb-run -a -s "-screen 0 1280x1024x24" \
    dbus-run-session -- bash "$here/atspi-check.sh" --inside "${checks[@]}" -- "$@" \
    2>"$work/errors" || status=$?
# D-Bus says it may not raise its file limit when not root, and tells of its services: noise.
grep -v -e 'Failed to set fd limit' -e 'Activating service' -e 'Successfully activated' \
    -e 'SpiRegistry daemon' "$work/errors" >&2 || true
exit "$status"
