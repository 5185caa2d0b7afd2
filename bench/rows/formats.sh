# AU, AIFF, raw and GSM whole-file conversions against sox and toast. Until the
# format dispatcher opens these files by name, our side is kelvane_bench's
# BM_FileConvert, which pumps a reader into a writer as the save job does.
ours_convert() {  # IN OUT [RATE CHANNELS]
  echo "KELVANE_BENCH_IN=$1 KELVANE_BENCH_OUT=$2 KELVANE_BENCH_RATE=${3:-44100} KELVANE_BENCH_CHANNELS=${4:-2} $BIN/kelvane_bench --benchmark_filter=^BM_FileConvert/"
}
# Inputs are 16-bit: sox would otherwise write its synthesised audio as 32-bit.
fmt_input() {  # NAME SOX-OUTPUT-OPTIONS... -- SOX-EFFECTS...
  local name=$1; shift
  local opts=()
  while [ "$1" != "--" ]; do opts+=("$1"); shift; done
  shift
  [ -f "$WORK/$name" ] || sox -n "${opts[@]}" "$WORK/$name" "$@"
  echo "$WORK/$name"
}
mkdir -p "$WORK/out"
fmt_au=$(fmt_input fmt10.au -r 44100 -c 2 -b 16 -- synth 600 sine 440 sine 660 gain -3)
fmt_aiff=$WORK/fmt10.aiff; [ -f "$fmt_aiff" ] || sox "$fmt_au" "$fmt_aiff"
fmt_ulaw=$WORK/fmt10-ulaw.au; [ -f "$fmt_ulaw" ] || sox "$fmt_au" -e mu-law "$fmt_ulaw"
fmt_raw=$WORK/fmt10.raw; [ -f "$fmt_raw" ] || sox "$fmt_au" -t raw -e signed -b 16 -L "$fmt_raw"
row "AU 16-bit -> AIFF, 10 min 44.1k stereo" \
  "$(ours_convert "$fmt_au" "$WORK/out/ours.aiff")" \
  "sox $fmt_au $WORK/out/sox.aiff"
row "AIFF -> AU 16-bit, 10 min 44.1k stereo" \
  "$(ours_convert "$fmt_aiff" "$WORK/out/ours.au")" \
  "sox $fmt_aiff $WORK/out/sox.au"
row "AU mu-law -> raw 16-bit, 10 min stereo" \
  "$(ours_convert "$fmt_ulaw" "$WORK/out/ours.raw")" \
  "sox $fmt_ulaw -t raw -e signed -b 16 -L $WORK/out/sox.raw"
row "raw 16-bit -> raw mu-law, 10 min stereo" \
  "$(ours_convert "$fmt_raw" "$WORK/out/ours.ulaw")" \
  "sox -t raw -r 44100 -c 2 -e signed -b 16 -L $fmt_raw -t raw -e mu-law $WORK/out/sox.ulaw"
rm -f "$WORK"/out/*

# GSM 06.10 against libgsm's toast (16-bit host-order raw in and out).
gsm_wav=$(fmt_input gsm10.wav -r 8000 -c 1 -b 16 -- synth 600 sine 150-1200 pinknoise gain -6)
gsm_raw=$WORK/gsm10.raw; [ -f "$gsm_raw" ] || sox "$gsm_wav" -t raw -e signed -b 16 "$gsm_raw"
gsm_file=$WORK/gsm10.gsm; [ -f "$gsm_file" ] || toast -l -c "$gsm_raw" > "$gsm_file"
row "GSM 06.10 encode, 10 min 8 kHz" \
  "$(ours_convert "$gsm_wav" "$WORK/out/ours.gsm")" \
  "toast -l -c $gsm_raw > $WORK/out/toast.gsm"
row "GSM 06.10 decode, 10 min 8 kHz" \
  "$(ours_convert "$gsm_file" "$WORK/out/ours.wav")" \
  "toast -d -l -c $gsm_file > $WORK/out/toast.raw"
rm -f "$WORK"/out/*
