// The row splitter's wide byte scans (SSE2, AVX2) against the byte-by-byte
// one: cell ends and quotes found from every position of random windows
// that mix delimiters, quotes, CR, LF, tabs, control characters and UTF-8
// bytes must agree with a plain reference, and whole files with quotes,
// CRLF and multi-byte characters straddling the 16-, 32- and 64-byte
// boundaries must split into the same rows, lines and errors at every
// level and every chunk size.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "io/CsvScan.h"
#include "io/CsvRows.h"

namespace {

using zelio::CsvBlockScanner;
using zelio::CsvScanLevel;

const CsvScanLevel kLevels[] = {CsvScanLevel::kScalar, CsvScanLevel::kSse2, CsvScanLevel::kAvx2};

// Whether a byte sends its cell to be checked as document text.
bool Checked(unsigned char c) {
  const bool control = c < 0x20 && c != '\t' && c != '\r' && c != '\n';
  return control || c >= 0x80;
}

// The scanner follows the passes' one vector level setting: 16 bytes to an
// instruction at the plain level, the processor's widest scan otherwise.
TEST(VectorLevel, TheScannerFollowsTheOneSetting) {
  const char* asked = std::getenv("ZEL_VECTOR_LEVEL");
  const bool plain = asked != nullptr && std::string(asked) == "plain";
#if defined(__x86_64__)
  EXPECT_EQ(zelio::CsvScanLevelInUse(), plain ? CsvScanLevel::kSse2 : zelio::BestCsvScanLevel());
#else
  EXPECT_EQ(zelio::CsvScanLevelInUse(), CsvScanLevel::kScalar) << plain;
#endif
}

TEST(CsvScan, EveryLevelFindsWhatAPlainWalkFinds) {
  // Wider levels than the processor runs fall back to the widest it has.
  EXPECT_EQ(zelio::SetCsvScanLevel(CsvScanLevel::kScalar), CsvScanLevel::kScalar);
  zelio::SetCsvScanLevel(zelio::BestCsvScanLevel());
  const std::string alphabet = std::string("ab,;\"\r\n\t\x01\x1f\xc3\xa9 ") + '\0';
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    const std::size_t size = random() % 200;
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
      // Mostly plain bytes, so that the interesting ones fall anywhere.
      text += random() % 3 == 0 ? alphabet[random() % alphabet.size()] : 'x';
    }
    const char delimiter = round % 2 == 0 ? ',' : ';';
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    for (CsvScanLevel level : kLevels) {
      CsvBlockScanner scanner(delimiter, level);
      for (std::size_t p = 0; p <= size; ++p) {
        std::size_t end = p;
        bool endCheck = false;
        while (end < size && s[end] != delimiter && s[end] != '\r' && s[end] != '\n') {
          endCheck |= Checked(s[end]);
          ++end;
        }
        std::size_t quote = p;
        bool quoteCheck = false;
        int64_t lines = 0;
        while (quote < size && s[quote] != '"') {
          quoteCheck |= Checked(s[quote]);
          lines += s[quote] == '\n';
          ++quote;
        }
        bool check = false;
        ASSERT_EQ(scanner.CellEnd(s, p, size, &check), end) << round << " at " << p;
        EXPECT_EQ(check, endCheck) << round << " at " << p;
        check = false;
        int64_t counted = 0;
        ASSERT_EQ(scanner.Quote(s, p, size, &counted, &check), quote) << round << " at " << p;
        EXPECT_EQ(check, quoteCheck) << round << " at " << p;
        EXPECT_EQ(counted, lines) << round << " at " << p;
      }
    }
  }
}

// Every row with its line and cells, then how the input ended, as the row
// reader gives them over the chunk reader.
std::string Split(const std::string& text, std::size_t chunk) {
  std::istringstream in(text);
  zelio::CsvRows reader(in, ',', false, chunk);
  std::vector<zelio::CsvCell> cells;
  std::string out;
  while (reader.NextRow(&cells)) {
    out += std::to_string(reader.rowLine()) + ":";
    for (const zelio::CsvCell& cell : cells) {
      out += (cell.quoted ? "[" : "") + std::string(cell.text) + "|";
    }
    out += "\n";
  }
  return out + "end: " + reader.error();
}

TEST(CsvScan, FilesSplitAlikeAtEveryLevelAndChunkSize) {
  // Cells whose quotes, doubled quotes, CRLF and two-byte characters land
  // on either side of the block boundaries, quoted line breaks, delimiters
  // inside quotes, and inputs that end inside a quote or on a bad byte.
  std::string wide = "id,note\r\n";
  for (int shift = 0; shift < 70; ++shift) {
    wide += std::to_string(shift) + "," + std::string(static_cast<std::size_t>(shift), 'w') +
            "\"\"\"a,\r\nb\"\"c\"\"\",\xC3\xA9t\xC3\xA9" + (shift % 3 == 0 ? "\r\n" : "\n");
  }
  const std::vector<std::string> inputs = {
      wide,
      wide + "x,\"open to the end",
      wide + "x,bad\x01here\n",
      wide + "x,\"bad\x01quoted\"\n",
      wide + "x,\"ends\"then\n",
      "a,b\n" + std::string(63, 'q') + ",\xC3" + "\n",
      "a,b\n\"" + std::string(62, ',') + "\"\"\",\"\"\n\n\n",
  };
  const std::vector<std::string> endings = {"end: ",
                                           "unterminated quoted cell",
                                           "line 142, column 2: control character U+0001",
                                           "line 142, column 2: control character U+0001",
                                           "line 142, column 2: unexpected text after a closing quote",
                                           "line 2, column 2: invalid UTF-8",
                                           "end: "};
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    SCOPED_TRACE(i);
    zelio::SetCsvScanLevel(CsvScanLevel::kScalar);
    const std::string expected = Split(inputs[i], 1 << 16);
    EXPECT_NE(expected.find(endings[i]), std::string::npos) << expected.substr(expected.size() - 80);
    // Each of the wide rows takes two lines: its last starts on line 140.
    if (i < 5) {
      EXPECT_NE(expected.find("\n140:69|"), std::string::npos);
    }
    for (CsvScanLevel level : kLevels) {
      zelio::SetCsvScanLevel(level);
      for (std::size_t chunk : {5, 16, 31, 64, 100, 1 << 16}) {
        EXPECT_EQ(Split(inputs[i], chunk), expected) << static_cast<int>(level) << "/" << chunk;
      }
    }
  }
  zelio::SetCsvScanLevel(zelio::BestCsvScanLevel());
}

}  // namespace
