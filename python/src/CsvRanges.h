// CsvRanges: a CSV file read by byte ranges (io/ByteRange.h) for the Dask
// build of files (zelcraft.dask.prepare_csv). A range is the Python tuple
// (path, header_end, begin, end, size, modified_ns) its client cut. The
// client learns each range's storages first, combines them into those of
// the whole data, and every replica then reads its range with them, so
// every range reads alike and as the whole file would.
#ifndef ZELCRAFT_PYTHON_CSVRANGES_H_
#define ZELCRAFT_PYTHON_CSVRANGES_H_

#include <pybind11/pybind11.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Lockstep.h"
#include "preparation/PreparationRun.h"

namespace zelpy {

// {"first", "last"}: the bytes the range's rows take; "rows"; "dropped":
// the records its weights leave out; "kinds": per
// column (candidates, seen) of its type inference; "moments": the latest
// moments of its rows read with the storages it found, when the settings
// leave the reference of durations to the data, else None; or an error
// outcome (which may come of a cut inside a quoted cell, a row of the
// wrong width, a bad weight, ...).
//
// With `keep`, also "replica": the replica that read them, not started
// (Replica::Join). Given the range of the same file after it, `spill`
// (None: none), the read goes on into it for up to a block of rows, so
// that the replica holds the rows a task of the range reads to finish its
// last block; the kinds and moments are then those of all the rows read,
// which are rows of the data all the same. A read with a weight in play
// does not go on: the records it leaves out are counted range by range.
pybind11::object RangeKinds(const zelprep::RunRequest& request, const pybind11::tuple& range,
                            char delimiter, const pybind11::object& spill, bool keep);

// The storages of the columns of all the ranges whose kinds are given.
std::vector<int> CombineKinds(const std::vector<std::vector<std::pair<unsigned, bool>>>& kinds);

// A replica over the first `maxRows` rows (0: all) of the ranges' rows, in
// order, read with `storages`, or an error outcome when a range cannot be
// read. The first range's file gives the header.
pybind11::object RangeReplica(const zelprep::RunRequest& request, const pybind11::list& pieces,
                              char delimiter, const std::vector<int>& storages, int64_t maxRows);

// The end of the file's header row (io/ByteRange.h), or an error outcome.
pybind11::object HeaderEnd(const std::string& path, char delimiter);

}  // namespace zelpy

#endif  // ZELCRAFT_PYTHON_CSVRANGES_H_
