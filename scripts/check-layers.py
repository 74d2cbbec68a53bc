#!/usr/bin/env python3
"""Checks that the build holds the layers the README describes.

    scripts/check-layers.py BUILD_DIR

1. Includes run downward: property framework < host interfaces < stand-ins and dialogs < demo,
   tests, benches. Inside the stand-in host the kernel core is below its export engine and the
   framework, and the framework below the loaders.
2. The dialogs and the host interfaces compile with no stand-in folder (and not the source tree's
   root) on their include path, read from the build's compile_commands.json: what a file cannot
   reach, it cannot include by accident.
3. No library target holds more than a quarter of the code's lines.
"""
import json
import os
import re
import sys
from collections import defaultdict

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DIALOG_SUBSYSTEMS = {"export", "dataload", "postload", "layout", "macro", "util", "styleproperties", "bindings"}

# Each layer with the include prefixes it may use besides its own folder.
LAYERS = [
    # (folder, name, allowed include prefixes)
    ("propertyframework", "property framework", {"propertyframework"}),
    ("src/host", "host interfaces", {"propertyframework", "host"}),
    ("standin/kernel/testing", "kernel testing controls", {"propertyframework", "host", "kernel", "exportengine"}),
    ("standin/kernel", "stand-in kernel", {"propertyframework", "host", "kernel"}),
    ("standin/exportengine", "stand-in export engine", {"propertyframework", "host", "kernel", "exportengine"}),
    ("standin/framework", "stand-in framework", {"propertyframework", "host", "framework"}),
    ("standin/loaders", "stand-in loaders", {"propertyframework", "host", "loaders"}),
    ("src/styleproperties", "kernel style properties", {"propertyframework", "host", "styleproperties"}),
    ("src/bindings", "widget bindings", {"propertyframework", "host", "styleproperties", "bindings"}),
    ("src", "dialogs", {"propertyframework", "host"} | DIALOG_SUBSYSTEMS),
]
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^">]+)[">]', re.M)
# Prefixes that name a folder of this tree; any other include is a third-party or system header.
OUR_PREFIXES = {"propertyframework", "host", "kernel", "exportengine", "framework", "loaders"} | DIALOG_SUBSYSTEMS


def layer_of(path):
    for folder, name, allowed in LAYERS:
        if path == folder or path.startswith(folder + "/"):
            return name, allowed
    return None, None


def sources(*folders):
    for folder in folders:
        for base, _, files in os.walk(os.path.join(ROOT, folder)):
            for f in files:
                if f.endswith((".h", ".cpp")):
                    yield os.path.relpath(os.path.join(base, f), ROOT)


def check_includes():
    faults = []
    for path in sources("propertyframework", "src", "standin"):
        name, allowed = layer_of(path)
        with open(os.path.join(ROOT, path), encoding="utf-8") as f:
            text = f.read()
        for included in INCLUDE.findall(text):
            prefix = included.split("/")[0] if "/" in included else None
            if prefix in OUR_PREFIXES and prefix not in allowed:
                faults.append(f"{path}: the {name} include \"{included}\", a layer above or beside them")
    return faults


def check_include_paths(build_dir):
    faults = []
    with open(os.path.join(build_dir, "compile_commands.json"), encoding="utf-8") as f:
        commands = json.load(f)
    standin = os.path.join(ROOT, "standin")
    for entry in commands:
        source = os.path.relpath(entry["file"], ROOT)
        if not source.startswith("src/"):
            continue
        words = entry.get("arguments") or entry["command"].split()
        for i, word in enumerate(words):
            if word in ("-I", "-isystem"):
                directory = words[i + 1]
            elif word.startswith("-I"):
                directory = word[2:]
            elif word.startswith("-isystem"):
                directory = word[len("-isystem"):]
            else:
                continue
            directory = os.path.normpath(os.path.join(entry["directory"], directory))
            if directory == ROOT or directory == standin or directory.startswith(standin + "/"):
                faults.append(f"{source}: compiled with {directory} on its include path")
    return sorted(set(faults))


def non_blank_lines(path):
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        return sum(1 for line in f if line.strip())


def check_target_sizes(build_dir):
    """Groups sources by the target compile_commands.json says builds them; a header counts for
    the target that compiles the sources of its folder, or of the nearest folder above it."""
    with open(os.path.join(build_dir, "compile_commands.json"), encoding="utf-8") as f:
        commands = json.load(f)
    target_of_folder = {}
    lines = defaultdict(int)
    for entry in commands:
        source = os.path.relpath(entry["file"], ROOT)
        match = re.search(r"CMakeFiles/([^/]+)\.dir/", entry["output"] if "output" in entry else entry["command"])
        if not match or source.startswith(("..", "build")) or "_autogen" in source:
            continue
        target = match.group(1).replace("_objects", "")
        if target.startswith(("test_", "qelmar_test", "qelmar-bench", "fuzz_")):
            continue
        target_of_folder.setdefault(os.path.dirname(source), target)
        lines[target] += non_blank_lines(source)
    for path in sources("propertyframework", "src", "standin", "demo"):
        folder = os.path.dirname(path)
        while folder and folder not in target_of_folder:
            folder = os.path.dirname(folder)
        if path.endswith(".h") and folder:
            lines[target_of_folder[folder]] += non_blank_lines(path)
    code = sum(non_blank_lines(p) for p in sources("propertyframework", "src", "standin", "demo"))
    report = [f"  {target:28} {count:6} lines  {100.0 * count / code:4.1f}%" for target, count in
              sorted(lines.items(), key=lambda item: -item[1])]
    faults = [f"{target} holds {count} of {code} lines, more than a quarter" for target, count in lines.items()
              if target != "qelmar-demo" and count * 4 > code]
    return report, faults


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    build_dir = os.path.abspath(sys.argv[1])
    faults = check_includes() + check_include_paths(build_dir)
    report, size_faults = check_target_sizes(build_dir)
    print("Lines per target (non-blank, of propertyframework/, src/, standin/ and demo/):")
    print("\n".join(report))
    faults += size_faults
    for fault in faults:
        print("layer fault:", fault, file=sys.stderr)
    if faults:
        sys.exit(1)
    print("The layers hold.")


if __name__ == "__main__":
    main()
