// The host library stand-in: distribution functions, eigenpairs,
// locale-independent number text and record values.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>
#include <tuple>

#include "torcommon13r/RawRecord.h"
#include "torcommon13r/TorDistFun.h"
#include "torcommon13r/TorMV.h"
#include "torcommon13r/TorMatrix.h"
#include "torcommon13r/TorXML.h"

using namespace TorMath_1_3;
using TorCommon_1_3::TorMV::gMissingValue;

TEST(DistFun, KnownValuesInverseAndInvalidArguments) {
  // Chi-square 0.95 quantiles with 1 and 2 df, t and F reference values.
  EXPECT_NEAR(TorDistFun::CdfChi(3.841458820694124, 1.0), 0.95, 1e-12);
  EXPECT_NEAR(TorDistFun::CdfChi(5.991464547107979, 2.0), 0.95, 1e-12);
  EXPECT_NEAR(TorDistFun::CdfT(0.0, 7.0), 0.5, 1e-15);
  EXPECT_NEAR(TorDistFun::CdfT(2.228138851986274, 10.0), 0.975, 1e-12);
  EXPECT_NEAR(TorDistFun::CdfF(3.3258345304130112, 5.0, 10.0), 0.95, 1e-12);
  for (double p : {0.01, 0.5, 0.95, 0.999}) {
    EXPECT_NEAR(TorDistFun::CdfF(TorDistFun::IdfF(p, 3.0, 17.0), 3.0, 17.0), p, 1e-10);
  }
  EXPECT_EQ(TorDistFun::CdfChi(-1.0, 3.0), 0.0);
  for (double missing :
       {TorDistFun::CdfChi(1.0, 0.0), TorDistFun::CdfChi(NAN, 2.0), TorDistFun::CdfT(1.0, -2.0),
        TorDistFun::CdfF(1.0, 2.0, 0.0), TorDistFun::IdfF(1.5, 2.0, 3.0),
        TorDistFun::IdfF(-0.1, 2.0, 3.0), TorDistFun::IdfF(NAN, 2.0, 3.0)}) {
    EXPECT_EQ(missing, gMissingValue);
  }
}

TEST(Eigen, SortedPairsOfKnownMatrix) {
  // [[2,1,0],[1,2,0],[0,0,5]] has eigenvalues 5, 3, 1.
  TorSymMatrix m(3, false);
  for (const auto& [i, j, v] : {std::tuple{0, 0, 2.0}, {1, 1, 2.0}, {1, 0, 1.0}, {2, 2, 5.0}}) {
    m.SetElem(i, j, v);
  }
  TorEigenValues eigen;
  eigen.SetHMatrix(m);
  std::vector<double> values;
  TorRectMatrix vectors;
  ASSERT_EQ(eigen.GetSorted(values, vectors, true), 3);
  for (int k = 0; k < 3; ++k) {
    EXPECT_NEAR(values[k], 5.0 - 2 * k, 1e-12);
    for (int i = 0; i < 3; ++i) {
      double av = 0.0;
      for (int j = 0; j < 3; ++j) av += m.GetElem(i, j) * vectors.GetElem(j, k);
      EXPECT_NEAR(av, values[k] * vectors.GetElem(i, k), 1e-12);
    }
  }
}

TEST(Xml, NumbersUsePointUnderCommaLocale) {
  const char* chosen = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr) {
      chosen = name;
      break;
    }
  }
  EXPECT_EQ(TorXML_1_3::ReplaceSep(1234.5678), "1234.5678");
  EXPECT_EQ(TorXML_1_3::ReplaceSep(0.1 + 0.2), "0.3");
  EXPECT_EQ(TorXML_1_3::ReplaceSep(-1e20), "-1e+20");
  EXPECT_EQ(TorXML_1_3::ReplaceSep(1.0 / 3.0), "0.333333333333333");
  std::setlocale(LC_NUMERIC, "C");
  if (chosen == nullptr) GTEST_SKIP() << "no comma-decimal locale installed";
}

TEST(RawData, SharedTextIsReferredToUntilReplaced) {
  using TorCommon_1_3::RawData;
  const std::string dictionary = "Premium";
  RawData shared;
  shared.SetSharedString(dictionary);
  EXPECT_EQ(shared.GetStorage(), TorCommon_1_3::kStorageString);
  EXPECT_FALSE(shared.IsMissing());
  // Copies refer to the same text instead of copying its characters.
  RawData copy;
  copy.SetString("old", 3);
  copy = shared;
  EXPECT_EQ(copy.GetString().data(), dictionary.data());
  // A text set by value is owned again, and so are copies of it.
  copy.SetString("Ideal", 5);
  EXPECT_EQ(copy.GetString(), "Ideal");
  EXPECT_EQ(dictionary, "Premium");
  RawData owned;
  owned = copy;
  EXPECT_NE(owned.GetString().data(), copy.GetString().data());
  EXPECT_EQ(owned.GetString(), "Ideal");
  // A number copied over a shared text reads empty as a text.
  RawData number;
  number.SetInteger(7);
  copy = shared;
  copy = number;
  EXPECT_EQ(copy.GetString(), "");
  EXPECT_EQ(copy.GetInteger(), 7);
}
