"""A DataFrame gives the document its CSV file gives the command line (the
time it was made aside), for the example data set and for a frame with
dates, timestamps, ordered categoricals, nullable integers, bools and
weights; a path goes through the command line's own loader."""

import json
import warnings

import numpy as np
import pandas as pd
import pytest

import zelcraft
from conftest import EXAMPLE_DATA, need, run_cli, timeless


def cli_document(tmp_path, csv, args):
    """The document and the warnings Python also gives (the steps that do
    not apply, which the command line lists, are no Python warnings)."""
    run = run_cli(["prepare", csv, "-o", "doc.pmml", *args], tmp_path)
    assert run.returncode == 0, run.stderr
    warnings = [line for line in run.stderr.splitlines() if line.startswith("warning")]
    return (tmp_path / "doc.pmml").read_text(), warnings


def prepare_warned(*args, **kwargs):
    """The preparation and the warnings it gave, as their texts."""
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        prep = zelcraft.prepare(*args, **kwargs)
    assert all(w.category is zelcraft.ZelcraftWarning for w in caught)
    return prep, [str(w.message) for w in caught]


@pytest.fixture(scope="module")
def example(tmp_path_factory):
    directory = tmp_path_factory.mktemp("example")
    import subprocess
    subprocess.run([str(need(EXAMPLE_DATA)), str(directory)], check=True)
    return directory


def test_example_data_set_from_frame_and_from_csv(example, tmp_path):
    csv = example / "customers.csv"
    schema = json.loads((example / "customers.schema.json").read_text())["fields"]
    settings = json.loads((example / "customers.settings.json").read_text())
    expected, cli_warnings = cli_document(
        tmp_path, csv, ["--target", "churn", "--frequency-weight", "weight",
                        "--schema", example / "customers.schema.json",
                        "--settings", example / "customers.settings.json"])

    frame = pd.read_csv(csv, float_precision="round_trip", keep_default_na=False,
                        na_values=[""])
    frame["signup_date"] = pd.to_datetime(frame["signup_date"])
    frame["last_login"] = pd.to_datetime(frame["last_login"])
    frame["preferred_call_time"] = pd.to_datetime(
        frame["preferred_call_time"], format="%H:%M:%S").dt.time
    prep, warned = prepare_warned(frame, target="churn", frequency_weight="weight",
                                  schema=schema, settings=settings)
    assert timeless(prep.document) == timeless(expected)
    assert warned == cli_warnings

    from_path = zelcraft.prepare(csv, target="churn", frequency_weight="weight",
                                 schema=example / "customers.schema.json",
                                 settings=example / "customers.settings.json", stream=True)
    assert timeless(from_path.document) == timeless(expected)


def mixed_frame(rows=240):
    r = np.arange(rows)
    frame = pd.DataFrame({
        "day": pd.to_datetime("2020-01-01") + pd.to_timedelta(r % 97 * 3, unit="D"),
        "seen": pd.to_datetime("2021-03-04 05:06:07") + pd.to_timedelta(r * 3671, unit="s"),
        "size": pd.Categorical(np.array(["S", "M", "L"])[r % 3], categories=["S", "M", "L"],
                               ordered=True),
        "count": pd.array(np.where(r % 11 == 0, None, r % 13), dtype="Int64"),
        "flag": r % 4 == 0,
        "colour": np.array(["red", "green", "blue", "grey"], dtype=object)[r % 4],
        "amount": np.where(r % 17 == 0, np.nan, (r % 29) * 1.25 + 0.1),
        "w": np.where(r % 23 == 0, 0, 1 + r % 3),
        "y": (r % 29) * 2.5 + (r % 3) + (r % 5) * 0.25,
    })
    frame.loc[5, "size"] = np.nan
    return frame


def test_frame_of_every_kind_gives_the_csv_document(tmp_path):
    frame = mixed_frame()
    frame.to_csv(tmp_path / "mixed.csv", index=False)
    categories = {"size": {"level": "ordinal", "categories": ["S", "M", "L"]}}
    (tmp_path / "schema.json").write_text(json.dumps({"fields": categories}))
    expected, cli_warnings = cli_document(
        tmp_path, "mixed.csv", ["--target", "y", "--frequency-weight", "w",
                                "--schema", "schema.json"])
    # The ordered categorical says what the schema has to say to the command.
    prep, warned = prepare_warned(frame, target="y", frequency_weight="w")
    assert timeless(prep.document) == timeless(expected)
    assert warned == cli_warnings
    # Every warning is kept with its code, those of inapplicable steps too.
    assert (210115, "unsupervised merging is not done when a target is present") in prep.warnings
    # Eleven weights of 0 (every 23rd row) leave their records out.
    assert ("warning: 11 records left out: their frequency or analysis weight is missing, zero "
            "or negative") in cli_warnings
    fields = prep.fields.set_index("name")
    assert fields.loc["size", "level"] == "ordinal"
    assert fields.loc["day", "type"] == "dateDaysSince[1970]"
    assert fields.loc["seen", "type"] == "dateTime"
    assert fields.loc["count", "type"] == "integer"
    assert fields.loc["flag", "type"] == "string"


def _declared_frame(rows=200):
    """Texts of times, dates and timestamps (a timestamp among the times and
    the dates, fractions of seconds, every boundary of each part) and a
    number; every 17th row is missing."""
    times = [f"{h:02d}:{m:02d}:{s:02d}" for h, m, s in
             ((0, 0, 0), (23, 59, 59), (12, 0, 59), (9, 30, 0))]
    times += ["23:59:59.999999", "2021-03-04 05:06:07", "2021-03-04T23:59:59.5"]
    dates = ["2020-02-29", "2000-02-29", "1969-12-31", "0001-01-01", "9999-12-31", "2021-04-30",
             "2021-03-04 05:06:07"]
    stamps = ["2021-03-04 05:06:07", "2021-03-04T00:00:00", "1999-12-31 23:59:59.25",
              "2020-02-29T12:00:00"]
    blank = [i % 17 == 0 for i in range(rows)]
    return pd.DataFrame({
        "t": [None if blank[i] else times[i % len(times)] for i in range(rows)],
        "d": [None if blank[i] else dates[i % len(dates)] for i in range(rows)],
        "s": [None if blank[i] else stamps[i % len(stamps)] for i in range(rows)],
        "y": np.arange(rows) % 13 * 1.5,
    })


def test_declared_times_and_dates_read_texts_as_the_command_line_does(tmp_path):
    schema = {"t": {"storage": "time"}, "d": {"storage": "date"}, "s": {"storage": "timestamp"}}
    (tmp_path / "schema.json").write_text(json.dumps({"fields": schema}))
    frame = _declared_frame()
    frame.to_csv(tmp_path / "texts.csv", index=False)
    expected, cli_warnings = cli_document(tmp_path, "texts.csv", ["--schema", "schema.json"])
    prep, warned = prepare_warned(frame, schema=schema)
    assert timeless(prep.document) == timeless(expected)
    assert warned == cli_warnings

    # One past each part's range, or another form: refused by both, with
    # the command line's words (a row where it says a line and column).
    columns = {name: index + 1 for index, name in enumerate(frame.columns)}
    for column, bad in (("t", "12:00:60"), ("t", "24:00:00"), ("t", "12:60:00"), ("t", "1:00:00"),
                        ("t", "12:00:00."), ("t", "12:00"), ("t", "2021-03-04 24:00:00"),
                        ("d", "2021-02-29"), ("d", "1900-02-29"), ("d", "2021-13-01"),
                        ("d", "2021-00-10"), ("d", "2021-04-31"), ("d", "2021-04-00"),
                        ("d", "2021-1-01"), ("s", "2021-03-04 12:00:60"),
                        ("s", "2021-03-04 24:00:00"), ("s", "2021-03-04"),
                        ("s", "2021-03-04t05:06:07"), ("s", "2021-03-04  05:06:07"),
                        ("s", "2021-03-04 05:06:07Z")):
        broken = frame.copy()
        broken.loc[5, column] = bad
        broken.to_csv(tmp_path / "bad.csv", index=False)
        run = run_cli(["prepare", "bad.csv", "--schema", "schema.json", "-o", "bad.pmml"],
                      tmp_path)
        where = f"line 7, column {columns[column]}: "
        assert run.returncode == 2 and where in run.stderr, run.stderr
        message = run.stderr[run.stderr.index(where) + len(where):].strip()
        with pytest.raises(zelcraft.ZelcraftInputError) as raised:
            zelcraft.prepare(broken, schema=schema)
        assert raised.value.message == f"row 6: {message}"
