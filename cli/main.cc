// The `zelcraft` command line: option parsing and dispatch to the commands.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <new>
#include <sstream>
#include <string>

#include "ApplyCommand.h"
#include "EscapedErrors.h"
#include "InverseCommand.h"
#include "PrepareCommand.h"
#include "ReportCommand.h"
#include "io/SettingsFile.h"
#include "preparation/HostSettings.h"
#include "frame/ZelFactory.h"

using ZelFrame::ZelFactory;

namespace {

// The help text's list of every settings key with its type and default.
std::string SettingsKeyHelp() {
  const auto& keys = ZelFactory::GetSettingKeys();
  std::size_t width = 0;
  for (const auto& key : keys) width = std::max(width, key.name.size());
  std::ostringstream out;
  out << "Settings keys (in --settings FILE.json or --set KEY=VALUE):\n";
  for (const auto& key : keys) {
    std::string type = zelio::SettingTypeName(key.type);
    type = type.substr(type.find(' ') + 1);
    out << "  " << key.name << std::string(width - key.name.size() + 2, ' ') << type
        << std::string(8 - std::min<std::size_t>(type.size(), 7), ' ') << "default "
        << (zelprep::HostDefault(key).empty() ? "\"\"" : zelprep::HostDefault(key)) << ". "
        << key.description
        << "\n";
  }
  return out.str();
}

bool ParseDelimiter(const std::string& text, char* delimiter) {
  if (text == "\\t" || text == "tab") {
    *delimiter = '\t';
    return true;
  }
  if (text.size() != 1 || text[0] == '"' || text[0] == '\r' || text[0] == '\n') return false;
  *delimiter = text[0];
  return true;
}

// A size or count is never negative: "-1M" would otherwise wrap round to
// the largest unsigned value and be reported as an overflow.
const CLI::Validator kNotNegative(
    [](std::string& text) {
      const std::size_t first = text.find_first_not_of(" \t");
      return first != std::string::npos && text[first] == '-'
                 ? "a size cannot be negative: " + text
                 : std::string();
    },
    "", "not negative");

}  // namespace

int main(int argc, char** argv) {
  const zelcli::EscapedErrors escapedErrors;
  CLI::App app{"Zelcraft: prepares the fields of a data set for predictive modelling."};
  app.set_version_flag("--version", "zelcraft " ZEL_VERSION);
  app.require_subcommand(1);

  zelcli::PrepareOptions options;
  std::string delimiter = ",";
  CLI::App* prepare = app.add_subcommand(
      "prepare", "Read a CSV file (or several as one) and write the preparation document (PMML "
                 "4.0).");
  prepare
      ->add_option("DATA", options.dataPaths,
                   "The CSV file, with a header row of field names; several files (or a quoted "
                   "glob pattern, expanded here in name order) are read as one data set, each "
                   "with the same header")
      ->required();
  prepare->add_option("-o,--output", options.outputPath,
                      "The document; default <DATA stem>.pmml here; - for standard output");
  CLI::Option* dataOut =
      prepare->add_option("--data-out", options.dataOutPath,
                          "Also write the prepared data set (CSV) by replaying the document; - "
                          "for standard output; a path with {name} writes one file per input "
                          "file, {name} its file name without the extension");
  prepare
      ->add_option("--schema-out", options.schemaOutPath,
                   "Also write the prepared data's storage and levels as a --schema file (JSON)")
      ->needs(dataOut);
  CLI::Option* target = prepare->add_option("--target", options.target, "The target field");
  prepare
      ->add_option("--target-level", options.targetLevel,
                   "The target's measurement level, overriding the schema and inference")
      ->check(CLI::IsMember({"nominal", "ordinal", "continuous"}))
      ->needs(target);
  prepare->add_option("--frequency-weight", options.frequencyWeight,
                      "The field whose values count each record that many times");
  prepare->add_option("--analysis-weight", options.analysisWeight,
                      "The field that weights each record in means and variances");
  prepare->add_option("--schema", options.schemaPath, "Field metadata (JSON) overriding inference");
  prepare->add_option("--settings", options.settingsPath,
                      "A JSON object of settings keys (// comments allowed), such as a profile "
                      "from profiles/");
  prepare->add_option("--stats", options.statsPath,
                      "Also write the field statistics as CSV (field, kind, count, missing, mean, "
                      "min, max, sd, skewness, categories)");
  prepare->add_option("--report", options.reportPath,
                      "Also write the report page (HTML) of the document; - for standard output");
  prepare->add_option("--set", options.assignments, "KEY=VALUE: one setting; wins over --settings")
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  prepare->add_option("--delimiter", delimiter, "The cell delimiter (default ,; \\t for tab)");
  prepare->add_flag("--stream", options.stream,
                    "Read the file again for every data pass instead of holding it in memory");
  prepare
      ->add_option("--memory-limit", options.memoryLimit,
                   "The memory the columns and the statistics may take (bytes, or with K, M or "
                   "G): the file is streamed when its columns do not fit beside the "
                   "statistics, and a build whose statistics do not fit is refused; default "
                   "half the physical memory")
      ->transform(CLI::AsSizeValue(false))
      ->transform(kNotNegative);  // a transform added later runs first
  prepare->add_option("--threads", options.threads,
                      "Threads for the data passes, which read fixed blocks of rows (default: "
                      "one per core); 1 keeps everything on one thread, otherwise a second "
                      "thread also splits the file's rows while they are converted. The "
                      "document does not depend on it")
      ->check(CLI::Range(0, 64));
  prepare->add_flag("--progress", options.progress, "Show progress even when not on a terminal");
  prepare->add_flag("-q,--quiet", options.quiet,
                    "No progress, warnings or summary; errors are still printed");
  prepare->footer(SettingsKeyHelp());

  zelcli::ApplyOptions apply;
  CLI::App* applyCommand = app.add_subcommand(
      "apply", "Replay a preparation document on a CSV file (or several as one) and write the "
      "prepared data set.");
  applyCommand->add_option("DOC", apply.documentPath, "The preparation document")->required();
  applyCommand
      ->add_option("DATA", apply.dataPaths,
                   "The CSV file, with a header row; the target and weights may be absent; "
                   "several files (or a quoted glob pattern) are read as one, each with the "
                   "same header")
      ->required();
  applyCommand->add_option("-o,--output", apply.outputPath,
                           "The prepared data set; default - (standard output); a path with "
                           "{name} writes one file per input file, {name} its file name "
                           "without the extension");
  applyCommand->add_option("--schema-out", apply.schemaOutPath,
                           "Also write the written columns' storage and levels as a --schema "
                           "file (JSON)");
  applyCommand->add_flag("--all-fields", apply.allFields,
                         "Also write the derived fields the document does not recommend");
  applyCommand->add_option("--delimiter", delimiter, "The cell delimiter (default ,; \\t for tab)");
  applyCommand->add_flag("--progress", apply.progress, "Show progress even when not on a terminal");
  applyCommand->add_flag("-q,--quiet", apply.quiet, "No progress or warnings");

  zelcli::InverseOptions inverse;
  CLI::App* inverseCommand = app.add_subcommand(
      "inverse", "Map predictions of a transformed target back to the original target.");
  inverseCommand->add_option("DOC", inverse.documentPath, "The preparation document")->required();
  inverseCommand
      ->add_option("PREDICTIONS", inverse.predictionsPaths,
                   "A CSV file with a header row; several files (or a quoted glob pattern) are "
                   "read as one, each with the same header")
      ->required();
  inverseCommand
      ->add_option("--column", inverse.column,
                   "The column of predictions; NAME_inverse is appended")
      ->required();
  inverseCommand->add_option("-o,--output", inverse.outputPath,
                             "The result; default - (standard output); a path with {name} "
                             "writes one file per input file");
  inverseCommand->add_option("--delimiter", delimiter,
                             "The cell delimiter (default ,; \\t for tab)");
  inverseCommand->add_flag("--progress", inverse.progress,
                           "Show progress even when not on a terminal");
  inverseCommand->add_flag("-q,--quiet", inverse.quiet, "No progress or warnings");

  zelcli::ReportOptions report;
  CLI::App* reportCommand = app.add_subcommand(
      "report", "Write the report page of a preparation document: one self-contained HTML file.");
  reportCommand->add_option("DOC", report.documentPath, "The preparation document")->required();
  reportCommand->add_option("-o,--output", report.outputPath,
                            "The page; default <DOC stem>.html here; - for standard output");
  reportCommand->add_flag("-q,--quiet", report.quiet, "Print nothing but errors");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Help and version end with 0; every usage error with 2.
    return app.exit(e) == 0 ? zelcli::kExitSuccess : zelcli::kExitInputError;
  }
  char cellDelimiter;
  if (!ParseDelimiter(delimiter, &cellDelimiter)) {
    std::cerr << "error: --delimiter takes one character other than a quote or line break\n";
    return zelcli::kExitInputError;
  }
  // The last line of defence: the readers refuse bad input themselves, but
  // running out of memory may strike anywhere and must end cleanly.
  try {
    if (applyCommand->parsed()) {
      apply.delimiter = cellDelimiter;
      return zelcli::RunApply(apply);
    }
    if (reportCommand->parsed()) return zelcli::RunReport(report);
    if (inverseCommand->parsed()) {
      inverse.delimiter = cellDelimiter;
      return zelcli::RunInverse(inverse);
    }
    options.delimiter = cellDelimiter;
    return zelcli::RunPrepare(options);
  } catch (const std::bad_alloc&) {
    std::cerr << "error: out of memory\n";
  } catch (const std::exception& e) {
    std::cerr << "error: " << e.what() << "\n";
  }
  return zelcli::kExitComponentError;
}
