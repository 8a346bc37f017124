// FunctionTable: every function an `Apply` may call: the PMML built-ins the
// documents use and the preparation's own functions, which a document
// declares with `DefineFunction` and the engine knows by name.
#ifndef ZELCRAFT_APPLY_FUNCTIONTABLE_H_
#define ZELCRAFT_APPLY_FUNCTIONTABLE_H_

#include <cstdint>
#include <string_view>

#include "Instruction.h"

namespace zelapply {

struct FunctionEntry {
  const char* name;
  Op op;
  int arity;
  uint8_t selector;  // the date or time part
  double divisor;    // of a date or time difference
  bool own;          // declared by the document rather than built into PMML
};

// Null when the engine does not know the function.
const FunctionEntry* FindFunction(std::string_view name);

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_FUNCTIONTABLE_H_
