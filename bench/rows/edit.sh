# Loading a 1-hour WAV into the tank and saving it back (kelvane-batch does both
# when a command needs the tank; "Insert Silence At The Start=0" changes nothing),
# against sox copying the same file. The separate load and save times come from
# kelvane_bench's BM_TankLoadWav and BM_TankSaveWav on the same input.
in60=$(make_input wav60.wav synth 3600 sine 440 sine 660 rate 44100 channels 2 gain -3)
mkdir -p "$WORK/out"
row "load into tank + save, 1 hour stereo" \
  "$BIN/kelvane-batch -q -c 'Insert Silence At The Start=0' -o $WORK/out $in60" \
  "sox $in60 $WORK/out/sox60.wav"
KELVANE_BENCH_WAV=$in60 "$BIN/kelvane_bench" --benchmark_filter='BM_Tank' 2>/dev/null | grep BM_ || true
rm -f "$WORK"/out/*
