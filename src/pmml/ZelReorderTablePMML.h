// The table of a reordered categorical field: each category with the code
// it gets, its position in ascending order of frequency. The derived field
// maps categories to codes; the target inverse maps codes back.
#ifndef ZELCRAFT_PMML_ZELREORDERTABLEPMML_H_
#define ZELCRAFT_PMML_ZELREORDERTABLEPMML_H_

#include <string>
#include <vector>

#include "pmml/ZelExpressionPMML.h"
#include "torcommon13r/TorStatus.h"
#include "transformation/ZelReorderFunctionRule.h"

namespace ZelPMML {

struct ReorderRow {
  std::string category;  // the text, or a number in "%.15g" form
  std::string code;
  std::string label;  // "" without one
};

// The rows in code order. Numeric codes are plain decimals; text codes are
// padded with zeros to the width of the category count (00 to 11 for twelve
// categories), so they sort as they count. kNumberFormat without categories.
TorCommon_1_3::TorStatus MakeReorderRows(const ZelTransformation::ZelReorderFunctionRule& rule,
                                         std::vector<ReorderRow>* rows);

// MapValues over `field`: from category to code, or from code to category
// when `inverse`.
Expression MakeReorderMap(const std::string& field, const std::vector<ReorderRow>& rows,
                          bool inverse);

// One valid "Value" per row: its code, or its category when `inverse`.
void AppendReorderValues(TorXML_1_3::XMLElement* field, const std::vector<ReorderRow>& rows,
                         bool inverse);

}  // namespace ZelPMML

#endif  // ZELCRAFT_PMML_ZELREORDERTABLEPMML_H_
