// The XML tree and its serialisation through libxml2, which does the
// escaping of text and attribute values.
#include "torcommon13r/TorXML.h"

#include <libxml/globals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <memory>

namespace TorXML_1_3 {

namespace {

const xmlChar* X(const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); }

// True when `text` is well-formed UTF-8 made only of characters XML 1.0 can
// carry: tab, line feed, carriage return, U+0020 to U+D7FF, U+E000 to U+FFFD
// and U+10000 to U+10FFFF. No escape can put any other character (a NUL, a
// control character, U+FFFE) into a document that parsers accept.
bool IsXmlText(const std::string& text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned char c = s[i];
    if (c < 0x80) {
      if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
      ++i;
      continue;
    }
    std::size_t length;
    uint32_t code;
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
      code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      code = c & 0x07;
    } else {
      return false;
    }
    if (i + length > n) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) return false;
      code = (code << 6) | (s[i + k] & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool excluded = (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE ||
                          code == 0xFFFF || code > 0x10FFFF;
    if (overlong || excluded) return false;
    i += length;
  }
  return true;
}

// True when every attribute value and text of the tree is XML text.
bool IsWritable(const XMLElement& element) {
  for (const auto& attribute : element.GetAttributes()) {
    if (!IsXmlText(attribute.second)) return false;
  }
  for (const auto& child : element.GetChildren()) {
    if (child.element ? !IsWritable(*child.element) : !IsXmlText(child.text->GetText())) {
      return false;
    }
  }
  return true;
}

// Mirrors our tree into a libxml2 node; null when libxml2 ran out of memory.
xmlNodePtr BuildNode(const XMLElement& element) {
  xmlNodePtr node = xmlNewNode(nullptr, X(element.GetName()));
  if (node == nullptr) return nullptr;
  for (const auto& attribute : element.GetAttributes()) {
    if (xmlNewProp(node, X(attribute.first), X(attribute.second)) == nullptr) {
      xmlFreeNode(node);
      return nullptr;
    }
  }
  for (const auto& child : element.GetChildren()) {
    xmlNodePtr added = child.element ? BuildNode(*child.element)
                                     : xmlNewText(X(child.text->GetText()));
    if (added == nullptr || xmlAddChild(node, added) == nullptr) {
      xmlFreeNode(added);
      xmlFreeNode(node);
      return nullptr;
    }
  }
  return node;
}

void Silent(void*, const char*, ...) {}

// libxml2 prints a failed allocation on standard error by itself; this
// library reports only through its status, so the printing is switched off
// while a tree is written.
class QuietLibxml {
 public:
  QuietLibxml() : saved_(xmlGenericError), savedContext_(xmlGenericErrorContext) {
    xmlSetGenericErrorFunc(nullptr, Silent);
  }
  ~QuietLibxml() { xmlSetGenericErrorFunc(savedContext_, saved_); }
  QuietLibxml(const QuietLibxml&) = delete;
  QuietLibxml& operator=(const QuietLibxml&) = delete;

 private:
  xmlGenericErrorFunc saved_;
  void* savedContext_;
};

struct DocDeleter {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct BufferDeleter {
  void operator()(xmlBuffer* buffer) const { xmlBufferFree(buffer); }
};

}  // namespace

XMLString* XMLString::Create(const std::string& text) { return new XMLString(text); }

XMLElement* XMLElement::Create(const std::string& name) { return new XMLElement(name); }

XMLElement::~XMLElement() = default;

void XMLElement::AddAttribute(const std::string& name, const std::string& value) {
  attributes_.emplace_back(name, value);
}

void XMLElement::AddAttribute(const std::string& name, const char* value) {
  attributes_.emplace_back(name, value == nullptr ? "" : value);
}

void XMLElement::AddAttribute(const std::string& name, int64_t value) {
  attributes_.emplace_back(name, std::to_string(value));
}

void XMLElement::AddAttribute(const std::string& name, int value) {
  attributes_.emplace_back(name, std::to_string(value));
}

void XMLElement::AddAttribute(const std::string& name, double value) {
  attributes_.emplace_back(name, ReplaceSep(value));
}

XMLElement* XMLElement::AppendChild(XMLElement* child) {
  Node node;
  node.element.reset(child);
  children_.push_back(std::move(node));
  return child;
}

void XMLElement::AppendText(XMLString* text) {
  Node node;
  node.text.reset(text);
  children_.push_back(std::move(node));
}

void XMLElement::AppendText(const std::string& text) { AppendText(XMLString::Create(text)); }

const std::string* XMLElement::GetAttribute(const std::string& name) const {
  for (const auto& attribute : attributes_) {
    if (attribute.first == name) return &attribute.second;
  }
  return nullptr;
}

TorCommon_1_3::TorStatus WriteTree(std::ostream& out, const char* docType, const XMLElement* root,
                                   bool indent) {
  const TorCommon_1_3::TorStatus failed(210043, false);
  const TorCommon_1_3::TorStatus noMemory(3, false);
  if (root == nullptr || !IsWritable(*root)) return failed;
  const QuietLibxml quiet;
  std::unique_ptr<xmlDoc, DocDeleter> doc(xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0")));
  if (!doc) return noMemory;
  if (docType != nullptr && *docType != '\0') {
    xmlCreateIntSubset(doc.get(), reinterpret_cast<const xmlChar*>(root->GetName().c_str()),
                       nullptr, reinterpret_cast<const xmlChar*>(docType));
  }
  xmlNodePtr rootNode = BuildNode(*root);
  if (rootNode == nullptr) return noMemory;
  xmlDocSetRootElement(doc.get(), rootNode);

  std::unique_ptr<xmlBuffer, BufferDeleter> buffer(xmlBufferCreate());
  if (!buffer) return noMemory;
  int options = indent ? XML_SAVE_FORMAT : 0;
  xmlSaveCtxtPtr context = xmlSaveToBuffer(buffer.get(), "UTF-8", options);
  if (context == nullptr) return noMemory;
  long written = xmlSaveDoc(context, doc.get());
  if (xmlSaveClose(context) < 0 || written < 0) return noMemory;
  out.write(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())),
            xmlBufferLength(buffer.get()));
  return out ? TorCommon_1_3::TorStatus() : failed;
}

std::string ReplaceSep(double value, const char* format) {
  char text[64];
  int length = std::snprintf(text, sizeof text, format, value);
  if (length < 0) return std::string();
  std::string result(text, static_cast<std::size_t>(length) < sizeof text ? length : sizeof text - 1);
  // printf follows LC_NUMERIC; the document always wants a point.
  const char* point = std::localeconv()->decimal_point;
  if (point != nullptr && std::strcmp(point, ".") != 0 && *point != '\0') {
    const std::size_t width = std::strlen(point);
    for (std::size_t at = result.find(point); at != std::string::npos;
         at = result.find(point, at + 1)) {
      result.replace(at, width, ".");
    }
  }
  return result;
}

}  // namespace TorXML_1_3
