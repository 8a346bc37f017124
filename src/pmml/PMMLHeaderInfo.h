// PMMLHeaderInfo: what a host may put into the document header. Empty
// strings keep the defaults; a null record keeps them all. The extensions
// say what the host did to the data before the component saw it (a column
// it handed over as two fields, a reference it took from the data); each is
// written as <Extension extender="zelcraft.dev" name=".." value="..">
// with its child elements, ahead of the header's Application.
#ifndef ZELCRAFT_PMML_PMMLHEADERINFO_H_
#define ZELCRAFT_PMML_PMMLHEADERINFO_H_

#include <string>
#include <utility>
#include <vector>

struct PMMLHeaderElement {
  std::string element;
  std::vector<std::pair<std::string, std::string>> attributes;  // in order
};

struct PMMLHeaderExtension {
  std::string name;
  std::string value;
  std::vector<PMMLHeaderElement> children;
};

struct PMMLHeaderInfo {
  bool flag = false;  // kept for the host; no effect on the document
  std::string applicationName;
  std::string applicationVersion;
  std::string noticeText;
  std::vector<PMMLHeaderExtension> extensions;
};

#endif  // ZELCRAFT_PMML_PMMLHEADERINFO_H_
