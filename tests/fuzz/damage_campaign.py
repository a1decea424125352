#!/usr/bin/env python3
"""Damaged copies of real files, exported one by one and compared with the clean export.

    damage_campaign.py BUILD_DIR RUNS [--samples DIR] [--seed N] [--work DIR] [--keep-failures]

For each run a sample is copied, damaged in one place (a byte flip or a zeroed run placed in a data
block, a heap or table block, an internal block, a block trailer or a B-tree page; or the file cut
short), exported with BUILD_DIR/bin/pst2xmz, and its archive compared with that of the clean file.
A run passes unless it exits 0 with an archive that differs from the clean one: a damaged file
either exports exactly what the clean one does, or the program says so (exit 3) or refuses (exit 1).
Prints one table row per damage kind: runs, exit 0 with identical output, exit 3, exit 1, other
(crash or time-out), and exit 0 with different output (the failures). Exits 1 when any run failed.
Locating blocks and pages walks the file's two B-trees here, independently of the reader.
"""

import argparse
import os
import random
import re
import time
import shutil
import struct
import subprocess
import sys
import tempfile
from collections import Counter, defaultdict

# Samples whose clean export exits 0 with messages, smallest first.
SAMPLES = [
    "pstsdk-sample1.pst", "pstsdk-sample2.pst", "pstsdk-submessage.pst", "tika-bodytypes.pst",
    "docfetcher-test.pst", "apachelist-test.pst", "iped-sample.pst", "gopst-support.pst",
    "aspose-testpart1.pst", "pstdigger-test.pst", "mailbagit-outlook2019.pst",
    "aspose-outlook.pst", "aspose-sample.ost",
]

KINDS = ["data-flip", "data-zero", "heap-start", "table-flip", "internal-flip", "trailer-flip",
         "btree-flip", "btree-zero", "truncate"]

# Node types (low 5 bits of a node id) whose data is a table context.
TABLE_NODE_TYPES = {0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12}


class Layout:
    """Where the B-tree roots are and how big pages, entries and trailers are."""

    def __init__(self, head):
        version = struct.unpack_from("<H", head, 10)[0]
        self.ansi = version in (14, 15)
        self.page = 4096 if version >= 36 else 512
        if self.ansi:
            self.nbt = struct.unpack_from("<II", head, 0xB8)
            self.bbt = struct.unpack_from("<II", head, 0xC0)
            self.trailer = 12
        else:
            self.nbt = struct.unpack_from("<QQ", head, 0xD8)
            self.bbt = struct.unpack_from("<QQ", head, 0xE8)
            self.trailer = 16 if version < 36 else 24
        # Each root is (bid, ib).

    def page_meta(self, page):
        if self.page == 4096:
            count, _, size, level = struct.unpack_from("<HHBB", page, 4056)
            return count, size, level
        at = 496 if self.ansi else 488
        count, _, size, level = struct.unpack_from("<BBBB", page, at)
        return count, size, level

    def ref(self, entry, at):
        if self.ansi:
            return struct.unpack_from("<II", entry, at)
        return struct.unpack_from("<QQ", entry, at)

    def key_size(self):
        return 4 if self.ansi else 8


def walk_btree(data, layout, root, visit_leaf, pages, depth=0):
    bid, ib = root
    if depth > 8 or ib + layout.page > len(data) or ib in pages:
        return
    pages.append(ib)
    page = data[ib:ib + layout.page]
    count, size, level = layout.page_meta(page)
    if size == 0:
        return
    for i in range(count):
        entry = page[i * size:(i + 1) * size]
        if len(entry) < size:
            return
        if level > 0:
            walk_btree(data, layout, layout.ref(entry, layout.key_size()), visit_leaf, pages,
                       depth + 1)
        else:
            visit_leaf(entry)


def locate(data):
    """Blocks (bid, ib, cb), the first data block of each node with its node type, and pages."""
    layout = Layout(data[:1024])
    blocks, pages, first_blocks = [], [], {}
    ks = layout.key_size()

    def block_leaf(entry):
        bid, ib = layout.ref(entry, 0)
        cb = struct.unpack_from("<H", entry, 2 * ks)[0]
        if 0 < cb and ib + cb <= len(data):
            blocks.append((bid, ib, cb))

    def node_leaf(entry):
        nid = struct.unpack_from("<I", entry, 0)[0]
        data_bid = struct.unpack_from("<I" if layout.ansi else "<Q", entry, ks)[0]
        first_blocks[data_bid & ~1] = nid & 0x1F

    walk_btree(data, layout, layout.bbt, block_leaf, pages)
    walk_btree(data, layout, layout.nbt, node_leaf, pages)
    return layout, blocks, first_blocks, pages


def damage(data, kind, where, rng):
    """Damages `data` (a bytearray) in place; returns a short description or None."""
    layout, blocks, first_blocks, pages = where
    external = [b for b in blocks if not b[0] & 2]
    internal = [b for b in blocks if b[0] & 2]
    heaps = [b for b in external if (b[0] & ~1) in first_blocks]
    tables = [b for b in heaps if first_blocks[b[0] & ~1] in TABLE_NODE_TYPES]

    def flip(at):
        data[at] ^= 1 << rng.randrange(8)

    def zero(at, n):
        data[at:at + n] = bytes(len(data[at:at + n]))

    def pick(candidates):
        return rng.choice(candidates) if candidates else None

    if kind in ("data-flip", "data-zero"):
        block = pick(external)
        if not block:
            return None
        _, ib, cb = block
        at = ib + rng.randrange(cb)
        if kind == "data-flip":
            flip(at)
        else:
            zero(at, rng.randrange(4, 65))
        return "%s at %#x in block %#x" % (kind, at, block[0])
    if kind == "heap-start":
        block = pick(heaps)
        if not block:
            return None
        at = block[1] + rng.randrange(min(16, block[2]))
        zero(at, rng.randrange(1, 5)) if rng.random() < 0.5 else flip(at)
        return "heap start at %#x" % at
    if kind == "table-flip":
        block = pick(tables)
        if not block:
            return None
        at = block[1] + rng.randrange(block[2])
        flip(at)
        return "table at %#x" % at
    if kind == "internal-flip":
        block = pick(internal)
        if not block:
            return None
        at = block[1] + rng.randrange(block[2])
        flip(at)
        return "internal block at %#x" % at
    if kind == "trailer-flip":
        block = pick(blocks)
        if not block:
            return None
        _, ib, cb = block
        align = 64 if layout.page == 512 else 512
        extent = (cb + layout.trailer + align - 1) // align * align
        at = ib + extent - layout.trailer + rng.randrange(layout.trailer)
        if at >= len(data):
            return None
        flip(at)
        return "trailer at %#x" % at
    if kind in ("btree-flip", "btree-zero"):
        if not pages:
            return None
        ib = rng.choice(pages)
        at = ib + rng.randrange(layout.page)
        if kind == "btree-flip":
            flip(at)
        else:
            zero(at, rng.randrange(4, 33))
        return "%s at %#x" % (kind, at)
    if kind == "truncate":
        cut = rng.randrange(len(data) // 2, len(data))
        del data[cut:]
        return "cut at %#x" % cut
    raise ValueError(kind)


def comparable(outputs):
    """The archive without what differs from run to run: multipart boundaries (numbered from the
    tick count) lose their number, a Date made from the clock reads "(now)", and the index loses the
    offsets and lengths that follow from both."""
    xmz, idx = outputs
    if xmz is None or idx is None:
        return outputs
    xmz = re.sub(rb"Next_Part_\d+", b"Next_Part_#", xmz)
    today = time.strftime("%d %b %Y", time.gmtime()).encode()
    xmz = re.sub(rb"Date: [^\r\n]*" + re.escape(today) + rb"[^\r\n]*", b"Date: (now)", xmz)
    lines = idx.split(b"\r\n")
    kept = [line for i, line in enumerate(lines) if i == 0 or (i - 1) % 7 not in (4, 5)]
    return xmz, b"\r\n".join(kept)


def export(program, pst, out_base, timeout=60):
    for ext in (".xmz", ".idx"):
        if os.path.exists(out_base + ext):
            os.remove(out_base + ext)
    env = dict(os.environ, PST2XMZ_TRACE="")
    try:
        run = subprocess.run([program, "-s", pst, "-d", out_base], stdout=subprocess.DEVNULL,
                             stderr=subprocess.PIPE, timeout=timeout, env=env)
        code = run.returncode
        errors = run.stderr.decode("utf-8", "replace")
    except subprocess.TimeoutExpired:
        code, errors = "timeout", ""
    outputs = []
    for ext in (".xmz", ".idx"):
        try:
            with open(out_base + ext, "rb") as f:
                outputs.append(f.read())
        except OSError:
            outputs.append(None)
    return code, comparable(tuple(outputs)), errors


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build")
    parser.add_argument("runs", type=int)
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--samples", default=os.path.join(here, "..", "..", "..", "shared",
                                                          "pst-samples"))
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--work", default=None)
    parser.add_argument("--keep-failures", action="store_true")
    args = parser.parse_args()

    work = args.work or tempfile.mkdtemp(prefix="damage-campaign-")
    os.makedirs(work, exist_ok=True)
    # A copy of the program and its library, so that a rebuild during the campaign changes nothing.
    program_dir = os.path.join(work, "bin")
    shutil.rmtree(program_dir, ignore_errors=True)
    shutil.copytree(os.path.join(args.build, "bin"), program_dir)
    program = os.path.join(program_dir, "pst2xmz")
    rng = random.Random(args.seed)

    clean = {}
    for name in SAMPLES:
        path = os.path.join(args.samples, name)
        if not os.path.exists(path):
            continue
        with open(path, "rb") as f:
            data = f.read()
        code, outputs, _ = export(program, path, os.path.join(work, "clean"))
        if code != 0:
            print("skipping %s: clean export exits %s" % (name, code), file=sys.stderr)
            continue
        clean[name] = (data, locate(data), outputs)
    if not clean:
        print("no samples", file=sys.stderr)
        return 2

    table = defaultdict(Counter)
    failures = []
    names = sorted(clean)
    for i in range(args.runs):
        if i and i % 500 == 0:
            print("%d runs, %d failures" % (i, len(failures)), file=sys.stderr, flush=True)
        kind = KINDS[i % len(KINDS)]
        name = names[rng.randrange(len(names))]
        data, where, clean_outputs = clean[name]
        damaged = bytearray(data)
        what = damage(damaged, kind, where, rng)
        if what is None:
            continue
        pst = os.path.join(work, "damaged" + os.path.splitext(name)[1])
        with open(pst, "wb") as f:
            f.write(damaged)
        code, outputs, errors = export(program, pst, os.path.join(work, "out"))
        row = table[kind]
        row["runs"] += 1
        if code == 0 and outputs == clean_outputs:
            row["exit 0 same"] += 1
        elif code == 0:
            row["exit 0 DIFFERENT"] += 1
            failures.append((name, what))
            if args.keep_failures:
                shutil.copy(pst, os.path.join(work, "failure-%d-%s" % (i, name)))
        elif code == 3:
            row["exit 3"] += 1
        elif code == 1:
            row["exit 1"] += 1
        else:
            row["other"] += 1
            failures.append((name, "%s: exit %s %s" % (what, code, errors[-200:])))
            if args.keep_failures:
                shutil.copy(pst, os.path.join(work, "other-%d-%s" % (i, name)))

    columns = ["runs", "exit 0 same", "exit 3", "exit 1", "other", "exit 0 DIFFERENT"]
    print("| damage kind | " + " | ".join(columns) + " |")
    print("|---|" + "---:|" * len(columns))
    total = Counter()
    for kind in KINDS:
        row = table[kind]
        total.update(row)
        print("| %s | " % kind + " | ".join(str(row[c]) for c in columns) + " |")
    print("| all | " + " | ".join(str(total[c]) for c in columns) + " |")
    for name, what in failures[:50]:
        print("failure: %s: %s" % (name, what))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
