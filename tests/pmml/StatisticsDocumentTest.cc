// The field statistics of the document, read back and checked against the
// data: every figure of a continuous field equals what the document's own
// expressions give on the training records (replayed by the document
// consumer, not by our rules), whether the statistic came from a pass or was
// rewritten by a step; arrays hold as many entries as they say, and category
// texts survive the trip through XML.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "apply/Document.h"
#include "frame/ZelStatusCodes.h"
#include "pmml/PmmlTestDoc.h"
#include "pmml/ZelUnivariateStatsPMML.h"
#include "support/TestHost.h"

namespace {

using namespace testhost;
using namespace TorCommon_1_3;
using namespace pmmltest;

double Number(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

// An Array's entries: blank-separated; strings between double quotes, with
// a backslash before an inner quote or backslash.
std::vector<std::string> Entries(const xmlNode* array) {
  const std::string text = Text(array);
  EXPECT_EQ(text.back(), ' ');
  std::vector<std::string> entries;
  for (std::size_t i = text.find_first_not_of(' '); i < text.size();
       i = text.find_first_not_of(' ', i)) {
    std::string entry;
    const bool quoted = text[i] == '"';
    for (i += quoted; i < text.size() && text[i] != (quoted ? '"' : ' '); ++i) {
      if (quoted && text[i] == '\\') ++i;
      entry += text[i];
    }
    entries.push_back(entry);
    i += quoted;
  }
  EXPECT_EQ(Attr(array, "n"), std::to_string(entries.size()));
  return entries;
}

// One value on one training record, with the record's two weights.
struct Weighted {
  double value, f, a;
};

// Compares the written figures with those computed here: counts by whole
// records, moments weighted by frequency times analysis weight, spread and
// skewness over the count less one (and two).
void ExpectFigures(const xmlNode* info, const std::vector<Weighted>& values) {
  double n = 0, weight = 0, sum = 0, low = HUGE_VAL, high = -HUGE_VAL, m2 = 0, m3 = 0;
  for (const Weighted& v : values) {
    n += v.f;
    weight += v.f * v.a;
    sum += v.f * v.a * v.value;
    low = std::min(low, v.value);
    high = std::max(high, v.value);
  }
  const double mean = sum / weight;
  for (const Weighted& v : values) {
    m2 += v.f * v.a * std::pow(v.value - mean, 2);
    m3 += v.f * v.a * std::pow(v.value - mean, 3);
  }
  const double sd = std::sqrt(m2 / (n - 1));
  const std::pair<const char*, double> expected[] = {
      {"mean", mean}, {"standardDeviation", sd}, {"minimum", low}, {"maximum", high}};
  for (const auto& e : expected) {
    EXPECT_NEAR(Number(Attr(info, e.first)), e.second, 1e-9 * std::max(std::fabs(e.second), sd))
        << e.first;
  }
  const xmlNode* skewness = Child(info, "Extension");
  EXPECT_EQ(Attrs(skewness).substr(0, 37), "extender=zelcraft.dev name=skewness v");
  EXPECT_NEAR(Number(Attr(skewness, "value")), n * m3 / ((n - 2) * (n - 1) * sd * sd * sd), 1e-9);
}

const char* const kCategories[] = {"say \"hi\"", "back\\slash", "a < b & c", "two  blanks  ",
                                   "plain"};

// x: about 50 with far values and missing ones; y: 1000 to 2000; f and a:
// frequency and analysis weights; s: awkward category texts; n: numeric
// categories; z: mostly missing, so screened out, and still reported; t: a
// target, never rescaled.
struct Data {
  TorVarList vars;
  MemorySource source;
  Data() {
    for (const char* name : {"x", "y", "f", "a"}) vars.AddVariable(ContField(name));
    vars.AddVariable(NominalField("s", true));
    vars.AddVariable(NominalField("n", false));
    vars.AddVariable(ContField("z"));
    vars.AddVariable(ContField("t", kStorageReal, kRoleTarget));
    vars.SetFrequencyWeightIndex(2);
    std::mt19937_64 random(1414);
    std::normal_distribution<double> normal(50, 10);
    std::uniform_real_distribution<double> uniform(0, 1);
    for (int i = 0; i < 300; ++i) {
      const double x = i % 97 == 5 ? 500 : normal(random);
      source.Add({i % 13 == 0 ? Missing() : Real(x), Real(1000 + 1000 * uniform(random)),
                  Real(1 + i % 3), Real(0.5 + 1.5 * uniform(random)),
                  i % 17 == 0 ? Missing() : Str(kCategories[(i / 2 + i / 11) % 5]),
                  Int(1 + i % 4), i % 10 < 7 ? Missing() : Real(10 * uniform(random)),
                  Real(i % 7 + uniform(random))});
    }
  }
};

// Every field's values on the training records (texts as 0), inputs as
// given and derived fields as the consumer computes them from the document;
// `missing` sums the frequency weights of the missing ones.
std::map<std::string, std::vector<Weighted>> Replay(const std::string& xml,
                                                    const MemorySource& source,
                                                    std::map<std::string, double>* missing) {
  std::map<std::string, std::vector<Weighted>> values;
  zelapply::CompiledDocument document;
  const zelstatus::Status compiled = zelapply::CompileDocument(xml, &document);
  EXPECT_TRUE(compiled.ok()) << compiled.message();
  if (!compiled.ok()) return values;
  const zelapply::Program& program = *document.program;
  zelapply::Frame frame = program.NewFrame();
  for (const RawRecord& record : source.records()) {
    // The data dictionary keeps the host's order.
    for (std::size_t i = 0; i < program.inputCount(); ++i) {
      const RawData& cell = record[i];
      if (cell.IsMissing()) {
        frame[i].SetMissing(static_cast<zelapply::ValueType>(cell.GetStorage()));
      } else if (cell.GetStorage() == kStorageString) {
        frame[i].SetText(cell.GetString());
      } else {
        frame[i].SetReal(cell.GetReal());
      }
    }
    program.Evaluate(&frame);
    for (std::size_t i = 0; i < program.fields().size(); ++i) {
      const std::string& name = program.fields()[i].name;
      if (frame[i].missing) {
        (*missing)[name] += record[2].GetDouble();
      } else {
        values[name].push_back({frame[i].AsDouble(), record[2].GetDouble(), record[3].GetDouble()});
      }
    }
  }
  return values;
}

const xmlNode* Vendor(const Doc& doc) { return Child(Child(doc.Root(), "Extension"), "Zelcraft"); }

// The histogram: 400 bins whose counts add up to the records with a value,
// the minimum in the first bin and the maximum in the last.
void ExpectHistogram(const xmlNode* stats, double valid) {
  const xmlNode* binning = Child(Child(stats, "ContStats"), "Extension");
  EXPECT_EQ(Attr(binning, "name"), "EqualWidthBinning");
  const std::vector<const xmlNode*> arrays = Children(binning, "Array");
  ASSERT_EQ(AttrOfEach(arrays, "type"), "int|real");
  const std::vector<std::string> counts = Entries(arrays[0]), means = Entries(arrays[1]);
  ASSERT_EQ(counts.size(), 400u);
  ASSERT_EQ(means.size(), 400u);
  double sum = 0;
  for (const std::string& count : counts) sum += Number(count);
  EXPECT_EQ(sum, valid);
  EXPECT_NE(counts.front(), "0");
  EXPECT_NE(counts.back(), "0");
  const xmlNode* info = Child(stats, "NumericInfo");
  const double low = Number(Attr(info, "minimum")), high = Number(Attr(info, "maximum"));
  EXPECT_LE(std::fabs(Number(means.front()) - low), (high - low) / 400);
  EXPECT_LE(std::fabs(Number(means.back()) - high), (high - low) / 400);
}

TEST(StatisticsDocumentTest, FiguresAreThoseOfTheWrittenExpressionsOnTheTrainingRecords) {
  // Rescaling rewrites the statistics of x after its replacement and of y's
  // trimmed copy; without it the replacement of x is the last rewrite and
  // y's trimmed copy has the statistic of its own pass. The originals keep
  // those of the first pass; the target keeps its scale. Fields that live on
  // in a derived field show their histogram there; z, screened out, and the
  // target show their own.
  const std::pair<const char*, const char*> cases[] = {
      {"zScore", "n|z|t|s_transformed|s|y_transformed|y|x_transformed|x"},
      {"minMax", "n|z|t|s_transformed|s|y_transformed|y|x_transformed|x"},
      {"noRescaling", "n|z|t|y_transformed|y|s_transformed|s|x_transformed|x"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    Data data;
    TorSettings settings = EarlyStepsOnly();
    settings.SetBool("trimBlanks", false);
    settings.SetBool("detectFeatureOutliers", true);
    settings.SetBool("replaceScaleFeaturesMissingValue", true);
    settings.SetBool("replaceNominalFeaturesMissingValue", true);
    settings.SetString("analysisWeight", "a");
    settings.SetString("scaleFeatureRescalingMethod", c.first);
    if (c.first[0] == 'm') {
      settings.SetDouble("minMax_min", -1);
      settings.SetDouble("minMax_max", 15);
    }
    const std::string xml = ValidDocument(data.vars, data.source, settings);
    Doc doc(xml);
    const std::vector<const xmlNode*> reported = Children(Vendor(doc), "UnivariateStats");
    EXPECT_EQ(AttrOfEach(reported, "field"), c.second);
    // The z-score's defaults: mean 0 and standard deviation 1.
    if (c.first[0] == 'z') {
      const xmlNode* info = Child(WithAttr(reported, "field", "x_transformed"), "NumericInfo");
      EXPECT_NEAR(Number(Attr(info, "mean")), 0.0, 1e-12);
      EXPECT_NEAR(Number(Attr(info, "standardDeviation")), 1.0, 1e-12);
    }
    std::map<std::string, double> missing;
    const auto values = Replay(xml, data.source, &missing);
    for (const xmlNode* stats : reported) {
      const std::string name = Attr(stats, "field");
      SCOPED_TRACE(name);
      const xmlNode* counts = Child(stats, "Counts");
      EXPECT_EQ(Number(Attr(counts, "missingFreq")), missing[name]);
      const std::vector<Weighted>& present = values.at(name);
      double total = missing[name];
      for (const Weighted& v : present) total += v.f;
      EXPECT_EQ(Number(Attr(counts, "totalFreq")), total);
      if (const xmlNode* info = Child(stats, "NumericInfo")) ExpectFigures(info, present);
      const bool histogram = name == "z" || name == "t" || name == "x_transformed" ||
                             name == "y_transformed";
      EXPECT_EQ(Child(stats, "ContStats") != nullptr, histogram);
      if (histogram) ExpectHistogram(stats, total - missing[name]);
    }

    // Categories in byte order, with their weighted counts from the data.
    std::map<std::string, double> texts, numbers;
    for (const RawRecord& record : data.source.records()) {
      if (!record[4].IsMissing()) texts[record[4].GetString()] += record[2].GetDouble();
      numbers[std::to_string(record[5].GetInteger())] += record[2].GetDouble();
    }
    ASSERT_EQ(texts.size(), 5u);
    for (const auto& [field, expected] :
         {std::make_pair("s", texts), std::make_pair("n", numbers)}) {
      const std::vector<const xmlNode*> arrays =
          Children(Child(WithAttr(reported, "field", field), "DiscrStats"), "Array");
      ASSERT_EQ(AttrOfEach(arrays, "type"), field == std::string("s") ? "int|string" : "int|real");
      std::vector<std::string> keys, frequencies;
      for (const auto& entry : expected) {
        keys.push_back(entry.first);
        frequencies.push_back(std::to_string(static_cast<int>(entry.second)));
      }
      EXPECT_EQ(Entries(arrays[1]), keys);
      EXPECT_EQ(Entries(arrays[0]), frequencies);
    }
  }
}

TEST(StatisticsDocumentTest, DerivedFieldsAreFollowedByTheirBase) {
  // d: dates whose elapsed days are kept; k: an ordinal with many
  // categories, recast to continuous; w: a frequency weight. Through
  // outliers and the z-score each derived field is followed by the field its
  // values start from: the original, the recast, or the field computed from
  // the date (the date itself is reported as a date source). Without later
  // steps a field computed from a date has no base.
  const std::pair<bool, const char*> cases[] = {
      {true, "d|d_days|d_DurationDays|k_transformed|k_RecastOrdinal"},
      {false, "d|d_days|k_transformed|k"}};
  for (const auto& c : cases) {
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
    Doc doc(ValidDocument(vars, source, settings));
    EXPECT_EQ(AttrOfEach(Children(Vendor(doc), "UnivariateStats"), "field"), c.second);
  }
}

// A weight is shown only when excluded for a reason the summary lists. A
// field flagged for a histogram it lacks still shows its other figures, and
// nothing after it is written.
TEST(StatisticsDocumentTest, WeightsByReasonAndAMissingHistogramEndsTheStatistics) {
  for (const uint32_t reason : {18u, 45u}) {
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
    std::ostringstream out;
    TorXML_1_3::WriteTree(out, nullptr, vendor.get(), false);
    const Doc doc(out.str());
    EXPECT_EQ(AttrOfEach(Children(doc.Root(), "UnivariateStats"), "field"),
              reason == 18 ? "a|w|b" : "a|b");
    EXPECT_EQ(Tree(Child(Child(doc.Root(), "UnivariateStats"), "Counts")),
              "Counts(totalFreq=6 missingFreq=0)");  // three records weighing 2
    EXPECT_EQ(ChildNames(WithAttr(Children(doc.Root()), "field", "b")), "Counts NumericInfo");
  }
}

}  // namespace
