# Sourced by the end-to-end tests and scripts/run: drives Tollivar.exe under
# Wine as a user would (xdotool on the X display) and looks at it from
# outside with our tools (tests/tools). Needs DISPLAY and WINEPREFIX.
#
# Places given to tv_click are in the main window's client area. The X
# display has no window manager: keys go to the window Wine gave the focus,
# so a test clicks into a window before typing into it.

TV_TITLE="Tollivar v1.161.22"

# Client-area centres of the buttons.
declare -A TV_BUTTON=([开始]="325 104" [暂停]="464 104" [恢复]="600 105")

tv_init() {  # build/win dir, work dir
  TV_WIN="$(cd "$1" && pwd)"
  TV_WORK="$2"
  TV_EXE="$TV_WIN/Tollivar.exe"
  TV_INSPECT="$TV_WIN/tests/tools/inspect_window.exe"
  TV_READ="$TV_WIN/tests/tools/read_table.exe"
  TV_STANDIN_DIR="$WINEPREFIX/drive_c/tollivar-standin"
  # Screenshots kept as test artefacts, beside the build trees.
  TV_ARTEFACTS="$(cd "$1/.." && pwd)/e2e-artifacts"
  mkdir -p "$TV_WORK" "$TV_ARTEFACTS"
}

# With no window manager on the display, Wine waits 2 s for one whenever a
# framed window goes away, and nobody draws the frames. Windows that Wine does
# not hand to a window manager draw their own frame and go at once.
tv_unmanaged_windows() {
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
}

tv_log() { echo "[$(date +%T.%3N)] $*"; }
tv_fail() {
  tv_log "FAIL: $*"
  return 1
}

# Our tools print with CR LF; Wine's chatter goes nowhere.
tv_inspect() { wine "$TV_INSPECT" "$@" 2>/dev/null </dev/null | tr -d '\r'; }
tv_table() { wine "$TV_READ" "$TV_TITLE" "$@" 2>/dev/null </dev/null | tr -d '\r'; }

tv_now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Starts the program and waits for its window; sets TV_CX, TV_CY (client
# origin on the screen). The exit code lands in $TV_WORK/tollivar.rc.
tv_start() {
  rm -f "$TV_WORK/tollivar.rc"
  (
    wine "$TV_EXE" >/dev/null 2>&1 </dev/null
    echo $? >"$TV_WORK/tollivar.rc"
  ) &
  TV_JOB=$!
  tv_inspect wait TollivarMainWindow "$TV_TITLE" 60000 >/dev/null || tv_fail "the window did not show" || return 1
  local client
  client="$(tv_inspect tree "$TV_TITLE" | awk -F'\t' '$1 == "client" { print $2 }')"
  [ -n "$client" ] || tv_fail "no client area" || return 1
  IFS=, read -r TV_CX TV_CY _ _ <<<"$client"
}

# Waits up to $1 ms for the program to end; prints its exit code.
tv_wait_exit() {
  local deadline=$(($(tv_now_ms) + $1))
  while [ ! -s "$TV_WORK/tollivar.rc" ]; do
    [ "$(tv_now_ms)" -lt "$deadline" ] || return 1
    sleep 0.02
  done
  cat "$TV_WORK/tollivar.rc"
}

# Ends a program that is still running at the end of a test.
tv_cleanup() {
  if [ -n "${TV_JOB:-}" ] && kill -0 "$TV_JOB" 2>/dev/null; then
    tv_inspect gone "$TV_TITLE" 1 >/dev/null || {
      tv_point_at 100 25
      xdotool key Escape
    }
    # A program that does not end on Esc is stopped, not waited for forever.
    local i
    for i in $(seq 1 100); do
      kill -0 "$TV_JOB" 2>/dev/null || break
      sleep 0.1
    done
    kill "$TV_JOB" 2>/dev/null || true
    wait "$TV_JOB" 2>/dev/null || true
  fi
}

tv_point_at() { xdotool mousemove --sync $((TV_CX + $1)) $((TV_CY + $2)); }
tv_click() {
  tv_point_at "$1" "$2"
  xdotool click 1
}
tv_button() {
  local xy
  read -r -a xy <<<"${TV_BUTTON[$1]}"
  tv_click "${xy[0]}" "${xy[1]}"
}

# Picks item $1 (from 1) of the pop-up menu that is showing, by a click.
tv_choose() {
  local line rect x y w h
  line="$(tv_inspect wait '#32768' '*' 10000)" || tv_fail "no menu showed" || return 1
  rect="$(cut -f2 <<<"$line")"
  IFS=, read -r x y w h <<<"$rect"
  xdotool mousemove --sync $((x + w / 2)) $((y + h * (2 * $1 - 1) / 8)) click 1
  tv_wait_closed '#32768' "the menu"
}

# Waits until no visible top-level window of class $1 is left ($2 names it).
tv_wait_closed() {
  local i
  for i in $(seq 1 200); do
    tv_inspect windows | grep -q "^$1"$'\t' || return 0
    sleep 0.05
  done
  tv_fail "$2 stayed open"
}

# "菜单" on the menu bar, which lies right above the client area.
tv_menu_bar() {
  xdotool mousemove --sync $((TV_CX + 16)) $((TV_CY - 9)) click 1
  tv_choose "$1"
}

# A right click at screen point ($1, $2), then item $3 of the menu.
tv_context() {
  xdotool mousemove --sync "$1" "$2" click 3
  tv_choose "$3"
}

# Imports $1 through the open-file dialog: the menu command is $2 (menu-bar
# by default, or a screen point for the context menu: "context X Y").
tv_import() {
  local file="$1"
  shift
  if [ "${1:-}" = context ]; then tv_context "$2" "$3" 2; else tv_menu_bar 2; fi || return 1
  local line rect x y w h path
  line="$(tv_inspect wait '#32770' '*' 30000)" || tv_fail "no open-file dialog" || return 1
  # Keys go to the window that has the focus, which need not be the dialog:
  # click into its file-name box (id 1148) first, as a user would, and
  # replace whatever it shows from the last opening.
  local tree cx cy
  tree="$(tv_inspect tree "$(cut -f4 <<<"$line")")" || tv_fail "cannot read the dialog" || return 1
  IFS=, read -r cx cy _ <<<"$(awk -F'\t' '$1 == "client" { print $2 }' <<<"$tree")"
  IFS=, read -r x y w h <<<"$(awk -F'\t' '$1 == "0" && $2 == "1148" { print $4; exit }' <<<"$tree")"
  [ -n "$h" ] || tv_fail "no file-name box in the dialog" || return 1
  path="$(winepath -w "$file" 2>/dev/null)"
  xdotool mousemove $((cx + x + w / 2)) $((cy + y + h / 2)) sleep 0.2 click 1
  xdotool key End shift+Home
  xdotool type --delay 15 "$path"
  xdotool key Return
  tv_wait_closed '#32770' "the open-file dialog"
}

tv_row_count() { tv_table count; }
tv_liked_count() { tv_table | awk -F'\t' '$3 == "已点赞"' | wc -l; }

# Polls `$2...` (a command printing a number) until it prints $1, up to $TV_WAIT_MS.
tv_wait_for() {
  local want="$1" deadline got
  shift
  deadline=$(($(tv_now_ms) + ${TV_WAIT_MS:-30000}))
  while :; do
    got="$("$@")"
    [ "$got" = "$want" ] && return 0
    [ "$(tv_now_ms)" -lt "$deadline" ] || tv_fail "$* gave '$got', not '$want'" || return 1
    sleep 0.2
  done
}

# Polls the shell condition $1 until it holds, up to $TV_WAIT_MS.
tv_wait_until() {
  local deadline=$(($(tv_now_ms) + ${TV_WAIT_MS:-30000}))
  until eval "$1"; do
    [ "$(tv_now_ms)" -lt "$deadline" ] || tv_fail "$1 did not come true" || return 1
    sleep 0.2
  done
}

# The program's window as a PNG.
tv_screenshot() {
  local line x y w h
  line="$(tv_inspect wait TollivarMainWindow "$TV_TITLE" 5000)" || return 1
  IFS=, read -r x y w h <<<"$(cut -f2 <<<"$line")"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$1"
}

# The stand-in client: its knobs and its log, in the prefix.
tv_standin_reset() {  # settings lines, e.g. card_x=760
  mkdir -p "$TV_STANDIN_DIR"
  rm -f "$TV_STANDIN_DIR/log.txt"
  {
    echo "[standin]"
    local s
    for s in "$@"; do echo "$s"; done
  } >"$TV_STANDIN_DIR/settings.ini"
}
tv_standin_close_cards() { tv_inspect close TXGuiFoundation 5000 >/dev/null; }
tv_standin_log() { tr -d '\r' <"$TV_STANDIN_DIR/log.txt" 2>/dev/null; }
# Where the stand-in's card covers none of the controls the tests click.
TV_CARD_SETTINGS=(card_x=760 card_y=340)

# The whole screen, for the colour checks below.
tv_screen() { import -window root "$1"; }
# Pixels of exactly colour $6 ("R,G,B") in the client rectangle ($2, $3,
# width $4, height $5) of screen shot $1.
tv_count_colour() {
  convert "$1" -crop "$4x$5+$((TV_CX + $2))+$((TV_CY + $3))" +repage -alpha off \
    -fill black +opaque "rgb($6)" -fill white -opaque "rgb($6)" -format '%[fx:round(mean*w*h)]\n' info:
}
# The colour of client point ($2, $3) of screen shot $1, as "R,G,B".
tv_colour_at() {
  convert "$1" -format "%[fx:round(255*p{$((TV_CX + $2)),$((TV_CY + $3))}.r)],%[fx:round(255*p{$((TV_CX + $2)),$((TV_CY + $3))}.g)],%[fx:round(255*p{$((TV_CX + $2)),$((TV_CY + $3))}.b)]\n" info:
}
