#!/usr/bin/env python3
"""check-layers.py [--graph FILE.dot]: fails when the library graph is not layered.

Every source file belongs to one layer (LAYERS, bottom first). A file may include headers of its
own layer and of layers of a lower rank; two layers of the same rank are independent of each
other. With --graph (the output of `cmake --graphviz`), the link graph of the project's own
libraries must have no cycle and every link must go down the same order.
"""
import argparse
import pathlib
import re
import sys

# rank, layer, path prefixes (the longest matching prefix decides)
LAYERS = [
    (0, "support", ["support/"]),
    (0, "engine", ["engine/"]),
    (1, "formats", ["formats/"]),
    (1, "rtf", ["app/rtf/"]),
    (2, "photoshop", ["photoshop/"]),
    (3, "workflow", ["app/", "menu_creation/", "button_layout/", "color_table/"]),
    (4, "widgets", ["file_tree/", "workspace/", "menu_creation/dialog/", "color_table/color_table_ctrl",
                    "color_table/color_table_layout"]),
    (5, "top", ["app/window/", "app/main.cpp", "tools/"]),
]

# The project's libraries by layer; a library missing here is an error, so the table keeps up.
TARGETS = {
    "quillary_support": "support",
    "quillary_engine": "engine",
    "quillary_formats": "formats",
    "quillary_rtf": "rtf",
    "quillary_photoshop": "photoshop",
    "quillary_workflow": "workflow",
    "quillary_file_tree": "widgets",
    "quillary_color_table": "widgets",
    "quillary_chooser_dialog": "widgets",
    "quillary_workspace": "widgets",
    "quillary_app_window": "top",
    "quillary_sample_data": "top",
    "quillary_build_tool": "top",
}
# Targets that carry flags or test helpers only, and are no layer of their own.
NOT_LAYERED = {"quillary_build_flags", "quillary_app_test_support", "quillary_resources",
               "quillary_sample_data_files"}

RANK = {name: rank for rank, name, _ in LAYERS}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
QT_INCLUDE = re.compile(r'^\s*#\s*include\s+<Q', re.M)


def layer_of(path):
    best, best_len = None, -1
    for _, name, prefixes in LAYERS:
        for prefix in prefixes:
            if path.startswith(prefix) and len(prefix) > best_len:
                best, best_len = name, len(prefix)
    return best


def may_use(user, used):
    return user == used or RANK[used] < RANK[user]


def check_includes(root):
    problems = []
    for file in sorted(root.rglob("*")):
        if file.suffix not in (".h", ".cpp") or not file.is_file():
            continue
        relative = file.relative_to(root).as_posix()
        user = layer_of(relative)
        if user is None:
            continue  # tests, benchmarks and fuzz targets may use any layer
        text = file.read_text(encoding="utf-8", errors="replace")
        for included in INCLUDE.findall(text):
            used = layer_of(included)
            if used is not None and not may_use(user, used):
                problems.append(f"{relative}: includes {included} ({user} may not use {used})")
        if user == "engine" and QT_INCLUDE.search(text):
            problems.append(f"{relative}: the engine includes a Qt header")
    return problems


def read_graph(path):
    names, edges = {}, []
    node = re.compile(r'"(node\d+)"\s*\[\s*label\s*=\s*"([^"]+)"')
    edge = re.compile(r'"(node\d+)"\s*->\s*"(node\d+)"')
    for line in pathlib.Path(path).read_text().splitlines():
        if m := node.search(line):
            names[m.group(1)] = m.group(2)
        elif m := edge.search(line):
            edges.append((m.group(1), m.group(2)))
    links = {}
    for a, b in edges:
        links.setdefault(names.get(a, a), set()).add(names.get(b, b))
    return links


def find_cycle(links):
    state, stack = {}, []

    def visit(n):
        state[n] = 1
        stack.append(n)
        for m in sorted(links.get(n, ())):
            if state.get(m) == 1:
                return stack[stack.index(m):] + [m]
            if m not in state and (cycle := visit(m)):
                return cycle
        stack.pop()
        state[n] = 2
        return None

    for n in sorted(links):
        if n not in state and (cycle := visit(n)):
            return cycle
    return None


def check_links(links):
    problems = []
    own = {n for n in set(links) | {m for ms in links.values() for m in ms} if n.startswith("quillary_")}
    for name in sorted(own - set(TARGETS) - NOT_LAYERED):
        problems.append(f"library {name} has no layer: add it to TARGETS in scripts/check-layers.py")
    for user, used_set in sorted(links.items()):
        for used in sorted(used_set):
            if user in TARGETS and used in TARGETS and not may_use(TARGETS[user], TARGETS[used]):
                problems.append(f"{user} links {used} ({TARGETS[user]} may not use {TARGETS[used]})")
    if cycle := find_cycle({n: {m for m in ms if m in own} for n, ms in links.items() if n in own}):
        problems.append("link cycle: " + " -> ".join(cycle))
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--graph", help="the link graph written by cmake --graphviz")
    parser.add_argument("--root", default=pathlib.Path(__file__).resolve().parent.parent, type=pathlib.Path)
    args = parser.parse_args()
    problems = check_includes(args.root)
    if args.graph:
        problems += check_links(read_graph(args.graph))
    for p in problems:
        print(p, file=sys.stderr)
    if problems:
        print(f"check-layers: {len(problems)} problem(s)", file=sys.stderr)
        return 1
    print("check-layers: the includes and links follow the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
