# Saving and loading a project that holds one hour of stereo audio, against sox
# copying the same audio (the 16-bit WAV the project's document was loaded from).
# Our times are kelvane_bench's BM_ProjectSave and BM_ProjectLoad, which time the
# save and load jobs alone; a project stores 4 bytes per sample, twice what the
# 16-bit copy writes. Every run starts with the page cache's dirty data written
# out, so no run pays for the writeback of the one before. Best of RUNS, as wall
# time and as CPU time (user + system), which a busy machine disturbs less.
# Then the main window's edit commands on a 10-hour document (BM_Command_*),
# which must each stay under 10 ms.
in60=$(make_input wav60.wav synth 3600 sine 440 sine 660 rate 44100 channels 2 gain -3)
mkdir -p "$WORK/out"
min() { echo "$1 $2" | awk '{print ($1<$2)?$1:$2}'; }
sox_wall=999999 sox_cpu=999999 save_wall=999999 save_cpu=999999 load_wall=999999 load_cpu=999999
for ((i = 0; i < RUNS; i++)); do
  sync
  /usr/bin/time -f '%e %U %S' -o "$WORK/time.txt" sox "$in60" "$WORK/out/sox60.wav" 2>/dev/null
  read -r e u s < <(tail -n 1 "$WORK/time.txt")
  sox_wall=$(min "$e" "$sox_wall")
  sox_cpu=$(min "$(echo "$u $s" | awk '{print $1+$2}')" "$sox_cpu")
  sync
  out=$(KELVANE_BENCH_WAV=$in60 KELVANE_BENCH_KVP=$WORK/out/p60.kvp "$BIN/kelvane_bench" \
    --benchmark_filter='^BM_Project(Save|Load)/' --benchmark_format=csv 2>/dev/null)
  save_wall=$(min "$(echo "$out" | awk -F, '/^"BM_ProjectSave/ {print $3/1000}')" "$save_wall")
  save_cpu=$(min "$(echo "$out" | awk -F, '/^"BM_ProjectSave/ {print $4/1000}')" "$save_cpu")
  load_wall=$(min "$(echo "$out" | awk -F, '/^"BM_ProjectLoad/ {print $3/1000}')" "$load_wall")
  load_cpu=$(min "$(echo "$out" | awk -F, '/^"BM_ProjectLoad/ {print $4/1000}')" "$load_cpu")
done
projects_row() {  # LABEL OURS PEER
  printf '%-48s %9.2f %9.2f %7s %10s %10s\n' "$1" "$2" "$3" "$(echo "$2 $3" | awk '{printf "%.2f", $1/$2}')" - -
}
projects_row "project save, 1 h stereo, wall (vs sox copy)" "$save_wall" "$sox_wall"
projects_row "project save, 1 h stereo, CPU (vs sox copy)" "$save_cpu" "$sox_cpu"
projects_row "project load, 1 h stereo, wall (vs sox copy)" "$load_wall" "$sox_wall"
projects_row "project load, 1 h stereo, CPU (vs sox copy)" "$load_cpu" "$sox_cpu"
rm -f "$WORK"/out/*
"$BIN/kelvane_bench" --benchmark_filter='^BM_Command_' 2>/dev/null | grep BM_ || true
