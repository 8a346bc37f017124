// TargetDiagnosis: when the component reports that every target field was
// excluded, the user needs to know which field and why. The command reads the
// records again, so it looks for the usual causes itself, judging the target as the
// screening step does: a date, time or timestamp target (set aside once its
// parts are derived), no record with a usable weight, a target missing in
// every record or in too many, a constant target, one category dominating,
// too many categories.
#ifndef ZELCRAFT_CLI_TARGETDIAGNOSIS_H_
#define ZELCRAFT_CLI_TARGETDIAGNOSIS_H_

#include <string>
#include <vector>

#include "io/DataLoader.h"
#include "torcommon13r/TorSettings.h"

namespace zelcli {

// One line naming the target and the likely reason it was excluded, from
// the records of `source` (the build's: field i is column columnOf[i]).
std::string ExplainExcludedTarget(const zelio::LoadedData& data, TorCommon_1_3::IRecordSource& source,
                                  const std::vector<std::size_t>& columnOf,
                                  const zelio::FieldRoles& roles,
                                  const TorCommon_1_3::TorSettings& settings);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_TARGETDIAGNOSIS_H_
