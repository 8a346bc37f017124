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
inline Value Text(const std::string& v) {
  Value value;
  value.SetText(v);
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

// shift + exp(ln(1 + lambda * (m + (T - mu) * (s / sigma))) / lambda), or for
// lambda 0 shift + exp(m + (T - mu) * (s / sigma)).
inline std::string Inverse(const std::string& field, double shift, double lambda, double m,
                           double s, double sigma, double mu) {
  auto constant = [](double v) {
    return "<Constant dataType=\"double\">" + std::to_string(v) + "</Constant>";
  };
  const std::string scaled = "<Apply function=\"+\">" + constant(m) +
                             "<Apply function=\"*\"><Apply function=\"-\"><FieldRef field=\"" +
                             field + "\"/>" + constant(mu) + "</Apply><Apply function=\"/\">" +
                             constant(s) + constant(sigma) + "</Apply></Apply></Apply>";
  const std::string power =
      lambda == 0 ? scaled
                  : "<Apply function=\"/\"><Apply function=\"ln\"><Apply function=\"+\">"
                    "<Constant dataType=\"double\">1</Constant><Apply function=\"*\">" +
                        constant(lambda) + scaled + "</Apply></Apply></Apply>" + constant(lambda) +
                        "</Apply>";
  return "<Apply function=\"+\">" + constant(shift) + "<Apply function=\"exp\">" + power +
         "</Apply></Apply>";
}

// A continuous target y, its Box-Cox rescale y_t and the target inverse,
// as the document writer forms them.
inline std::string BoxCoxTargetDoc(const char* lambda, double shift, double m, double s,
                                   double sigma, double mu) {
  const std::string forward = Continuous("y_t", Linear(std::to_string(sigma), std::to_string(s),
                                                       BoxCox("y", std::to_string(shift), lambda),
                                                       std::to_string(m), std::to_string(mu)));
  const std::string inverse =
      "<Extension extender=\"zelcraft.dev\"><Zelcraft><TargetInverse>"
      "<DerivedField name=\"y_t_inverse\" optype=\"continuous\" dataType=\"double\">" +
      Inverse("y_t", shift, std::stod(lambda), m, s, sigma, mu) +
      "</DerivedField></TargetInverse></Zelcraft></Extension>";
  return Doc("<DataField name=\"y\" optype=\"continuous\" dataType=\"double\"/>", forward, inverse);
}

class Replay {
 public:
  explicit Replay(const std::string& text) {
    const zelapply::Status status = zelapply::CompileDocument(text, &document_);
    EXPECT_TRUE(status.ok()) << status.message();
    if (document_.program) frame_ = document_.program->NewFrame();
  }
  bool ok() const { return document_.program != nullptr; }
  const zelapply::CompiledDocument& document() const { return document_; }

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
