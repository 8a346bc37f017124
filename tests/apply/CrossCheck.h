// The cross-check harness: a data set generated record by record, built by
// the component with given settings; then the document it wrote is replayed
// by the engine on every record the build used, and each derived value is
// compared with the value the component's own rule computed: whole numbers
// and texts exactly, reals within 1e-12 relative (the document carries its
// constants with 15 significant digits).
#ifndef ZELCRAFT_TESTS_APPLY_CROSSCHECK_H_
#define ZELCRAFT_TESTS_APPLY_CROSSCHECK_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "settings/ZelVariableHandleList.h"
#include "support/TestHost.h"
#include "torcommon13r/RawRecord.h"
#include "torcommon13r/TorSettings.h"
#include "torcommon13r/TorVarList.h"

namespace crosscheck {

using namespace TorCommon_1_3;

inline RawData Int(int64_t v) {
  RawData d;
  d.SetInteger(v);
  return d;
}
inline RawData Real(double v, int storage = kStorageReal) {
  RawData d;
  d.SetDouble(v, storage);
  return d;
}
inline RawData Text(const std::string& v) {
  RawData d;
  d.SetString(v);
  return d;
}
// A missing value keeps its field's storage, as a host hands it over.
inline RawData Missing(int storage) {
  RawData d;
  d.SetMissingValue(storage);
  return d;
}

struct Case {
  const char* name;
  std::function<void(TorVarList*)> fields;
  // Record i of the data set; `random` is seeded per case.
  std::function<std::vector<RawData>(int i, std::mt19937_64& random)> record;
  int records;
  std::function<TorSettings()> settings;
  std::set<uint32_t> actions;  // the rule actions the case must exercise
  // What else the data set must produce to keep exercising its rules (an
  // exponent of exactly 0, several bins); optional.
  std::function<void(const ZelVariableHandleList&)> expect = nullptr;
};

inline double Uniform(std::mt19937_64& random, double low, double high) {
  return std::uniform_real_distribution<double>(low, high)(random);
}
inline bool Chance(std::mt19937_64& random, double p) { return Uniform(random, 0, 1) < p; }
inline int64_t Between(std::mt19937_64& random, int64_t low, int64_t high) {
  return std::uniform_int_distribution<int64_t>(low, high)(random);
}

inline double Normal(std::mt19937_64& random, double mean, double sd) {
  return std::normal_distribution<double>(mean, sd)(random);
}

// The derived fields whose rule has the action.
inline std::vector<const ZelVariableHandleInfo*> DerivedBy(const ZelVariableHandleList& fields,
                                                           uint32_t action) {
  std::vector<const ZelVariableHandleInfo*> found;
  for (int i = 0; i < fields.Count(); ++i) {
    const ZelVariableHandleInfo* field = fields.GetHandle(i);
    if (field->IsDerived() && field->GetRule()->GetPair().action == action) found.push_back(field);
  }
  return found;
}

template <typename Rule>
const Rule* RuleOf(const ZelVariableHandleList& fields, uint32_t action) {
  const auto found = DerivedBy(fields, action);
  EXPECT_EQ(found.size(), 1u) << "fields derived by action " << action;
  return found.empty() ? nullptr : dynamic_cast<const Rule*>(found.front()->GetRule());
}

// The early steps plus the settings named.
inline TorSettings With(std::initializer_list<const char*> on,
                 std::initializer_list<std::pair<const char*, double>> numbers = {}) {
  TorSettings s = testhost::EarlyStepsOnly();
  for (const char* key : on) s.SetBool(key, true);
  for (const auto& number : numbers) s.SetDouble(number.first, number.second);
  return s;
}

// Runs one case; returns the rule actions it compared.
std::set<uint32_t> CrossCheck(const Case& c);

}  // namespace crosscheck

#endif  // ZELCRAFT_TESTS_APPLY_CROSSCHECK_H_
