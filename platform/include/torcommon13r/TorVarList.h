// TorVarList: the host's ordered list of fields. It owns its variables and
// copies them deeply; it also carries the index of the frequency weight field.
#ifndef TORCOMMON13R_TORVARLIST_H_
#define TORCOMMON13R_TORVARLIST_H_

#include <memory>
#include <string>
#include <vector>

#include "torcommon13r/TorVariable.h"

namespace TorCommon_1_3 {

class TorVarList {
 public:
  TorVarList() = default;
  TorVarList(const TorVarList& other);
  TorVarList& operator=(const TorVarList& other);
  TorVarList(TorVarList&&) = default;
  TorVarList& operator=(TorVarList&&) = default;

  // Takes ownership; returns the new field's index.
  int AddVariable(ITorVariable* variable);
  int Size() const { return static_cast<int>(variables_.size()); }
  // Null when i is out of range.
  const ITorVariable* GetVarAt(int i) const;
  ITorVariable* GetVarAt(int i);
  // Index of the field with that exact name, -1 when none.
  int FindVariable(const std::string& name) const;

  int GetFrequencyWeightIndex() const { return frequencyWeightIndex_; }
  void SetFrequencyWeightIndex(int index) { frequencyWeightIndex_ = index; }

 private:
  std::vector<std::unique_ptr<ITorVariable>> variables_;
  int frequencyWeightIndex_ = -1;
};

}  // namespace TorCommon_1_3

#endif  // TORCOMMON13R_TORVARLIST_H_
