// The accumulation states of the statistics (ZelStatistics::WriteState and
// ReadState), each as the parts of ZelStateParts.h. What a statistic was
// laid out with before its pass (categories, bounds, exponents, fields) goes
// in a fixed part, so that a state read into a statistic laid out otherwise
// is refused; the sums go in the parts that merge.
#include <vector>

#include "statistics/ZelBivarCatTargetCat.h"
#include "statistics/ZelBivarCatTargetContPredictivePower.h"
#include "statistics/ZelBivarContCont.h"
#include "statistics/ZelBivarContTargetContPredictivePower.h"
#include "statistics/ZelBivarGroupedMoments.h"
#include "statistics/ZelBoxCox.h"
#include "statistics/ZelOutlier.h"
#include "statistics/ZelStateParts.h"
#include "statistics/ZelUnivarContHistogram.h"
#include "statistics/ZelUnivarNumeric.h"
#include "statistics/ZelUnivarStringCat.h"

namespace ZelStatistic {

namespace {

void WriteTable(ZelStateWriter* out, const ZelContingencyTable& table) {
  WriteDoubles(out, kPartFrequencies, table.FrequencyCells().data(),
               table.FrequencyCells().size());
  WriteDoubles(out, kPartSums, table.WeightedCells().data(), table.WeightedCells().size());
}

bool ReadTable(ZelStateReader* in, ZelContingencyTable* table) {
  std::vector<double>& frequencies = table->FrequencyCells();
  std::vector<double>& weighted = table->WeightedCells();
  return ReadDoubles(in, kPartFrequencies, frequencies.data(), frequencies.size()) &&
         ReadDoubles(in, kPartSums, weighted.data(), weighted.size());
}

}  // namespace

void ZelUnivarNumeric::WriteState(ZelStateWriter* out) const {
  WritePartCount(out, 1);
  summary_.WriteState(out);
}

bool ZelUnivarNumeric::ReadState(ZelStateReader* in) {
  return ReadPartCount(in, 1) && summary_.ReadState(in);
}

void ZelUnivarStringCat::WriteState(ZelStateWriter* out) const {
  WritePartCount(out, 1);
  WriteTexts(out, missingCount_, validCount_, table_);
}

bool ZelUnivarStringCat::ReadState(ZelStateReader* in) {
  ZelTextTable table;
  if (!ReadPartCount(in, 1) || !ReadTexts(in, distinctLimit_, &table)) return false;
  missingCount_ = table.missing;
  validCount_ = table.valid;
  table_ = std::move(table.table);
  return true;
}

void ZelBivarContCont::WriteState(ZelStateWriter* out) const {
  const std::vector<double> fields(fields_.begin(), fields_.end());
  const uint8_t lockstep = lockstep_ ? 1 : 0;
  WritePartCount(out, 3);
  WriteDoubles(out, kPartFixed, fields.data(), fields.size());
  WritePairs(out, pairs_.data(), pairs_.size());
  WriteFlags(out, &lockstep, 1);
}

bool ZelBivarContCont::ReadState(ZelStateReader* in) {
  const std::vector<double> fields(fields_.begin(), fields_.end());
  uint8_t lockstep;
  if (!ReadPartCount(in, 3) || !ReadFixed(in, fields.data(), fields.size()) ||
      !ReadPairs(in, pairs_.data(), pairs_.size()) || !ReadFlags(in, &lockstep, 1)) {
    return false;
  }
  lockstep_ = lockstep != 0;
  return true;
}

void ZelBivarGroupedMoments::WriteState(ZelStateWriter* out) const {
  const double layout[] = {static_cast<double>(categories_.Count()),
                           static_cast<double>(groupIndex_), static_cast<double>(valueIndex_)};
  WritePartCount(out, 3);
  WriteDoubles(out, kPartFixed, layout, 3);
  WriteMoments(out, moments_.data(), moments_.size());
  WriteMoments(out, &overall_, 1);
}

bool ZelBivarGroupedMoments::ReadState(ZelStateReader* in) {
  const double layout[] = {static_cast<double>(categories_.Count()),
                           static_cast<double>(groupIndex_), static_cast<double>(valueIndex_)};
  return ReadPartCount(in, 3) && ReadFixed(in, layout, 3) &&
         ReadMoments(in, moments_.data(), moments_.size()) && ReadMoments(in, &overall_, 1);
}

void ZelBivarCatTargetCat::WriteState(ZelStateWriter* out) const {
  const double layout[] = {static_cast<double>(table_.Rows()),
                           static_cast<double>(table_.Columns())};
  WritePartCount(out, 4);
  WriteDoubles(out, kPartFixed, layout, 2);
  WriteTable(out, table_);
  WriteDoubles(out, kPartFrequencies, &total_, 1);
}

bool ZelBivarCatTargetCat::ReadState(ZelStateReader* in) {
  const double layout[] = {static_cast<double>(table_.Rows()),
                           static_cast<double>(table_.Columns())};
  return ReadPartCount(in, 4) && ReadFixed(in, layout, 2) && ReadTable(in, &table_) &&
         ReadDoubles(in, kPartFrequencies, &total_, 1);
}

void ZelOutlier::WriteState(ZelStateWriter* out) const {
  WritePartCount(out, 2);
  WriteDoubles(out, kPartFixed, bounds_.data(), bounds_.size());
  WriteMoments(out, intervals_.data(), intervals_.size());
}

bool ZelOutlier::ReadState(ZelStateReader* in) {
  return ReadPartCount(in, 2) && ReadFixed(in, bounds_.data(), bounds_.size()) &&
         ReadMoments(in, intervals_.data(), intervals_.size());
}

void ZelBoxCox::WriteState(ZelStateWriter* out) const {
  std::vector<double> layout = exponents_;
  layout.push_back(shift_);
  WritePartCount(out, static_cast<uint32_t>(2 + summaries_.size() + signedLog_.size()));
  WriteDoubles(out, kPartFixed, layout.data(), layout.size());
  WriteDoubles(out, kPartSums, &logSum_, 1);
  for (const ContSummary& summary : summaries_) summary.WriteState(out);
  for (const ContSummary& summary : signedLog_) summary.WriteState(out);
}

bool ZelBoxCox::ReadState(ZelStateReader* in) {
  std::vector<double> layout = exponents_;
  layout.push_back(shift_);
  if (!ReadPartCount(in, static_cast<uint32_t>(2 + summaries_.size() + signedLog_.size())) ||
      !ReadFixed(in, layout.data(), layout.size()) || !ReadDoubles(in, kPartSums, &logSum_, 1)) {
    return false;
  }
  for (ContSummary& summary : summaries_) {
    if (!summary.ReadState(in)) return false;
  }
  for (ContSummary& summary : signedLog_) {
    if (!summary.ReadState(in)) return false;
  }
  return true;
}

void ZelBivarCatTargetContPredictivePower::WriteState(ZelStateWriter* out) const {
  std::vector<double> layout = bounds_;
  layout.push_back(static_cast<double>(table_.Rows()));
  layout.push_back(static_cast<double>(table_.Columns()));
  WritePartCount(out, 4);
  WriteDoubles(out, kPartFixed, layout.data(), layout.size());
  WriteTable(out, table_);
  WriteDoubles(out, kPartFrequencies, &total_, 1);
}

bool ZelBivarCatTargetContPredictivePower::ReadState(ZelStateReader* in) {
  std::vector<double> layout = bounds_;
  layout.push_back(static_cast<double>(table_.Rows()));
  layout.push_back(static_cast<double>(table_.Columns()));
  return ReadPartCount(in, 4) && ReadFixed(in, layout.data(), layout.size()) &&
         ReadTable(in, &table_) && ReadDoubles(in, kPartFrequencies, &total_, 1);
}

void ZelBivarContTargetContPredictivePower::WriteState(ZelStateWriter* out) const {
  const ZelPairMoments pairs[] = {input_, cross_, target_};
  WritePartCount(out, 1);
  WritePairs(out, pairs, 3);
}

bool ZelBivarContTargetContPredictivePower::ReadState(ZelStateReader* in) {
  ZelPairMoments pairs[3];
  if (!ReadPartCount(in, 1) || !ReadPairs(in, pairs, 3)) return false;
  input_ = pairs[0];
  cross_ = pairs[1];
  target_ = pairs[2];
  return true;
}

void ZelUnivarContHistogram::WriteState(ZelStateWriter* out) const {
  WritePartCount(out, 3);
  WriteDoubles(out, kPartFixed, upperBounds_.data(), upperBounds_.size());
  WriteCounts(out, counts_.data(), counts_.size());
  WriteBinMeans(out, weights_.data(), means_.data(), weights_.size());
}

bool ZelUnivarContHistogram::ReadState(ZelStateReader* in) {
  return ReadPartCount(in, 3) && ReadFixed(in, upperBounds_.data(), upperBounds_.size()) &&
         ReadCounts(in, counts_.data(), counts_.size()) &&
         ReadBinMeans(in, weights_.data(), means_.data(), weights_.size());
}

}  // namespace ZelStatistic
