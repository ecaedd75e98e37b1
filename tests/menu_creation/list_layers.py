#!/usr/bin/python3
"""Prints the layer tree of a PSD file as psd-tools reads it: one line per layer, topmost
first, "depth|kind|name|visible" with kind "set" or "layer". Exits 77 without psd-tools."""

import logging
import sys
import warnings

logging.disable(logging.WARNING)
warnings.simplefilter("ignore")
try:
    from psd_tools import PSDImage
except ImportError:
    sys.exit(77)


def walk(group, depth):
    for layer in reversed(list(group)):
        kind = "set" if layer.is_group() else "layer"
        print(f"{depth}|{kind}|{layer.name}|{int(layer.visible)}")
        if layer.is_group():
            walk(layer, depth + 1)


image = PSDImage.open(sys.argv[1])
print(f"size|{image.width}|{image.height}")
walk(image, 0)
