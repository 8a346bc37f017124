#include "CsvRanges.h"

#include <pybind11/stl.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "Outcome.h"
#include "io/ByteRange.h"
#include "io/CsvFileSequence.h"
#include "io/TypeInference.h"
#include "preparation/BlockFeed.h"

namespace zelpy {

namespace py = pybind11;

namespace {

zelio::ByteRange RangeOf(const py::tuple& range) {
  if (range.size() != 6) {
    throw py::value_error("a range: (path, header_end, begin, end, size, modified_ns)");
  }
  zelio::ByteRange out;
  out.path = range[0].cast<std::string>();
  out.headerEnd = range[1].cast<int64_t>();
  out.begin = range[2].cast<int64_t>();
  out.end = range[3].cast<int64_t>();
  out.size = range[4].cast<int64_t>();
  out.modifiedNs = range[5].cast<int64_t>();
  return out;
}

py::dict InputError(const std::string& message) { return ErrorOutcome(true, 0, message, ""); }

// The records of a range's text (its header row, then its rows), split as
// the loader splits them; false when the text does not split, which its
// load then says.
bool CountRows(const std::string& text, const std::string& name, char delimiter,
               int64_t* rows) {
  zelio::CsvFileSequence split(text, name, delimiter, zelio::CsvChunkReader::kDefaultChunk);
  if (!split.Open(nullptr).ok()) return false;
  zelio::CsvChunk chunk;
  int64_t count = 0;
  do {
    split.Next(&chunk);
    if (chunk.failure.failed()) return false;
    count += static_cast<int64_t>(chunk.rows());
  } while (!chunk.last);
  *rows = count - 1;  // the header row
  return count > 0;
}

// Whether the request puts a weight in play (its settings may name one).
bool Weighted(const zelprep::RunRequest& request) {
  zelprep::PreparationRun run(request);
  return !run.ReadInputs() || run.Weighted();
}

}  // namespace

py::object RangeKinds(const zelprep::RunRequest& request, const py::tuple& range, char delimiter,
                      const py::object& spill, bool keep) {
  const zelio::ByteRange cut = RangeOf(range);
  std::optional<zelio::ByteRange> next;
  if (!spill.is_none()) next = RangeOf(spill.cast<py::tuple>());
  zelio::RangeText text;
  std::vector<std::pair<unsigned, bool>> kinds;
  int64_t first = 0;
  int64_t last = 0;
  int64_t rows = 0;
  int64_t ownRows = -1;
  std::optional<zelprep::DataMoments> moments;
  int64_t dropped = 0;
  zelstatus::Status read;
  zelprep::RunResult result;
  std::unique_ptr<Replica> replica;
  {
    py::gil_scoped_release unlocked;
    read = zelio::ReadByteRange(cut, true, &text);
    first = text.first;
    last = text.last;
    // A whole file is read even when empty, so that its loader says why.
    const bool whole = cut.headerEnd == 0 && cut.begin == 0;
    if (read.ok() && (!text.empty() || whole)) {
      zelprep::CsvSource csv;
      csv.paths = {cut.path};
      csv.delimiter = delimiter;
      csv.text = &text.text;
      const std::size_t own = text.text.size();
      if (next && !text.empty() && !Weighted(request) &&
          CountRows(text.text, cut.path, delimiter, &ownRows) && ownRows > 0) {
        // A block of rows twice as long as the range's on average, and more
        // (a task whose block reaches past them reads its rows anew).
        const int64_t rowBytes = (last - first) / ownRows + 1;
        next->end = std::min(next->end, next->begin + 2 * rowBytes * zelprep::kBlockRows + 65536);
        if (zelio::ReadByteRange(*next, false, &text).ok()) {
          csv.maxRows = ownRows + zelprep::kBlockRows;
        } else {
          text.text.resize(own);
        }
      }
      std::optional<zelprep::PreparationRun> alone;
      const zelprep::PreparationRun* run = nullptr;
      if (keep) {
        replica = std::make_unique<Replica>(request, csv, false);
        run = &replica->run();
      } else {
        PythonHost host{py::none()};
        alone.emplace(request);
        if (alone->ReadInputs()) alone->LoadCsv(csv, host, zelio::ReadProgress::Silent());
        run = &*alone;
      }
      result = run->result();
      if (result.ok()) {
        rows = ownRows >= 0 ? ownRows : run->data().rows;
        for (const zelio::TypeInference& column : run->data().inference) {
          kinds.emplace_back(column.candidates(), column.seen());
        }
        if (run->referenceNeeds().Any()) moments = run->moments();
        dropped = run->data().droppedRecords;
      }
    }
  }
  if (!read.ok()) return InputError(read.message());
  if (!result.ok()) {
    if (result.status.inputError()) return InputError(result.status.message());
    return ErrorOutcome(false, result.component.GetCode(), "the range could not be read", "");
  }
  py::dict out;
  out["first"] = first;
  out["last"] = last;
  out["rows"] = rows;
  out["kinds"] = kinds;
  out["dropped"] = dropped;
  out["moments"] = moments ? MomentsTuple(*moments) : py::object(py::none());
  if (replica) out["replica"] = py::cast(std::move(replica));
  return out;
}

std::vector<int> CombineKinds(const std::vector<std::vector<std::pair<unsigned, bool>>>& kinds) {
  std::vector<zelio::TypeInference> combined;
  for (const auto& range : kinds) {
    if (combined.empty()) combined.resize(range.size());
    if (range.size() != combined.size()) throw py::value_error("ranges of different widths");
    for (std::size_t c = 0; c < range.size(); ++c) {
      combined[c].Merge(zelio::TypeInference::Of(range[c].first, range[c].second));
    }
  }
  std::vector<int> storages;
  for (const zelio::TypeInference& column : combined) storages.push_back(column.Result());
  return storages;
}

py::object RangeReplica(const zelprep::RunRequest& request, const py::list& pieces,
                        char delimiter, const std::vector<int>& storages, int64_t maxRows) {
  std::vector<zelio::ByteRange> cuts;
  for (const py::handle piece : pieces) cuts.push_back(RangeOf(piece.cast<py::tuple>()));
  if (cuts.empty()) throw py::value_error("a replica reads one range or more");
  zelio::RangeText text;
  zelstatus::Status read;
  std::unique_ptr<Replica> replica;
  {
    py::gil_scoped_release unlocked;
    for (std::size_t i = 0; i < cuts.size() && read.ok(); ++i) {
      read = zelio::ReadByteRange(cuts[i], i == 0, &text);
    }
    if (read.ok()) {
      zelprep::CsvSource csv;
      csv.paths = {cuts.front().path};
      csv.delimiter = delimiter;
      csv.text = &text.text;
      csv.storages = &storages;
      csv.maxRows = maxRows;
      replica = std::make_unique<Replica>(request, csv);
    }
  }
  if (!replica) return InputError(read.message());
  return py::cast(std::move(replica));
}

py::object HeaderEnd(const std::string& path, char delimiter) {
  int64_t end = 0;
  zelstatus::Status found;
  {
    py::gil_scoped_release unlocked;
    found = zelio::FindHeaderEnd(path, delimiter, &end);
  }
  if (!found.ok()) return InputError(found.message());
  return py::int_(end);
}

}  // namespace zelpy
