#include "preparation/ColumnChecks.h"

#include <cstdio>

#include "io/CsvRowParser.h"
#include "io/SourceLocation.h"
#include "io/WeightTally.h"
#include "torcommon13r/TorVariable.h"

namespace zelprep {

using zelstatus::Status;

namespace {

// A text for a message: in quotes, shortened when long, with what is not
// printable ASCII as \xNN, since it is what the message is about.
std::string Shown(const std::string& text) {
  constexpr std::size_t kShown = 40;
  std::string shown = "'";
  for (std::size_t i = 0; i < text.size() && i < kShown; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      shown += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
      shown += escaped;
    }
  }
  return shown + (text.size() > kShown ? "...'" : "'");
}

}  // namespace

Status CheckColumnTexts(const zelio::ColumnStore& store) {
  std::string what;
  for (std::size_t c = 0; c < store.names.size(); ++c) {
    if (zelio::FindUnwritable(store.names[c], &what) != std::string::npos) {
      return Status::InvalidInput("column " + std::to_string(c + 1) + ": the name " +
                                  Shown(store.names[c]) + " holds " + what);
    }
  }
  for (std::size_t c = 0; c < store.columns.size(); ++c) {
    const zelio::Column& column = store.columns[c];
    if (column.storage() != TorCommon_1_3::kStorageString) continue;
    for (std::size_t code = 0; code < column.DistinctTexts(); ++code) {
      if (zelio::FindUnwritable(column.TextOfCode(code), &what) == std::string::npos) continue;
      std::size_t row = 0;
      while (row < column.size() && (column.IsMissing(row) || column.TextCode(row) != code)) ++row;
      return Status::InvalidInput(
          zelio::SourceLocation::Row(static_cast<int64_t>(row) + 1).WithColumn(c + 1).Words() +
          ": " + what + " (field '" + store.names[c] + "')");
    }
  }
  return Status();
}

Status TallyColumnWeights(const zelio::ColumnStore& store,
                          const std::vector<zelio::FieldPlan>& plans,
                          const zelio::FieldRoles& roles, int64_t* dropped) {
  zelio::WeightTally tally(plans, roles);
  if (tally.frequencyColumn() < 0 && tally.analysisColumn() < 0) return Status();
  auto value = [&store](std::ptrdiff_t c, std::size_t row, double* out) -> const double* {
    if (c < 0) return nullptr;
    const zelio::Column& column = store.columns[static_cast<std::size_t>(c)];
    if (column.IsMissing(row)) return nullptr;
    *out = column.storage() == TorCommon_1_3::kStorageInteger
               ? static_cast<double>(column.Integer(row))
               : column.Double(row);
    return out;
  };
  for (std::size_t row = 0; row < store.rows(); ++row) {
    double frequency, analysis;
    const Status added = tally.AddRow(value(tally.frequencyColumn(), row, &frequency),
                                      value(tally.analysisColumn(), row, &analysis),
                                      zelio::SourceLocation::Row(static_cast<int64_t>(row) + 1));
    if (!added.ok()) return added;
  }
  *dropped = tally.dropped();
  return Status();
}

}  // namespace zelprep
