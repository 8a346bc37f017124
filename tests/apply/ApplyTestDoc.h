// Shared by the engine tests: a small document from its parts, and a replay
// of it that sets inputs and reads fields by name.
#ifndef ZELCRAFT_TESTS_APPLY_APPLYTESTDOC_H_
#define ZELCRAFT_TESTS_APPLY_APPLYTESTDOC_H_

#include <gtest/gtest.h>

#include <charconv>
#include <string>

#include "apply/Document.h"

namespace applytest {

using zelapply::Value;
using zelapply::ValueType;

inline std::string Doc(const std::string& dataFields, const std::string& transformations,
                       const std::string& extension = "") {
  return "<?xml version=\"1.0\"?>\n<PMML version=\"4.0\" xmlns=\"http://www.dmg.org/PMML-4_0\">\n"
         "<DataDictionary>" +
         dataFields + "</DataDictionary>\n<TransformationDictionary>" + transformations +
         "</TransformationDictionary>" + extension + "</PMML>\n";
}

inline Value Number(double v) {
  Value value;
  value.SetReal(v);
  return value;
}
inline Value Whole(int64_t v) {
  Value value;
  value.SetInteger(v);
  return value;
}
inline Value Missing(ValueType type) {
  Value value;
  value.SetMissing(type);
  return value;
}

// (a / b) * (Y - c) + d, as the writer nests it.
inline std::string Linear(const std::string& a, const std::string& b, const std::string& y,
                          const std::string& c, const std::string& d) {
  return "<Apply function=\"+\"><Apply function=\"*\"><Apply function=\"/\"><Constant>" + a +
         "</Constant><Constant>" + b + "</Constant></Apply><Apply function=\"-\">" + y +
         "<Constant>" + c + "</Constant></Apply></Apply><Constant>" + d + "</Constant></Apply>";
}

inline std::string BoxCox(const std::string& field, const std::string& shift,
                          const std::string& lambda) {
  const std::string shifted = "<Apply function=\"-\"><FieldRef field=\"" + field +
                              "\"/><Constant>" + shift + "</Constant></Apply>";
  if (lambda == "0") return "<Apply function=\"ln\">" + shifted + "</Apply>";
  return "<Apply function=\"/\"><Apply function=\"-\"><Apply function=\"pow\">" + shifted +
         "<Constant>" + lambda + "</Constant></Apply><Constant>1</Constant></Apply><Constant>" +
         lambda + "</Constant></Apply>";
}

inline std::string Continuous(const std::string& name, const std::string& expression,
                              const std::string& extension = "") {
  return "<DerivedField name=\"" + name + "\" optype=\"continuous\" dataType=\"double\">" +
         extension + expression + "</DerivedField>";
}

class Replay {
 public:
  explicit Replay(const std::string& text) {
    const zelstatus::Status status = zelapply::CompileDocument(text, &document_);
    EXPECT_TRUE(status.ok()) << status.message();
    if (document_.program) frame_ = document_.program->NewFrame();
  }
  bool ok() const { return document_.program != nullptr; }

  Replay& Set(const std::string& field, const Value& value) {
    frame_[Index(field)] = value;
    return *this;
  }
  // Evaluates the row and returns the field's value.
  const Value& Get(const std::string& field) {
    document_.program->Evaluate(&frame_);
    return frame_[Index(field)];
  }

 private:
  std::size_t Index(const std::string& field) const {
    const int index = document_.program->Find(field);
    EXPECT_GE(index, 0) << field;
    return static_cast<std::size_t>(index < 0 ? 0 : index);
  }

  zelapply::CompiledDocument document_;
  zelapply::Frame frame_;
};

// "missing", "'text'", "7 (whole)" or the real number in its shortest form.
inline std::string Show(const Value& v) {
  if (v.missing) return "missing";
  if (v.type == ValueType::kString) return "'" + v.text + "'";
  if (v.type == ValueType::kInteger) return std::to_string(v.integer) + " (whole)";
  char text[40];
  return std::string(text, std::to_chars(text, text + sizeof text, v.real).ptr);
}

}  // namespace applytest

#endif  // ZELCRAFT_TESTS_APPLY_APPLYTESTDOC_H_
