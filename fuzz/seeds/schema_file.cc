// Seeds of fuzz_schema_file: schemas over the fields of the target's fixed
// data set (id, age, size, region, code, when, at, t).
#include <string>

#include "../SeedWriter.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const char* dir = argv[1];
  const std::pair<const char*, std::string> seeds[] = {
      {"readme", R"({"fields": {"age": {"storage": "integer", "missingValues": [999]},
                  "size": {"level": "ordinal", "categories": ["small", "medium", "large"]},
                  "id": {"role": "none"}}})"},
      {"labels", R"({"fields": {"region": {"level": "nominal", "missingStrings": ["?"],
                  "valueLabels": {"N": "North"}}, "code": {"storage": "string"},
                  "t": {"role": "target", "label": "Outcome"}}})"},
      {"times", R"({"fields": {"when": {"storage": "date"}, "at": {"storage": "time"},
                  "age": {"missingRange": [30, 40]}}})"},
      {"empty", R"({"fields": {}})"},
  };
  for (const auto& seed : seeds) {
    if (!zelfuzz::Seed(dir, seed.first, seed.second)) return 1;
  }
  return 0;
}
