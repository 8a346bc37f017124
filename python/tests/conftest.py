"""What the tests share: the built package and command line, documents
compared without the time they were made, and running the command."""

import math
import os
import re
import subprocess
import sys
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("ZELCRAFT_BUILD_DIR", ROOT / "build")).resolve()
STAGE = BUILD / "python"
CLI = BUILD / "bin" / "zelcraft"
EXAMPLE_DATA = BUILD / "bin" / "zelcraft-example-data"

if (STAGE / "zelcraft").is_dir() and str(STAGE) not in sys.path:
    sys.path.insert(0, str(STAGE))

_CLOCK = re.compile(r"<Timestamp>[^<]*</Timestamp>|processingTimeInSecond=\"[^\"]*\"")


def timeless(document):
    """The document without when it was made and how long that took."""
    return _CLOCK.sub("", document)


def need(path):
    """Skips, saying so, when a built program the test runs is missing."""
    if not path.exists():
        pytest.skip(f"SKIPPED LOUDLY: {path} is not built (build the project first)")
    return path


def run_cli(args, cwd):
    """Runs `zelcraft ARGS` in `cwd`; the completed process."""
    return subprocess.run([str(need(CLI)), *map(str, args)], cwd=cwd, capture_output=True,
                          text=True, check=False)


_NUMBER = re.compile(r"-?(?:\d+\.?\d*(?:[eE][-+]?\d+)?|inf|nan)")
_PART = re.compile(r'<(DataField|DerivedField|UnivariateStats) (?:name|field)="([^"]*)"'
                   r'(.*?)</\1>', re.S)
_RANGE = re.compile(r' (?:leftMargin|rightMargin|minimum|maximum)="([^"]*)"')
_SOURCE = re.compile(r'<SourceField value="([^"]*)"')


def _field_ranges(document):
    """[(start, end, range)] of each field's part of a document (DataField,
    DerivedField, UnivariateStats): the largest magnitude among its interval
    margins, minimum and maximum and those of the field it derives from."""
    parts, own, source = [], {}, {}
    for match in _PART.finditer(document):
        name, body = match.group(2), match.group(3)
        values = [abs(float(v)) for v in _RANGE.findall(body)]
        values = [v for v in values if math.isfinite(v)]
        own[name] = max([own.get(name, 0.0)] + values)
        found = _SOURCE.search(body)
        if found:
            source[name] = found.group(1)
        parts.append((match.start(), match.end(), name))
    ranges = []
    for start, end, name in parts:
        scale, seen = 0.0, set()
        while name and name not in seen:
            seen.add(name)
            scale = max(scale, own.get(name, 0.0))
            name = source.get(name)
        ranges.append((start, end, scale))
    return sorted(ranges)


def assert_same_numbers(a, b, relative=1e-12, absolute=1e-13):
    """The same document once numbers are taken out, and every number within
    `relative` of the other, or of the range of the field whose part holds it
    (a mean near 0 amid large values agrees only to their rounding), or
    within `absolute`."""
    assert _NUMBER.sub("#", a) == _NUMBER.sub("#", b)
    ranges = _field_ranges(a)
    part = 0
    for x, y in zip(_NUMBER.finditer(a), _NUMBER.finditer(b)):
        u, v = float(x.group()), float(y.group())
        if u == v or (math.isnan(u) and math.isnan(v)):
            continue
        while part < len(ranges) and ranges[part][1] <= x.start():
            part += 1
        scale = ranges[part][2] if part < len(ranges) and ranges[part][0] <= x.start() else 0.0
        tolerance = max(relative * max(abs(u), abs(v), scale), absolute)
        assert abs(u - v) <= tolerance, (x.group(), y.group(), a[max(0, x.start() - 300):x.start()])
