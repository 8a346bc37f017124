"""Passes on threads, over partitions and on a Dask cluster: the same
document for every number of threads; partitions merged along one tree give
byte for byte the document of a Dask run over the same partitions, and the
unpartitioned one's decisions and numbers; a worker lost in the middle of a
pass changes nothing."""

import os
import re
import warnings

import numpy as np
import pandas as pd
import pytest

import zelcraft
from conftest import assert_same_numbers, timeless



def frame(rows=150_000):
    """Three blocks of 65,536 rows and more: numbers with missing values and
    outliers, a text field, a text field with more categories (300) than the
    limit (100), met in runs of 50 rows in an order that is neither
    ascending nor the same from one block or partition to the next, a
    whole-number category and a continuous target."""
    rng = np.random.default_rng(7)
    x = rng.normal(10, 3, rows)
    x[rng.choice(rows, 40, replace=False)] += 60
    data = pd.DataFrame({
        "x": x,
        "z": rng.gamma(2.0, 2.0, rows),
        "region": rng.choice(["north", "south", "east", "west", "centre"], rows),
        "label": np.char.add("L", (np.arange(rows) // 50 * 37 % 300).astype(str)),
        "grade": rng.integers(1, 5, rows),
    })
    data.loc[rng.choice(rows, 500, replace=False), "z"] = np.nan
    data["price"] = 3 * data["x"] + data["grade"] + rng.normal(0, 1, rows)
    return data


def prepared(data, **options):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        return zelcraft.prepare(data, target="price", progress=False, **options)


def first_categories(rows, limit=100):
    """The categories a field past its limit keeps: the first limit + 1 in
    the order of the rows."""
    seen = []
    for value in rows:
        if value not in seen:
            seen.append(value)
            if len(seen) > limit:
                break
    return sorted(seen)


def test_threads_and_partitions_agree():
    data = frame()
    one = timeless(prepared(data, threads=1).document)
    kept = re.search(r'UnivariateStats field="label">.*?type="string" n="(\d+)">([^<]*)<',
                     one, re.S)
    assert int(kept.group(1)) == 101
    assert re.findall(r'&quot;(L\d+)&quot;', kept.group(2)) == first_categories(data["label"])
    assert timeless(prepared(data, threads=2).document) == one
    assert timeless(prepared(data, threads=3).document) == one
    # One partition is the blocked build itself.
    assert timeless(prepared(data, partitions=1).document) == one
    for partitions in (3, 8):
        split = prepared(data, partitions=partitions)
        assert_same_numbers(one, timeless(split.document))
        decisions = ["name", "used", "reason_key", "steps"]
        assert split.fields[decisions].equals(prepared(data).fields[decisions])
    with pytest.raises(TypeError):
        prepared("data.csv", partitions=2)


def test_skewed_inputs_on_threads_and_partitions():
    """The Box-Cox sums and the signed logarithm's moments merge across
    blocks and partitions: z (a gamma, skewness 0.5 to 1 once trimmed) is
    transformed alike everywhere."""
    data = frame(70_000)
    for method in ("boxCox", "signedLog"):
        settings = {"transformSkewedInputs": True, "skewTransformMethod": method,
                    "skewnessThreshold": 0.5}
        one = timeless(prepared(data, threads=1, settings=settings).document)
        assert re.search(r'DerivedField name="z_\w*_SkewTransform"', one)
        assert timeless(prepared(data, threads=2, settings=settings).document) == one
        assert_same_numbers(one, timeless(prepared(data, partitions=3,
                                                   settings=settings).document))
def test_partitions_agree_on_indicators_and_calendar_categories():
    """The optional steps derive after the first pass and before any data
    is replaced: each thread and partition derives the same fields."""
    data = frame(70_000)
    data.loc[::15, "x"] = np.nan
    data["day"] = pd.Timestamp("1990-01-01") + pd.to_timedelta(np.arange(len(data)) % 5000,
                                                               unit="D")
    settings = {"flagMissingValues": True, "extractWeekdayFromDate": True,
                "extractMonthCategoryFromDate": True}
    one = timeless(prepared(data, threads=1, settings=settings).document)
    assert 'reasonKey="FlagMissing"' in one and 'reasonKey="DeriveWeekday"' in one
    assert timeless(prepared(data, threads=2, settings=settings).document) == one
    split = prepared(data, partitions=3, settings=settings)
    assert_same_numbers(one, timeless(split.document))
    decisions = ["name", "used", "reason_key", "steps"]
    assert split.fields[decisions].equals(prepared(data, settings=settings).fields[decisions])


@pytest.fixture(scope="module")
def cluster():
    distributed = pytest.importorskip("distributed", reason="SKIPPED LOUDLY: python3-distributed")
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as local:
        with distributed.Client(local) as client:
            yield client


def test_dask_run_matches_seven_partitions_and_replays(cluster):
    dd = pytest.importorskip("dask.dataframe", reason="SKIPPED LOUDLY: python3-dask")
    import zelcraft.dask

    data = frame()
    # 150,000 rows do not cut evenly in seven: four of 21,429, three of 21,428.
    ddf = dd.from_pandas(data, npartitions=7)
    assert [len(part) for part in ddf.partitions] == [21_429] * 4 + [21_428] * 3
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        on_dask = zelcraft.dask.prepare(ddf, target="price")
    local = prepared(data, partitions=7)
    assert timeless(on_dask.document) == timeless(local.document)
    # The report names every record read, not those of the client's partition.
    assert "150\u2009000" in on_dask.report()
    replayed = on_dask.transform(ddf)
    assert replayed.npartitions == 7
    pd.testing.assert_frame_equal(replayed.compute(), local.transform(data))


def test_partitions_are_cut_as_dask_cuts():
    dd = pytest.importorskip("dask.dataframe", reason="SKIPPED LOUDLY: python3-dask")
    from zelcraft._lockstep import partition_bounds

    for rows, partitions in ((400_000, 6), (10, 4), (100, 7), (13, 5), (5, 8), (65_537, 4)):
        ddf = dd.from_pandas(pd.DataFrame({"a": np.arange(rows)}), npartitions=partitions)
        sizes = [len(part) for part in ddf.partitions]
        assert [count for _, count in partition_bounds(rows, partitions)] == sizes, (rows, sizes)


def _dies_once(part, marker_dir, at_call):
    """Counts its calls across processes; the call numbered `at_call` ends
    its own worker process."""
    call = 0
    while True:
        try:
            os.close(os.open(os.path.join(marker_dir, f"call{call}"), os.O_CREAT | os.O_EXCL))
            break
        except FileExistsError:
            call += 1
    if call == at_call:
        os._exit(1)
    return part


def test_a_worker_lost_in_the_middle_of_a_pass_changes_nothing(cluster, tmp_path):
    dd = pytest.importorskip("dask.dataframe", reason="SKIPPED LOUDLY: python3-dask")
    import zelcraft.dask

    data = frame(60_000)
    # The first partition is read once for the fields and eight times for
    # each pass: call 12 falls in the second pass that reads.
    ddf = dd.from_pandas(data, npartitions=8).map_partitions(
        _dies_once, str(tmp_path), 12, meta=data.iloc[:0])
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        survived = zelcraft.dask.prepare(ddf, target="price")
    assert (tmp_path / "call12").exists()
    assert timeless(survived.document) == timeless(prepared(data, partitions=8).document)


def test_dask_counts_the_records_every_partition_leaves_out():
    """Zero, negative and missing weights in every partition of a Dask
    DataFrame: the records left out are those of all of them, as one
    process counts them, and the document is that of the same partitions
    in one process."""
    dd = pytest.importorskip("dask.dataframe", reason="SKIPPED LOUDLY: python3-dask")
    import dask
    import zelcraft.dask

    data = frame(70_000)
    weight = 1.0 + np.arange(len(data)) % 4
    weight[::11] = 0
    weight[5::17] = -2
    weight[7::23] = np.nan
    data["w"] = weight
    left_out = int((~(weight > 0)).sum())
    ddf = dd.from_pandas(data, npartitions=5)
    with warnings.catch_warnings(record=True) as said:
        warnings.simplefilter("always")
        one = zelcraft.prepare(data, target="price", frequency_weight="w", progress=False)
        local = zelcraft.prepare(data, target="price", frequency_weight="w", progress=False,
                                 partitions=5)
        with dask.config.set(scheduler="synchronous"):
            on_dask = zelcraft.dask.prepare(ddf, target="price", frequency_weight="w")
    counts = [str(w.message) for w in said if "left out" in str(w.message)]
    assert counts == [f"warning: {left_out} records left out: their frequency or analysis "
                      "weight is missing, zero or negative"] * 3
    assert timeless(on_dask.document) == timeless(local.document)
    assert_same_numbers(timeless(one.document), timeless(on_dask.document))
