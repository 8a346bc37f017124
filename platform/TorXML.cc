// The XML tree and its serialisation through libxml2, which does the
// escaping of text and attribute values.
#include "torcommon13r/TorXML.h"

#include <libxml/tree.h>
#include <libxml/xmlsave.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <memory>

namespace TorXML_1_3 {

namespace {

const xmlChar* X(const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); }

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
  if (root == nullptr) return failed;
  std::unique_ptr<xmlDoc, DocDeleter> doc(xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0")));
  if (!doc) return failed;
  if (docType != nullptr && *docType != '\0') {
    xmlCreateIntSubset(doc.get(), reinterpret_cast<const xmlChar*>(root->GetName().c_str()),
                       nullptr, reinterpret_cast<const xmlChar*>(docType));
  }
  xmlNodePtr rootNode = BuildNode(*root);
  if (rootNode == nullptr) return failed;
  xmlDocSetRootElement(doc.get(), rootNode);

  std::unique_ptr<xmlBuffer, BufferDeleter> buffer(xmlBufferCreate());
  if (!buffer) return failed;
  int options = indent ? XML_SAVE_FORMAT : 0;
  xmlSaveCtxtPtr context = xmlSaveToBuffer(buffer.get(), "UTF-8", options);
  if (context == nullptr) return failed;
  long written = xmlSaveDoc(context, doc.get());
  if (xmlSaveClose(context) < 0 || written < 0) return failed;
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
