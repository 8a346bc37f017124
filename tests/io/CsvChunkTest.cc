// The chunked reader behind loading and streamed passes must split exactly
// what the whole-text reader splits, whatever the chunk size: rows crossing
// the scanner's blocks and chunk ends (inside quoted cells, doubled quotes,
// CR LF), unescaped cells, the line each row starts on, and the same errors
// after the same rows, on chosen and on random texts. The row reader's tests
// run the same reader with its helper thread.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "io/ChunkPipeline.h"
#include "support/CsvReader.h"

namespace zelio {
namespace {

std::string Describe(int64_t line, const std::vector<CsvCell>& cells) {
  std::string row = std::to_string(line) + ":";
  for (const CsvCell& cell : cells) {
    row += (cell.quoted ? "[" + std::string(cell.text) + "]" : std::string(cell.text)) + "|";
  }
  return row + "\n";
}

std::string ReadWhole(const std::string& text) {
  testhost::CsvReader reader(text, ',');
  std::vector<CsvCell> cells;
  std::string result;
  while (reader.NextRow(&cells)) result += Describe(reader.rowLine(), cells);
  return result + "end: " + reader.error();
}

std::string ReadChunks(const std::string& text, std::size_t chunkBytes) {
  std::istringstream in(text);
  CsvChunkReader reader(in, ',', chunkBytes);
  ChunkPipeline pipeline(reader, false);
  std::string result;
  for (;;) {
    const CsvChunk& chunk = pipeline.Next();
    for (std::size_t r = 0; r < chunk.rows(); ++r) {
      std::vector<CsvCell> cells;
      for (std::size_t i = chunk.RowBegin(r); i < chunk.rowEnds[r]; ++i) {
        cells.push_back(chunk.Cell(i));
      }
      result += Describe(chunk.lines[r], cells);
    }
    if (chunk.last) return result + "end: " + chunk.failure.message;
  }
}

TEST(CsvChunkTest, PlainRowsAcrossBlocksSplitAsTheRowParserSplitsThem) {
  // Rows of plain and quoted cells that cross the scanner's 64-byte blocks,
  // with delimiters and line breaks inside quotes, CR and CR LF line ends,
  // and bytes to check in plain and quoted cells; then random texts of the
  // bytes that matter, read whole and in chunks of many sizes.
  const std::string wide(61, 'x');
  std::string rows = "a,b,c\n";
  for (int i = 0; i < 40; ++i) {
    rows += std::to_string(i) + ",\"" + wide.substr(0, static_cast<std::size_t>(i)) + ",q\"," +
            wide.substr(0, static_cast<std::size_t>(60 - i)) + (i % 3 == 0 ? "\r\n" : "\n");
  }
  const std::string texts[] = {
      rows,
      rows + "1,\"two\nlines\",3\n4,\"\xEF\xBF\xBE\",6\n",
      rows + "1,2\x01,3\n",
      rows + "1,\"2\x01\",3\n",
      "a,b\r1,\"x\"\r2,\"y\"\r",
      "a,b\n1,\"x\"",
      "a,b\n1,x\"y\",z\n",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    const std::string expected = ReadWhole(text);
    for (std::size_t chunk : {4, 63, 64, 65, 100, 4096}) {
      EXPECT_EQ(ReadChunks(text, chunk), expected) << "chunk " << chunk;
    }
  }
  std::mt19937 random(20240611);
  const char bytes[] = {'a',    'b',    ',',    ',',    '"',    '"',    '\n', '\r',
                        '\x01', '\xC3', '\xA9', '\xEF', '\xBF', '\xBE', '5'};
  for (int round = 0; round < 600; ++round) {
    std::string text;
    const std::size_t length = random() % 400;
    // Half the texts only of the bytes that make rows, quotes and cells.
    const std::size_t kinds = round % 2 == 0 ? 8 : sizeof bytes;
    for (std::size_t i = 0; i < length; ++i) text += bytes[random() % kinds];
    SCOPED_TRACE(text);
    const std::string expected = ReadWhole(text);
    for (std::size_t chunk : {4, 17, 64, 4096}) {
      EXPECT_EQ(ReadChunks(text, chunk), expected) << "chunk " << chunk;
    }
  }
}

}  // namespace
}  // namespace zelio
