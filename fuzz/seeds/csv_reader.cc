// Seeds of fuzz_csv_reader: the first byte chooses the delimiter (low two
// bits: , ; tab |) and the roles (4 target, 8 frequency weight, 16 analysis
// weight); the rest is the file.
#include <string>

#include "../SeedWriter.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const char* dir = argv[1];
  const std::pair<const char*, std::string> seeds[] = {
      {"plain", std::string("\x0c") + "t,x,w\na,1,2\nb,2.5,1\na,,3\nb,4e2,0\n"},
      {"quoted", std::string("\x04") + "\xEF\xBB\xBF"
                                       "id,note\r\n1,\"a,b\"\r\n2,\"say \"\"hi\"\"\"\r\n"
                                       "3,\"two\nlines\"\r\n4,\"\"\r\n"},
      {"dates", std::string("\x04") + "d,t,s\n2020-01-02,10:00:00,2021-03-04 05:06:07\n"
                                      "1969-12-31,23:59:59.25,2021-03-04T05:06:07\n"},
      {"tabs", std::string("\x02") + "a\tb\n1\tx,y\n2\tz\n"},
      {"weights", std::string("\x1c") + "t,a,f\ny,0.5,2.5\nn,1,0.4\ny,2,\nn,-1,3\n"},
      {"big", std::string("\x08") + "x,w\n1,9223372036854775807\n2,1e300\n"},
      {"ragged", std::string("\x00", 1) + "a,b,c\n1,2\n3,\"open\n"},
  };
  for (const auto& seed : seeds) {
    if (!zelfuzz::Seed(dir, seed.first, seed.second)) return 1;
  }
  return 0;
}
