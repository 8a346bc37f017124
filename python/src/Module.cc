// The extension module zelcraft._core: the package's way into the
// preparation run, the data-source library and the document consumer.
// Columns arrive as tuples of numpy arrays the Python side made from a
// frame (FrameColumns.h); every long piece of work runs without the
// interpreter lock.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <optional>

#include "Facts.h"
#include "CsvRanges.h"
#include "FrameColumns.h"
#include "Lockstep.h"
#include "Outcome.h"
#include "PythonHost.h"
#include "apply/DocumentFacts.h"
#include "frame/ZelFactory.h"
#include "host/Build.h"
#include "host/ColumnData.h"
#include "host/FieldsTable.h"
#include "host/Replay.h"
#include "io/CsvRowParser.h"
#include "io/HeaderCheck.h"
#include "io/SettingsFile.h"
#include "preparation/BlockFeed.h"
#include "preparation/HostSettings.h"
#include "preparation/StatisticsTable.h"
#include "report/Report.h"

using ZelFrame::ZelFactory;

namespace zelpy {

namespace py = pybind11;
using zelhost::ColumnData;
using zelhost::Replay;
using zelhost::ReplayColumn;
using zelhost::ReplayInput;
using zelhost::UnseenValues;

namespace {

// Hands a vector's values to numpy without copying them.
template <typename T>
py::array ToArray(std::vector<T>&& values) {
  auto* held = new std::vector<T>(std::move(values));
  const py::capsule owner(held, [](void* p) { delete static_cast<std::vector<T>*>(p); });
  return py::array_t<T>(static_cast<py::ssize_t>(held->size()), held->data(), owner);
}

// The run's request for the package's arguments.
zelprep::RunRequest Request(const std::string& settingsText, const std::string& settingsName,
                            const std::vector<std::string>& assignments,
                            const std::string& schemaText, const std::string& target,
                            const std::string& frequencyWeight, int threads, uint64_t memoryLimit) {
  zelprep::RunRequest request;
  request.settingsText = settingsText;
  request.settingsName = settingsName;
  request.assignments = assignments;
  request.schemaText = schemaText;
  request.target = target;
  request.frequencyWeight = frequencyWeight;
  request.threads = threads;
  request.memoryLimit = memoryLimit;
  request.memoryLimitName = "memory_limit=";
  return request;
}

// The latest moments of the whole data a partitioned build found, None or
// (latest day or None, latest time of day or None), as the run takes them.
std::optional<zelprep::DataMoments> Moments(const py::object& given) {
  if (given.is_none()) return std::nullopt;
  const py::tuple pair = given.cast<py::tuple>();
  zelprep::DataMoments moments;
  if (!pair[0].is_none()) moments.day = pair[0].cast<double>();
  if (!pair[1].is_none()) moments.timeOfDay = pair[1].cast<double>();
  return moments;
}


// A replica of a build over a frame's columns (Lockstep.h); `clock` is the
// build's (ReferenceClock.h), `moments` the latest moments of all the
// partitions, or None for the replica's own; `dropped` the records the
// weights of all the partitions leave out (-1: the replica's own).
std::unique_ptr<Replica> MakeReplica(const std::vector<std::string>& names, py::list columns,
                                     const std::string& settingsText,
                                     const std::string& settingsName,
                                     const std::vector<std::string>& assignments,
                                     const std::string& schemaText, const std::string& target,
                                     const std::string& frequencyWeight, uint64_t memoryLimit,
                                     int64_t clock, const py::object& moments,
                                     int64_t dropped) {
  std::vector<py::object> keep;
  const std::vector<ColumnData> data = ReadColumns(names, columns, &keep);
  zelprep::RunRequest request = Request(settingsText, settingsName, assignments, schemaText,
                                        target, frequencyWeight, 1, memoryLimit);
  request.clock = clock;
  request.moments = Moments(moments);
  if (dropped >= 0) request.droppedRecords = dropped;
  py::gil_scoped_release unlocked;
  return std::make_unique<Replica>(request, names, data);
}

// What a CSV byte range's cells allow, and a replica over the range read
// with the storages of the whole data (CsvRanges.h); the arguments as
// MakeReplica's, and the records of the whole data its weights leave out
// (-1: the replica's own).
py::object RangeKindsOf(const py::tuple& range, const std::string& delimiter,
                        const std::string& settingsText, const std::string& settingsName,
                        const std::vector<std::string>& assignments,
                        const std::string& schemaText, const std::string& target,
                        const std::string& frequencyWeight, uint64_t memoryLimit, int64_t clock,
                        const py::object& spill, bool keep) {
  zelprep::RunRequest request = Request(settingsText, settingsName, assignments, schemaText,
                                        target, frequencyWeight, 1, memoryLimit);
  request.clock = clock;
  return RangeKinds(request, range, delimiter.empty() ? ',' : delimiter[0], spill, keep);
}

py::object MakeRangeReplica(const py::list& pieces, const std::string& delimiter,
                            const std::vector<int>& storages, int64_t maxRows,
                            const std::string& settingsText,
                            const std::string& settingsName,
                            const std::vector<std::string>& assignments,
                            const std::string& schemaText, const std::string& target,
                            const std::string& frequencyWeight, uint64_t memoryLimit,
                            int64_t clock, const py::object& moments, int64_t dropped) {
  zelprep::RunRequest request = Request(settingsText, settingsName, assignments, schemaText,
                                        target, frequencyWeight, 1, memoryLimit);
  request.clock = clock;
  request.moments = Moments(moments);
  if (dropped >= 0) request.droppedRecords = dropped;
  return RangeReplica(request, pieces, delimiter.empty() ? ',' : delimiter[0], storages, maxRows);
}

// What a partition tells the other partitions' replicas: {"moments": the
// latest moments of its dates and times, as (day or None, time of day or
// None), when the settings leave the reference of durations to the run,
// else None; "weighted": whether a frequency or analysis weight is in play;
// "dropped": the records its weights leave out}. None of it when the
// columns cannot be used (which the replicas then say).
py::dict DataFactsOf(const std::vector<std::string>& names, py::list columns,
                         const std::string& settingsText, const std::string& settingsName,
                         const std::vector<std::string>& assignments,
                         const std::string& schemaText, const std::string& target,
                         const std::string& frequencyWeight) {
  std::vector<py::object> keep;
  const std::vector<ColumnData> data = ReadColumns(names, columns, &keep);
  const zelprep::RunRequest request = Request(settingsText, settingsName, assignments, schemaText,
                                              target, frequencyWeight, 1, 0);
  bool needed = false;
  bool weighted = false;
  int64_t dropped = 0;
  zelprep::DataMoments moments;
  PythonHost host{py::none()};
  {
    py::gil_scoped_release unlocked;
    zelio::ColumnStore store;
    zelprep::PreparationRun run(request);
    if (FillStore(names, data, host, &store) && run.ReadInputs() &&
        run.TakeColumns(std::move(store))) {
      needed = run.referenceNeeds().Any();
      moments = run.moments();
      weighted = run.Weighted();
      dropped = run.data().droppedRecords;
    }
  }
  py::dict facts;
  facts["moments"] = needed ? MomentsTuple(moments) : py::object(py::none());
  facts["weighted"] = weighted;
  facts["dropped"] = dropped;
  return facts;
}

// Empties `columns`, whose arrays are let go once the store holds the data.
py::dict PrepareFrame(const std::vector<std::string>& names, py::list columns,
                      const std::string& settingsText, const std::string& settingsName,
                      const std::vector<std::string>& assignments, const std::string& schemaText,
                      const std::string& target, const std::string& frequencyWeight, int threads,
                      uint64_t memoryLimit, py::object progress) {
  std::vector<py::object> keep;
  std::vector<ColumnData> data = ReadColumns(names, columns, &keep);
  const zelprep::RunRequest request = Request(settingsText, settingsName, assignments, schemaText,
                                              target, frequencyWeight, threads, memoryLimit);
  PythonHost host(std::move(progress));
  zelio::ColumnStore store;
  bool filled;
  {
    py::gil_scoped_release unlocked;
    filled = zelhost::FillStore(names, data, host, &store);
  }
  // The store holds the data now: the arrays made for it can go.
  data.clear();
  keep.clear();
  columns.attr("clear")();
  zelprep::RunResult result;
  if (filled) {
    py::gil_scoped_release unlocked;
    result = zelhost::BuildFromStore(request, std::move(store), host);
  } else {
    result.status = zelstatus::Status::Interrupted();
  }
  return OutcomeDict(result, host);
}

py::dict PrepareCsv(const std::vector<std::string>& paths, const std::string& delimiter, bool stream,
                    uint64_t memoryLimit, int threads, const std::string& settingsText,
                    const std::string& settingsName, const std::vector<std::string>& assignments,
                    const std::string& schemaText, const std::string& target,
                    const std::string& frequencyWeight, py::object progress) {
  if (delimiter.size() != 1) throw py::value_error("the delimiter is one character");
  const zelprep::RunRequest request = Request(settingsText, settingsName, assignments, schemaText,
                                              target, frequencyWeight, threads, memoryLimit);
  const zelhost::CsvRequest csv{paths, delimiter[0], stream};
  PythonHost host(std::move(progress));
  zelprep::RunResult result;
  {
    py::gil_scoped_release unlocked;
    result = zelhost::BuildFromCsv(request, csv, host);
  }
  return OutcomeDict(result, host);
}

std::shared_ptr<Replay> Compile(const std::string& document) {
  auto replay = std::make_shared<Replay>();
  // A large document takes seconds: Ctrl-C stops it.
  PythonHost host{py::none()};
  zelstatus::Status status;
  {
    py::gil_scoped_release unlocked;
    status = replay->Compile(document, [&host] { return host.Poll(); });
  }
  host.RaiseIfInterrupted();
  if (status.interrupted()) RaiseKeyboardInterrupt();
  if (!status.ok()) throw py::value_error(status.message());
  return replay;
}

// The program's inputs: name, type, whether the target or a weight, and
// whether the fields shown (with `allDerived`, every derived field too)
// depend on their values.
py::list ReplayInputs(const Replay& replay, bool allDerived) {
  const zelapply::Program& program = replay.program();
  const std::vector<bool> needed = program.NeededInputs(allDerived);
  py::list out;
  for (std::size_t i = 0; i < program.inputCount(); ++i) {
    const zelapply::FieldInfo& field = program.fields()[i];
    out.append(py::make_tuple(field.name, zelhost::ValueTypeName(field.type), field.optional,
                              needed[i]));
  }
  return out;
}

// The inputs made from a column of timestamps: (field, column, whether the
// time of day, else the date).
py::list ReplayParts(const Replay& replay) {
  py::list out;
  for (const zelapply::TimestampPart& part : replay.parts()) {
    out.append(py::make_tuple(part.field, part.column, part.timeOfDay));
  }
  return out;
}

// Runs the replay on (input, column tuple, part) triples, the part 0 for a
// whole column, 1 for the dates and 2 for the times of day of timestamps;
// each output is (name, type, float64 values) or (name, "text", int64
// codes, texts). Gives (outputs, warnings, unseen), unseen a list of
// (field, count, first row, first value) for the categorical inputs with
// values training never saw, which are read as missing when
// `unseenAsMissing`. With `training` the rows are the training data, whose
// target means are cross-fitted.
py::tuple Run(const Replay& replay, const py::list& inputs, std::size_t rows, bool allDerived,
              bool unseenAsMissing, py::object progress, bool training) {
  std::vector<py::object> keep;
  std::vector<ReplayInput> columns;
  for (const py::handle input : inputs) {
    const py::tuple triple = input.cast<py::tuple>();
    const auto field = triple[0].cast<std::size_t>();
    if (field >= replay.program().inputCount()) throw py::value_error("no such input");
    const int part = triple[2].cast<int>();
    if (part < 0 || part > 2) throw py::value_error("no such part of a timestamp");
    columns.push_back(ReplayInput{field, ReadColumn(triple[1].cast<py::tuple>(), &keep),
                                  static_cast<zelio::CellReader::Part>(part)});
    if (columns.back().data.rows != rows) throw py::value_error("columns of different lengths");
  }
  PythonHost host(std::move(progress));
  host.StartCounted("replaying", static_cast<int64_t>(rows));
  std::vector<ReplayColumn> outputs;
  std::vector<std::string> warnings;
  std::vector<UnseenValues> unseen;
  bool done;
  {
    py::gil_scoped_release unlocked;
    done = replay.Run(columns, rows, allDerived, unseenAsMissing, host, &outputs, &warnings,
                      &unseen, training);
  }
  host.RaiseIfInterrupted();
  if (!done) RaiseKeyboardInterrupt();
  py::list out;
  for (ReplayColumn& column : outputs) {
    if (column.type == zelapply::ValueType::kString) {
      out.append(
          py::make_tuple(column.name, "text", ToArray(std::move(column.codes)), column.texts));
    } else {
      out.append(py::make_tuple(column.name, zelhost::ValueTypeName(column.type),
                                ToArray(std::move(column.numbers))));
    }
  }
  py::list unseenOut;
  for (const UnseenValues& values : unseen) {
    unseenOut.append(py::make_tuple(values.field, values.count, values.firstRow, values.first));
  }
  return py::make_tuple(out, warnings, unseenOut);
}

py::array Invert(const Replay& replay, const RealArray& predictions, py::object progress) {
  if (replay.inverse() == nullptr) throw py::value_error("the document has no target inverse");
  PythonHost host(std::move(progress));
  host.StartCounted("inverting", static_cast<int64_t>(predictions.size()));
  std::vector<double> values;
  bool done;
  {
    py::gil_scoped_release unlocked;
    done = replay.Invert(predictions.data(), static_cast<std::size_t>(predictions.size()), host,
                         &values);
  }
  host.RaiseIfInterrupted();
  if (!done) RaiseKeyboardInterrupt();
  return ToArray(std::move(values));
}

// The report page of a document; the run's figures are shown when given
// (a negative count is not).
std::string RenderReport(const std::string& document, const std::string& dataSet, int64_t records,
                         int64_t fieldsRead, int64_t fieldsHanded) {
  const zelreport::ReportContext context{dataSet, std::string(), records, fieldsRead, fieldsHanded};
  std::string html;
  zelstatus::Status status;
  {
    py::gil_scoped_release unlocked;
    status = zelreport::RenderReport(document, context, &html);
  }
  if (!status.ok()) throw py::value_error(status.message());
  return html;
}

// The rows of the statistics table (preparation/StatisticsTable.h): field,
// kind, count, missing, mean, min, max, sd, skewness (None when absent) and
// the number of categories (None for a continuous field).
py::list StatisticsTable(const std::string& document) {
  std::vector<zelprep::StatisticsRow> rows;
  if (!zelprep::ReadStatisticsTable(document, &rows)) {
    throw py::value_error("not a preparation document");
  }
  auto number = [](const zelapply::NumberFact& fact) {
    return fact.present ? py::object(py::float_(fact.value)) : py::object(py::none());
  };
  py::list out;
  for (const zelprep::StatisticsRow& row : rows) {
    out.append(py::make_tuple(
        row.field, row.kind, row.count, row.missing, number(row.mean), number(row.minimum),
        number(row.maximum), number(row.sd), number(row.skewness),
        row.discrete ? py::object(py::int_(row.categories)) : py::object(py::none())));
  }
  return out;
}

// The first of the texts a document cannot carry, as (its index, why), or
// None.
py::object UnwritableText(const py::list& texts) {
  const std::vector<std::string> utf8 = Texts(texts);
  std::string what;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (zelio::FindUnwritable(utf8[i], &what) != std::string::npos) return py::make_tuple(i, what);
  }
  return py::none();
}

// The fields table's rows (host/FieldsTable.h) as tuples: name, source,
// kind, level, type, used, reason, reason key, predictive power or None,
// steps.
py::list FieldsTable(const std::string& document) {
  zelapply::DocumentFacts facts;
  const zelstatus::Status status = zelapply::ReadDocumentFacts(document, &facts);
  if (!status.ok()) throw py::value_error(status.message());
  py::list out;
  for (const zelhost::FieldRow& row : zelhost::FieldsTable(facts)) {
    const zelapply::NumberFact& power = row.predictivePower;
    out.append(py::make_tuple(
        row.name, row.source, row.kind, row.level, row.type, row.used, row.reason, row.reasonKey,
        power.present ? py::object(py::float_(power.value)) : py::none(), row.steps));
  }
  return out;
}

py::list SettingKeys() {
  py::list out;
  for (const ZelSettingKey& key : ZelFactory::GetSettingKeys()) {
    out.append(py::make_tuple(key.name, zelio::SettingTypeName(key.type), zelprep::HostDefault(key),
                              key.description));
  }
  return out;
}

}  // namespace

PYBIND11_MODULE(_core, module) {
  module.doc() = "Zelcraft's component, data-source library and document consumer";
  module.attr("version") = ZEL_VERSION;
  module.attr("block_rows") = zelprep::kBlockRows;
  module.def("prepare_frame", &PrepareFrame);
  module.def("prepare_csv", &PrepareCsv);
  module.def("document_facts", &DocumentFactsOf);
  module.def("fields_table", &FieldsTable);
  module.def("render_report", &RenderReport);
  module.def("setting_keys", &SettingKeys);
  module.def("keys_without_effect", [] { return ZelFactory::GetKeysWithoutEffect(); });
  module.def("statistics_table", &StatisticsTable);
  module.def("unwritable_text", &UnwritableText);
  module.def("text_objects", &TextObjects);
  module.def("describe_status", [](int code) {
    const char* message = ZelFactory::DescribeStatusCode(code);
    return message ? std::string(message) : std::string();
  });
  py::class_<Replica>(module, "Replica")
      .def(py::init(&MakeReplica), py::arg("names"), py::arg("columns"), py::arg("settings"),
           py::arg("settings_name"), py::arg("assigned"), py::arg("schema"), py::arg("target"),
           py::arg("frequency_weight"), py::arg("memory_limit"), py::arg("clock"),
           py::arg("moments") = py::none(), py::arg("dropped") = -1)
      .def("failure", &Replica::Failure)
      .def("rows", &Replica::Rows)
      .def("start_pass", &Replica::StartPass)
      .def("read_rows", &Replica::ReadRows)
      .def("install", &Replica::Install)
      .def("finish_pass", &Replica::FinishPass)
      .def("end", &Replica::End)
      .def("join", [](Replica& replica, const py::object& moments) {
        replica.Join(Moments(moments));
      })
      .def("moments", [](Replica& replica) {
        return replica.run().referenceNeeds().Any() ? MomentsTuple(replica.run().moments())
                                                    : py::object(py::none());
      });
  module.def("merge_states", &MergeStates);
  module.def("range_kinds", &RangeKindsOf);
  module.def("combine_kinds", &CombineKinds);
  module.def("range_replica", &MakeRangeReplica);
  module.def("header_end", [](const std::string& path, const std::string& delimiter) {
    return HeaderEnd(path, delimiter.empty() ? ',' : delimiter[0]);
  });
  module.def("data_facts", &DataFactsOf);
  // The header rows' bytes: the names the loader would compare.
  module.def("header_difference", [](const std::string& firstRow, const std::string& firstPath,
                                     const std::string& row, const std::string& delimiter) {
    return zelio::HeaderRowDifference(firstRow, firstPath, row,
                                      delimiter.empty() ? ',' : delimiter[0]);
  });
  py::class_<Replay, std::shared_ptr<Replay>>(module, "Replay")
      .def(py::init(&Compile))
      .def("inputs", &ReplayInputs)
      .def("parts", &ReplayParts)
      .def("has_inverse", [](const Replay& replay) { return replay.inverse() != nullptr; })
      .def("run", &Run, py::arg("inputs"), py::arg("rows"), py::arg("all_derived"),
           py::arg("unseen_as_missing"), py::arg("progress"), py::arg("training") = false)
      .def("invert", &Invert);
}

}  // namespace zelpy
