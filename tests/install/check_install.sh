#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a user gets:
# the program reached from bin/, its samples beside the real executable, the
# menu entry and the icon; then starts the installed program off screen and
# checks that it keeps running, and runs the installed batch tool without a
# display on the installed samples.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*"; exit 1; }
[ -L "$prefix/bin/tessavorin" ] || fail "bin/tessavorin is not a link"
program=$(readlink -f "$prefix/bin/tessavorin")
[ -x "$program" ] || fail "the link does not lead to the program"
samples=$(dirname "$program")/samples
[ -d "$samples" ] || fail "no samples folder beside $program"
count=$(ls "$samples" | grep -ciE '\.(jpg|bmp)$')
[ "$count" -ge 6 ] || fail "only $count pictures in $samples"
[ -f "$prefix/share/applications/tessavorin.desktop" ] || fail "no menu entry"
grep -q '^Exec=tessavorin$' "$prefix/share/applications/tessavorin.desktop" || fail "menu entry runs something else"
[ -f "$prefix/share/icons/hicolor/scalable/apps/tessavorin.svg" ] || fail "no icon"

[ -L "$prefix/bin/tessavorin-batch" ] || fail "bin/tessavorin-batch is not a link"
batch=$(readlink -f "$prefix/bin/tessavorin-batch")
[ "$(dirname "$batch")" = "$(dirname "$program")" ] || fail "the batch tool is not beside the program"
(unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM; "$prefix/bin/tessavorin-batch" -q "$samples" -o "$prefix/analysis") ||
  fail "the installed batch tool failed on the samples"
rows=$(($(wc -l <"$prefix/analysis/summary.csv") - 1))
[ "$rows" -eq "$count" ] || fail "the batch summary has $rows rows for $count pictures"

# Started through the link, off screen: it must still be running after two
# seconds (a crash or a missing library ends it at once).
QT_QPA_PLATFORM=offscreen "$prefix/bin/tessavorin" >/dev/null 2>&1 &
pid=$!
sleep 2
kill -0 "$pid" 2>/dev/null || fail "the installed program did not keep running"
kill "$pid"
wait "$pid" 2>/dev/null || true
echo "installed program, batch tool, samples, menu entry and icon are in place"
