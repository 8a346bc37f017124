// zelcraft-gems-data OUT.csv [ROWS]: writes the synthetic gemstone table the
// speed and memory measurements run on (1,078,800 rows, about 55 MB, by
// default). The same arguments always give the same file.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "GemsData.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: zelcraft-gems-data OUT.csv [ROWS]\n");
    return 2;
  }
  const long long rows = argc == 3 ? std::atoll(argv[2]) : gems::kReferenceRows;
  if (rows <= 0) {
    std::fprintf(stderr, "ROWS must be a positive number\n");
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary);
  // Large writes: the biggest files run to gigabytes.
  std::vector<char> buffer(1 << 20);
  out.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  gems::WriteGemsCsv(out, rows);
  out.close();
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
