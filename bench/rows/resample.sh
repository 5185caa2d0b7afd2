# High-quality sample-rate conversion (libsoxr, very high quality) of 10 minutes
# of 24-bit stereo against sox's own very high quality rate in the same run; the
# standard converter beside it for scale.
in10=$(make_input wav10.wav synth 600 sine 440 sine 660 rate 44100 channels 2 gain -3)
[ -f "$WORK/wav10-24.wav" ] || sox "$in10" -b 24 "$WORK/wav10-24.wav"
mkdir -p "$WORK/out"
row "10 min 24-bit stereo 44100 to 48000, high" \
  "$BIN/kelvane-batch -q --rate 48000 --rate-quality high -o $WORK/out $WORK/wav10-24.wav" \
  "sox $WORK/wav10-24.wav $WORK/out/sox10-24.wav rate -v 48000"
row "10 min 24-bit stereo 44100 to 48000, standard" \
  "$BIN/kelvane-batch -q --rate 48000 --rate-quality standard -o $WORK/out $WORK/wav10-24.wav" \
  "sox $WORK/wav10-24.wav $WORK/out/sox10-24.wav rate 48000"
rm -f "$WORK"/out/*
