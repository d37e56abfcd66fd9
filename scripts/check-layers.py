#!/usr/bin/env python3
"""Fails when a file under src/ includes a header of a layer above its own.

The layers are read from the ```layers block of docs/architecture.md, bottom first; folders
named on one line are side by side and may not include each other either.
"""
import pathlib
import re
import sys

root = pathlib.Path(__file__).resolve().parent.parent
doc = (root / "docs" / "architecture.md").read_text(encoding="utf-8")
block = re.search(r"```layers\n(.*?)```", doc, re.S)
if not block:
    sys.exit("docs/architecture.md: no ```layers block")
layer = {}
for level, line in enumerate(l for l in block.group(1).splitlines() if l.strip()):
    for folder in line.split():
        layer[folder] = level

include = re.compile(r'^\s*#\s*include\s+"([^"/]+)/')
problems = []
for path in sorted((root / "src").rglob("*")):
    if path.suffix not in (".h", ".cpp") or not path.is_file():
        continue
    own = path.relative_to(root / "src").parts[0]
    if own not in layer:
        problems.append(f"{path.relative_to(root)}: folder src/{own} is in no layer of docs/architecture.md")
        continue
    for number, text in enumerate(path.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
        match = include.match(text)
        if not match or match.group(1) == own:
            continue
        target = match.group(1)
        if target not in layer:
            problems.append(f"{path.relative_to(root)}:{number}: includes {target}/, which is in no layer")
        elif layer[target] >= layer[own]:
            problems.append(f"{path.relative_to(root)}:{number}: {own}/ includes {target}/ (not below it): {text.strip()}")

for problem in problems:
    print(problem)
sys.exit(1 if problems else 0)
