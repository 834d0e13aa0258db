#!/usr/bin/env bash
# The program under stress: tollivar_stress.exe is the program with a driver
# inside (tests/win32/stress_driver.cpp) that for some seconds has threads
# import, purge, delete the selected row, clear and run at once, then checks
# that no row was lost or doubled, that one more purge leaves exactly the
# unliked rows, and that the window answers. Then Esc must end the program
# with exit code 0 at once.
# Args: build/win dir, work dir.
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
# shellcheck source=../../scripts/lib/drive.sh
. "$root/scripts/lib/drive.sh"
tv_init "$1" "$2/stress"
trap tv_cleanup EXIT
seconds=20

die() {
  tv_log "FAIL: $*"
  [ -f "$report" ] && sed 's/^/  report: /' "$report"
  exit 1
}

tv_unmanaged_windows
TV_EXE="$TV_WIN/tests/win32/tollivar_stress.exe"
report="$TV_WORK/report.txt"
rm -f "$report"
TOLLIVAR_STRESS_REPORT="$(winepath -w "$report" 2>/dev/null)"
export TOLLIVAR_STRESS_REPORT TOLLIVAR_STRESS_SECONDS="$seconds"
tv_start || die "start"

TV_WAIT_MS=$(((seconds + 90) * 1000))
tv_wait_until 'grep -qxE "pass|FAIL" "$report" 2>/dev/null' || die "no verdict from the driver"
grep -qx pass "$report" || die "the driver found faults"
sed 's/^/  /' "$report"

tv_point_at 100 25
started="$(tv_now_ms)"
xdotool key Escape
rc="$(tv_wait_exit 5000)" || die "still running 5 s after Esc"
[ "$rc" = 0 ] || die "exit code $rc after Esc"
tv_log "stress: pass; ended $(($(tv_now_ms) - started)) ms after Esc"
