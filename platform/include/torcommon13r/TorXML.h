// A small XML tree for building documents in memory: elements with ordered
// attributes and ordered children (elements and text). WriteTree serialises a
// tree with proper escaping; ReplaceSep formats numbers independently of the
// process locale.
#ifndef TORCOMMON13R_TORXML_H_
#define TORCOMMON13R_TORXML_H_

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "torcommon13r/TorStatus.h"

namespace TorXML_1_3 {

class XMLElement;

// A text node.
class XMLString {
 public:
  // The caller owns the result until it is appended to an element.
  static XMLString* Create(const std::string& text);
  const std::string& GetText() const { return text_; }

 private:
  explicit XMLString(const std::string& text) : text_(text) {}
  std::string text_;
};

class XMLElement {
 public:
  // The caller owns the result until it is appended to an element.
  static XMLElement* Create(const std::string& name);
  ~XMLElement();
  XMLElement(const XMLElement&) = delete;
  XMLElement& operator=(const XMLElement&) = delete;

  // Attributes keep the order in which they are added.
  void AddAttribute(const std::string& name, const std::string& value);
  void AddAttribute(const std::string& name, const char* value);
  // Integer counts as plain decimal text.
  void AddAttribute(const std::string& name, int64_t value);
  void AddAttribute(const std::string& name, int value);
  // Doubles in "%.15g" form with a decimal point.
  void AddAttribute(const std::string& name, double value);

  // Takes ownership; children keep their order. Returns the child.
  XMLElement* AppendChild(XMLElement* child);
  void AppendText(XMLString* text);
  void AppendText(const std::string& text);

  const std::string& GetName() const { return name_; }
  const std::vector<std::pair<std::string, std::string>>& GetAttributes() const {
    return attributes_;
  }
  // Null when absent.
  const std::string* GetAttribute(const std::string& name) const;

  // A child is either an element or a text node.
  struct Node {
    std::unique_ptr<XMLElement> element;
    std::unique_ptr<XMLString> text;
  };
  const std::vector<Node>& GetChildren() const { return children_; }

 private:
  explicit XMLElement(const std::string& name) : name_(name) {}

  std::string name_;
  std::vector<std::pair<std::string, std::string>> attributes_;
  std::vector<Node> children_;
};

// Writes `root` as a UTF-8 XML document. `docType` may be null (no document
// type); `indent` lays the elements out one per line. A text or attribute
// value that is not UTF-8 or holds a character XML 1.0 cannot carry (NUL and
// the other control characters except tab, LF and CR; U+FFFE, U+FFFF) fails
// with 210043, as does a failing stream; running out of memory fails with 3.
// Nothing is written on failure, and nothing is printed.
TorCommon_1_3::TorStatus WriteTree(std::ostream& out, const char* docType, const XMLElement* root,
                                   bool indent);

// `value` printed with the printf `format` (for example "%.15g"), with a
// point as decimal separator whatever the process locale.
std::string ReplaceSep(double value, const char* format = "%.15g");

}  // namespace TorXML_1_3

#endif  // TORCOMMON13R_TORXML_H_
