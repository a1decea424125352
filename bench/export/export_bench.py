#!/usr/bin/env python3
"""Whole-export benchmark: pst2xmz against readpst and against the floor of the machine.

    bench/export/export_bench.py [--bin DIR] [--work DIR] [--corpus DIR] [--rounds N]
                                 [--files big,folder,small] [--extra FILE ...] [--memory]

Makes the input files when they are missing (deterministically, with pstgen), then runs in every
round, in an order that rotates from round to round:
  pst2xmz   pst2xmz -s FILE -d OUT/archive
  readpst   readpst -q -j 0 -D -e -8 -o OUT FILE
  floor     cat FILE > /dev/null, then dd writes as many bytes as pst2xmz's output to OUT
Outputs are removed after every run. Prints best and median wall and CPU time and the peak
resident size of each program, and the ratios readpst/pst2xmz and pst2xmz/floor (best against
best). --memory also runs bench_export_memory on a file with one 500 MB attachment.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass, field
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]

# name -> (file name, pstgen arguments); the seeds fix the bytes.
INPUTS = {
    "big": ("bench-1g.pst", ["--seed", "1", "--size-mb", "1024"]),
    "folder": ("folder-100k.pst", ["--seed", "2", "--messages", "100000", "--one-folder",
                                   "--attachment-share", "0", "--embedded-share", "0",
                                   "--max-body-kb", "4"]),
    "small": ("small-14m.pst", ["--seed", "3", "--size-mb", "12", "--max-attachment-kb", "512"]),
}
# Changed whenever pstgen writes other bytes for the same arguments, so that kept inputs are written
# again. Edition 2: every message carries PR_MESSAGE_SIZE, in its folder's contents table too.
GENERATOR_EDITION = "pstgen edition 2"
PROGRAMS = ("pst2xmz", "readpst", "floor")
TIME = "/usr/bin/time"  # GNU time (Debian package time)


@dataclass
class Run:
    wall: float
    cpu: float
    rss_kb: int
    code: int


@dataclass
class Results:
    runs: dict = field(default_factory=lambda: {p: [] for p in PROGRAMS})
    output_bytes: int = 0


def parse_arguments():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--bin", type=Path, default=ROOT / "build" / "bin",
                   help="folder holding pst2xmz, libmapi32.so and pstgen (default build/bin)")
    p.add_argument("--work", type=Path, default=Path(tempfile.gettempdir()),
                   help="outputs go to a fresh folder under this one, removed at the end")
    p.add_argument("--corpus", type=Path, default=ROOT / "build" / "bench" / "corpus",
                   help="where the generated input files are kept (default build/bench/corpus)")
    p.add_argument("--rounds", type=int, default=5, help="counted rounds (at least 5 advised)")
    p.add_argument("--files", default="big,folder,small",
                   help="which generated inputs to use: big, folder, small (comma separated)")
    p.add_argument("--extra", type=Path, nargs="*", default=[], help="further input files")
    p.add_argument("--memory", action="store_true",
                   help="also report the peak memory of exporting one 500 MB attachment")
    return p.parse_args()


def make_input(args, name):
    """Returns the input file, writing it with pstgen first when it is missing or was written by an
    earlier edition of pstgen or with other arguments (its stamp file says which)."""
    file_name, pstgen_args = INPUTS[name]
    path = args.corpus / file_name
    stamp = path.with_name(path.name + ".made-with")
    made_with = " ".join([GENERATOR_EDITION, *pstgen_args]) + "\n"
    if path.exists() and stamp.exists() and stamp.read_text() == made_with:
        return path
    args.corpus.mkdir(parents=True, exist_ok=True)
    partial = path.with_suffix(".partial")
    print(f"writing {path} ...", flush=True)
    subprocess.run([str(args.bin / "pstgen"), *pstgen_args, "--out", str(partial)], check=True,
                   stdout=subprocess.DEVNULL)
    partial.rename(path)
    stamp.write_text(made_with)
    return path


def measure(command, out_dir):
    """Runs command in out_dir (made empty first); returns its times, peak size and exit code.

    The command runs under /usr/bin/time, which forks it from a small process: a child forked
    from this script would report at least the script's own resident size as its peak."""
    shutil.rmtree(out_dir, ignore_errors=True)
    out_dir.mkdir(parents=True)
    peak_file = out_dir.parent / "peak.txt"
    timed = [TIME, "-f", "%M", "-o", str(peak_file), *command]
    start = time.monotonic()
    with open(out_dir.parent / "stderr.txt", "ab") as err:
        child = subprocess.Popen(timed, stdout=subprocess.DEVNULL, stderr=err, cwd=out_dir)
        _, status, usage = os.wait4(child.pid, 0)
    wall = time.monotonic() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    peak_kb = int(peak_file.read_text().split()[-1])
    return Run(wall, usage.ru_utime + usage.ru_stime, peak_kb, child.returncode)


def folder_bytes(folder):
    return sum(f.stat().st_size for f in folder.rglob("*") if f.is_file())


def commands(args, pst, out_dir, output_bytes):
    floor = 'cat "$1" > /dev/null && dd if=/dev/zero of="$2/floor.bin" bs=1M count="$3" ' \
            'iflag=count_bytes status=none'
    return {
        "pst2xmz": [str(args.bin / "pst2xmz"), "-s", str(pst), "-d", str(out_dir / "archive")],
        "readpst": ["readpst", "-q", "-j", "0", "-D", "-e", "-8", "-o", str(out_dir), str(pst)],
        "floor": ["sh", "-c", floor, "floor", str(pst), str(out_dir), str(output_bytes)],
    }


def bench_file(args, pst, work):
    """One warm-up run of each program, then the counted rounds in rotating order."""
    out_dir = work / "out"
    results = Results()
    first = measure(commands(args, pst, out_dir, 0)["pst2xmz"], out_dir)
    results.output_bytes = folder_bytes(out_dir)
    if first.code not in (0, 3):
        errors = (work / "stderr.txt").read_text(errors="replace")[-2000:]
        sys.exit(f"pst2xmz failed on {pst} with exit code {first.code}:\n{errors}")
    table = commands(args, pst, out_dir, results.output_bytes)
    for program in PROGRAMS[1:]:
        measure(table[program], out_dir)
    for r in range(args.rounds):
        order = PROGRAMS[r % 3:] + PROGRAMS[:r % 3]
        for program in order:
            results.runs[program].append(measure(table[program], out_dir))
            print(".", end="", flush=True)
    shutil.rmtree(out_dir, ignore_errors=True)
    print(flush=True)
    return results


def best(runs, key):
    return min(getattr(r, key) for r in runs)


def median(runs, key):
    return statistics.median(getattr(r, key) for r in runs)


def report(name, pst, results):
    print(f"\n{name}: {pst} ({pst.stat().st_size / 1e6:.1f} MB), "
          f"pst2xmz output {results.output_bytes / 1e6:.1f} MB")
    print("| program | best wall s | median wall s | best CPU s | median CPU s | peak RSS MB | exit |")
    print("|---|---|---|---|---|---|---|")
    for program in PROGRAMS:
        runs = results.runs[program]
        codes = ",".join(sorted({str(r.code) for r in runs}))
        print(f"| {program} | {best(runs, 'wall'):.3f} | {median(runs, 'wall'):.3f} | "
              f"{best(runs, 'cpu'):.3f} | {median(runs, 'cpu'):.3f} | "
              f"{max(r.rss_kb for r in runs) / 1024:.1f} | {codes} |")
    ours, peer, floor = (results.runs[p] for p in PROGRAMS)
    print(f"readpst/pst2xmz: {best(peer, 'wall') / best(ours, 'wall'):.2f}x wall (best vs best), "
          f"{median(peer, 'wall') / median(ours, 'wall'):.2f}x (median), "
          f"{best(peer, 'cpu') / best(ours, 'cpu'):.2f}x CPU (best)")
    print(f"pst2xmz/floor:   {best(ours, 'wall') / best(floor, 'wall'):.2f}x wall (best vs best), "
          f"{median(ours, 'wall') / median(floor, 'wall'):.2f}x (median), "
          f"{best(ours, 'cpu') / best(floor, 'cpu'):.2f}x CPU (best)")


def memory_case(args, work):
    tool = args.bin / "bench_export_memory"
    if not tool.exists():
        print(f"\nmemory case skipped: {tool} is not built (configure with -DPST2XMZ_BENCH=ON)")
        return
    print("\nmemory case: one message with a 500 MB attachment", flush=True)
    subprocess.run([str(tool), "--work", str(work), "--attachment-mb", "500"], check=False)


def main():
    args = parse_arguments()
    if not os.access(TIME, os.X_OK):
        sys.exit(f"{TIME} is needed for the peak resident sizes (Debian package time)")
    inputs = [(n, make_input(args, n)) for n in args.files.split(",") if n]
    inputs += [(p.name, p) for p in args.extra]
    work = Path(tempfile.mkdtemp(prefix="export-bench-", dir=args.work))
    try:
        print(f"{os.cpu_count()} processors, load {os.getloadavg()[0]:.2f} at start; "
              f"{args.rounds} rounds after one warm-up run of each program")
        for name, pst in inputs:
            print(f"{name} ", end="", flush=True)
            report(name, pst, bench_file(args, pst, work / name))
        if args.memory:
            memory_case(args, work)
        print(f"\nload {os.getloadavg()[0]:.2f} at the end")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
