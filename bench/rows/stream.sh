# kelvane-batch runs that stream from the reader to the writer against the same
# runs through the cut tank, each beside sox in one run. "Insert Silence At The
# Start=0" changes nothing but needs the tank, so it forces the tank path.
tank=(-c "'Insert Silence At The Start=0'")
in10=$(make_input wav10.wav synth 600 sine 440 sine 660 rate 44100 channels 2 gain -3)
in60=$(make_input wav60.wav synth 3600 sine 440 sine 660 rate 44100 channels 2 gain -3)
mkdir -p "$WORK/out"
row "copy 10 min stereo WAV, streamed" \
  "$BIN/kelvane-batch -q -o $WORK/out $in10" \
  "sox $in10 $WORK/out/sox10.wav"
row "copy 10 min stereo WAV, through the tank" \
  "$BIN/kelvane-batch -q ${tank[*]} -o $WORK/out $in10" \
  "sox $in10 $WORK/out/sox10.wav"
row "10 min stereo WAV to 48000 mono, streamed" \
  "$BIN/kelvane-batch -q --rate 48000 --channels 1 -o $WORK/out $in10" \
  "sox $in10 -r 48000 -c 1 $WORK/out/sox10.wav"
# 24-bit PCM goes through the wide reader and writer, keeping its coding.
[ -f "$WORK/wav10-24.wav" ] || sox "$in10" -b 24 "$WORK/wav10-24.wav"
row "copy 10 min 24-bit stereo WAV, streamed" \
  "$BIN/kelvane-batch -q -o $WORK/out $WORK/wav10-24.wav" \
  "sox $WORK/wav10-24.wav $WORK/out/sox10-24.wav"
row "copy 1 hour stereo WAV, streamed" \
  "$BIN/kelvane-batch -q -o $WORK/out $in60" \
  "sox $in60 $WORK/out/sox60.wav"
row "load into tank + save, 1 hour stereo" \
  "$BIN/kelvane-batch -q ${tank[*]} -o $WORK/out $in60" \
  "sox $in60 $WORK/out/sox60.wav"
rm -f "$WORK"/out/*
