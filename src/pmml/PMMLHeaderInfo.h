// PMMLHeaderInfo: what a host may put into the document header. Empty
// strings keep the defaults; a null record keeps them all.
#ifndef ZELCRAFT_PMML_PMMLHEADERINFO_H_
#define ZELCRAFT_PMML_PMMLHEADERINFO_H_

#include <string>

struct PMMLHeaderInfo {
  bool flag = false;  // kept for the host; no effect on the document
  std::string applicationName;
  std::string applicationVersion;
  std::string noticeText;
};

#endif  // ZELCRAFT_PMML_PMMLHEADERINFO_H_
