// The extension module zelcraft._core: the package's way into the
// preparation run, the data-source library and the document consumer.
// Columns arrive as tuples of numpy arrays the Python side made from a
// frame (FrameColumns.h); every long piece of work runs without the
// interpreter lock.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "Facts.h"
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
#include "io/SettingsFile.h"
#include "preparation/StatisticsTable.h"
#include "report/Report.h"

namespace zelpy {

namespace py = pybind11;
using zelhost::ColumnData;
using zelhost::Replay;
using zelhost::ReplayColumn;
using zelhost::ReplayInput;

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

// A replica of a build over a frame's columns (Lockstep.h).
std::unique_ptr<Replica> MakeReplica(const std::vector<std::string>& names, py::list columns,
                                     const std::string& settingsText,
                                     const std::string& settingsName,
                                     const std::vector<std::string>& assignments,
                                     const std::string& schemaText, const std::string& target,
                                     const std::string& frequencyWeight, uint64_t memoryLimit,
                                     int64_t clock) {
  std::vector<py::object> keep;
  const std::vector<ColumnData> data = ReadColumns(names, columns, &keep);
  zelprep::RunRequest request = Request(settingsText, settingsName, assignments, schemaText,
                                        target, frequencyWeight, 1, memoryLimit);
  request.clock = clock;
  py::gil_scoped_release unlocked;
  return std::make_unique<Replica>(request, names, data);
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
    result.kind = zelprep::RunResult::Kind::kInterrupted;
  }
  return OutcomeDict(result, host);
}

py::dict PrepareCsv(const std::string& path, const std::string& delimiter, bool stream,
                    uint64_t memoryLimit, int threads, const std::string& settingsText,
                    const std::string& settingsName, const std::vector<std::string>& assignments,
                    const std::string& schemaText, const std::string& target,
                    const std::string& frequencyWeight, py::object progress) {
  if (delimiter.size() != 1) throw py::value_error("the delimiter is one character");
  const zelprep::RunRequest request = Request(settingsText, settingsName, assignments, schemaText,
                                              target, frequencyWeight, threads, memoryLimit);
  const zelhost::CsvRequest csv{path, delimiter[0], stream};
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
  zelapply::Status status;
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
// whether the replay needs their values.
py::list ReplayInputs(const Replay& replay) {
  const zelapply::Program& program = replay.program();
  py::list out;
  for (std::size_t i = 0; i < program.inputCount(); ++i) {
    const zelapply::FieldInfo& field = program.fields()[i];
    out.append(py::make_tuple(field.name, zelhost::ValueTypeName(field.type), field.optional,
                              program.IsRead(i) || field.enabled));
  }
  return out;
}

// Runs the replay; each output is (name, type, float64 values) or (name,
// "text", int64 codes, texts).
py::tuple Run(const Replay& replay, const py::list& inputs, std::size_t rows, bool allDerived,
              py::object progress) {
  std::vector<py::object> keep;
  std::vector<ReplayInput> columns;
  for (const py::handle input : inputs) {
    const py::tuple pair = input.cast<py::tuple>();
    const auto field = pair[0].cast<std::size_t>();
    if (field >= replay.program().inputCount()) throw py::value_error("no such input");
    columns.push_back(ReplayInput{field, ReadColumn(pair[1].cast<py::tuple>(), &keep)});
    if (columns.back().data.rows != rows) throw py::value_error("columns of different lengths");
  }
  PythonHost host(std::move(progress));
  std::vector<ReplayColumn> outputs;
  std::vector<std::string> warnings;
  bool done;
  {
    py::gil_scoped_release unlocked;
    done = replay.Run(columns, rows, allDerived, host, &outputs, &warnings);
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
  return py::make_tuple(out, warnings);
}

py::array Invert(const Replay& replay, const RealArray& predictions, py::object progress) {
  if (replay.inverse() == nullptr) throw py::value_error("the document has no target inverse");
  PythonHost host(std::move(progress));
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
  zelapply::Status status;
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
  const zelapply::Status status = zelapply::ReadDocumentFacts(document, &facts);
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

// Texts of a column the schema declares "date", "time" or "timestamp", read
// by the command line's rules: (float64 days or seconds, the index of the
// first text that does not read or -1, what that text is not).
py::tuple ReadTexts(const std::vector<std::string>& texts, const std::string& kind) {
  std::vector<double> values;
  std::size_t unreadable = 0;
  std::string error;
  if (ReadDeclaredTexts(texts, NumberKind(kind), &values, &unreadable, &error)) {
    return py::make_tuple(ToArray(std::move(values)), -1, std::string());
  }
  return py::make_tuple(py::none(), static_cast<int64_t>(unreadable), error);
}

py::list SettingKeys() {
  py::list out;
  for (const ZelSettingKey& key : ZelFactory::GetSettingKeys()) {
    out.append(py::make_tuple(key.name, zelio::SettingTypeName(key.type), key.defaultValue,
                              key.description));
  }
  return out;
}

}  // namespace

PYBIND11_MODULE(_core, module) {
  module.doc() = "Zelcraft's component, data-source library and document consumer";
  module.attr("version") = ZEL_VERSION;
  module.def("prepare_frame", &PrepareFrame);
  module.def("prepare_csv", &PrepareCsv);
  module.def("document_facts", &DocumentFactsOf);
  module.def("fields_table", &FieldsTable);
  module.def("render_report", &RenderReport);
  module.def("setting_keys", &SettingKeys);
  module.def("read_texts", &ReadTexts);
  module.def("keys_without_effect", [] { return ZelFactory::GetKeysWithoutEffect(); });
  module.def("statistics_table", &StatisticsTable);
  module.def("unwritable_text", &UnwritableText);
  module.def("describe_status", [](int code) {
    const char* message = ZelFactory::DescribeStatusCode(code);
    return message ? std::string(message) : std::string();
  });
  py::class_<Replica>(module, "Replica")
      .def(py::init(&MakeReplica))
      .def("failure", &Replica::Failure)
      .def("rows", &Replica::Rows)
      .def("start_pass", &Replica::StartPass)
      .def("read_rows", &Replica::ReadRows)
      .def("install", &Replica::Install)
      .def("finish_pass", &Replica::FinishPass)
      .def("end", &Replica::End);
  module.def("merge_states", &MergeStates);
  py::class_<Replay, std::shared_ptr<Replay>>(module, "Replay")
      .def(py::init(&Compile))
      .def("inputs", &ReplayInputs)
      .def("has_inverse", [](const Replay& replay) { return replay.inverse() != nullptr; })
      .def("run", &Run)
      .def("invert", &Invert);
}

}  // namespace zelpy
