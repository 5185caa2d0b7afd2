# Effects on a 10-minute 44.1 kHz stereo file through kelvane-batch -c, each
# against the nearest sox effect. Both sides load, process and write the whole
# file; the kernels alone are kelvane_bench's BM_TimeStretch* and BM_SpeedPitchMode.
fx=$(make_input fx10.wav synth 600 sine 440 sine 660 rate 44100 channels 2 gain -6)
mkdir -p "$WORK/out"
fxrow() {
  local label=$1 command=$2 peer=$3
  row "$label" "$BIN/kelvane-batch -q -c \"$command\" -o $WORK/out $fx" "sox $fx $WORK/out/sox.wav $peer"
}
fxrow "amplify 150 % vs sox vol, 10 min" "Amplify=150" "vol 1.5"
fxrow "normalize vs sox norm, 10 min" "Normalize=100" "norm"
fxrow "fade in (envelope) vs sox fade, 10 min" "Envelope=0,0,255,128" "fade t 600"
fxrow "tempo 150 % (mode 1) vs sox tempo, 10 min" "Constant Pitch and Speed Change=150" "tempo 1.5"
fxrow "speed 150 % (mode 0) vs sox speed, 10 min" "Simple Speed and Pitch Change=150" "speed 1.5"
fxrow "pitch 200 % (mode 2) vs sox pitch, 10 min" "Constant Speed and Pitch Change=200" "pitch 1200"
rm -f "$WORK"/out/*
