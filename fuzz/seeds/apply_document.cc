// Seeds of fuzz_apply_document: documents the component writes for one
// generated data set under settings that bring out every kind of
// expression (trimming, date and time parts and durations, recasts,
// outliers, missing-value replacement, Box-Cox and reordered targets with
// their inverses, rescaling, merges, binning, construction), a small
// hand-written one, and hostile ones whose entities would expand without
// bound or read files.
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "../FuzzHost.h"
#include "../SeedWriter.h"

namespace {

// 240 records: inputs with tails, rare categories, blanks, dates, times and
// gaps; a continuous, a categorical and a nominal target candidate; weights.
std::string Data() {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::string csv = "x,n,few,cat,word,day,clock,z1,z2,y,t,w\n";
  const char* const kWords[] = {"alpha ", "beta", " gamma  ", "alpha"};
  for (int i = 0; i < 240; ++i) {
    const double u = unit(random);
    const double x = unit(random) < 0.03 ? 400 * u : 50 + 20 * (u - 0.5);
    std::string row = unit(random) < 0.05 ? "" : std::to_string(x);
    row += "," + std::to_string(unit(random) < 0.03 ? 500 + i : i % 21);
    row += "," + std::to_string(i % 3);
    row += "," + (i % 40 == 0 ? "r" + std::to_string(i) : std::string(1, 'a' + i % 5));
    row += "," + std::string(kWords[i % 4]);
    char day[16], clock[16];
    std::snprintf(day, sizeof day, "20%02d-%02d-%02d", i % 24, 1 + i % 12, 1 + i % 28);
    std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", i % 24, (7 * i) % 60, (13 * i) % 60);
    row += "," + (i % 17 == 0 ? std::string() : std::string(day)) + "," + clock;
    row += "," + std::to_string(2 * x + unit(random)) + "," + std::to_string(x - unit(random));
    row += "," + std::to_string(std::exp(1 + 3 * u));
    row += "," + std::string(x + 5 * unit(random) > 52 ? "yes" : "no");
    row += "," + std::to_string(1 + i % 3) + "\n";
    csv += row;
  }
  return csv;
}

// A hand-written document with the elements the component writes least.
const char kHandWritten[] = R"(<PMML version="4.0" xmlns="http://www.dmg.org/PMML-4_0">
<DataDictionary>
<DataField name="n" optype="continuous" dataType="integer">
<Extension name="MissingValue" value="99"/><Value value="-1" property="missing"/></DataField>
<DataField name="s" optype="categorical" dataType="string"/>
<DataField name="d" optype="continuous" dataType="dateDaysSince[1970]"/>
</DataDictionary>
<TransformationDictionary>
<DerivedField name="m" optype="categorical" dataType="string"><MapValues outputColumn="o" mapMissingTo="?" defaultValue="z">
<FieldColumnPair field="s" column="i"/><InlineTable><row><i>a</i><o>0</o></row></InlineTable>
</MapValues></DerivedField>
<DerivedField name="k" optype="categorical" dataType="string"><MapValues outputColumn="o">
<Extension name="recodeElseCopy"/><FieldColumnPair field="s" column="i"/></MapValues></DerivedField>
<DerivedField name="r" optype="continuous" dataType="double"><NormContinuous field="n" mapMissingTo="0">
<LinearNorm orig="0" norm="-1"/><LinearNorm orig="10" norm="1"/></NormContinuous></DerivedField>
<DerivedField name="b" optype="ordinal" dataType="double"><Discretize field="r">
<DiscretizeBin binValue="1"><Interval closure="openClosed" rightMargin="0"/></DiscretizeBin>
<DiscretizeBin binValue="2"><Interval closure="openOpen" leftMargin="0"/></DiscretizeBin>
</Discretize></DerivedField>
<DerivedField name="e" optype="continuous" dataType="double"><Apply function="ln">
<Apply function="+"><FieldRef field="n"/><Constant dataType="double">1</Constant></Apply>
</Apply></DerivedField>
</TransformationDictionary>
</PMML>
)";

// A document whose constant holds `entity`, declared in an internal
// subset with `declarations`.
std::string WithEntities(const std::string& declarations, const std::string& entity) {
  return "<?xml version=\"1.0\"?>\n<!DOCTYPE PMML [\n" + declarations +
         "]>\n<PMML version=\"4.0\" xmlns=\"http://www.dmg.org/PMML-4_0\">\n<DataDictionary>\n"
         "<DataField name=\"x\" optype=\"continuous\" dataType=\"double\"/>\n"
         "</DataDictionary>\n<TransformationDictionary>\n"
         "<DerivedField name=\"c\" optype=\"categorical\" dataType=\"string\">"
         "<Constant>" + entity + "</Constant></DerivedField>\n"
         "</TransformationDictionary>\n</PMML>\n";
}

// Nine levels of ten references each (10^9 copies); one large entity
// referred to many times (quadratic); entities that name files, general
// and parameter ones.
bool SeedEntities(const char* dir) {
  std::string laughs = "<!ENTITY lol0 \"lol\">\n";
  for (int level = 1; level <= 9; ++level) {
    laughs += "<!ENTITY lol" + std::to_string(level) + " \"";
    for (int i = 0; i < 10; ++i) laughs += "&lol" + std::to_string(level - 1) + ";";
    laughs += "\">\n";
  }
  std::string references;
  for (int i = 0; i < 2000; ++i) references += "&big;";
  return zelfuzz::Seed(dir, "entity_laughs", WithEntities(laughs, "&lol9;")) &&
         zelfuzz::Seed(dir, "entity_quadratic",
                       WithEntities("<!ENTITY big \"" + std::string(20000, 'x') + "\">\n",
                                    references)) &&
         zelfuzz::Seed(dir, "entity_file",
                       WithEntities("<!ENTITY file SYSTEM \"file:///etc/passwd\">\n", "&file;")) &&
         zelfuzz::Seed(dir, "entity_parameter",
                       WithEntities("<!ENTITY % file SYSTEM \"file:///etc/passwd\">\n%file;\n",
                                    "0"));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const char* dir = argv[1];
  const std::string csv = Data();
  struct Setup {
    const char* name;
    zelio::FieldRoles roles;
    void (*settings)(TorCommon_1_3::TorSettings*);
  };
  const Setup setups[] = {
      {"box_cox_target",
       {"y", "w", "", {}},
       [](TorCommon_1_3::TorSettings* s) {
         s->SetBool("rescaleScaleTargetUsingBoxCox", true);
         s->SetDouble("targetSD", 2);
         s->SetBool("detectTargetOutliers", true);
         s->SetBool("replaceScaleTargetMissingValue", true);
         for (const char* key : {"extractYearFromDate", "extractMonthFromDate",
                                 "extractDayFromDate", "extractHourFromTime",
                                 "extractMinuteFromTime", "extractSecondFromTime"}) {
           s->SetBool(key, true);
         }
         s->SetString("outliersOperation", "setToMissingVal");
       }},
      {"categorical_target", {"t", "", "", {}}, [](TorCommon_1_3::TorSettings*) {}},
      {"reordered_target",
       {"cat", "", "w", {}},
       [](TorCommon_1_3::TorSettings* s) {
         s->SetBool("reorderNominalTargetCategories", true);
         s->SetBool("replaceNominalTargetMissingValue", true);
         s->SetString("analysisWeight", "w");
       }},
      {"untargeted",
       {"", "", "", {}},
       [](TorCommon_1_3::TorSettings* s) {
         s->SetString("scaleFeatureRescalingMethod", "minMax");
         s->SetDouble("unsupervisedMergingMinPercentageOfCases", 25);
       }},
  };
  const zelio::Schema schema;
  for (const Setup& setup : setups) {
    zelio::LoadedData data;
    if (!zelfuzz::Load(csv, ',', schema, setup.roles, &data)) return 1;
    TorCommon_1_3::TorSettings settings;
    setup.settings(&settings);
    const std::string document = zelfuzz::Build(data, setup.roles, settings);
    if (document.empty()) {
      std::fprintf(stderr, "seed %s: the build failed\n", setup.name);
      return 1;
    }
    if (!zelfuzz::Seed(dir, setup.name, document)) return 1;
  }
  return zelfuzz::Seed(dir, "hand_written", kHandWritten) && SeedEntities(dir) ? 0 : 1;
}
