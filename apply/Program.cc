#include "Program.h"

#include <algorithm>
#include <cmath>

#include "CrossFit.h"
#include "Functions.h"
#include "Numbers.h"

namespace zelapply {

int Program::Find(const std::string& name) const {
  const auto found = index_.find(name);
  return found != index_.end() ? found->second : -1;
}

void Program::AddField(FieldInfo field) {
  index_.emplace(field.name, static_cast<int>(fields_.size()));
  fields_.push_back(std::move(field));
}

void Program::MarkSources(std::vector<bool>* needed, std::vector<uint32_t>* taken) const {
  // Instructions run in dependency order: walked backwards, each one that
  // writes a needed slot makes the slots it reads needed.
  std::vector<bool>& marks = *needed;
  for (std::size_t k = code_.size(); k-- > 0;) {
    const Instruction& in = code_[k];
    if (!marks[in.dst]) continue;
    if (taken != nullptr) taken->push_back(static_cast<uint32_t>(k));
    marks[in.a] = true;
    if (in.b != kNoSlot) marks[in.b] = true;
    if (in.op == Op::kOutlier) {
      for (std::size_t j = 0; j < 4; ++j) marks[arguments_[in.extra + j]] = true;
    }
  }
  if (taken != nullptr) std::reverse(taken->begin(), taken->end());
}

std::vector<bool> Program::NeededInputs(bool allDerived) const {
  std::vector<bool> needed(slotCount_, false);
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    needed[i] = fields_[i].enabled || (allDerived && fields_[i].derived);
  }
  MarkSources(&needed, nullptr);
  needed.resize(inputCount_);
  return needed;
}

ProgramSlice Program::SliceFor(const std::vector<uint32_t>& slots) const {
  std::vector<bool> needed(slotCount_, false);
  for (uint32_t slot : slots) needed[slot] = true;
  ProgramSlice slice;
  MarkSources(&needed, &slice.instructions);
  needed.resize(inputCount_);
  slice.inputs = std::move(needed);
  return slice;
}

Frame Program::NewFrame() const {
  Frame frame;
  frame.slots_.resize(slotCount_);
  for (std::size_t i = 0; i < fields_.size(); ++i) frame.slots_[i].SetMissing(fields_[i].type);
  for (const auto& constant : constants_) frame.slots_[constant.first] = constant.second;
  return frame;
}

bool Program::IsUserMissing(const Value& value, const MissingDefinition& missing) const {
  if (value.type == ValueType::kString) {
    for (const std::string& text : missing.strings) {
      if (text == value.text) return true;
    }
    return false;
  }
  const auto matches = [&missing](double x) {
    if (missing.hasRange && missing.low <= x && x <= missing.high) return true;
    for (double number : missing.numbers) {
      if (number == x) return true;
    }
    return false;
  };
  const double x = value.AsDouble();
  if (matches(x)) return true;
  // The document writes user-missing values and bounds to 15 significant
  // digits: a value that needs more meets them only in that form.
  bool near = missing.hasRange &&
              (MayBeWrittenAlike(x, missing.low) || MayBeWrittenAlike(x, missing.high));
  for (double number : missing.numbers) near = near || MayBeWrittenAlike(x, number);
  return near && matches(AsWritten(x));
}

void Program::MarkUserMissing(const std::vector<bool>* inputs, Frame* frame) const {
  for (const MissingDefinition& missing : missing_) {
    if (inputs != nullptr && (missing.slot >= inputs->size() || !(*inputs)[missing.slot])) {
      continue;
    }
    Value& value = (*frame)[missing.slot];
    if (!value.missing && IsUserMissing(value, missing)) value.missing = true;
  }
}

void Program::Evaluate(Frame* frame) const {
  MarkUserMissing(nullptr, frame);
  for (const Instruction& instruction : code_) Execute(instruction, frame);
}

void Program::Evaluate(const ProgramSlice& slice, Frame* frame) const {
  MarkUserMissing(&slice.inputs, frame);
  for (uint32_t k : slice.instructions) Execute(code_[k], frame);
}

void Program::Execute(const Instruction& in, Frame* frame) const {
  Value& out = (*frame)[in.dst];
  const Value& a = (*frame)[in.a];
  switch (in.op) {
    case Op::kStore: {
      const auto type = static_cast<ValueType>(in.selector);
      if (!a.missing && a.type == ValueType::kString && type != ValueType::kString &&
          type != ValueType::kUndefined) {
        if (!ConvertText(a.text, type, &out)) out.SetMissing(type);
      } else {
        out.Assign(a);
      }
      // A result that is not a finite number is missing (an overflowing
      // rescale), as is every computation's.
      if (!out.missing && out.type != ValueType::kInteger && out.IsNumeric() &&
          !std::isfinite(out.real)) {
        out.SetMissing(out.type);
        return;
      }
      // A rescaled target whose source value is not a real number stays
      // whole, truncated toward zero, as in the build.
      if (in.b != kNoSlot && !out.missing && out.type == ValueType::kReal &&
          (*frame)[in.b].type != ValueType::kReal && std::fabs(out.real) < 9.2e18) {
        out.SetInteger(static_cast<int64_t>(out.real));
      }
      return;
    }
    case Op::kAdd:
    case Op::kSubtract:
    case Op::kMultiply:
    case Op::kDivide:
    case Op::kPow:
    case Op::kLn:
    case Op::kExp:
    case Op::kAbs:
    case Op::kMax:
    case Op::kThreshold:
    case Op::kFloor:
      Arithmetic(in.op, a, in.b == kNoSlot ? a : (*frame)[in.b], &out);
      return;
    case Op::kTrimEnd:
      TrimEnd(a, &out);
      return;
    case Op::kDateDifference:
      DateDifference(a, (*frame)[in.b], in.parameter, &out);
      return;
    case Op::kDatePart:
      DatePart(a, in.selector, &out);
      return;
    case Op::kTimeDifference:
      TimeDifference(a, (*frame)[in.b], in.parameter, &out);
      return;
    case Op::kTimePart:
      TimePart(a, in.selector, &out);
      return;
    case Op::kCopy:
      out.Assign(a);
      return;
    case Op::kOutlier: {
      const uint32_t* args = &arguments_[in.extra];
      OutlierHandle(a, (*frame)[args[0]], (*frame)[args[1]], (*frame)[args[2]], (*frame)[args[3]],
                    in.selector, &out);
      return;
    }
    case Op::kNormContinuous:
      norms_[in.extra].Apply(a, &out);
      return;
    case Op::kMapValues: {
      const MapTable& table = maps_[in.extra];
      if (table.crossFit >= 0 && frame->fit_ != nullptr) {
        const Value* found = a.missing ? nullptr : table.Find(a);
        const int row = found != nullptr ? static_cast<int>(found - table.outputs.data()) : -1;
        out.SetReal(frame->fit_->Mean(static_cast<std::size_t>(table.crossFit), frame->row_, row));
        return;
      }
      table.Apply(a, &out);
      return;
    }
    case Op::kDiscretize:
      bins_[in.extra].Apply(a, &out);
      return;
  }
}

}  // namespace zelapply
