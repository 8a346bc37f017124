#include "apply/CrossCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "apply/ApplyTestDoc.h"
#include "apply/Document.h"
#include "apply/DocumentFacts.h"
#include "frame/ZelRecordTransformer.h"

using ZelFrame::ZelRecordTransformer;

namespace crosscheck {

namespace {

using testhost::Build;
using testhost::MemorySource;
using zelapply::Value;
using zelapply::ValueType;

std::string Describe(const RawData& d) {
  if (d.IsMissing()) return "missing";
  if (d.GetStorage() == kStorageString) return "'" + d.GetString() + "'";
  if (d.GetStorage() == kStorageInteger) return std::to_string(d.GetInteger()) + " (whole)";
  return std::to_string(d.GetDouble());
}

Value ToValue(const RawData& d) {
  Value v;
  const auto type = static_cast<ValueType>(d.GetStorage());
  if (d.IsMissing()) {
    v.SetMissing(type);
  } else if (type == ValueType::kInteger) {
    v.SetInteger(d.GetInteger());
  } else if (type == ValueType::kString) {
    v.SetText(d.GetString());
  } else {
    v.SetReal(d.GetDouble(), type);
  }
  return v;
}

// Reordering keeps the category in the build's record but codes it by its
// position in the document; the document's own table relates the two.
std::map<std::string, std::string> ReorderCodes(const std::string& pmml, const std::string& field) {
  std::map<std::string, std::string> categoryOfCode;
  zelapply::DocumentFacts facts;
  EXPECT_TRUE(zelapply::ReadDocumentFacts(pmml, &facts).ok());
  const zelapply::FieldFact* derived = facts.Field(field);
  if (derived == nullptr) return categoryOfCode;
  for (const zelapply::ExpressionNode& table : derived->expression.children) {
    for (const zelapply::ExpressionNode& row : table.children) {
      std::string input, output;
      for (const zelapply::ExpressionNode& cell : row.children) {
        (cell.element == "input" ? input : output) = cell.text;
      }
      if (row.element == "row") categoryOfCode[output] = input;
    }
  }
  return categoryOfCode;
}

std::string CodeText(const Value& v) {
  if (v.type == ValueType::kString) return v.text;
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", v.AsDouble());
  return text;
}

// Empty when the two agree.
std::string Compare(const RawData& built, const Value& replayed,
                    const std::map<std::string, std::string>* reorder) {
  const std::string both = "build " + Describe(built) + ", engine " + applytest::Show(replayed);
  if (built.IsMissing() || replayed.missing) {
    return built.IsMissing() == replayed.missing ? "" : both;
  }
  if (reorder != nullptr) {
    const auto code = reorder->find(CodeText(replayed));
    const std::string category = code == reorder->end() ? "?" : code->second;
    const std::string expected =
        built.GetStorage() == kStorageString ? built.GetString() : CodeText(ToValue(built));
    return category == expected ? "" : both + " (category " + category + ")";
  }
  switch (built.GetStorage()) {
    case kStorageString:
      return replayed.type == ValueType::kString && replayed.text == built.GetString() ? "" : both;
    case kStorageInteger:
      return replayed.type == ValueType::kInteger && replayed.integer == built.GetInteger() ? ""
                                                                                            : both;
    default: {
      if (!replayed.IsNumeric()) return both;
      const double a = built.GetDouble(), b = replayed.AsDouble();
      const double scale = std::max({1.0, std::fabs(a), std::fabs(b)});
      return std::fabs(a - b) <= 1e-12 * scale ? "" : both;
    }
  }
}

}  // namespace

std::set<uint32_t> CrossCheck(const Case& c) {
  SCOPED_TRACE(c.name);
  std::set<uint32_t> compared;
  TorVarList vars;
  c.fields(&vars);
  MemorySource source;
  std::mt19937_64 random(20260101);
  for (int i = 0; i < c.records; ++i) {
    const std::vector<RawData> values = c.record(i, random);
    RawRecord record(values.size());
    for (std::size_t k = 0; k < values.size(); ++k) record[k] = values[k];
    source.Add(std::move(record));
  }
  TorSettings settings = c.settings();
  Build build;
  build.Run(settings, vars, source);
  EXPECT_FALSE(build.executeStatus.IsError()) << build.executeStatus.GetCode();
  TorStatus written;
  const std::string pmml = build.Pmml(&written);
  EXPECT_FALSE(written.IsError()) << written.GetCode();
  zelapply::CompiledDocument document;
  const zelstatus::Status status = zelapply::CompileDocument(pmml, &document);
  if (!status.ok() || build.executeStatus.IsError()) {
    ADD_FAILURE() << status.message();
    return compared;
  }
  const zelapply::Program& program = *document.program;
  const ZelVariableHandleList& fields = build.Fields();

  struct Pair {
    int field;   // in the build's field list
    int engine;  // in the program
    std::map<std::string, std::string> reorder;
    bool isReorder = false;
    int mismatches = 0;
  };
  std::vector<Pair> inputs, derived;
  for (int i = 0; i < fields.Count(); ++i) {
    const ZelVariableHandleInfo& field = *fields.GetHandle(i);
    const int engine = program.Find(field.GetName());
    const bool droppedCopy =
        field.IsDerived() && field.IsExcluded() && field.GetExcludedReason().action == 2;
    EXPECT_EQ(engine < 0, droppedCopy) << field.GetName();
    if (engine < 0) continue;
    if (!field.IsDerived()) {
      inputs.push_back({i, engine, {}, false, 0});
      continue;
    }
    const uint32_t action = field.GetRule()->GetPair().action;
    compared.insert(action);
    Pair pair{i, engine, {}, action == 33 || action == 37, 0};
    if (pair.isReorder) pair.reorder = ReorderCodes(pmml, field.GetName());
    derived.push_back(std::move(pair));
  }

  ZelRecordTransformer transformer(&fields, true);
  zelapply::Frame frame = program.NewFrame();
  int used = 0;
  for (std::size_t r = 0; r < source.records().size(); ++r) {
    const RawRecord& host = source.records()[r];
    const RawRecord& working = transformer.Transform(host);
    if (!transformer.IsUsable()) continue;
    ++used;
    for (const Pair& input : inputs) frame[input.engine] = ToValue(host[input.field]);
    program.Evaluate(&frame);
    for (Pair& pair : derived) {
      const std::string difference = Compare(working[pair.field], frame[pair.engine],
                                             pair.isReorder ? &pair.reorder : nullptr);
      if (!difference.empty() && pair.mismatches++ < 3) {
        ADD_FAILURE() << fields.GetHandle(pair.field)->GetName() << ", record " << r << ": "
                      << difference;
      }
    }
  }
  EXPECT_GT(used, c.records / 2);
  if (c.expect) c.expect(fields);
  for (uint32_t action : c.actions) {
    EXPECT_TRUE(compared.count(action)) << "the data set no longer exercises action " << action;
  }
  return compared;
}

}  // namespace crosscheck
