# WAV copy and resampling with kelvane-batch against sox.
in10=$(make_input wav10.wav synth 600 sine 440 sine 660 rate 44100 channels 2 gain -3)
mkdir -p "$WORK/out"
row "copy 10 min 44.1k stereo WAV" \
  "$BIN/kelvane-batch -q -o $WORK/out $in10" \
  "sox $in10 $WORK/out/sox.wav"
row "resample 10 min WAV to 48000" \
  "$BIN/kelvane-batch -q --rate 48000 -o $WORK/out $in10" \
  "sox $in10 -r 48000 $WORK/out/sox48.wav"
in60=$(make_input wav60.wav synth 3600 sine 440 sine 660 rate 44100 channels 2 gain -3)
row "copy 1 hour 44.1k stereo WAV (memory)" \
  "$BIN/kelvane-batch -q -o $WORK/out $in60" \
  "sox $in60 $WORK/out/sox60.wav"
rm -f "$WORK"/out/*
