// The row reader of apply and inverse must read exactly what the whole-text
// reader reads, whatever the chunk size and with or without its helper
// thread: rows that cross chunk boundaries (inside quoted
// cells, between CR and LF, in the middle of a doubled quote or of a UTF-8
// sequence) and the same errors with the same line and column, characters
// a document cannot carry included.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "io/CsvFileSequence.h"
#include "io/CsvRows.h"
#include "support/CliHarness.h"
#include "support/CsvReader.h"

namespace zelio {
namespace {

// Each row as "line: cell|cell" with quoted cells in brackets, then the
// error (empty at a clean end).
template <typename Reader>
std::string ReadAll(Reader& reader) {
  std::string result;
  std::vector<CsvCell> cells;
  while (reader.NextRow(&cells)) {
    result += std::to_string(reader.rowLine()) + ":";
    for (const CsvCell& cell : cells) {
      result += cell.quoted ? "[" + std::string(cell.text) + "]" : std::string(cell.text);
      result += "|";
    }
    result += "\n";
  }
  return result + "end: " + reader.error();
}

TEST(CsvRowsTest, ReadsWhatTheWholeTextReaderReadsAtEveryChunkSize) {
  const std::string longCell(300, 'w');
  const std::string texts[] = {
      "\xEF\xBB\xBFid,note\r\n1,\"a,\"\"b\"\"\r\nc\"\r\n2,\r3,\"\"\n\n4,\xC3\xA9t\xC3\xA9\n" +
          longCell + ",\"" + longCell + "\"\n\r\n\n",
      "a\n1",  // no line break at the end
      // A cell that is one quote, an empty one, doubled quotes at either end.
      "x,y\n\"\"\"\",\"\"\n\"p\"\"q\",\"r\"\"\"\n",
      "\xEF\xBB",  // shorter than the mark
      "",
      // Malformed: each error must name the same line and column.
      "a,b\n1,\"open\n2,3\n",
      "a,b\n1,2\n3,\"open\n4,5\n",
      "a,b\n1,\"closed\"x\n",
      "a,b\n1,\xC3(\n",
      "a,b\n\"multi\nline\",\"x\"y\n",
      std::string("a,b\n1,x\0y\n", 10),
      "a,b\n1,\"x\ny\x1f\"\n",
      "a,\xEF\xBF\xBE\n",
      // Control characters in a row longer than the smaller chunks.
      std::string("a,b\n1,\"long quoted\ncell\0\"\n", 26),
      "a,b\n1,a long cell then \x01 and more\n",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    testhost::CsvReader whole(text, ',');
    const std::string expected = ReadAll(whole);
    for (std::size_t chunk : {4, 5, 6, 7, 9, 13, 64, 4096}) {
      for (bool threaded : {false, true}) {
        std::istringstream in(text);
        CsvRows rows(in, ',', threaded, chunk);
        EXPECT_EQ(ReadAll(rows), expected) << "chunk " << chunk << (threaded ? ", threaded" : "");
      }
    }
  }
}

TEST(CsvRowsTest, RowsAcrossTheDefaultChunksAndRowsLongerThanThem) {
  // Rows of every shape, of random lengths so that the chunk edges fall on
  // every kind of byte (a CR before its LF, a doubled quote, a line break
  // inside quotes, the second byte of a character), then rows longer than a
  // chunk and than the mebibyte after which an unfinished row is checked.
  std::mt19937 random(11);
  std::string text = "\xEF\xBB\xBFid,note,n\r\n";
  const std::size_t chunk = CsvChunkReader::kDefaultChunk;
  for (int row = 0; text.size() < 3 * chunk + 1000; ++row) {
    const std::string fill(random() % 300, 'f');
    const char* notes[] = {"plain", "\"q,\"\"d\"\"\"", "\"two\nlines\"", "\xC3\xA9t\xC3\xA9",
                           "\"\""};
    text += std::to_string(row) + "," + notes[random() % 5] + "," + fill +
            std::to_string(random()) + (row % 3 == 0 ? "\r\n" : "\n");
  }
  const std::string longCell(chunk * 6, 'w');  // 1.5 MiB
  const std::string texts[] = {
      text + "x," + longCell + ",1\ny,\"" + longCell + "\n" + longCell + "\",2\nz,3,4\n",
      // Malformed after a long stretch: the same line and column as whole.
      text + "x,\"" + longCell + "\",\x01\n",
      text + "x," + std::string("\0", 1) + longCell + longCell + ",1\n",
      text + "x,\"a\n" + longCell + std::string("\0", 1) + "\",1\n",
      // A device of zero bytes ends at its first byte.
      std::string(chunk * 5, '\0'),
  };
  const char* endings[] = {
      "end: ", "column 3: control character U+0001", "column 2: control character U+0000",
      "column 2: control character U+0000", "end: line 1, column 1: control character U+0000"};
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    const std::string& input = texts[i];
    testhost::CsvReader whole(input, ',');
    const std::string expected = ReadAll(whole);
    EXPECT_NE(expected.find(endings[i]), std::string::npos)
        << expected.substr(expected.size() - 99);
    for (bool threaded : {false, true}) {
      std::istringstream in(input);
      CsvRows rows(in, ',', threaded);
      EXPECT_EQ(ReadAll(rows), expected) << (threaded ? "threaded" : "");
    }
  }
}

// Rows of several files read as one: each row keeps its file and the line
// it has there, a later file's header is left out, and a failure says
// whether its message names the file already (one that cannot be opened or
// has another header) or the caller must (a malformed row).
TEST(CsvRowsTest, SeveralFilesKeepEachRowsFileAndLine) {
  clitest::ScratchDir dir;
  clitest::WriteFile(dir / "a.csv", "x,y\n1,2\n3,4");
  clitest::WriteFile(dir / "b.csv", "");
  clitest::WriteFile(dir / "c.csv", "\xEF\xBB\xBFx,y\r\n\"5\n6\",7\r\n8,9\r\n");
  clitest::WriteFile(dir / "bad.csv", "x,y\n10,11\n12,\"13\n");
  clitest::WriteFile(dir / "other.csv", "x,z\n14,15\n");
  // The rows as "file:line:cells", then the file of the end and whether
  // its message is whole.
  auto read = [&](const std::vector<std::string>& names, std::size_t chunk, bool threaded) {
    std::vector<std::string> paths;
    for (const std::string& name : names) paths.push_back(dir / name);
    CsvFileSequence files(paths, ',', chunk);
    EXPECT_TRUE(files.Open(nullptr).ok());
    CsvRows rows(files, threaded);
    std::string result;
    std::vector<CsvCell> cells;
    while (rows.NextRow(&cells)) {
      result += std::to_string(rows.rowFile()) + ":" + std::to_string(rows.rowLine()) + ":";
      for (const CsvCell& cell : cells) result += std::string(cell.text) + "|";
      result += " ";
    }
    const std::string& error = rows.error();
    result += "end " + std::to_string(rows.rowFile()) + (rows.errorNamesFile() ? " named " : " ");
    // A named message up to the difference's column.
    return result + (rows.errorNamesFile() ? error.substr(0, error.rfind(':')) : error);
  };
  for (std::size_t chunk : {4, 7, 13, 4096}) {
    for (bool threaded : {false, true}) {
      SCOPED_TRACE("chunk " + std::to_string(chunk) + (threaded ? ", threaded" : ""));
      EXPECT_EQ(read({"a.csv", "b.csv", "c.csv"}, chunk, threaded),
                "0:1:x|y| 0:2:1|2| 0:3:3|4| 2:2:5\n6|7| 2:4:8|9| end 2 ");
      EXPECT_EQ(read({"b.csv", "c.csv", "bad.csv"}, chunk, threaded),
                "1:1:x|y| 1:2:5\n6|7| 1:4:8|9| 2:2:10|11| end 2 line 3, column 2: unterminated "
                "quoted cell");
      EXPECT_EQ(read({"a.csv", "other.csv"}, chunk, threaded),
                "0:1:x|y| 0:2:1|2| 0:3:3|4| end 1 named " + (dir / "other.csv") +
                    ": its header differs from that of " + (dir / "a.csv") + " at column 2");
    }
  }
}

}  // namespace
}  // namespace zelio
