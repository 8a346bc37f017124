"""What the tests share: the built package and command line, documents
compared without the time they were made, and running the command."""

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
