#!/usr/bin/env bash
# The import's open-file dialog driven as a user drives it: the path of a
# number file typed into the file-name box and Enter pressed; the rows must
# appear, and the next opening must show that file in its file-name box
# (Escape then cancels it and adds nothing).
# Args: build/win dir, work dir. DISPLAY and WINEPREFIX are set.
set -uo pipefail
win="$1"
work="$2/import_dialog"
mkdir -p "$work"
driver="$win/tests/win32/import_dialog_driver.exe"
report="$work/report.txt"
numbers="$work/numbers.txt"
rm -f "$report"

log() { echo "[$(date +%T.%3N)] $*"; }
fail() {
  log "FAIL: $*"
  [ -f "$report" ] && sed 's/^/  report: /' "$report"
  exit 1
}

# Mixed line ends, as files from different editors have them.
printf '10001\r\n10002\n10003\r' >"$numbers"
path="$(winepath -w "$numbers" 2>/dev/null)"
[ -n "$path" ] || fail "no Windows path for $numbers"

wine "$driver" "$(winepath -w "$report" 2>/dev/null)" >"$work/driver.log" 2>&1 </dev/null &
driver_pid=$!
trap 'kill "$driver_pid" 2>/dev/null; wait "$driver_pid" 2>/dev/null' EXIT

# Waits up to $2 seconds for a report line matching $1 and prints it.
await() {
  local i line
  for i in $(seq 1 $(($2 * 10))); do
    line="$(grep -m1 -E "$1" "$report" 2>/dev/null)" && {
      echo "$line"
      return 0
    }
    grep -q '^timeout' "$report" 2>/dev/null && break
    kill -0 "$driver_pid" 2>/dev/null || break
    sleep 0.1
  done
  return 1
}

# With no window manager, keys go to the window under the pointer.
point_into() {  # "dialog N X Y W H"
  local _ _ x y w h
  read -r _ _ x y w h <<<"$1"
  x=$((x + w / 2)) y=$((y + h / 2))
  # --sync waits for motion, so it would hang when the pointer is there already.
  [[ "$(xdotool getmouselocation)" == "x:$x y:$y "* ]] && return 0
  timeout 10 xdotool mousemove --sync "$x" "$y"
}

dialog="$(await '^dialog 1 ' 120)" || fail "the first dialog did not show"
log "$dialog"
point_into "$dialog"
timeout 30 xdotool type --delay 20 "$path" || fail "typing the path"
timeout 10 xdotool key Return || fail "pressing Enter"

await '^rows 1 ' 60 >/dev/null || fail "the import did not end"
rows="$(grep '^row ' "$report" | cut -d' ' -f2-)"
want="$(printf '1\t10001\t\n2\t10002\t\n3\t10003\t')"
[ "$rows" = "$want" ] || fail "rows after the import: $(printf '%q' "$rows")"

dialog="$(await '^dialog 2 ' 60)" || fail "the second dialog did not show"
log "$dialog"
box="$(sed -n 's/^box //p' "$report" | tr -d '\r')"
shown="$(sed -n 's/^path //p' "$report" | tr -d '\r')"
# The dialog shows the chosen file in its box and opens in the file's folder
# (Windows since 2000 splits a full path that way); together they name the
# path typed before.
[ "${box,,}" = "numbers.txt" ] || [ "${box,,}" = "${path,,}" ] || fail "file-name box shows '$box'"
[ "${shown,,}" = "${path,,}" ] || fail "the box names '$shown', not '$path'"
point_into "$dialog"
timeout 10 xdotool key Escape || fail "pressing Escape"

await "^done" 60 >/dev/null || fail "the cancelled import did not end"
[ "$(sed -n 's/^rows 2 //p' "$report")" = 3 ] || fail "a cancelled dialog changed the table"
for i in $(seq 1 100); do
  kill -0 "$driver_pid" 2>/dev/null || break
  sleep 0.1
done
wait "$driver_pid"
rc=$?
[ "$rc" = 0 ] || fail "driver exit code $rc"
log "pass"
