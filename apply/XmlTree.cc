#include "XmlTree.h"

#include <fcntl.h>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "DocumentLimits.h"
#include "MarkupScan.h"

namespace zelapply {

using zelstatus::Status;

namespace {

// The parser is handed the text a piece at a time: between two pieces the
// host may stop the read.
constexpr std::size_t kPiece = 1 << 20;
constexpr std::size_t kBlock = 1 << 20;

const char* Chars(const xmlChar* text) { return reinterpret_cast<const char*>(text); }

bool Blank(const std::string& text) {
  return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

std::string Trimmed(const char* message) {
  std::string text = message != nullptr ? message : "";
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

// The parser keeps an entity declaration it met in a stand-in document of
// its own, which is ours to free.
void FreeContext(xmlParserCtxt* context) {
  if (context->myDoc != nullptr) xmlFreeDoc(context->myDoc);
  context->myDoc = nullptr;
  xmlFreeParserCtxt(context);
}

// Closes the descriptor on every way out.
struct Descriptor {
  explicit Descriptor(int descriptor) : fd(descriptor) {}
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  const int fd;
};

}  // namespace

// Turns the parser's events into nodes of the tree, refuses entity
// declarations and keeps the first error.
class XmlTree::Builder {
 public:
  explicit Builder(XmlTree* tree) : tree_(tree) {}

  static Builder& Of(void* context) {
    return *static_cast<Builder*>(static_cast<xmlParserCtxt*>(context)->_private);
  }

  static void Start(void* context, const xmlChar* name, const xmlChar*, const xmlChar* space, int,
                    const xmlChar**, int count, int, const xmlChar** attributes) {
    Builder& builder = Of(context);
    if (builder.open_.size() >= static_cast<std::size_t>(DocumentLimits::kDepth)) {
      builder.Refuse(context,
                     Status::LimitExceeded("line " + std::to_string(xmlSAX2GetLineNumber(context)) +
                                           ": " + Chars(name) + ": elements are nested more than " +
                                           std::to_string(DocumentLimits::kDepth) + " deep"));
      return;
    }
    XmlTree& tree = *builder.tree_;
    XmlNode& node = tree.nodes_.emplace_back();
    node = XmlNode{builder.NameOf(name, space), nullptr, nullptr, nullptr, nullptr, 0,
                   static_cast<uint32_t>(
                       std::min<long>(xmlSAX2GetLineNumber(context), UINT32_MAX))};
    XmlAttribute* last = nullptr;
    // Five entries per attribute: local name, prefix, URI, value start and end.
    for (int i = 0; i < count; ++i, attributes += 5) {
      XmlAttribute& attribute = tree.attributes_.emplace_back();
      attribute = XmlAttribute{builder.AttributeNameOf(attributes[0]),
                               tree.Store(AttributeValue(attributes[3], attributes[4])),
                               attributes[1] != nullptr, nullptr};
      (last != nullptr ? last->next : node.attributes) = &attribute;
      last = &attribute;
    }
    if (builder.open_.empty()) {
      tree.root_ = &node;
    } else {
      Open& parent = builder.open_.back();
      (parent.last != nullptr ? parent.last->nextSibling : parent.node->firstChild) = &node;
      parent.last = &node;
    }
    builder.open_.push_back(Open{&node, nullptr, std::string()});
  }

  static void End(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    Builder& builder = Of(context);
    if (builder.open_.empty()) return;
    Open& open = builder.open_.back();
    if (!open.text.empty() && (open.node->firstChild == nullptr || !Blank(open.text))) {
      const std::string_view text = builder.tree_->Store(open.text);
      open.node->text = text.data();
      open.node->textLength = static_cast<uint32_t>(text.size());
    }
    builder.open_.pop_back();
  }

  static void Characters(void* context, const xmlChar* text, int length) {
    Builder& builder = Of(context);
    if (!builder.open_.empty()) builder.open_.back().text.append(Chars(text), length);
  }

  static void Entity(void* context, const xmlChar* name, int, const xmlChar*, const xmlChar*,
                     xmlChar*) {
    RefuseEntity(context, name);
  }

  static void UnparsedEntity(void* context, const xmlChar* name, const xmlChar*, const xmlChar*,
                             const xmlChar*) {
    RefuseEntity(context, name);
  }

#if LIBXML_VERSION >= 21200
  static void Error(void* context, const xmlError* error) {
#else
  static void Error(void* context, xmlErrorPtr error) {
#endif
    Builder& builder = Of(context);
    // A fatal error is what makes a document not well-formed; an error
    // before it (a namespace fault) is kept only until one comes.
    if (error == nullptr || error->level < XML_ERR_ERROR || builder.fatal_) return;
    if (!builder.error_.empty() && error->level != XML_ERR_FATAL) return;
    builder.fatal_ = error->level == XML_ERR_FATAL;
    builder.error_ =
        "line " + std::to_string(error->line) + ": not well-formed XML: " + Trimmed(error->message);
  }

  // The parser hands names over interned in its own dictionary: the same
  // name, the same pointers, which spares a look-up by value per element.
  const XmlName* NameOf(const xmlChar* local, const xmlChar* space) {
    const XmlName*& name = names_[{local, space}];
    if (name == nullptr) {
      name = tree_->InternName(Chars(local), space != nullptr ? Chars(space) : "");
    }
    return name;
  }

  const std::string* AttributeNameOf(const xmlChar* local) {
    const std::string*& name = attributeNames_[local];
    if (name == nullptr) name = tree_->Intern(Chars(local));
    return name;
  }

  const Status& refusal() const { return refusal_; }
  const std::string& error() const { return error_; }
  // Every element opened has been closed again.
  bool closed() const { return open_.empty(); }

 private:
  struct Open {
    XmlNode* node;
    XmlNode* last;     // its last child element so far
    std::string text;  // its own text so far
  };

  // The parser keeps a '&' it read in an attribute value as "&#38;" for
  // the tree builder to resolve; there are no other references left, since
  // entities are refused.
  static std::string AttributeValue(const xmlChar* begin, const xmlChar* end) {
    std::string value(Chars(begin), static_cast<std::size_t>(end - begin));
    for (std::size_t at = value.find("&#38;"); at != std::string::npos;
         at = value.find("&#38;", at + 1)) {
      value.replace(at, 5, "&");
    }
    return value;
  }

  static void RefuseEntity(void* context, const xmlChar* name) {
    Of(context).Refuse(
        context, Status::InvalidInput("line " + std::to_string(xmlSAX2GetLineNumber(context)) +
                                      ": the document declares the entity '" + Chars(name) +
                                      "'; documents with entity declarations are refused"));
  }

  void Refuse(void* context, Status refusal) {
    if (refusal_.ok()) refusal_ = std::move(refusal);
    xmlStopParser(static_cast<xmlParserCtxt*>(context));
  }

  XmlTree* tree_;
  std::map<std::pair<const xmlChar*, const xmlChar*>, const XmlName*> names_;
  std::map<const xmlChar*, const std::string*> attributeNames_;
  std::vector<Open> open_;
  Status refusal_;
  std::string error_;
  bool fatal_ = false;
};

XmlTree::XmlTree() = default;
XmlTree::~XmlTree() = default;

std::string_view XmlTree::Store(std::string_view text) {
  if (text.empty()) return std::string_view();
  char* place;
  if (text.size() > kBlock / 8) {
    // A large text gets a block of its own.
    blocks_.emplace_back(new char[text.size()]);
    place = blocks_.back().get();
  } else {
    if (block_ == nullptr || blockUsed_ + text.size() > kBlock) {
      blocks_.emplace_back(new char[kBlock]);
      block_ = blocks_.back().get();
      blockUsed_ = 0;
    }
    place = block_ + blockUsed_;
    blockUsed_ += text.size();
  }
  std::memcpy(place, text.data(), text.size());
  return std::string_view(place, text.size());
}

const std::string* XmlTree::Intern(const char* text) { return &*names_.emplace(text).first; }

const XmlName* XmlTree::InternName(const char* local, const char* space) {
  auto key = std::make_pair(std::string(local), std::string(space));
  const auto found = elementNames_.find(key);
  if (found != elementNames_.end()) return &found->second;
  XmlName name{key.first, key.second};
  return &elementNames_.emplace(std::move(key), std::move(name)).first->second;
}

template <typename Next>
Status XmlTree::ParsePieces(const StopCheck& stop, Next next) {
  root_ = nullptr;
  Builder builder(this);
  xmlSAXHandler handler;
  std::memset(&handler, 0, sizeof handler);
  handler.initialized = XML_SAX2_MAGIC;
  handler.startElementNs = Builder::Start;
  handler.endElementNs = Builder::End;
  handler.characters = Builder::Characters;
  handler.ignorableWhitespace = Builder::Characters;
  handler.cdataBlock = Builder::Characters;
  handler.entityDecl = Builder::Entity;
  handler.unparsedEntityDecl = Builder::UnparsedEntity;
  handler.serror = Builder::Error;
  std::unique_ptr<xmlParserCtxt, void (*)(xmlParserCtxt*)> context(
      xmlCreatePushParserCtxt(&handler, nullptr, nullptr, 0, nullptr), FreeContext);
  if (!context) return Status::LimitExceeded("out of memory while reading the document");
  context->_private = &builder;
  // No network, no DTD loading; line numbers beyond 65535 are kept. Text
  // may be long: a category of a document is a cell of the data, and a cell
  // may hold megabytes. (The parser's guard against entity amplification,
  // which this switches off, is not needed: entities are refused.)
  xmlCtxtUseOptions(context.get(), XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                                       XML_PARSE_BIG_LINES | XML_PARSE_HUGE);
  MarkupScan scan;
  // The parser is given whole markup only: `held` keeps the markup still
  // open at the end of a piece, from its '<' on.
  std::string held;
  uint64_t given = 0;
  const auto give = [&context](std::string_view text) {
    xmlParseChunk(context.get(), text.data(), static_cast<int>(text.size()), 0);
  };
  std::string_view piece;
  std::string error;
  bool faultInText = false;
  for (bool more = true; more && !faultInText && builder.refusal().ok();) {
    if (stop && stop()) return Status::Interrupted();
    more = next(&piece, &error);
    if (!error.empty()) return Status::InvalidInput(error);
    const Status scanned = scan.Scan(piece);
    if (!scanned.ok()) return scanned;
    const std::size_t whole = static_cast<std::size_t>(scan.whole() - given);
    if (held.empty()) {
      give(piece.substr(0, whole));
      held.assign(piece.substr(whole));
    } else {
      held.append(piece);
      give(std::string_view(held).substr(0, whole));
      held.erase(0, whole);
    }
    given += whole;
    if (!more) give(held);
    // Past the first fault the rest of the text cannot change the answer.
    faultInText = !context->wellFormed;
  }
  // The parser waits for the rest of a construct that the text cuts short:
  // what it finds wrong only once told there is no more is the text's end.
  if (builder.refusal().ok() && !faultInText) xmlParseChunk(context.get(), nullptr, 0, 1);
  if (!builder.refusal().ok()) return builder.refusal();
  if (context->wellFormed && root_ != nullptr) return Status();
  const bool endsEarly = !faultInText && (root_ == nullptr || !builder.closed());
  root_ = nullptr;
  if (endsEarly) {
    return Status::InvalidInput(scan.blank() ? "the document is empty"
                                             : "the document ends early at line " +
                                                   std::to_string(scan.lastLine()));
  }
  return Status::InvalidInput(builder.error().empty() ? "not well-formed XML" : builder.error());
}

Status XmlTree::Parse(std::string_view text, const StopCheck& stop) {
  return ParsePieces(stop, [&text](std::string_view* piece, std::string*) {
    *piece = text.substr(0, kPiece);
    text.remove_prefix(piece->size());
    return !text.empty();
  });
}

Status XmlTree::ParseFile(const std::string& path, const StopCheck& stop) {
  const auto failure = [&path](const char* what, int error) {
    return std::string(what) + " " + path + ": " + std::strerror(error);
  };
  const Descriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  const int fd = file.fd;
  if (fd < 0) return Status::InputOutput(failure("cannot open", errno));
  struct stat info;
  if (fstat(fd, &info) != 0) return Status::InputOutput(failure("cannot read", errno));
  if (S_ISDIR(info.st_mode)) return Status::InputOutput(failure("cannot read", EISDIR));
  std::vector<char> buffer(kPiece);
  bool readFailed = false;
  const Status status = ParsePieces(stop, [&](std::string_view* piece, std::string* error) {
    ssize_t n;
    do {
      n = read(fd, buffer.data(), buffer.size());
    } while (n < 0 && errno == EINTR);
    if (n < 0) *error = failure("cannot read", errno);
    readFailed = n < 0;
    *piece = std::string_view(buffer.data(), n > 0 ? static_cast<std::size_t>(n) : 0);
    return n > 0;
  });
  if (status.ok() || status.interrupted() || readFailed) return status;
  return status.Prefixed(path + ": ");
}

std::string_view NameOf(XmlElement element) { return element->name->local; }

std::string_view NamespaceOf(XmlElement element) { return element->name->space; }

long LineOf(XmlElement element) { return element->line; }

bool GetAttribute(XmlElement element, const char* name, std::string* value) {
  for (const XmlAttribute* attribute = element->attributes; attribute != nullptr;
       attribute = attribute->next) {
    if (attribute->qualified || *attribute->name != name) continue;
    value->assign(attribute->value);
    return true;
  }
  return false;
}

std::string TextOf(XmlElement element) {
  return element->text != nullptr ? std::string(element->text, element->textLength)
                                  : std::string();
}

std::vector<XmlElement> ChildElements(XmlElement element) {
  std::vector<XmlElement> children;
  for (XmlElement child = element->firstChild; child != nullptr; child = child->nextSibling) {
    children.push_back(child);
  }
  return children;
}

Status ElementError(XmlElement element, const std::string& what) {
  const int64_t line = LineOf(element);
  return Status::InvalidInput(
      "line " + std::to_string(line) + ": " + std::string(NameOf(element)) + ": " + what, line);
}

}  // namespace zelapply
