#!/usr/bin/env bash
# One run of quarvel.exe as a person gives it: the setup dialog, Return, then nothing until the
# program ends by itself (or, with ESCAPE_MS, Escape that long into the road scene). Runs inside
# tests/windows/wine-session.sh.
#
#   wine-show.sh PACKAGE_DIR OUT_DIR [ESCAPE_MS]
#
# While the program runs, the screen is copied as often as it can to OUT_DIR/shots/MS.xwd (MS:
# milliseconds since Return). A message box (a window titled "Error", as a shader's compiler
# errors are, or "Quarvel" once the dialog has gone) is copied to OUT_DIR/box-N.xwd and dismissed with Return. OUT_DIR/result gets the
# exit status, the seconds from Return to the end, and the number of message boxes; Wine's
# own output goes to OUT_DIR/wine.log.
set -uo pipefail
package=$1
out=$(realpath -m "$2")
escape_ms=${3:-}
limit_ms=${QUARVEL_WINE_LIMIT_MS:-300000}
here=$(cd "$(dirname "$0")" && pwd)
road_ms=
rm -rf "$out"
mkdir -p "$out/shots"
cd "$package"

millis() { echo $(( $(date +%s%N) / 1000000 )); }

# Through cmd, whose exit status is the program's exit code as Windows reports it: Wine's own
# process for the program is sometimes ended by SIGKILL after that code is set, when one of
# its threads is slow to stop, and its Unix status then says nothing about the program.
"$WINE" cmd /v:on /c 'quarvel.exe & exit !errorlevel!' >"$out/wine.log" 2>&1 &
pid=$!
dialog=
for _ in $(seq 1 240); do
  dialog=$(xdotool search --name '^Quarvel$' 2>/dev/null | head -1)
  [ -n "$dialog" ] && break
  kill -0 $pid 2>/dev/null || break
  sleep 0.25
done
if [ -z "$dialog" ]; then
  echo "status=none seconds=0 boxes=0 reason=no-dialog" > "$out/result"
  kill $pid 2>/dev/null
  exit 1
fi
sleep 0.5
xdotool windowfocus --sync "$dialog" 2>/dev/null
xdotool key Return
start=$(millis)
seen=" $dialog "
boxes=0
escaped=0
timed_out=0
while kill -0 $pid 2>/dev/null; do
  now=$(( $(millis) - start ))
  if [ "$now" -gt "$limit_ms" ]; then
    timed_out=1
    kill $pid
    break
  fi
  cp "$QUARVEL_FB" "$out/shots/$(printf %06d "$now").xwd" 2>/dev/null
  for window in $(xdotool search --name '^(Quarvel|Error)$' 2>/dev/null); do
    case "$seen" in *" $window "*) continue ;; esac
    seen="$seen$window "
    boxes=$((boxes + 1))
    sleep 0.3
    cp "$QUARVEL_FB" "$out/box-$boxes.xwd"
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key Return
  done
  # Escape counts from the first shot of the road scene.
  if [ -n "$escape_ms" ] && [ -z "$road_ms" ] && [ -f "$out/shots/$(printf %06d "$now").xwd" ] &&
     python3 "$here/wine_show_check.py" road "$out/shots/$(printf %06d "$now").xwd"; then
    road_ms=$now
  fi
  if [ -n "$road_ms" ] && [ "$escaped" -eq 0 ] && [ "$now" -ge $((road_ms + escape_ms)) ]; then
    main=$(xdotool search --name '^Quarvel - ' 2>/dev/null | head -1)
    if [ -n "$main" ]; then
      xdotool windowfocus --sync "$main" 2>/dev/null
      xdotool key Escape
      escaped=1
    fi
  fi
  # Often enough to catch the black end, which lasts the closing half second.
  sleep 0.05
done
wait $pid
status=$?
seconds=$(( $(millis) - start ))
[ "$timed_out" -eq 1 ] && status=timeout
echo "status=$status seconds=$((seconds / 1000)).$(printf %03d $((seconds % 1000))) boxes=$boxes escaped=$escaped" > "$out/result"
cat "$out/result"
