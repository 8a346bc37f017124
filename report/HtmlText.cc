#include "HtmlText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zelreport {

std::string Escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Figure(double value, int digits) {
  if (!std::isfinite(value)) return "n/a";
  if (value == 0.0) return "0";
  char text[40];
  std::snprintf(text, sizeof text, "%.*g", digits, value);
  // Large figures read better whole than with an exponent: 16580, not
  // 1.658e+04.
  const double rounded = std::strtod(text, nullptr);
  if (std::fabs(rounded) >= std::pow(10.0, digits) && std::fabs(rounded) < 1e15) {
    std::snprintf(text, sizeof text, "%.0f", rounded);
  }
  return text;
}

std::string Count(double value) {
  if (!std::isfinite(value)) return "n/a";
  char text[40];
  std::snprintf(text, sizeof text, "%.0f", std::fabs(value));
  std::string digits = text;
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += "\u2009";
    out += digits[i];
  }
  return value < 0 ? "-" + out : out;
}

std::string Percent(double share) {
  if (!std::isfinite(share)) return "n/a";
  char text[40];
  std::snprintf(text, sizeof text, "%.1f\u00a0%%", share * 100.0);
  return text;
}

std::string Coord(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.2f", std::isfinite(value) ? value : 0.0);
  std::string out = text;
  while (out.back() == '0') out.pop_back();
  if (out.back() == '.') out.pop_back();
  return out == "-0" ? "0" : out;
}

std::string PanelId(std::string_view name) {
  static const char kHex[] = "0123456789abcdef";
  std::string id = "f-";
  for (unsigned char c : name) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
        c == '-') {
      id += static_cast<char>(c);
    } else {
      id += '.';
      id += kHex[c >> 4];
      id += kHex[c & 15];
    }
  }
  return id;
}

std::string NameHtml(std::string_view name) { return "<bdi>" + Escape(name) + "</bdi>"; }

std::string Isolated(std::string_view name) {
  // FIRST STRONG ISOLATE ... POP DIRECTIONAL ISOLATE
  return "\u2068" + std::string(name) + "\u2069";
}

std::string FieldLink(std::string_view name) {
  return "<a href=\"#" + PanelId(name) + "\">" + NameHtml(name) + "</a>";
}

}  // namespace zelreport
