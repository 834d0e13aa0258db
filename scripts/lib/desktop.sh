# Sourced by the scripts: a private X display and a private Wine prefix in the
# zh_CN.UTF-8 locale (so Wine's ANSI code page is 936), torn down on exit.

export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
unset LC_CTYPE
export WINEDEBUG=-all
# No Mono or Gecko install prompts in a fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="

desktop_start() {
  # $1: prefix directory to create (or reuse)
  export WINEPREFIX="$1"
  mkdir -p "$WINEPREFIX"
  if [ -z "${TOLLIVAR_KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
    local n
    for n in $(seq 90 140); do
      [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    DESKTOP_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
  fi
  # The prefix's service processes would inherit our output and keep any
  # reader of it waiting: give them none, and keep the server up meanwhile.
  wineboot -i >/dev/null 2>&1 </dev/null
  wineserver -p >/dev/null 2>&1 </dev/null || true  # already running is fine
}

desktop_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "${DESKTOP_XVFB_PID:-}" ]; then
    kill "$DESKTOP_XVFB_PID" 2>/dev/null || true
    wait "$DESKTOP_XVFB_PID" 2>/dev/null || true
  fi
}
