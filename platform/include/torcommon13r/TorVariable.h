// ITorVariable and its two kinds: the host's description of one field (name,
// label, role, storage, measurement level, encoder). TorContVar is a
// continuous field, TorCatVar a categorical one (numeric or string values,
// nominal or ordinal).
#ifndef TORCOMMON13R_TORVARIABLE_H_
#define TORCOMMON13R_TORVARIABLE_H_

#include <cstdint>
#include <ostream>
#include <string>

#include "torcommon13r/RawRecord.h"  // the storage codes
#include "torcommon13r/TorEncoder.h"
#include "torcommon13r/TorStatus.h"

namespace TorCommon_1_3 {

// Measurement levels: 1 and 4 are continuous, 2 categorical with numeric
// values (ordinal when the ordinal flag is set), 3 categorical with string
// values.
enum TorMeasureLevel : int {
  kLevelNone = 0,
  kLevelContinuous = 1,
  kLevelCategorical = 2,
  kLevelCategoricalString = 3,
  kLevelContinuousOther = 4
};

// Roles: 1 and 2 are target roles; 4 is an input.
enum TorRole : int {
  kRoleNone = 0,
  kRoleTarget = 1,
  kRoleDerivedTarget = 2,
  kRoleInput = 4
};

// The storage's display name ("Integer", ...); "unrecognized" for unknown codes.
const char* GetStorageName(int storage);

class ITorVariable {
 public:
  virtual ~ITorVariable();

  virtual int GetMeasureLevel() const = 0;
  virtual void SetMeasureLevel(int level) = 0;
  virtual const std::string& GetVariableName() const = 0;
  virtual void SetVariableName(const std::string& name) = 0;
  virtual const std::string& GetVariableLabel() const = 0;
  virtual void SetVariableLabel(const std::string& label) = 0;
  virtual int GetNumberOfCategories() const = 0;
  virtual int GetVariableRole() const = 0;
  virtual void SetVariableRole(int role) = 0;
  virtual int GetVariableStorage() const = 0;
  virtual void SetVariableStorage(int storage) = 0;
  // The host's replacement for missing values; TorMV::gMissingValue when none.
  virtual double GetMissingValueReplacement() const = 0;
  virtual ITorVariable* Clone() const = 0;
  virtual TorStatus GetVarStatus() const = 0;
  virtual void Display(std::ostream& out) const = 0;
  // Never null.
  virtual const TorEncoder* GetEncoder() const = 0;
  virtual TorEncoder* GetEncoder() = 0;
};

// Shared state of both kinds.
class TorVariableBase : public ITorVariable {
 public:
  TorVariableBase(const std::string& name, const std::string& label, int level, int role,
                  int storage);

  int GetMeasureLevel() const override { return level_; }
  void SetMeasureLevel(int level) override { level_ = level; }
  const std::string& GetVariableName() const override { return name_; }
  void SetVariableName(const std::string& name) override { name_ = name; }
  const std::string& GetVariableLabel() const override { return label_; }
  void SetVariableLabel(const std::string& label) override { label_ = label; }
  int GetNumberOfCategories() const override { return 0; }
  int GetVariableRole() const override { return role_; }
  void SetVariableRole(int role) override { role_ = role; }
  int GetVariableStorage() const override { return storage_; }
  void SetVariableStorage(int storage) override { storage_ = storage; }
  double GetMissingValueReplacement() const override;
  TorStatus GetVarStatus() const override { return TorStatus(); }
  void Display(std::ostream& out) const override;
  const TorEncoder* GetEncoder() const override { return &encoder_; }
  TorEncoder* GetEncoder() override { return &encoder_; }

 private:
  std::string name_;
  std::string label_;
  int level_;
  int role_;
  int storage_;
  TorEncoder encoder_;
};

class TorContVar : public TorVariableBase {
 public:
  // Storage defaults to Real; hosts change it with SetVariableStorage.
  TorContVar(const std::string& name, const std::string& label, int role);
  ITorVariable* Clone() const override { return new TorContVar(*this); }
};

class TorCatVar : public TorVariableBase {
 public:
  // `categories` is the host's category count hint; `level` 2 (numeric
  // values) or 3 (string values); `ordinal` marks ordered categories.
  TorCatVar(const std::string& name, const std::string& label, int categories, int level,
            int role, bool ordinal);
  ITorVariable* Clone() const override { return new TorCatVar(*this); }
  int GetNumberOfCategories() const override { return categories_; }
  bool GetOrdinalFlag() const { return ordinal_; }
  void SetOrdinalFlag(bool ordinal) { ordinal_ = ordinal; }

 private:
  int categories_;
  bool ordinal_;
};

}  // namespace TorCommon_1_3

#endif  // TORCOMMON13R_TORVARIABLE_H_
