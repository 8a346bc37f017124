"""The report's size and load time for a document of 1,000 fields.

Writes a CSV of 1,000 columns of mixed kinds (continuous with outliers and
missing values, nominal of 3 to 2,000 categories, ordinal, dates, a
categorical target), prepares it with `zelcraft prepare --report`, and
opens the page in headless Chromium, printing the page's size and the time
from navigation to the load event and to the first paint, fastest of three.
"""
import argparse
import math
import os
import random
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "report"))
import cdp  # noqa: E402


def write_data(path, rows, columns):
    rng = random.Random(11)
    kinds = []
    for c in range(columns - 1):
        kinds.append(("cont", "nom", "ord", "date", "cont")[c % 5])
    with open(path, "w") as out:
        out.write(",".join(f"{k}{c}" for c, k in enumerate(kinds)) + ",target\n")
        for r in range(rows):
            z = rng.gauss(0, 1)
            cells = []
            for c, kind in enumerate(kinds):
                if kind == "cont":
                    if rng.random() < 0.05:
                        cells.append("")
                    else:
                        value = z * (c % 7) + rng.gauss(0, 1) * (1 + c % 3) + (50 if rng.random() < 0.002 else 0)
                        cells.append(f"{value:.4f}")
                elif kind == "nom":
                    size = (3, 12, 60, 400, 2000)[c % 5]
                    cells.append(f"n{min(size - 1, int(rng.expovariate(4.0 / size)))}")
                elif kind == "ord":
                    cells.append(str(1 + min(6, int(abs(z + rng.gauss(0, 1)) * 2))))
                else:
                    day = 1 + int(rng.random() * 27)
                    cells.append(f"2023-{1 + c % 12:02d}-{day:02d}")
            cells.append("yes" if z + rng.gauss(0, 1) > 0 else "no")
            out.write(",".join(cells) + "\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--zelcraft", default="build/bin/zelcraft")
    parser.add_argument("--rows", type=int, default=2000)
    parser.add_argument("--columns", type=int, default=1000)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as work:
        data = os.path.join(work, "wide.csv")
        write_data(data, args.rows, args.columns)
        page = os.path.join(work, "wide.html")
        started = time.monotonic()
        subprocess.run([args.zelcraft, "prepare", data, "--target", "target", "-o",
                        os.path.join(work, "wide.pmml"), "--report", page, "-q"], check=True)
        print(f"prepared {args.columns} columns x {args.rows} rows in {time.monotonic() - started:.1f} s")
        document = os.path.getsize(os.path.join(work, "wide.pmml"))
        size = os.path.getsize(page)
        print(f"document {document / 1e6:.2f} MB, report {size / 1e6:.2f} MB")
        started = time.monotonic()
        subprocess.run([args.zelcraft, "report", os.path.join(work, "wide.pmml"), "-o",
                        os.path.join(work, "again.html"), "-q"], check=True)
        print(f"zelcraft report took {time.monotonic() - started:.2f} s")
        browser = cdp.Browser("chromium", os.path.join(work, "profile"))
        try:
            loads, paints = [], []
            for _ in range(3):
                session = browser.open_page("file://" + page, timeout=60)
                timing = browser.evaluate(session, """(() => {
                  const nav = performance.getEntriesByType('navigation')[0];
                  const paint = performance.getEntriesByType('paint').find(p => p.name === 'first-contentful-paint');
                  return [nav.loadEventEnd, paint ? paint.startTime : -1,
                          document.querySelectorAll('details.panel').length]; })()""")
                loads.append(timing[0])
                paints.append(timing[1])
                panels = timing[2]
            print(f"{panels} panels; load event after {min(loads) / 1000:.2f} s, first paint after "
                  f"{min(paints) / 1000:.2f} s (fastest of 3)")
        finally:
            browser.close()


if __name__ == "__main__":
    main()
