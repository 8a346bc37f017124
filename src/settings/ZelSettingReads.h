// The read functions of the settings rows whose keys need more than a type,
// a check and a list of texts: keys read as a pair, keys whose value is
// converted, keys that set several members. Each is named in its row of
// ZelSettingTable.cc; the keys it reads besides its row's are the rows
// marked ReadWithAnotherRow.
#ifndef ZELCRAFT_SETTINGS_ZELSETTINGREADS_H_
#define ZELCRAFT_SETTINGS_ZELSETTINGREADS_H_

#include "settings/ZelSettingTable.h"

namespace ZelSettingReads {

// "referenceDateType": "todaysDate" reads the day number of "todaysDate",
// anything else that of "referenceDateForDurations"; a present day number
// the calendar can hold becomes the reference date.
TorCommon_1_3::TorStatus ReferenceDate(const ZelSettingReading& reading, const ZelSettingRow& row);
// "referenceTimeType": "currentTime" reads "currentTime", anything else
// "referenceTimeForDurations"; present seconds become the reference time.
TorCommon_1_3::TorStatus ReferenceTime(const ZelSettingReading& reading, const ZelSettingRow& row);
// "scaleToOrdinalValuesNumThreshold" with "ordinalToScaleCategoriesNumThreshold":
// taken only together, and only with 0 < the first < the second
// (else kBadRecastThresholds).
TorCommon_1_3::TorStatus RecastThresholds(const ZelSettingReading& reading,
                                          const ZelSettingRow& row);
// "scaleFeatureRescalingMethod": one of the row's texts switches rescaling
// on with its method, any other text switches it off.
TorCommon_1_3::TorStatus RescalingMethod(const ZelSettingReading& reading,
                                         const ZelSettingRow& row);
// "minMax_max" with "minMax_min": taken only together, and only with
// max > min (else kBadMinMax).
TorCommon_1_3::TorStatus MinMaxRange(const ZelSettingReading& reading, const ZelSettingRow& row);
// "targetEncodingMinCategories": at least 2, "targetEncodingSmoothing": at
// least 0 and finite (else kBadTargetEncoding).
TorCommon_1_3::TorStatus TargetEncodingMinimum(const ZelSettingReading& reading,
                                               const ZelSettingRow& row);
TorCommon_1_3::TorStatus TargetEncodingSmoothing(const ZelSettingReading& reading,
                                                 const ZelSettingRow& row);
// The frequency weight's index from the host's field list, then
// "analysisWeight": a name of a numeric field (else kBadAnalysisWeight).
TorCommon_1_3::TorStatus Weights(const ZelSettingReading& reading, const ZelSettingRow& row);

}  // namespace ZelSettingReads

#endif  // ZELCRAFT_SETTINGS_ZELSETTINGREADS_H_
