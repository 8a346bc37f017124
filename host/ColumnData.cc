#include "host/ColumnData.h"

#include <cmath>
#include <string_view>

#include "torcommon13r/TorVariable.h"

namespace zelhost {

using namespace TorCommon_1_3;

int ColumnData::Storage() const {
  switch (kind) {
    case Kind::kInteger: return kStorageInteger;
    case Kind::kText:
    case Kind::kObjects: return kStorageString;
    case Kind::kDate: return kStorageDate;
    case Kind::kTime: return kStorageTime;
    case Kind::kTimestamp: return kStorageTimestamp;
    case Kind::kReal: break;
  }
  return kStorageReal;
}

void FillColumn(const ColumnData& data, zelio::Column* column) {
  column->Reserve(data.rows);
  switch (data.kind) {
    case ColumnData::Kind::kInteger:
      for (std::size_t r = 0; r < data.rows; ++r) {
        if (data.missing != nullptr && data.missing[r] != 0) {
          column->AppendMissing();
        } else {
          column->AppendInteger(data.integers[r]);
        }
      }
      break;
    case ColumnData::Kind::kText: {
      // Texts are appended row by row, so the dictionary takes them in the
      // order a file's rows would give.
      std::vector<std::string_view> texts(data.texts.begin(), data.texts.end());
      const auto count = static_cast<int64_t>(texts.size());
      for (std::size_t r = 0; r < data.rows; ++r) {
        const int64_t code = data.codes[r];
        if (code < 0 || code >= count) {
          column->AppendMissing();
        } else {
          column->AppendText(texts[static_cast<std::size_t>(code)]);
        }
      }
      break;
    }
    case ColumnData::Kind::kObjects:
      for (const std::string_view& text : data.views) {
        if (text.data() == nullptr) {
          column->AppendMissing();
        } else {
          column->AppendText(text);
        }
      }
      break;
    default:
      for (std::size_t r = 0; r < data.rows; ++r) {
        const double value = data.reals[r];
        if (std::isnan(value)) {
          column->AppendMissing();
        } else {
          column->AppendDouble(value);
        }
      }
      break;
  }
  column->ShrinkToFit();
}

}  // namespace zelhost
