#include "CsvRanges.h"

#include <pybind11/stl.h>

#include <optional>
#include <string>

#include "Outcome.h"
#include "io/ByteRange.h"
#include "io/TypeInference.h"

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

}  // namespace

py::object RangeKinds(const zelprep::RunRequest& request, const py::tuple& range, char delimiter) {
  const zelio::ByteRange cut = RangeOf(range);
  zelio::RangeText text;
  std::vector<std::pair<unsigned, bool>> kinds;
  int64_t rows = 0;
  std::optional<zelprep::DataMoments> moments;
  int64_t dropped = 0;
  zelstatus::Status read;
  zelprep::RunResult result;
  {
    py::gil_scoped_release unlocked;
    read = zelio::ReadByteRange(cut, true, &text);
    // A whole file is read even when empty, so that its loader says why.
    const bool whole = cut.headerEnd == 0 && cut.begin == 0;
    if (read.ok() && (!text.empty() || whole)) {
      PythonHost host{py::none()};
      zelprep::PreparationRun run(request);
      zelprep::CsvSource csv;
      csv.paths = {cut.path};
      csv.delimiter = delimiter;
      csv.text = &text.text;
      if (run.ReadInputs() && run.LoadCsv(csv, host, zelio::ReadProgress::Silent())) {
        rows = run.data().rows;
        for (const zelio::TypeInference& column : run.data().inference) {
          kinds.emplace_back(column.candidates(), column.seen());
        }
        if (run.referenceNeeds().Any()) moments = run.moments();
        dropped = run.data().droppedRecords;
      }
      result = run.result();
    }
  }
  if (!read.ok()) return InputError(read.message());
  if (!result.ok()) {
    if (result.status.inputError()) return InputError(result.status.message());
    return ErrorOutcome(false, result.component.GetCode(), "the range could not be read", "");
  }
  py::dict out;
  out["first"] = text.first;
  out["last"] = text.last;
  out["rows"] = rows;
  out["kinds"] = kinds;
  out["dropped"] = dropped;
  out["moments"] = moments ? MomentsTuple(*moments) : py::object(py::none());
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
