#!/usr/bin/env python3
"""End-to-end runs of quillary-build on the bundled samples.

usage: build_end_to_end.py QUILLARY_BUILD PSDINFO PROGRAM_DATA_FOLDER

Each build is read back three ways: by our own reader (psdinfo --json), by psd-tools and by
ImageMagick; the ones it cannot find are skipped with a note. Every bad input must exit
non-zero with its message and leave nothing at the output path.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

BUILD, PSDINFO, DATA = sys.argv[1], sys.argv[2], sys.argv[3]
BACKGROUND = os.path.join(DATA, "Backgrounds", "Skies", "Sunset Clouds.png")
TEMPLATE = os.path.join(DATA, "Button Templates", "Compact Silver.psd")
LAYERS = ["Background", "Hilite Mask", "Button Area", "Button Image", "Button Mask", "Thumb Area", "Thumb Mask",
          "Text Area", "Color Table"]
OPTIONS = ["ReplaceBackgroundWithButtonImage", "EnableNextPrevButtons", "IncludeMenuTitleArea",
           "IncludeButtonTextArea", "KeepButtonImageHilite", "KeepNextPrevHilite", "AddHiliteToThumbMask"]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def run(args, **kw):
    return subprocess.run([BUILD] + args, capture_output=True, text=True, timeout=300, **kw)


def build(folder, name, *more):
    out = os.path.join(folder, name + ".psd")
    args = ["--background", BACKGROUND, "--template", TEMPLATE, "--output", out, "--json"] + list(more)
    result = run(args)
    check(result.returncode == 0, f"{name}: exit {result.returncode}: {result.stderr.strip()}")
    return out, (json.loads(result.stdout) if result.returncode == 0 else None)


def pixel(layer_image, x, y):
    return layer_image.getpixel((int(x), int(y)))


# Colour-table cells (column, row) and the colour the program paints them; the table is pasted
# at its Build Menu pixel position, 20-pixel cells from (70, 20).
CELLS = {(0, 0): (0, 0, 0), (1, 3): (218, 0, 18), (1, 5): (6, 62, 246), (3, 0): (239, 253, 0)}


def read_with_psd_tools(path, report, name):
    try:
        from psd_tools import PSDImage
    except ImportError:
        print("note: psd-tools is missing; that reading is skipped")
        return
    psd = PSDImage.open(path)
    check([layer.name for layer in psd] == LAYERS, f"{name}: psd-tools reads {[l.name for l in psd]}")
    check((psd.width, psd.height) == (report["width"], report["height"]), f"{name}: psd-tools size")
    layers = {layer.name: layer for layer in psd}
    table = layers["Color Table"].composite(viewport=(0, 0, psd.width, psd.height))
    for (column, row), colour in CELLS.items():
        got = pixel(table, 70 + 20 * column + 10, 20 + 20 * row + 10)[:3]
        check(got == colour, f"{name}: colour table cell {column},{row} is {got}, not {colour}")
    # The button areas carry the button colours where the buttons were arranged.
    image = layers["Button Area"].composite(viewport=(0, 0, psd.width, psd.height))
    colours = set()
    for button in report["buttons"]:
        l, t, r, b = button["finalMenu"]
        colours.add(pixel(image, (l + r) / 2, (t + b) / 2)[:3])
    check(len(colours) == len(report["buttons"]), f"{name}: each button has its own colour ({colours})")


def read_with_imagemagick(path, name):
    identify = shutil.which("identify")
    if not identify:
        print("note: ImageMagick is missing; that reading is skipped")
        return
    frames = subprocess.run([identify, path], capture_output=True, text=True).stdout.strip().splitlines()
    check(len(frames) == 1 + len(LAYERS), f"{name}: ImageMagick sees {len(frames)} images")


def read_with_our_reader(path, report, name):
    listing = subprocess.run([PSDINFO, "--json", path], capture_output=True, text=True)
    check(listing.returncode == 0, f"{name}: psdinfo failed: {listing.stderr.strip()}")
    check([layer["name"] for layer in report["layers"]] == LAYERS, f"{name}: layers {report['layers']}")
    check(all(f'"{layer}"' in listing.stdout for layer in LAYERS), f"{name}: psdinfo lists other layers")
    check(report["height"] == 480, f"{name}: height {report['height']}")


def read_three_ways(path, report, name):
    read_with_our_reader(path, report, name)
    read_with_psd_tools(path, report, name)
    read_with_imagemagick(path, name)


def good_builds(folder):
    for count in (1, 4, 10):
        name = f"buttons-{count}"
        out, report = build(folder, name, "--buttons", str(count))
        if report:
            check(len(report["buttons"]) == count, f"{name}: {len(report['buttons'])} buttons reported")
            read_three_ways(out, report, name)
    out, report = build(folder, "full-hd", "--width", "1920", "--height", "1080", "--buttons", "4",
                        "--png-dir", os.path.join(folder, "png"))
    if report:
        check(report["width"] == 1920, "full-hd: width")
        pngs = sorted(os.listdir(os.path.join(folder, "png")))
        check(pngs == [f"{i + 1:02d} {n}.png" for i, n in enumerate(LAYERS)], f"full-hd: pictures {pngs}")
    for option in OPTIONS:
        flipped = "off" if option in ("EnableNextPrevButtons", "IncludeMenuTitleArea", "IncludeButtonTextArea") else "on"
        out, report = build(folder, "option-" + option, "--option", f"{option}={flipped}")
        if report:
            read_three_ways(out, report, option)


def bad_inputs(folder):
    out = os.path.join(folder, "bad.psd")
    text = os.path.join(folder, "not-a-picture.png")
    with open(text, "w") as f:
        f.write("plain text, not a picture")
    cases = [
        ("missing background", ["--background", os.path.join(folder, "none.png"), "--template", TEMPLATE], "does not exist"),
        ("non-picture background", ["--background", text, "--template", TEMPLATE], "Create/Edit Menu did not complete"),
        ("missing template", ["--background", BACKGROUND, "--template", os.path.join(folder, "none.psd")], "does not exist"),
        ("incomplete template", ["--background", BACKGROUND, "--template",
                                 os.path.join(DATA, "Button Templates", "Incomplete Green.psd")], "Thumb Mask"),
        ("eleven buttons", ["--background", BACKGROUND, "--template", TEMPLATE, "--buttons", "11"], "from 1 to 10"),
        ("too many to fit", ["--background", BACKGROUND, "--template",
                             os.path.join(DATA, "Button Templates", "Gold Frame.psd"), "--buttons", "10"], "fit"),
    ]
    for name, args, message in cases:
        result = run(args + ["--output", out])
        check(result.returncode != 0, f"{name}: exit 0")
        check(message in result.stderr, f"{name}: says {result.stderr.strip()!r}, not {message!r}")
        check(not os.path.exists(out), f"{name}: left {out}")
    result = run(["--background", BACKGROUND, "--template", TEMPLATE, "--output",
                  os.path.join(folder, "no such folder", "menu.psd")])
    check(result.returncode != 0 and "does not exist" in result.stderr, "missing output folder")
    check(not [f for f in os.listdir(folder) if f.startswith(".quillary-build")], "a temporary file was left")


def main():
    with tempfile.TemporaryDirectory() as folder:
        good_builds(folder)
        bad_inputs(folder)
    print(f"build end-to-end: {len(failures)} check(s) failed" if failures else "build end-to-end: every check held")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
