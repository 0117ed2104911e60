#!/usr/bin/env bash
# Pictures of the main window and of the editor as a user sees them, from keystrokes on an X
# server of their own: tools/windows/screenshots.sh BUILD WORK [native]
# With "native" the Linux program of BUILD is run, else the Windows one under wine. The
# pictures go to docs/ (windows-foablak.png, windows-szerkeszto.png).
set -euo pipefail
out=$1
work=$2
native=${3:-}
docs=$(cd "$(dirname "$0")/../.." && pwd)/docs
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
export DISPLAY=$display
sleep 2
demo=$work/kepek
rm -rf "$demo"
if [[ -n $native ]]; then
  "$out/bin/rovanta-cli" demo "$demo" >/dev/null
  "$out/bin/rovanta" --data-dir "$demo" &
else
  wine "$out/bin/rovanta-cli.exe" demo "Z:${demo//\//\\}" >/dev/null
  wine "$out/bin/rovanta.exe" --data-dir "Z:${demo//\//\\}" &
fi
program=$!
# Waits for a window whose title holds the text, and gives it the keyboard.
window() {
  local id=""
  for _ in $(seq 60); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n1) && [[ -n $id ]] && break
    sleep 1
  done
  [[ -n $id ]] || { echo "no window: $1" >&2; return 1; }
  xdotool windowfocus --sync "$id" 2>/dev/null || true
  sleep 2
  echo "$id"
}
# The window itself, its title holding the text.
shot() { import -window "$(window "$1")" "$2"; echo "$2"; }
window 'Rovanta' >/dev/null
sleep 3
# The demo's prices end before this month: the program says so first.
xdotool key Return
sleep 2
shot 'Rovanta[+] 2' "$docs/windows-foablak.png"
# The demo car is chosen: logging in, then the months (Ctrl+N), the first month's editor.
window 'Rovanta[+] 2' >/dev/null
xdotool key alt+b
sleep 3
xdotool key ctrl+n
sleep 3
window 'Nyilvántartások' >/dev/null
xdotool key alt+k
sleep 4
shot 'Szerkeszt' "$docs/windows-szerkeszto.png"
kill $program 2>/dev/null || true
