// ZelTargetExplanation: when a build ends because every target field was
// excluded, one line that names the target and says why, in the words of
// the screening rule that excluded it and with the figures it judged (the
// missing share against its limit, the dominating category's share, the
// single value). A host prints it beside the error, so that a user need not
// go through the data again to find the cause.
#ifndef ZELCRAFT_FRAME_ZELTARGETEXPLANATION_H_
#define ZELCRAFT_FRAME_ZELTARGETEXPLANATION_H_

#include <string>

class ZelVariableHandleList;

namespace ZelFrame {

// Empty when the list has no excluded target.
std::string ExplainExcludedTarget(const ZelVariableHandleList& fields);

}  // namespace ZelFrame

#endif  // ZELCRAFT_FRAME_ZELTARGETEXPLANATION_H_
