# Opening files that need a decoder: WMA through the FFmpeg media decoder, M4A and
# Ogg through the decoder component kelvane-avdec. `kelvane-batch --info` opens the
# file (decoding it to a temporary WAV) and reports it; the peer decodes the same
# file to WAV. The adapter alone is measured too, against the same ffmpeg command.
src10=$(make_input dec10.wav synth 600 sine 440 sine 660 rate 44100 channels 2 gain -3)
for ext in wma m4a ogg; do
  [ -f "$WORK/dec10.$ext" ] || case $ext in
    wma) ffmpeg -v error -y -i "$src10" -c:a wmav2 -b:a 128k "$WORK/dec10.wma" ;;
    m4a) ffmpeg -v error -y -i "$src10" -c:a aac -b:a 128k "$WORK/dec10.m4a" ;;
    ogg) oggenc -Q -q 4 -o "$WORK/dec10.ogg" "$src10" ;;
  esac
done
row "open 10 min WMA (media decoder)" \
  "$BIN/kelvane-batch --info $WORK/dec10.wma" \
  "ffmpeg -v error -y -i $WORK/dec10.wma -f wav $WORK/ffdec.wav"
for ext in m4a ogg; do
  row "open 10 min ${ext^^} (kelvane-avdec)" \
    "$BIN/kelvane-batch --info $WORK/dec10.$ext" \
    "ffmpeg -v error -y -i $WORK/dec10.$ext -f wav $WORK/ffdec.wav"
  row "decode 10 min ${ext^^} to WAV, kelvane-avdec alone" \
    "$BIN/kelvane-avdec -d -o $WORK/avdec.wav $WORK/dec10.$ext" \
    "ffmpeg -v error -y -i $WORK/dec10.$ext -f wav $WORK/ffdec.wav"
done
rm -f "$WORK/ffdec.wav" "$WORK/avdec.wav"
