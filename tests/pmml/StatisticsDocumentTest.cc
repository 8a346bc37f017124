// The field statistics of the document, read back and checked against the
// data: every reported figure of a continuous field equals what the
// document's own expressions give on the training records (replayed by the
// document consumer, not by our rules), whether the statistic came from a
// pass or was rewritten by a step; arrays hold as many entries as they say,
// and category texts survive the trip through XML.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "apply/Document.h"
#include "frame/ZelStatusCodes.h"
#include "pmml/ZelUnivariateStatsPMML.h"
#include "pmml/PmmlTestDoc.h"
#include "support/TestHost.h"

namespace {

using namespace testhost;
using namespace TorCommon_1_3;
using namespace pmmltest;

// Run last: the checks before it still count when the schema is missing.
#define SKIP_WITHOUT_SCHEMA() \
  if (!HasSchema()) GTEST_SKIP() << "not validated: no PMML schema at " << SchemaPath()

double Number(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

// The entries of an Array's text: blank-separated, strings between double
// quotes with a backslash before an inner quote or backslash.
std::vector<std::string> Entries(const std::string& text) {
  std::vector<std::string> entries;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    std::string entry;
    if (text[i] == '"') {
      for (++i; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\') ++i;
        entry += text[i];
      }
      ++i;
    } else {
      for (; i < text.size() && text[i] != ' '; ++i) entry += text[i];
    }
    entries.push_back(entry);
  }
  return entries;
}

// One value of a field on one training record, with the record's weights.
struct Weighted {
  double value, f, a;
};

// The figures the component computes, from scratch: counts by whole
// records, moments weighted by frequency times analysis weight, spread and
// skewness over the count less one (and two).
struct Figures {
  double valid = 0, mean = 0, sd = 0, skewness = 0, minimum = HUGE_VAL, maximum = -HUGE_VAL;
};

Figures FiguresOf(const std::vector<Weighted>& values) {
  Figures r;
  double weight = 0, sum = 0;
  for (const Weighted& v : values) {
    r.valid += v.f;
    weight += v.f * v.a;
    sum += v.f * v.a * v.value;
    r.minimum = std::min(r.minimum, v.value);
    r.maximum = std::max(r.maximum, v.value);
  }
  r.mean = sum / weight;
  double m2 = 0, m3 = 0;
  for (const Weighted& v : values) {
    const double d = v.value - r.mean;
    m2 += v.f * v.a * d * d;
    m3 += v.f * v.a * d * d * d;
  }
  r.sd = std::sqrt(m2 / (r.valid - 1));
  r.skewness = r.valid * m3 / ((r.valid - 2) * (r.valid - 1) * r.sd * r.sd * r.sd);
  return r;
}

void ExpectClose(const std::string& written, double expected, double scale, const char* what) {
  EXPECT_NEAR(Number(written), expected, 1e-9 * std::max(std::fabs(expected), scale)) << what;
}

const char* const kCategories[] = {"say \"hi\"", "back\\slash", "a < b & c", "two  blanks  ",
                                   "plain"};

// x: about 50 with far values and missing ones; y: 1000 to 2000; f and a:
// frequency and analysis weights; s: awkward category texts; n: numeric
// categories; z: mostly missing, so screened out, and still reported.
struct Data {
  TorVarList vars;
  MemorySource source;
  Data() {
    for (const char* name : {"x", "y", "f", "a"}) vars.AddVariable(ContField(name));
    vars.AddVariable(NominalField("s", true));
    vars.AddVariable(NominalField("n", false));
    vars.AddVariable(ContField("z"));
    vars.SetFrequencyWeightIndex(2);
    std::mt19937_64 random(1414);
    std::normal_distribution<double> normal(50, 10);
    std::uniform_real_distribution<double> uniform(0, 1);
    for (int i = 0; i < 300; ++i) {
      const double x = i % 97 == 5 ? 500 : normal(random);
      source.Add({i % 13 == 0 ? Missing() : Real(x), Real(1000 + 1000 * uniform(random)),
                  Real(1 + i % 3), Real(0.5 + 1.5 * uniform(random)),
                  i % 17 == 0 ? Missing() : Str(kCategories[(i / 2 + i / 11) % 5]), Int(1 + i % 4),
                  i % 10 < 7 ? Missing() : Real(10 * uniform(random))});
    }
  }
};

struct Built {
  Build build;
  std::string xml;
};

void BuildDocument(Data& data, const std::string& method, Built* built) {
  TorSettings settings = EarlyStepsOnly();
  settings.SetBool("trimBlanks", false);
  settings.SetBool("detectFeatureOutliers", true);
  settings.SetBool("replaceScaleFeaturesMissingValue", true);
  settings.SetBool("replaceNominalFeaturesMissingValue", true);
  settings.SetString("analysisWeight", "a");
  settings.SetString("scaleFeatureRescalingMethod", method);
  settings.SetDouble("zScore_mean", 100);
  settings.SetDouble("zScore_SD", 15);
  settings.SetDouble("minMax_min", -1);
  settings.SetDouble("minMax_max", 1);
  built->build.Run(settings, data.vars, data.source);
  ASSERT_FALSE(built->build.executeStatus.IsError()) << built->build.executeStatus.GetCode();
  TorStatus status;
  built->xml = built->build.Pmml(&status);
  ASSERT_TRUE(status.IsOK()) << status.GetCode();
  EXPECT_TRUE(IsSchemaValid(built->xml));
}

// Every field's value on every training record, inputs as given and derived
// fields as the document computes them; missing values are left out.
std::map<std::string, std::vector<Weighted>> Replay(const std::string& xml,
                                                    const MemorySource& source,
                                                    std::map<std::string, double>* missing) {
  std::map<std::string, std::vector<Weighted>> values;
  zelapply::CompiledDocument document;
  const zelapply::Status compiled = zelapply::CompileDocument(xml, &document);
  EXPECT_TRUE(compiled.ok()) << compiled.message();
  if (!compiled.ok()) return values;
  const zelapply::Program& program = *document.program;
  zelapply::Frame frame = program.NewFrame();
  for (const RawRecord& record : source.records()) {
    for (std::size_t i = 0; i < program.inputCount(); ++i) {
      const RawData& cell = record[i];  // the data dictionary keeps the host's order
      zelapply::Value& value = frame[i];
      if (cell.IsMissing()) {
        value.SetMissing(static_cast<zelapply::ValueType>(cell.GetStorage()));
      } else if (cell.GetStorage() == kStorageString) {
        value.SetText(cell.GetString());
      } else if (cell.GetStorage() == kStorageInteger) {
        value.SetInteger(cell.GetInteger());
      } else {
        value.SetReal(cell.GetDouble());
      }
    }
    program.Evaluate(&frame);
    const double f = record[2].GetDouble(), a = record[3].GetDouble();
    for (std::size_t i = 0; i < program.fields().size(); ++i) {
      const std::string& name = program.fields()[i].name;
      if (frame[i].missing) {
        (*missing)[name] += f;
      } else if (frame[i].IsNumeric()) {
        values[name].push_back({frame[i].AsDouble(), f, a});
      }
    }
  }
  return values;
}

const xmlNode* Vendor(const Doc& doc) { return Child(Child(doc.Root(), "Extension"), "Zelcraft"); }

TEST(StatisticsDocumentTest, ContinuousFiguresAreThoseOfTheWrittenExpressions) {
  // Rescaling rewrites the statistics of x after its replacement and of y's
  // trimmed copy; without it the replacement of x is the last rewrite and
  // y's trimmed copy has the statistic of its own pass. The originals and z
  // keep those of the first pass.
  const std::pair<const char*, const char*> cases[] = {
      {"zScore", "n|z|s_transformed|s|y_transformed|y|x_transformed|x"},
      {"minMax", "n|z|s_transformed|s|y_transformed|y|x_transformed|x"},
      {"noRescaling", "n|z|y_transformed|y|s_transformed|s|x_transformed|x"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    Data data;
    Built built;
    BuildDocument(data, c.first, &built);
    Doc doc(built.xml);
    const std::vector<const xmlNode*> reported = Children(Vendor(doc), "UnivariateStats");
    EXPECT_EQ(AttrOfEach(reported, "field"), c.second);
    std::map<std::string, double> missing;
    const auto values = Replay(built.xml, data.source, &missing);

    int continuous = 0;
    for (const xmlNode* stats : reported) {
      const std::string name = Attr(stats, "field");
      SCOPED_TRACE(name);
      const xmlNode* info = Child(stats, "NumericInfo");
      if (info == nullptr) continue;
      ++continuous;
      ASSERT_TRUE(values.count(name));
      const Figures expected = FiguresOf(values.at(name));
      const xmlNode* counts = Child(stats, "Counts");
      EXPECT_EQ(Number(Attr(counts, "missingFreq")), missing[name]);
      EXPECT_EQ(Number(Attr(counts, "totalFreq")), expected.valid + missing[name]);
      ExpectClose(Attr(info, "mean"), expected.mean, expected.sd, "mean");
      ExpectClose(Attr(info, "standardDeviation"), expected.sd, expected.sd, "sd");
      ExpectClose(Attr(info, "minimum"), expected.minimum, expected.sd, "minimum");
      ExpectClose(Attr(info, "maximum"), expected.maximum, expected.sd, "maximum");
      const xmlNode* skewness = Child(info, "Extension");
      EXPECT_EQ(Attrs(skewness).substr(0, 37), "extender=zelcraft.dev name=skewness v");
      ExpectClose(Attr(skewness, "value"), expected.skewness, 1.0, "skewness");
    }
    EXPECT_EQ(continuous, 5);
  }
  SKIP_WITHOUT_SCHEMA();
}

TEST(StatisticsDocumentTest, DerivedFieldsAreFollowedByTheirBase) {
  // d: dates whose elapsed days are kept; k: an ordinal with many categories,
  // recast to continuous; w: a frequency weight. Through outliers and the
  // z-score each derived field is followed by the field its values start
  // from: the original, the recast field, or the field computed from the date
  // (the date itself is reported for its own sake, as a date source). With
  // nothing after the first steps, a field computed from a date has no base.
  const std::pair<bool, const char*> cases[] = {
      {true, "d|d_days|d_DurationDays|k_transformed|k_RecastOrdinal"},
      {false, "d|d_days|k_transformed|k"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    TorVarList vars;
    vars.AddVariable(ContField("d", kStorageDate));
    vars.AddVariable(OrdinalField("k"));
    vars.AddVariable(ContField("w"));
    vars.SetFrequencyWeightIndex(2);
    MemorySource source;
    for (int i = 0; i < 60; ++i) {
      source.Add({Date(-20 - i % 25), Int(1 + i % 14), Real(1 + i % 2)});
    }
    TorSettings settings = EarlyStepsOnly();
    settings.SetBool("detectFeatureOutliers", c.first);
    settings.SetString("scaleFeatureRescalingMethod", c.first ? "zScore" : "noRescaling");
    Built built;
    built.build.Run(settings, vars, source);
    ASSERT_FALSE(built.build.executeStatus.IsError()) << built.build.executeStatus.GetCode();
    Doc doc(built.build.Pmml());
    EXPECT_EQ(AttrOfEach(Children(Vendor(doc), "UnivariateStats"), "field"), c.second);
  }
}

// A weight is no input: it is shown only when excluded for a reason the
// summary lists. A field flagged for a histogram it lacks still shows its
// other figures, and nothing after it is written.
TEST(StatisticsDocumentTest, WeightsByReasonAndAMissingHistogramEndsTheStatistics) {
  for (const uint32_t reason : {18u, 45u}) {
    SCOPED_TRACE(reason);
    ZelSettings settings;
    settings.frequencyWeightIndex = 1;
    ZelVariableHandleList list(&settings);
    std::vector<std::unique_ptr<ITorVariable>> vars;
    for (const char* name : {"a", "w", "b", "c"}) {
      vars.emplace_back(ContField(name));
      list.AddField(*vars.back());
    }
    list.BeginPass();
    for (double x : {1.0, 2.0, 4.0}) {
      list.ProcessRecord(MakeRecord({Real(x), Real(2), Real(x), Real(x)}));
    }
    ASSERT_TRUE(list.EndPass().IsOK());
    list.GetHandle(1)->Exclude({3, reason});
    list.GetHandle(2)->SetHistogramFlag();
    std::unique_ptr<TorXML_1_3::XMLElement> vendor(TorXML_1_3::XMLElement::Create("Zelcraft"));
    EXPECT_EQ(ZelPMML::AppendUnivariateStats(vendor.get(), list).GetCode(),
              ZelStatusCode::kInconsistent);
    std::string written;
    for (const auto& child : vendor->GetChildren()) {
      const TorXML_1_3::XMLElement& stats = *child.element;
      written += *stats.GetAttribute("field") + ":";
      for (const auto& part : stats.GetChildren()) written += part.element->GetName() + " ";
      written += "|";
    }
    EXPECT_EQ(written, std::string("a:Counts NumericInfo |") +
                           (reason == 18 ? "w:Counts NumericInfo |" : "") +
                           "b:Counts NumericInfo |");
    const TorXML_1_3::XMLElement& counts =
        *vendor->GetChildren()[0].element->GetChildren()[0].element;
    EXPECT_EQ(*counts.GetAttribute("totalFreq"), "6");  // three records weighing 2
    EXPECT_EQ(*counts.GetAttribute("missingFreq"), "0");
  }
}

// The Array elements below `node`, in document order.
void CollectArrays(const xmlNode* node, std::vector<const xmlNode*>* arrays) {
  for (const xmlNode* child : Children(node)) {
    if (std::string(reinterpret_cast<const char*>(child->name)) == "Array") {
      arrays->push_back(child);
    } else {
      CollectArrays(child, arrays);
    }
  }
}

TEST(StatisticsDocumentTest, ArraysHoldTheirEntriesAndCategoriesSurviveTheDocument) {
  Data data;
  Built built;
  BuildDocument(data, "zScore", &built);
  Doc doc(built.xml);
  std::vector<const xmlNode*> arrays;
  CollectArrays(Vendor(doc), &arrays);
  // Pairs for the categories of n, s_transformed and s and for three histograms.
  EXPECT_EQ(arrays.size(), 2u * 6);
  for (const xmlNode* array : arrays) {
    const std::string text = Text(array);
    EXPECT_EQ(std::to_string(Entries(text).size()), Attr(array, "n")) << text;
    EXPECT_EQ(text.back(), ' ');
  }

  // Categories in byte order with their weighted counts, from the data.
  std::map<std::string, double> textCounts, numberCounts;
  for (const RawRecord& record : data.source.records()) {
    if (!record[4].IsMissing()) textCounts[record[4].GetString()] += record[2].GetDouble();
    numberCounts[std::to_string(record[5].GetInteger())] += record[2].GetDouble();
  }
  const auto discrete = [&](const std::string& field) {
    const xmlNode* stats = WithAttr(Children(Vendor(doc), "UnivariateStats"), "field", field);
    return Children(Child(stats, "DiscrStats"), "Array");
  };
  for (const auto& expected :
       {std::make_pair("s", textCounts), std::make_pair("n", numberCounts)}) {
    SCOPED_TRACE(expected.first);
    const std::vector<const xmlNode*> pair = discrete(expected.first);
    ASSERT_EQ(pair.size(), 2u);
    EXPECT_EQ(Attr(pair[0], "type"), "int");
    EXPECT_EQ(Attr(pair[1], "type"), expected.first == std::string("s") ? "string" : "real");
    std::vector<std::string> categories, counts;
    for (const auto& entry : expected.second) {
      categories.push_back(entry.first);
      counts.push_back(std::to_string(static_cast<int>(entry.second)));
    }
    EXPECT_EQ(Entries(Text(pair[1])), categories);
    EXPECT_EQ(Entries(Text(pair[0])), counts);
  }
  EXPECT_EQ(textCounts.size(), 5u);

  // The histograms: 400 equal-width bins over the reported range, the last
  // reaching one past the maximum; a value on a bound takes the lower bin.
  std::map<std::string, double> missing;
  const auto values = Replay(built.xml, data.source, &missing);
  int histograms = 0;
  for (const xmlNode* stats : Children(Vendor(doc), "UnivariateStats")) {
    const std::string name = Attr(stats, "field");
    SCOPED_TRACE(name);
    const xmlNode* binning = Child(Child(stats, "ContStats"), "Extension");
    // Fields that live on in a derived field show their histogram there.
    EXPECT_EQ(binning != nullptr, name == "z" || (name.find("_transformed") != std::string::npos &&
                                                  Child(stats, "NumericInfo") != nullptr));
    if (binning == nullptr) continue;
    ++histograms;
    EXPECT_EQ(Attr(binning, "name"), "EqualWidthBinning");
    const xmlNode* info = Child(stats, "NumericInfo");
    const double low = Number(Attr(info, "minimum")), high = Number(Attr(info, "maximum"));
    std::vector<double> counts(400), weights(400), sums(400);
    for (const Weighted& v : values.at(name)) {
      std::size_t bin = 0;
      while (bin < 399 && !(std::fabs(v.value - (low + (bin + 1) * (high - low) / 400)) < 1e-14 ||
                            v.value < low + (bin + 1) * (high - low) / 400)) {
        ++bin;
      }
      counts[bin] += v.f;
      weights[bin] += v.f * v.a;
      sums[bin] += v.f * v.a * v.value;
    }
    const std::vector<const xmlNode*> pair = Children(binning, "Array");
    ASSERT_EQ(pair.size(), 2u);
    const std::vector<std::string> writtenCounts = Entries(Text(pair[0]));
    const std::vector<std::string> writtenMeans = Entries(Text(pair[1]));
    ASSERT_EQ(writtenCounts.size(), 400u);
    ASSERT_EQ(writtenMeans.size(), 400u);
    for (std::size_t bin = 0; bin < 400; ++bin) {
      EXPECT_EQ(Number(writtenCounts[bin]), counts[bin]) << bin;
      const double mean = weights[bin] > 0 ? sums[bin] / weights[bin] : 0.0;
      EXPECT_NEAR(Number(writtenMeans[bin]), mean, 1e-9 * std::max(1.0, std::fabs(mean))) << bin;
    }
  }
  EXPECT_EQ(histograms, 3);
  SKIP_WITHOUT_SCHEMA();
}

}  // namespace
