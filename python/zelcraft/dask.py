"""Zelcraft on a Dask cluster: the preparation of a Dask DataFrame.

    import zelcraft.dask
    prep = zelcraft.dask.prepare(ddf, target="price")
    prepared = prep.transform(ddf)       # a Dask DataFrame, partition by partition

Each data pass is one task per partition that rebuilds its replica of the
build from the settings, the partition and the merged states of the
earlier passes, and returns the state of its rows; a tree of merge tasks
(neighbours pairwise, the same tree as zelcraft.prepare(df, partitions=P))
combines them, and the client installs the merged state in its own replica
and runs the pass's steps. No state lives on a worker, so a retried task or
a lost worker changes nothing. The client's replica reads the first
partition to learn the fields: every partition must read alike (the same
columns and kinds), or the states are refused. When durations are measured
from the data, one task per partition first finds its latest date and time
of day, and every replica is handed the latest of them all."""

import dask

from . import _lockstep
from ._run import build_recipe, publish
from .preparation import Preparation


def prepare(ddf, target=None, frequency_weight=None, schema=None, settings=None, *,
            overrides=None):
    """Prepares a Dask DataFrame; the Preparation of its document, as
    zelcraft.prepare returns it."""
    recipe = build_recipe(target, frequency_weight, schema, settings, overrides)
    parts = ddf.to_delayed()
    first = parts[0].compute()
    # Durations reach from the latest date of all the partitions, which every
    # replica is handed, when the settings leave the reference to the data.
    if _lockstep.partition_moments(first, recipe) is not None:
        moments = dask.delayed(_lockstep.partition_moments, pure=True)
        found = dask.compute(*(moments(part, recipe) for part in parts))
        recipe["moments"] = _lockstep.latest_moments(found)
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


def transform(preparation, ddf, all_fields=False):
    """The prepared fields of a Dask DataFrame, replayed partition by
    partition (what Preparation.transform does for one)."""
    return preparation.transform(ddf, all_fields=all_fields)


__all__ = ["prepare", "transform", "Preparation"]
