"""Replicas a worker process keeps between the passes of one preparation
of CSV files (zelcraft.dask.prepare_csv), so that a pass does not parse its
rows again: the replica that read a task's blocks in one pass, stopped
where it read, goes on to the next pass once it installs the merged state
it was missing. Nothing depends on a replica being kept: a task that finds
none, or one that does not stand where the task needs it (a task run again,
on another worker or after another run's), builds its replica from nothing
but its inputs, as it would without keeping, and reads the same bytes. A
process keeps replicas of one run at a time, and no more rows than its
budget allows (the oldest go first)."""

import collections
import os
import threading

_lock = threading.Lock()
# (run, task) -> (replica, states installed, bytes of its rows), oldest first.
_kept = collections.OrderedDict()
_run = [None]


def budget():
    """The bytes of CSV rows a process keeps read: a quarter of the memory
    (the columns take less than their text), or ZELCRAFT_KEEP_BYTES."""
    given = os.environ.get("ZELCRAFT_KEEP_BYTES")
    if given is not None:
        return int(given)
    try:
        return os.sysconf("SC_PHYS_PAGES") * os.sysconf("SC_PAGE_SIZE") // 4
    except (ValueError, OSError):
        return 1 << 30


def take(run, task, states):
    """The replica kept for the task, when it stands in the pass after
    `states`' first len(states) - 1 or at its read: (replica, installed);
    else None. The replica is the caller's until it gives it back."""
    with _lock:
        entry = _kept.pop((run, task), None)
    if entry is None:
        return None
    replica, installed, _ = entry
    count = len(installed)
    if count in (len(states), len(states) - 1) and all(
            a == b for a, b in zip(installed, states)):
        return replica, list(installed)
    return None


def give(run, task, replica, installed, size):
    """Keeps the replica for the task's next pass."""
    with _lock:
        if _run[0] != run:
            _kept.clear()
            _run[0] = run
        _kept[(run, task)] = (replica, tuple(installed), size)
        held = sum(entry[2] for entry in _kept.values())
        limit = budget()
        while _kept and held > limit:
            _, (_, _, dropped) = _kept.popitem(last=False)
            held -= dropped


def forget(run):
    """Lets go of what a run kept."""
    with _lock:
        for key in [key for key in _kept if key[0] == run]:
            del _kept[key]
