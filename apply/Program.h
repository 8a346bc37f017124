// Program: a preparation document compiled for replay. The fields of the
// document (inputs first, then derived fields in document order) and every
// constant and intermediate result have a slot in a Frame; each derived
// field's expression is a run of flat instructions over those slots, so
// evaluating a row walks no XML and allocates nothing once the frame's text
// buffers have grown.
#ifndef ZELCRAFT_APPLY_PROGRAM_H_
#define ZELCRAFT_APPLY_PROGRAM_H_

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Instruction.h"
#include "Value.h"

namespace zelapply {

// A field's `Value` element: its value, label and property ("valid",
// "missing", ...).
struct FieldValue {
  std::string value;
  std::string displayValue;
  std::string property;
};

struct FieldInfo {
  std::string name;
  std::string displayName;
  std::string optype;                      // empty when the document gives none
  ValueType type = ValueType::kUndefined;  // undefined when there is no dataType
  bool derived = false;
  bool enabled = true;  // the "UsageType" of the field's extension
  bool target = false;  // its "ClassOfField" is the target or the transformed target
  // A rescaled target computed from whole numbers, and so truncated to them.
  bool truncated = false;
  // A target or weight: data replayed at prediction time may lack it, and
  // what is computed from it is then missing.
  bool optional = false;
  std::vector<FieldValue> values;
};

class CrossFit;

// The part of a program that computes some of its slots: the instructions,
// in program order, and the inputs they read. A host that needs a few
// fields evaluates only those (Program::Evaluate with a slice).
struct ProgramSlice {
  std::vector<uint32_t> instructions;  // indices into the program's code
  std::vector<bool> inputs;            // per input: read by the slice
};

// The values of one row: field i is slot i.
class Frame {
 public:
  Value& operator[](std::size_t slot) { return slots_[slot]; }
  const Value& operator[](std::size_t slot) const { return slots_[slot]; }
  // Cross-fitted tables give the values `fit` holds for training row `row`
  // (numbered from 0 in the order the host read the rows); null, the
  // default, gives the document's values.
  void SetTrainingRow(const CrossFit* fit, std::size_t row) {
    fit_ = fit;
    row_ = row;
  }

 private:
  friend class Program;
  std::vector<Value> slots_;
  const CrossFit* fit_ = nullptr;
  std::size_t row_ = 0;
};

class Program {
 public:
  const std::vector<FieldInfo>& fields() const { return fields_; }
  // Inputs are the first fields; the caller sets their values.
  std::size_t inputCount() const { return inputCount_; }
  // The index of the field with that name, or -1.
  int Find(const std::string& name) const;
  // True when some expression reads input `i`.
  bool IsRead(std::size_t i) const { return read_[i] != 0; }
  // For each input, whether the fields a replay shows (those marked
  // "enable", and with `allDerived` every derived field) depend on it: an
  // input whose values reach no shown field need not be given.
  std::vector<bool> NeededInputs(bool allDerived) const;
  // What computing `slots` takes; an input among them is read as it is.
  ProgramSlice SliceFor(const std::vector<uint32_t>& slots) const;

  // The MapValues tables that carry a "crossFitting" extension, in document
  // order, with their specifications.
  const std::vector<CrossFitSpec>& crossFits() const { return crossFits_; }
  // The table of cross-fitted table k.
  const MapTable& crossFitTable(std::size_t k) const { return maps_[crossFitMaps_[k]]; }

  // A frame with the constants in place and every field missing.
  Frame NewFrame() const;
  // Marks user-missing inputs missing, then computes every derived field.
  void Evaluate(Frame* frame) const;
  // The same for the slice's slots alone; every other computed slot keeps
  // what it held.
  void Evaluate(const ProgramSlice& slice, Frame* frame) const;

 private:
  friend class ProgramBuilder;

  // Appends the field; the first field of a name is the one Find gives.
  void AddField(FieldInfo field);
  // Marks, walking the code backwards from the slots `needed` holds, every
  // slot a needed one is computed from; `taken` (optional) gets the
  // instructions that write a needed slot, in program order.
  void MarkSources(std::vector<bool>* needed, std::vector<uint32_t>* taken) const;
  void MarkUserMissing(const std::vector<bool>* inputs, Frame* frame) const;
  void Execute(const Instruction& instruction, Frame* frame) const;
  bool IsUserMissing(const Value& value, const MissingDefinition& missing) const;

  std::vector<FieldInfo> fields_;
  std::unordered_map<std::string, int> index_;  // field name -> its first index
  std::size_t inputCount_ = 0;
  std::vector<char> read_;
  std::vector<std::pair<uint32_t, Value>> constants_;  // slot and value
  std::size_t slotCount_ = 0;
  std::vector<MissingDefinition> missing_;  // user-missing definitions of inputs
  std::vector<Instruction> code_;
  std::vector<uint32_t> arguments_;  // argument slots of multi-argument operations
  std::vector<NormTable> norms_;
  std::vector<MapTable> maps_;
  std::vector<BinTable> bins_;
  std::vector<CrossFitSpec> crossFits_;
  std::vector<std::size_t> crossFitMaps_;  // index into maps_ of each
};

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_PROGRAM_H_
