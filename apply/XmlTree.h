// XmlTree: a parsed XML document, held compactly, and the few questions the
// document reader asks of its elements: local name, namespace, line,
// attributes, text and child elements. The text is read in pieces, so a
// large document never lies in memory as text and tree at once, and the
// host may stop the read between pieces. Parsing never touches the
// network and refuses entity declarations (documents of ours have none,
// and their expansion is how a small hostile document grows without
// bound) and markup beyond DocumentLimits, so every reader may recurse over
// the tree; a document that is not well-formed is reported with the line
// of its first fault, one that ends early or is empty as such ("the
// document ends early at line N", "the document is empty").
#ifndef ZELCRAFT_APPLY_XMLTREE_H_
#define ZELCRAFT_APPLY_XMLTREE_H_

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "StopCheck.h"
#include "status/Status.h"

namespace zelapply {

struct XmlAttribute {
  const std::string* name;  // local name
  std::string_view value;
  bool qualified;  // it has a namespace prefix
  const XmlAttribute* next;
};

// An element's name, interned: every element of that name shares it.
struct XmlName {
  std::string local;
  std::string space;  // namespace URI, empty when none
};

// Compact, for a document is mostly elements (three to a row of a category
// map): the text is a pointer and a length (the parser takes no text beyond
// a gigabyte), the line 32 bits.
struct XmlNode {
  const XmlName* name;
  // The text directly inside the element; blanks between child elements
  // are dropped.
  const char* text;
  const XmlAttribute* attributes;
  const XmlNode* firstChild;
  const XmlNode* nextSibling;
  uint32_t textLength;
  uint32_t line;
};

using XmlElement = const XmlNode*;

class XmlTree {
 public:
  XmlTree();
  ~XmlTree();
  XmlTree(const XmlTree&) = delete;
  XmlTree& operator=(const XmlTree&) = delete;

  zelstatus::Status Parse(std::string_view text, const StopCheck& stop = StopCheck());
  // Errors name the file ("cannot open PATH: reason", "PATH: line 3: ...").
  zelstatus::Status ParseFile(const std::string& path, const StopCheck& stop = StopCheck());
  // Null before a successful parse.
  XmlElement root() const { return root_; }

  // What the parser's callbacks fill (XmlTree.cc).
  class Builder;

 private:
  friend class Builder;
  // Gives the parser the text in pieces; `next` returns false at the end
  // (`*piece` empty) or with a read error in `*error`.
  template <typename Next>
  zelstatus::Status ParsePieces(const StopCheck& stop, Next next);
  std::string_view Store(std::string_view text);
  const std::string* Intern(const char* text);
  const XmlName* InternName(const char* local, const char* space);

  std::deque<XmlNode> nodes_;
  std::deque<XmlAttribute> attributes_;
  std::unordered_set<std::string> names_;  // attribute names
  std::map<std::pair<std::string, std::string>, XmlName> elementNames_;
  std::vector<std::unique_ptr<char[]>> blocks_;  // texts and attribute values
  char* block_ = nullptr;                        // the one being filled
  std::size_t blockUsed_ = 0;
  XmlElement root_ = nullptr;
};

std::string_view NameOf(XmlElement element);
// The element's namespace URI, empty when it has none.
std::string_view NamespaceOf(XmlElement element);
long LineOf(XmlElement element);
// False when the attribute is absent; attributes with a namespace prefix
// are not looked at.
bool GetAttribute(XmlElement element, const char* name, std::string* value);
// The text directly inside the element.
std::string TextOf(XmlElement element);
std::vector<XmlElement> ChildElements(XmlElement element);

// "line N: Name: what".
zelstatus::Status ElementError(XmlElement element, const std::string& what);

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_XMLTREE_H_
