"""One preparation run from Python, for zelcraft.prepare and
zelcraft.dask.prepare alike: the arguments checked and turned into what
the extension's run takes, and its outcome published as a Preparation
(warnings to Python's warnings module, errors raised)."""

import glob
import numbers
import os
import time
import warnings as _warnings

import numpy as np
import pandas as pd

from . import _core, _lockstep
from ._columns import frame_columns
from ._errors import (ZelcraftArgumentError, ZelcraftInputError, ZelcraftWarning,
                      raise_for_outcome)
from ._options import schema_fields, schema_text, settings_text
from ._progress import run_with_progress
from .preparation import Preparation


def prepare(data, target=None, frequency_weight=None, schema=None, settings=None,
            progress=None, *, overrides=None, delimiter=",", stream=False, memory_limit=None,
            threads=None, partitions=None, extra=None):
    """Prepares a data set and returns its Preparation.

    `data` is a pandas DataFrame, or the path of a CSV file, which is read by
    the command line's loader (streamed when its columns would take more
    than `memory_limit` bytes, by default half the memory, or when `stream`
    is true). A list of paths, or a path with wildcards (*, ?, [...]; its
    matches sorted by name), is read as one data set, every file with the
    same header and the records in the order of the files, as
    `zelcraft prepare` reads several files. `memory_limit` also bounds what
    the build's statistics take beside the data held in memory: a build
    that would not fit is refused before its first pass. `schema` is a dict
    of field name to metadata (the keys of --schema) or a JSON file;
    `settings` a dict of settings keys, a JSON file or the name of a shipped
    profile; `overrides` a dict of settings keys that win over `settings`,
    as --set does. `extra` maps
    names to Series read as further columns of the frame (a target held
    apart, say). Warnings go to Python's warnings module and to
    Preparation.warnings; errors raise ZelcraftError.

    Every pass reads the rows in blocks of 65,536 on `threads` threads (by
    default one per core); the document is the same for every number of
    threads. With `partitions` (a frame only), the frame is cut into that
    many runs of rows as Dask's from_pandas cuts it, and each pass merges
    one state per partition along the tree zelcraft.dask.prepare uses: the
    document is then byte for byte that of a Dask run over the same
    partitions, and agrees with the unpartitioned one in every decision.
    """
    recipe = build_recipe(target, frequency_weight, schema, settings, overrides, memory_limit,
                          data.columns if isinstance(data, pd.DataFrame) else ())
    threads = _whole(threads, "threads")
    if partitions is not None:
        if not isinstance(data, pd.DataFrame) or extra:
            raise ZelcraftArgumentError("partitions: a pandas DataFrame without extra columns")
        outcome = _lockstep.prepare_partitioned(data, recipe, _whole(partitions, "partitions"))
        return publish(outcome, "DataFrame", stacklevel=3)
    if isinstance(data, (str, os.PathLike, list, tuple)):
        if not isinstance(delimiter, str):
            raise ZelcraftArgumentError("delimiter: one character")
        paths = csv_paths(data)
        outcome = run_with_progress(progress, lambda bar: _core.prepare_csv(
            paths, delimiter, bool(stream), recipe["memory_limit"], threads,
            *_arguments(recipe, recipe["schema"]), bar))
        return publish(outcome, _data_set_name(paths), stacklevel=3)
    elif isinstance(data, pd.DataFrame):
        names, columns, fields = frame_columns(data, recipe["schema"], extra)
        outcome = run_with_progress(progress, lambda bar: _core.prepare_frame(
            names, columns, *_arguments(recipe, fields), threads, recipe["memory_limit"], bar))
    else:
        raise ZelcraftArgumentError("data: a pandas DataFrame, the path of a CSV file, a list "
                                    "of paths or a glob pattern")
    return publish(outcome, "DataFrame", stacklevel=3)


def csv_paths(data):
    """The files a path, a glob pattern or a list of either names, in
    order: a pattern's matches sorted by name; a path that exists is taken
    as it is, wildcards or not."""
    try:
        items = [data] if isinstance(data, (str, os.PathLike)) else list(data)
    except TypeError:
        raise ZelcraftArgumentError("data: a CSV path, a glob pattern or a list of them") from None
    if not items:
        raise ZelcraftArgumentError("data: an empty list of paths")
    paths = []
    for item in items:
        if not isinstance(item, (str, os.PathLike)):
            raise ZelcraftArgumentError(f"data: paths of CSV files, not {type(item).__name__}")
        path = os.fspath(item)
        if any(c in path for c in "*?[") and not os.path.exists(path):
            matches = sorted(glob.glob(path))
            if not matches:
                raise ZelcraftInputError(f"no file matches the pattern '{path}'")
            paths.extend(matches)
        else:
            paths.append(path)
    # One file under two spellings (a.csv, ./a.csv, a link) has one device
    # and inode; a path that cannot be looked up is compared as text.
    seen = set()
    for path in paths:
        try:
            info = os.stat(path)
            identity = (info.st_dev, info.st_ino)
        except OSError:
            identity = path
        if identity in seen:
            raise ZelcraftInputError(f"{path} is given twice: its records would count twice")
        seen.add(identity)
    return paths


def _data_set_name(paths):
    """As the report names it: the file, or the first with how many follow."""
    first = os.path.basename(paths[0])
    more = len(paths) - 1
    if not more:
        return first
    return f"{first} and {more} more file" + ("s" if more > 1 else "")


def build_recipe(target, frequency_weight, schema, settings, overrides, memory_limit=None,
                 labels=()):
    """What a replica of the build is made from, as plain data a task
    carries. A role names a column: a text, or a label of the frame's
    columns (which are named by their text). The clock, read once here,
    gives every replica the same today's date and current time, for
    settings that measure durations from them, wherever and whenever it is
    made."""
    text, name = settings_text(settings)
    return {"settings": text, "settings_name": name,
            "assigned": [f"{key}={_setting_text(value)}"
                         for key, value in (overrides or {}).items()],
            "schema": schema_fields(schema),
            "target": _role(target, "target", labels),
            "frequency_weight": _role(frequency_weight, "frequency_weight", labels),
            "memory_limit": _whole(memory_limit, "memory_limit"), "clock": int(time.time())}


def _arguments(recipe, fields):
    """The settings, schema and roles as the extension's calls take them."""
    return (recipe["settings"], recipe["settings_name"], recipe["assigned"], schema_text(fields),
            recipe["target"], recipe["frequency_weight"])


def _role(value, what, labels):
    if value is None:
        return ""
    if isinstance(value, str):
        return value
    if isinstance(value, numbers.Integral) and not isinstance(value, (bool, np.bool_)):
        return str(value)
    try:
        if value in labels:
            return str(value)
    except TypeError:
        pass
    if isinstance(value, pd.Series):
        raise ZelcraftArgumentError(f"{what}: the name of a column, not a Series (name the "
                                    "column, or hand the Series in `extra` under a name)")
    raise ZelcraftArgumentError(f"{what}: the name of a column, not {type(value).__name__}")


def _whole(value, what):
    """A count or size argument: a whole number, 0 for None."""
    if value is None:
        return 0
    whole = isinstance(value, numbers.Integral) or (
        isinstance(value, numbers.Real) and float(value).is_integer())
    if whole and not isinstance(value, (bool, np.bool_)) and value >= 0:
        return int(value)
    raise ZelcraftArgumentError(f"{what}: a whole number of 0 or more, not {value!r:.40}")


def _setting_text(value):
    if isinstance(value, (bool, np.bool_)):
        return "true" if value else "false"
    return str(value)


def publish(outcome, data_set, stacklevel):
    """Warns, raises an error outcome, or returns the Preparation."""
    for line in outcome["lines"]:
        _warnings.warn(line, ZelcraftWarning, stacklevel=stacklevel)
    raise_for_outcome(outcome)
    run = {"data_set": data_set, "records": outcome["records"],
           "fields_read": outcome["fields_read"], "fields_handed": outcome["fields_handed"]}
    warned = [(code or None, message) for code, message in outcome["warnings"]]
    return Preparation(outcome["document"], warned, run, outcome["facts"])
