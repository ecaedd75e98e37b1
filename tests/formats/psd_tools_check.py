#!/usr/bin/python3
"""Checks our PSD files and our PSD reader against independent readers.

written: runs the fixture writer, which saves documents with our PSD writer, and reads every
         file with psd-tools (tree, names, visibility, opacity, bounds, pixels) and with
         ImageMagick's identify (layer count), comparing with what our reader sees (which the
         round-trip tests hold to be the document that was written).
corpus:  reads every file of a folder of real Photoshop documents with our reader (psdinfo
         --json): each must open or be refused with a message, never crash; for 8-bit RGB
         files the layer tree and names must agree with psd-tools.

Exits 77 (skipped) when psd-tools is not installed.
"""

import argparse
import json
import logging
import os
import shutil
import subprocess
import sys
import tempfile
import warnings
import zlib

SKIP = 77
# psd-tools reports every block it does not know.
logging.disable(logging.WARNING)
warnings.simplefilter("ignore")

try:
    from psd_tools import PSDImage
except ImportError:
    print("psd-tools is not installed (Debian package python3-psd-tools); skipping")
    sys.exit(SKIP)


def psd_tools_tree(group):
    """The children of a psd-tools group, topmost first, as (layer, children) pairs."""
    out = []
    for layer in reversed(list(group)):
        out.append((layer, psd_tools_tree(layer) if layer.is_group() else None))
    return out


def layer_crc(layer):
    image = layer.topil()
    if image is None:
        return zlib.crc32(b"")
    return zlib.crc32(image.convert("RGBA").tobytes())


def compare(expected, actual, path, problems, check_pixels, check_opacity):
    names_e = [e["name"] for e in expected]
    names_a = [name_of(a[0]) for a in actual]
    if names_e != names_a:
        problems.append(f"{path}: layers {names_e} but psd-tools reads {names_a}")
        return
    for e, (layer, children) in zip(expected, actual):
        where = f"{path}/{e['name']}"
        if e["set"] != layer.is_group():
            problems.append(f"{where}: set {e['set']} but psd-tools reads group {layer.is_group()}")
            continue
        if e["visible"] != layer.visible:
            problems.append(f"{where}: visible {e['visible']} but psd-tools reads {layer.visible}")
        if check_opacity and e["opacity"] != layer.opacity:
            problems.append(f"{where}: opacity {e['opacity']} but psd-tools reads {layer.opacity}")
        if e["set"]:
            compare(e["children"], children, where, problems, check_pixels, check_opacity)
            continue
        if not check_pixels or layer.kind not in ("pixel", "shape", "solidcolorfill"):
            continue
        bbox = list(layer.bbox) if layer.kind == "pixel" else None
        if bbox is not None and e["bbox"] != bbox and not (e["bbox"][0] == e["bbox"][2] and bbox[0] == bbox[2]):
            problems.append(f"{where}: bounds {e['bbox']} but psd-tools reads {bbox}")
        elif e["bbox"][0] != e["bbox"][2] and layer_crc(layer) != e["crc"]:
            problems.append(f"{where}: pixels differ from what psd-tools reads")


def count_pixel_layers(layers):
    """Art layers with pixels: what ImageMagick lists after the merged image (it skips group
    records and empty layers)."""
    return sum(count_pixel_layers(l["children"]) if l["set"] else int(l["bbox"][0] != l["bbox"][2]) for l in layers)


def name_of(layer):
    # psd-tools leaves a character beyond the 16-bit range as its two surrogate halves.
    return layer.name.encode("utf-16", "surrogatepass").decode("utf-16")


def identify_layer_count(path):
    if not shutil.which("identify"):
        return None
    run = subprocess.run(["identify", "-format", "%s\n", path], capture_output=True, text=True)
    if run.returncode != 0:
        return -1
    return len(run.stdout.split())


def check_merged_images(psdinfo, path, work, problems):
    """psdinfo writes the engine's merge and the stored merged image; for what we wrote they agree."""
    from PIL import Image, ImageChops
    images = []
    for option in ("--composite", "--stored"):
        out = os.path.join(work, f"merged{option}.png")
        subprocess.run([psdinfo, option, path, out], check=True)
        images.append(Image.open(out).convert("RGBA"))
    difference = ImageChops.difference(*images).getextrema()
    if max(high for _, high in difference) > 2:
        problems.append(f"{os.path.basename(path)}: the stored merged image differs from the layers merged: {difference}")


def check_written(args):
    work = tempfile.mkdtemp(prefix="quillary-psd-")
    try:
        subprocess.run([args.writer, work], check=True)
        problems = []
        files = sorted(f for f in os.listdir(work) if f.endswith(".psd"))
        for name in files:
            path = os.path.join(work, name)
            expected = json.loads(subprocess.run([args.psdinfo, "--json", path], check=True,
                                                 capture_output=True).stdout)
            psd = PSDImage.open(path)
            if (psd.width, psd.height) != (expected["width"], expected["height"]):
                problems.append(f"{name}: size {psd.width}x{psd.height}, expected {expected['width']}x{expected['height']}")
            compare(expected["layers"], psd_tools_tree(psd), name, problems, True, True)
            check_merged_images(args.psdinfo, path, work, problems)
            layers = count_pixel_layers(expected["layers"])
            count = identify_layer_count(path)
            if count is not None and count != layers + 1:
                problems.append(f"{name}: identify sees {count} images, expected the merged one and {layers} layers")
        for p in problems:
            print("MISMATCH", p)
        print(f"{len(files)} written files checked with psd-tools and identify, {len(problems)} mismatches")
        return 1 if problems or not files else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


def check_corpus(args):
    if not os.path.isdir(args.corpus):
        print(f"corpus folder {args.corpus} is absent; skipping")
        return SKIP
    opened, refused, compared, failures, pixel_notes = 0, [], 0, [], []
    for name in sorted(os.listdir(args.corpus)):
        if not name.lower().endswith((".psd", ".psb")):
            continue
        path = os.path.join(args.corpus, name)
        run = subprocess.run([args.psdinfo, "--json", path], capture_output=True)
        if run.returncode < 0 or run.returncode not in (0, 1):
            failures.append(f"{name}: psdinfo ended with status {run.returncode}")
            continue
        if run.returncode == 1:
            message = run.stderr.decode("utf-8", "replace").strip()
            if not message.startswith("psdinfo: cannot open"):
                failures.append(f"{name}: refused without a clear message: {message!r}")
            refused.append((name, message))
            continue
        opened += 1
        ours = json.loads(run.stdout)
        if ours["mode"] != 3 or ours["depth"] != 8:
            continue
        try:
            psd = PSDImage.open(path)
        except Exception as e:  # psd-tools cannot read it either: nothing to compare with
            print(f"note: psd-tools cannot open {name}: {e}")
            continue
        compared += 1
        if len(psd) == 0:
            # A flat file: psd-tools shows no layers where we open the merged image as the background.
            layers = ours["layers"]
            if len(layers) != 1 or not layers[0]["background"]:
                failures.append(f"{name}: a flat file should open as one background layer")
            elif zlib.crc32(psd.topil().convert("RGBA").tobytes()) != layers[0]["crc"]:
                pixel_notes.append(f"{name}: the background differs from the merged image psd-tools reads")
            continue
        problems = []
        compare(ours["layers"], psd_tools_tree(psd), name, problems, False, False)
        failures.extend(problems)
        pixel_problems = []
        compare(ours["layers"], psd_tools_tree(psd), name, pixel_problems, True, True)
        pixel_notes.extend(p for p in pixel_problems if p not in problems)
    for name, message in refused:
        print(f"refused {name}: {message}")
    for p in pixel_notes:
        print("note:", p)
    for f in failures:
        print("MISMATCH", f)
    print(f"corpus: {opened} opened, {len(refused)} refused, {compared} 8-bit RGB files compared with psd-tools, "
          f"{len(failures)} tree or name mismatches, {len(pixel_notes)} pixel/opacity notes")
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser()
    sub = parser.add_subparsers(dest="mode", required=True)
    w = sub.add_parser("written")
    w.add_argument("--writer", required=True)
    w.add_argument("--psdinfo", required=True)
    c = sub.add_parser("corpus")
    c.add_argument("--psdinfo", required=True)
    c.add_argument("--corpus", required=True)
    args = parser.parse_args()
    return check_written(args) if args.mode == "written" else check_corpus(args)


if __name__ == "__main__":
    sys.exit(main())
