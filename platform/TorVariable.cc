// Encoders, field variables and the field list.
#include "torcommon13r/TorVarList.h"
#include "torcommon13r/TorMV.h"

namespace TorCommon_1_3 {

const char* GetStorageName(int storage) {
  switch (storage) {
    case kStorageUndefined: return "Undefined variable storage";
    case kStorageInteger: return "Integer";
    case kStorageReal: return "Real";
    case kStorageString: return "String";
    case kStorageDate: return "Date";
    case kStorageTime: return "Time";
    case kStorageTimestamp: return "Timestamp";
    default: return "unrecognized";
  }
}

void TorEncoder::AddValueLabel(const std::string& valueText, const std::string& label) {
  labeledValues_.push_back(valueText);
  labels_.push_back(label);
}

std::string TorEncoder::GetLabeledValue(std::size_t i) const {
  return i < labeledValues_.size() ? labeledValues_[i] : std::string();
}

void TorEncoder::AddMissingValue(double value, const std::string& label) {
  missingValues_.push_back(value);
  missingValueLabels_.push_back(label);
}

void TorEncoder::AddMissingString(const std::string& value, const std::string& label) {
  missingStrings_.push_back(value);
  missingStringLabels_.push_back(label);
}

std::vector<std::string> TorEncoder::GetMissingLabels() const {
  std::vector<std::string> labels = missingValueLabels_;
  labels.insert(labels.end(), missingStringLabels_.begin(), missingStringLabels_.end());
  return labels;
}

void TorEncoder::SetMissingRange(double low, double high) {
  hasRange_ = true;
  rangeLow_ = low;
  rangeHigh_ = high;
}

bool TorEncoder::GetMissingRange(double& low, double& high) const {
  if (!hasRange_) return false;
  low = rangeLow_;
  high = rangeHigh_;
  return true;
}

bool TorEncoder::IsEmpty() const {
  return labels_.empty() && missingValues_.empty() && missingStrings_.empty() && !hasRange_;
}

ITorVariable::~ITorVariable() = default;

TorVariableBase::TorVariableBase(const std::string& name, const std::string& label, int level,
                                 int role, int storage)
    : name_(name), label_(label), level_(level), role_(role), storage_(storage) {}

double TorVariableBase::GetMissingValueReplacement() const { return TorMV::gMissingValue; }

void TorVariableBase::Display(std::ostream& out) const {
  out << "Variable [" << name_ << "] label [" << label_ << "] level " << level_ << " role "
      << role_ << " storage " << GetStorageName(storage_) << "\n";
}

TorContVar::TorContVar(const std::string& name, const std::string& label, int role)
    : TorVariableBase(name, label, kLevelContinuous, role, kStorageReal) {}

TorCatVar::TorCatVar(const std::string& name, const std::string& label, int categories, int level,
                     int role, bool ordinal)
    : TorVariableBase(name, label, level, role,
                      level == kLevelCategoricalString ? kStorageString : kStorageInteger),
      categories_(categories),
      ordinal_(ordinal) {}

TorVarList::TorVarList(const TorVarList& other) : frequencyWeightIndex_(other.frequencyWeightIndex_) {
  variables_.reserve(other.variables_.size());
  for (const auto& v : other.variables_) variables_.emplace_back(v->Clone());
}

TorVarList& TorVarList::operator=(const TorVarList& other) {
  if (this != &other) {
    TorVarList copy(other);
    *this = std::move(copy);
  }
  return *this;
}

int TorVarList::AddVariable(ITorVariable* variable) {
  variables_.emplace_back(variable);
  return static_cast<int>(variables_.size()) - 1;
}

const ITorVariable* TorVarList::GetVarAt(int i) const {
  return i >= 0 && i < Size() ? variables_[i].get() : nullptr;
}

ITorVariable* TorVarList::GetVarAt(int i) {
  return i >= 0 && i < Size() ? variables_[i].get() : nullptr;
}

int TorVarList::FindVariable(const std::string& name) const {
  for (int i = 0; i < Size(); ++i) {
    if (variables_[i]->GetVariableName() == name) return i;
  }
  return -1;
}

}  // namespace TorCommon_1_3
