#include "RColumns.h"

#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "io/CsvRowParser.h"

namespace zelr {

namespace {

using zelhost::ColumnData;
using zelhost::OwnedColumn;
using Json = nlohmann::ordered_json;

std::string FieldNote(const std::string& name) {
  return " (field '" + name + "')";
}

std::string Text(const Json& spec, const char* key) {
  const auto found = spec.find(key);
  return found != spec.end() && found->is_string() ? found->get<std::string>() : std::string();
}

std::vector<std::string> Texts(const Json& spec, const char* key) {
  std::vector<std::string> out;
  const auto found = spec.find(key);
  if (found == spec.end() || !found->is_array()) return out;
  for (const Json& item : *found) {
    if (item.is_string()) {
      out.push_back(item.get<std::string>());
    } else if (!item.is_null()) {
      out.push_back(item.dump());
    }
  }
  return out;
}

ColumnData& Keep(OwnedColumn column, RFrame* frame) {
  frame->owned.push_back(std::move(column));
  return frame->owned.back().data;
}

// An integer vector as whole numbers (or, with `codes`, as 0-based codes),
// NA missing.
ColumnData Wide(SEXP values, bool codes, RFrame* frame) {
  const R_xlen_t n = Rf_xlength(values);
  const int* in = INTEGER(values);
  OwnedColumn column;
  column.integers.resize(static_cast<std::size_t>(n));
  if (codes) {
    for (R_xlen_t r = 0; r < n; ++r) column.integers[r] = in[r] == NA_INTEGER ? -1 : in[r] - 1;
    column.data.kind = ColumnData::Kind::kText;
    column.data.codes = column.integers.data();
  } else {
    column.missing.resize(static_cast<std::size_t>(n));
    for (R_xlen_t r = 0; r < n; ++r) {
      const bool missing = in[r] == NA_INTEGER;
      column.integers[r] = missing ? 0 : in[r];
      column.missing[r] = missing ? 1 : 0;
    }
    column.data.kind = ColumnData::Kind::kInteger;
    column.data.integers = column.integers.data();
    column.data.missing = column.missing.data();
  }
  column.data.rows = static_cast<std::size_t>(n);
  return Keep(std::move(column), frame);
}

std::vector<std::string> Levels(SEXP levels) {
  std::vector<std::string> out;
  if (Rf_isNull(levels)) return out;
  const R_xlen_t n = Rf_xlength(levels);
  out.reserve(static_cast<std::size_t>(n));
  for (R_xlen_t i = 0; i < n; ++i) out.emplace_back(Rf_translateCharUTF8(STRING_ELT(levels, i)));
  return out;
}

ColumnData TextColumn(const Rcpp::List& column, RFrame* frame) {
  ColumnData data = Wide(column["values"], true, frame);
  data.texts = Levels(column["levels"]);
  return data;
}

ColumnData Reals(SEXP values, ColumnData::Kind kind, const std::string& name) {
  ColumnData data;
  data.kind = kind;
  data.rows = static_cast<std::size_t>(Rf_xlength(values));
  data.reals = REAL(values);
  for (std::size_t r = 0; r < data.rows; ++r) {
    if (std::isinf(data.reals[r]))
      throw InputError("field '" + name + "' holds an infinite number");
  }
  return data;
}

// Numbers as the texts R writes them: whole numbers in full, others to 15
// significant digits; each distinct value once.
ColumnData NumbersAsTexts(const ColumnData& numbers, RFrame* frame) {
  OwnedColumn column;
  column.integers.assign(numbers.rows, -1);
  std::unordered_map<std::string, int64_t> codes;
  ColumnData out;
  for (std::size_t r = 0; r < numbers.rows; ++r) {
    std::string text;
    if (numbers.kind == ColumnData::Kind::kInteger) {
      if (numbers.missing[r] != 0) continue;
      text = std::to_string(numbers.integers[r]);
    } else {
      if (std::isnan(numbers.reals[r])) continue;
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%.15g", numbers.reals[r]);
      text = buffer;
    }
    const auto found = codes.emplace(text, static_cast<int64_t>(out.texts.size()));
    if (found.second) out.texts.push_back(text);
    column.integers[r] = found.first->second;
  }
  out.kind = ColumnData::Kind::kText;
  out.rows = numbers.rows;
  out.codes = column.integers.data();
  frame->owned.push_back(std::move(column));
  return out;
}

ColumnData WholeReals(const ColumnData& reals, const std::string& name, RFrame* frame) {
  OwnedColumn column;
  column.integers.assign(reals.rows, 0);
  column.missing.assign(reals.rows, 1);
  for (std::size_t r = 0; r < reals.rows; ++r) {
    const double value = reals.reals[r];
    if (std::isnan(value)) continue;
    if (value != std::trunc(value) || std::fabs(value) >= 9.2e18) {
      throw InputError("field '" + name + "' holds numbers that are not whole");
    }
    column.integers[r] = static_cast<int64_t>(value);
    column.missing[r] = 0;
  }
  column.data.kind = ColumnData::Kind::kInteger;
  column.data.rows = reals.rows;
  column.data.integers = column.integers.data();
  column.data.missing = column.missing.data();
  return Keep(std::move(column), frame);
}

ColumnData IntegersAsReals(const ColumnData& whole, RFrame* frame) {
  OwnedColumn column;
  column.reals.resize(whole.rows);
  for (std::size_t r = 0; r < whole.rows; ++r) {
    column.reals[r] = whole.missing[r] != 0 ? std::nan("") : static_cast<double>(whole.integers[r]);
  }
  column.data.kind = ColumnData::Kind::kReal;
  column.data.rows = whole.rows;
  column.data.reals = column.reals.data();
  return Keep(std::move(column), frame);
}

// Seconds since 1970 read as `storage` (see zelhost::DateTimeColumn).
ColumnData DateTimes(const double* seconds, std::size_t rows, const std::string& storage,
                     const std::string& name, RFrame* frame) {
  OwnedColumn column;
  if (!zelhost::DateTimeColumn(seconds, rows, storage, &column)) {
    throw InputError("field '" + name + "': a column of dates and times cannot be read as " +
                     storage);
  }
  return Keep(std::move(column), frame);
}

ColumnData DaysAsDateTimes(SEXP days, const std::string& storage, const std::string& name,
                           RFrame* frame) {
  const R_xlen_t n = Rf_xlength(days);
  std::vector<double> seconds(static_cast<std::size_t>(n));
  for (R_xlen_t r = 0; r < n; ++r) seconds[r] = REAL(days)[r] * 86400.0;
  return DateTimes(seconds.data(), seconds.size(), storage, name, frame);
}

ColumnData Ordinal(const ColumnData& texts, const std::vector<std::string>& categories,
                   const Json& spec, const std::string& name, RFrame* frame) {
  OwnedColumn column;
  const zelstatus::Status coded =
      zelhost::OrdinalColumn(texts, categories, Texts(spec, "missingStrings"), &column);
  if (!coded.ok()) throw InputError(coded.message() + FieldNote(name));
  return Keep(std::move(column), frame);
}

ColumnData BuildColumn(const Rcpp::List& column, const std::string& name, Json* spec,
                       RFrame* frame) {
  const std::string kind = Rcpp::as<std::string>(column["kind"]);
  const std::string storage = Text(*spec, "storage");
  const std::vector<std::string> categories = Texts(*spec, "categories");
  const bool ordinal = Text(*spec, "level") == "ordinal" && !categories.empty();
  if (kind == "text" || (kind == "ordinal" && (ordinal || storage == "string"))) {
    const ColumnData texts = TextColumn(column, frame);
    if (ordinal) return Ordinal(texts, categories, *spec, name, frame);
    if (!zelhost::ReadsTextAs(storage)) return texts;
    OwnedColumn parsed;
    const zelstatus::Status read = zelhost::TextColumnAs(texts, storage, &parsed);
    if (!read.ok()) throw InputError(read.message() + FieldNote(name));
    return Keep(std::move(parsed), frame);
  }
  if (kind == "ordinal") {
    if (!spec->contains("level")) (*spec)["level"] = "ordinal";
    (*spec)["categories"] = Levels(column["levels"]);
    return Wide(column["values"], false, frame);
  }
  if (kind == "integer") {
    const ColumnData whole = Wide(column["values"], false, frame);
    if (storage == "string") return NumbersAsTexts(whole, frame);
    if (storage == "real") return IntegersAsReals(whole, frame);
    return whole;
  }
  if (kind == "real") {
    const ColumnData reals = Reals(column["values"], ColumnData::Kind::kReal, name);
    if (storage == "string") return NumbersAsTexts(reals, frame);
    if (storage == "integer") return WholeReals(reals, name, frame);
    return reals;
  }
  if (kind == "date") {
    if (storage.empty() || storage == "date") {
      return Reals(column["values"], ColumnData::Kind::kDate, name);
    }
    return DaysAsDateTimes(column["values"], storage, name, frame);
  }
  if (kind == "datetime") {
    const ColumnData seconds = Reals(column["values"], ColumnData::Kind::kReal, name);
    return DateTimes(seconds.reals, seconds.rows, storage, name, frame);
  }
  if (kind == "time") return Reals(column["values"], ColumnData::Kind::kTime, name);
  throw std::invalid_argument("unknown column kind " + kind);
}

void CheckTexts(const ColumnData& data, const std::string& name) {
  std::string what;
  for (std::size_t i = 0; i < data.texts.size(); ++i) {
    if (zelio::FindUnwritable(data.texts[i], &what) == std::string::npos) continue;
    for (std::size_t r = 0; r < data.rows; ++r) {
      if (data.codes[r] == static_cast<int64_t>(i)) {
        throw InputError("row " + std::to_string(r + 1) + ": " + what + FieldNote(name));
      }
    }
  }
}

}  // namespace

void ReadBuildColumns(const Rcpp::List& columns, const std::vector<std::string>& names,
                      Json* fields, RFrame* frame) {
  frame->names = names;
  for (R_xlen_t i = 0; i < columns.size(); ++i) {
    const std::string& name = names[static_cast<std::size_t>(i)];
    Json empty = Json::object();
    const bool known = fields->contains(name);
    Json& spec = known ? (*fields)[name] : empty;
    frame->columns.push_back(BuildColumn(columns[i], name, &spec, frame));
    if (!known && !empty.empty()) (*fields)[name] = empty;
  }
}

ColumnData ReadReplayColumn(const Rcpp::List& column, const std::string& name,
                            const std::string& type, RFrame* frame) {
  const std::string kind = Rcpp::as<std::string>(column["kind"]);
  const bool timeType = type == "date" || type == "time" || type == "timestamp";
  ColumnData data;
  if (kind == "text" || kind == "ordinal") {
    data = TextColumn(column, frame);
  } else if (kind == "integer") {
    data = Wide(column["values"], false, frame);
  } else if (kind == "real") {
    data = Reals(column["values"], ColumnData::Kind::kReal, name);
  } else if (kind == "date") {
    if (type == "date") return Reals(column["values"], ColumnData::Kind::kDate, name);
    return DaysAsDateTimes(column["values"], timeType ? type : "timestamp", name, frame);
  } else if (kind == "datetime") {
    const ColumnData seconds = Reals(column["values"], ColumnData::Kind::kReal, name);
    return DateTimes(seconds.reals, seconds.rows, timeType ? type : "timestamp", name, frame);
  } else if (kind == "time") {
    data = Reals(column["values"],
                 type == "time" ? ColumnData::Kind::kTime : ColumnData::Kind::kReal, name);
  } else {
    throw std::invalid_argument("unknown column kind " + kind);
  }
  // Numbers where the document reads texts are read as their texts, as a
  // file's cells would be.
  if (type == "text" && data.kind != ColumnData::Kind::kText) data = NumbersAsTexts(data, frame);
  if (data.kind == ColumnData::Kind::kText) CheckTexts(data, name);
  return data;
}

}  // namespace zelr
