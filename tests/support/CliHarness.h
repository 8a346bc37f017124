// Helpers for the command-line tests: a scratch directory, running the built
// `zelcraft` binary in it, and XPath look-ups in the documents it writes.
#ifndef ZELCRAFT_TESTS_SUPPORT_CLIHARNESS_H_
#define ZELCRAFT_TESTS_SUPPORT_CLIHARNESS_H_

#include <gtest/gtest.h>
#include <libxml/tree.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace clitest {

// A fresh directory, removed with everything in it at the end of the test.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& text);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
// The names in `dir`, sorted, less the files RunCli keeps its output in.
std::vector<std::string> DirectoryEntries(const std::string& dir);

// The lines of a text, without their line breaks; no empty last line after
// a final break.
std::vector<std::string> Lines(const std::string& text);

// The rows of a CSV text, each cell's text; a malformed text fails the test.
std::vector<std::vector<std::string>> ReadCsv(const std::string& text);
// The position of column `name` in `header`; a missing one fails the test.
std::size_t Column(const std::vector<std::string>& header, const std::string& name);

struct RunResult {
  int status = -1;  // exit status; 128 + signal when killed by one
  std::string out;
  std::string err;
};

// Runs `zelcraft` with `args` in `dir`; `inChild` (optional) runs in the
// child just before the program starts, to set limits, say.
RunResult RunCli(const std::string& dir, const std::vector<std::string>& args,
                 const std::function<void()>& inChild = nullptr);
// In a forked child: replaces it by `zelcraft` with `args`.
[[noreturn]] void ExecCli(const std::vector<std::string>& args);
// Path of a program built beside `zelcraft`.
std::string SiblingProgram(const std::string& name);

// Writes d.csv (x in 0..6, y from 10 up, 600 rows) into `dir` and prepares it
// into doc.pmml with a Box-Cox target, so that the document has a target
// inverse; a failed preparation fails the test.
void WriteBoxCoxDocument(const ScratchDir& dir);

// A document without the time it was made and how long the making took.
std::string WithoutTimes(const std::string& pmml);

// Whether `text` holds `part`; on failure the message shows the whole text.
::testing::AssertionResult Contains(const std::string& text, const std::string& part);

// A parsed document. XPath expressions name PMML elements with the prefix p.
class Document {
 public:
  explicit Document(const std::string& text);
  bool ok() const { return doc_ != nullptr; }
  // The expression's string value.
  std::string Eval(const std::string& xpath) const;
  // The string values of the nodes the expression selects, joined by "|".
  std::string All(const std::string& xpath) const;
  // Eval of `path` relative to DataField `name`, e.g. "@dataType".
  std::string Field(const std::string& name, const std::string& path) const;
  // The margins of DataField `name`'s Interval, as "left..right".
  std::string Range(const std::string& name) const;

 private:
  std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> doc_;
};

}  // namespace clitest

#endif  // ZELCRAFT_TESTS_SUPPORT_CLIHARNESS_H_
