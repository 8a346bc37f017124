#include "Document.h"

#include <map>
#include <unordered_set>
#include <string>
#include <utility>
#include <vector>

#include "ActionWords.h"
#include "FunctionTable.h"
#include "Numbers.h"
#include "ProgramBuilder.h"
#include "XmlTree.h"

namespace zelapply {

using zelstatus::Status;

namespace {

constexpr char kPmmlNamespace[] = "http://www.dmg.org/PMML-4_0";

bool IsText(ValueType type) { return type == ValueType::kString || type == ValueType::kUndefined; }

bool IsTargetKind(const std::string& kind) {
  return kind == "target" || kind == "transformed target";
}

// Categories in the data dictionary carry a backslash before every double
// quote and backslash.
std::string Unescape(const std::string& text) {
  std::string plain;
  plain.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) ++i;
    plain.push_back(text[i]);
  }
  return plain;
}

// Fields between two looks at the host's stop check.
constexpr std::size_t kStopEvery = 256;

class Reader {
 public:
  explicit Reader(const StopCheck& stop) : stop_(stop) {}
  Status Read(XmlElement root, CompiledDocument* document);

 private:
  Status ReadHeader(XmlElement element, FieldInfo* field);
  // Data fields carry user-missing values and escape their categories;
  // derived fields do neither (`missing` null).
  Status ReadValue(XmlElement element, FieldInfo* field, MissingDefinition* missing);
  Status ReadDataField(XmlElement element, ProgramBuilder* builder);
  Status ReadDerivedField(XmlElement element, DerivedDefinition* derived);
  // The data field a transformed target comes from (through its first
  // sources) is the target, even where its own class is not said.
  void MarkTarget(ProgramBuilder* builder) const;
  Status ReadFunctions(XmlElement dictionary);
  Status ReadInverse(XmlElement extension, const Program& program, CompiledDocument* document);
  // True when the host asks to stop; looks only every kStopEvery calls.
  bool Stopping();

  const StopCheck& stop_;
  std::size_t calls_ = 0;
  std::unordered_set<std::string> names_;
  std::vector<std::string> declared_;
  std::string transformedTarget_;
  std::map<std::string, std::string> firstSources_;  // derived field -> its first source
};

// Name, label, optype and dataType; the name must be new.
Status Reader::ReadHeader(XmlElement element, FieldInfo* field) {
  if (!GetAttribute(element, "name", &field->name)) {
    return ElementError(element, "the attribute 'name' is missing");
  }
  if (!names_.insert(field->name).second) {
    return ElementError(element, "field '" + field->name + "' is defined twice");
  }
  GetAttribute(element, "displayName", &field->displayName);
  GetAttribute(element, "optype", &field->optype);
  std::string dataType;
  if (GetAttribute(element, "dataType", &dataType) &&
      !ValueTypeOfDataType(dataType, &field->type)) {
    return ElementError(element, "the engine does not know the dataType '" + dataType + "'");
  }
  return Status();
}

Status Reader::ReadValue(XmlElement element, FieldInfo* field, MissingDefinition* missing) {
  FieldValue value;
  if (!GetAttribute(element, "value", &value.value)) {
    return ElementError(element, "the attribute 'value' is missing");
  }
  if (missing != nullptr && IsText(field->type)) value.value = Unescape(value.value);
  GetAttribute(element, "displayValue", &value.displayValue);
  if (!GetAttribute(element, "property", &value.property)) value.property = "valid";
  if (value.property == "missing" && missing != nullptr) {
    double number;
    if (IsText(field->type)) {
      missing->strings.push_back(value.value);
    } else if (ParseNumber(value.value, &number)) {
      missing->numbers.push_back(number);
    } else {
      return ElementError(element, "the missing value '" + value.value + "' is not a number");
    }
  }
  field->values.push_back(std::move(value));
  return Status();
}

Status Reader::ReadDataField(XmlElement element, ProgramBuilder* builder) {
  FieldInfo field;
  Status status = ReadHeader(element, &field);
  MissingDefinition missing;
  bool lower = false, upper = false;
  for (XmlElement child : ChildElements(element)) {
    if (!status.ok()) return status;
    const std::string_view name = NameOf(child);
    if (name == "Value") {
      status = ReadValue(child, &field, &missing);
    } else if (name == "Extension") {
      std::string kind, text;
      GetAttribute(child, "name", &kind);
      if (kind == "invalidRangeLower" || kind == "invalidRangeUpper") {
        const bool isLower = kind == "invalidRangeLower";
        if (!GetAttribute(child, "value", &text) ||
            !ParseNumber(text, isLower ? &missing.low : &missing.high)) {
          status = ElementError(child, "the range needs a number as its value");
        }
        (isLower ? lower : upper) = true;
      }
      for (XmlElement inner : ChildElements(child)) {
        if (kind == "MissingValue" && NameOf(inner) == "Value") {
          status = ReadValue(inner, &field, &missing);
        } else if (NameOf(inner) == "UsageType" && GetAttribute(inner, "value", &text)) {
          field.enabled = text != "disable";
        } else if (NameOf(inner) == "ClassOfField" && GetAttribute(inner, "value", &text)) {
          field.target = IsTargetKind(text);
          field.optional =
              text == "target" || text == "frequency weight" || text == "analysis weight";
        }
        if (!status.ok()) return status;
      }
    } else if (name != "Interval") {
      return ElementError(child, "the engine does not know this element");
    }
  }
  if (!status.ok()) return status;
  if (lower != upper) return ElementError(element, "a missing range needs both its ends");
  missing.hasRange = lower;
  builder->AddInput(std::move(field), std::move(missing));
  return Status();
}

Status Reader::ReadDerivedField(XmlElement element, DerivedDefinition* derived) {
  FieldInfo& field = derived->field;
  Status status = ReadHeader(element, &field);
  if (!status.ok()) return status;
  std::string source;
  bool rescaledTarget = false;
  for (XmlElement child : ChildElements(element)) {
    const std::string_view name = NameOf(child);
    if (name == "Value") {
      status = ReadValue(child, &field, nullptr);
      if (!status.ok()) return status;
    } else if (name == "Extension") {
      std::string text;
      for (XmlElement inner : ChildElements(child)) {
        const std::string_view innerName = NameOf(inner);
        if (innerName == "UsageType" && GetAttribute(inner, "value", &text)) {
          field.enabled = text != "disable";
        } else if (innerName == "ClassOfField" && GetAttribute(inner, "value", &text)) {
          field.target = IsTargetKind(text);
          if (text == "transformed target") transformedTarget_ = field.name;
        } else if (innerName == "Action" && GetAttribute(inner, "reasonKey", &text)) {
          rescaledTarget = rescaledTarget || ActionOf(text) == Action::kRescaleScaleTarget;
        } else if (innerName == "SourceField" && source.empty()) {
          GetAttribute(inner, "value", &source);
        }
      }
    } else if (derived->expression == nullptr) {
      derived->expression = child;
    } else {
      return ElementError(child, "a derived field holds one expression");
    }
  }
  if (rescaledTarget) derived->wholeSource = source;
  if (!source.empty()) firstSources_[field.name] = source;
  return Status();
}

bool Reader::Stopping() { return stop_ && ++calls_ % kStopEvery == 0 && stop_(); }

void Reader::MarkTarget(ProgramBuilder* builder) const {
  if (transformedTarget_.empty()) return;
  std::string name = transformedTarget_;
  // A chain of derived fields is no longer than the document.
  for (std::size_t step = 0; step <= firstSources_.size(); ++step) {
    const auto source = firstSources_.find(name);
    if (source == firstSources_.end()) break;
    name = source->second;
  }
  builder->MarkOptional(name);
}

Status Reader::ReadFunctions(XmlElement dictionary) {
  for (XmlElement child : ChildElements(dictionary)) {
    if (NameOf(child) != "DefineFunction") continue;
    std::string name;
    GetAttribute(child, "name", &name);
    const FunctionEntry* function = FindFunction(name);
    if (function == nullptr || !function->own) {
      return ElementError(child, "the engine does not know the function '" + name + "'");
    }
    int parameters = 0;
    for (XmlElement inner : ChildElements(child)) parameters += NameOf(inner) == "ParameterField";
    if (parameters != function->arity) {
      return ElementError(child, "function '" + name + "' takes " +
                                     std::to_string(function->arity) + " parameters");
    }
    declared_.push_back(name);
  }
  return Status();
}

// The inverse lives in Extension / Zelcraft / TargetInverse; an empty
// TargetInverse means there is none.
Status Reader::ReadInverse(XmlElement extension, const Program& program,
                           CompiledDocument* document) {
  for (XmlElement vendor : ChildElements(extension)) {
    if (NameOf(vendor) != "Zelcraft") continue;
    for (XmlElement inverse : ChildElements(vendor)) {
      if (NameOf(inverse) != "TargetInverse") continue;
      for (XmlElement field : ChildElements(inverse)) {
        if (NameOf(field) != "DerivedField") {
          return ElementError(field, "the engine does not know this element");
        }
        ProgramBuilder builder(declared_, stop_);
        for (const FieldInfo& input : program.fields()) builder.AddInput(input);
        DerivedDefinition derived;
        Status status = ReadDerivedField(field, &derived);
        if (!status.ok()) return status;
        builder.AddDerived(std::move(derived));
        return builder.Build(&document->inverse);
      }
    }
  }
  return Status();
}

Status Reader::Read(XmlElement root, CompiledDocument* document) {
  if (root == nullptr || NameOf(root) != "PMML") {
    return root == nullptr ? Status::InvalidInput("the document is empty")
                           : ElementError(root, "not a PMML document");
  }
  std::string version;
  GetAttribute(root, "version", &version);
  const std::string_view space = NamespaceOf(root);
  if (version != "4.0" || (!space.empty() && space != kPmmlNamespace)) {
    return ElementError(root, "not a PMML 4.0 document (version '" + version + "')");
  }
  XmlElement data = nullptr, transformations = nullptr, header = nullptr;
  std::vector<XmlElement> extensions;
  for (XmlElement child : ChildElements(root)) {
    const std::string_view name = NameOf(child);
    if (name == "DataDictionary" && data == nullptr) {
      data = child;
    } else if (name == "TransformationDictionary" && transformations == nullptr) {
      transformations = child;
    } else if (name == "Extension") {
      extensions.push_back(child);
    } else if (name == "Header" && header == nullptr) {
      header = child;
    } else if (name != "Header" && name != "MiningBuildTask") {
      return ElementError(child, "the engine does not know this element here");
    }
  }
  if (data == nullptr) return ElementError(root, "the document has no DataDictionary");
  Status status = transformations != nullptr ? ReadFunctions(transformations) : Status();
  if (!status.ok()) return status;

  ProgramBuilder builder(declared_, stop_);
  for (XmlElement child : ChildElements(data)) {
    if (Stopping()) return Status::Interrupted();
    if (NameOf(child) == "DataField") {
      status = ReadDataField(child, &builder);
    } else if (NameOf(child) != "Extension") {
      status = ElementError(child, "the engine does not know this element here");
    }
    if (!status.ok()) return status;
  }
  for (XmlElement child :
       transformations != nullptr ? ChildElements(transformations) : std::vector<XmlElement>()) {
    if (Stopping()) return Status::Interrupted();
    const std::string_view name = NameOf(child);
    if (name == "DerivedField") {
      DerivedDefinition derived;
      status = ReadDerivedField(child, &derived);
      if (!status.ok()) return status;
      builder.AddDerived(std::move(derived));
    } else if (name != "DefineFunction" && name != "Extension") {
      return ElementError(child, "the engine does not know this element here");
    }
  }
  MarkTarget(&builder);
  status = builder.Build(&document->program);
  document->parts = ReadTimestampParts(header);
  for (XmlElement extension : extensions) {
    if (!status.ok() || document->inverse) break;
    status = ReadInverse(extension, *document->program, document);
  }
  return status;
}

// Compiles the parsed tree, which is freed before the document is handed
// back.
Status Compile(const XmlTree& tree, Status status, CompiledDocument* document,
               const StopCheck& stop) {
  if (status.ok()) status = Reader(stop).Read(tree.root(), document);
  if (!status.ok()) *document = CompiledDocument();
  return status;
}

}  // namespace

Status CompileDocument(std::string_view text, CompiledDocument* document, const StopCheck& stop) {
  *document = CompiledDocument();
  XmlTree tree;
  const Status parsed = tree.Parse(text, stop);
  return Compile(tree, parsed, document, stop);
}

Status CompileDocumentFile(const std::string& path, CompiledDocument* document,
                           const StopCheck& stop) {
  *document = CompiledDocument();
  XmlTree tree;
  const Status parsed = tree.ParseFile(path, stop);
  if (!parsed.ok()) return parsed;
  const Status status = Compile(tree, parsed, document, stop);
  return status.Prefixed(path + ": ");
}

}  // namespace zelapply
