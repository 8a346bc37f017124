// ZelCategoryList: the categories of one categorical field as a bivariate
// statistic sees them, taken before the pass from the field's finished
// univariate statistic: ascending numbers or ascending strings. A record
// value is placed by binary search, so the per-record lookup costs a
// logarithm of the category count and allocates nothing.
#ifndef ZELCRAFT_STATISTICS_ZELCATEGORYLIST_H_
#define ZELCRAFT_STATISTICS_ZELCATEGORYLIST_H_

#include <string>
#include <vector>

#include "frame/ZelBatch.h"
#include "frame/ZelTextMemo.h"
#include "torcommon13r/RawRecord.h"
#include "torcommon13r/TorStatus.h"

namespace ZelStatistic {

class ZelStatistics;

class ZelCategoryList {
 public:
  // Takes the values of a ZelUnivarNumericCat or the categories of a
  // ZelUnivarStringCat; 210011 for any other statistic (or none).
  TorCommon_1_3::TorStatus InitFrom(const ZelStatistics* univariate);

  int Count() const { return count_; }
  // The position of the value among the categories: a string among the
  // texts, a number (integer, real, date, time or timestamp) among the
  // numbers by exact equality. -1 when the value is absent (a field whose
  // table overflowed has values beyond its list) or of another storage.
  int GetCategoryIndex(const TorCommon_1_3::RawData& value) const;
  // The same for row k of a batch column; texts met before in the batch are
  // found in `memo`, which the caller clears before every batch.
  int GetCategoryIndex(const ZelFrame::ZelBatchColumn& column, std::size_t k, ZelFrame::ZelTextMemo<int>* memo) const;
  // The positions of rows [0, rows) of a column that holds a text in every
  // row into `positions`, as GetCategoryIndex gives them; whether every
  // text is among the categories.
  bool PlaceTexts(const ZelFrame::ZelBatchColumn& column, std::size_t rows, ZelFrame::ZelTextMemo<int>* memo,
                  int* positions) const;

  const std::vector<double>& GetNumbers() const { return numbers_; }
  const std::vector<std::string>& GetTexts() const { return texts_; }

 private:
  int IndexOfText(const std::string& text) const;
  int IndexOfNumber(double x) const;

  std::vector<double> numbers_;
  std::vector<std::string> texts_;
  int count_ = 0;
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELCATEGORYLIST_H_
