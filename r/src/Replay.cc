// A preparation document replayed on an R data frame: compiled once per
// preparation (kept behind an external pointer, compiled again after the
// preparation was saved and read back), each input column read as the
// document's input of its type, and the prepared fields handed back with
// categorical and ordinal ones as factors whose levels are the document's
// categories in the document's order (values the document does not list,
// a text a passed-through category never seen in training, come after them).
#include "host/Replay.h"

#include <Rcpp.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <unordered_map>

#include "RColumns.h"
#include "RHost.h"
#include "RText.h"
#include "apply/DocumentFacts.h"
#include "host/FieldsTable.h"

namespace zelr {

zelapply::DocumentFacts Facts(const std::string& document);

namespace {

struct Compiled {
  zelhost::Replay replay;
  zelapply::DocumentFacts facts;
};

using CompiledPtr = Rcpp::XPtr<Compiled>;

Compiled& Get(SEXP pointer) {
  CompiledPtr compiled(pointer);
  if (compiled.get() == nullptr) Rcpp::stop("the compiled document is gone; compile it again");
  return *compiled;
}

std::string NumberText(double value) {
  char buffer[64];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, written.ptr);
}

// A categorical output as a factor: codes 1..k into its levels.
Rcpp::List Factor(const zelhost::ReplayColumn& column, std::vector<std::string> levels,
                  bool ordered) {
  const bool texts = column.type == zelapply::ValueType::kString;
  const std::size_t rows = texts ? column.codes.size() : column.numbers.size();
  Rcpp::IntegerVector codes(rows, NA_INTEGER);
  std::unordered_map<std::string, int> byText;
  std::unordered_map<double, int> byNumber;
  for (std::size_t i = 0; i < levels.size(); ++i) {
    const int code = static_cast<int>(i) + 1;
    byText.emplace(levels[i], code);
    char* end = nullptr;
    const double number = std::strtod(levels[i].c_str(), &end);
    if (!texts && end != levels[i].c_str() && *end == '\0') byNumber.emplace(number, code);
  }
  std::vector<int> codeOfText(column.texts.size(), 0);
  for (std::size_t r = 0; r < rows; ++r) {
    int code = 0;
    if (texts) {
      const int64_t at = column.codes[r];
      if (at < 0) continue;
      int& known = codeOfText[static_cast<std::size_t>(at)];
      if (known == 0) {
        const std::string& text = column.texts[static_cast<std::size_t>(at)];
        const auto found = byText.emplace(text, static_cast<int>(levels.size()) + 1);
        if (found.second) levels.push_back(text);
        known = found.first->second;
      }
      code = known;
    } else {
      const double value = column.numbers[r];
      if (std::isnan(value)) continue;
      const auto found = byNumber.emplace(value, static_cast<int>(levels.size()) + 1);
      if (found.second) levels.push_back(NumberText(value));
      code = found.first->second;
    }
    codes[r] = code;
  }
  return Rcpp::List::create(Rcpp::Named("codes") = codes, Rcpp::Named("levels") = Utf8(levels),
                            Rcpp::Named("ordered") = ordered);
}

Rcpp::List Output(const Compiled& compiled, zelhost::ReplayColumn& column) {
  const zelapply::FieldFact* field = compiled.facts.Field(column.name);
  const std::string optype = field != nullptr ? field->optype : std::string();
  Rcpp::List out = Rcpp::List::create(Rcpp::Named("name") = Utf8(column.name),
                                      Rcpp::Named("type") = zelhost::ValueTypeName(column.type));
  if (optype == "categorical" || optype == "ordinal") {
    out["factor"] =
        Factor(column, zelhost::FieldCategories(compiled.facts, *field), optype == "ordinal");
  } else if (column.type == zelapply::ValueType::kString) {
    Rcpp::CharacterVector values(column.codes.size(), NA_STRING);
    for (std::size_t r = 0; r < column.codes.size(); ++r) {
      const int64_t at = column.codes[r];
      if (at >= 0) values[r] = Utf8Char(column.texts[static_cast<std::size_t>(at)]);
    }
    out["values"] = values;
  } else {
    out["values"] = Rcpp::NumericVector(column.numbers.begin(), column.numbers.end());
  }
  return out;
}

}  // namespace

}  // namespace zelr

// A compiled document, or the message of why it cannot be replayed.
// [[Rcpp::export(.compile_document)]]
SEXP CompileDocument(std::string document) {
  using namespace zelr;
  std::unique_ptr<Compiled> compiled = std::make_unique<Compiled>();
  zelstatus::Status status;
  {
    RHost host(false);
    status = compiled->replay.Compile(document, [&host] { return host.Poll(); });
    if (status.interrupted() || host.stopped()) throw Rcpp::internal::InterruptedException();
  }
  if (!status.ok()) return Utf8(status.message());
  compiled->facts = Facts(document);
  return CompiledPtr(compiled.release(), true);
}

// [[Rcpp::export(.is_compiled)]]
bool IsCompiled(SEXP pointer) {
  return TYPEOF(pointer) == EXTPTRSXP && R_ExternalPtrAddr(pointer) != nullptr;
}

// The document's inputs: name, type, whether the target or a weight (which
// data to predict on may lack), and whether the replay needs their values.
// [[Rcpp::export(.replay_inputs)]]
Rcpp::List ReplayInputs(SEXP pointer) {
  using namespace zelr;
  const zelapply::Program& program = Get(pointer).replay.program();
  std::vector<std::string> name, type;
  std::vector<bool> optional, needed;
  for (std::size_t i = 0; i < program.inputCount(); ++i) {
    const zelapply::FieldInfo& field = program.fields()[i];
    name.push_back(field.name);
    type.push_back(zelhost::ValueTypeName(field.type));
    optional.push_back(field.optional);
    needed.push_back(program.IsRead(i) || field.enabled);
  }
  return Rcpp::List::create(Rcpp::Named("name") = Utf8(name), Rcpp::Named("type") = Utf8(type),
                            Rcpp::Named("optional") = optional, Rcpp::Named("needed") = needed);
}

// The inputs a host made from a column of timestamps: each one's name and
// that column's; read from the column, a date field takes its days and a
// time field its times of day.
// [[Rcpp::export(.replay_parts)]]
Rcpp::List ReplayParts(SEXP pointer) {
  using namespace zelr;
  std::vector<std::string> field, column;
  for (const zelapply::TimestampPart& part : Get(pointer).replay.parts()) {
    field.push_back(part.field);
    column.push_back(part.column);
  }
  return Rcpp::List::create(Rcpp::Named("field") = Utf8(field),
                            Rcpp::Named("column") = Utf8(column));
}

// Replays the columns given for the inputs at `fields` (0-based) on `rows`
// rows: the prepared fields and the lines of warnings for values that do
// not read as their field's type.
// [[Rcpp::export(.replay)]]
Rcpp::List Replay(SEXP pointer, std::vector<int> fields, Rcpp::List columns, double rows,
                  bool allFields, bool progress) {
  using namespace zelr;
  const Compiled& compiled = Get(pointer);
  const zelapply::Program& program = compiled.replay.program();
  std::vector<zelhost::ReplayColumn> outputs;
  std::vector<std::string> warnings;
  bool done;
  {
    RFrame frame;
    std::vector<zelhost::ReplayInput> inputs;
    for (std::size_t k = 0; k < fields.size(); ++k) {
      const auto field = static_cast<std::size_t>(fields[k]);
      if (field >= program.inputCount()) Rcpp::stop("no such input");
      const zelapply::FieldInfo& info = program.fields()[field];
      try {
        inputs.push_back(zelhost::ReplayInput{
            field,
            ReadReplayColumn(columns[k], info.name, zelhost::ValueTypeName(info.type), &frame)});
      } catch (const InputError& error) {
        return Rcpp::List::create(Rcpp::Named("error") = Utf8(error.what()));
      }
    }
    RHost host(progress);
    if (progress) host.StartPhase("replaying");
    // Categories training never saw go on as they are, as `zelcraft apply`
    // takes them.
    std::vector<zelhost::UnseenValues> unseen;
    done = compiled.replay.Run(inputs, static_cast<std::size_t>(rows), allFields, false, host,
                               &outputs, &warnings, &unseen);
  }
  if (!done) throw Rcpp::internal::InterruptedException();
  Rcpp::List out(outputs.size());
  for (std::size_t k = 0; k < outputs.size(); ++k) out[k] = Output(compiled, outputs[k]);
  return Rcpp::List::create(Rcpp::Named("outputs") = out, Rcpp::Named("warnings") = Utf8(warnings));
}

// [[Rcpp::export(.has_inverse)]]
bool HasInverse(SEXP pointer) {
  return zelr::Get(pointer).replay.inverse() != nullptr;
}

// [[Rcpp::export(.invert)]]
Rcpp::NumericVector Invert(SEXP pointer, Rcpp::NumericVector predictions, bool progress) {
  using namespace zelr;
  const Compiled& compiled = Get(pointer);
  std::vector<double> values;
  bool done;
  {
    RHost host(progress);
    done = compiled.replay.Invert(predictions.begin(), static_cast<std::size_t>(predictions.size()),
                                  host, &values);
  }
  if (!done) throw Rcpp::internal::InterruptedException();
  return Rcpp::NumericVector(values.begin(), values.end());
}
