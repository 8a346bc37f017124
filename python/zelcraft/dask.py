"""Zelcraft on a Dask cluster: the preparation of a Dask DataFrame, or of
CSV files read by byte ranges (prepare_csv, which says how).

    import zelcraft.dask
    prep = zelcraft.dask.prepare(ddf, target="price")
    prepared = prep.transform(ddf)       # a Dask DataFrame, partition by partition
    prep = zelcraft.dask.prepare_csv("trips-*.csv", target="tip")   # CSV files by byte ranges

Each data pass is one task per partition that rebuilds its replica of the
build from the settings, the partition and the merged states of the
earlier passes, and returns the state of its rows; a tree of merge tasks
(neighbours pairwise, the same tree as zelcraft.prepare(df, partitions=P))
combines them, and the client installs the merged state in its own replica
and runs the pass's steps. No state lives on a worker, so a retried task or
a lost worker changes nothing. The client's replica reads the first
partition to learn the fields: every partition must read alike (the same
columns and kinds), or the states are refused. When durations are measured
from the data or a weight is in play, one task per partition first finds
its latest date and time of day and the records its weights leave out, and
every replica is handed the latest of them all and their sum (the
DataFrame path)."""

import contextlib
import os
import uuid

import dask

from . import _core, _kept, _lockstep, _ranges
from ._errors import ZelcraftArgumentError
from ._errors import raise_for_outcome as checked
from ._options import schema_text
from ._run import _whole, build_recipe, csv_paths, publish
from .preparation import Preparation


def prepare(ddf, target=None, frequency_weight=None, schema=None, settings=None, *,
            overrides=None):
    """Prepares a Dask DataFrame; the Preparation of its document, as
    zelcraft.prepare returns it."""
    recipe = build_recipe(target, frequency_weight, schema, settings, overrides)
    parts = ddf.to_delayed()
    first = parts[0].compute()
    # Durations reach from the latest date of all the partitions, and the
    # document counts the records the weights of all of them leave out:
    # every replica is handed both when the settings leave the reference to
    # the data or a weight is in play.
    facts = _lockstep.partition_facts(first, recipe)
    if facts["moments"] is not None or facts["weighted"]:
        facts_of = dask.delayed(_lockstep.partition_facts, pure=True)
        found = dask.compute(*(facts_of(part, recipe) for part in parts))
        if facts["moments"] is not None:
            recipe["moments"] = _lockstep.latest_moments(part["moments"] for part in found)
        recipe["dropped"] = sum(part["dropped"] for part in found)
    replica = _lockstep.make_replica(first, recipe)
    rows = [dask.delayed(len)(part) for part in parts]
    counted = []
    state_of = dask.delayed(_partition_state, pure=True)
    merge_two = dask.delayed(_lockstep.merge, pure=True)

    def read_pass(states):
        # One key for the earlier states and the settings, which every task
        # reads, rather than a copy in each task of the graph.
        shared = dask.delayed((recipe, states), pure=True, traverse=False)
        merged = _lockstep.merge_tree((state_of(part, shared) for part in parts), merge_two)
        if counted:
            return merged.compute()
        result, *lengths = dask.compute(merged, *rows)
        counted.append(sum(lengths))
        return result

    outcome = _lockstep.run(replica, read_pass)
    if "error" not in outcome and counted:
        outcome["records"] = counted[0]
    return publish(outcome, "Dask DataFrame", stacklevel=3)


def _partition_state(part, shared):
    recipe, states = shared
    return _lockstep.partition_state(part, recipe, states)


def prepare_csv(paths, target=None, frequency_weight=None, schema=None, settings=None, *,
                overrides=None, delimiter=",", blocksize=_ranges.DEFAULT_BLOCKSIZE, keep=True,
                exact=True):
    """Prepares CSV files on a Dask cluster: a path, a glob or a list of
    them, read as one data set, records in the order of the files and of
    their rows; the Preparation of its document, the document the command
    line and zelcraft.prepare give for the same file.

    The client cuts each file into byte ranges of `blocksize` bytes after
    its header (0: each file is one range) and checks that every file has
    the first one's header. Each task reads with the data-source library's
    loader: a row belongs to the range it starts in, and a range reads past
    its end to finish its last row. A first round of tasks finds what each
    range's cells allow and how many rows it holds; the client combines
    them into the storages of the whole data, which every later task reads
    with, so the fields are those of the whole file. A file any of whose
    ranges fails to read (a row of the wrong width, a cut inside a quoted
    cell with a line break) is read again as one range, which reads it as
    the command line does: the same document, or the same error with the
    same line. Each pass then reads the rows in the blocks of one process,
    each block whole by one task, and folds the blocks' states in their
    order on the client, as one process does. On a distributed cluster a
    pass has one task a worker thread, each reading a stretch of neighbouring
    ranges with about as many rows as the others (more tasks when one
    would pass the larger of `blocksize` and 64 MiB). With `keep`, a worker keeps
    the replica that read a task's rows for the task's next pass, which parses
    nothing, and the replica of the first round for the first pass (a range
    is then at least a worker thread's share of the files, and the round
    reads on into the next range for up to a block of rows); a task that
    finds none (a worker lost, a task run again elsewhere, a range that read
    other storages than the whole) reads its rows anew, and the document is
    the same. With
    `exact` false, each task merges its own blocks and the tasks' states
    merge along a tree of merge tasks, as the DataFrame path does: the
    client receives one state a pass rather than one a block, and the
    document agrees with one process's in every decision and in every
    number to 1e-12 relative."""
    if not isinstance(delimiter, str) or len(delimiter) != 1:
        raise ZelcraftArgumentError("delimiter: one character")
    blocksize = _whole(blocksize, "blocksize")
    recipe = build_recipe(target, frequency_weight, schema, settings, overrides)
    recipe["schema_text"] = schema_text(recipe["schema"])
    files = csv_paths(paths)
    run = uuid.uuid4().hex if keep else None
    try:
        return _prepare_ranges(files, recipe, delimiter, blocksize, run, exact)
    finally:
        if run is not None:
            _forget(run)


def _prepare_ranges(files, recipe, delimiter, blocksize, run, exact):
    """prepare_csv's preparation of the files, with replicas kept under
    `run` (None: none kept)."""
    ranges, found, storages, homes = _cut_and_type(files, recipe, delimiter, blocksize, run)
    tasks = _ranges.block_tasks(ranges, found, stretches=_stretches(ranges, blocksize))
    recipe["dropped"] = sum(result["dropped"] for result in found)
    # The client's replica runs the steps on the merged states: its own rows
    # only give it the fields, so it reads the first row, of the first range
    # alone (a replica reads all the bytes of its pieces).
    path, header_end, _, _, size, modified = ranges[0]
    head = [(path, header_end, found[0]["first"], found[0]["last"], size, modified)]
    driver = checked(_ranges.replica(head, recipe, delimiter, storages, 1))
    if driver.moments() is not None:
        # The ranges' own moments hold when each range read its cells with
        # the storages of the whole data; otherwise one more round.
        if all(_core.combine_kinds([result["kinds"]]) == storages for result in found):
            found_moments = [result["moments"] for result in found]
        else:
            moments = dask.delayed(_task_moments, pure=True)
            found_moments = dask.compute(*(moments(task, recipe, delimiter, storages)
                                           for task in tasks))
        recipe["moments"] = _lockstep.latest_moments(found_moments)
        driver = checked(_ranges.replica(head, recipe, delimiter, storages, 1))
    blocks_of = dask.delayed(_task_blocks, pure=True)
    fold = dask.delayed(_fold, pure=True)
    merge_two = dask.delayed(_lockstep.merge, pure=True)
    # A task goes to the worker of its first range, which kept what it read.
    home_of = {(part[0], result["first"]): home
               for part, result, home in zip(ranges, found, homes)}
    homes = [home_of[task[0][0][0], task[0][0][2]] for task in tasks]

    def read_pass(states):
        shared = dask.delayed((recipe, delimiter, storages, states, run), pure=True,
                              traverse=False)
        reads = []
        for task, home in zip(tasks, homes):
            # Each task goes back to the process that kept its replica.
            with (dask.annotate(workers=home, allow_other_workers=True) if home
                  else contextlib.nullcontext()):
                reads.append(blocks_of(task, shared) if exact else
                             fold(blocks_of(task, shared)))
        if not exact:
            return _lockstep.merge_tree(reads, merge_two).compute(optimize_graph=False)
        return _fold(state for blocks in dask.compute(*reads, optimize_graph=False)
                     for state in blocks)

    outcome = _lockstep.run(driver, read_pass)
    if "error" not in outcome:
        outcome["records"] = sum(result["rows"] for result in found)
    data_set = os.path.basename(files[0]) if len(files) == 1 else f"{len(files)} CSV files"
    return publish(outcome, data_set, stacklevel=4)


def _cluster():
    """The distributed client the computations go to, if any."""
    try:
        from distributed import default_client
        return default_client()
    except (ImportError, ValueError):
        return None


def _threads():
    """The worker threads of the distributed cluster, or None without one."""
    cluster = _cluster()
    if cluster is None:
        return None
    threads = sum(worker.get("nthreads", 1)
                  for worker in cluster.scheduler_info()["workers"].values())
    return threads or None


def _stretches(ranges, blocksize):
    """The stretches of ranges a pass reads on a distributed cluster: one a
    worker thread, for every replica a task builds costs a share of each
    pass whatever its rows; but none of more bytes than the larger of
    `blocksize` and the default range, which bound what one task holds.
    None (one task a range) without a cluster."""
    threads = _threads()
    if threads is None:
        return None
    size = sum(end - begin for _, _, begin, end, _, _ in ranges)
    longest = max(blocksize, _ranges.DEFAULT_BLOCKSIZE)
    return max(threads, -(-size // longest))


def _homes(count):
    """The worker each of `count` tasks runs on, in runs of neighbours; None
    for each without a distributed cluster."""
    cluster = _cluster()
    workers = sorted(cluster.scheduler_info()["workers"]) if cluster is not None else []
    if not workers:
        return [None] * count
    return [[workers[i * len(workers) // count]] for i in range(count)]


def _forget(run):
    cluster = _cluster()
    if cluster is not None:
        cluster.run(_kept.forget, run)
    _kept.forget(run)


def _cut_and_type(files, recipe, delimiter, blocksize, run):
    """The ranges that hold rows, what their reads found, the storages of
    the columns and the worker of each range (None without a cluster):
    each file cut, its header checked, the ranges' kinds found, and a file
    whose ranges do not agree read whole. With `run`, each range's worker
    keeps the replica that read it for the range's first pass."""
    headers = [_ranges.header_row(path, delimiter) for path in files]
    for path, header in zip(files[1:], headers[1:]):
        _ranges.check_header(path, header, files[0], headers[0], delimiter)
    blocksize = _range_bytes(files, headers, blocksize, run)
    plan = [_ranges.cut(path, header, blocksize) for path, header in zip(files, headers)]
    kinds = dask.delayed(_task_kinds, pure=True)

    def found_of(cuts):
        flat = [(part, parts[i + 1] if i + 1 < len(parts) else None)
                for parts in cuts for i, part in enumerate(parts)]
        homes = _homes(len(flat))
        reads = []
        for (part, spill), home in zip(flat, homes):
            with (dask.annotate(workers=home, allow_other_workers=True) if home
                  else contextlib.nullcontext()):
                reads.append(kinds(part, spill, recipe, delimiter, run))
        results = dask.compute(*reads, optimize_graph=False)
        out, at = [], 0
        for parts in cuts:
            out.append([(result, home) for result, home in
                        zip(results[at:at + len(parts)], homes[at:at + len(parts)])])
            at += len(parts)
        return out

    found = found_of(plan)
    again = [i for i, (parts, results) in enumerate(zip(plan, found))
             if not _ranges.agrees(parts, [result for result, _ in results])]
    if again:
        wholes = [[_ranges.whole(files[i], len(headers[i]), plan[i][0][4], plan[i][0][5])]
                  for i in again]
        for i, parts, results in zip(again, wholes, found_of(wholes)):
            plan[i], found[i] = parts, results
    ranges, kept, homes = [], [], []
    for parts, results in zip(plan, found):
        for part, (result, home) in zip(parts, results):
            checked(result)
            if result["rows"]:
                ranges.append(part)
                kept.append(result)
                homes.append(home)
    return ranges, kept, _core.combine_kinds([result["kinds"] for result in kept]), homes


def _range_bytes(files, headers, blocksize, run):
    """The bytes of a range: `blocksize`, or on a distributed cluster with
    kept replicas about a worker thread's share of the files (no more than
    a stretch holds), so that the round that finds the types reads the rows
    of a pass's task, which its first pass then reads without parsing them
    again."""
    threads = _threads() if run is not None and blocksize > 0 else None
    if threads is None:
        return blocksize
    size = sum(os.stat(path).st_size - len(header) for path, header in zip(files, headers))
    return min(max(blocksize, -(-size // threads)), max(blocksize, _ranges.DEFAULT_BLOCKSIZE))


def _task_kinds(part, spill, recipe, delimiter, run):
    """A range's kinds (_ranges.kinds); with `run`, the replica that read
    them is kept in this process for the first pass of the task that
    starts at the range, under the storages it found."""
    found = _ranges.kinds(part, recipe, delimiter, spill, run is not None)
    replica = found.pop("replica", None)
    if replica is not None:
        storages = tuple(_core.combine_kinds([found["kinds"]]))
        _kept.give(run, ("typed", part[0], found["first"], storages), replica, (),
                   found["last"] - found["first"])
    return found


def _task_replica(task, recipe, delimiter, storages):
    pieces, skip, counts = task
    return checked(_ranges.replica(pieces, recipe, delimiter, storages, skip + sum(counts)))


def _task_moments(task, recipe, delimiter, storages):
    """The latest moments of the rows of a task's blocks."""
    return _task_replica(task, recipe, delimiter, storages).moments()


def _task_blocks(task, shared):
    """The states of a task's blocks for the pass after those of `states`:
    read by the replica this process kept from the task's previous pass
    when it has one that stands there (_kept), else by a new one."""
    recipe, delimiter, storages, states, run = shared
    kept = _kept.take(run, task, states) if run is not None else None
    if kept is None and run is not None and not states:
        kept = _typed(task, recipe, storages, run)
    if kept is None:
        replica = _task_replica(task, recipe, delimiter, storages)
        _lockstep.replica_state(replica, states, read=False)
    else:
        replica, installed = kept
        if len(installed) < len(states):
            checked(replica.install(states[-1]))
            checked(replica.finish_pass())
            _lockstep.replica_state(replica, states, read=False, installed=len(states))
    pieces, skip, counts = task
    blocks = []
    for count in counts:
        blocks.append(checked(replica.read_rows(skip, count)))
        skip += count
    if run is not None:
        _kept.give(run, task, replica, states, sum(piece[3] - piece[2] for piece in pieces))
    return blocks


def _typed(task, recipe, storages, run):
    """The replica the round of types kept in this process for the task's
    first range, started, when it read with the storages of the whole data
    and holds the rows of the task's blocks: (replica, []) then, else None
    (a kept replica that read other storages would read other values)."""
    pieces, skip, counts = task
    path, _, first = pieces[0][:3]
    found = _kept.take(run, ("typed", path, first, tuple(storages)), ())
    if found is None:
        return None
    replica = found[0]
    if replica.rows() < skip + sum(counts):
        return None
    replica.join(recipe.get("moments"))
    if replica.failure() is not None:
        return None
    _lockstep.replica_state(replica, (), read=False)
    return replica, []


def _fold(states):
    """The blocks' states merged in order, ((b0 b1) b2) ..., as one process
    merges its blocks."""
    merged = None
    for state in states:
        merged = state if merged is None else _lockstep.merge(merged, state)
    return merged


def transform(preparation, ddf, all_fields=False):
    """The prepared fields of a Dask DataFrame, replayed partition by
    partition (what Preparation.transform does for one)."""
    return preparation.transform(ddf, all_fields=all_fields)


__all__ = ["prepare", "prepare_csv", "transform", "Preparation"]
