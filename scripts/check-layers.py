#!/usr/bin/env python3
"""Checks that the code's layers hold: no include and no link points from a lower layer to a
higher one, no layer below the windows uses Qt, and every header name is found in one place only.

    scripts/check-layers.py [ROOT]

Prints each breach as FILE:LINE: message and exits 1 when there is one.
"""
import os
import re
import sys

# Each folder and its layer, lowest first. A folder may use its own files and those of lower
# layers, never those of a higher layer nor of another folder of the same layer.
LAYERS = {
    "engine": 0,
    "pe": 0,
    "resources": 0,
    "core": 1,
    "core/passes": 2,
    "windows/kit": 3,
    "windows/d3dview": 4,
    "windows/main": 5,
    "windows/manual": 5,
    "windows/options": 5,
    "windows": 6,
    "tools": 7,
    "tools/batch": 7,
    "tools/check": 7,
    "tools/dict": 7,
    "tools/editor": 7,
    "tools/grab": 7,
    "tools/mender": 7,
    "tools/scene": 7,
}
# The layers below the windows run without a window system, and Mender.exe builds from them.
WITHOUT_QT = 2

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
ADD_TARGET = re.compile(r"add_(?:library|executable)\(\s*([\w.-]+)")
LINK = re.compile(r"target_link_libraries\(\s*([\w.-]+)([^)]*)\)", re.S)


def layer_files(root):
    """Yields (folder, path) of every file of the layered folders (not their subfolders that are
    layers of their own)."""
    for folder in LAYERS:
        base = os.path.join(root, folder)
        if not os.path.isdir(base):
            continue
        for entry in sorted(os.listdir(base)):
            path = os.path.join(base, entry)
            if os.path.isfile(path):
                yield folder, path


def check(root):
    problems = []
    headers = {}
    for folder, path in layer_files(root):
        if path.endswith(".h"):
            name = os.path.basename(path)
            if name in headers:
                problems.append(f"{path}:1: the header name {name} is also {headers[name][1]}")
            headers[name] = (folder, path)

    def may_use(user, used):
        return used == user or LAYERS[used] < LAYERS[user]

    targets = {}
    links = []
    for folder, path in layer_files(root):
        if path.endswith((".h", ".cpp")):
            with open(path, encoding="utf-8") as source:
                for number, line in enumerate(source, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    bracket, name = match.groups()
                    if bracket == "<" and name.startswith("Q") and LAYERS[folder] <= WITHOUT_QT:
                        problems.append(f"{path}:{number}: {folder}/ must not use Qt ({name})")
                    if bracket == '"' and name in headers:
                        used = headers[name][0]
                        if not may_use(folder, used):
                            problems.append(
                                f"{path}:{number}: {folder}/ (layer {LAYERS[folder]}) includes "
                                f"{used}/{name} (layer {LAYERS[used]})")
        elif os.path.basename(path) == "CMakeLists.txt":
            with open(path, encoding="utf-8") as script:
                text = script.read()
            for match in ADD_TARGET.finditer(text):
                targets[match.group(1)] = folder
            for match in LINK.finditer(text):
                line = text.count("\n", 0, match.start()) + 1
                links.append((path, line, folder, match.group(1), match.group(2).split()))

    for path, line, folder, target, libraries in links:
        for library in libraries:
            if library.startswith("Qt6::") and LAYERS[folder] <= WITHOUT_QT:
                problems.append(f"{path}:{line}: {target} in {folder}/ must not link {library}")
            used = targets.get(library)
            if used is not None and not may_use(folder, used):
                problems.append(f"{path}:{line}: {target} in {folder}/ (layer {LAYERS[folder]}) "
                                f"links {library} of {used}/ (layer {LAYERS[used]})")
    return problems


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    problems = check(root)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
