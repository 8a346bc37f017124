"""Builds over partitions: replicas of one build driven in lockstep
(the component's ZelLockstep). Every pass that reads data is the merge of
one state per partition, merged along one fixed tree, so the same
partitions give the same document here (zelcraft.prepare(df,
partitions=P)) and on a Dask cluster (zelcraft.dask.prepare)."""


from . import _core
from ._columns import frame_columns
from ._errors import ZelcraftComponentError
from ._errors import raise_for_outcome as checked
from ._options import schema_text


def merge(earlier, later):
    """The state of `later`'s rows merged into `earlier`'s."""
    return checked(_core.merge_states(earlier, later))


def merge_tree(states, merge_two):
    """Merges neighbours level by level, ((s0 s1) (s2 s3)) ..., an odd last
    one going up as it is: rows stay in order, and the tree depends only on
    the number of partitions."""
    states = list(states)
    while len(states) > 1:
        states = [merge_two(states[i], states[i + 1]) if i + 1 < len(states) else states[i]
                  for i in range(0, len(states), 2)]
    return states[0]


def partition_bounds(rows, partitions):
    """[(first, count)] of `partitions` runs of rows, as Dask's from_pandas
    cuts a frame with a unique ascending index: rows // partitions rows
    each, one more in the first rows % partitions; none empty."""
    partitions = max(1, partitions)
    size, longer = divmod(rows, partitions)
    bounds = []
    first = 0
    for index in range(partitions):
        count = size + (index < longer)
        if count:
            bounds.append((first, count))
        first += count
    return bounds


def make_replica(frame, recipe):
    """A replica over a frame's columns; recipe is what prepare was given,
    with the latest moments of all the partitions and the records their
    weights leave out when they were found."""
    names, columns, fields = frame_columns(frame, recipe["schema"])
    replica = _core.Replica(names, columns, recipe["settings"], recipe["settings_name"],
                            recipe["assigned"], schema_text(fields), recipe["target"],
                            recipe["frequency_weight"], recipe["memory_limit"], recipe["clock"],
                            recipe.get("moments"), recipe.get("dropped", -1))
    checked(replica.failure())
    return replica


def partition_facts(frame, recipe):
    """What a partition's rows tell the replicas of the others: "moments",
    the latest date and time of day of its dates and times, as (day or
    None, seconds or None), when the settings leave the reference of
    durations to the data, else None; "weighted", whether a weight is in
    play; "dropped", the records its weights leave out."""
    names, columns, fields = frame_columns(frame, recipe["schema"])
    return _core.data_facts(names, columns, recipe["settings"], recipe["settings_name"],
                            recipe["assigned"], schema_text(fields), recipe["target"],
                            recipe["frequency_weight"])


def latest_moments(found):
    """The latest of the partitions' moments (each None or a pair)."""
    pairs = [pair for pair in found if pair is not None]
    if not pairs:
        return None
    return tuple(max((pair[k] for pair in pairs if pair[k] is not None), default=None)
                 for k in range(2))


def run(replica, read_pass):
    """Drives the client's replica through every pass; read_pass(states)
    returns the merged state of the next pass that reads, given those of
    the earlier ones. The outcome of prepare."""
    states = []
    while True:
        reads, done = checked(replica.start_pass())
        if done:
            return replica.end()
        if reads:
            state = read_pass(tuple(states))
            states.append(state)
            checked(replica.install(state))
        checked(replica.finish_pass())


def partition_state(frame, recipe, states):
    """The state of one partition's rows for the first pass that reads after
    the passes whose merged states are `states`: a replica rebuilt from
    nothing but its inputs, so a task that runs twice returns the same
    bytes."""
    return replica_state(make_replica(frame, recipe), states)


def replica_state(replica, states, read=True, installed=0):
    """The state of a new replica's rows for the first pass that reads after
    the passes whose merged states are `states`; with `read` false, the
    replica only brought to that pass, for its caller to read. A replica
    that already installed the first `installed` states and finished the
    pass after them goes on from there."""
    while True:
        reads, done = checked(replica.start_pass())
        if done:
            raise ZelcraftComponentError("the build has no pass left to read")
        if reads:
            if installed == len(states):
                return checked(replica.read_rows(0, replica.rows())) if read else None
            checked(replica.install(states[installed]))
            installed += 1
        checked(replica.finish_pass())


def prepare_partitioned(frame, recipe, partitions):
    """The outcome of prepare over `partitions` row ranges of the frame, read
    by one replica of the whole frame and merged as a Dask run merges the
    same partitions."""
    replica = make_replica(frame, recipe)
    bounds = partition_bounds(len(frame), partitions)

    def read_pass(_states):
        return merge_tree((checked(replica.read_rows(first, count)) for first, count in bounds),
                          merge)

    return run(replica, read_pass)
