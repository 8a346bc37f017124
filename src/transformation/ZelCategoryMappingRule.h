// ZelCategoryMappingRule: the shared body of the two merge rules. A field
// whose categories were merged is computed by looking its source category up
// in a table of old to new categories: texts in the text table, numbers in
// the numeric one (one of the two is filled). A missing source stays
// missing. A category the table lacks (one not seen when the merge was
// decided) takes the default label, 0 or the empty text; the table is not
// grown for it, so evaluation never allocates and the document's table,
// whose default is the same label, replays every value alike.
#ifndef ZELCRAFT_TRANSFORMATION_ZELCATEGORYMAPPINGRULE_H_
#define ZELCRAFT_TRANSFORMATION_ZELCATEGORYMAPPINGRULE_H_

#include <map>
#include <string>
#include <utility>

#include "transformation/ZelTransformRule.h"

namespace ZelTransformation {

class ZelCategoryMappingRule : public ZelValueMappingTransformRule {
 public:
  static constexpr double kDefaultNumber = 0.0;
  static const char* const kDefaultText;

  using ZelValueMappingTransformRule::ZelValueMappingTransformRule;

  // A text gives the new text; an integer the new value as an integer; a
  // real, date or time value the new value as a real.
  const TorCommon_1_3::RawData& Apply(const TorCommon_1_3::RawRecord& working) override;
  void ApplyBatch(const ZelFrame::ZelBatch& batch, ZelFrame::ZelBatchColumn* out) override;

  // Which merge made the table: 2 by association with the target, 3 by
  // frequency.
  virtual int GetMappingKind() const = 0;

  void SetTextMapping(std::map<std::string, std::string> mapping) {
    textMapping_ = std::move(mapping);
  }
  void SetNumericMapping(std::map<double, double> mapping) {
    numericMapping_ = std::move(mapping);
  }
  const std::map<std::string, std::string>& GetTextMapping() const { return textMapping_; }
  const std::map<double, double>& GetNumericMapping() const { return numericMapping_; }

 private:
  std::map<std::string, std::string> textMapping_;
  std::map<double, double> numericMapping_;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELCATEGORYMAPPINGRULE_H_
