#!/usr/bin/env bash
# Whole-file speed and memory of Kelvane against the peer tools, side by side in
# one run. Generates its inputs, runs each pair RUNS times alternately and prints
# the best time of each with the ratio ours/peer and the peak resident memory.
#
#   bench/compare.sh [ROWS...]      e.g. bench/compare.sh wav
#   TARGETS="kelvane-batch" bench/compare.sh stream   builds only those targets
# Rows live in bench/rows/NAME.sh; each calls `row LABEL OURS PEER` after making
# its inputs with `make_input`.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(dirname "$here")
"$top/scripts/setup"
build=${BUILD:-$top/build/release}
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVANE_TESTS=OFF >/dev/null
# shellcheck disable=SC2086
cmake --build "$build" ${TARGETS:+--target $TARGETS} >/dev/null
BIN=$build/bin
RUNS=${RUNS:-3}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/kelvane-bench-XXXXXX")
export KELVANE_HOME=$WORK/home
mkdir -p "$KELVANE_HOME"
trap 'rm -rf "$WORK"' EXIT

# Runs a command once; prints "seconds peak_kib".
measure() {
  /usr/bin/time -f '%e %M' -o "$WORK/time.txt" bash -c "$1" >/dev/null 2>&1 || echo "failed: $1" >&2
  tail -n 1 "$WORK/time.txt"
}

printf '%-48s %9s %9s %7s %10s %10s\n' "job" "ours s" "peer s" "ratio" "ours KiB" "peer KiB"
row() {
  local label=$1 ours=$2 peer=$3
  local best_o=999999 best_p=999999 mem_o=0 mem_p=0 t m
  for ((i = 0; i < RUNS; i++)); do
    read -r t m < <(measure "$ours"); best_o=$(echo "$t $best_o" | awk '{print ($1<$2)?$1:$2}'); ((m > mem_o)) && mem_o=$m
    read -r t m < <(measure "$peer"); best_p=$(echo "$t $best_p" | awk '{print ($1<$2)?$1:$2}'); ((m > mem_p)) && mem_p=$m
  done
  local ratio
  ratio=$(echo "$best_o $best_p" | awk '{ if ($2 > 0) printf "%.2f", $1/$2; else print "-" }')
  printf '%-48s %9s %9s %7s %10s %10s\n' "$label" "$best_o" "$best_p" "$ratio" "$mem_o" "$mem_p"
}

# make_input NAME SOX-ARGS...: a generated input file in $WORK, made once.
make_input() {
  local name=$1; shift
  [ -f "$WORK/$name" ] || sox -n -b 16 "$WORK/$name" "$@"
  echo "$WORK/$name"
}

rows=("$@")
if [ ${#rows[@]} -eq 0 ]; then
  for f in "$here"/rows/*.sh; do rows+=("$(basename "$f" .sh)"); done
fi
for r in "${rows[@]}"; do
  # shellcheck source=/dev/null
  source "$here/rows/$r.sh"
done
