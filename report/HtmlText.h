// HtmlText: the small text helpers every part of the page uses: escaping
// for element text and attribute values, numbers in a reader's form, and
// the anchor id of a field's panel.
#ifndef ZELCRAFT_REPORT_HTMLTEXT_H_
#define ZELCRAFT_REPORT_HTMLTEXT_H_

#include <string>
#include <string_view>

namespace zelreport {

// Escapes &, <, >, " and ' so the text is safe in element text and in a
// quoted attribute value.
std::string Escape(std::string_view text);

// A figure with at most `digits` significant digits, without trailing
// zeros ("0.4116", "12800", "1.5e-07"); "n/a" when it is not finite.
std::string Figure(double value, int digits = 4);

// A count with thousands separated by a thin space ("1 078 800").
std::string Count(double value);

// A share as a percentage with one decimal ("12.5 %").
std::string Percent(double share);

// A coordinate for SVG: at most two decimals.
std::string Coord(double value);

// The id of the panel of field `name`: "f-" and the name with every byte
// outside [A-Za-z0-9_-] written as its hex code, so ids stay unique.
std::string PanelId(std::string_view name);

// A name as HTML: escaped and isolated, so that a right-to-left override
// or another bidirectional control in it reorders nothing around it.
std::string NameHtml(std::string_view name);

// A name inside a plain text that is escaped as a whole later: the name
// between the Unicode isolate marks, which act as NameHtml's element does.
std::string Isolated(std::string_view name);

// A link to the panel of field `name`, the name its text.
std::string FieldLink(std::string_view name);

}  // namespace zelreport

#endif  // ZELCRAFT_REPORT_HTMLTEXT_H_
