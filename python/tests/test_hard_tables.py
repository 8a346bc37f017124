"""The hard tables of the command line's path tests (zelcraft-hard-tables:
columns without values or missing in whole blocks, constant and lone
values, magnitudes up to 1e308, subnormals and signed zeros,
categories past the limit, dates before 1970, weights of 0 and fractions)
as data frames: prepared from the frame, its document is the command's
one-thread document byte for byte (the clock aside); over partitions cut
anywhere, the same document up to the rounding of merged moments."""

import json
import subprocess
import warnings

import numpy as np
import pandas as pd
import pytest

import zelcraft
from conftest import BUILD, assert_same_numbers, need, run_cli, timeless

GENERATOR = BUILD / "bin" / "zelcraft-hard-tables"


def table(directory, seed, blocks):
    """Writes the table into `directory`; its schema and the way to prepare it."""
    subprocess.run([str(need(GENERATOR)), str(seed), str(blocks), str(directory)], check=True)
    schema = json.loads((directory / "schema.json").read_text())
    return schema, json.loads((directory / "prepare.json").read_text())


def frame_of(csv, schema):
    """The CSV's cells as the storages the schema gives them: reals read as
    Python reads them (exactly), whole numbers nullable, texts, dates."""
    raw = pd.read_csv(csv, dtype=str, keep_default_na=False)
    columns = {}
    for name in raw.columns:
        cells = raw[name].tolist()
        storage = schema["fields"][name]["storage"]
        if storage == "real":
            columns[name] = np.array([float(t) if t else np.nan for t in cells])
        elif storage == "integer":
            columns[name] = pd.array([int(t) if t else None for t in cells], dtype="Int64")
        elif storage == "date":
            columns[name] = pd.to_datetime(pd.Series([t or None for t in cells]))
        else:
            columns[name] = np.array([t or None for t in cells], dtype=object)
    return pd.DataFrame(columns)


def prepared(frame, schema, how, **options):
    settings = dict(setting.split("=", 1) for setting in how["settings"])
    if how["analysis_weight"]:
        settings["analysisWeight"] = how["analysis_weight"]
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        return zelcraft.prepare(frame, target=how["target"],
                                frequency_weight=how["frequency_weight"] or None,
                                schema=schema["fields"], overrides=settings, progress=False,
                                **options)


@pytest.mark.parametrize("seed,blocks", [(6, 1), (8, 2), (10, 3), (11, 2)])
def test_a_frame_gives_the_command_document_on_every_cut(tmp_path, seed, blocks):
    schema, how = table(tmp_path, seed, blocks)
    args = ["prepare", "data.csv", "--schema", "schema.json", "--target", how["target"],
            "--threads", "1", "-q", "-o", "cli.pmml"]
    if how["frequency_weight"]:
        args += ["--frequency-weight", how["frequency_weight"]]
    if how["analysis_weight"]:
        args += ["--analysis-weight", how["analysis_weight"]]
    for setting in how["settings"]:
        args += ["--set", setting]
    run = run_cli(args, tmp_path)
    assert run.returncode == 0, run.stderr
    expected = timeless((tmp_path / "cli.pmml").read_text())

    frame = frame_of(tmp_path / "data.csv", schema)
    assert timeless(prepared(frame, schema, how, threads=1).document) == expected
    assert timeless(prepared(frame, schema, how, threads=2).document) == expected
    for partitions in (2, 3, 7):
        split = prepared(frame, schema, how, partitions=partitions)
        assert_same_numbers(expected, timeless(split.document))


@pytest.mark.parametrize("huge", [1e103, 1.79e308, -1.79e308])
def test_a_value_near_the_largest_double_is_data(huge):
    """One cell whose cube (or square) passes the largest double: the frame
    is prepared as the record-by-record pass prepares it, the skewness it
    cannot have left out."""
    rows = np.arange(51)
    frame = pd.DataFrame({"a": np.where(rows == 7, huge, rows % 9 * 1.5),
                          "y": rows * 0.75 + rows % 4})
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        document = zelcraft.prepare(frame, target="y", progress=False).document
    stats = document[document.index('<UnivariateStats field="a">'):]
    stats = stats[:stats.index("</UnivariateStats>")]
    assert 'name="skewness"' not in stats
    mean = float(stats.split('mean="')[1].split('"')[0])
    assert mean == pytest.approx((huge + sum(r % 9 * 1.5 for r in rows if r != 7)) / 51, rel=1e-14)
