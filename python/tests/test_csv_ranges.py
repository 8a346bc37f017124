"""CSV files prepared on Dask by byte ranges (zelcraft.dask.prepare_csv):
the document of one process on the same file, byte for byte, however the
ranges cut it (inside quoted cells, at a row boundary, smaller than a row,
empty), for CRLF, a byte-order mark, no final line feed and a list of
files; a task run twice changes nothing; a bad row gives one process's
error and line."""

import os
import re
import threading
import warnings

import numpy as np
import pandas as pd
import pytest

import zelcraft
from conftest import assert_same_numbers, run_cli, timeless

dask = pytest.importorskip("dask", reason="SKIPPED LOUDLY: python3-dask")
import zelcraft.dask  # noqa: E402  (needs dask)


def table(rows, seed=11):
    """A taxi-like table: a fare with missing values and outliers, a zone
    with 300 categories (past the limit of 100) met in runs whose order
    drifts, a payment type, pickup dates, a distance, and a tip target."""
    rng = np.random.default_rng(seed)
    distance = rng.gamma(2.0, 1.5, rows).round(2)
    fare = (2.5 + 2.1 * distance + rng.normal(0, 1, rows)).round(2)
    fare[rng.choice(rows, 30, replace=False)] += 400
    data = pd.DataFrame({
        "fare": fare,
        "zone": np.char.add("Z", (np.arange(rows) // 40 * 53 % 300).astype(str)),
        "payment": rng.choice(["card", "cash", "dispute", "no charge"], rows, p=[.6, .3, .05, .05]),
        "pickup": (pd.Timestamp("2024-01-01")
                   + pd.to_timedelta(rng.integers(0, 365, rows), "D")).strftime("%Y-%m-%d"),
        "distance": distance,
    })
    data.loc[rng.choice(rows, rows // 50, replace=False), "fare"] = np.nan
    data["tip"] = (0.15 * data["fare"].fillna(10) + rng.normal(0, 0.5, rows)).round(2)
    return data


def quiet(call, *args, **options):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        return call(*args, **options)


def on_ranges(paths, scheduler="synchronous", **options):
    with dask.config.set(scheduler=scheduler):
        return quiet(zelcraft.dask.prepare_csv, paths, target="tip", **options)


def one_process(path):
    return timeless(quiet(zelcraft.prepare, str(path), target="tip", progress=False).document)


@pytest.fixture(scope="module")
def large(tmp_path_factory):
    """150,000 rows: three blocks of 65,536 and a part of one."""
    path = tmp_path_factory.mktemp("large") / "taxi.csv"
    table(150_000).to_csv(path, index=False)
    return path


def test_byte_ranges_give_the_document_of_one_process(large, tmp_path):
    one = one_process(large)
    cli = run_cli(["prepare", large, "-o", tmp_path / "cli.pmml", "--target", "tip"], tmp_path)
    assert cli.returncode == 0, cli.stderr
    assert timeless((tmp_path / "cli.pmml").read_text()) == one
    kept = re.search(r'DataField name="zone".*?</DataField>', one, re.S)
    assert kept and kept.group(0).count("<Value ") > 100  # past the limit, kept in record order
    size = large.stat().st_size
    # One range; ranges inside blocks of rows; ranges of several blocks; a
    # size that is no divisor of anything.
    for blocksize in (0, size // 8 + 1, 1_000_003, 3 * size // 4):
        assert timeless(on_ranges(large, blocksize=blocksize).document) == one, blocksize


def test_two_workers_give_the_same_document(large):
    distributed = pytest.importorskip("distributed", reason="SKIPPED LOUDLY: python3-distributed")
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as local:
        with distributed.Client(local):
            with warnings.catch_warnings():
                warnings.simplefilter("ignore")
                prepared = zelcraft.dask.prepare_csv(large, target="tip",
                                                     blocksize=large.stat().st_size // 5)
    assert timeless(prepared.document) == one_process(large)
    assert "150\u2009000" in prepared.report()  # the records of every range


def test_a_pass_has_one_task_a_worker_thread(large, monkeypatch):
    """Sixteen ranges, each smaller than a block of rows, read by two
    worker threads: each pass reads in two tasks, stretches of
    neighbouring ranges, and the document is one process's, kept replicas
    or not. A stretch holds no more bytes than the default range: with a default of an
    eighth of the file, each of the three blocks has its own task."""
    distributed = pytest.importorskip("distributed", reason="SKIPPED LOUDLY: python3-distributed")
    one = one_process(large)
    size = large.stat().st_size
    rounds = []
    compute = dask.compute

    def counted(*args, **options):
        keys = [str(arg.key) for arg in args]
        if keys and all(key.startswith("_task_blocks") for key in keys):
            rounds.append(len(keys))
        return compute(*args, **options)

    monkeypatch.setattr(zelcraft.dask.dask, "compute", counted)
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as local:
        with distributed.Client(local):
            for keep, default, tasks in ((True, None, 2), (False, None, 2), (True, size // 8, 3)):
                if default:
                    monkeypatch.setattr(zelcraft._ranges, "DEFAULT_BLOCKSIZE", default)
                rounds.clear()
                prepared = quiet(zelcraft.dask.prepare_csv, large, target="tip",
                                 blocksize=size // 16, keep=keep)
                assert timeless(prepared.document) == one, keep
                assert len(rounds) > 1 and set(rounds) == {tasks}, (keep, default, rounds)


def awkward_text(newline="\n", bom=False, final=True):
    """Rows whose cells quote delimiters and doubled quotes; every row
    ends with `newline`, but the last when not `final`."""
    rows = table(400, seed=3)
    rows["payment"] = np.where(np.arange(400) % 7 == 0, '"a, ""quoted"" fare"', rows["payment"])
    lines = [",".join(rows.columns)] + [",".join(map(str, row)).replace(",nan,", ",,")
                                        for row in rows.itertuples(index=False)]
    text = newline.join(lines) + (newline if final else "")
    return ("\ufeff" if bom else "") + text


@pytest.mark.parametrize("newline,bom,final", [("\n", False, True), ("\r\n", True, False),
                                               ("\n", True, False), ("\r\n", False, True)])
def test_any_cut_reads_each_row_once(tmp_path, newline, bom, final):
    path = tmp_path / "awkward.csv"
    path.write_bytes(awkward_text(newline, bom, final).encode())
    one = one_process(path)
    data = path.read_bytes()
    header = data.index(b"\n") + 1
    row_end = data.index(b"\n", header) + 1
    # Smaller than a row (most ranges hold none), a range ending exactly at
    # the end of the first row, one ending just before it, odd sizes.
    for blocksize in (5, row_end - header, row_end - header - 1, 333, 4096):
        assert timeless(on_ranges(path, blocksize=blocksize).document) == one, blocksize


def test_cuts_inside_quoted_line_breaks_read_the_file_whole(tmp_path):
    rows = table(300, seed=5)
    rows["payment"] = [f'"line one\nline two {i}"' if i % 3 == 0 else p
                       for i, p in enumerate(rows["payment"])]
    path = tmp_path / "breaks.csv"
    path.write_text(",".join(rows.columns) + "\n" + "\n".join(
        ",".join(map(str, row)).replace(",nan,", ",,") for row in rows.itertuples(index=False))
        + "\n")
    one = one_process(path)
    for blocksize in (17, 100, 1000):
        assert timeless(on_ranges(path, blocksize=blocksize).document) == one, blocksize


def test_a_list_or_glob_of_files_is_their_rows_in_order(tmp_path):
    data = table(90_000, seed=8)
    whole = tmp_path / "whole.csv"
    data.to_csv(whole, index=False)
    one = one_process(whole)
    cuts = [0, 20_000, 70_001, 90_000]
    paths = []
    for i in range(3):
        paths.append(tmp_path / f"part{i}.csv")
        data.iloc[cuts[i]:cuts[i + 1]].to_csv(paths[-1], index=False)
    for blocksize in (0, 500_000):
        assert timeless(on_ranges(paths, blocksize=blocksize).document) == one
    assert timeless(on_ranges(str(tmp_path / "part*.csv"), blocksize=300_000).document) == one



def test_a_file_with_another_header_is_refused_as_the_command_line_refuses_it(tmp_path):
    data = table(50, seed=2)
    first = tmp_path / "a.csv"
    data.to_csv(first, index=False)
    # Quoted names are the same names; a renamed, a missing and an extra
    # column are not, each said at its column.
    quoted = tmp_path / "quoted.csv"
    quoted.write_text('"fare",zone,"payment",pickup,distance,tip\n'
                      + data.to_csv(index=False, header=False))
    plain = tmp_path / "plain.csv"
    plain.write_bytes(first.read_bytes())
    assert timeless(on_ranges([first, quoted]).document) == timeless(
        on_ranges([first, plain]).document)
    for name, header in (("renamed", data.rename(columns={"zone": "area"})),
                         ("fewer", data.drop(columns=["tip"])),
                         ("more", data.assign(extra=1))):
        other = tmp_path / f"{name}.csv"
        header.to_csv(other, index=False)
        cli = run_cli(["prepare", first, other, "-o", tmp_path / "x.pmml", "--target", "tip"],
                      tmp_path)
        assert cli.returncode == 2
        with pytest.raises(zelcraft.ZelcraftInputError) as refused:
            on_ranges([str(first), str(other)])
        message = str(refused.value)
        assert f"{other}: its header differs from that of {first} at column" in message
        assert message in cli.stderr, (message, cli.stderr)


def test_a_task_run_twice_changes_nothing(large):
    def twice(graph, keys, **options):
        dask.get(graph, keys, **options)
        return dask.get(graph, keys, **options)

    size = large.stat().st_size
    assert (timeless(on_ranges(large, scheduler=twice, blocksize=size // 3).document)
            == one_process(large))


def test_a_ragged_row_fails_as_in_one_process(tmp_path):
    path = tmp_path / "ragged.csv"
    lines = awkward_text().split("\n")
    lines[301] += ",extra"
    path.write_text("\n".join(lines))
    with pytest.raises(zelcraft.ZelcraftInputError) as expected:
        quiet(zelcraft.prepare, str(path), target="tip", progress=False)
    assert "line 302" in str(expected.value)
    for blocksize in (0, 2000):
        with pytest.raises(zelcraft.ZelcraftInputError) as found:
            on_ranges(str(path), blocksize=blocksize)
        assert str(found.value) == str(expected.value)


def test_files_that_cannot_be_read(tmp_path):
    with pytest.raises(zelcraft.ZelcraftInputError, match="no file matches"):
        on_ranges(str(tmp_path / "none*.csv"))
    empty = tmp_path / "empty.csv"
    empty.write_text("fare,tip\n")
    with pytest.raises(zelcraft.ZelcraftInputError, match="given twice"):
        on_ranges([str(empty), str(tmp_path / "empty*.csv")])
    with pytest.raises(zelcraft.ZelcraftArgumentError, match="a CSV path"):
        on_ranges(5)
    with pytest.raises(zelcraft.ZelcraftInputError) as expected:
        quiet(zelcraft.prepare, str(empty), target="tip", progress=False)
    with pytest.raises(zelcraft.ZelcraftInputError) as found:
        on_ranges(str(empty), blocksize=3)
    assert str(found.value) == str(expected.value)
    with pytest.raises(zelcraft.ZelcraftArgumentError, match="blocksize"):
        on_ranges(str(empty), blocksize=-1)


def test_ranges_that_read_other_storages_than_the_whole(tmp_path):
    # Whole numbers in the first ranges, decimals in the last, a column
    # empty in the first ones, a date: each range alone would read other
    # storages, and the latest date must come from ranges read as the whole.
    rows = table(3000, seed=9)
    rows["count"] = np.where(np.arange(3000) < 2500, np.arange(3000) % 17, 0.5)
    rows["late"] = np.where(np.arange(3000) < 2000, "", "2025-06-30")
    path = tmp_path / "drift.csv"
    rows.to_csv(path, index=False)
    one = one_process(path)
    assert 'name="count"' in one and 'dataType="double"' in one
    for blocksize, keep in ((20_000, True), (20_000, False), (150_000, True)):
        assert timeless(on_ranges(path, blocksize=blocksize, keep=keep).document) == one


def test_weights_leave_out_the_records_of_every_range(tmp_path):
    rows = table(140_000, seed=4)
    rows["w"] = np.where(np.arange(len(rows)) % 13 == 0, 0, 1 + np.arange(len(rows)) % 3)
    path = tmp_path / "weighted.csv"
    rows.to_csv(path, index=False)
    with warnings.catch_warnings(record=True) as said:
        warnings.simplefilter("always")
        one = zelcraft.prepare(str(path), target="tip", frequency_weight="w", progress=False)
        with dask.config.set(scheduler="synchronous"):
            split = zelcraft.dask.prepare_csv(path, target="tip", frequency_weight="w",
                                              blocksize=600_000)
    assert timeless(split.document) == timeless(one.document)
    left_out = [str(w.message) for w in said if "left out" in str(w.message)]
    assert len(left_out) == 2 and left_out[0] == left_out[1]
    assert left_out[0].startswith(f"warning: {-(-140_000 // 13)} records left out")


def test_a_tree_of_merges_agrees_in_every_decision(large):
    one = one_process(large)
    tree = on_ranges(large, blocksize=large.stat().st_size // 6, exact=False)
    assert_same_numbers(one, timeless(tree.document))
    numbers = re.compile(r"-?\d+(?:\.\d*)?(?:[eE][-+]?\d+)?")
    assert numbers.sub("#", timeless(tree.document)) == numbers.sub("#", one)  # the same fields


def test_replicas_kept_from_the_round_of_types(tmp_path):
    """The round that finds the types keeps each range's replica for its
    first pass. Two ranges of two blocks and more: the latest dates lie in
    the last rows only, so a kept replica must measure durations from them,
    not from its own; columns of whole numbers turn decimal and text in the
    last rows, so the first range's replica read other storages than the
    whole and must not be used; a weight keeps each range to its own rows."""
    rows = table(140_000, seed=6)
    rows["pickup"] = np.where(np.arange(len(rows)) < 139_000, rows["pickup"], "2025-03-01")
    path = tmp_path / "late.csv"
    rows.to_csv(path, index=False)
    size = path.stat().st_size
    early = np.arange(len(rows)) < 139_990
    drifting = rows.assign(count=np.where(early, np.arange(len(rows)) % 9, 2.5),
                           code=np.where(early, (np.arange(len(rows)) % 5).astype(str), "x"))
    drift = tmp_path / "drift.csv"
    drifting.to_csv(drift, index=False)
    weighted = tmp_path / "weighted.csv"
    rows.assign(w=np.where(np.arange(len(rows)) % 7 == 0, 0, 2)).to_csv(weighted, index=False)
    for table_path in (path, drift, weighted):
        options = {"frequency_weight": "w"} if table_path == weighted else {}
        one = timeless(quiet(zelcraft.prepare, str(table_path), target="tip", progress=False,
                             **options).document)
        for blocksize in (size // 2 + 1, size // 3 + 1):
            assert timeless(on_ranges(table_path, blocksize=blocksize, **options).document) == one, (
                table_path.name, blocksize)


def _exit_soon():
    """Ends the worker process once it has answered."""
    threading.Timer(0.05, os._exit, (1,)).start()


def test_a_worker_lost_after_the_round_of_types_changes_nothing(large, monkeypatch):
    """A worker process ends once the round of types is over, with the
    replicas it kept for the first pass: the tasks that would have taken
    them read their rows anew elsewhere."""
    distributed = pytest.importorskip("distributed", reason="SKIPPED LOUDLY: python3-distributed")
    one = one_process(large)
    block_tasks = zelcraft._ranges.block_tasks
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as local:
        with distributed.Client(local) as client:
            lost = []

            def then_lose_a_worker(*args, **options):
                worker = sorted(client.scheduler_info()["workers"])[0]
                lost.append(worker)
                client.run(_exit_soon, workers=[worker])
                return block_tasks(*args, **options)

            monkeypatch.setattr(zelcraft._ranges, "block_tasks", then_lose_a_worker)
            prepared = quiet(zelcraft.dask.prepare_csv, large, target="tip",
                             blocksize=large.stat().st_size // 4)
            assert lost and lost[0] not in client.scheduler_info()["workers"]
    assert timeless(prepared.document) == one
