#!/usr/bin/env bash
# Takes the AppStream screenshot (punktivo-game.png): the real game under Xvfb, a new "Leicht"
# game with a fixed seed, a few digits and candidate notes entered through XTEST, the window
# cut out of the screen. Needs xvfb, xdotool and imagemagick.
# Usage: packaging/screenshots/make-screenshot.sh BUILD_DIR [OUT.png]
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "${1:?usage: $0 BUILD_DIR [OUT.png]}" && pwd)
out=${2:-$top/packaging/screenshots/punktivo-game.png}
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1100x850x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

(cd "$work" && PUNKTIVO_SEED=11 PUNKTIVO_DATA_DIR="$top/data" exec "$build/app/punktivo") &
pids+=($!)
window=
for _ in $(seq 100); do
  for w in $(xdotool search --name '^Punktivo' 2>/dev/null); do
    [[ $(xdotool getwindowgeometry "$w" | sed -n 's/.*Geometry: //p') == 862x* ]] && window=$w
  done
  [[ -n $window ]] && break
  sleep 0.1
done
[[ -n $window ]] || { echo "no game window" >&2; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y, WIDTH, HEIGHT
menu=$((HEIGHT - 694))  # the window holds the menu bar above the 862x694 client area

xdotool windowfocus --sync "$window"
xdotool key alt+p
sleep 0.5
xdotool key n  # Neues Spiel
sleep 1.5

# The solution of this game (seed 11), row by row; digits typed into the picker.
solution=471589263963742158825361479132897645648235791759416832317658924586924317294173586
cell() { echo $((X + 29 + 60 * ($1 - 1) + 30)) $((Y + menu + 45 + 60 * ($2 - 1) + 30)); }
digit() {  # column row
  # shellcheck disable=SC2046
  xdotool mousemove $(cell "$1" "$2") click 1
  sleep 0.3
  xdotool key "${solution:$((9 * ($2 - 1) + $1 - 1)):1}"
  sleep 0.3
}
note() {  # column row digit
  # shellcheck disable=SC2046
  xdotool mousemove $(cell "$1" "$2") click 3
  sleep 0.3
  xdotool key "$3"
  sleep 0.3
}
for c in 4 5 6 7; do digit "$c" 1; done
for c in 2 3 5 7 8 9; do digit "$c" 2; done
for c in 2 4 6; do digit "$c" 3; done
note 1 4 1; note 1 4 2; note 2 4 3; note 2 4 5; note 3 4 2; note 3 4 9
xdotool mousemove $((X + WIDTH + 20)) $((Y + HEIGHT + 20))
sleep 2.5  # a few seconds on the clock
import -window root "$work/screen.png"
convert "$work/screen.png" -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage -strip "PNG8:$out"
echo "$out: $(identify -format '%wx%h' "$out")"
