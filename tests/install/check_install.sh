#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a user gets:
# the program reached from bin/, its samples beside the real executable, the
# menu entry (opening pictures from a file manager) and the icons; its usage
# text; then starts the installed program off screen, with and without a
# picture, and checks that it keeps running, and runs the installed batch tool
# without a display on the installed samples.
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
entry=$prefix/share/applications/tessavorin.desktop
[ -f "$entry" ] || fail "no menu entry"
grep -qx 'Exec=tessavorin %f' "$entry" || fail "menu entry runs something else"
grep -qx 'MimeType=image/jpeg;image/pjpeg;image/bmp;image/png;image/tiff;' "$entry" || fail "menu entry opens no pictures"
grep -qx 'Categories=Graphics;Viewer;' "$entry" || fail "menu entry has no main category"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$entry"; fi
[ -f "$prefix/share/icons/hicolor/scalable/apps/tessavorin.svg" ] || fail "no icon"
[ -f "$prefix/share/icons/hicolor/256x256/apps/tessavorin.png" ] || fail "no bitmap icon"

usage=$("$prefix/bin/tessavorin" --help) || fail "--help did not end with status 0"
[[ $usage == "Usage: tessavorin [PICTURE | FOLDER]"* ]] || fail "--help printed: $usage"
status=0
QT_QPA_PLATFORM=offscreen "$prefix/bin/tessavorin" --no-such-option >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "an unknown option ended with status $status, not 2"

[ -L "$prefix/bin/tessavorin-batch" ] || fail "bin/tessavorin-batch is not a link"
batch=$(readlink -f "$prefix/bin/tessavorin-batch")
[ "$(dirname "$batch")" = "$(dirname "$program")" ] || fail "the batch tool is not beside the program"
(unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM; "$prefix/bin/tessavorin-batch" -q "$samples" -o "$prefix/analysis") ||
  fail "the installed batch tool failed on the samples"
rows=$(($(wc -l <"$prefix/analysis/summary.csv") - 1))
[ "$rows" -eq "$count" ] || fail "the batch summary has $rows rows for $count pictures"

# Started through the link, off screen, with nothing and with a picture of
# the samples: it must still be running after two seconds (a crash or a
# missing library ends it at once).
for picture in "" "$samples/coffee.jpg"; do
    QT_QPA_PLATFORM=offscreen "$prefix/bin/tessavorin" $picture >/dev/null 2>&1 &
    pid=$!
    sleep 2
    kill -0 "$pid" 2>/dev/null || fail "the installed program did not keep running ($picture)"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
done

# The Python module, when the build has one: under the prefix where its
# interpreter looks for that prefix's modules, importable from there alone.
python=$(sed -n 's/^TESSAVORIN_PYTHON_INTERPRETER:INTERNAL=//p' "$build/CMakeCache.txt")
if [ -n "$python" ]; then
    moduledir=$prefix/$(sed -n 's/^TESSAVORIN_PYTHON_DIR:STRING=//p' "$build/CMakeCache.txt")
    ls "$moduledir"/tessavorin*.so >/dev/null 2>&1 || fail "no Python module in $moduledir"
    # Under the sanitizers the interpreter loads their runtime first (as the
    # module's own tests do); the build's test says which.
    preload=()
    [ -n "${TESSAVORIN_PYTHON_PRELOAD:-}" ] &&
        preload=(env "LD_PRELOAD=$TESSAVORIN_PYTHON_PRELOAD" ASAN_OPTIONS=detect_leaks=0)
    areas=$(cd / && PYTHONPATH=$moduledir "${preload[@]}" "$python" -c "
import tessavorin
s = tessavorin.Session()
s.load('$samples/coffee.jpg')
print(len(s.find_areas().areas['label']))") || fail "the installed Python module does not import and run"
    [ "$areas" -gt 0 ] || fail "the installed Python module found no areas"
fi
echo "installed program, batch tool, samples, menu entry, icons and Python module are in place"
