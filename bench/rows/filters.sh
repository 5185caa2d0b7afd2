# Filter, dynamics and edit effects on a 10-minute 44.1 kHz stereo file, each
# against the nearest sox effect; both sides load, process and write the whole
# file. Reverse has no batch command, so kelvane_bench's BM_ReverseWavFile does
# the same three steps. The filters alone (and the equalizer's real-time
# factor) are kelvane_bench's BM_Echo ... BM_NoiseGate.
fx=$(make_input fx10.wav synth 600 sine 440 sine 660 rate 44100 channels 2 gain -6)
mkdir -p "$WORK/out"
fxrow() {
  local label=$1 command=$2 peer=$3
  row "$label" "$BIN/kelvane-batch -q -c \"$command\" -o $WORK/out $fx" "sox $fx $WORK/out/sox.wav $peer"
}
fxrow "echo 800 ms 50 % vs sox echo, 10 min" "Echo=800,50" "echo 0.8 0.9 800 0.5"
fxrow "reverb vs sox reverb, 10 min" "Reverb=50,100" "reverb"
fxrow "high-pass 250 (500 Hz) vs sox highpass, 10 min" "High-Pass Filter=250" "highpass 500"
bands=""
for f in 31 62 125 250 500 1000 2000 4000 8000 16000; do bands="$bands equalizer $f 1q 3"; done
fxrow "equalizer 4095 taps vs sox 10-band equalizer, 10 min" "Equalizer=0,128,20,200,60,90,255,140" "$bands"
fxrow "compressor -20 dB 2:1 vs sox compand, 10 min" "Dynamic Range Compressor=-20,2,3" \
  "compand 0.005,0.1 -90,-90,-20,-20,0,-10 0"
row "reverse vs sox reverse, 10 min" \
  "KELVANE_BENCH_WAV=$fx KELVANE_BENCH_OUT=$WORK/out/rev.wav $BIN/kelvane_bench --benchmark_filter=BM_ReverseWavFile" \
  "sox $fx $WORK/out/sox.wav reverse"
"$BIN/kelvane_bench" --benchmark_filter='BM_(Echo|Reverb|HighPass|Equalizer|Compressor|NoiseGate)$' 2>/dev/null |
  grep BM_ || true
rm -f "$WORK"/out/*
