#include "io/TypeInference.h"

#include <cstdint>

#include "io/CellParser.h"
#include "torcommon13r/TorVariable.h"

namespace zelio {

void TypeInference::Add(std::string_view text) {
  seen_ = true;
  if (candidates_ == 0) return;
  int64_t integer;
  double real;
  if ((candidates_ & kInteger) && !ParseInteger(text, &integer)) candidates_ &= ~kInteger;
  if ((candidates_ & kReal) && !ParseReal(text, &real)) candidates_ &= ~kReal;
  if ((candidates_ & kDate) && !ParseDate(text, &real)) candidates_ &= ~kDate;
  if ((candidates_ & kTime) && !ParseTime(text, &real)) candidates_ &= ~kTime;
  if ((candidates_ & kTimestamp) && !ParseTimestamp(text, &real)) candidates_ &= ~kTimestamp;
}

TypeInference TypeInference::Of(unsigned candidates, bool seen) {
  TypeInference inference;
  inference.candidates_ = candidates & kAll;
  inference.seen_ = seen;
  return inference;
}

int TypeInference::Result() const {
  using namespace TorCommon_1_3;
  if (!seen_) return kStorageReal;
  return Current();
}

void TypeInference::AddParsed() {
  seen_ = true;
  // A whole number is also a decimal number; a decimal number, a date, a
  // time or a timestamp is nothing else.
  if (candidates_ & kInteger) {
    candidates_ &= kInteger | kReal;
  } else if (candidates_ & kReal) {
    candidates_ &= kReal;
  } else if (candidates_ & kDate) {
    candidates_ &= kDate;
  } else if (candidates_ & kTime) {
    candidates_ &= kTime;
  } else {
    candidates_ &= kTimestamp;
  }
}

int TypeInference::Current() const {
  using namespace TorCommon_1_3;
  if (candidates_ & kInteger) return kStorageInteger;
  if (candidates_ & kReal) return kStorageReal;
  if (candidates_ & kDate) return kStorageDate;
  if (candidates_ & kTime) return kStorageTime;
  if (candidates_ & kTimestamp) return kStorageTimestamp;
  return kStorageString;
}

}  // namespace zelio
