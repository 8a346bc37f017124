// PreparedSchema: what the prepared data set is, for the tool that reads it
// next: the storage and measurement level of every column the prepared data
// holds, in its order, in the JSON format of `--schema`, so that bin numbers
// and the codes of merged groups are known as categories although they look
// like numbers. The target and its transformed copy also carry the role
// "target".
#ifndef ZELCRAFT_REPLAY_PREPAREDSCHEMA_H_
#define ZELCRAFT_REPLAY_PREPAREDSCHEMA_H_

#include <string>

#include "apply/Program.h"

namespace zelreplay {

// The JSON text, ending in a line break, for the columns PreparedColumns
// gives.
std::string PreparedSchemaText(const zelapply::Program& program, bool allDerived);

}  // namespace zelreplay

#endif  // ZELCRAFT_REPLAY_PREPAREDSCHEMA_H_
