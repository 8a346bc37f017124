#include "ProgramBuilder.h"

#include <algorithm>
#include <utility>

#include "FunctionTable.h"
#include "Numbers.h"

namespace zelapply {

using zelstatus::Status;

namespace {

// Derived fields compiled between two looks at the host's stop check.
constexpr std::size_t kStopEvery = 256;

std::vector<XmlElement> Arguments(XmlElement element) {
  std::vector<XmlElement> arguments = ChildElements(element);
  arguments.erase(std::remove_if(arguments.begin(), arguments.end(),
                                 [](XmlElement e) { return NameOf(e) == "Extension"; }),
                  arguments.end());
  return arguments;
}

}  // namespace

ProgramBuilder::ProgramBuilder(std::vector<std::string> declared, const StopCheck& stop)
    : declared_(std::move(declared)), stop_(stop), program_(new Program) {}

void ProgramBuilder::AddInput(FieldInfo field, MissingDefinition missing) {
  missing.slot = static_cast<uint32_t>(program_->fields_.size());
  if (missing.hasRange || !missing.numbers.empty() || !missing.strings.empty()) {
    program_->missing_.push_back(std::move(missing));
  }
  program_->AddField(std::move(field));
  program_->inputCount_ = program_->fields_.size();
}

void ProgramBuilder::AddDerived(DerivedDefinition derived) {
  derived.field.derived = true;
  program_->AddField(derived.field);
  derived_.push_back(std::move(derived));
}

void ProgramBuilder::MarkOptional(const std::string& name) {
  for (std::size_t i = 0; i < program_->inputCount_; ++i) {
    if (program_->fields_[i].name == name) program_->fields_[i].optional = true;
  }
}

Status ProgramBuilder::Build(std::unique_ptr<Program>* program) {
  Program& p = *program_;
  p.slotCount_ = p.fields_.size();
  p.read_.assign(p.inputCount_, 0);
  for (std::size_t k = 0; k < derived_.size(); ++k) {
    if (stop_ && k % kStopEvery == kStopEvery - 1 && stop_()) return Status::Interrupted();
    const DerivedDefinition& derived = derived_[k];
    if (derived.expression == nullptr) continue;
    const std::size_t index = p.inputCount_ + k;
    visible_ = index;
    uint32_t slot;
    Status status = Compile(derived.expression, derived.field.type, &slot);
    if (!status.ok()) return status;
    Instruction store;
    store.op = Op::kStore;
    store.selector = static_cast<uint8_t>(derived.field.type);
    store.dst = static_cast<uint32_t>(index);
    store.a = slot;
    if (!derived.wholeSource.empty()) {
      const int source = p.Find(derived.wholeSource);
      if (source >= 0 && static_cast<std::size_t>(source) < index) {
        store.b = static_cast<uint32_t>(source);
        if (store.b < p.inputCount_) p.read_[store.b] = 1;
        p.fields_[index].truncated = p.fields_[store.b].type == ValueType::kInteger;
      }
    }
    Emit(store);
  }
  *program = std::move(program_);
  return Status();
}

// The tree's nesting is bounded (DocumentLimits), and with it this recursion.
Status ProgramBuilder::Compile(XmlElement element, ValueType resultType, uint32_t* slot) {
  const std::string_view name = NameOf(element);
  if (name == "FieldRef") return CompileFieldRef(element, "field", slot);
  if (name == "Constant") return CompileConstant(element, slot);
  if (name == "Apply") return CompileApply(element, slot);
  if (name == "NormContinuous") return CompileNormContinuous(element, slot);
  if (name == "MapValues") return CompileMapValues(element, resultType, slot);
  if (name == "Discretize") return CompileDiscretize(element, resultType, slot);
  return ElementError(element, "the engine does not know this element");
}

Status ProgramBuilder::CompileFieldRef(XmlElement element, const char* attribute, uint32_t* slot) {
  std::string name;
  if (!GetAttribute(element, attribute, &name)) {
    return ElementError(element, std::string("the attribute '") + attribute + "' is missing");
  }
  const int found = program_->Find(name);
  if (found >= 0 && static_cast<std::size_t>(found) < visible_) {
    const auto i = static_cast<std::size_t>(found);
    *slot = static_cast<uint32_t>(i);
    if (i < program_->inputCount_) program_->read_[i] = 1;
    return Status();
  }
  return ElementError(element, "field '" + name + "' is not defined before this expression");
}

Status ProgramBuilder::CompileConstant(XmlElement element, uint32_t* slot) {
  const std::string text = TextOf(element);
  Value value;
  std::string dataType;
  if (GetAttribute(element, "dataType", &dataType)) {
    ValueType type;
    if (!ValueTypeOfDataType(dataType, &type)) {
      return ElementError(element, "the engine does not know the dataType '" + dataType + "'");
    }
    if (!ConvertText(text, type, &value)) {
      return ElementError(element, "'" + text + "' is not of dataType " + dataType);
    }
  } else {
    double number;
    if (ParseNumber(text, &number)) {
      value.SetReal(number);
    } else {
      value.SetText(text);
    }
  }
  *slot = NewSlot();
  program_->constants_.emplace_back(*slot, std::move(value));
  return Status();
}

Status ProgramBuilder::CompileApply(XmlElement element, uint32_t* slot) {
  std::string name;
  if (!GetAttribute(element, "function", &name)) {
    return ElementError(element, "the attribute 'function' is missing");
  }
  const FunctionEntry* function = FindFunction(name);
  if (function == nullptr) return ElementError(element, "unknown function '" + name + "'");
  if (function->own && std::find(declared_.begin(), declared_.end(), name) == declared_.end()) {
    return ElementError(element, "function '" + name + "' is not declared by a DefineFunction");
  }
  const std::vector<XmlElement> arguments = Arguments(element);
  if (static_cast<int>(arguments.size()) != function->arity) {
    return ElementError(element, "function '" + name + "' takes " +
                                     std::to_string(function->arity) + " arguments, not " +
                                     std::to_string(arguments.size()));
  }
  Instruction instruction;
  instruction.op = function->op;
  instruction.selector = function->selector;
  instruction.parameter = function->divisor;
  std::vector<uint32_t> slots;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (function->op == Op::kOutlier && i == 1) {
      // The treatment method is part of the rule, not a value of the row.
      const std::string method = TextOf(arguments[i]);
      if (NameOf(arguments[i]) != "Constant" ||
          (method != "asExtremeValues" && method != "asMissingValues")) {
        return ElementError(arguments[i],
                            "the outlier treatment must be the constant asExtremeValues or "
                            "asMissingValues");
      }
      instruction.selector = method == "asExtremeValues" ? 0 : 1;
      continue;
    }
    uint32_t argument;
    Status status = Compile(arguments[i], ValueType::kUndefined, &argument);
    if (!status.ok()) return status;
    slots.push_back(argument);
  }
  instruction.a = slots[0];
  if (function->op == Op::kOutlier) {
    instruction.extra = static_cast<uint32_t>(program_->arguments_.size());
    program_->arguments_.insert(program_->arguments_.end(), slots.begin() + 1, slots.end());
  } else if (slots.size() > 1) {
    instruction.b = slots[1];
  }
  instruction.dst = *slot = NewSlot();
  Emit(instruction);
  return Status();
}

}  // namespace zelapply
