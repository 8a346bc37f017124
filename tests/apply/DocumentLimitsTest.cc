// The limits of a document's markup, the same for every reader: the replay
// engine and the document facts refuse a document nested too deeply, an
// element with too many attributes or too long a start tag, in the same
// words and before any reader recurses or the parser stalls.
#include <string>

#include "apply/ApplyTestDoc.h"
#include "apply/DocumentFacts.h"

namespace applytest {
namespace {

const char kField[] = "<DataField name=\"x\" optype=\"continuous\" dataType=\"double\"/>";

// A derived field whose expression adds 1 to x `levels` times, each sum
// inside the next: its FieldRef lies 3 + levels + 1 elements deep (PMML,
// TransformationDictionary, DerivedField, the sums).
std::string Nested(int levels) {
  std::string expression;
  for (int i = 0; i < levels; ++i) expression += "<Apply function=\"+\">";
  expression += "<FieldRef field=\"x\"/>";
  for (int i = 0; i < levels; ++i) expression += "<Constant>1</Constant></Apply>";
  return Doc(kField, Continuous("d", expression));
}

// The errors of the replay engine and of the document facts; the test
// fails when they differ.
std::string Refusal(const std::string& text) {
  zelapply::CompiledDocument document;
  const zelstatus::Status compiled = zelapply::CompileDocument(text, &document);
  zelapply::DocumentFacts facts;
  const zelstatus::Status read = zelapply::ReadDocumentFacts(text, &facts);
  EXPECT_EQ(compiled.message(), read.message());
  return read.message();
}

TEST(DocumentLimitsTest, NestingIsRefusedPast256LevelsByEveryReader) {
  // 256 levels: the deepest sum is replayed and read in full.
  Replay deepest(Nested(252));
  ASSERT_TRUE(deepest.ok());
  deepest.Set("x", Number(0.5));
  EXPECT_EQ(Show(deepest.Get("d")), "252.5");
  zelapply::DocumentFacts facts;
  ASSERT_TRUE(zelapply::ReadDocumentFacts(Nested(252), &facts).ok());
  const zelapply::ExpressionNode* node = &facts.fields.back().expression;
  int depth = 0;
  for (; !node->children.empty(); node = &node->children.front()) ++depth;
  EXPECT_EQ(depth, 252);
  EXPECT_EQ(node->Attribute("field"), "x");

  // One more, and fifty thousand (which once overflowed the stack of the
  // recursive readers): the first element past the limit is named. The
  // expression starts on line 4.
  EXPECT_EQ(Refusal(Nested(253)), "line 4: FieldRef: elements are nested more than 256 deep");
  EXPECT_EQ(Refusal(Nested(50000)), "line 4: Apply: elements are nested more than 256 deep");
  // Nesting anywhere counts, not only in expressions.
  std::string extensions;
  for (int i = 0; i < 300; ++i) extensions += "<Extension>";
  for (int i = 0; i < 300; ++i) extensions += "</Extension>";
  EXPECT_EQ(Refusal(Doc(kField, "", extensions)),
            "line 4: Extension: elements are nested more than 256 deep");
}

// A derived field whose FieldRef carries `count` attributes beside its field.
std::string Wide(long count, const std::string& before = "") {
  std::string attributes;
  for (long i = 1; i < count; ++i) attributes += " a" + std::to_string(i) + "='1'";
  return Doc(kField, before + Continuous("d", "<FieldRef field=\"x\"" + attributes + "/>"));
}

TEST(DocumentLimitsTest, StartTagsAreRefusedPastTheirAttributesAndBytes) {
  EXPECT_TRUE(Replay(Wide(1024)).ok());
  EXPECT_EQ(Refusal(Wide(1025)), "line 4: FieldRef: the element has more than 1024 attributes");
  // A million attributes once held the parser for minutes.
  EXPECT_EQ(Refusal(Wide(1000000)), "line 4: FieldRef: the element has more than 1024 attributes");
  // The line is where the start tag begins.
  EXPECT_EQ(Refusal(Wide(2000, "\n\n")),
            "line 6: FieldRef: the element has more than 1024 attributes");

  // What looks like attributes inside a value, a comment, a CDATA section,
  // a processing instruction or a text is none.
  const std::string equals(5000, '=');
  const std::string inValue =
      "<DataField name=\"x\" optype=\"continuous\" dataType=\"double\">"
      "<Value value=\"" + equals + "&quot;'>\" displayValue='" + equals + "\"'/></DataField>";
  EXPECT_TRUE(Replay(Doc(inValue, "")).ok());
  const std::string elsewhere = "<!-- " + equals + " <a b='c'> - -->" + "<?note " + equals +
                                "?><Extension><![CDATA[<a " + equals + ">]]]]>" + equals +
                                "</Extension>";
  EXPECT_TRUE(Replay(Doc(kField, elsewhere + Continuous("d", "<FieldRef field=\"x\"/>"))).ok());

  // One start tag of more than 64 MiB, refused as soon as its text passes
  // the limit.
  const std::string huge = Doc(
      "<DataField name=\"x\" optype=\"categorical\" dataType=\"string\"><Value value=\"" +
          std::string((std::size_t{64} << 20) - 10, 'v') + "\"/></DataField>",
      "");
  EXPECT_EQ(Refusal(huge), "line 3: Value: the start tag is longer than 64 MiB");
}

TEST(DocumentLimitsTest, AttributesAreReadByTheirNameWithoutPrefix) {
  // A prefixed attribute is another attribute, even with the same local
  // name, in whichever order the two come.
  for (const char* attributes : {"x:name=\"bad\" name=\"good\"", "name=\"good\" x:name=\"bad\""}) {
    SCOPED_TRACE(attributes);
    const std::string text =
        Doc(std::string("<DataField xmlns:x=\"urn:other\" ") + attributes +
                " optype=\"continuous\" dataType=\"double\"/>",
            Continuous("d", "<FieldRef xmlns:x=\"urn:other\" x:field=\"nothing\" field=\"good\"/>"));
    Replay replay(text);
    ASSERT_TRUE(replay.ok());
    replay.Set("good", Number(2.5));
    EXPECT_EQ(Show(replay.Get("d")), "2.5");
    zelapply::DocumentFacts facts;
    ASSERT_TRUE(zelapply::ReadDocumentFacts(text, &facts).ok());
    EXPECT_EQ(facts.fields.front().name, "good");
    const auto& reference = facts.fields.back().expression.attributes;
    ASSERT_EQ(reference.size(), 1u);
    EXPECT_EQ(reference.front().second, "good");
  }
}

}  // namespace
}  // namespace applytest
