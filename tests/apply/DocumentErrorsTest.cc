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
  const zelstatus::Status status = zelapply::CompileDocument(text, &document);
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
      {"<PMML version=\"4.0\"><DataDictionary>", "the document ends early at line 1"},
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

// A document with an internal subset of `declarations` (from line 3 on).
std::string WithSubset(const std::string& declarations, const std::string& constant) {
  return "<?xml version=\"1.0\"?>\n<!DOCTYPE PMML [\n" + declarations + "]>\n" +
         Doc(kField, Derived("<Constant>" + constant + "</Constant>")).substr(22);
}

TEST(DocumentErrorsTest, EntityDeclarationsAreRefusedBeforeAnyExpansion) {
  // A billion copies of "lol"; a long entity referred to many times; a file
  // read through an entity, general or parameter.
  std::string laughs = "<!ENTITY lol0 \"lol\">\n";
  for (int level = 1; level <= 9; ++level) {
    laughs += "<!ENTITY lol" + std::to_string(level) + " \"";
    for (int i = 0; i < 10; ++i) laughs += "&lol" + std::to_string(level - 1) + ";";
    laughs += "\">\n";
  }
  std::string references;
  for (int i = 0; i < 5000; ++i) references += "&big;";
  const std::string documents[] = {
      WithSubset(laughs, "&lol9;"),
      WithSubset("<!ENTITY big \"" + std::string(100000, 'x') + "\">\n", references),
      WithSubset("<!ENTITY file SYSTEM \"file:///etc/passwd\">\n", "&file;"),
      WithSubset("<!ENTITY % file SYSTEM \"file:///etc/passwd\">\n%file;\n", "0"),
      WithSubset("<!ENTITY logo SYSTEM \"logo.png\" NDATA png>\n", "0"),
  };
  for (const std::string& text : documents) {
    SCOPED_TRACE(text.substr(0, 120));
    EXPECT_EQ(Error(text).substr(0, 40), "line 3: the document declares the entity");
  }
  // Without a declaration a reference is no entity at all.
  EXPECT_EQ(Error(Doc(kField, Derived("<Constant>&lol9;</Constant>"))).substr(0, 27),
            "line 6: not well-formed XML");
}

TEST(DocumentErrorsTest, TheFirstFaultOfTheXmlIsReported) {
  // The parser reads on past a fault and meets more, far below it.
  std::string derived;
  for (int i = 0; i < 30; ++i) derived += "\n" + Derived("<FieldRef field=\"x\"/>");
  const std::string closedTwice =
      Doc("\n<DataField name=\"y\"/></DataField>\n" + std::string(kField), derived);
  const std::string neverClosed = Doc("\n<DataField name=\"y\">\n" + std::string(kField), derived);
  EXPECT_EQ(Error(closedTwice).substr(0, 34), "line 4: not well-formed XML: Openi");
  EXPECT_EQ(Error(neverClosed).substr(0, 27), "line 6: not well-formed XML");
}

TEST(DocumentErrorsTest, TableNumbersMustBeFiniteNumbers) {
  const auto norm = [](const std::string& orig, const std::string& value) {
    return Doc(kField, Derived("<NormContinuous field=\"x\"><LinearNorm orig=\"" + orig +
                               "\" norm=\"0\"/><LinearNorm orig=\"9\" norm=\"" + value +
                               "\"/></NormContinuous>"));
  };
  EXPECT_EQ(Error(norm("oops", "1")), "line 6: LinearNorm: the orig 'oops' is not a number");
  EXPECT_EQ(Error(norm("NaN", "1")), "line 6: LinearNorm: the orig 'NaN' is not a number");
  EXPECT_EQ(Error(norm("0", "INF")), "line 6: LinearNorm: the norm 'INF' is not a number");
  EXPECT_EQ(Error(norm("0", "1e400")), "line 6: LinearNorm: the norm '1e400' is not a number");
  EXPECT_EQ(Error(norm("+-5", "1")), "line 6: LinearNorm: the orig '+-5' is not a number");
  EXPECT_EQ(Error(Doc(kField, Derived("<NormContinuous field=\"x\" mapMissingTo=\"-inf\">"
                                      "<LinearNorm orig=\"0\" norm=\"0\"/></NormContinuous>"))),
            "line 6: NormContinuous: the mapMissingTo '-inf' is not a number");
  EXPECT_EQ(Error(Doc(kField, Derived("<Discretize field=\"x\"><DiscretizeBin binValue=\"1\">"
                                      "<Interval closure=\"openOpen\" leftMargin=\"nan\"/>"
                                      "</DiscretizeBin></Discretize>"))),
            "line 6: Interval: the leftMargin 'nan' is not a number");
  EXPECT_EQ(Error(Doc("<DataField name=\"x\" optype=\"continuous\" dataType=\"double\">"
                      "<Extension name=\"invalidRangeLower\" value=\"-1e999\"/>"
                      "<Extension name=\"invalidRangeUpper\" value=\"0\"/></DataField>",
                      "")),
            "line 3: Extension: the range needs a number as its value");
}

TEST(DocumentErrorsTest, TheHostCanStopTheReadAndTheCompilation) {
  // 600 derived fields: one piece of text, then the fields in a few rounds.
  std::string derived;
  for (int i = 0; i < 600; ++i) {
    derived += "<DerivedField name=\"d" + std::to_string(i) +
               "\" dataType=\"double\"><FieldRef field=\"x\"/></DerivedField>\n";
  }
  const std::string small = Doc(kField, derived);
  // Over a megabyte: the parser gets it in two pieces.
  const std::string large = Doc(kField, derived + "<Extension>" + std::string(1 << 20, ' ') +
                                            "</Extension>");
  for (const std::string* text : {&small, &large}) {
    int asked = 0;
    zelapply::CompiledDocument document;
    ASSERT_TRUE(zelapply::CompileDocument(*text, &document, [&asked] { return ++asked < 0; }).ok());
    const int questions = asked;
    EXPECT_GE(questions, 3);
    for (int stopAt = 1; stopAt <= questions; ++stopAt) {
      asked = 0;
      const zelstatus::Status status =
          zelapply::CompileDocument(*text, &document, [&] { return ++asked == stopAt; });
      EXPECT_TRUE(status.interrupted()) << stopAt;
      EXPECT_EQ(document.program, nullptr);
      EXPECT_EQ(asked, stopAt);
    }
  }
}

}  // namespace
}  // namespace applytest
