# Data CD images: 20,000 small files in 500 folders, and 4 files of 1 GiB, each
# written whole as an image file by kelvane-cd iso and by genisoimage -J -R.
iso_small=$WORK/iso-small
if [ ! -d "$iso_small" ]; then
  python3 - "$iso_small" <<'PY'
import os, sys
top = sys.argv[1]
for d in range(500):
    folder = os.path.join(top, 'folder %03d' % d)
    os.makedirs(folder)
    for f in range(40):
        with open(os.path.join(folder, 'notes %02d.txt' % f), 'wb') as out:
            out.write(os.urandom(100 + (d * 40 + f) * 7 % 6000))
PY
fi
row "ISO image, 20,000 small files in 500 folders" \
  "$BIN/kelvane-cd iso -o $WORK/iso-ours.iso $iso_small" \
  "genisoimage -quiet -J -R -o $WORK/iso-peer.iso $iso_small"
iso_big=$WORK/iso-big
if [ ! -d "$iso_big" ]; then
  mkdir -p "$iso_big"
  for i in 1 2 3 4; do head -c 1G /dev/urandom >"$iso_big/part$i.bin"; done
fi
row "ISO image, 4 files of 1 GiB" \
  "$BIN/kelvane-cd iso -o $WORK/iso-ours.iso $iso_big" \
  "genisoimage -quiet -J -R -o $WORK/iso-peer.iso $iso_big"
rm -f "$WORK/iso-ours.iso" "$WORK/iso-peer.iso"
