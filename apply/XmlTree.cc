#include "XmlTree.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <climits>

namespace zelapply {

namespace {

const char* Chars(const xmlChar* text) { return reinterpret_cast<const char*>(text); }

}  // namespace

Status XmlTree::Parse(std::string_view text) {
  if (text.size() > static_cast<std::size_t>(INT_MAX)) {
    return Status::Error("the document is too large");
  }
  std::unique_ptr<xmlParserCtxt, void (*)(xmlParserCtxt*)> context(xmlNewParserCtxt(),
                                                                   xmlFreeParserCtxt);
  if (!context) return Status::Error("out of memory while reading the document");
  // No network, no entity substitution, no DTD loading; line numbers beyond
  // 65535 are kept. Text nodes may be huge: a category of a document is a
  // cell of the data, and a cell may hold megabytes.
  const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                      XML_PARSE_BIG_LINES | XML_PARSE_HUGE;
  doc_.reset(xmlCtxtReadMemory(context.get(), text.data(), static_cast<int>(text.size()), nullptr,
                               nullptr, options));
  if (doc_ && context->wellFormed) return Status();
  doc_.reset();
  const xmlError* error = xmlCtxtGetLastError(context.get());
  std::string message = "not well-formed XML";
  if (error != nullptr && error->message != nullptr) {
    std::string detail = error->message;
    while (!detail.empty() && (detail.back() == '\n' || detail.back() == ' ')) detail.pop_back();
    message = "line " + std::to_string(error->line) + ": not well-formed XML: " + detail;
  }
  return Status::Error(message);
}

XmlElement XmlTree::root() const { return doc_ ? xmlDocGetRootElement(doc_.get()) : nullptr; }

std::string_view NameOf(XmlElement element) { return Chars(element->name); }

std::string_view NamespaceOf(XmlElement element) {
  return element->ns != nullptr && element->ns->href != nullptr ? Chars(element->ns->href) : "";
}

long LineOf(XmlElement element) { return xmlGetLineNo(element); }

bool GetAttribute(XmlElement element, const char* name, std::string* value) {
  for (const xmlAttr* attribute = element->properties; attribute != nullptr;
       attribute = attribute->next) {
    if (attribute->ns != nullptr || std::string_view(Chars(attribute->name)) != name) continue;
    xmlChar* text = xmlNodeGetContent(reinterpret_cast<const xmlNode*>(attribute));
    *value = text != nullptr ? Chars(text) : "";
    xmlFree(text);
    return true;
  }
  return false;
}

std::string TextOf(XmlElement element) {
  xmlChar* text = xmlNodeGetContent(element);
  std::string result = text != nullptr ? Chars(text) : "";
  xmlFree(text);
  return result;
}

std::vector<XmlElement> ChildElements(XmlElement element) {
  std::vector<XmlElement> children;
  for (const xmlNode* child = element->children; child != nullptr; child = child->next) {
    if (child->type == XML_ELEMENT_NODE) children.push_back(child);
  }
  return children;
}

Status ElementError(XmlElement element, const std::string& what) {
  return Status::Error("line " + std::to_string(LineOf(element)) + ": " +
                       std::string(NameOf(element)) + ": " + what);
}

}  // namespace zelapply
