#!/usr/bin/python3
"""Prints what psd-tools reads in a button template: every layer, topmost first, as
"set PATH" or "layer PATH", then the colour of each colour-table cell as "cell C R red green blue"
and of two points outside the grid as "outside red green blue".

Exits 77 (skipped) when psd-tools is not installed.
"""

import logging
import sys
import warnings

logging.disable(logging.WARNING)
warnings.simplefilter("ignore")

try:
    from psd_tools import PSDImage
except ImportError:
    print("psd-tools is not installed (Debian package python3-psd-tools)")
    sys.exit(77)


def walk(group, prefix, found):
    for layer in reversed(list(group)):
        path = prefix + layer.name
        print(("set " if layer.is_group() else "layer ") + path)
        if layer.is_group():
            walk(layer, path + "/", found)
        elif layer.name == "Color Table" and not prefix:
            found.append(layer)


def colour(layer, x, y):
    left, top = layer.bbox[0], layer.bbox[1]
    return layer.topil().convert("RGB").getpixel((x - left, y - top))


def main():
    psd = PSDImage.open(sys.argv[1])
    tables = []
    walk(psd, "", tables)
    for table in tables[:1]:
        for column in range(4):
            for row in range(7):
                print("cell %d %d %d %d %d" % ((column, row) + colour(table, 80 + 20 * column, 30 + 20 * row)))
        for x, y in ((5, 5), (400, 300)):
            print("outside %d %d %d" % colour(table, x, y))
    return 0


if __name__ == "__main__":
    sys.exit(main())
