#!/usr/bin/env bash
# The number readers of two commits, compared bit for bit: value bits and status of the
# directory's, the form's, the calibration's and the command line's readers on the edge cases
# of scripts/number_differential.cpp, on every fuzz seed (whole, by line, by word) and on
# generated texts, and the directory and calibration files read whole. Prints the figures; exits
# 1 at the first difference, showing it.
# Usage: scripts/number-differential.sh [OLD [NEW]]   (NEW: the working tree; COUNT=300000,
# SEED=1 by default). OLD defaults to the last commit whose readers had no shared scanner.
set -euo pipefail
cd "$(dirname "$0")/.."

old=${1:-7fd6dd9}
new=${2:-}
count=${COUNT:-300000}
seed=${SEED:-1}
cxx=${CXX:-g++}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

tree() { # commit, folder
    mkdir -p "$2"
    git archive "$1" engine data output ui/form | tar -x -C "$2"
}
tree "$old" "$work/old"
if [ -n "$new" ]; then
    tree "$new" "$work/new"
else
    mkdir -p "$work/new"
    cp -r engine data output "$work/new/"
    mkdir -p "$work/new/ui" && cp -r ui/form "$work/new/ui/"
fi

build() { # folder
    "$cxx" -std=c++20 -O2 -pthread -I"$1" -o "$1/driver" scripts/number_differential.cpp \
        "$1"/engine/*.cpp "$1"/data/*.cpp "$1"/output/*.cpp "$1"/ui/form/form_number.cpp
}
build "$work/old" &
build "$work/new"
wait $!

mkdir -p "$work/run"
for side in old new; do
    "$work/$side/driver" "$seed" "$count" "$work/run" fuzz/corpus/*/* >"$work/$side.out" \
        2>"$work/$side.err"
done
echo "old $(git rev-parse --short "$old"), new ${new:-working tree}: $(cat "$work/new.err")," \
    "$(wc -l <"$work/new.out") result lines, $(ls fuzz/corpus/*/* | wc -l) seed files"
if cmp -s "$work/old.out" "$work/new.out"; then
    echo "0 differences"
else
    echo "DIFFERENCES:"
    diff "$work/old.out" "$work/new.out" | head -20
    exit 1
fi
