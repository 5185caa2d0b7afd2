# MP3 decoding to a 16-bit WAV: our decoder (kelvane_bench's Mp3File kernel, one
# pass) against mpg123 -w, for a 10-minute 128 kbit/s stereo file and a VBR file.
wav10=$(make_input mp3src10.wav synth 600 sine 220 pinknoise remix 1 2 gain -6 rate 44100 channels 2)
[ -f "$WORK/cbr128.mp3" ] || lame --quiet -b 128 "$wav10" "$WORK/cbr128.mp3"
[ -f "$WORK/vbr.mp3" ] || lame --quiet -V 2 "$wav10" "$WORK/vbr.mp3"
mkdir -p "$WORK/out"
for f in cbr128 vbr; do
  row "decode 10 min $f MP3 to WAV" \
    "KELVANE_MP3=$WORK/$f.mp3 KELVANE_MP3_OUT=$WORK/out/ours.wav $BIN/kelvane_bench --benchmark_filter=BM_Mp3File" \
    "mpg123 -q -w $WORK/out/peer.wav $WORK/$f.mp3"
done
rm -f "$WORK"/out/*
