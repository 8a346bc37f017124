"""The progress bar: each pass of a build and each replay with its total of
records, advancing to it; in a notebook without ipywidgets a text bar,
without a warning."""

import sys
import types
import warnings

import numpy as np
import pandas as pd
import pytest

import zelcraft
from zelcraft import _progress


class Recorder:
    """Stands for tqdm: keeps (description, total, n) at every refresh."""

    seen = []

    def __init__(self, desc, total, **_):
        self.desc, self.total, self.n = desc, total, 0

    def set_description(self, desc):
        self.desc = desc

    def reset(self, total=None):
        self.total, self.n = total, 0

    def refresh(self):
        Recorder.seen.append((self.desc, self.total, self.n))

    def close(self):
        pass


@pytest.fixture
def recorded(monkeypatch):
    monkeypatch.setattr(_progress.ProgressBar, "DELAY", 0.0)
    monkeypatch.setattr(_progress, "_bar_class", lambda: Recorder)
    Recorder.seen = []
    return Recorder.seen


def frame(rows):
    r = np.arange(rows)
    return pd.DataFrame({"x": r % 1000 * 0.5, "k": np.array(list("abcd"))[r % 4],
                         "y": r % 977 * 0.25 + r % 3})


@pytest.mark.parametrize("source", ["frame", "file"])
def test_every_pass_has_its_total_and_reaches_it(recorded, tmp_path, source):
    rows = 3 * 65_536 + 17  # three blocks and a short one
    data = frame(rows)
    if source == "file":
        data.to_csv(tmp_path / "data.csv", index=False)
        data = tmp_path / "data.csv"
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        prep = zelcraft.prepare(data, target="y", progress=True)
    passes = {desc for desc, _, _ in recorded if desc.startswith("pass ")}
    assert "pass 1/7" in passes
    for desc, total, n in recorded:
        if desc.startswith("pass "):
            assert total == rows and 0 <= n <= rows, (desc, total, n)
        else:
            assert total is None, desc
    # A pass that reads shows every record read before the next one starts.
    assert ("pass 1/7", rows, rows) in recorded
    del recorded[:]
    prep.transform(frame(1000), progress=True)
    assert recorded and all(entry[:2] == ("replaying", 1000) for entry in recorded)


def test_a_notebook_without_widgets_gets_a_text_bar_quietly(monkeypatch, capsys):
    monkeypatch.setitem(sys.modules, "ipykernel", types.ModuleType("ipykernel"))
    monkeypatch.setitem(sys.modules, "ipywidgets", None)  # import fails
    monkeypatch.setattr(_progress.ProgressBar, "DELAY", 0.0)
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        zelcraft.prepare(frame(500), settings={"featureSelection": False})
    assert "records" in capsys.readouterr().err
