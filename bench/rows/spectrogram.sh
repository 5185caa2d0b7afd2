# The spectrogram of a 1920-pixel view, from kelvane_bench: the first picture
# (every column computed, nothing cached) of a ten-hour stereo document shown
# whole, an hour and a minute of it, and a scroll by a tenth of the view as the
# wave thread runs it, at FFT sizes 512, 2048 and 8192. Time is wall clock, CPU
# the process's; the goal for a scroll step is one 60 Hz frame (16.7 ms). For
# scale, sox drawing the spectrogram of a one-minute file 1920 pixels wide
# (decoding, every sample analysed, PNG written) in the same run.
"$BIN/kelvane_bench" --benchmark_filter='BM_Spectrogram' 2>/dev/null | grep BM_ || true
min1=$(make_input spec60.wav synth 60 sine 220-3520 sine 660 rate 44100 channels 2 gain -3)
read -r t m < <(measure "sox $min1 -n spectrogram -x 1920 -y 513 -o $WORK/spec60.png")
printf '%-48s %9s s %10s KiB\n' "sox spectrogram, 1 min, 1920 px" "$t" "$m"
rm -f "$WORK/spec60.png"
