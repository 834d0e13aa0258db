#!/usr/bin/env bash
# Closing ends the program with exit code 0 at once, by whatever means and
# whatever its threads are doing: Alt+F4 while the open-file dialog is up, Esc
# while an import is still appending rows, the caption's close button while a
# run and a purge go on. Workers that touch the table after the window is
# gone must neither show anything nor hold up the end.
# Args: build/win dir, work dir.
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
# shellcheck source=../../scripts/lib/drive.sh
. "$root/scripts/lib/drive.sh"
tv_init "$1" "$2/close_while_busy"
trap 'tv_cleanup; tv_standin_close_cards' EXIT
TV_WAIT_MS=60000

die() {
  tv_log "FAIL: $*"
  exit 1
}
# Closes with the given key or click and checks the exit code and the time.
close_and_check() {  # what, then the xdotool arguments that close
  local what="$1" started rc took
  shift
  started="$(tv_now_ms)"
  xdotool "$@"
  rc="$(tv_wait_exit 5000)" || die "$what: still running 5 s later"
  took=$(($(tv_now_ms) - started))
  [ "$rc" = 0 ] || die "$what: exit code $rc"
  [ "$took" -le 1000 ] || die "$what: took $took ms to end"
  # Nothing of ours may be left on the screen, no error box either.
  tv_inspect windows | grep -vE '^TXGuiFoundation' | grep -q . && die "$what: windows left: $(tv_inspect windows)"
  tv_log "$what: ended after $took ms"
}

tv_unmanaged_windows
tv_standin_reset "${TV_CARD_SETTINGS[@]}"
seq 100000 399999 | sed 's/$/\r/' >"$TV_WORK/many.txt"

# The open-file dialog runs on its own thread; the window stays usable.
tv_start || die "start"
tv_menu_bar 2 || die "menu"
tv_inspect wait '#32770' '*' 30000 >/dev/null || die "no open-file dialog"
tv_click 300 465  # on 标签4, back to the main window; the dialog has no owner
tv_inspect wait '#32770' '*' 1000 >/dev/null || die "the open-file dialog went away"
close_and_check "Alt+F4 with the import dialog open" key alt+F4

# 300,000 lines take the import some seconds to append.
tv_start || die "start"
tv_import "$TV_WORK/many.txt" || die "import"
tv_wait_until '[ "$(tv_row_count)" -gt 0 ]' || die "no rows came"
tv_point_at 100 25
close_and_check "Esc while importing" key Escape

# A run and a purge side by side, then the caption's close button.
tv_start || die "start"
tv_import "$TV_WORK/many.txt" || die "import"
tv_wait_for 300000 tv_row_count || die "rows of the import"
tv_button 开始
tv_wait_until '[ -s "$TV_STANDIN_DIR/log.txt" ]' || die "the run opened no card"
read -r x y <<<"$(tv_table point 0)"
tv_context "$x" "$y" 4 || die "purge"
sleep 0.3
read -r x y w _ <<<"$(tv_inspect wait TollivarMainWindow "$TV_TITLE" 5000 | cut -f2 | tr , ' ')"
close_and_check "close button during a run and a purge" mousemove --sync $((x + w - 12)) $((y + 12)) click 1
