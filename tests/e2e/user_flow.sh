#!/usr/bin/env bash
# The program used as a user would, against the stand-in client: import
# through the menu bar and the real open-file dialog, a run with a pause and
# a resume, deleting a row through the context menu (and the renumbering), a
# second import from the context menu, purge, clear, and Esc while a run is
# paused ending the program with exit code 0.
# Args: build/win dir, work dir.
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
# shellcheck source=../../scripts/lib/drive.sh
. "$root/scripts/lib/drive.sh"
tv_init "$1" "$2/user_flow"
trap tv_cleanup EXIT
TV_WAIT_MS=60000

step() { tv_log "-- $*"; }
die() {
  tv_log "FAIL: $*"
  tv_screenshot "$TV_ARTEFACTS/user_flow-failure.png" 2>/dev/null
  exit 1
}
expect_table() {  # what, rows as printf text
  local got want
  got="$(tv_table)"
  want="$(printf "$2")"
  [ "$got" = "$want" ] || die "$1: table reads
$got
want
$want"
}
presses() { tv_standin_log | grep -c '^press ' || true; }

printf '10001\r\n10002\r\n10003\r\n10004\r\n' >"$TV_WORK/four.txt"
printf '20001\r\n\r\n20003\r\n' >"$TV_WORK/three.txt"

tv_unmanaged_windows
tv_standin_reset "${TV_CARD_SETTINGS[@]}"
tv_start || die "start"

step "import from the menu bar"
tv_import "$TV_WORK/four.txt" || die "import"
tv_wait_for 4 tv_row_count || die "rows of the import"
expect_table "after the import" '1\t10001\t\n2\t10002\t\n3\t10003\t\n4\t10004\t'

step "a press on a column header reorders nothing"
tv_click 110 67
expect_table "after the header press" '1\t10001\t\n2\t10002\t\n3\t10003\t\n4\t10004\t'

step "start, pause, resume"
tv_button 开始
tv_wait_for 1 tv_liked_count || die "the first row was not liked"
tv_button 暂停
sleep 1.2  # a wait that was going when the pause came ends first
paused_presses="$(presses)"
paused_liked="$(tv_liked_count)"
tv_screenshot "$TV_ARTEFACTS/user_flow-paused.png"
sleep 3
[ "$(presses)" = "$paused_presses" ] || die "clicks went on while paused ($paused_presses, then $(presses))"
[ "$(tv_liked_count)" = "$paused_liked" ] || die "rows were liked while paused"
[ "$paused_liked" -lt 4 ] || die "the run was over before the pause"
tv_button 恢复
tv_wait_for 4 tv_liked_count || die "the run did not finish after resuming"
expect_table "after the run" '1\t10001\t已点赞\n2\t10002\t已点赞\n3\t10003\t已点赞\n4\t10004\t已点赞'
tv_screenshot "$TV_ARTEFACTS/user_flow-run.png"

step "the stand-in saw each card opened once, liked ten times and closed"
log="$(tv_standin_log)"
for n in 10001 10002 10003 10004; do
  [ "$(grep -cxF "url tencent://ContactInfo/?subcmd=ViewInfo&puin=0&uin=$n" <<<"$log")" = 1 ] || die "url of $n"
  [ "$(grep -cx "press $n 336 329" <<<"$log")" = 10 ] || die "presses of $n"
  [ "$(grep -cx "release $n 336 329" <<<"$log")" = 10 ] || die "releases of $n"
  [ "$(grep -cx "close $n" <<<"$log")" = 1 ] || die "close of $n"
done
[ "$(grep -c '^press ' <<<"$log")" = 40 ] || die "clicks elsewhere: $(grep '^press ' <<<"$log" | sort | uniq -c)"

step "delete the second row through its context menu"
read -r x y <<<"$(tv_table point 1)"
tv_context "$x" "$y" 1 || die "context menu"
expect_table "after deleting row 2" '1\t10001\t已点赞\n2\t10003\t已点赞\n3\t10004\t已点赞'

step "import again from the context menu: the new rows are numbered from 1"
read -r x y <<<"$(tv_table below)"
tv_import "$TV_WORK/three.txt" context "$x" "$y" || die "second import"
tv_wait_for 6 tv_row_count || die "rows of the second import"
expect_table "after the second import" \
  '1\t10001\t已点赞\n2\t10003\t已点赞\n3\t10004\t已点赞\n1\t20001\t\n2\t\t\n3\t20003\t'

step "delete below the last row: nothing goes, every row is renumbered"
read -r x y <<<"$(tv_table below)"
tv_context "$x" "$y" 1 || die "context menu below the rows"
expect_table "after deleting below the rows" \
  '1\t10001\t已点赞\n2\t10003\t已点赞\n3\t10004\t已点赞\n4\t20001\t\n5\t\t\n6\t20003\t'

step "purge the liked rows"
read -r x y <<<"$(tv_table below)"
tv_context "$x" "$y" 4 || die "purge"
tv_wait_for 3 tv_row_count || die "the purge left rows"
expect_table "after the purge" '4\t20001\t\n5\t\t\n6\t20003\t'

step "clear from the menu bar"
tv_menu_bar 3 || die "clear"
tv_wait_for 0 tv_row_count || die "the table was not cleared"

step "Esc while a run is paused ends the program with exit code 0 at once"
tv_standin_reset "${TV_CARD_SETTINGS[@]}"
tv_import "$TV_WORK/four.txt" || die "third import"
tv_wait_for 4 tv_row_count || die "rows of the third import"
tv_button 开始
tv_wait_until '[ "$(presses)" -ge 1 ]' || die "the run did not click"
tv_button 暂停
sleep 0.5
tv_point_at 100 25
started="$(tv_now_ms)"
xdotool key Escape
rc="$(tv_wait_exit 5000)" || die "still running 5 s after Esc"
took=$(($(tv_now_ms) - started))
[ "$rc" = 0 ] || die "exit code $rc"
[ "$took" -le 1000 ] || die "took $took ms to end after Esc"
tv_log "user flow: all steps passed (ended ${took} ms after Esc)"
