// ProgramBuilder: compiles the expressions of a document into a Program.
// Inputs are declared first, then the derived fields in document order; an
// expression may refer to the inputs and to the derived fields before its
// own. Every element the engine does not know, and every reference it
// cannot resolve, is an error naming the element and its line.
#ifndef ZELCRAFT_APPLY_PROGRAMBUILDER_H_
#define ZELCRAFT_APPLY_PROGRAMBUILDER_H_

#include <memory>
#include <string>
#include <vector>

#include "Program.h"
#include "StopCheck.h"
#include "status/Status.h"
#include "XmlTree.h"

namespace zelapply {

struct DerivedDefinition {
  FieldInfo field;
  XmlElement expression = nullptr;  // null: the field has no expression and stays missing
  // A rescaled target: the source field whose values, when not real
  // numbers, keep the result whole.
  std::string wholeSource;
};

class ProgramBuilder {
 public:
  // `declared`: the functions the document declares with DefineFunction;
  // `stop` is asked now and then while Build compiles.
  ProgramBuilder(std::vector<std::string> declared, const StopCheck& stop);

  // `missing` applies to the input's values before any expression reads them.
  void AddInput(FieldInfo field, MissingDefinition missing = MissingDefinition());
  void AddDerived(DerivedDefinition derived);
  // The input of that name is a target or weight (FieldInfo::optional).
  void MarkOptional(const std::string& name);
  zelstatus::Status Build(std::unique_ptr<Program>* program);

 private:
  zelstatus::Status Compile(XmlElement element, ValueType resultType, uint32_t* slot);
  zelstatus::Status CompileFieldRef(XmlElement element, const char* attribute, uint32_t* slot);
  zelstatus::Status CompileConstant(XmlElement element, uint32_t* slot);
  zelstatus::Status CompileApply(XmlElement element, uint32_t* slot);
  zelstatus::Status CompileNormContinuous(XmlElement element, uint32_t* slot);
  zelstatus::Status CompileMapValues(XmlElement element, ValueType resultType, uint32_t* slot);
  // The "CrossFitting" element of a MapValues' extension "crossFitting".
  zelstatus::Status ReadCrossFit(XmlElement extension, CrossFitSpec* spec);
  zelstatus::Status CompileDiscretize(XmlElement element, ValueType resultType, uint32_t* slot);
  // The type table outputs are read as: the element's own dataType, else
  // the derived field's.
  zelstatus::Status OutputType(XmlElement element, ValueType resultType, ValueType* type);
  zelstatus::Status ReadOutput(XmlElement element, const std::string& text, ValueType type,
                               Value* value);
  // The outputs for a missing input and for an unmatched one.
  zelstatus::Status ReadTableOutputs(XmlElement element, TableOutputs* table);
  uint32_t NewSlot() { return static_cast<uint32_t>(program_->slotCount_++); }
  void Emit(const Instruction& instruction) { program_->code_.push_back(instruction); }
  // Keeps the instruction's table in the program and emits it into a new slot.
  template <typename Table>
  void EmitWithTable(Instruction* instruction, std::vector<Table>* tables, Table table,
                     uint32_t* slot) {
    instruction->extra = static_cast<uint32_t>(tables->size());
    tables->push_back(std::move(table));
    instruction->dst = *slot = NewSlot();
    Emit(*instruction);
  }

  std::vector<std::string> declared_;
  const StopCheck& stop_;
  std::unique_ptr<Program> program_;
  std::vector<MissingDefinition> missing_;
  std::vector<DerivedDefinition> derived_;
  std::size_t visible_ = 0;  // fields the expression being compiled may use
};

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_PROGRAMBUILDER_H_
