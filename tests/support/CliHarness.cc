#include "support/CliHarness.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "support/CsvReader.h"

namespace clitest {

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zelcli-XXXXXX").string();
  path_ = mkdtemp(pattern.data());
}

ScratchDir::~ScratchDir() { std::filesystem::remove_all(path_); }

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

std::vector<std::string> DirectoryEntries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name != ".stdout" && name != ".stderr") names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

std::vector<std::vector<std::string>> ReadCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  testhost::CsvReader reader(text, ',');
  std::vector<zelio::CsvCell> cells;
  while (reader.NextRow(&cells)) {
    rows.emplace_back();
    for (const zelio::CsvCell& cell : cells) rows.back().emplace_back(cell.text);
  }
  EXPECT_EQ(reader.error(), "");
  return rows;
}

std::string WithoutTimes(const std::string& pmml) {
  const std::regex timestamp("<Timestamp>[^<]*</Timestamp>");
  const std::regex seconds("processingTimeInSecond=\"[^\"]*\"");
  return std::regex_replace(std::regex_replace(pmml, timestamp, ""), seconds, "");
}

std::size_t Column(const std::vector<std::string>& header, const std::string& name) {
  for (std::size_t i = 0; i < header.size(); ++i) {
    if (header[i] == name) return i;
  }
  ADD_FAILURE() << "no column " << name;
  return 0;
}

std::string SiblingProgram(const std::string& name) {
  return (std::filesystem::path(ZEL_CLI_PATH).parent_path() / name).string();
}

void ExecCli(const std::vector<std::string>& args) {
  std::vector<char*> argv{const_cast<char*>(ZEL_CLI_PATH)};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  execv(ZEL_CLI_PATH, argv.data());
  _exit(127);
}

void WriteBoxCoxDocument(const ScratchDir& dir) {
  std::string csv = "x,y\n";
  for (int i = 0; i < 600; ++i) csv += std::to_string(i % 7) + "," + std::to_string(10 + i) + "\n";
  WriteFile(dir / "d.csv", csv);
  const RunResult run =
      RunCli(dir.path(), {"prepare", "d.csv", "--target", "y", "-q", "-o", "doc.pmml", "--set",
                          "rescaleScaleTargetUsingBoxCox=true", "--set", "targetSD=2"});
  ASSERT_EQ(run.status, 0) << run.err;
}

RunResult RunCli(const std::string& dir, const std::vector<std::string>& args,
                 const std::function<void()>& inChild) {
  const std::string outPath = dir + "/.stdout", errPath = dir + "/.stderr";
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(127);
    dup2(open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
    dup2(open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
    if (inChild) inChild();
    ExecCli(args);
  }
  int raw = 0;
  waitpid(pid, &raw, 0);
  RunResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  result.out = ReadFile(outPath);
  result.err = ReadFile(errPath);
  std::filesystem::remove(outPath);
  std::filesystem::remove(errPath);
  return result;
}

Document::Document(const std::string& text)
    : doc_(
          xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr,
                        XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
          xmlFreeDoc) {}

std::string Document::Eval(const std::string& xpath) const { return All("string(" + xpath + ")"); }

std::string Document::All(const std::string& xpath) const {
  if (!doc_) return std::string();
  xmlXPathContext* context = xmlXPathNewContext(doc_.get());
  xmlXPathRegisterNs(context, BAD_CAST "p", BAD_CAST "http://www.dmg.org/PMML-4_0");
  xmlXPathObject* value = xmlXPathEvalExpression(BAD_CAST xpath.c_str(), context);
  std::string text;
  if (value != nullptr && value->type == XPATH_STRING)
    text = reinterpret_cast<char*>(value->stringval);
  for (int i = 0; value != nullptr && value->nodesetval != nullptr && i < value->nodesetval->nodeNr;
       ++i) {
    xmlChar* content = xmlNodeGetContent(value->nodesetval->nodeTab[i]);
    text += (i == 0 ? "" : "|") + std::string(reinterpret_cast<char*>(content));
    xmlFree(content);
  }
  xmlXPathFreeObject(value);
  xmlXPathFreeContext(context);
  return text;
}

std::string Document::Field(const std::string& name, const std::string& path) const {
  return Eval("//p:DataField[@name='" + name + "']/" + path);
}

std::string Document::Range(const std::string& name) const {
  return Field(name, "p:Interval/@leftMargin") + ".." + Field(name, "p:Interval/@rightMargin");
}

::testing::AssertionResult Contains(const std::string& text, const std::string& part) {
  if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\"" << part << "\" is not in:\n" << text;
}

}  // namespace clitest
