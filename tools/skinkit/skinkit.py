#!/usr/bin/env python3
"""Skin authoring kit: draws skins from descriptions and writes each as a
folder (Options.dat and its pictures), as a packed .zvk file and as a contact
sheet to look at.

    skinkit.py --out DIR [--stamp FILE] DESCRIPTION...

Writes DIR/NAME/, DIR/NAME.zvk and DIR/sheets/NAME.png for every skin of
every description (a description's own skin, then its hue variants), and
DIR/skins.txt listing the skins in that order. A refused description ends the
run with its reason and writes nothing.
"""

import argparse
import os
import re
import sys

# The build runs the kit from the source tree, which must stay clean.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from build import Design, entry_value, package   # noqa: E402
from description import DescriptionError        # noqa: E402
from sheet import contact_sheet                 # noqa: E402
from writers import png_bytes                   # noqa: E402


def load(paths):
    """Every skin of the descriptions, all checked before anything is written."""
    skins = []
    for path in paths:
        with open(path, encoding='utf-8') as f:
            design = Design(f.read(), os.path.basename(path))
        skins.extend(design.skins())
    names = [s.name.upper() for s in skins]
    if len(set(names)) != len(names):
        raise DescriptionError('two descriptions make skins of the same name')
    return skins


def write_file(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)


def remove_skin(out, name):
    folder = os.path.join(out, name)
    if os.path.isdir(folder):
        for old in os.listdir(folder):
            os.remove(os.path.join(folder, old))
        os.rmdir(folder)
    for path in (os.path.join(out, name + '.zvk'), os.path.join(out, 'sheets', name + '.png')):
        if os.path.exists(path):
            os.remove(path)


def write(skins, out, sheets=True):
    # Skins an earlier run wrote and this one does not are taken away.
    listed = os.path.join(out, 'skins.txt')
    if os.path.exists(listed):
        with open(listed) as f:
            for name in f.read().split():
                if name not in [s.name for s in skins] and re.fullmatch(r'[A-Za-z0-9_-]+', name):
                    remove_skin(out, name)
    for skin in skins:
        folder = os.path.join(out, skin.name)
        if os.path.isdir(folder):
            for old in os.listdir(folder):
                os.remove(os.path.join(folder, old))
        write_file(os.path.join(folder, 'Options.dat'), skin.options.encode('ascii'))
        for name, data in skin.files:
            write_file(os.path.join(folder, name), data)
        write_file(os.path.join(out, skin.name + '.zvk'), package(skin))
        if sheets:
            write_file(os.path.join(out, 'sheets', skin.name + '.png'),
                       png_bytes(contact_sheet(skin, entry_value)))
    write_file(os.path.join(out, 'skins.txt'),
               ''.join(s.name + '\n' for s in skins).encode('ascii'))


def main(argv=None):
    ap = argparse.ArgumentParser(description='Draws skins from skin descriptions.')
    ap.add_argument('--out', required=True, help='folder for the skins')
    ap.add_argument('--stamp', help='file touched after a successful run')
    ap.add_argument('--no-sheets', action='store_true', help='write no contact sheets')
    ap.add_argument('descriptions', nargs='+')
    args = ap.parse_args(argv)
    try:
        skins = load(args.descriptions)
    except DescriptionError as e:
        print('skinkit: refused: %s' % e, file=sys.stderr)
        return 1
    write(skins, args.out, not args.no_sheets)
    if args.stamp:
        write_file(args.stamp, b'')
    return 0


if __name__ == '__main__':
    sys.exit(main())
