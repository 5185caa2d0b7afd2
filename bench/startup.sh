#!/usr/bin/env bash
# Start-up of the editor to a visible main window on Qt's offscreen platform,
# warm (the libraries in the page cache): N runs of `kelvane --startup-time`,
# each reporting the time from main() to the shown window, and the wall time of
# the whole process (loading, start, window, exit) as this script sees it.
#   bench/startup.sh BIN_DIR [N]
set -euo pipefail
bin=${1:?usage: bench/startup.sh BIN_DIR [N]}
runs=${2:-10}
home=$(mktemp -d "${TMPDIR:-/tmp}/kelvane-startup-XXXXXX")
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/runtime"
export KELVANE_HOME=$home TMPDIR=$home XDG_RUNTIME_DIR=$home/runtime QT_QPA_PLATFORM=offscreen KELVANE_AUDIO_OUT=null
"$bin/kelvane" --startup-time >/dev/null 2>&1  # warm the page cache
for _ in $(seq "$runs"); do
  t0=$(date +%s%N)
  shown=$("$bin/kelvane" --startup-time 2>/dev/null | sed -n 's/.*shown \([0-9.]*\) ms.*/\1/p')
  t1=$(date +%s%N)
  echo "main() to window: $shown ms, whole process: $(( (t1 - t0) / 1000000 )) ms"
done
