// ZelSettingsReader: fills a ZelSettings from the host's settings container,
// key group by key group, stopping at the first invalid value. Used only by
// ZelFactory::CreateTorAlgorithm.
#ifndef ZELCRAFT_SETTINGS_ZELSETTINGSREADER_H_
#define ZELCRAFT_SETTINGS_ZELSETTINGSREADER_H_

#include <vector>

#include "torcommon13r/TorSettings.h"
#include "torcommon13r/TorVarList.h"
#include "settings/ZelSettings.h"

class ZelSettingsReader {
 public:
  // Nothing is owned; `warnings` is the factory's list.
  ZelSettingsReader(const TorCommon_1_3::TorSettings* settings,
                    const TorCommon_1_3::TorVarList* variables, ZelSettings* target,
                    std::vector<TorCommon_1_3::TorStatus>* warnings);

  // Empties the warning list, then reads and validates every key. Absent keys
  // (and keys stored with another type) keep the member's current value.
  TorCommon_1_3::TorStatus Read();

 private:
  // The key groups, in reading order.
  void ReadTextAndCategories();
  void ReadDateAndTime();
  void ReadScreening();
  void ReadMeasureLevel();
  void ReadOutliers();
  void ReadMissingValues();
  void ReadTarget();
  void ReadModelling();
  void ReadSuffixes();
  void ReadWeights();
  void ReadExtensions();

  void ReadReferenceDate();
  void ReadReferenceTime();
  void ReadSkewness();
  void ReadTargetEncoding();
  void ReadRescaling();

  // True, with `out` written, when the key is present with type T.
  template <typename T>
  bool Get(const char* key, T& out) const {
    return settings_ != nullptr && settings_->GetSettingValByName(key, out);
  }
  // Percentages arrive in percent and are kept as fractions.
  void GetPercent(const char* key, double& fraction) const;
  // A present value must be > 0 (else kNonPositiveSD), or in (0, 1] (else
  // kBadPValue).
  void GetPositive(const char* key, double& member);
  void GetPValue(const char* key, double& member);
  void Fail(int code);

  const TorCommon_1_3::TorSettings* settings_;
  const TorCommon_1_3::TorVarList* variables_;
  ZelSettings* target_;
  TorCommon_1_3::TorStatus status_;
  std::vector<TorCommon_1_3::TorStatus>* warnings_;
};

#endif  // ZELCRAFT_SETTINGS_ZELSETTINGSREADER_H_
