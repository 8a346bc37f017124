// The report page drawn from documents written here: its size against the
// document's on a long chain of fields, its escaping of names, and the
// scale it shows a binned field's cut points and outlier cutoffs on, each
// checked against figures worked out by hand.
#include <gtest/gtest.h>

#include <string>

#include "status/Status.h"
#include "report/Report.h"

namespace {

std::string Document(const std::string& dataFields, const std::string& derivedFields,
                     const std::string& reported, const std::string& statistics = "") {
  return "<?xml version=\"1.0\"?>\n<PMML version=\"4.0\" xmlns=\"http://www.dmg.org/PMML-4_0\">"
         "<Header/>\n<DataDictionary>" +
         dataFields + "</DataDictionary>\n<TransformationDictionary>\n" + derivedFields +
         "</TransformationDictionary>\n<Extension><Zelcraft><Summary><VariableSummary>" +
         reported + "</VariableSummary></Summary>" + statistics + "</Zelcraft></Extension></PMML>\n";
}

std::string Continuous(const std::string& name) {
  return "<DataField name=\"" + name + "\" optype=\"continuous\" dataType=\"double\"/>";
}

// A derived field made from `source` by `expression`, as the writer puts it.
std::string Derived(const std::string& name, const std::string& source, const std::string& key,
                    const std::string& expression) {
  return "<DerivedField name=\"" + name + "\" optype=\"continuous\" dataType=\"double\">"
         "<Extension><Action stepKey=\"ContinuousFeatures\" reasonKey=\"" + key +
         "\"/><UsageType value=\"enable\"/><SourceField value=\"" + source + "\"/></Extension>" +
         expression + "</DerivedField>\n";
}

std::string Reported(const std::string& name) { return "<FieldRef field=\"" + name + "\"/>"; }

std::string Page(const std::string& document) {
  std::string html;
  const zelstatus::Status status =
      zelreport::RenderReport(document, zelreport::ReportContext(), &html);
  EXPECT_TRUE(status.ok()) << status.message();
  return html;
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST(ReportPageTest, ALongChainOfReportedFieldsRefersToEarlierPanels) {
  // 4,000 fields, each twice the one before, every one reported: each
  // panel lists its own step and refers to the panel before for the rest,
  // so that the page grows with the fields, not with their square.
  std::string derived, reported;
  for (int i = 1; i <= 4000; ++i) {
    const std::string name = "d" + std::to_string(i);
    const std::string source = i == 1 ? "x" : "d" + std::to_string(i - 1);
    derived += Derived(name, source, "TransformZscore",
                       "<Apply function=\"*\"><FieldRef field=\"" + source +
                           "\"/><Constant>2</Constant></Apply>");
    reported += Reported(name);
  }
  const std::string document = Document(Continuous("x"), derived, reported);
  const std::string page = Page(document);
  EXPECT_LT(page.size(), 4 * document.size());
  // Table and panel: once as the field's own step, twice as the next one's
  // reference.
  EXPECT_EQ(Occurrences(page, "<a href=\"#f-d3999\"><bdi>d3999</bdi></a>"), 3u);
  EXPECT_EQ(Occurrences(page, "<li>the steps of <a href=\"#f-d3999\"><bdi>d3999</bdi></a></li>"),
            1u);
  EXPECT_EQ(Occurrences(page, "<li>the steps of "), 3999u);
  EXPECT_EQ(Occurrences(page, "<h3>Steps</h3><ol><li>the steps of"), 3999u);

  // With only the last field reported, the chain's steps are its own to
  // list, as far up as a chain is followed (64 fields), the rest in a word.
  const std::string last = Page(Document(Continuous("x"), derived, Reported("d4000")));
  const std::size_t steps = last.find("<h3>Steps</h3>");
  ASSERT_NE(steps, std::string::npos);
  EXPECT_EQ(Occurrences(last.substr(steps, last.find("</ol>", steps) - steps), "<li>"), 65u);
  EXPECT_NE(last.find("<h3>Steps</h3><ol><li>earlier steps from \u2068x\u2069</li>"),
            std::string::npos);
}

// Statistics of a continuous field: figures and a histogram of four bins.
std::string Statistics(const std::string& field, double low, double high) {
  return "<UnivariateStats field=\"" + field +
         "\"><Counts totalFreq=\"100\" missingFreq=\"0\"/><NumericInfo mean=\"0\" minimum=\"" +
         std::to_string(low) + "\" maximum=\"" + std::to_string(high) +
         "\" standardDeviation=\"1\"/><ContStats><Extension name=\"EqualWidthBinning\">"
         "<Array type=\"int\" n=\"4\">10 40 40 10</Array><Array type=\"real\" n=\"4\">-3 -1 1 3"
         "</Array></Extension></ContStats></UnivariateStats>";
}

TEST(ReportPageTest, CutPointsAndCutoffsOfAChainAreShownOnTheScaleTheyBelongTo) {
  // x: outliers pulled in beyond 10 ± 3 × 2 = [4, 16]; rescaled to
  // s = 2x + 1 (0 -> 1, 10 -> 21); z-scored z = (s - 21) / 4 = 0.5x - 5;
  // binned at z = -0.5 and 0.5, which are x = 9 and 11.
  const std::string derived =
      "<DefineFunction name=\"outlierHandle\" dataType=\"double\" optype=\"continuous\"/>" +
      Derived("x_O", "x", "OutlierTrim2ExtremeValue",
              "<Apply function=\"outlierHandle\"><FieldRef field=\"x\"/>"
              "<Constant>asExtremeValues</Constant><Constant>10</Constant><Constant>2</Constant>"
              "<Constant>3</Constant><Constant>1</Constant></Apply>") +
      Derived("x_S", "x_O", "RescaleRangeMinMax",
              "<NormContinuous field=\"x_O\"><LinearNorm orig=\"0\" norm=\"1\"/>"
              "<LinearNorm orig=\"10\" norm=\"21\"/></NormContinuous>") +
      Derived("x_Z", "x_S", "TransformZscore",
              "<Apply function=\"+\"><Apply function=\"*\"><Apply function=\"/\"><Constant>1"
              "</Constant><Constant>4</Constant></Apply><Apply function=\"-\"><FieldRef "
              "field=\"x_S\"/><Constant>21</Constant></Apply></Apply><Constant>0</Constant>"
              "</Apply>") +
      Derived("x_B", "x_Z", "BinValues",
              "<Discretize field=\"x_Z\"><DiscretizeBin binValue=\"1\"><Interval "
              "closure=\"openClosed\" rightMargin=\"-0.5\"/></DiscretizeBin><DiscretizeBin "
              "binValue=\"2\"><Interval closure=\"openClosed\" leftMargin=\"-0.5\" "
              "rightMargin=\"0.5\"/></DiscretizeBin><DiscretizeBin binValue=\"3\"><Interval "
              "closure=\"openOpen\" leftMargin=\"0.5\"/></DiscretizeBin></Discretize>");
  const std::string page =
      Page(Document(Continuous("x"), derived, Reported("x_B"), Statistics("x_Z", -4, 4)));
  EXPECT_NE(page.find("<li>outliers pulled in beyond 4 and 16</li>"), std::string::npos);
  EXPECT_NE(page.find("<li>binned into 3 bins, cut at 9, 11 (\u2068x\u2069)</li>"),
            std::string::npos);
  // On the histogram of z: the cutoffs 4 and 16 of x are z = -3 and 3.
  EXPECT_NE(page.find("<title>outlier cutoff -3</title>"), std::string::npos);
  EXPECT_NE(page.find("<title>outlier cutoff 3</title>"), std::string::npos);
  EXPECT_NE(page.find("<title>bin edge -0.5</title>"), std::string::npos);
  EXPECT_NE(page.find("<title>bin edge 0.5</title>"), std::string::npos);
}

TEST(ReportPageTest, NamesAreEscapedInTextAndAttributes) {
  const std::string name = "it's \"a\" <b> & c";
  const std::string escaped = "it&#39;s &quot;a&quot; &lt;b&gt; &amp; c";
  const std::string page = Page(Document(
      "<DataField name=\"it's &quot;a&quot; &lt;b&gt; &amp; c\" optype=\"continuous\" "
      "dataType=\"double\"/>",
      "", "<FieldRef field=\"it's &quot;a&quot; &lt;b&gt; &amp; c\"/>"));
  EXPECT_EQ(page.find(name), std::string::npos);
  EXPECT_EQ(page.find("it's"), std::string::npos);
  EXPECT_NE(page.find("data-name=\"" + escaped + "\""), std::string::npos);
  EXPECT_NE(page.find("><bdi>" + escaped + "</bdi></a>"), std::string::npos);
}

TEST(ReportPageTest, NamesAreIsolatedFromTheTextAroundThem) {
  // A right-to-left override in a name turns no text around it: the name
  // stands in a <bdi> element, or between isolate marks inside a text.
  const std::string rlo = "\u202E";
  const std::string name = "cost" + rlo + "gnp.exe";
  const std::string derived =
      Derived("z", name, "TransformZscore",
              "<Apply function=\"*\"><FieldRef field=\"" + name + "\"/><Constant>2</Constant>"
              "</Apply>") +
      Derived("b", "z", "BinValues",
              "<Discretize field=\"z\"><DiscretizeBin binValue=\"1\"><Interval "
              "closure=\"openClosed\" rightMargin=\"1\"/></DiscretizeBin><DiscretizeBin "
              "binValue=\"2\"><Interval closure=\"openOpen\" leftMargin=\"1\"/>"
              "</DiscretizeBin></Discretize>");
  const std::string page = Page(Document(Continuous(name), derived, Reported(name) + Reported("b"),
                                         Statistics(name, -4, 4)));
  // Every occurrence of the override is isolated: within <bdi>, between
  // isolate marks, or in an attribute value.
  std::size_t occurrences = 0, isolated = 0;
  for (std::size_t at = page.find(rlo); at != std::string::npos; at = page.find(rlo, at + 1)) {
    ++occurrences;
    const std::string after = page.substr(at, 20);
    const bool inElement = page.rfind("<bdi>cost", at) == at - 9 &&
                           after.find("gnp.exe</bdi>") == rlo.size();
    const bool betweenMarks = page.rfind("\u2068cost", at) == at - 7 &&
                              after.find("gnp.exe\u2069") == rlo.size();
    const bool inAttribute = page.rfind("=\"cost", at) == at - 6;
    isolated += inElement || betweenMarks || inAttribute;
  }
  EXPECT_GT(occurrences, 6u);
  EXPECT_EQ(isolated, occurrences);
  EXPECT_NE(page.find("<span class=\"name\"><bdi>" + name + "</bdi></span>"), std::string::npos);
  // z = 2 x is cut at 1: x at 0.5.
  EXPECT_NE(page.find("cut at 0.5 (\u2068" + name + "\u2069)"), std::string::npos);
}

TEST(ReportPageTest, AStopRequestEndsTheRead) {
  // Over a megabyte: the document is read in two pieces, the stop asked
  // before each.
  const std::string document =
      Document(Continuous("x"), "<Extension>" + std::string(1 << 20, ' ') + "</Extension>",
               Reported("x"));
  int asked = 0;
  std::string html = "left over";
  const zelstatus::Status status = zelreport::RenderReport(
      document, zelreport::ReportContext(), &html, [&asked] { return ++asked == 2; });
  EXPECT_TRUE(status.interrupted());
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(html.empty());
}

}  // namespace
