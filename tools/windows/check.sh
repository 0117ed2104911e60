#!/usr/bin/env bash
# The Windows build's checks, run by `build.sh --check` (its environment: WINEPATH, WINEPREFIX)
# on the build folder given:
#   1. the tests under wine (all but the Linux package's install test);
#   2. the command line of Windows against Linux's: the same demo folder, generated month, CSV
#      files and costs, byte for byte;
#   3. the installer: a silent install for the user, the installed command line's figures,
#      a silent uninstall that leaves no file behind;
#   4. pictures of the main window and of the editor under wine on Xvfb, into docs/.
# Every part runs; the summary at the end names those that failed.
set -uo pipefail

out=$(cd "$1" && pwd)
src=$(cd "$(dirname "$0")/../.." && pwd)
work=$out/check
rm -rf "$work"
mkdir -p "$work"
failed=()
say() { printf '\n== %s (%s)\n' "$*" "$(date +%T)"; }
fail() { echo "FAILED: $*"; failed+=("$*"); }
# Under wine a program sees / as drive Z:.
win() { echo "Z:${1//\//\\}"; }

say "tests under wine"
# tst_install unpacks the Debian layout and runs gzip and sh on it: Linux's own.
if ! (cd "$out" && ctest --output-on-failure -E '^tst_install$' --timeout 900 >"$work/ctest.log" 2>&1); then
  fail "tests under wine (see $work/ctest.log)"
fi
grep -E 'tests passed|tests failed|\*\*\*' "$work/ctest.log"

say "the command line of Linux against Windows's"
linux=$out/linux
nice -n 19 cmake -S "$src" -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=Release -DROVANTA_TESTS=OFF \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null &&
  nice -n 19 cmake --build "$linux" --target rovanta-cli rovanta_cities >/dev/null ||
  fail "the Linux command line does not build"
year=$(($(date +%Y) - 1))
# The same commands on both sides, each side in a folder of its own.
run_side() { # side, command prefix...
  local side=$1 d=$work/$1
  shift
  mkdir -p "$d"
  "$@" demo "$(path_of "$side" "$d/adat")" >"$d/demo.out" 2>&1 || echo "demo: $?" >>"$d/status"
  "$@" --data-dir "$(path_of "$side" "$d/adat")" generate RVN-482 "$year-04" --km 1800 --seed 7 --elfogad \
    >"$d/generate.out" 2>&1 || echo "generate: $?" >>"$d/status"
  "$@" --data-dir "$(path_of "$side" "$d/adat")" export RVN-482 "$year-03" -o "$(path_of "$side" "$d/marcius.csv")" \
    >"$d/export.out" 2>&1 || echo "export: $?" >>"$d/status"
  "$@" --data-dir "$(path_of "$side" "$d/adat")" year RVN-482 "$year" -o "$(path_of "$side" "$d/ev.csv")" --elfogad \
    >"$d/year.out" 2>&1 || echo "year: $?" >>"$d/status"
  for m in 01 02 03 04; do
    "$@" --data-dir "$(path_of "$side" "$d/adat")" cost RVN-482 "$year-$m" >>"$d/cost.out" 2>&1 ||
      echo "cost $m: $?" >>"$d/status"
  done
  # A Windows console's lines end in CR LF, and each side names its own folder its own way:
  # the rest must agree.
  P=$(path_of "$side" "$d") perl -pi -e 's/\r$//; s/\Q$ENV{P}\E/@/g; tr{\\}{/}' "$d"/*.out
}
path_of() { if [[ $1 == windows ]]; then win "$2"; else echo "$2"; fi; }
run_side linux "$linux/bin/rovanta-cli"
run_side windows wine "$out/bin/rovanta-cli.exe"
if diff -r "$work/linux" "$work/windows" >"$work/compare.diff"; then
  echo "identical: $(cd "$work/linux" && find . -type f | wc -l) files (demo folder, month files, CSV, costs)"
else
  fail "Linux and Windows differ (see $work/compare.diff)"
  head -40 "$work/compare.diff"
fi
cat "$work/linux/cost.out"

say "installer: silent install, the installed command line, silent uninstall"
setup=$(ls "$out"/rovanta-*-setup.exe)
target=$work/telepitve
wine "$setup" /S /D="$(win "$target")"
wineserver -w
for f in bin/rovanta.exe bin/rovanta-cli.exe bin/Qt6Core.dll bin/platforms/qwindows.dll share/rovanta/cities.rvd uninstall.exe; do
  [[ -f $target/$f ]] || fail "not installed: $f"
done
start_menu=$(find "$WINEPREFIX/drive_c/users" -path '*Start Menu*' -name 'Rovanta+ útnyilvántartó*.lnk' | head -n1)
[[ -n $start_menu ]] || fail "no Start-menu entry"
mkdir -p "$work/installed"
wine "$target/bin/rovanta-cli.exe" demo "$(win "$work/installed/adat")" >/dev/null 2>&1 || fail "installed demo"
for m in 01 02 03 04; do
  [[ $m == 04 ]] && wine "$target/bin/rovanta-cli.exe" --data-dir "$(win "$work/installed/adat")" generate RVN-482 \
    "$year-04" --km 1800 --seed 7 --elfogad >/dev/null 2>&1
  wine "$target/bin/rovanta-cli.exe" --data-dir "$(win "$work/installed/adat")" cost RVN-482 "$year-$m" \
    >>"$work/installed/cost.out" 2>&1
done
sed -i 's/\r$//' "$work/installed/cost.out"
cmp -s "$work/installed/cost.out" "$work/linux/cost.out" && echo "installed cost: as on Linux" ||
  fail "the installed command line's costs differ from Linux's"
wine "$target/uninstall.exe" /S
wineserver -w
sleep 2
wineserver -w
left=$(find "$target" -type f 2>/dev/null | wc -l)
[[ $left == 0 ]] || fail "uninstall left $left files"
[[ -z $(find "$WINEPREFIX/drive_c/users" -path '*Start Menu*' -name 'Rovanta+*' 2>/dev/null) ]] ||
  fail "uninstall left the Start-menu entry"

say "pictures under wine and Xvfb"
if command -v xdotool >/dev/null; then
  "$(dirname "$0")/screenshots.sh" "$out" "$work" || fail "screenshots"
else
  fail "xdotool missing: no screenshots"
fi

say "summary"
if ((${#failed[@]})); then
  printf 'failed: %s\n' "${failed[@]}"
  exit 1
fi
echo "every Windows check passed"
