#!/usr/bin/python3
"""How soon `zelcraft apply` and `zelcraft report` end after one SIGINT
while they read a document that strains the parser: category maps of MB
megabytes, one category of 60 MB, one element of a million attributes and
fifty thousand nested sums (scripts/large_document.py). Each command gets
the signal 0.3 s after it starts; printed are the time from the signal to
its end (the line: within a second), its exit status and its message.

  stop_latency.py [--zelcraft build/bin/zelcraft] [--maps MB]
"""
import argparse
import os
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def measure(command, directory):
    started = time.monotonic()
    process = subprocess.Popen(command, cwd=directory, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE, text=True)
    try:
        process.wait(timeout=0.3)
    except subprocess.TimeoutExpired:
        process.send_signal(signal.SIGINT)
    signalled = time.monotonic()
    try:
        _, err = process.communicate(timeout=120)
    except subprocess.TimeoutExpired:
        process.kill()
        _, err = process.communicate()
        err = "(killed after two minutes) " + err
    ended = time.monotonic()
    after = ended - signalled if process.returncode == 128 + signal.SIGINT else 0.0
    return ended - started, after, process.returncode, err.strip().splitlines()[-1:] or [""]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--zelcraft", default="build/bin/zelcraft")
    parser.add_argument("--maps", type=int, default=200)
    args = parser.parse_args()
    zelcraft = os.path.abspath(args.zelcraft)
    cases = [("maps", args.maps), ("value", 60), ("attributes", 1000000), ("nested", 50000)]
    with tempfile.TemporaryDirectory() as work:
        for kind, size in cases:
            directory = os.path.join(work, kind)
            os.mkdir(directory)
            subprocess.run([sys.executable, os.path.join(HERE, "large_document.py"), kind,
                            str(size), directory], check=True)
            megabytes = os.path.getsize(os.path.join(directory, "document.pmml")) / 1e6
            for command in (["apply", "document.pmml", "data.csv", "-q", "-o", "out.csv"],
                            ["report", "document.pmml", "-q"]):
                total, after, status, message = measure([zelcraft] + command, directory)
                print(f"{kind} ({megabytes:.0f} MB), {command[0]}: ran {total:.2f} s, "
                      f"{after:.2f} s after the signal, exit {status}: {message[0][:90]}")


if __name__ == "__main__":
    main()
