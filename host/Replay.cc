#include "host/Replay.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "apply/CrossFit.h"
#include "apply/Numbers.h"
#include "io/CellParser.h"
#include "replay/RowDecoder.h"

namespace zelhost {

namespace {

using zelapply::Value;
using zelapply::ValueType;

// Rows between two looks at the interrupt check.
constexpr std::size_t kCheckEvery = 4096;

bool IsWhole(double value) {
  return value == std::trunc(value) && std::fabs(value) < 9.2e18;
}

// A number as the shortest text that reads back to it.
std::string NumberText(const Value& value) {
  if (value.type == ValueType::kInteger) return std::to_string(value.integer);
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value.AsDouble()).ptr;
  return std::string(text, end);
}

// The categories a categorical field's data field lists, which are all the
// values training saw; empty for other fields.
class KnownCategories {
 public:
  explicit KnownCategories(const zelapply::FieldInfo& field) {
    checked_ = (field.optype == "categorical" || field.optype == "ordinal") && !field.values.empty();
    if (!checked_) return;
    for (const zelapply::FieldValue& listed : field.values) {
      if (field.type == ValueType::kString || field.type == ValueType::kUndefined) {
        texts_.insert(listed.value);
        continue;
      }
      Value value;
      if (zelapply::ConvertText(listed.value, field.type, &value) && !value.missing) {
        numbers_.push_back(value.AsDouble());
      }
    }
    std::sort(numbers_.begin(), numbers_.end());
  }

  // True for a value that is missing, or one of the categories.
  bool Knows(const Value& value) const {
    if (!checked_ || value.missing) return true;
    if (value.type == ValueType::kString) return texts_.count(value.text) != 0;
    // The document writes numbers to 15 digits: a category that needs more
    // is listed in that form.
    const double x = value.AsDouble();
    return std::binary_search(numbers_.begin(), numbers_.end(), x) ||
           std::binary_search(numbers_.begin(), numbers_.end(), zelapply::AsWritten(x));
  }

 private:
  bool checked_ = false;
  std::unordered_set<std::string> texts_;
  std::vector<double> numbers_;
};

// Reads one input column into its field's slot, row by row.
class InputReader {
 public:
  InputReader(const zelapply::Program& program, const ReplayInput& input, bool unseenAsMissing)
      : input_(input), type_(program.fields()[input.field].type),
        known_(program.fields()[input.field]), unseenAsMissing_(unseenAsMissing) {
    if (input.data.kind != ColumnData::Kind::kText) return;
    zelreplay::RowDecoder decoder;
    decoder.Bind(program, input.field, 0, input.part);
    zelapply::Frame scratch = program.NewFrame();
    std::vector<zelio::CsvCell> cells(1);
    for (const std::string& text : input.data.texts) {
      cells[0] = zelio::CsvCell{text, true};
      decoder.Decode(cells, 0, &scratch);
      texts_.push_back(scratch[input.field]);
      unreadable_.push_back(texts_.back().missing && !text.empty());
      unseen_.push_back(!known_.Knows(texts_.back()));
      if (unseen_.back() && unseenAsMissing_) texts_.back().SetMissing(type_);
    }
  }

  void Read(std::size_t row, Value* value) {
    const ColumnData& data = input_.data;
    switch (data.kind) {
      case ColumnData::Kind::kText: {
        const int64_t code = data.codes[row];
        if (code < 0 || code >= static_cast<int64_t>(texts_.size())) {
          value->SetMissing(type_);
          return;
        }
        const auto index = static_cast<std::size_t>(code);
        value->Assign(texts_[index]);
        if (unreadable_[index]) NoteUnreadable(data.texts[index]);
        if (unseen_[index]) NoteUnseen(row, data.texts[index]);
        return;
      }
      case ColumnData::Kind::kInteger:
        if (data.missing != nullptr && data.missing[row] != 0) {
          value->SetMissing(type_);
        } else {
          SetNumber(static_cast<double>(data.integers[row]), data.integers[row], value);
          CheckKnown(row, value);
        }
        return;
      default: {
        double number = data.reals[row];
        if (!std::isnan(number) && input_.part != zelio::CellReader::Part::kWhole) {
          double day;
          double seconds;
          zelio::SplitTimestamp(number, &day, &seconds);
          number = input_.part == zelio::CellReader::Part::kDate ? day : seconds;
        }
        if (std::isnan(number)) {
          value->SetMissing(type_);
        } else if (type_ == ValueType::kInteger && !IsWhole(number)) {
          value->SetMissing(type_);
          NoteUnreadable(std::to_string(number));
        } else {
          SetNumber(number, static_cast<int64_t>(number), value);
          CheckKnown(row, value);
        }
        return;
      }
    }
  }

  // The unseen values read, when there were any.
  bool Unseen(const std::string& name, UnseenValues* unseen) const {
    if (unseenCount_ == 0) return false;
    *unseen = UnseenValues{name, unseenCount_, firstUnseenRow_, firstUnseen_};
    return true;
  }

  // What the column's unreadable values became, for a warning; empty when
  // every value read.
  std::string Warning(const std::string& name) const {
    if (unreadableCount_ == 0) return std::string();
    return "column '" + name + "': " + zelio::QuoteCell(firstUnreadable_) + " is not " +
           zelio::StorageNoun(static_cast<int>(type_)) + "; " + std::to_string(unreadableCount_) +
           (unreadableCount_ == 1 ? " value" : " values") + " of this column read as missing";
  }

 private:
  void SetNumber(double number, int64_t whole, Value* value) const {
    switch (type_) {
      case ValueType::kInteger: value->SetInteger(whole); return;
      case ValueType::kString: value->SetText(std::to_string(whole)); return;
      case ValueType::kDate:
      case ValueType::kTime:
      case ValueType::kTimestamp: value->SetReal(number, type_); return;
      default: value->SetReal(number); return;
    }
  }
  void NoteUnreadable(const std::string& text) {
    if (unreadableCount_++ == 0) firstUnreadable_ = text;
  }
  void NoteUnseen(std::size_t row, const std::string& text) {
    if (unseenCount_++ > 0) return;
    firstUnseenRow_ = static_cast<int64_t>(row);
    firstUnseen_ = text;
  }
  void CheckKnown(std::size_t row, Value* value) {
    if (known_.Knows(*value)) return;
    NoteUnseen(row, NumberText(*value));
    if (unseenAsMissing_) value->SetMissing(type_);
  }

  const ReplayInput& input_;
  ValueType type_;
  KnownCategories known_;
  bool unseenAsMissing_;
  std::vector<Value> texts_;
  std::vector<bool> unreadable_;
  std::vector<bool> unseen_;
  int64_t unreadableCount_ = 0;
  std::string firstUnreadable_;
  int64_t unseenCount_ = 0;
  int64_t firstUnseenRow_ = 0;
  std::string firstUnseen_;
};

// Collects one output field's values.
class OutputWriter {
 public:
  OutputWriter(const zelapply::FieldInfo& field, std::size_t rows, ReplayColumn* column)
      : column_(column) {
    column_->name = field.name;
    column_->type = field.type;
    if (field.type == ValueType::kString) {
      column_->codes.reserve(rows);
    } else {
      column_->numbers.reserve(rows);
    }
  }

  void Write(const Value& value) {
    if (column_->type == ValueType::kString) {
      if (value.missing || value.type != ValueType::kString) {
        column_->codes.push_back(-1);
        return;
      }
      const auto found = codes_.find(value.text);
      if (found != codes_.end()) {
        column_->codes.push_back(found->second);
        return;
      }
      const auto code = static_cast<int64_t>(column_->texts.size());
      column_->texts.push_back(value.text);
      codes_.emplace(value.text, code);
      column_->codes.push_back(code);
      return;
    }
    const bool number = !value.missing && value.IsNumeric();
    column_->numbers.push_back(number ? value.AsDouble() : std::nan(""));
  }

 private:
  ReplayColumn* column_;
  std::unordered_map<std::string, int64_t> codes_;
};

}  // namespace

const char* ValueTypeName(ValueType type) {
  switch (type) {
    case ValueType::kInteger: return "integer";
    case ValueType::kReal: return "real";
    case ValueType::kString: return "text";
    case ValueType::kDate: return "date";
    case ValueType::kTime: return "time";
    case ValueType::kTimestamp: return "timestamp";
    case ValueType::kUndefined: break;
  }
  return "undefined";
}

zelstatus::Status Replay::Compile(const std::string& document, const zelapply::StopCheck& stop) {
  return zelapply::CompileDocument(document, &compiled_, stop);
}

bool Replay::Run(const std::vector<ReplayInput>& inputs, std::size_t rows, bool allDerived,
                 bool unseenAsMissing, HostCallbacks& host, std::vector<ReplayColumn>* outputs,
                 std::vector<std::string>* warnings, std::vector<UnseenValues>* unseen,
                 bool training) const {
  const zelapply::Program& program = *compiled_.program;
  zelapply::CrossFit fit(program);
  if (training && fit.Active()) {
    // Readers of their own (the rows' warnings and unseen values are those
    // of the pass below), of the inputs the sums need only.
    std::vector<InputReader> gatherers;
    std::vector<std::size_t> fields;
    for (const ReplayInput& input : inputs) {
      if (!fit.slice().inputs[input.field]) continue;
      gatherers.emplace_back(program, input, unseenAsMissing);
      fields.push_back(input.field);
    }
    zelapply::Frame frame = program.NewFrame();
    for (std::size_t row = 0; row < rows; ++row) {
      for (std::size_t k = 0; k < gatherers.size(); ++k) gatherers[k].Read(row, &frame[fields[k]]);
      program.Evaluate(fit.slice(), &frame);
      fit.Gather(frame, row);
      if ((row + 1) % kCheckEvery == 0 && host.Poll()) return false;
    }
    fit.Finish();
  }
  std::vector<InputReader> readers;
  readers.reserve(inputs.size());
  for (const ReplayInput& input : inputs) readers.emplace_back(program, input, unseenAsMissing);
  std::vector<std::size_t> shown;
  for (std::size_t i = 0; i < program.fields().size(); ++i) {
    const zelapply::FieldInfo& field = program.fields()[i];
    if (field.enabled || (allDerived && field.derived)) shown.push_back(i);
  }
  outputs->assign(shown.size(), ReplayColumn());
  std::vector<OutputWriter> writers;
  writers.reserve(shown.size());
  for (std::size_t k = 0; k < shown.size(); ++k) {
    writers.emplace_back(program.fields()[shown[k]], rows, &(*outputs)[k]);
  }
  zelapply::Frame frame = program.NewFrame();
  for (std::size_t row = 0; row < rows; ++row) {
    for (std::size_t k = 0; k < inputs.size(); ++k) {
      readers[k].Read(row, &frame[inputs[k].field]);
    }
    if (training && fit.Active()) frame.SetTrainingRow(&fit, row);
    program.Evaluate(&frame);
    for (std::size_t k = 0; k < shown.size(); ++k) writers[k].Write(frame[shown[k]]);
    if ((row + 1) % kCheckEvery == 0) {
      if (host.Poll()) return false;
      host.Records(static_cast<int64_t>(row + 1));
    }
  }
  for (std::size_t k = 0; k < inputs.size(); ++k) {
    const std::string& name = program.fields()[inputs[k].field].name;
    const std::string warning = readers[k].Warning(name);
    if (!warning.empty()) warnings->push_back(warning);
    UnseenValues values;
    if (readers[k].Unseen(name, &values)) unseen->push_back(values);
  }
  return !host.stopped();
}

bool Replay::Invert(const double* predictions, std::size_t rows, HostCallbacks& host,
                    std::vector<double>* values) const {
  const zelapply::Program& inverse = *compiled_.inverse;
  std::size_t target = inverse.inputCount();
  for (std::size_t i = 0; i < inverse.inputCount() && target == inverse.inputCount(); ++i) {
    if (inverse.IsRead(i)) target = i;
  }
  const std::size_t result = inverse.fields().size() - 1;
  ColumnData data;
  data.kind = ColumnData::Kind::kReal;
  data.rows = rows;
  data.reals = predictions;
  const ReplayInput input{target, std::move(data)};
  InputReader reader(inverse, input, false);
  zelapply::Frame frame = inverse.NewFrame();
  values->reserve(rows);
  for (std::size_t row = 0; row < rows; ++row) {
    if (target < inverse.inputCount()) reader.Read(row, &frame[target]);
    inverse.Evaluate(&frame);
    const Value& value = frame[result];
    values->push_back(!value.missing && value.IsNumeric() ? value.AsDouble() : std::nan(""));
    if ((row + 1) % kCheckEvery == 0 && host.Poll()) return false;
  }
  return true;
}

}  // namespace zelhost
