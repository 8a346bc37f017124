// A data file read more than once must be the same file with the same bytes
// every time: a streamed build over a file replaced, edited in place (its
// size and modification time kept) or grown between two passes or during
// one fails with an error naming the file instead of mixing two files, and
// so does the loader's second read of a column that turned out to be text.
// The changes are made by hooks that run at fixed points of the read, so
// every case is deterministic.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <memory>

#include "frame/ZelFactory.h"
#include "preparation/BlockFeed.h"
#include "preparation/BlockedBuild.h"
#include "io/CsvRecordSource.h"
#include "io/DataLoader.h"
#include "io/HostFields.h"
#include "io/StreamHash.h"
#include "support/CliHarness.h"
#include "support/TestHost.h"

using ZelFrame::ZelFactory;

namespace zelio {
namespace {

using namespace TorCommon_1_3;
using zelprep::RunBlockedBuild;
using zelprep::StreamBlockFeed;

// Rows of a whole number, a decimal and a category; 300 rows make several
// chunks of 256 bytes.
std::string Rows(int count) {
  std::string csv = "n,x,c\n";
  for (int r = 0; r < count; ++r) {
    csv += std::to_string(r * 7 % 100) + "," + std::to_string(r % 13) + ".5," +
           (r % 3 == 0 ? "red" : "blue") + "\n";
  }
  return csv;
}

// Overwrites bytes of the file in place and puts its modification time
// back, so that only its bytes tell the change.
void EditInPlace(const std::string& path, std::size_t offset, const std::string& bytes) {
  struct stat before;
  ASSERT_EQ(stat(path.c_str(), &before), 0);
  std::FILE* file = std::fopen(path.c_str(), "r+b");
  ASSERT_NE(file, nullptr);
  std::fseek(file, static_cast<long>(offset), SEEK_SET);
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// Calls the hook when a phase starts or a pass ends.
class Hook : public ReadProgress {
 public:
  std::function<void(const std::string&)> onPhase = [](const std::string&) {};
  std::function<void(int)> onPassEnd = [](int) {};
  void StartPhase(const std::string& phase) override { onPhase(phase); }
  void PassEnded(int64_t) override { onPassEnd(++passes_); }

 private:
  int passes_ = 0;
};

struct Loaded {
  zelstatus::Kind result;
  LoadedData data;
  std::string error;
};

Loaded Load(const std::string& path, bool stream, ReadProgress& progress) {
  static const Schema schema;
  LoadRequest request;
  request.paths = {path};
  request.schema = &schema;
  request.stream = stream;
  request.chunkBytes = 256;
  testhost::FlagCheck never;
  Loaded loaded;
  const zelstatus::Status status = LoadCsv(request, never, progress, &loaded.data);
  loaded.result = status.kind();
  loaded.error = status.message();
  return loaded;
}

// A whole streamed build with the hook between its passes: the status and
// the feed's error.
std::pair<TorStatus, std::string> StreamedBuild(const std::string& path,
                                                const std::function<void(int)>& betweenPasses) {
  Loaded loaded = Load(path, true, ReadProgress::Silent());
  EXPECT_EQ(loaded.result, zelstatus::Kind::kOk) << loaded.error;
  HostFields fields;
  BuildHostFields(loaded.data.plans, loaded.data.store, FieldRoles(), &fields);
  ZelFactory factory;
  TorSettings settings;
  std::unique_ptr<ITorAlgorithm> algorithm(factory.CreateTorAlgorithm(settings, fields.variables));
  EXPECT_NE(algorithm, nullptr);
  CsvSourceFile file{{path}, ',', loaded.data.rows, loaded.data.store.names.size(), true, 256,
                     loaded.data.fingerprints};
  StreamBlockFeed feed(file, loaded.data.plans, fields.columnOf, 1);
  Hook hook;
  hook.onPassEnd = betweenPasses;
  std::string detail;
  const TorStatus status = RunBlockedBuild({algorithm.get()}, feed, hook, &detail);
  return {status, feed.Error()};
}

TEST(InputChangesTest, AStreamedBuildOverAFileChangedBetweenPassesFails) {
  clitest::ScratchDir dir;
  const std::string path = dir / "d.csv";
  const std::string csv = Rows(300);
  const std::size_t digit = csv.find("\n3,") + 1;  // the first cell of a row
  const struct {
    const char* name;
    std::function<void()> change;
    const char* why;
  } cases[] = {
      {"same-size replacement", [&] {
         std::string other = csv;
         other[digit] = '4';
         clitest::WriteFile(dir / "new.csv", other);
         ASSERT_EQ(std::rename((dir / "new.csv").c_str(), path.c_str()), 0);
       }, "another file took its place"},
      {"one digit edited in place", [&] { EditInPlace(path, digit, "4"); },
       "its bytes differ from those read first"},
      {"rows appended", [&] { clitest::WriteFile(path, csv + "5,1.5,red\n"); },
       "its size went from"},
  };
  for (const auto& c : cases) {
    clitest::WriteFile(path, csv);
    const auto [status, error] = StreamedBuild(path, [&](int pass) {
      if (pass == 2) c.change();
    });
    EXPECT_TRUE(status.IsError()) << c.name;
    EXPECT_EQ(error.rfind(path + ": the file changed while it was read", 0), 0u)
        << c.name << ": " << error;
    EXPECT_NE(error.find(c.why), std::string::npos) << c.name << ": " << error;
  }
  // Untouched, the same build succeeds.
  clitest::WriteFile(path, csv);
  const auto [status, error] = StreamedBuild(path, [](int) {});
  EXPECT_FALSE(status.IsError());
  EXPECT_EQ(error, "");
}

TEST(InputChangesTest, APassNoticesBytesEditedWhileItReads) {
  clitest::ScratchDir dir;
  const std::string path = dir / "d.csv";
  const std::string csv = Rows(300);
  clitest::WriteFile(path, csv);
  Loaded loaded = Load(path, true, ReadProgress::Silent());
  ASSERT_EQ(loaded.result, zelstatus::Kind::kOk) << loaded.error;
  // One thread and small chunks: the pass has read only the first chunk
  // when the last row is edited.
  CsvSourceFile file{{path}, ',', loaded.data.rows, 3, false, 256, loaded.data.fingerprints};
  CsvRecordSource source(file, loaded.data.plans, {0, 1, 2}, ReadProgress::Silent());
  ASSERT_NE(source.NextRecord(), nullptr);
  EditInPlace(path, csv.size() - 4, "der");  // "blue" becomes "bder"
  int64_t records = 1;
  while (source.HasMoreRecords() && source.NextRecord() != nullptr) ++records;
  // The last record is withheld: the pass ends in the error.
  EXPECT_EQ(records, 299);
  EXPECT_EQ(source.error(),
            path + ": the file changed while it was read: its bytes differ from those read first");
  // Rows appended after a complete first pass of the source's own, without
  // the loader's fingerprint, are noticed at the end of the next.
  clitest::WriteFile(path, csv);
  file.fingerprints.clear();
  CsvRecordSource own(file, loaded.data.plans, {0, 1, 2}, ReadProgress::Silent());
  while (own.HasMoreRecords() && own.NextRecord() != nullptr) {
  }
  EXPECT_EQ(own.error(), "");
  {
    std::FILE* append = std::fopen(path.c_str(), "ab");
    std::fputs("1,1.5,red\n", append);
    std::fclose(append);
  }
  own.Rewind();
  EXPECT_FALSE(own.HasMoreRecords());
  EXPECT_NE(own.error().find("its size went from"), std::string::npos) << own.error();
}

TEST(InputChangesTest, TheSecondReadOfATextColumnChecksTheFile) {
  clitest::ScratchDir dir;
  const std::string path = dir / "t.csv";
  // Column t holds numbers in its first chunk and texts later: it is read
  // again, and the edit lands between the two reads.
  std::string csv = "t,n\n";
  for (int r = 0; r < 200; ++r) {
    csv += (r < 150 ? std::to_string(r) : "w" + std::to_string(r)) + ",1\n";
  }
  clitest::WriteFile(path, csv);
  Hook hook;
  hook.onPhase = [&](const std::string& phase) {
    if (phase == "reading again") EditInPlace(path, csv.find("\n7,") + 1, "8");
  };
  const Loaded changed = Load(path, false, hook);
  EXPECT_EQ(changed.result, zelstatus::Kind::kInvalidInput);
  EXPECT_EQ(changed.error,
            path + ": the file changed while it was read: its bytes differ from those read first");
  // Unchanged, the column reads again as its texts.
  clitest::WriteFile(path, csv);
  const Loaded same = Load(path, false, ReadProgress::Silent());
  ASSERT_EQ(same.result, zelstatus::Kind::kOk) << same.error;
  EXPECT_EQ(same.data.store.columns[0].Text(7), "7");
  EXPECT_EQ(same.data.store.columns[0].Text(199), "w199");
}

TEST(InputChangesTest, AChangedFileAmongSeveralIsNamed) {
  clitest::ScratchDir dir;
  const std::string first = dir / "a.csv";
  const std::string second = dir / "b.csv";
  const std::string csv = Rows(300);
  clitest::WriteFile(first, csv);
  clitest::WriteFile(second, csv);
  static const Schema schema;
  LoadRequest request;
  request.paths = {first, second};
  request.schema = &schema;
  request.stream = true;
  request.chunkBytes = 256;
  testhost::FlagCheck never;
  LoadedData data;
  const zelstatus::Status loaded = LoadCsv(request, never, ReadProgress::Silent(), &data);
  ASSERT_TRUE(loaded.ok()) << loaded.message();
  EXPECT_EQ(data.rows, 600);
  EXPECT_EQ(data.fileRows, (std::vector<int64_t>{300, 300}));
  ASSERT_EQ(data.fingerprints.size(), 2u);
  CsvSourceFile file{{first, second}, ',', data.rows, 3, false, 256, data.fingerprints};
  // The second file edited in place after the first read: a pass reads all
  // of the first file, then stops in the second, naming it.
  EditInPlace(second, csv.size() - 4, "der");
  CsvRecordSource source(file, data.plans, {0, 1, 2}, ReadProgress::Silent());
  int64_t records = 0;
  while (source.HasMoreRecords() && source.NextRecord() != nullptr) ++records;
  EXPECT_GE(records, 300);
  EXPECT_LT(records, 600);
  EXPECT_EQ(source.error(), second + ": the file changed while it was read: its bytes differ "
                                     "from those read first");
  // Another file in the first one's place is named at the start of a pass.
  clitest::WriteFile(second, csv);
  clitest::WriteFile(first + ".new", csv);
  ASSERT_EQ(std::rename((first + ".new").c_str(), first.c_str()), 0);
  CsvRecordSource replaced(file, data.plans, {0, 1, 2}, ReadProgress::Silent());
  EXPECT_EQ(replaced.NextRecord(), nullptr);
  EXPECT_EQ(replaced.error().rfind(first + ": ", 0), 0u) << replaced.error();
}

TEST(InputChangesTest, TheStreamHashDependsOnTheBytesNotOnHowTheyCome) {
  std::string bytes;
  for (int i = 0; i < 1000; ++i) bytes += static_cast<char>(i * 37 % 251);
  StreamHash whole;
  whole.Add(bytes.data(), bytes.size());
  for (std::size_t piece : {1u, 7u, 31u, 32u, 33u, 500u}) {
    StreamHash split;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
      split.Add(bytes.data() + at, std::min(piece, bytes.size() - at));
    }
    EXPECT_EQ(split.Value(), whole.Value()) << piece;
  }
  // Any one byte changed, in a full stripe or in the tail, changes it; so
  // does a trailing zero byte.
  for (std::size_t at : {0u, 13u, 500u, 991u, 999u}) {
    std::string other = bytes;
    other[at] = static_cast<char>(other[at] ^ 1);
    StreamHash changed;
    changed.Add(other.data(), other.size());
    EXPECT_NE(changed.Value(), whole.Value()) << at;
  }
  StreamHash longer;
  longer.Add(bytes.data(), bytes.size());
  longer.Add("", 1);
  EXPECT_NE(longer.Value(), whole.Value());
}

}  // namespace
}  // namespace zelio
