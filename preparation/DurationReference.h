// DurationReference: the reference that durations are measured from, taken
// from the data when the settings leave it to the component: the latest
// date of the date fields handed over and the latest time of day of the
// time fields (the parts of a split timestamp included), so that the same
// data gives the same document on any day; the component would take the day
// and the time of the run. User-missing values do not count; fields without
// a value give 1970-01-01 and 00:00:00. A reference the settings give, a
// request for today's date or the current time, and durations switched off
// stay as they are. A host that holds the data in parts (partitions on a
// cluster) finds the latest moments of each part and hands every run their
// combination, so that all of them pin the same reference.
#ifndef ZELCRAFT_PREPARATION_DURATIONREFERENCE_H_
#define ZELCRAFT_PREPARATION_DURATIONREFERENCE_H_

#include <optional>
#include <string>
#include <vector>

#include "frame/host/HostInterfaces.h"
#include "io/CsvRecordSource.h"
#include "io/DataLoader.h"
#include "pmml/PMMLHeaderInfo.h"
#include "status/Status.h"
#include "torcommon13r/TorSettings.h"

namespace zelprep {

// The latest day (from 1970-01-01) and time of day (seconds) of the data's
// date and time fields; absent where no such field has a value.
struct DataMoments {
  std::optional<double> day;
  std::optional<double> timeOfDay;

  // The later of each.
  void Add(const DataMoments& other);
};

// Whether the settings leave the reference of date (or time) durations to
// the component while the fields derive such durations.
struct ReferenceNeeds {
  bool date = false;
  bool time = false;

  bool Any() const { return date || time; }
};
ReferenceNeeds NeededReferences(const TorCommon_1_3::TorSettings& settings,
                                const std::vector<zelio::FieldPlan>& plans);

// The latest moments of the fields `needs` asks for: from the held columns,
// or, for a streamed file (`file`), by reading their cells once more, which
// may fail or be interrupted.
zelstatus::Status FindLatestMoments(const zelio::LoadedData& data, const zelio::CsvSourceFile& file,
                                    const ReferenceNeeds& needs,
                                    TorCommon_1_3::IInterruptCheck& interrupts,
                                    DataMoments* moments);

// Sets the references `needs` asks for to `moments`; says so in `facts`
// and in the document's header.
void PinReferences(const ReferenceNeeds& needs, const DataMoments& moments,
                   TorCommon_1_3::TorSettings* settings, std::vector<std::string>* facts,
                   std::vector<PMMLHeaderExtension>* header);

}  // namespace zelprep

#endif  // ZELCRAFT_PREPARATION_DURATIONREFERENCE_H_
