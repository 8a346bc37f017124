// The package's way into a preparation run: a data frame's columns or a CSV
// file, the settings, schema and roles, and the outcome as a list the R
// side publishes (warnings, errors as classed conditions). An interrupted
// run raises R's interrupt once everything it made is gone.
#include <Rcpp.h>

#include <nlohmann/json.hpp>

#include "RColumns.h"
#include "RHost.h"
#include "RJson.h"
#include "RText.h"
#include "host/Build.h"
#include "io/FileText.h"
#include "preparation/RunMessages.h"

namespace zelr {

namespace {

using Json = nlohmann::ordered_json;

// The schema's object of field entries: from a list, or from JSON text
// (a file's, named `name` in messages); `{"fields": {...}}` or the entries
// alone.
Json SchemaFields(SEXP schema, const std::string& name) {
  Json json;
  if (Rf_isNull(schema)) return Json::object();
  if (TYPEOF(schema) == STRSXP) {
    const zelstatus::Status parsed =
        zelio::ParseJsonText(Rcpp::as<std::string>(schema), name, &json);
    if (!parsed.ok()) throw InputError(parsed.message());
  } else {
    json = JsonOf(schema);
  }
  if (json.is_array() && json.empty()) return Json::object();
  if (!json.is_object()) throw InputError(name + ": the schema is an object of fields");
  if (json.size() == 1 && json.contains("fields") && json["fields"].is_object()) {
    return json["fields"];
  }
  return json;
}

zelprep::RunRequest Request(const Rcpp::List& args, const std::string& schemaText) {
  zelprep::RunRequest request;
  request.settingsText = Rcpp::as<std::string>(args["settings_text"]);
  request.settingsName = Rcpp::as<std::string>(args["settings_name"]);
  request.assignments = Rcpp::as<std::vector<std::string>>(args["assignments"]);
  request.schemaText = schemaText;
  request.target = Rcpp::as<std::string>(args["target"]);
  request.frequencyWeight = Rcpp::as<std::string>(args["frequency_weight"]);
  request.threads = Rcpp::as<int>(args["threads"]);
  request.memoryLimit = static_cast<uint64_t>(Rcpp::as<double>(args["memory_limit"]));
  request.memoryLimitName = "memory_limit";
  return request;
}

Rcpp::List ErrorOutcome(const std::string& kind, int code, const std::string& message,
                        const std::string& note) {
  return Rcpp::List::create(Rcpp::Named("error") = kind, Rcpp::Named("code") = code,
                            Rcpp::Named("message") = Utf8(message),
                            Rcpp::Named("note") = Utf8(note));
}

// The outcome of a run. Raises the interrupt of an interrupted one.
Rcpp::List Outcome(const zelprep::RunResult& result, bool interrupted) {
  if (interrupted || result.status.interrupted()) throw Rcpp::internal::InterruptedException();
  if (result.status.inputError()) return ErrorOutcome("input", 0, result.status.message(), "");
  if (result.status.kind() == zelstatus::Kind::kComponent) {
    const int code = result.component.GetCode();
    const std::string note = result.targetNote.empty() ? result.refusedDetail : result.targetNote;
    Rcpp::List out = ErrorOutcome("component", code, zelprep::StatusMessage(code), note);
    out["lines"] = Utf8(result.WarningLines());
    return out;
  }
  std::vector<int> codes;
  std::vector<std::string> messages;
  for (const std::string& note : result.notes) {
    codes.push_back(NA_INTEGER);
    messages.push_back(note);
  }
  for (const TorCommon_1_3::TorStatus& warning : result.warnings) {
    codes.push_back(warning.GetCode());
    messages.push_back(zelprep::StatusMessage(warning.GetCode()));
  }
  return Rcpp::List::create(
      Rcpp::Named("document") = Utf8(result.document), Rcpp::Named("codes") = codes,
      Rcpp::Named("messages") = Utf8(messages), Rcpp::Named("lines") = Utf8(result.WarningLines()),
      Rcpp::Named("records") = static_cast<double>(result.records),
      Rcpp::Named("fields_read") = static_cast<double>(result.fieldsRead),
      Rcpp::Named("fields_handed") = static_cast<double>(result.fieldsHanded));
}

}  // namespace

}  // namespace zelr

// [[Rcpp::export(.prepare_frame)]]
Rcpp::List PrepareFrame(Rcpp::List columns, std::vector<std::string> names, SEXP schema,
                        std::string schemaName, Rcpp::List args, bool progress) {
  using namespace zelr;
  zelprep::RunResult result;
  bool interrupted = false;
  {
    RHost host(progress);
    zelio::ColumnStore store;
    zelprep::RunRequest request;
    try {
      RFrame frame;
      Json fields = SchemaFields(schema, schemaName);
      ReadBuildColumns(columns, names, &fields, &frame);
      request = Request(args, fields.empty() ? std::string() : Json{{"fields", fields}}.dump());
      interrupted = !zelhost::FillStore(frame.names, frame.columns, host, &store);
    } catch (const InputError& error) {
      return ErrorOutcome("input", 0, error.what(), "");
    }
    if (!interrupted) result = zelhost::BuildFromStore(request, std::move(store), host);
    interrupted = interrupted || host.stopped();
  }
  return Outcome(result, interrupted);
}

// [[Rcpp::export(.prepare_csv)]]
Rcpp::List PrepareCsv(std::string path, std::string delimiter, bool stream, SEXP schema,
                      std::string schemaName, Rcpp::List args, bool progress) {
  using namespace zelr;
  if (delimiter.size() != 1) Rcpp::stop("delimiter: one character");
  zelprep::RunResult result;
  bool interrupted = false;
  {
    RHost host(progress);
    zelprep::RunRequest request;
    try {
      const Json fields = SchemaFields(schema, schemaName);
      request = Request(args, fields.empty() ? std::string() : Json{{"fields", fields}}.dump());
    } catch (const InputError& error) {
      return ErrorOutcome("input", 0, error.what(), "");
    }
    result = zelhost::BuildFromCsv(request, zelhost::CsvRequest{{path}, delimiter[0], stream}, host);
    interrupted = host.stopped();
  }
  return Outcome(result, interrupted);
}
