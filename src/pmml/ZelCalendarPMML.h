// ZelCalendarPMML: the calendar parts a model uses as categories, written
// with PMML's own arithmetic (+, -, *, /, floor) on the value a date or time
// field has in the document: days since 1970-01-01, or seconds of the day.
// Any consumer of PMML replays them without knowing the component.
#ifndef ZELCRAFT_PMML_ZELCALENDARPMML_H_
#define ZELCRAFT_PMML_ZELCALENDARPMML_H_

#include <cstdint>
#include <string>

#include "pmml/ZelExpressionPMML.h"

namespace ZelPMML {

// The expression of the weekday (1 Monday to 7 Sunday), month (1 to 12) or
// hour (0 to 23) action over the field `source`; null for other actions.
Expression MakeCalendarPart(uint32_t action, const std::string& source);

}  // namespace ZelPMML

#endif  // ZELCRAFT_PMML_ZELCALENDARPMML_H_
