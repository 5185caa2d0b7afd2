# Opening files that need a decoder: WMA through the FFmpeg media decoder, M4A
# through faad, Ogg through oggdec. `kelvane-batch --info` opens the file (decoding
# it to a temporary WAV) and reports it; the peer decodes the same file to WAV.
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
row "open 10 min M4A (faad)" \
  "$BIN/kelvane-batch --info $WORK/dec10.m4a" \
  "ffmpeg -v error -y -i $WORK/dec10.m4a -f wav $WORK/ffdec.wav"
row "open 10 min Ogg (oggdec)" \
  "$BIN/kelvane-batch --info $WORK/dec10.ogg" \
  "ffmpeg -v error -y -i $WORK/dec10.ogg -f wav $WORK/ffdec.wav"
rm -f "$WORK/ffdec.wav"
