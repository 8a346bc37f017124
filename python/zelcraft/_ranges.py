"""CSV files cut into byte ranges, for zelcraft.dask.prepare_csv.

A range is (path, header_end, begin, end, size, modified_ns): the rows that
start in bytes [begin, end) of the file, read behind its header row, bytes
[0, header_end), by the data-source library's own loader (the extension's
range_kinds and range_replica; the rule that gives each row to one range
is io/ByteRange.h's). The header row ends where the CSV rules end the first
row (a quoted line break in a name stays in it).

Every file must have the header names of the first, in the same order;
any other is refused as the loader refuses it (io/HeaderCheck.h)."""

import os

from . import _core
from ._errors import ZelcraftInputError
from ._errors import raise_for_outcome as checked

DEFAULT_BLOCKSIZE = 64 * 2**20


def header_row(path, delimiter):
    """The bytes of the file's header row, which ends where the CSV rules
    end its first row (all of the file when that row does not end)."""
    end = checked(_core.header_end(path, delimiter))
    try:
        with open(path, "rb") as stream:
            return stream.read(end)
    except OSError as error:
        raise ZelcraftInputError(f"{path}: cannot read the file ({error.strerror})") from None


def check_header(path, header, first_path, first_header, delimiter):
    """Refuses a file whose header names other columns than the first
    file's, in the words of the loader that reads them as one data set."""
    difference = _core.header_difference(first_header, first_path, header, delimiter)
    if difference:
        raise ZelcraftInputError(f"{path}: {difference}")


def cut(path, header, blocksize):
    """The ranges of one file, blocks of `blocksize` bytes after its header
    (one range for the whole file when blocksize is 0)."""
    info = os.stat(path)
    size, modified = info.st_size, info.st_mtime_ns
    end = len(header)
    if blocksize <= 0 or end >= size:
        return [whole(path, end, size, modified)]
    return [(path, end, begin, min(begin + blocksize, size), size, modified)
            for begin in range(end, size, blocksize)]


def whole(path, header_end, size, modified):
    """The file as one range; from its first byte when its header row does
    not end, so that its loader says what is wrong with it."""
    start = header_end if header_end < size else 0
    return (path, start, start, size, size, modified)


def arguments(recipe):
    return (recipe["settings"], recipe["settings_name"], recipe["assigned"], recipe["schema_text"],
            recipe["target"], recipe["frequency_weight"])


def kinds(cut_range, recipe, delimiter, spill=None, keep=False):
    """What a range's cells allow, its rows and its bytes; or an error
    outcome. With `keep`, also the replica that read them ("replica", not
    started), which reads on into the range `spill`
    after it for up to a block of rows when given (the extension's
    range_kinds says how)."""
    return _core.range_kinds(cut_range, delimiter, *arguments(recipe), recipe["memory_limit"],
                             recipe["clock"], spill, keep)


def replica(pieces, recipe, delimiter, storages, max_rows=0):
    """A replica over the first `max_rows` rows (0: all) of the ranges
    `pieces`, read with the whole data's storages; or an error outcome."""
    made = _core.range_replica(list(pieces), delimiter, storages, max_rows, *arguments(recipe),
                               recipe["memory_limit"], recipe["clock"], recipe.get("moments"),
                               recipe.get("dropped", -1))
    if isinstance(made, dict):
        return made
    failure = made.failure()
    return made if failure is None else failure


def agrees(ranges, found):
    """Whether a file's ranges read as the whole file would: none failed,
    and each starts where the one before it ended (a range that starts
    inside a quoted cell makes the one before it end there, which its read
    refuses, or starts before that one when it holds no row)."""
    if any("error" in result for result in found):
        return False
    if not any(result["rows"] for result in found):
        return False
    ends = [ranges[0][1]] + [result["last"] for result in found[:-1]]
    return all(result["first"] == end for result, end in zip(found, ends))


def block_tasks(ranges, found, block=None, stretches=None):
    """The reads of a pass: the rows of the whole data in blocks of the
    component's block rows, as one process reads them, each block read
    whole by the task of the stretch of ranges its first row is in, which
    reads on into the ranges after it (of the same file or the next) to
    finish its last block. The ranges go in `stretches` stretches of
    neighbours with about as many rows each (None: one a range).
    [(pieces, skip, counts)]: the ranges it reads, from the first row of
    its own, with exact bounds; the rows of them before its first block;
    the row counts of its blocks, in order."""
    block = block or _core.block_rows
    starts, total = [], 0
    for result in found:
        starts.append(total)
        total += result["rows"]
    tasks = []
    for k, end in _stretches(starts, total, stretches):
        first = -(-starts[k] // block) * block
        stop = min(-(-end // block) * block, total)
        if first >= stop:
            continue
        pieces = []
        for j in range(k, len(found)):
            if starts[j] >= stop:
                break
            path, header_end, _, _, size, modified = ranges[j]
            if pieces and pieces[-1][0] == path:
                pieces[-1] = pieces[-1][:3] + (found[j]["last"],) + pieces[-1][4:]
            else:
                pieces.append((path, header_end, found[j]["first"], found[j]["last"], size,
                               modified))
        counts = [min(block, stop - row) for row in range(first, stop, block)]
        tasks.append((tuple(pieces), first - starts[k], tuple(counts)))
    return tasks


def _stretches(starts, total, stretches):
    """[(first range, row after the stretch)] of the stretches of ranges
    whose first rows `starts` give: range k joins stretch
    starts[k] * stretches // total; each range is a stretch of its own when
    there are no more ranges than stretches."""
    ends = starts[1:] + [total]
    if stretches is None or total == 0 or len(starts) <= stretches:
        return list(zip(range(len(starts)), ends))
    out = []
    for k, start in enumerate(starts):
        if k == 0 or start * stretches // total != starts[k - 1] * stretches // total:
            out.append([k, ends[k]])
        else:
            out[-1][1] = ends[k]
    return [tuple(stretch) for stretch in out]
