# A recipe over twenty 1-minute stereo WAVs, two files at a time: kelvane-batch -j 2
# against the equivalent sox chain run by xargs -P 2.
mkdir -p "$WORK/batch-in" "$WORK/batch-ours" "$WORK/batch-sox"
for i in $(seq 1 20); do
  [ -f "$WORK/batch-in/f$i.wav" ] || sox -n -b 16 "$WORK/batch-in/f$i.wav" synth 60 sine $((200 + 10 * i)) sine 1000 rate 44100 channels 2 gain -6
done
row "recipe over 20 x 1 min, two at a time" \
  "$BIN/kelvane-batch -q -j 2 -c Normalize=95 -c \"High-Pass Filter=80\" -c Echo=800,50 -c \"Convert Sample Rate=48000\" -o $WORK/batch-ours $WORK/batch-in/*.wav" \
  "ls $WORK/batch-in/*.wav | xargs -P 2 -I{} sh -c 'sox {} $WORK/batch-sox/\$(basename {}) norm -0.45 highpass 80 echo 1 1 800 0.5 rate 48000'"
