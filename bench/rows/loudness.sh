# Loudness analysis of a 1-hour stereo file (music-like: a chord under noise, its
# level changing every few seconds) against ffmpeg's ebur128 meter with true peaks.
loud=$(make_input loud-1h.wav synth 3600 sine 220 sine 330 pinknoise tremolo 0.2 90 rate 44100 channels 2 gain -12)
row "loudness of 1 h stereo (I, LRA, true peak)" \
  "$BIN/kelvane-batch --info --loudness $loud" \
  "ffmpeg -nostdin -hide_banner -nostats -i $loud -af ebur128=peak=true:framelog=verbose -f null -"
