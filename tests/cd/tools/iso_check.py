#!/usr/bin/env python3
"""Reads an ISO image with independent tools and compares it with the folder
it was made from: isoinfo lists every name of the ISO, Joliet and Rock Ridge
trees, xorriso finds no bad block, pycdlib reads every file back through its
three paths, and osirrox restores the tree as it was.

usage: iso_check.py IMAGE SOURCE_DIR LABEL [--no-rock-ridge]
(without Rock Ridge the files are found through their Joliet names, links
followed)
Prints what is wrong and exits 1, or exits 0.
"""
import io
import os
import subprocess
import sys
import tempfile

import pycdlib

FORBIDDEN = set('*/:;?\\')


def joliet_name(name):
    out = ''.join('_' if (ord(c) > 0xFFFF or ord(c) < 0x20 or c in FORBIDDEN) else c for c in name)
    if len(out) <= 64:
        return out
    dot = out.rfind('.')
    ext = out[dot:] if dot >= 0 else ''
    if not ext or len(ext) >= 64:
        return out[:64]
    return out[:64 - len(ext)] + ext


def run(args, encoding='utf-8'):
    return subprocess.run(args, capture_output=True).stdout.decode(encoding, 'replace')


def main():
    image, source, label = sys.argv[1], sys.argv[2], sys.argv[3]
    rock = '--no-rock-ridge' not in sys.argv
    errors = []

    info = run(['isoinfo', '-d', '-i', image])
    if 'Joliet with UCS level 3 found' not in info:
        errors.append('isoinfo -d finds no Joliet tree')
    if rock != ('Rock Ridge signatures' in info):
        errors.append('isoinfo -d: Rock Ridge is %s' % ('missing' if rock else 'there'))
    volume = ''.join(c for c in label.upper() if c in 'ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_ ')[:32].strip()
    if label and 'Volume id: ' + volume + '\n' not in info.replace(' \n', '\n'):
        errors.append('isoinfo -d: wrong volume id:\n' + info)

    iso = pycdlib.PyCdlib()
    iso.open(image)
    # Every ISO path, keyed by the Rock Ridge (or Joliet) path it stands for.
    iso_of = {}
    stack = [('/', '/')]
    while stack:
        iso_dir, rel = stack.pop()
        for child in iso.list_children(iso_path=iso_dir):
            ident = child.file_identifier().decode()
            if ident in ('.', '..') or child.file_ident in (b'\x00', b'\x01'):
                continue
            path = iso_dir.rstrip('/') + '/' + ident
            name = child.rock_ridge.name().decode() if rock and child.rock_ridge else ident
            key = rel.rstrip('/') + '/' + name
            iso_of[key] = path
            if child.is_dir():
                stack.append((path, key))

    listing_rr = run(['isoinfo', '-R', '-l', '-i', image]) if rock else ''
    # isoinfo shows Joliet names in ISO 8859-1, other characters as "_".
    listing_j = run(['isoinfo', '-J', '-l', '-i', image], 'latin-1')
    listing_iso = run(['isoinfo', '-l', '-i', image])
    files = 0
    for top, dirs, names in os.walk(source):
        for name in dirs + names:
            full = os.path.join(top, name)
            rel = '/' + os.path.relpath(full, source)
            jrel = '/'.join(joliet_name(p) for p in rel.split('/'))
            islink = os.path.islink(full)
            if rock and ' ' + name + (' -> ' if islink else ' \n') not in listing_rr + '\n' and \
                    (' ' + name + ' ') not in listing_rr:
                errors.append('isoinfo -R -l lacks ' + rel)
            if rock and rel not in iso_of:
                errors.append('no ISO record for ' + rel)
                continue
            if islink and rock:
                rec = iso.get_record(rr_path=rel)
                if rec.rock_ridge.symlink_path().decode() != os.readlink(full):
                    errors.append('link ' + rel + ' points elsewhere')
                continue
            if rock and os.path.basename(iso_of[rel]) not in listing_iso:
                errors.append('isoinfo -l lacks ' + iso_of[rel])
            shown = ''.join(c if ord(c) < 0x100 else '_' for c in joliet_name(name))
            if ' ' + shown + ('' if os.path.isdir(full) else ';1') not in listing_j:
                errors.append('isoinfo -J -l lacks ' + jrel)
            if os.path.isdir(full):
                continue
            if islink and not os.path.exists(full):
                continue
            want = open(full, 'rb').read()
            paths = [('joliet_path', jrel + ';1')]
            if rock:
                paths += [('iso_path', iso_of[rel]), ('rr_path', rel)]
            for kind, path in paths:
                out = io.BytesIO()
                try:
                    iso.get_file_from_iso_fp(out, **{kind: path})
                except Exception as e:  # noqa: BLE001 - any failure is the finding
                    errors.append('pycdlib cannot read %s %s: %s' % (kind, path, e))
                    continue
                if out.getvalue() != want:
                    errors.append('pycdlib reads %s %s differently' % (kind, path))
            files += 1
    iso.close()

    check = subprocess.run(['xorriso', '-indev', image, '-check_media', '--'], capture_output=True)
    text = (check.stdout + check.stderr).decode('utf-8', 'replace')
    if check.returncode != 0 or 'FAILURE' in text or 'SORRY' in text or '+ good' not in text:
        errors.append('xorriso -check_media:\n' + text)

    if rock:
        with tempfile.TemporaryDirectory() as out:
            target = os.path.join(out, 'x')
            ex = subprocess.run(['osirrox', '-indev', image, '-extract', '/', target], capture_output=True)
            if ex.returncode != 0:
                errors.append('osirrox: ' + ex.stderr.decode('utf-8', 'replace'))
            diff = subprocess.run(['diff', '-r', '--no-dereference', source, target], capture_output=True)
            if diff.returncode != 0:
                errors.append('osirrox restores a different tree:\n' + diff.stdout.decode('utf-8', 'replace'))
            for top, dirs, names in os.walk(source):
                for name in dirs + names:
                    a = os.path.join(top, name)
                    b = os.path.join(target, os.path.relpath(a, source))
                    if not os.path.islink(a) and (os.stat(a).st_mode & 0o7777) != (os.lstat(b).st_mode & 0o7777):
                        errors.append('osirrox restores other permissions for ' + a)
    if files == 0:
        errors.append('no file was checked')
    for e in errors:
        print(e)
    return 1 if errors else 0


if __name__ == '__main__':
    sys.exit(main())
