// The streaming reader must read exactly what the whole-text reader reads,
// whatever the chunk size: rows that cross chunk boundaries (inside quoted
// cells, between CR and LF, in the middle of a doubled quote or of a UTF-8
// sequence) and the same errors with the same line and column, characters
// a document cannot carry included.
#include <gtest/gtest.h>

#include <sstream>

#include "io/CsvReader.h"
#include "io/CsvStreamReader.h"

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

TEST(CsvStreamReaderTest, ReadsWhatTheWholeTextReaderReadsAtEveryChunkSize) {
  const std::string longCell(300, 'w');
  const std::string texts[] = {
      "\xEF\xBB\xBFid,note\r\n1,\"a,\"\"b\"\"\r\nc\"\r\n2,\r3,\"\"\n\n4,\xC3\xA9t\xC3\xA9\n" +
          longCell + ",\"" + longCell + "\"\n\r\n\n",
      "a\n1",                  // no line break at the end
      "x,y\n\"\"\"\",\"\"\n",  // a cell that is one quote
      "\xEF\xBB",              // shorter than the mark
      "",
      // Malformed: each error must name the same line and column.
      "a,b\n1,\"open\n2,3\n",
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
    CsvReader whole(text, ',');
    const std::string expected = ReadAll(whole);
    for (std::size_t chunk : {4, 5, 6, 7, 9, 13, 64, 4096}) {
      std::istringstream in(text);
      CsvStreamReader stream(in, ',', chunk);
      EXPECT_EQ(ReadAll(stream), expected) << "chunk " << chunk;
    }
  }
}

}  // namespace
}  // namespace zelio
