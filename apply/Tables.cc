// The lookups of NormTable, MapTable and BinTable.
#include <algorithm>
#include <cmath>

#include "Instruction.h"
#include "Numbers.h"

namespace zelapply {

void NormTable::Apply(const Value& in, Value* out) const {
  if (in.missing) {
    if (!hasMissing) {
      out->SetMissing(ValueType::kReal);
    } else if (in.type == ValueType::kInteger && std::fabs(mapMissingTo) < 9.2e18) {
      // A field of whole numbers gets a whole replacement, as in the build.
      out->SetInteger(static_cast<int64_t>(mapMissingTo));
    } else {
      out->SetReal(mapMissingTo);
    }
    return;
  }
  if (!in.IsNumeric()) {
    out->SetMissing(ValueType::kReal);
    return;
  }
  if (identity) {
    out->Assign(in);
    return;
  }
  const double x = in.AsDouble();
  const std::size_t last = orig.size() - 1;
  if (x < orig.front() || x > orig[last]) {
    if (outliers == OutlierTreatment::kAsMissing) {
      out->SetMissing(ValueType::kReal);
      return;
    }
    if (outliers == OutlierTreatment::kAsExtreme) {
      out->SetReal(x < orig.front() ? norm.front() : norm[last]);
      return;
    }
  }
  // The segment holding x; values outside extend the first or last segment.
  std::size_t i =
      static_cast<std::size_t>(std::upper_bound(orig.begin(), orig.end(), x) - orig.begin());
  i = std::min(std::max<std::size_t>(i, 1), last);
  const double slope = (norm[i] - norm[i - 1]) / (orig[i] - orig[i - 1]);
  out->SetReal(norm[i - 1] + (x - orig[i - 1]) * slope);
}

void TableOutputs::ForMissing(Value* out) const {
  if (hasMissing) {
    out->Assign(missingOutput);
  } else {
    out->SetMissing(outputType);
  }
}

void TableOutputs::ForUnmatched(Value* out) const {
  if (hasDefault) {
    out->Assign(defaultOutput);
  } else {
    out->SetMissing(outputType);
  }
}

void MapTable::Apply(const Value& in, Value* out) const {
  if (in.missing) {
    ForMissing(out);
    return;
  }
  if (const Value* found = Find(in)) {
    out->Assign(*found);
    return;
  }
  if (copyOthers && !hasDefault) {
    out->Assign(in);
  } else {
    ForUnmatched(out);
  }
}

const Value* MapTable::Find(const Value& in) const {
  if (in.type == ValueType::kString) {
    auto it = std::lower_bound(texts.begin(), texts.end(), in.text,
                               [](const std::pair<std::string, uint32_t>& row,
                                  const std::string& key) { return row.first < key; });
    if (it != texts.end() && it->first == in.text) return &outputs[it->second];
  } else if (in.IsNumeric() && !numbers.empty()) {
    const auto find = [this](double x) {
      auto it = std::lower_bound(
          numbers.begin(), numbers.end(), x,
          [](const std::pair<double, uint32_t>& row, double key) { return row.first < key; });
      return it != numbers.end() && it->first == x ? &outputs[it->second] : nullptr;
    };
    // A category with more digits than the document writes is found by its
    // written form.
    const Value* found = find(in.AsDouble());
    return found != nullptr ? found : find(AsWritten(in.AsDouble()));
  }
  return nullptr;
}

void BinTable::Apply(const Value& in, Value* out) const {
  if (in.missing) {
    ForMissing(out);
    return;
  }
  if (in.IsNumeric()) {
    const double x = in.AsDouble();
    for (const Bin& bin : bins) {
      const bool aboveLeft = bin.leftClosed ? x >= bin.left : x > bin.left;
      const bool belowRight = bin.rightClosed ? x <= bin.right : x < bin.right;
      if (aboveLeft && belowRight) {
        out->Assign(bin.output);
        return;
      }
    }
  }
  ForUnmatched(out);
}

}  // namespace zelapply
