// The host library stand-in: distribution functions, eigenpairs, XML output,
// locale-independent number text, settings lookups.
#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <clocale>
#include <cmath>
#include <sstream>

#include "frame/host/TorDistFun.h"
#include "frame/host/TorMV.h"
#include "frame/host/TorMatrix.h"
#include "frame/host/TorSettings.h"
#include "frame/host/TorXML.h"

using namespace TorMath_1_3;
using TorCommon_1_3::TorMV::gMissingValue;

TEST(DistFun, KnownValuesAndInverse) {
  // Chi-square 0.95 quantile with 1 df, t and F reference values.
  EXPECT_NEAR(TorDistFun::CdfChi(3.841458820694124, 1.0), 0.95, 1e-12);
  EXPECT_NEAR(TorDistFun::CdfChi(5.991464547107979, 2.0), 0.95, 1e-12);
  EXPECT_NEAR(TorDistFun::CdfT(0.0, 7.0), 0.5, 1e-15);
  EXPECT_NEAR(TorDistFun::CdfT(2.228138851986274, 10.0), 0.975, 1e-12);
  EXPECT_NEAR(TorDistFun::CdfF(3.3258345304130112, 5.0, 10.0), 0.95, 1e-12);
  for (double p : {0.01, 0.5, 0.95, 0.999}) {
    const double x = TorDistFun::IdfF(p, 3.0, 17.0);
    EXPECT_NEAR(TorDistFun::CdfF(x, 3.0, 17.0), p, 1e-10);
  }
  EXPECT_EQ(TorDistFun::CdfChi(-1.0, 3.0), 0.0);
}

TEST(DistFun, InvalidArgumentsGiveMissing) {
  EXPECT_EQ(TorDistFun::CdfChi(1.0, 0.0), gMissingValue);
  EXPECT_EQ(TorDistFun::CdfChi(NAN, 2.0), gMissingValue);
  EXPECT_EQ(TorDistFun::CdfT(1.0, -2.0), gMissingValue);
  EXPECT_EQ(TorDistFun::CdfF(1.0, 2.0, 0.0), gMissingValue);
  EXPECT_EQ(TorDistFun::IdfF(1.5, 2.0, 3.0), gMissingValue);
  EXPECT_EQ(TorDistFun::IdfF(-0.1, 2.0, 3.0), gMissingValue);
  EXPECT_EQ(TorDistFun::IdfF(NAN, 2.0, 3.0), gMissingValue);
}

TEST(Eigen, SortedPairsOfKnownMatrix) {
  // [[2,1,0],[1,2,0],[0,0,5]] has eigenvalues 5, 3, 1.
  TorSymMatrix m(3, false);
  m.SetElem(0, 0, 2); m.SetElem(1, 1, 2); m.SetElem(1, 0, 1); m.SetElem(2, 2, 5);
  TorEigenValues eigen;
  eigen.SetHMatrix(m);
  std::vector<double> values;
  TorRectMatrix vectors;
  ASSERT_EQ(eigen.GetSorted(values, vectors, true), 3);
  EXPECT_NEAR(values[0], 5.0, 1e-12);
  EXPECT_NEAR(values[1], 3.0, 1e-12);
  EXPECT_NEAR(values[2], 1.0, 1e-12);
  for (int k = 0; k < 3; ++k) {
    for (int i = 0; i < 3; ++i) {
      double av = 0.0;
      for (int j = 0; j < 3; ++j) av += m.GetElem(i, j) * vectors.GetElem(j, k);
      EXPECT_NEAR(av, values[k] * vectors.GetElem(i, k), 1e-12);
    }
  }
}

TEST(Xml, EscapingAndOrder) {
  std::unique_ptr<TorXML_1_3::XMLElement> root(TorXML_1_3::XMLElement::Create("Root"));
  root->AddAttribute("z", "a&b<c>\"d\"");
  root->AddAttribute("a", int64_t{42});
  root->AddAttribute("m", 0.5);
  auto* first = root->AppendChild(TorXML_1_3::XMLElement::Create("Second"));
  first->AppendText(TorXML_1_3::XMLString::Create("x < y & z > \"w\""));
  root->AppendChild(TorXML_1_3::XMLElement::Create("First"));
  std::ostringstream out;
  ASSERT_TRUE(TorXML_1_3::WriteTree(out, nullptr, root.get(), true).IsOK());
  const std::string text = out.str();

  // Parse it back: attribute and child order survive, escaped text round-trips.
  xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr, 0);
  ASSERT_NE(doc, nullptr) << text;
  xmlNodePtr r = xmlDocGetRootElement(doc);
  std::vector<std::string> attributes;
  for (xmlAttrPtr a = r->properties; a != nullptr; a = a->next) {
    attributes.push_back(reinterpret_cast<const char*>(a->name));
  }
  EXPECT_EQ(attributes, (std::vector<std::string>{"z", "a", "m"}));
  xmlChar* z = xmlGetProp(r, reinterpret_cast<const xmlChar*>("z"));
  EXPECT_STREQ(reinterpret_cast<char*>(z), "a&b<c>\"d\"");
  xmlFree(z);
  std::vector<std::string> children;
  for (xmlNodePtr c = r->children; c != nullptr; c = c->next) {
    if (c->type == XML_ELEMENT_NODE) children.push_back(reinterpret_cast<const char*>(c->name));
  }
  EXPECT_EQ(children, (std::vector<std::string>{"Second", "First"}));
  xmlChar* content = xmlNodeGetContent(xmlFirstElementChild(r));
  EXPECT_STREQ(reinterpret_cast<char*>(content), "x < y & z > \"w\"");
  xmlFree(content);
  xmlFreeDoc(doc);
  EXPECT_NE(text.find("a=\"42\""), std::string::npos);
  EXPECT_NE(text.find("m=\"0.5\""), std::string::npos);
}

TEST(Xml, NumbersUsePointUnderCommaLocale) {
  const char* chosen = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr) { chosen = name; break; }
  }
  EXPECT_EQ(TorXML_1_3::ReplaceSep(1234.5678), "1234.5678");
  EXPECT_EQ(TorXML_1_3::ReplaceSep(0.1 + 0.2), "0.3");
  EXPECT_EQ(TorXML_1_3::ReplaceSep(-1e20), "-1e+20");
  EXPECT_EQ(TorXML_1_3::ReplaceSep(1.0 / 3.0), "0.333333333333333");
  std::setlocale(LC_NUMERIC, "C");
  if (chosen == nullptr) GTEST_SKIP() << "no comma-decimal locale installed";
}

TEST(Settings, TypedLookupWritesOnlyOnMatch) {
  TorCommon_1_3::TorSettings s;
  s.SetBool("b", true);
  s.SetInt("i", 3);
  s.SetDouble("d", 2.5);
  s.SetString("s", "x");
  int i = -1;
  double d = -1.0;
  bool b = false;
  std::string str = "keep";
  EXPECT_FALSE(s.GetSettingValByName("i", d));  // int key asked as double
  EXPECT_EQ(d, -1.0);
  EXPECT_FALSE(s.GetSettingValByName("absent", str));
  EXPECT_EQ(str, "keep");
  EXPECT_TRUE(s.GetSettingValByName("i", i));
  EXPECT_TRUE(s.GetSettingValByName("d", d));
  EXPECT_TRUE(s.GetSettingValByName("b", b));
  EXPECT_TRUE(s.GetSettingValByName("s", str));
  EXPECT_EQ(i, 3);
  EXPECT_EQ(d, 2.5);
  EXPECT_TRUE(b);
  EXPECT_EQ(str, "x");
}
