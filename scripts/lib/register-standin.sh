#!/usr/bin/env bash
# Registers the stand-in client (TollivarStandin.exe from the given build/win
# directory) as the handler of the "tencent" URL protocol in $WINEPREFIX
# (Wine's default prefix when unset), the way the real client registers
# itself. Idempotent. Quiet on success; on failure says why and exits 1.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 <build/win dir>" >&2
  exit 2
fi
exe="$1/TollivarStandin.exe"
if [ ! -f "$exe" ]; then
  echo "register-standin: $exe not found (build first)" >&2
  exit 1
fi

# Wine talks a lot on stderr; keep it for when something fails.
log="$(mktemp /tmp/register-standin.XXXXXX)"
trap 'rm -f "$log"' EXIT
run() {
  if ! "$@" >>"$log" 2>&1 </dev/null; then
    echo "register-standin: failed: $*" >&2
    cat "$log" >&2
    exit 1
  fi
}

winexe="$(winepath -w "$exe" 2>>"$log")" || { cat "$log" >&2; exit 1; }
key='HKEY_CLASSES_ROOT\tencent'
run wine reg add "$key" /ve /d 'URL:tencent Protocol' /f
run wine reg add "$key" /v 'URL Protocol' /t REG_SZ /d '' /f
run wine reg add "$key\\shell\\open\\command" /ve /d "\"$winexe\" \"%1\"" /f

# Read the command back: quoting through wine's command line is easy to get wrong.
run wine reg query "$key\\shell\\open\\command" /ve
if ! tr -d '\r' <"$log" | grep -qF "\"$winexe\" \"%1\""; then
  echo "register-standin: the command did not come back as written" >&2
  cat "$log" >&2
  exit 1
fi
