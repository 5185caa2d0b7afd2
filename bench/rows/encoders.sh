# Saving a 10-minute stereo document through the encoder programs, against running
# lame, oggenc and flac directly on a WAV of it with the same options (the stored
# defaults, Ogg and FLAC set to stereo like the document). Our side is
# kelvane_bench's EncoderSave, which pumps the WAV into the encoder sink as the
# save job does and waits for the encoder; the last row adds loading the file into
# the tank (kelvane-batch -f).
enc10=$(make_input mp3src10.wav synth 600 sine 220 pinknoise remix 1 2 gain -6 rate 44100 channels 2)
ini=$KELVANE_HOME/kelvane.ini
grep -q '^\[OggEncoder\]' "$ini" 2>/dev/null || printf '[OggEncoder]\nChannels=2\n[FlacEncoder]\nChannels=2\n' >> "$ini"
mkdir -p "$WORK/out"
ours_save() {  # OUT
  echo "KELVANE_BENCH_WAV=$enc10 KELVANE_BENCH_OUT=$1 $BIN/kelvane_bench --benchmark_filter=^BM_EncoderSave"
}
row "save 10 min stereo as MP3 (VBR 32-128 q4)" \
  "$(ours_save "$WORK/out/ours.mp3")" \
  "lame --silent -m j -V 4 -b 32 -B 128 $enc10 $WORK/out/peer.mp3"
row "save 10 min stereo as Ogg (VBR 96-128 q4)" \
  "$(ours_save "$WORK/out/ours.ogg")" \
  "oggenc -Q -m 96 -M 128 -q 4 $enc10 -o $WORK/out/peer.ogg"
row "save 10 min stereo as FLAC (level 4)" \
  "$(ours_save "$WORK/out/ours.flac")" \
  "flac -s -f --compression-level-4 $enc10 -o $WORK/out/peer.flac"
row "load + save 10 min stereo as FLAC (kelvane-batch)" \
  "$BIN/kelvane-batch -q -f flac -o $WORK/out $enc10" \
  "flac -s -f --compression-level-4 $enc10 -o $WORK/out/peer.flac"
rm -f "$WORK"/out/*
