// ZelFunctionCatalogue: the component's own PMML functions. A function rule
// names its function by id; the document declares each function it uses
// once, in a "DefineFunction" at the top of the transformation dictionary,
// so that a consumer can recognise the calls by name.
#ifndef ZELCRAFT_PMML_ZELFUNCTIONCATALOGUE_H_
#define ZELCRAFT_PMML_ZELFUNCTIONCATALOGUE_H_

#include <string>
#include <vector>

#include "torcommon13r/TorStatus.h"
#include "torcommon13r/TorXML.h"
#include "settings/ZelVariableHandleList.h"

namespace ZelPMML {

struct FunctionDefinition {
  const char* name;
  const char* dataType;
  const char* optype;
  std::vector<const char*> parameters;  // ParameterField names in order
};

// The definition of a function id; null for ids without one (0, 18 to 25,
// above 27).
const FunctionDefinition* FindFunction(int id);

// The name a call of the function uses: the definition's name, "0000" for
// id 0, "" for ids without a name.
std::string GetFunctionName(int id);

// The ids of the functions the document's derived fields call, in the order
// they are first used; trimmed copies that were dropped are not written and
// do not count. kInconsistent for a function rule that is no
// ZelFunctionTransformRule.
TorCommon_1_3::TorStatus CollectFunctionIds(const ZelVariableHandleList& fields,
                                            std::vector<int>* ids);

// One "DefineFunction" per id that has a definition.
void AppendFunctionDefinitions(TorXML_1_3::XMLElement* dictionary, const std::vector<int>& ids);

// True for a derived field the document leaves out: a trimmed copy found
// unnecessary.
bool IsDroppedCopy(const ZelVariableHandleInfo& field);

}  // namespace ZelPMML

#endif  // ZELCRAFT_PMML_ZELFUNCTIONCATALOGUE_H_
