// ZelDateTimeFeatureHandler: date and time fields. Before the data passes it
// derives the calendar parts and elapsed durations the settings ask for;
// after the first pass (SelectDateBestDuration, SelectTimeBestDuration) it
// keeps, per source, the one duration whose unit fits the largest elapsed
// value, and takes every date, time and timestamp source out of use.
#ifndef ZELCRAFT_TRANSFORMATION_ZELDATETIMEFEATUREHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELDATETIMEFEATUREHANDLER_H_

#include "transformation/ZelOperationHandler.h"

namespace ZelTransformation {

class ZelDateTimeFeatureHandler : public ZelOperationHandler {
 public:
  using ZelOperationHandler::ZelOperationHandler;

  TorCommon_1_3::TorStatus Check() override;
  TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo* field, int index) override;
  bool IsEnabled(const ZelSettings*) override { return true; }

 private:
  // What the settings ask to derive from one kind of source (date or time):
  // the parts switched on, the parts as categories, then the durations the
  // unit allows.
  struct Plan {
    bool parts[3];
    uint32_t partActions[3];
    bool durations;
    int unit;
    double reference;
    uint32_t durationActions[3];
    bool categories[2];
    uint32_t categoryActions[2];
  };
  Plan DatePlan() const;
  Plan TimePlan() const;
  TorCommon_1_3::TorStatus DeriveAll(const ZelVariableHandleInfo& field, int index,
                                     const Plan& plan);
  // Appends one derived field of `action` for the source at `index`.
  TorCommon_1_3::TorStatus Derive(const ZelVariableHandleInfo& field, int index, uint32_t action);
  TorCommon_1_3::TorStatus SelectDuration(ZelVariableHandleInfo* field);

  // The reference of the durations being created: a day number for a date
  // source, seconds for a time source.
  double reference_ = 0.0;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELDATETIMEFEATUREHANDLER_H_
