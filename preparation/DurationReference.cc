#include "preparation/DurationReference.h"

#include <algorithm>
#include <cstdio>

#include "apply/Calendar.h"
#include "apply/HostHeader.h"
#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelUserMissing;

namespace zelprep {

using zelstatus::Status;

namespace {

using TorCommon_1_3::kStorageDate;
using TorCommon_1_3::kStorageTime;

// Rows between two looks at the interrupt check while a file is read.
constexpr int64_t kCheckEvery = 4096;

// Whether the settings leave one kind of reference to the component: its
// durations are on, today or now is not asked for, and no reference given.
bool LeftToComponent(const TorCommon_1_3::TorSettings& settings, const char* onKey,
                     const char* typeKey, const char* nowType, const char* referenceKey) {
  bool on = true;
  settings.GetSettingValByName(onKey, on);
  std::string type;
  settings.GetSettingValByName(typeKey, type);
  return on && type != nowType && !settings.Contains(referenceKey);
}

bool Handed(const zelio::FieldPlan& plan, int storage) {
  return plan.role != zelio::Role::kNone && plan.storage == storage;
}

void Later(double value, std::optional<double>* latest) {
  if (!latest->has_value() || value > **latest) *latest = value;
}

std::string DateText(double day) {
  const zelapply::CivilDate date = zelapply::CivilFromDays(static_cast<int64_t>(day));
  char text[32];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02d", static_cast<long long>(date.year),
                date.month, date.day);
  return text;
}

std::string TimeText(double seconds) {
  int hour = 0;
  int minute = 0;
  int second = 0;
  zelapply::SplitTimeOfDay(seconds, &hour, &minute, &second);
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
  return text;
}

}  // namespace

void DataMoments::Add(const DataMoments& other) {
  if (other.day) Later(*other.day, &day);
  if (other.timeOfDay) Later(*other.timeOfDay, &timeOfDay);
}

ReferenceNeeds NeededReferences(const TorCommon_1_3::TorSettings& settings,
                                const std::vector<zelio::FieldPlan>& plans) {
  ReferenceNeeds needs;
  for (const zelio::FieldPlan& plan : plans) {
    needs.date = needs.date || Handed(plan, kStorageDate);
    needs.time = needs.time || Handed(plan, kStorageTime);
  }
  needs.date = needs.date && LeftToComponent(settings, "computeDateDuration", "referenceDateType",
                                             "todaysDate", "referenceDateForDurations");
  needs.time = needs.time && LeftToComponent(settings, "computeTimeDuration", "referenceTimeType",
                                             "currentTime", "referenceTimeForDurations");
  return needs;
}

Status FindLatestMoments(const zelio::LoadedData& data, const zelio::CsvSourceFile& file,
                         const ReferenceNeeds& needs, TorCommon_1_3::IInterruptCheck& interrupts,
                         DataMoments* moments) {
  std::vector<std::size_t> columns;
  std::vector<std::optional<double>*> latest;
  for (std::size_t c = 0; c < data.plans.size(); ++c) {
    const zelio::FieldPlan& plan = data.plans[c];
    if (needs.date && Handed(plan, kStorageDate)) {
      columns.push_back(c);
      latest.push_back(&moments->day);
    } else if (needs.time && Handed(plan, kStorageTime)) {
      columns.push_back(c);
      latest.push_back(&moments->timeOfDay);
    }
  }
  if (!data.streamed) {
    for (std::size_t k = 0; k < columns.size(); ++k) {
      const zelio::Column& column = data.store.columns[columns[k]];
      const ZelUserMissing& missing = data.plans[columns[k]].missing;
      for (std::size_t row = 0; row < column.size(); ++row) {
        if (column.IsMissing(row)) continue;
        const double value = column.Double(row);
        if (!missing.Matches(value)) Later(value, latest[k]);
      }
    }
    return Status();
  }
  zelio::CsvRecordSource source(file, data.plans, columns, zelio::ReadProgress::Silent());
  for (int64_t row = 1; source.HasMoreRecords(); ++row) {
    const TorCommon_1_3::RawRecord* record = source.NextRecord();
    if (record == nullptr) break;
    for (std::size_t k = 0; k < columns.size(); ++k) {
      const TorCommon_1_3::RawData& value = (*record)[k];
      if (value.IsMissing() || data.plans[columns[k]].missing.Matches(value.GetDouble())) continue;
      Later(value.GetDouble(), latest[k]);
    }
    if (row % kCheckEvery == 0 && interrupts.IsInterrupted()) return Status::Interrupted();
  }
  return source.error().empty() ? Status() : Status::InvalidInput(source.error());
}

void PinReferences(const ReferenceNeeds& needs, const DataMoments& moments,
                   TorCommon_1_3::TorSettings* settings, std::vector<std::string>* facts,
                   std::vector<PMMLHeaderExtension>* header) {
  if (needs.date) {
    const double day = moments.day.value_or(0.0);
    // The component reads a reference only with its switch given.
    settings->SetBool("computeDateDuration", true);
    settings->SetDouble("referenceDateForDurations", day);
    facts->push_back("durations of dates are measured from the latest date in the data, " +
                     DateText(day));
    header->push_back({zelapply::kReferenceDateFromData, DateText(day), {}});
  }
  if (needs.time) {
    const double seconds = moments.timeOfDay.value_or(0.0);
    settings->SetBool("computeTimeDuration", true);
    settings->SetDouble("referenceTimeForDurations", seconds);
    facts->push_back("durations of times of day are measured from the latest time of day in the "
                     "data, " + TimeText(seconds));
    header->push_back({zelapply::kReferenceTimeFromData, TimeText(seconds), {}});
  }
}

}  // namespace zelprep
