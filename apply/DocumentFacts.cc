#include "DocumentFacts.h"

#include <cstdlib>
#include <map>

#include "XmlTree.h"

namespace zelapply {

using zelstatus::Status;

namespace {

std::string Attr(XmlElement element, const char* name) {
  std::string value;
  GetAttribute(element, name, &value);
  return value;
}

NumberFact Number(XmlElement element, const char* name) {
  NumberFact number;
  if (element == nullptr || !GetAttribute(element, name, &number.text)) return number;
  char* end = nullptr;
  number.value = std::strtod(number.text.c_str(), &end);
  number.present = end != number.text.c_str();
  return number;
}

long Count(XmlElement element, const char* name) {
  return std::strtol(Attr(element, name).c_str(), nullptr, 10);
}

XmlElement Child(XmlElement element, std::string_view name) {
  if (element == nullptr) return nullptr;
  for (XmlElement child : ChildElements(element)) {
    if (NameOf(child) == name) return child;
  }
  return nullptr;
}

ExpressionNode ReadExpression(XmlElement element) {
  ExpressionNode node;
  node.element = std::string(NameOf(element));
  for (const XmlAttribute* attribute = element->attributes; attribute != nullptr;
       attribute = attribute->next) {
    if (!attribute->qualified) node.attributes.emplace_back(*attribute->name, attribute->value);
  }
  const std::vector<XmlElement> children = ChildElements(element);
  if (children.empty()) node.text = TextOf(element);
  for (XmlElement child : children) node.children.push_back(ReadExpression(child));
  return node;
}

ActionFact ReadAction(XmlElement element) {
  ActionFact action;
  action.stepKey = Attr(element, "stepKey");
  action.reasonKey = Attr(element, "reasonKey");
  action.fields = Count(element, "numOfFields");
  const char* const names[] = {"parameter", "parameter2", "parameter3"};
  for (std::size_t i = 0; i < 3; ++i) {
    std::string value;
    if (!GetAttribute(element, names[i], &value)) continue;
    action.parameters.resize(i + 1);
    action.parameters[i] = value;
  }
  return action;
}

void ReadInterval(XmlElement interval, FieldFact* field) {
  field->low = Number(interval, "leftMargin");
  field->high = Number(interval, "rightMargin");
}

// The vendor extension of a field: usage, actions, sources and figures; an
// extension without a name may also hold the field's range.
void ReadFieldExtension(XmlElement extension, FieldFact* field) {
  std::string name;
  if (GetAttribute(extension, "name", &name)) {
    field->extensions.emplace_back(name, Attr(extension, "value"));
    return;
  }
  for (XmlElement child : ChildElements(extension)) {
    const std::string_view kind = NameOf(child);
    if (kind == "Action") {
      field->actions.push_back(ReadAction(child));
    } else if (kind == "UsageType") {
      field->enabled = Attr(child, "value") == "enable";
    } else if (kind == "ClassOfField") {
      field->classOfField = Attr(child, "value");
    } else if (kind == "SourceField") {
      field->sources.push_back(Attr(child, "value"));
    } else if (kind == "PredictivePower") {
      field->predictivePower = Number(child, "value");
    } else if (kind == "Interval") {
      ReadInterval(child, field);
    }
  }
}

FieldFact ReadField(XmlElement element, bool derived) {
  FieldFact field;
  field.derived = derived;
  field.name = Attr(element, "name");
  field.displayName = Attr(element, "displayName");
  field.optype = Attr(element, "optype");
  field.dataType = Attr(element, "dataType");
  for (XmlElement child : ChildElements(element)) {
    const std::string_view kind = NameOf(child);
    if (kind == "Extension") {
      ReadFieldExtension(child, &field);
    } else if (kind == "Interval") {
      ReadInterval(child, &field);
    } else if (kind == "Value") {
      field.values.push_back(
          {Attr(child, "value"), Attr(child, "displayValue"), Attr(child, "property")});
    } else if (derived && field.expression.element.empty()) {
      field.expression = ReadExpression(child);
    }
  }
  return field;
}

std::vector<double> Numbers(const std::string& text) {
  std::vector<double> numbers;
  const char* p = text.c_str();
  for (;;) {
    char* end = nullptr;
    const double value = std::strtod(p, &end);
    if (end == p) break;
    numbers.push_back(value);
    p = end;
  }
  return numbers;
}

// Array items: blank-separated; quoted items keep their blanks, with a
// backslash before an inner quote or backslash.
std::vector<std::string> Items(const std::string& text) {
  std::vector<std::string> items;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\n' || text[i] == '\t')) ++i;
    if (i >= text.size()) break;
    std::string item;
    if (text[i] == '"') {
      for (++i; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) ++i;
        item += text[i];
      }
      ++i;
    } else {
      while (i < text.size() && text[i] != ' ' && text[i] != '\n' && text[i] != '\t') {
        item += text[i++];
      }
    }
    items.push_back(std::move(item));
  }
  return items;
}

StatisticsFact ReadStatistics(XmlElement element) {
  StatisticsFact stats;
  stats.field = Attr(element, "field");
  if (XmlElement counts = Child(element, "Counts")) {
    stats.total = Number(counts, "totalFreq").value;
    stats.missing = Number(counts, "missingFreq").value;
  }
  if (XmlElement info = Child(element, "NumericInfo")) {
    stats.numeric = true;
    stats.mean = Number(info, "mean");
    stats.minimum = Number(info, "minimum");
    stats.maximum = Number(info, "maximum");
    stats.standardDeviation = Number(info, "standardDeviation");
    for (XmlElement extension : ChildElements(info)) {
      if (NameOf(extension) == "Extension" && Attr(extension, "name") == "skewness") {
        stats.skewness = Number(extension, "value");
      }
    }
  }
  if (XmlElement discrete = Child(element, "DiscrStats")) {
    stats.discrete = true;
    for (XmlElement array : ChildElements(discrete)) {
      if (NameOf(array) != "Array") continue;
      if (Attr(array, "type") == "int" && stats.frequencies.empty()) {
        stats.frequencies = Numbers(TextOf(array));
      } else {
        stats.categories = Items(TextOf(array));
      }
    }
  }
  XmlElement continuous = Child(element, "ContStats");
  for (XmlElement extension : continuous ? ChildElements(continuous) : std::vector<XmlElement>()) {
    if (NameOf(extension) != "Extension" || Attr(extension, "name") != "EqualWidthBinning") {
      continue;
    }
    for (XmlElement array : ChildElements(extension)) {
      if (NameOf(array) != "Array") continue;
      (Attr(array, "type") == "int" ? stats.histogramCounts : stats.histogramMeans) =
          Numbers(TextOf(array));
    }
  }
  return stats;
}

void ReadSummary(XmlElement element, SummaryFact* summary) {
  for (XmlElement child : ChildElements(element)) {
    const std::string_view kind = NameOf(child);
    if (kind == "ProcessingSummary") {
      summary->present = true;
      for (const XmlAttribute* a = child->attributes; a != nullptr; a = a->next) {
        if (!a->qualified) summary->counts.emplace_back(*a->name, a->value);
      }
      for (XmlElement warning : ChildElements(child)) {
        if (NameOf(warning) == "Warning") summary->warnings.push_back(Attr(warning, "value"));
      }
    } else if (kind == "StepSummary") {
      StepFact step;
      step.stepKey = Attr(child, "stepKey");
      step.inputs = Count(child, "numOfInputFeatures");
      step.outputs = Count(child, "numOfOutputFeatures");
      for (XmlElement action : ChildElements(child)) {
        if (NameOf(action) == "Action") step.actions.push_back(ReadAction(action));
      }
      summary->steps.push_back(std::move(step));
    } else if (kind == "VariableSummary") {
      for (XmlElement ref : ChildElements(child)) {
        summary->reportedFields.push_back(Attr(ref, "field"));
      }
    }
  }
}

void ReadVendor(XmlElement vendor, DocumentFacts* facts) {
  for (XmlElement child : ChildElements(vendor)) {
    const std::string_view kind = NameOf(child);
    if (kind == "Summary") {
      ReadSummary(child, &facts->summary);
    } else if (kind == "UnivariateStats") {
      facts->statistics.push_back(ReadStatistics(child));
    } else if (kind == "TargetInverse") {
      if (XmlElement field = Child(child, "DerivedField")) {
        facts->hasTargetInverse = true;
        facts->targetInverse = ReadField(field, true);
      }
    }
  }
}

}  // namespace

std::string ExpressionNode::Attribute(std::string_view name) const {
  for (const auto& attribute : attributes) {
    if (attribute.first == name) return attribute.second;
  }
  return std::string();
}

long SummaryFact::Count(std::string_view name) const {
  for (const auto& count : counts) {
    if (count.first == name) return std::strtol(count.second.c_str(), nullptr, 10);
  }
  return 0;
}

const FieldFact* DocumentFacts::Field(std::string_view name) const {
  const auto found = fieldIndex_.find(std::string(name));
  return found == fieldIndex_.end() ? nullptr : &fields[found->second];
}

const StatisticsFact* DocumentFacts::Statistics(std::string_view name) const {
  const auto found = statisticsIndex_.find(std::string(name));
  return found == statisticsIndex_.end() ? nullptr : &statistics[found->second];
}

std::string DocumentFacts::Origin(const std::string& name) const {
  const FieldFact* field = Field(name);
  return field != nullptr ? field->origin : name;
}

void DocumentFacts::Index() {
  fieldIndex_.clear();
  statisticsIndex_.clear();
  for (std::size_t i = 0; i < fields.size(); ++i) fieldIndex_.emplace(fields[i].name, i);
  for (std::size_t i = 0; i < statistics.size(); ++i) {
    statisticsIndex_.emplace(statistics[i].field, i);
  }
  // Each field's origin is its first source's: a chain is walked up to the
  // first field whose origin is known, and every field on the way gets it,
  // so that each field is walked once. A loop ends at the field met twice.
  std::vector<char> known(fields.size(), 0);
  std::vector<std::size_t> path;
  for (std::size_t start = 0; start < fields.size(); ++start) {
    if (known[start]) continue;
    std::string origin;
    path.clear();
    for (std::size_t at = start;;) {
      FieldFact& field = fields[at];
      if (known[at] == 1) {
        origin = field.origin;
        break;
      }
      if (known[at] == 2 || !field.derived || field.sources.empty()) {
        origin = field.name;
        for (const TimestampPart& part : timestampParts) {
          if (!field.derived && part.field == field.name) origin = part.column;
        }
        break;
      }
      known[at] = 2;  // on the path being walked
      path.push_back(at);
      const auto source = fieldIndex_.find(field.sources.front());
      if (source == fieldIndex_.end()) {
        origin = field.sources.front();
        break;
      }
      at = source->second;
    }
    if (path.empty()) path.push_back(start);
    for (std::size_t at : path) {
      fields[at].origin = origin;
      known[at] = 1;
    }
  }
}

Status ReadDocumentFacts(std::string_view text, DocumentFacts* facts, const StopCheck& stop) {
  XmlTree tree;
  const Status parsed = tree.Parse(text, stop);
  if (!parsed.ok()) return parsed;
  XmlElement root = tree.root();
  if (root == nullptr || NameOf(root) != "PMML") return Status::InvalidInput("not a PMML document");
  *facts = DocumentFacts();
  for (XmlElement part : ChildElements(root)) {
    const std::string_view kind = NameOf(part);
    if (kind == "Header") {
      facts->copyright = Attr(part, "copyright");
      if (XmlElement application = Child(part, "Application")) {
        facts->application = Attr(application, "name");
        facts->applicationVersion = Attr(application, "version");
      }
      if (XmlElement timestamp = Child(part, "Timestamp")) facts->timestamp = TextOf(timestamp);
      facts->timestampParts = ReadTimestampParts(part);
      for (XmlElement extension : ChildElements(part)) {
        const std::string name = Attr(extension, "name");
        if (name == kReferenceDateFromData) facts->referenceDateFromData = Attr(extension, "value");
        if (name == kReferenceTimeFromData) facts->referenceTimeFromData = Attr(extension, "value");
      }
    } else if (kind == "DataDictionary" || kind == "TransformationDictionary") {
      const bool derived = kind == "TransformationDictionary";
      for (XmlElement field : ChildElements(part)) {
        if (NameOf(field) == (derived ? "DerivedField" : "DataField")) {
          facts->fields.push_back(ReadField(field, derived));
        }
      }
    } else if (kind == "Extension") {
      if (XmlElement vendor = Child(part, "Zelcraft")) ReadVendor(vendor, facts);
    }
  }
  facts->Index();
  return Status();
}

}  // namespace zelapply
