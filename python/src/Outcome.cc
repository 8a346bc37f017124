#include "Outcome.h"

#include <pybind11/stl.h>

#include "preparation/RunMessages.h"

namespace zelpy {

namespace py = pybind11;

[[noreturn]] void RaiseKeyboardInterrupt() {
  PyErr_SetNone(PyExc_KeyboardInterrupt);
  throw py::error_already_set();
}

py::dict ErrorOutcome(bool input, int code, const std::string& message, const std::string& note) {
  py::dict out;
  out["warnings"] = py::list();
  out["lines"] = py::list();
  out["facts"] = py::list();
  out["error"] = input ? "input" : "component";
  out["code"] = code;
  out["message"] = message;
  out["note"] = note;
  return out;
}

py::dict OutcomeDict(const zelprep::RunResult& result, PythonHost& host) {
  host.RaiseIfInterrupted();
  if (result.status.interrupted()) RaiseKeyboardInterrupt();
  py::dict out;
  // An input error comes alone, as the command line gives it.
  const bool warned = !result.status.inputError();
  py::list warnings;
  for (const std::string& note : result.notes) {
    if (warned) warnings.append(py::make_tuple(0, note));
  }
  for (const TorCommon_1_3::TorStatus& warning : result.warnings) {
    if (warned) {
      warnings.append(py::make_tuple(warning.GetCode(), zelprep::StatusMessage(warning.GetCode())));
    }
  }
  out["warnings"] = warnings;
  // Python warns only of what a user should act on; the steps that do not
  // apply to the data stay among the preparation's warnings.
  out["lines"] = warned ? zelprep::WarningLines(result.notes, result.warnings, false)
                        : std::vector<std::string>();
  out["facts"] = warned ? result.facts : std::vector<std::string>();
  if (result.status.inputError()) {
    out["error"] = "input";
    out["code"] = 0;
    out["message"] = result.status.message();
    out["note"] = std::string();
    return out;
  }
  if (result.status.kind() == zelstatus::Kind::kComponent) {
    out["error"] = "component";
    out["code"] = result.component.GetCode();
    out["message"] = zelprep::StatusMessage(result.component.GetCode());
    out["note"] = result.targetNote.empty() ? result.refusedDetail : result.targetNote;
    return out;
  }
  out["document"] = result.document;
  out["records"] = result.records;
  out["fields_read"] = result.fieldsRead;
  out["fields_handed"] = result.fieldsHanded;
  return out;
}

py::object MomentsTuple(const zelprep::DataMoments& moments) {
  auto value = [](const std::optional<double>& v) {
    return v ? py::object(py::float_(*v)) : py::object(py::none());
  };
  return py::make_tuple(value(moments.day), value(moments.timeOfDay));
}

}  // namespace zelpy
