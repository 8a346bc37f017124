"""Errors and warnings, unusual frames, interruption, pickling, threads,
the notebook view, settings profiles and the progress bar."""

import os
import pickle
import signal
import threading
import time
import warnings
from pathlib import Path

import numpy as np
import pandas as pd
import pytest

import zelcraft
from conftest import timeless
from zelcraft import _options


def small(rows=120):
    r = np.arange(rows)
    return pd.DataFrame({"x": r % 13 * 1.5, "c": np.array(list("abcd"))[r % 4],
                         "y": r % 13 * 3.0 + r % 4})


def test_error_classes_carry_the_command_lines_messages():
    frame = small()
    with pytest.raises(zelcraft.ZelcraftInputError) as error:
        zelcraft.prepare(frame, target="nope")
    assert error.value.message == "the target 'nope' is not a field of the data"
    assert error.value.code is None and error.value.exit_status == 2
    assert str(error.value) == "error: the target 'nope' is not a field of the data"

    with pytest.raises(zelcraft.ZelcraftInputError, match='did you mean "maxNOfUniqueCategories"'):
        zelcraft.prepare(frame, settings={"maxNOfUniqueCategory": 3})
    with pytest.raises(zelcraft.ZelcraftInputError, match="holds text and cannot be continuous"):
        zelcraft.prepare(frame, schema={"c": {"level": "continuous"}})
    with pytest.raises(zelcraft.ZelcraftInputError, match="no settings profile 'nosuch'"):
        zelcraft.prepare(frame, settings="nosuch")
    with pytest.raises(zelcraft.ZelcraftInputError, match="cannot open /nonexistent/data.csv"):
        zelcraft.prepare("/nonexistent/data.csv")

    # A target every record of which is missing is excluded: the component
    # refuses with its code, and the note says why.
    with pytest.raises(zelcraft.ZelcraftComponentError) as error:
        zelcraft.prepare(frame.assign(y=np.nan), target="y")
    assert error.value.code == 210012 and error.value.exit_status == 1
    assert issubclass(zelcraft.ZelcraftComponentError, zelcraft.ZelcraftError)
    assert error.value.note
    assert pickle.loads(pickle.dumps(error.value)).code == 210012


def test_warnings_reach_the_warnings_module_and_the_preparation():
    with pytest.warns(zelcraft.ZelcraftWarning) as caught:
        prep = zelcraft.prepare(small(), target="y", settings={"outputMode": "x"})
    messages = [str(w.message) for w in caught]
    assert any(code is None and "outputMode" in text for code, text in prep.warnings)
    assert [m for m in messages if "outputMode" in m] == [
        f"warning: {text}" for code, text in prep.warnings if code is None]
    assert any(code == 210103 for code, _ in prep.warnings)
    # Steps that do not apply to the data are facts of the preparation, not
    # warnings to act on.
    assert not [m for m in messages if "not applicable" in m]


def test_steps_that_do_not_apply_are_kept_but_not_warned_of():
    frame = small()
    frame["c"] = np.array(list("ab"))[np.arange(len(frame)) % 2]
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        supervised = zelcraft.prepare(frame, target="y")
        unsupervised = zelcraft.prepare(frame.drop(columns=["y"]))
        classes = zelcraft.prepare(frame, target="c")
    assert (210115, "unsupervised merging is not done when a target is present") \
        in supervised.warnings
    assert (210105, "feature selection needs a target; skipped") in unsupervised.warnings
    assert classes.warnings


def test_unusual_frames():
    with pytest.raises(zelcraft.ZelcraftInputError, match="no records"):
        zelcraft.prepare(small().iloc[:0])
    frame = small()
    frame["empty"] = np.nan
    frame["mixed"] = [1, "two", 3.5, None] * 30
    frame[7] = frame["x"] * 2  # a name that is not a text
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        prep = zelcraft.prepare(frame, target="y")
    fields = prep.fields.set_index("name")
    assert fields.loc["empty", "reason_key"] == "ScreenFeatureWithTooManyMissing"
    assert fields.loc["empty", "reason"] == "too many missing values"
    assert fields.loc["mixed", "type"] == "string"
    assert prep.categories("mixed") == ["1", "3.5", "two"]
    assert "7" in fields.index
    out = prep.transform(frame)
    assert len(out) == len(frame) and out.index.equals(frame.index)
    with pytest.raises(zelcraft.ZelcraftInputError, match="duplicate column name '7'"):
        zelcraft.prepare(frame.assign(**{"7": 1.0}))
    # What a document cannot carry is refused with the field named.
    with pytest.raises(zelcraft.ZelcraftInputError,
                       match="row 1, column 2: control character U\\+0001.*field 'c'"):
        zelcraft.prepare(frame.assign(c="a\x01b"))
    with pytest.raises(zelcraft.ZelcraftInputError, match="field 'x' holds an infinite number"):
        zelcraft.prepare(frame.assign(x=np.inf))


def test_statistics_and_summary_against_hand_computed_figures():
    values = [1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, np.nan] * 10
    frame = pd.DataFrame({"x": values, "c": ["a", "a", "b", "b", "b"] * 20})
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        prep = zelcraft.prepare(frame, settings={"detectFeatureOutliers": False})
    stats = prep.statistics.set_index("field")
    assert stats.loc["x", "count"] == 90 and stats.loc["x", "missing"] == 10
    assert stats.loc["x", "mean"] == pytest.approx(5.0)
    assert stats.loc["x", "sd"] == pytest.approx(np.std(list(range(1, 10)) * 10, ddof=1))
    assert (stats.loc["x", "min"], stats.loc["x", "max"]) == (1.0, 9.0)
    assert stats.loc["c", "categories"] == 2 and np.isnan(stats.loc["c", "mean"])
    assert prep.summary["originalIputFields"] == 2


def test_interrupt_raises_keyboard_interrupt_and_leaves_nothing_behind():
    # Large enough that the signal, 0.2 s in, comes while the passes run.
    rows = 3_000_000
    r = np.arange(rows)
    frame = pd.DataFrame({f"x{i}": (r * (i + 7)) % 1009 * 0.5 for i in range(12)})
    frame["y"] = r % 101 * 1.0
    timer = threading.Timer(0.2, os.kill, (os.getpid(), signal.SIGINT))
    finished = []
    # Ctrl-C as an interactive session has it, also where the test runner was
    # started with SIGINT ignored (a background job).
    previous = signal.signal(signal.SIGINT, signal.default_int_handler)
    start = time.monotonic()
    timer.start()
    try:
        with pytest.raises(KeyboardInterrupt):
            with warnings.catch_warnings():
                warnings.simplefilter("ignore")
                zelcraft.prepare(frame, target="y", progress=False)
                finished.append(time.monotonic() - start)
                time.sleep(5)  # a build faster than the signal still sees it here
    finally:
        timer.join()
        signal.signal(signal.SIGINT, previous)
    assert not finished, f"the build took only {finished[0]:.2f} s: make the data larger"
    assert time.monotonic() - start < 2
    prep = zelcraft.prepare(small(), target="y", progress=False)
    assert "<PMML" in prep.document


def test_pickling_threads_the_notebook_view_and_the_report(tmp_path):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        prep = zelcraft.prepare(small(), target="y")
    copy = pickle.loads(pickle.dumps(prep))
    assert copy.document == prep.document and copy.warnings == prep.warnings
    prep.save(tmp_path / "doc.pmml")
    assert zelcraft.load(tmp_path / "doc.pmml").document == prep.document
    html = prep._repr_html_()
    assert "<table" in html and "x_transformed" in html
    page = copy.report(tmp_path / "report.html")
    assert (tmp_path / "report.html").read_text(encoding="utf-8") == page
    assert page.startswith("<!DOCTYPE html>") and "x_transformed" in page and "DataFrame" in page

    # Threads replay one preparation and build their own at the same time.
    expected = prep.transform(small(3000))
    results = [None] * 4

    def work(i):
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")
            own = zelcraft.prepare(small(), target="y", progress=False)
        assert timeless(own.document) == timeless(prep.document)
        results[i] = prep.transform(small(3000))

    threads = [threading.Thread(target=work, args=(i,)) for i in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    for result in results:
        pd.testing.assert_frame_equal(result, expected)


def test_profile_names_and_progress_bar(tmp_path, monkeypatch, capsys):
    # The project's profiles/ folder is shipped in the package, read by name
    # (their first line is a comment); the one after is written here.
    shipped = sorted(p.stem for p in (Path(__file__).parents[2] / "profiles").glob("*.json"))
    assert zelcraft.profile_names() == shipped and "linear" in shipped
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        linear = zelcraft.prepare(small(), target="y", settings="linear")
    assert linear.summary["recommendedTotal"] >= 1
    monkeypatch.setattr(_options, "PROFILES_DIR", tmp_path)
    (tmp_path / "nobins.json").write_text('{"supervisedBinning": false}\n')
    assert zelcraft.profile_names() == ["nobins"]
    monkeypatch.setattr("zelcraft._progress.ProgressBar.DELAY", 0.0)
    frame = small(200).assign(c=np.array(list("ab"))[np.arange(200) % 2])
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        profiled = zelcraft.prepare(frame, target="c", settings="nobins", progress=True)
        plain = zelcraft.prepare(frame, target="c", progress=False)
    assert "BinValues" in plain.document and "BinValues" not in profiled.document
    assert "records" in capsys.readouterr().err


def test_midnights_with_missing_values_are_dates():
    # A datetime64 column whose every value is a midnight is a date column,
    # however many values are missing (NaT), in whatever unit or zone it is
    # held; one moment past a midnight makes it timestamps.
    rows = 70_000  # past one block of rows
    days = pd.Series(pd.date_range("1969-12-25", periods=rows, freq="D"))
    y = np.arange(rows) % 11 * 1.0
    variants = {
        "one NaT": days.where(np.arange(rows) != 3),
        "NaT first": days.where(np.arange(rows) != 0),
        "mostly NaT": days.where(np.arange(rows) % 1000 == 5),
        "seconds": days.where(np.arange(rows) != 3).astype("datetime64[s]"),
        "milliseconds": days.where(np.arange(rows) != 3).astype("datetime64[ms]"),
        "objects": days.astype(object).where(np.arange(rows) != 3, None),
        "zone": days.where(np.arange(rows) != 3).dt.tz_localize("Europe/Berlin"),
    }
    for name, column in variants.items():
        prep = zelcraft.prepare(pd.DataFrame({"d": column, "y": y}))
        field = prep.fields.set_index("name").loc["d"]
        assert field["type"] == "dateDaysSince[1970]", name
    # One moment past a midnight: timestamps, handed over as their dates and
    # times of day.
    late = days.where(np.arange(rows) != 3)
    late[9] = late[9] + pd.Timedelta(seconds=1)
    prep = zelcraft.prepare(pd.DataFrame({"d": late, "y": y}))
    fields = prep.fields.set_index("name")
    assert fields.loc["d", "type"] == "dateTime" and fields.loc["d", "reason_key"] == \
        "SplitTimestamp"
    assert fields.loc["d_time", "type"] == "time"


def test_damaged_documents_raise_instead_of_ending_the_interpreter(tmp_path):
    # Fifty thousand nested sums once overflowed the stack of the reader of
    # what a document says, and took the interpreter down with it; the
    # check runs in a child interpreter so that such a fault fails the test
    # and not the run.
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        document = zelcraft.prepare(small(), target="y").document
    at = document.index("<TransformationDictionary>") + len("<TransformationDictionary>")
    line = document[:at].count("\n") + 1
    nested = ('<DerivedField name="deep" optype="continuous" dataType="double">'
              + '<Apply function="+">' * 50000 + '<FieldRef field="x"/>'
              + '<Constant>1</Constant></Apply>' * 50000 + "</DerivedField>")
    (tmp_path / "deep.pmml").write_text(document[:at] + nested + document[at:])
    cut = document[:document.index("<TransformationDictionary>")]
    (tmp_path / "cut.pmml").write_text(cut)
    (tmp_path / "empty.pmml").write_text("\n")
    script = """
import sys, zelcraft
for name in ("deep.pmml", "cut.pmml", "empty.pmml"):
    try:
        zelcraft.load(name)
        print(name, "loaded")
    except zelcraft.ZelcraftInputError as error:
        print(name, error.message)
"""
    import subprocess
    import sys
    run = subprocess.run([sys.executable, "-c", script], cwd=tmp_path, capture_output=True,
                         text=True, env=dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path)))
    assert run.returncode == 0, run.stderr
    last = cut.rstrip().count("\n") + 1
    assert run.stdout.splitlines() == [
        f"deep.pmml not a preparation document: line {line}: Apply: elements are nested "
        "more than 256 deep",
        f"cut.pmml not a preparation document: the document ends early at line {last}",
        "empty.pmml not a preparation document: the document is empty",
    ]
