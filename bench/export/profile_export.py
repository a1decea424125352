#!/usr/bin/env python3
"""Instruction profile of one export: where pst2xmz spends its instructions, by layer.

    bench/export/profile_export.py [--bin DIR] [--work DIR] [--top N] FILE

Runs pst2xmz -s FILE under valgrind's callgrind (instruction counts do not depend on the load of
the machine), then prints the total, the share of each layer and the functions with the most
instructions of their own. Layers follow the source folder of a function:
  reader       platform/pst          library      platform/mapilib, libs/mapi, libs/import_session
  composition  compose, mime         writer       driver
  support      support
Standard templates inlined into a project function count for that function's layer; functions
wholly outside the project (the C and C++ libraries) are charged to the layers of their callers in
proportion to the instructions each call cost.
"""
import argparse
import shutil
import subprocess
import sys
import tempfile
from collections import defaultdict
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
LAYERS = (("/platform/pst/", "reader"), ("/platform/mapilib/", "library"), ("/libs/mapi/", "library"),
          ("/libs/import_session/", "library"),
          ("/compose/", "composition"), ("/mime/", "composition"), ("/driver/", "writer"),
          ("/support/", "support"))


class Profile:
    """Self cost of every function, the part of it in each layer's source files, and what each
    caller's calls to it cost."""

    def __init__(self):
        self.self_cost = defaultdict(int)
        self.layered = defaultdict(lambda: defaultdict(int))
        self.callers = defaultdict(lambda: defaultdict(int))
        self.total = 0


def compressed_name(table, value):
    """Resolves callgrind's "(id) name" / "(id)" name compression."""
    value = value.strip()
    if not value.startswith("("):
        return value
    ident, _, name = value.partition(")")
    if name:
        table[ident] = name.strip()
    return table.get(ident, ident)


def read_callgrind(path):
    profile = Profile()
    files, functions = {}, {}
    positions = 1
    file = function_file = function = callee = None
    in_call = False
    with open(path, encoding="utf-8", errors="replace") as text:
        for line in text:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            if line[0].isdigit() or line[0] in "+-*":
                fields = line.split()
                cost = int(fields[positions]) if len(fields) > positions else 0
                if in_call:
                    profile.callers[callee][function] += cost
                    in_call = False
                else:
                    profile.self_cost[function] += cost
                    layer = own_layer(file)
                    if layer:
                        profile.layered[function][layer] += cost
                continue
            head, colon, rest = line.partition(":")
            if colon and "=" not in head:
                if head == "positions":
                    positions = len(rest.split())
                elif head in ("summary", "totals"):
                    profile.total = int(rest.split()[0])
                continue
            key, _, value = line.partition("=")
            if key == "fl":
                file = function_file = compressed_name(files, value)
            elif key in ("fi", "fe"):
                file = compressed_name(files, value)
            elif key == "fn":
                function = compressed_name(functions, value)
                file = function_file
            elif key in ("cfl", "cfi"):
                compressed_name(files, value)
            elif key == "cfn":
                callee = compressed_name(functions, value)
            elif key == "calls":
                in_call = True
    if not profile.total:
        profile.total = sum(profile.self_cost.values())
    return profile


def own_layer(file):
    for folder, layer in LAYERS:
        if file and folder in file:
            return layer
    return None


class LayerShares:
    """The layers a function's instructions belong to, as fractions that add up to one."""

    def __init__(self, profile):
        self.profile = profile
        self.known = {}

    def of(self, function, visiting=frozenset()):
        own = self.profile.layered.get(function)
        if own:
            spent = sum(own.values())
            return {layer: cost / spent for layer, cost in own.items()}
        if function in self.known:
            return self.known[function]
        callers = {c: n for c, n in self.profile.callers.get(function, {}).items()
                   if c not in visiting and c != function}
        spent = sum(callers.values())
        shares = defaultdict(float)
        for caller, cost in callers.items():
            for layer, part in self.of(caller, visiting | {function}).items():
                shares[layer] += part * cost / spent
        result = dict(shares) if shares else {"other (start-up, loader)": 1.0}
        self.known[function] = result
        return result


def report(profile, top):
    total = profile.total
    print(f"total instructions: {total:,}")
    own, charged = defaultdict(int), defaultdict(float)
    shares = LayerShares(profile)
    for function, cost in profile.self_cost.items():
        in_layers = profile.layered.get(function, {})
        for layer, part in in_layers.items():
            own[layer] += part
        own["outside the project"] += cost - sum(in_layers.values())
        for layer, part in shares.of(function).items():
            charged[layer] += cost * part
    print("\n| layer | on its own source lines | with inlined and library code charged to it |")
    print("|---|---|---|")
    for layer in sorted(set(own) | set(charged), key=lambda l: -charged.get(l, 0)):
        print(f"| {layer} | {100 * own.get(layer, 0) / total:.1f} % | "
              f"{100 * charged.get(layer, 0) / total:.1f} % |")
    print(f"\n| function (own instructions) | share | layer |\n|---|---|---|")
    ranked = sorted(profile.self_cost.items(), key=lambda item: -item[1])[:top]
    for function, cost in ranked:
        in_layers = profile.layered.get(function)
        layer = max(in_layers, key=in_layers.get) if in_layers else "outside"
        print(f"| {function[:90]} | {100 * cost / total:.1f} % | {layer} |")


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("file", type=Path)
    p.add_argument("--bin", type=Path, default=ROOT / "build" / "bin")
    p.add_argument("--work", type=Path, default=Path(tempfile.gettempdir()))
    p.add_argument("--top", type=int, default=20)
    args = p.parse_args()
    if not shutil.which("valgrind"):
        sys.exit("valgrind is not installed")
    sys.setrecursionlimit(100000)
    work = Path(tempfile.mkdtemp(prefix="export-profile-", dir=args.work))
    try:
        out = work / "callgrind.out"
        command = ["valgrind", "--tool=callgrind", f"--callgrind-out-file={out}",
                   str(args.bin / "pst2xmz"), "-s", str(args.file), "-d", str(work / "archive")]
        run = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        if not out.exists():
            sys.exit(f"callgrind wrote no profile:\n{run.stderr[-2000:]}")
        report(read_callgrind(out), args.top)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
