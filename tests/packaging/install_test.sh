#!/usr/bin/env bash
# Kelvane as installed: `cmake --install` of the build into a temporary prefix;
# the programs run from there with nothing of the build on PATH (so the encoder
# and decoder adapters are found beside them), the desktop file validates, and
# the file types and icons are where the desktop looks for them.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/kelvane-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() { echo "install test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
export PATH=/usr/bin:/bin KELVANE_HOME=$work/home TMPDIR=$work
bin=$prefix/bin

[[ $("$bin/kelvane" --version) =~ ^kelvane\ [0-9]+\.[0-9]+ ]] || fail "kelvane --version"
[[ $("$bin/kelvane-batch" --version) =~ ^kelvane-batch\ [0-9]+\.[0-9]+ ]] || fail "kelvane-batch --version"
[[ $("$bin/kelvane-cd" --version) =~ ^kelvane-cd\ [0-9]+\.[0-9]+ ]] || fail "kelvane-cd --version"

# A save through the MP3 encoder adapter, a load through the decoder adapter.
sox -q -n -r 22050 -c 1 -b 16 "$work/tone.wav" synth 1 sine 440
sox -q "$work/tone.wav" "$work/voice.ogg"
"$bin/kelvane-batch" -q -o "$work/out" -f mp3 "$work/tone.wav" || fail "conversion to MP3"
"$bin/kelvane-batch" -q -o "$work/out" -f wav "$work/voice.ogg" || fail "conversion from Ogg"
seconds() { soxi -D "$1" 2>/dev/null || ffprobe -v error -show_entries format=duration -of csv=p=0 "$1"; }
for f in "$work/out/tone.mp3" "$work/out/voice.wav"; do
  [ -s "$f" ] || fail "no $f"
  awk -v d="$(seconds "$f")" 'BEGIN { exit !(d > 0.9 && d < 1.2) }' || fail "$f lasts $(seconds "$f") s"
done

desktop-file-validate "$prefix/share/applications/kelvane.desktop" || fail "desktop file"
grep -qx 'Categories=AudioVideo;Audio;AudioVideoEditing;' "$prefix/share/applications/kelvane.desktop" ||
  fail "desktop categories"
update-mime-database "$prefix/share/mime" 2>"$work/mime.log" || { cat "$work/mime.log" >&2; fail "MIME types"; }
grep -q '^application/x-kelvane-project:\*\.kvp$' "$prefix/share/mime/globs" || fail "*.kvp is not a Kelvane project"

icons=$prefix/share/icons/hicolor
[ -s "$icons/scalable/apps/kelvane.svg" ] || fail "scalable icon"
# A PNG's width and height from its header, as "WxH".
png_size() {
  [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || return 0
  od -An -tu1 -j16 -N8 "$1" | awk '{ print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8 }'
}
for size in 16 22 24 32 48 64 128 256; do
  for png in "$icons/${size}x$size/apps/kelvane.png" "$icons/${size}x$size/mimetypes/application-x-kelvane-project.png"; do
    [ "$(png_size "$png")" = "${size}x$size" ] || fail "icon $png"
  done
done
[ -s "$prefix/share/doc/kelvane/manual/index.html" ] || fail "manual"
echo "installed and ran from $prefix"
