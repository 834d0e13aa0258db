#!/usr/bin/env python3
"""Turns the benchmarks' output (stdin) into the table of bench/README.md (stdout)."""
import re
import sys

LINE = re.compile(r"^(?P<what>.*?)\s+(?P<fig>-?[\d.]+) (?P<unit>\S+)\s+target (?P<target>.*?)\s+"
                  r"baseline\s+(?P<base>-?[\d.]+) \S+\s+\((?P<basewhat>.*)\)\s*$")

rows = []
bench = ""
for raw in sys.stdin:
    raw = raw.rstrip("\n")
    if raw.startswith("== "):
        bench = raw[3:]
        continue
    m = LINE.match(raw)
    if not m:
        continue
    fig, base = float(m["fig"]), float(m["base"])
    ratio = f"{base / fig:.1f}x" if base > 0 and fig > 0 else ""
    rows.append((bench, m["what"].strip(), f"{fig:.1f} {m['unit']}", m["target"].strip(),
                 f"{base:.1f} {m['unit']} ({m['basewhat']})" if base > 0 else "", ratio))

print("| benchmark | what it measures | figure | target | baseline | baseline / figure |")
print("|---|---|---|---|---|---|")
for r in rows:
    print("| " + " | ".join(x.replace("|", "/") for x in r) + " |")
