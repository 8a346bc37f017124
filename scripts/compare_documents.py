#!/usr/bin/python3
"""Compares two documents (or statistics CSV files, or directories of them)
number by number: the texts must be the same once every number is taken
out, and every number must agree with its counterpart to a relative
tolerance (default 1e-12), or differ by less than an absolute floor
(default 1e-13): a quantity that is zero up to rounding (the mean of a
standardised field) or the small difference of large sums (a skewness near
0) has no relative accuracy to compare, in one pass or in merged blocks.

    compare_documents.py A B [--tolerance T]

Prints the largest relative difference and exits 1 when anything differs
beyond the tolerance or in structure."""
import argparse
import os
import re
import sys

NUMBER = re.compile(r"-?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?")


def split(text):
    numbers = [float(m.group(0)) for m in NUMBER.finditer(text)]
    return NUMBER.sub("#", text), numbers


def compare(a_path, b_path, tolerance, floor):
    with open(a_path, encoding="utf-8") as a, open(b_path, encoding="utf-8") as b:
        a_shape, a_numbers = split(a.read())
        b_shape, b_numbers = split(b.read())
    if a_shape != b_shape or len(a_numbers) != len(b_numbers):
        return None
    worst = 0.0
    for x, y in zip(a_numbers, b_numbers):
        if x == y or abs(x - y) < floor:
            continue
        worst = max(worst, abs(x - y) / max(abs(x), abs(y)))
    return worst


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("a")
    parser.add_argument("b")
    parser.add_argument("--tolerance", type=float, default=1e-12)
    parser.add_argument("--floor", type=float, default=1e-13)
    args = parser.parse_args()
    pairs = []
    if os.path.isdir(args.a):
        for name in sorted(os.listdir(args.a)):
            pairs.append((os.path.join(args.a, name), os.path.join(args.b, name)))
    else:
        pairs.append((args.a, args.b))
    failed = False
    for a_path, b_path in pairs:
        worst = compare(a_path, b_path, args.tolerance, args.floor)
        if worst is None:
            print(f"{os.path.basename(a_path)}: differs in structure")
            failed = True
        elif worst > 0:
            verdict = "ok" if worst <= args.tolerance else "BEYOND TOLERANCE"
            print(f"{os.path.basename(a_path)}: largest relative difference {worst:.3g} ({verdict})")
            failed |= worst > args.tolerance
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
