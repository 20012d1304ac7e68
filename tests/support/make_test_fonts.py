#!/usr/bin/env python3
"""Makes the typefaces the tests draw in, from DejaVu Sans (Debian's fonts-dejavu-core):

    make_test_fonts.py SOURCE.ttf FOLDER

FOLDER/letters-all.ttf        "Verselume Letters"     every Romanian letter
FOLDER/letters-no-comma.ttf   "Verselume No Comma"    no ș ț Ș Ț, but the cedilla forms ş ţ Ş Ţ
FOLDER/letters-no-breve.ttf   "Verselume No Breve"    no ă Ă

Each holds only the Latin letters the tests use, so that Wine loads it quickly.
"""

import os
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

# Basic Latin, Latin-1, Latin Extended-A and the comma-below letters.
LETTERS = set(range(0x20, 0x7F)) | set(range(0xA0, 0x180)) | set(range(0x218, 0x21C))

FACES = [
    ('letters-all.ttf', 'Verselume Letters', set()),
    ('letters-no-comma.ttf', 'Verselume No Comma', {0x218, 0x219, 0x21A, 0x21B}),
    ('letters-no-breve.ttf', 'Verselume No Breve', {0x102, 0x103}),
]


def make(source, target, family, missing):
    font = TTFont(source)
    options = subset.Options()
    options.name_IDs = ['*']
    options.drop_tables += ['FFTM']
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=sorted(LETTERS - missing))
    subsetter.subset(font)
    names = font['name']
    for record in list(names.names):
        if record.nameID in (1, 4, 16):
            names.setName(family, record.nameID, record.platformID, record.platEncID,
                          record.langID)
        elif record.nameID == 6:
            names.setName(family.replace(' ', ''), 6, record.platformID, record.platEncID,
                          record.langID)
        elif record.nameID == 3:
            names.setName(family + ' test', 3, record.platformID, record.platEncID,
                          record.langID)
    font.save(target)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    source, folder = sys.argv[1:]
    os.makedirs(folder, exist_ok=True)
    for name, family, missing in FACES:
        make(source, os.path.join(folder, name), family, missing)


if __name__ == '__main__':
    main()
