// The XML writer refuses, with an error and no output, any text or attribute
// value that XML 1.0 cannot carry, and writes everything else so that a
// parser reads it back unchanged.
#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <memory>
#include <sstream>
#include <string>

#include "torcommon13r/TorXML.h"

namespace {

using TorXML_1_3::XMLElement;

// The status of writing one element with `value` as attribute or as text,
// and the document text written.
TorCommon_1_3::TorStatus Write(const std::string& value, bool asAttribute, std::string* text) {
  std::unique_ptr<XMLElement> root(XMLElement::Create("Root"));
  if (asAttribute) {
    root->AddAttribute("value", value);
  } else {
    root->AppendChild(XMLElement::Create("Inner"))->AppendText(value);
  }
  std::ostringstream out;
  const TorCommon_1_3::TorStatus status = TorXML_1_3::WriteTree(out, nullptr, root.get(), false);
  *text = out.str();
  return status;
}

TEST(XmlCharacters, RefusesWhatXmlCannotCarry) {
  const std::string refused[] = {std::string("a\0b", 3),
                                 "a\x01",
                                 "\x1f",
                                 "x\x0by",  // NUL and C0 controls
                                 "\xEF\xBF\xBE",
                                 "\xEF\xBF\xBF",  // U+FFFE, U+FFFF
                                 "\xED\xA0\x80",  // a surrogate
                                 "\xC0\xAF",
                                 "\xE0\x80\xAF",      // overlong forms
                                 "\xF4\x90\x80\x80",  // above U+10FFFF
                                 "\xC3",
                                 "\x80",
                                 "caf\xE9"};  // broken or not UTF-8
  for (const std::string& value : refused) {
    for (bool asAttribute : {true, false}) {
      std::string text;
      const TorCommon_1_3::TorStatus status = Write(value, asAttribute, &text);
      EXPECT_TRUE(status.IsError()) << testing::PrintToString(value);
      EXPECT_EQ(status.GetCode(), 210043);
      EXPECT_EQ(text, "");
    }
  }
}

TEST(XmlCharacters, WritesTheEdgesOfWhatXmlCarries) {
  // Tab, LF, CR, the last character before the surrogates, the first after
  // them, U+FFFD and the highest code point.
  const std::string kept[] = {"a\tb\nc\rd",   "\xED\x9F\xBF",     "\xEE\x80\x80",
                              "\xEF\xBF\xBD", "\xF4\x8F\xBF\xBF", "plain"};
  for (const std::string& value : kept) {
    for (bool asAttribute : {true, false}) {
      std::string text;
      ASSERT_TRUE(Write(value, asAttribute, &text).IsOK()) << testing::PrintToString(value);
      xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr,
                                    XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
      ASSERT_NE(doc, nullptr) << text;
      xmlNode* root = xmlDocGetRootElement(doc);
      xmlChar* read = asAttribute ? xmlGetProp(root, BAD_CAST "value")
                                  : xmlNodeGetContent(xmlFirstElementChild(root));
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(read)), value);
      xmlFree(read);
      xmlFreeDoc(doc);
    }
  }
}

}  // namespace
