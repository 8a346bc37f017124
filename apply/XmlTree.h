// XmlTree: a parsed XML document and the few questions the document reader
// asks of its elements: local name, line, attributes, text and child
// elements. Parsing never touches the network, loads no external entities
// and reports a document that is not well-formed with its line.
#ifndef ZELCRAFT_APPLY_XMLTREE_H_
#define ZELCRAFT_APPLY_XMLTREE_H_

#include <libxml/tree.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Status.h"

namespace zelapply {

using XmlElement = const xmlNode*;

class XmlTree {
 public:
  Status Parse(std::string_view text);
  XmlElement root() const;

 private:
  std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> doc_{nullptr, xmlFreeDoc};
};

std::string_view NameOf(XmlElement element);
// The element's namespace URI, empty when it has none.
std::string_view NamespaceOf(XmlElement element);
long LineOf(XmlElement element);
// False when the attribute is absent.
bool GetAttribute(XmlElement element, const char* name, std::string* value);
// The concatenated text content of the element.
std::string TextOf(XmlElement element);
std::vector<XmlElement> ChildElements(XmlElement element);

// "line N: Name: what".
Status ElementError(XmlElement element, const std::string& what);

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_XMLTREE_H_
