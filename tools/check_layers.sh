#!/usr/bin/env bash
# Keeps the layers' includes one way: nothing in platform/ includes the
# program's code (app/, tracks/, playback/, mainwindow/, codec/, recorder/,
# resources/, tests/, tools/); platform/rtl includes nothing of the layer
# but rtl and host; platform/host nothing but host. Prints each offending
# line and fails.
set -uo pipefail
top=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$top" || exit 2
status=0
check() { # what, folder, extended regex of forbidden includes
  local found
  found=$(grep -rnE --include='*.h' --include='*.cpp' "^[[:space:]]*#[[:space:]]*include[[:space:]]*\"($3)" "$2")
  if [ -n "$found" ]; then
    echo "$1:"
    echo "$found"
    status=1
  fi
}
check "platform/ includes program code" platform '(app|tracks|playback|mainwindow|codec|recorder|resources|tests|tools)/'
check "platform/rtl includes more of the layer than rtl and host" platform/rtl 'platform/(win|vcl|media|chart|browser|mixer|backends)/'
check "platform/host includes more of the layer than host" platform/host 'platform/(rtl|win|vcl|media|chart|browser|mixer|backends)/'
exit $status
