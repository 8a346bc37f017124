#include "support/DocumentNumbers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <regex>
#include <vector>

namespace docnumbers {

namespace {

// A number as %.15g writes it, infinities and NaN included.
const std::regex& NumberPattern() {
  static const std::regex number(
      "-?(?:[0-9]+\\.?[0-9]*(?:[eE][-+]?[0-9]+)?|inf|nan)");
  return number;
}


// The range of the values a field holds, for each field's part of a
// document (its DataField, DerivedField and UnivariateStats): the largest
// magnitude among the margins of its intervals and its minimum and maximum,
// and those of the field it derives from. A mean or a cutoff near 0 amid
// values of that range, and the constants a rescale takes from it, agree
// with another path only to the rounding that range sets.
struct FieldScale {
  std::size_t begin;
  std::size_t end;
  double scale;
};

// The value of attribute `name` in the first tag of `text` that has it,
// from `from` on; empty when there is none.
std::string Attribute(const std::string& text, const std::string& name, std::size_t from = 0) {
  const std::string key = " " + name + "=\"";
  const std::size_t at = text.find(key, from);
  if (at == std::string::npos) return "";
  const std::size_t begin = at + key.size();
  return text.substr(begin, text.find('"', begin) - begin);
}

std::vector<FieldScale> FieldScales(const std::string& document) {
  struct Part {
    std::size_t begin, end;
    std::string name, source;
    double own;
  };
  std::vector<Part> parts;
  for (const char* tag : {"DataField", "DerivedField", "UnivariateStats"}) {
    const std::string open = std::string("<") + tag + " ";
    const std::string close = std::string("</") + tag + ">";
    for (std::size_t at = document.find(open); at != std::string::npos;
         at = document.find(open, at + 1)) {
      const std::size_t end = document.find(close, at);
      if (end == std::string::npos) break;
      const std::string text = document.substr(at, end - at);
      Part part{at, end, Attribute(text, tag == std::string("UnivariateStats") ? "field" : "name"),
                "", 0.0};
      const std::size_t source = text.find("<SourceField ");
      if (source != std::string::npos) part.source = Attribute(text, "value", source);
      for (const char* range : {"leftMargin", "rightMargin", "minimum", "maximum"}) {
        for (std::size_t from = 0;;) {
          const std::string key = std::string(" ") + range + "=\"";
          const std::size_t found = text.find(key, from);
          if (found == std::string::npos) break;
          const double value = std::fabs(std::strtod(text.c_str() + found + key.size(), nullptr));
          if (std::isfinite(value)) part.own = std::max(part.own, value);
          from = found + key.size();
        }
      }
      parts.push_back(part);
    }
  }
  std::map<std::string, double> own;
  std::map<std::string, std::string> sourceOf;
  for (const Part& part : parts) {
    own[part.name] = std::max(own[part.name], part.own);
    if (!part.source.empty()) sourceOf[part.name] = part.source;
  }
  std::vector<FieldScale> scales;
  for (const Part& part : parts) {
    double scale = 0.0;
    std::string name = part.name;
    for (int depth = 0; depth < 64 && !name.empty(); ++depth) {
      scale = std::max(scale, own[name]);
      const auto next = sourceOf.find(name);
      name = next != sourceOf.end() ? next->second : std::string();
    }
    scales.push_back({part.begin, part.end, scale});
  }
  std::sort(scales.begin(), scales.end(),
            [](const FieldScale& x, const FieldScale& y) { return x.begin < y.begin; });
  return scales;
}

}  // namespace

std::string Comparable(const std::string& document) {
  static const std::regex header("<Header[^>]*>[\\s\\S]*?</Header>");
  static const std::regex seconds("processingTimeInSecond=\"[^\"]*\"");
  return std::regex_replace(std::regex_replace(document, header, "<Header/>"), seconds, "");
}

std::string NumbersDiffer(const std::string& a, const std::string& b, double relative,
                          double absolute) {
  const std::regex& number = NumberPattern();
  const std::vector<FieldScale> scales = FieldScales(a);
  std::size_t field = 0;
  const std::string shapeA = std::regex_replace(a, number, "#");
  const std::string shapeB = std::regex_replace(b, number, "#");
  if (shapeA != shapeB) {
    std::size_t at = 0;
    while (at < shapeA.size() && at < shapeB.size() && shapeA[at] == shapeB[at]) ++at;
    const std::size_t from = at > 200 ? at - 200 : 0;
    return "the documents differ beyond their numbers:\n" + shapeA.substr(from, 400) +
           "\n---\n" + shapeB.substr(from, 400);
  }
  std::sregex_iterator ia(a.begin(), a.end(), number), ib(b.begin(), b.end(), number), end;
  for (; ia != end && ib != end; ++ia, ++ib) {
    const double x = std::strtod(ia->str().c_str(), nullptr);
    const double y = std::strtod(ib->str().c_str(), nullptr);
    if (std::isnan(x) && std::isnan(y)) continue;
    if (x == y) continue;
    const double scale = std::max(std::fabs(x), std::fabs(y));
    const std::size_t at = static_cast<std::size_t>(ia->position());
    while (field < scales.size() && scales[field].end <= at) ++field;
    const double range =
        field < scales.size() && scales[field].begin <= at ? scales[field].scale : 0.0;
    if (std::fabs(x - y) <= relative * std::max(scale, range) || std::fabs(x - y) <= absolute) {
      continue;
    }
    return ia->str() + " against " + ib->str() + " in\n" + a.substr(at > 300 ? at - 300 : 0, 400);
  }
  return std::string();
}

}  // namespace docnumbers
