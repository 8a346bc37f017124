// Writing the seed inputs of a fuzz target: each seed program calls Seed once
// per input with the directory it was given.
#ifndef ZELCRAFT_FUZZ_SEEDWRITER_H_
#define ZELCRAFT_FUZZ_SEEDWRITER_H_

#include <cstdio>
#include <fstream>
#include <string>

namespace zelfuzz {

// Writes `input` to DIR/NAME; false (with a message) when it cannot.
inline bool Seed(const char* dir, const std::string& name, const std::string& input) {
  std::ofstream out(std::string(dir) + "/" + name, std::ios::binary);
  out << input;
  if (out) return true;
  std::fprintf(stderr, "cannot write seed %s/%s\n", dir, name.c_str());
  return false;
}

}  // namespace zelfuzz

#endif  // ZELCRAFT_FUZZ_SEEDWRITER_H_
