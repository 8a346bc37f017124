#include "preparation/MemoryEstimate.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <type_traits>

#include "frame/ZelFactory.h"
#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelFactory;

namespace zelprep {

using namespace TorCommon_1_3;

namespace {

// Measured on wide tables of one kind each and rounded up: a field takes
// about 20 kB in a build on one thread (its handles and statistics, the
// 400-bin histogram of a continuous one, its part of the document tree),
// 14 kB of it again in each further replica; a category kept takes about
// 100 bytes, a cell of its table against the target's categories 24. A
// pair of the pairwise statistic holds its moments, three matrix cells and
// the copies its pass state is merged through: about 240 bytes, 40 more
// in each further replica.
constexpr uint64_t kFieldBytes = 20000;
constexpr uint64_t kReplicaFieldBytes = 14000;
constexpr uint64_t kCategoryBytes = 100;
constexpr uint64_t kTargetCellBytes = 24;
constexpr uint64_t kPairBytes = 240;
constexpr uint64_t kReplicaPairBytes = 40;

// A setting as the build will read it: given, or the catalogue's default.
template <typename T>
T Setting(const TorSettings& settings, const std::string& key, T fallback) {
  T value;
  if (settings.GetSettingValByName(key, value)) return value;
  for (const ZelSettingKey& known : ZelFactory::GetSettingKeys()) {
    if (known.name != key) continue;
    if constexpr (std::is_same_v<T, bool>) return known.defaultValue == "true";
    if constexpr (std::is_same_v<T, int>) return std::atoi(known.defaultValue.c_str());
  }
  return fallback;
}

bool IsContinuous(const ITorVariable& field) {
  const int level = field.GetMeasureLevel();
  return level == kLevelContinuous || level == kLevelContinuousOther;
}

}  // namespace

MemoryEstimate EstimateBuildMemory(const TorSettings& settings, const TorVarList& fields,
                                   std::size_t workers, int64_t records) {
  const auto maxCategories =
      static_cast<uint64_t>(std::max(0, Setting(settings, "maxNOfUniqueCategories", 100)));
  const bool construction = Setting(settings, "featureConstruction", true);
  const bool recast = Setting(settings, "checkFeatureMeasureLevel", true) &&
                      records < Setting(settings, "scaleToOrdinalValuesNumThreshold", 5);
  const uint64_t replicas = std::max<std::size_t>(workers, 1);

  const ITorVariable* target = nullptr;
  for (int i = 0; i < fields.Size(); ++i) {
    if (fields.GetVarAt(i)->GetVariableRole() == kRoleTarget) target = fields.GetVarAt(i);
  }
  const uint64_t targetCategories =
      target != nullptr && !IsContinuous(*target)
          ? std::min<uint64_t>(std::max(target->GetNumberOfCategories(), 1), maxCategories + 1)
          : 0;

  MemoryEstimate estimate;
  estimate.fields = static_cast<std::size_t>(fields.Size());
  uint64_t perReplica = 0;
  for (int i = 0; i < fields.Size(); ++i) {
    const ITorVariable& field = *fields.GetVarAt(i);
    perReplica += kReplicaFieldBytes;
    if (IsContinuous(field)) {
      if (&field == target || !recast) ++estimate.pairedFields;
      perReplica += targetCategories * kTargetCellBytes;
    } else {
      const uint64_t kept = std::min<uint64_t>(
          static_cast<uint64_t>(std::max(field.GetNumberOfCategories(), 0)), maxCategories + 1);
      perReplica += kept * (kCategoryBytes + targetCategories * kTargetCellBytes);
    }
  }
  estimate.fieldBytes = perReplica * replicas +
                        (kFieldBytes - kReplicaFieldBytes) * static_cast<uint64_t>(estimate.fields);
  const bool paired = target != nullptr ? IsContinuous(*target) : construction;
  if (!paired) estimate.pairedFields = 0;
  const auto m = static_cast<uint64_t>(estimate.pairedFields);
  estimate.pairBytes = m * (m + 1) / 2 * (kPairBytes + (replicas - 1) * kReplicaPairBytes);
  return estimate;
}

std::string DescribeBytes(uint64_t bytes) {
  const char* units[] = {"bytes", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
  double value = static_cast<double>(bytes);
  std::size_t unit = 0;
  while (value >= 1024.0 && unit + 1 < sizeof units / sizeof units[0]) {
    value /= 1024.0;
    ++unit;
  }
  char text[32];
  if (unit == 0) {
    std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
  } else {
    std::snprintf(text, sizeof text, value < 10.0 ? "%.1f %s" : "%.0f %s", value, units[unit]);
  }
  return text;
}

}  // namespace zelprep
