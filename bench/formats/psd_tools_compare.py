#!/usr/bin/python3
"""Times psd-tools on the PSD files formats_bench reads and writes, and prints the medians of
both with their ratio.

    bench/formats/psd_tools_compare.py BUILD_DIR [REPETITIONS]

Reading with psd-tools is timed as opening the file and decoding every layer's pixels and the
merged image (what our reader does); writing as saving the opened document again, which
psd-tools does without compressing any pixels, while ours merges all layers (the engine's
share is shown as "merge") and compresses every channel.
"""

import json
import logging
import os
import statistics
import subprocess
import sys
import tempfile
import time
import warnings

logging.disable(logging.WARNING)
warnings.simplefilter("ignore")
from psd_tools import PSDImage  # noqa: E402


def median_seconds(action, repetitions):
    times = []
    for _ in range(repetitions):
        start = time.perf_counter()
        action()
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def read_everything(path):
    psd = PSDImage.open(path)
    for layer in psd.descendants():
        if not layer.is_group():
            layer.topil()
    psd.topil()


def main():
    build = sys.argv[1]
    repetitions = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    run = subprocess.run([os.path.join(build, "bench/formats/formats_bench"), "--benchmark_format=json",
                          f"--benchmark_repetitions={repetitions}", "--benchmark_report_aggregates_only=true"],
                         check=True, capture_output=True, text=True)
    ours = {}
    for b in json.loads(run.stdout)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            # Wall-clock figures are named with a "/real_time" suffix.
            ours[b["run_name"].removesuffix("/real_time")] = b["real_time"] / 1000.0  # milliseconds
    tmp = tempfile.gettempdir()
    files = {0: os.path.join(tmp, "quillary-bench-menu.psd"), 1: os.path.join(tmp, "quillary-bench-large.psd")}
    names = {0: "9 layers 720x480", 1: "60 layers 1920x1080"}
    print(f"{'median of ' + str(repetitions):24}{'ours (ms)':>12}{'psd-tools (ms)':>16}{'ratio':>10}")
    for which, path in files.items():
        theirs_read = median_seconds(lambda: read_everything(path), repetitions)
        psd = PSDImage.open(path)
        out = os.path.join(tmp, "quillary-bench-psd-tools.psd")
        theirs_write = median_seconds(lambda: psd.save(out), repetitions)
        for what, theirs in (("Read", theirs_read), ("Write", theirs_write)):
            mine = ours[f"BM_{what}Psd/{which}"]
            print(f"{what + ' ' + names[which]:24}{mine * 1000:12.1f}{theirs * 1000:16.1f}{theirs / mine:9.1f}x")
        print(f"{'  of which merge':24}{ours[f'BM_MergedImage/{which}'] * 1000:12.1f}")


if __name__ == "__main__":
    main()
