// Documents the engine must refuse: each error names the element and its
// line. A damaged document is refused, never a crash.
#include <cstring>

#include "apply/ApplyTestDoc.h"

namespace applytest {
namespace {

const char kField[] = "<DataField name=\"x\" optype=\"continuous\" dataType=\"double\"/>\n";

std::string Derived(const std::string& expression) {
  return "<DerivedField name=\"d\" optype=\"continuous\" dataType=\"double\">\n" + expression +
         "</DerivedField>\n";
}

std::string Error(const std::string& text) {
  zelapply::CompiledDocument document;
  const zelapply::Status status = zelapply::CompileDocument(text, &document);
  EXPECT_EQ(document.program == nullptr, !status.ok());
  return status.message();
}

TEST(DocumentErrorsTest, NamesTheElementAndItsLine) {
  struct Case {
    std::string text;
    const char* message;
  };
  // Line 1 is the XML declaration, 2 the PMML element, 3 the data
  // dictionary with the field, 5 the transformation dictionary with the
  // derived field and 6 its expression.
  const Case cases[] = {
      {"<PMML version=\"4.0\"><DataDictionary>", "line 1: not well-formed XML"},
      {"<?xml version=\"1.0\"?>\n<PMML version=\"4.1\" xmlns=\"http://www.dmg.org/PMML-4_1\">"
       "<DataDictionary/></PMML>",
       "line 2: PMML: not a PMML 4.0 document (version '4.1')"},
      {"<?xml version=\"1.0\"?>\n<Model/>", "line 2: Model: not a PMML document"},
      {Doc(kField, "", "\n<RegressionModel/>"),
       "line 6: RegressionModel: the engine does not know this element here"},
      {Doc(kField, Derived("<NormDiscrete field=\"x\" value=\"1\"/>\n")),
       "line 6: NormDiscrete: the engine does not know this element"},
      {Doc(kField, Derived("<Apply function=\"sqrt\"><FieldRef field=\"x\"/></Apply>\n")),
       "line 6: Apply: unknown function 'sqrt'"},
      {Doc(kField, Derived("<Apply function=\"trimend\"><FieldRef field=\"x\"/></Apply>\n")),
       "line 6: Apply: function 'trimend' is not declared by a DefineFunction"},
      {Doc(kField, Derived("<Apply function=\"+\">\n<FieldRef field=\"x\"/></Apply>\n")),
       "line 6: Apply: function '+' takes 2 arguments, not 1"},
      {Doc(kField, Derived("\n<FieldRef field=\"d\"/>\n")),
       "line 7: FieldRef: field 'd' is not defined before this expression"},
      {Doc(kField,
           "\n<DefineFunction name=\"median\" optype=\"continuous\">"
           "<ParameterField name=\"a\"/><Constant>0</Constant></DefineFunction>"),
       "line 6: DefineFunction: the engine does not know the function 'median'"},
      {Doc(kField + std::string(kField), ""), "line 4: DataField: field 'x' is defined twice"},
      {Doc("<DataField name=\"x\" optype=\"continuous\" dataType=\"decimal\"/>", ""),
       "line 3: DataField: the engine does not know the dataType 'decimal'"},
      {Doc(kField, Derived("<MapValues outputColumn=\"o\"><FieldColumnPair field=\"x\" "
                           "column=\"i\"/>\n<TableLocator/></MapValues>\n")),
       "line 7: TableLocator: the engine does not know this element here"},
      {Doc(kField, Derived("<Apply function=\"outlierHandle\"/>\n")),
       "line 6: Apply: function 'outlierHandle' is not declared by a DefineFunction"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    // The parser's own words after the line may differ between versions.
    EXPECT_EQ(Error(c.text).substr(0, std::strlen(c.message)), c.message);
  }
}

TEST(DocumentErrorsTest, DamagedDocumentsAreRefusedNotFatal) {
  // Any well-formed prefix of a document is refused cleanly; so is a
  // document whose bytes were shuffled about.
  const std::string text =
      Doc(kField,
          "<DefineFunction name=\"trimend\" dataType=\"string\" optype=\"categorical\">"
          "<ParameterField name=\"stringVar\"/><Constant>0</Constant></DefineFunction>" +
              Derived("<Apply function=\"trimend\"><FieldRef field=\"x\"/></Apply>") +
              Derived("<Discretize field=\"x\"><DiscretizeBin binValue=\"0\"><Interval "
                      "closure=\"openOpen\"/></DiscretizeBin></Discretize>"));
  ASSERT_EQ(Error(text), "line 7: DerivedField: field 'd' is defined twice");
  for (std::size_t cut = 0; cut < text.size(); cut += 7) {
    std::string damaged = text.substr(0, cut);
    Error(damaged);
    damaged = text;
    std::swap(damaged[cut], damaged[(cut * 31) % text.size()]);
    Error(damaged);
  }
}

}  // namespace
}  // namespace applytest
