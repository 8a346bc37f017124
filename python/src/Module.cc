// The extension module zelcraft._core: the package's way into the
// component, the data-source library and the document consumer. Columns
// arrive as tuples of numpy arrays the Python side made from a frame;
// every long piece of work runs without the interpreter lock.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "Build.h"
#include "ColumnData.h"
#include "Facts.h"
#include "Lockstep.h"
#include "PythonHost.h"
#include "Replay.h"
#include "frame/ZelFactory.h"
#include "io/SettingsFile.h"
#include "report/Report.h"

namespace zelpy {

namespace py = pybind11;

namespace {

using IntArray = py::array_t<int64_t, py::array::c_style | py::array::forcecast>;
using RealArray = py::array_t<double, py::array::c_style | py::array::forcecast>;
using MaskArray = py::array_t<bool, py::array::c_style | py::array::forcecast>;

// Hands a vector's values to numpy without copying them.
template <typename T>
py::array ToArray(std::vector<T>&& values) {
  auto* held = new std::vector<T>(std::move(values));
  const py::capsule owner(held, [](void* p) { delete static_cast<std::vector<T>*>(p); });
  return py::array_t<T>(static_cast<py::ssize_t>(held->size()), held->data(), owner);
}

[[noreturn]] void RaiseKeyboardInterrupt() {
  PyErr_SetNone(PyExc_KeyboardInterrupt);
  throw py::error_already_set();
}

// A column tuple (kind, values, extra): ("integer", int64, mask or None),
// ("real" | "date" | "time" | "timestamp", float64, None) or ("text",
// int64 codes, list of texts). The arrays it reads are added to `keep`.
ColumnData ReadColumn(const py::tuple& column, std::vector<py::object>* keep) {
  const std::string kind = column[0].cast<std::string>();
  ColumnData data;
  if (kind == "integer") {
    IntArray values = column[1].cast<IntArray>();
    data.kind = ColumnData::Kind::kInteger;
    data.rows = static_cast<std::size_t>(values.size());
    data.integers = values.data();
    keep->push_back(values);
    if (!column[2].is_none()) {
      MaskArray mask = column[2].cast<MaskArray>();
      if (mask.size() != values.size()) throw py::value_error("a mask of another length");
      data.missing = reinterpret_cast<const uint8_t*>(mask.data());
      keep->push_back(mask);
    }
  } else if (kind == "text") {
    IntArray codes = column[1].cast<IntArray>();
    data.kind = ColumnData::Kind::kText;
    data.rows = static_cast<std::size_t>(codes.size());
    data.codes = codes.data();
    data.texts = column[2].cast<std::vector<std::string>>();
    keep->push_back(codes);
  } else {
    RealArray values = column[1].cast<RealArray>();
    data.kind = kind == "date"        ? ColumnData::Kind::kDate
                : kind == "time"      ? ColumnData::Kind::kTime
                : kind == "timestamp" ? ColumnData::Kind::kTimestamp
                : kind == "real"      ? ColumnData::Kind::kReal
                                      : throw py::value_error("unknown column kind " + kind);
    data.rows = static_cast<std::size_t>(values.size());
    data.reals = values.data();
    keep->push_back(values);
  }
  return data;
}

}  // namespace

py::dict OutcomeDict(const BuildOutcome& outcome, PythonHost& host) {
  host.RaiseIfInterrupted();
  if (outcome.kind == BuildOutcome::Kind::kInterrupted) {
    RaiseKeyboardInterrupt();
  }
  py::dict out;
  out["warnings"] = outcome.warnings;
  if (outcome.kind != BuildOutcome::Kind::kDone) {
    out["error"] = outcome.kind == BuildOutcome::Kind::kInputError ? "input" : "component";
    out["code"] = outcome.code;
    out["message"] = outcome.message;
    out["note"] = outcome.note;
    return out;
  }
  out["document"] = outcome.document;
  out["records"] = outcome.records;
  out["fields_read"] = outcome.fieldsRead;
  out["fields_handed"] = outcome.fieldsHanded;
  return out;
}

namespace {

py::dict Outcome(const BuildOutcome& outcome, PythonHost& host) { return OutcomeDict(outcome, host); }


BuildRequest Request(const std::string& settingsText, const std::string& settingsName,
                     const std::vector<std::string>& assignments, const std::string& schemaText,
                     const std::string& target, const std::string& frequencyWeight,
                     int threads) {
  return BuildRequest{settingsText, settingsName, assignments, schemaText, target,
                      frequencyWeight, threads, std::nullopt};
}

// A replica of a build over a frame's columns (Lockstep.h).
std::unique_ptr<Replica> MakeReplica(const std::vector<std::string>& names, py::list columns,
                                     const std::string& settingsText,
                                     const std::string& settingsName,
                                     const std::vector<std::string>& assignments,
                                     const std::string& schemaText, const std::string& target,
                                     const std::string& frequencyWeight, int64_t clock) {
  std::vector<py::object> keep;
  std::vector<ColumnData> data;
  for (const py::handle column : columns) {
    data.push_back(ReadColumn(column.cast<py::tuple>(), &keep));
  }
  if (names.size() != data.size()) throw py::value_error("a name for every column");
  BuildRequest request = Request(settingsText, settingsName, assignments, schemaText, target,
                                 frequencyWeight, 1);
  request.clock = clock;
  py::gil_scoped_release unlocked;
  return std::make_unique<Replica>(request, names, data);
}

// Empties `columns`, whose arrays are let go once the store holds the data.
py::dict PrepareFrame(const std::vector<std::string>& names, py::list columns,
                      const std::string& settingsText, const std::string& settingsName,
                      const std::vector<std::string>& assignments, const std::string& schemaText,
                      const std::string& target, const std::string& frequencyWeight,
                      int threads, py::object progress) {
  std::vector<py::object> keep;
  std::vector<ColumnData> data;
  for (const py::handle column : columns) {
    data.push_back(ReadColumn(column.cast<py::tuple>(), &keep));
  }
  for (const ColumnData& column : data) {
    if (column.rows != data.front().rows) throw py::value_error("columns of different lengths");
  }
  if (names.size() != data.size()) throw py::value_error("a name for every column");
  const BuildRequest request = Request(settingsText, settingsName, assignments, schemaText,
                                       target, frequencyWeight, threads);
  PythonHost host(std::move(progress));
  zelio::ColumnStore store;
  bool filled;
  {
    py::gil_scoped_release unlocked;
    filled = FillStore(names, data, host, &store);
  }
  // The store holds the data now: the arrays made for it can go.
  data.clear();
  keep.clear();
  columns.attr("clear")();
  BuildOutcome outcome;
  if (filled) {
    py::gil_scoped_release unlocked;
    outcome = BuildFromStore(request, store, host);
  } else {
    outcome.kind = BuildOutcome::Kind::kInterrupted;
  }
  return Outcome(outcome, host);
}

py::dict PrepareCsv(const std::string& path, const std::string& delimiter, bool stream,
                    uint64_t memoryLimit, int threads, const std::string& settingsText,
                    const std::string& settingsName, const std::vector<std::string>& assignments,
                    const std::string& schemaText, const std::string& target,
                    const std::string& frequencyWeight, py::object progress) {
  if (delimiter.size() != 1) throw py::value_error("the delimiter is one character");
  const BuildRequest request = Request(settingsText, settingsName, assignments, schemaText,
                                       target, frequencyWeight, threads);
  const CsvRequest csv{path, delimiter[0], stream, memoryLimit, threads != 1};
  PythonHost host(std::move(progress));
  BuildOutcome outcome;
  {
    py::gil_scoped_release unlocked;
    outcome = BuildFromCsv(request, csv, host);
  }
  return Outcome(outcome, host);
}

const char* TypeName(zelapply::ValueType type) {
  switch (type) {
    case zelapply::ValueType::kInteger: return "integer";
    case zelapply::ValueType::kReal: return "real";
    case zelapply::ValueType::kString: return "text";
    case zelapply::ValueType::kDate: return "date";
    case zelapply::ValueType::kTime: return "time";
    case zelapply::ValueType::kTimestamp: return "timestamp";
    case zelapply::ValueType::kUndefined: break;
  }
  return "undefined";
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
    out.append(py::make_tuple(field.name, TypeName(field.type), field.optional,
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
      out.append(py::make_tuple(column.name, TypeName(column.type),
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
std::string RenderReport(const std::string& document, const std::string& dataSet,
                         int64_t records, int64_t fieldsRead, int64_t fieldsHanded) {
  const zelreport::ReportContext context{dataSet, std::string(), records, fieldsRead,
                                         fieldsHanded};
  std::string html;
  zelapply::Status status;
  {
    py::gil_scoped_release unlocked;
    status = zelreport::RenderReport(document, context, &html);
  }
  if (!status.ok()) throw py::value_error(status.message());
  return html;
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
  module.def("render_report", &RenderReport);
  module.def("setting_keys", &SettingKeys);
  module.def("keys_without_effect", [] { return ZelFactory::GetKeysWithoutEffect(); });
  module.def("inapplicable_step", [](int code) -> py::object {
    const char* step = ZelFactory::DescribeInapplicableStep(code);
    return step ? py::object(py::str(step)) : py::object(py::none());
  });
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
