// The XML tree and its serialisation through libxml2's streaming writer,
// which does the escaping of text and attribute values.
#include "torcommon13r/TorXML.h"

#include <libxml/globals.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlwriter.h>

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

// Streams one element and its subtree; false when libxml2 fails (out of
// memory: the values were checked before).
bool WriteElement(xmlTextWriterPtr writer, const XMLElement& element) {
  if (xmlTextWriterStartElement(writer, X(element.GetName())) < 0) return false;
  for (const auto& attribute : element.GetAttributes()) {
    if (xmlTextWriterWriteAttribute(writer, X(attribute.first), X(attribute.second)) < 0) {
      return false;
    }
  }
  for (const auto& child : element.GetChildren()) {
    const bool written = child.element ? WriteElement(writer, *child.element)
                                       : xmlTextWriterWriteString(writer, X(child.text->GetText())) >= 0;
    if (!written) return false;
  }
  return xmlTextWriterEndElement(writer) >= 0;
}

// The writer's output: appended to a string, so that the stream receives the
// document in one piece or not at all.
int AppendToText(void* text, const char* bytes, int length) {
  try {
    static_cast<std::string*>(text)->append(bytes, static_cast<std::size_t>(length));
    return length;
  } catch (...) {
    return -1;
  }
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

struct WriterDeleter {
  void operator()(xmlTextWriter* writer) const { xmlFreeTextWriter(writer); }
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
  // The tree is streamed through libxml2's writer, which escapes text and
  // attribute values; no second tree is built.
  std::string text;
  xmlOutputBufferPtr output = xmlOutputBufferCreateIO(AppendToText, nullptr, &text, nullptr);
  if (output == nullptr) return noMemory;
  std::unique_ptr<xmlTextWriter, WriterDeleter> writer(xmlNewTextWriter(output));
  if (!writer) {
    xmlOutputBufferClose(output);
    return noMemory;
  }
  if (indent && (xmlTextWriterSetIndent(writer.get(), 1) < 0 ||
                 xmlTextWriterSetIndentString(writer.get(), X("  ")) < 0)) {
    return noMemory;
  }
  bool ok = xmlTextWriterStartDocument(writer.get(), nullptr, "UTF-8", nullptr) >= 0;
  if (ok && docType != nullptr && *docType != '\0') {
    ok = xmlTextWriterWriteDTD(writer.get(), X(root->GetName()), nullptr, X(docType), nullptr) >= 0;
  }
  ok = ok && WriteElement(writer.get(), *root) && xmlTextWriterEndDocument(writer.get()) >= 0 &&
       xmlTextWriterFlush(writer.get()) >= 0;
  writer.reset();  // closes the output
  if (!ok) return noMemory;
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
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
