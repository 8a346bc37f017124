// What the prepared data says it is: the target's level from the command line
// (--target-level), the schema file of the prepared columns (--schema-out of
// prepare and apply), and a whole-number Box-Cox target handed over as real
// numbers.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "support/CliHarness.h"

namespace clitest {
namespace {

using Json = nlohmann::ordered_json;

// 200 records: x rises with the record number and the target y turns from a
// to b half-way, so x is binned against y; region N and S come with a, E and
// W with b, so its four categories merge into two groups; flag (0/1) is the
// same target as a number.
std::string ModelData() {
  std::ostringstream out;
  out << "x,region,y,flag\n";
  for (int i = 0; i < 200; ++i) {
    const bool early = i < 100;
    const char* region = early ? (i % 2 ? "N" : "S") : (i % 2 ? "E" : "W");
    out << i << "," << region << "," << (early ? "a" : "b") << "," << (early ? 0 : 1) << "\n";
  }
  return out.str();
}

Json ReadJson(const std::string& path) { return Json::parse(ReadFile(path)); }

// The keys of the schema's fields, in order.
std::vector<std::string> SchemaColumns(const Json& schema) {
  std::vector<std::string> names;
  for (const auto& item : schema.at("fields").items()) names.push_back(item.key());
  return names;
}

TEST(CliTargetLevel, SetsTheTargetLevelWithoutASchemaAndWinsOverOne) {
  ScratchDir dir;
  WriteFile(dir / "d.csv", ModelData());
  // A 0/1 target is continuous by inference and categorical when declared.
  const RunResult inferred = RunCli(dir.path(), {"prepare", "d.csv", "--target", "flag", "-q"});
  ASSERT_EQ(inferred.status, 0) << inferred.err;
  EXPECT_EQ(Document(ReadFile(dir / "d.pmml")).Field("flag", "@optype"), "continuous");
  const RunResult nominal = RunCli(
      dir.path(), {"prepare", "d.csv", "--target", "flag", "--target-level", "nominal", "-q"});
  ASSERT_EQ(nominal.status, 0) << nominal.err;
  const Document doc(ReadFile(dir / "d.pmml"));
  EXPECT_EQ(doc.Field("flag", "@optype") + " " + doc.Field("flag", "@dataType"),
            "categorical integer");
  EXPECT_EQ(doc.Field("flag", ".//p:ClassOfField/@value"), "target");
  // The command line wins over the schema's level of the target.
  WriteFile(dir / "s.json", R"({"fields": {"flag": {"level": "continuous"}}})");
  const RunResult ordinal =
      RunCli(dir.path(), {"prepare", "d.csv", "--target", "flag", "--target-level", "ordinal",
                          "--schema", "s.json", "-q"});
  ASSERT_EQ(ordinal.status, 0) << ordinal.err;
  EXPECT_EQ(Document(ReadFile(dir / "d.pmml")).Field("flag", "@optype"), "ordinal");
  // A text target is nominal; it cannot be continuous, and as ordinal text
  // it needs its categories from a schema.
  const RunResult text = RunCli(
      dir.path(), {"prepare", "d.csv", "--target", "y", "--target-level", "nominal", "-q"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(Document(ReadFile(dir / "d.pmml")).Field("y", "@optype"), "categorical");

  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const Case refused[] = {
      {{"--target", "y", "--target-level", "continuous"}, "field 'y' holds text and cannot be"},
      {{"--target", "y", "--target-level", "ordinal"}, "needs its \"categories\" in order"},
      {{"--target-level", "nominal"}, "--target-level requires --target"},
      {{"--target", "y", "--target-level", "binary"}, "binary not in {nominal,ordinal,continuous}"},
  };
  for (const Case& c : refused) {
    ScratchDir fresh;
    WriteFile(fresh / "d.csv", ModelData());
    std::vector<std::string> args = {"prepare", "d.csv"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const RunResult run = RunCli(fresh.path(), args);
    EXPECT_EQ(run.status, 2) << c.message;
    EXPECT_TRUE(Contains(run.err, c.message));
    EXPECT_FALSE(FileExists(fresh / "d.pmml"));
  }
}

TEST(CliSchemaOut, DescribesEveryWrittenColumnInOrder) {
  ScratchDir dir;
  WriteFile(dir / "d.csv", ModelData());
  const RunResult run =
      RunCli(dir.path(), {"prepare", "d.csv", "--target", "y", "--data-out", "p.csv",
                          "--schema-out", "p.json", "--set", "featureSelection=false"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.err, "its schema written to p.json"));
  const Json schema = ReadJson(dir / "p.json");
  const auto rows = ReadCsv(ReadFile(dir / "p.csv"));
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(SchemaColumns(schema), rows[0]);

  // The binned x and the merged region are categories although their
  // values are numbers; the text target keeps its storage and its role.
  const Document doc(ReadFile(dir / "d.pmml"));
  const std::string binned = doc.Eval("string(//p:DerivedField[p:Discretize]/@name)");
  const std::string merged = doc.Eval("string(//p:DerivedField[.//p:MapValues]/@name)");
  ASSERT_FALSE(binned.empty());
  ASSERT_FALSE(merged.empty());
  const Json& fields = schema.at("fields");
  EXPECT_EQ(fields.at(binned).at("level"), "ordinal");
  EXPECT_EQ(fields.at(binned).at("storage"), "real");
  // The groups of text categories are numbered as texts.
  EXPECT_EQ(fields.at(merged).at("level"), "nominal");
  EXPECT_EQ(fields.at(merged).at("storage"), "string");
  EXPECT_EQ(fields.at("y"), Json::parse(R"({"storage": "string", "level": "nominal",
                                            "role": "target"})"));
  // flag has two values, fewer than five, and is recast to ordinal.
  EXPECT_EQ(fields.at("flag_transformed"),
            Json::parse(R"({"storage": "integer", "level": "ordinal"})"));

  // apply writes the same schema for the same columns, and with
  // --all-fields one entry for each column it then writes.
  const RunResult applied = RunCli(
      dir.path(), {"apply", "d.pmml", "d.csv", "-o", "a.csv", "--schema-out", "a.json", "-q"});
  ASSERT_EQ(applied.status, 0) << applied.err;
  EXPECT_EQ(ReadJson(dir / "a.json"), schema);
  const RunResult all = RunCli(dir.path(), {"apply", "d.pmml", "d.csv", "--all-fields",
                                            "-o", "all.csv", "--schema-out", "-", "-q"});
  ASSERT_EQ(all.status, 0) << all.err;
  EXPECT_EQ(SchemaColumns(Json::parse(all.out)), ReadCsv(ReadFile(dir / "all.csv"))[0]);

  // The written schema reads back as a schema of the prepared data.
  const RunResult again =
      RunCli(dir.path(), {"prepare", "p.csv", "--schema", "p.json", "-o", "again.pmml", "-q"});
  ASSERT_EQ(again.status, 0) << again.err;
  const Document second(ReadFile(dir / "again.pmml"));
  EXPECT_EQ(second.Field(merged, "@optype"), "categorical");
  EXPECT_EQ(second.Field("y", ".//p:ClassOfField/@value"), "target");
}

TEST(CliSchemaOut, RefusesWhatItCannotWriteAndLeavesNothing) {
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
      {{"prepare", "d.csv", "--schema-out", "s.json"}, "--schema-out requires --data-out"},
      {{"prepare", "d.csv", "--data-out", "p.csv", "--schema-out", "p.csv"},
       "cannot be written to p.csv, which another output names"},
      {{"prepare", "d.csv", "--data-out", "p.csv", "--schema-out", "d.pmml"},
       "cannot be written to d.pmml, which another output names"},
      {{"prepare", "d.csv", "--data-out", "-", "--schema-out", "-"}, "standard output"},
      {{"prepare", "d.csv", "--data-out", "p.csv", "--schema-out", "d.csv"}, "data"},
      {{"apply", "m.pmml", "d.csv", "--schema-out", "-"},
       "the prepared data and its schema cannot both go to standard output"},
      {{"apply", "m.pmml", "d.csv", "-o", "a.csv", "--schema-out", "a.csv"},
       "cannot both be written to a.csv"},
      {{"apply", "m.pmml", "d.csv", "-o", "a.csv", "--schema-out", "m.pmml"}, "document"},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    WriteFile(dir / "d.csv", ModelData());
    ASSERT_EQ(RunCli(dir.path(), {"prepare", "d.csv", "-o", "m.pmml", "-q"}).status, 0);
    const RunResult run = RunCli(dir.path(), c.args);
    EXPECT_EQ(run.status, 2) << c.message;
    EXPECT_TRUE(Contains(run.err, c.message));
    EXPECT_EQ(DirectoryEntries(dir.path()), (std::vector<std::string>{"d.csv", "m.pmml"}))
        << c.message;
  }
}

TEST(CliBoxCox, AWholeNumberTargetIsTransformedAsRealNumbers) {
  ScratchDir dir;
  // 40 whole-number targets from 1 to 40, skewed by squaring, and an input.
  std::ostringstream data;
  data << "x,count\n";
  for (int i = 1; i <= 40; ++i) data << i % 7 << "," << (i * i) / 40 + 1 << "\n";
  WriteFile(dir / "d.csv", data.str());
  const std::vector<std::string> boxCox = {"prepare", "d.csv", "--target", "count", "--set",
                                           "rescaleScaleTargetUsingBoxCox=true", "--data-out",
                                           "p.csv"};
  const RunResult whole = RunCli(dir.path(), boxCox);
  ASSERT_EQ(whole.status, 0) << whole.err;
  EXPECT_TRUE(Contains(whole.err, "note: the target 'count' holds whole numbers and is "
                                  "transformed by Box-Cox: it is handed over as real numbers"));
  EXPECT_FALSE(Contains(whole.err, "truncated"));
  EXPECT_TRUE(Contains(ReadFile(dir / "d.pmml"),
                       R"(<DataField name="count" optype="continuous" dataType="double">)"));
  std::vector<std::string> quiet = boxCox;
  quiet.push_back("-q");
  EXPECT_EQ(RunCli(dir.path(), quiet).err, "");

  // The transformed target keeps one value per target value (the squares
  // give 31 distinct counts), as when the schema declares the target real.
  auto distinct = [&](const std::string& file) {
    const auto rows = ReadCsv(ReadFile(dir / file));
    const std::size_t column = Column(rows[0], "count_transformed");
    std::set<std::string> values;
    for (std::size_t r = 1; r < rows.size(); ++r) values.insert(rows[r][column]);
    return values.size();
  };
  std::set<int> counts;
  for (int i = 1; i <= 40; ++i) counts.insert((i * i) / 40 + 1);
  EXPECT_EQ(distinct("p.csv"), counts.size());
  const std::string inferred = ReadFile(dir / "p.csv");
  WriteFile(dir / "s.json", R"({"fields": {"count": {"storage": "real"}}})");
  std::vector<std::string> real = boxCox;
  real.insert(real.end(), {"--schema", "s.json"});
  const RunResult declared = RunCli(dir.path(), real);
  ASSERT_EQ(declared.status, 0) << declared.err;
  EXPECT_EQ(ReadFile(dir / "p.csv"), inferred);
}

}  // namespace
}  // namespace clitest
