# A 20-minute disc on the virtual drive. Ripping: kelvane-cd rip in fast and
# secure mode against cd-paranoia without and with its checks, both writing a
# WAV of the track. Burning: kelvane-cd burn onto a blank virtual CD-R against
# sox making the same CD audio (44100 Hz, 16-bit stereo) from the same file; a
# 48000 Hz 24-bit source adds the rate conversion on both sides.
cd20=$(make_input cd20.wav synth 1200 sine 440 sine 660 rate 44100 channels 2 gain -3)
hi20=$WORK/cd20-48k24.wav
[ -f "$hi20" ] || sox "$cd20" -b 24 -r 48000 "$hi20"
disc=$WORK/cd20
mkdir -p "$disc" "$WORK/rip-ours" "$WORK/rip-peer"
[ -f "$disc/disc.bin" ] || sox "$cd20" -t raw -e signed -b 16 -L "$disc/disc.bin"
printf 'FILE "disc.bin" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n' > "$disc/disc.cue"
rip="KELVANE_CD_DRIVES=$disc/disc.cue $BIN/kelvane-cd rip -d 0 --no-lookup -o $WORK/rip-ours"
row "rip 20 min CD track to WAV, fast" \
  "$rip --fast" \
  "cd-paranoia -q -Z -d $disc/disc.cue 1 $WORK/rip-peer/track.wav"
row "rip 20 min CD track to WAV, secure / paranoia" \
  "$rip" \
  "cd-paranoia -q -d $disc/disc.cue 1 $WORK/rip-peer/track.wav"
burn() { echo "rm -rf $WORK/cdr && KELVANE_CD_DRIVES=cdr:$WORK/cdr $BIN/kelvane-cd burn -d 0 $1"; }
row "burn 20 min 44100 Hz 16-bit WAV to CD" \
  "$(burn "$cd20")" \
  "sox $cd20 -t cdda $WORK/peer.cdda"
row "burn 20 min 48000 Hz 24-bit WAV to CD" \
  "$(burn "$hi20")" \
  "sox $hi20 -r 44100 -b 16 -c 2 -t cdda $WORK/peer.cdda"
