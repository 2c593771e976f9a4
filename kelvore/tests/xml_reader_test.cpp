// The XML reader's behaviour, the same with libxml2 (natively) and XmlLite (under Wine).
#include "kelvore/base/xml_reader.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "kelvore/base/errors.h"
#include "kelvore/tests/memory_input_stream.h"
#include "kelvore/tests/temp_folder.h"

namespace kelvore {
namespace {

using testkit::InputOf;
using testkit::MemoryInputStream;
using testkit::TempFolder;

// The document as one line of its nodes: "<a x=1>", "</a>", and runs of text in quotes, with
// the parts of a run joined and runs of white space between elements left out.
std::string Trace(XmlReader& reader) {
  std::string trace;
  std::string text;
  const auto end_text = [&] {
    if (text.find_first_not_of(" \t\r\n") != std::string::npos) trace += "\"" + text + "\"";
    text.clear();
  };
  while (const XmlNode* node = reader.Next()) {
    if (node->kind == XmlNodeKind::kText) {
      text += node->text;
      continue;
    }
    end_text();
    if (node->kind == XmlNodeKind::kElementEnd) {
      trace += "</" + node->name + ">";
      continue;
    }
    trace += "<" + node->name;
    for (const auto& [name, value] : node->attributes) trace += " " + name + "=" + value;
    trace += ">";
  }
  end_text();
  return trace;
}

std::string Trace(std::string_view document) { return Trace(*ReadXml(InputOf(document))); }

// The message of the XmlError reading `document` throws; empty if it throws none.
std::string XmlFailure(std::string_view document) {
  try {
    Trace(document);
  } catch (const XmlError& error) {
    return error.what();
  }
  return {};
}

std::string Utf16(std::u16string_view text, bool big_endian) {
  std::string bytes;
  for (const char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

TEST(XmlReader, GivesElementsAttributesAndTextWithReferencesReplaced) {
  constexpr std::string_view kDocument =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<!DOCTYPE datafile PUBLIC \"-//Logiqx//DTD ROM Management Datafile//EN\" "
      "\"http://www.logiqx.com/Dats/datafile.dtd\">\n"
      "<!-- a comment <game> -->\n"
      "<datafile>\n"
      "\t<?processing instruction?>\n"
      "\t<game name=\"Tom &amp; Jerry &quot;War&quot; &lt;1&gt; it&apos;s\">\n"
      "\t\t<description>&#x4A;&#x4a;&#74; &amp; more</description>\n"
      "\t\t<rom name=\"a.iso\" size=\"1\" crc=\"00AbCdEf\"/>\n"
      "\t\t<comment><![CDATA[<not-a-tag> &amp; ]]>after</comment>\n"
      "\t\t<empty></empty>\n"
      "\t</game>\n"
      "</datafile>\n";
  EXPECT_EQ(Trace(kDocument),
            "<datafile><game name=Tom & Jerry \"War\" <1> it's>"
            "<description>\"JJJ & more\"</description>"
            "<rom name=a.iso size=1 crc=00AbCdEf></rom>"
            "<comment>\"<not-a-tag> &amp; after\"</comment>"
            "<empty></empty>"
            "</game></datafile>");
}

TEST(XmlReader, ReadsUtf8Utf16AndUsAsciiAlike) {
  const std::string expected = "<list><game name=Pok\xC3\xA9mon>\"Caf\xC3\xA9 & co\"</game></list>";
  const std::u16string body = u"<list><game name=\"Pok\u00E9mon\">Caf\u00E9 &amp; co</game></list>";
  const std::string utf8_body =
      "<list><game name=\"Pok\xC3\xA9mon\">Caf\xC3\xA9 &amp; co</game></list>";
  struct Encoded {
    const char* what;
    std::string bytes;
  };
  std::vector<Encoded> documents = {
      {"UTF-8, declared", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + utf8_body},
      {"UTF-8, undeclared", utf8_body},
      {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + utf8_body},
      {"UTF-16LE with a byte-order mark",
       Utf16(u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + body, false)},
      {"US-ASCII, with character references",
       "<?xml version=\"1.0\" encoding=\"US-ASCII\"?>"
       "<list><game name=\"Pok&#xE9;mon\">Caf&#233; &amp; co</game></list>"},
  };
  const std::string big_endian =
      Utf16(u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + body, true);
#ifdef _WIN32
  // Wine's XmlLite reads UTF-16 in little-endian order only; it finds no element here.
  EXPECT_THROW(Trace(big_endian), XmlError);
#else
  documents.push_back({"UTF-16BE with a byte-order mark", big_endian});
#endif
  for (const Encoded& document : documents) {
    EXPECT_EQ(Trace(document.bytes), expected) << document.what;
  }
}

TEST(XmlReader, MalformedDocumentsThrowXmlErrorSayingWhere) {
  struct Case {
    const char* what;
    const char* document;
    const char* where;  // the start of the message
    const char* says;   // in words both parsers give
  };
  const std::vector<Case> cases = {
      {"an end tag that is not its start's", "<a>\n<b>\n</a>\n</b>", "line 3", ""},
      {"a document that breaks off in text", "<a>\n<b>text", "line 2",
       "the document ends before its elements do"},
      {"a document that breaks off in a comment", "<a>\n<!-- no end", "line 2", ""},
      {"a document that breaks off in CDATA", "<a>\n<![CDATA[no end", "line 2", ""},
      {"a document that breaks off in a tag", "<a>\n<b", "line 2", ""},
      {"two root elements", "<a/>\n<b/>", "line 2", ""},
      {"text before the root", "text<a/>", "line 1", ""},
      {"an attribute without quotes", "<a x=1/>", "line 1", ""},
      {"text alone", "text", "line 1", "the document holds no element"},
      {"nothing at all", "", "line 1", "the document holds no element"},
#ifndef _WIN32
      // Wine's XmlLite takes these for text (Windows' own refuses them).
      {"an entity XML does not define", "<!DOCTYPE a SYSTEM \"a.dtd\">\n<a>\n&nbsp;</a>", "line 3",
       "nbsp"},
      {"a character reference that is no number", "<a>&#xZZ;</a>", "line 1", ""},
      // Windows' XmlLite would replace it; Wine's reads no DTD of the document's own.
      {"an entity the document declares", "<!DOCTYPE a [<!ENTITY e \"x\">]>\n<a>&e;</a>", "line 2",
       "&e;"},
#endif
  };
  for (const Case& c : cases) {
    const std::string failure = XmlFailure(c.document);
    EXPECT_TRUE(failure.starts_with(c.where)) << c.what << ": \"" << failure << "\"";
    EXPECT_NE(failure.find(c.says), std::string::npos) << c.what << ": \"" << failure << "\"";
  }
}

// Whatever a parser makes of them, a document without an element, or one that ends inside
// one, is malformed.
TEST(XmlReader, ADocumentEndingEarlyIsMalformedWhateverTheParserSays) {
  // Gives the nodes it is made with, then the end of the input.
  class ScriptedReader : public XmlReader {
   public:
    explicit ScriptedReader(std::vector<XmlNode> nodes) : nodes_(std::move(nodes)) {}

   private:
    bool ReadNode(XmlNode& node, bool& empty) override {
      if (next_ == nodes_.size()) return false;
      node = nodes_[next_++];
      empty = false;
      return true;
    }
    std::string Where() const override { return "line 9, column 9: "; }

    std::vector<XmlNode> nodes_;
    std::size_t next_ = 0;
  };
  const auto node = [](XmlNodeKind kind, const char* name, const char* text) {
    return XmlNode{.kind = kind, .name = name, .text = text, .attributes = {}, .line = 1};
  };
  const XmlNode start = node(XmlNodeKind::kElementStart, "a", "");
  const XmlNode text = node(XmlNodeKind::kText, "", "x");
  const XmlNode end = node(XmlNodeKind::kElementEnd, "a", "");

  ScriptedReader unended({start, text});
  EXPECT_NO_THROW(unended.Next());
  EXPECT_NO_THROW(unended.Next());
  try {
    unended.Next();
    ADD_FAILURE() << "a document ending inside an element was taken whole";
  } catch (const XmlError& error) {
    EXPECT_STREQ(error.what(), "line 9, column 9: the document ends before its elements do.");
  }

  ScriptedReader without_element({text});
  without_element.Next();
  EXPECT_THROW(without_element.Next(), XmlError);

  ScriptedReader whole({start, text, end});
  while (whole.Next()) {
  }
}

// What a document type declaration names is never read: here a file that is no DTD at all.
TEST(XmlReader, NeverLoadsTheDtdADocumentNames) {
  TempFolder folder;
  const std::string dtd = folder.PathOf("list.dtd");
  testkit::WriteFileBytes(dtd, {std::byte{'<'}, std::byte{'<'}, std::byte{'!'}});
  const std::string document = "<!DOCTYPE a SYSTEM \"" + dtd + "\"><a>text</a>";
  EXPECT_EQ(Trace(document), "<a>\"text\"</a>");
}

// A failure of the input is that failure, not a malformed document.
TEST(XmlReader, AFailingInputThrowsItsOwnError) {
  std::string document = "<list>";
  while (document.size() < 64 * 1024) document += "<game name=\"x\">text</game>\n";
  document += "</list>";
  auto reader = ReadXml(std::make_unique<MemoryInputStream>(document, 20'000));
  EXPECT_THROW(Trace(*reader), IoError);
}

// A file is read to its end, across many reads; one that cannot be opened is an IoError.
TEST(XmlReader, ReadsAFileWholeAndNamesOneItCannotOpen) {
  TempFolder folder;
  std::string document = "<list>";
  for (int i = 0; i < 5'000; ++i) document += "<game n=\"" + std::to_string(i) + "\"/>\n";
  document += "</list>";
  testkit::WriteFileBytes(folder.PathOf("list.xml"),
                          {reinterpret_cast<const std::byte*>(document.data()),
                           reinterpret_cast<const std::byte*>(document.data()) + document.size()});
  const std::string trace = Trace(*ReadXml(OpenInputFile(folder.PathOf("list.xml"))));
  EXPECT_TRUE(trace.ends_with("<game n=4999></game></list>")) << trace.substr(trace.size() - 100);

  try {
    OpenInputFile(folder.PathOf("missing.dat"));
    ADD_FAILURE() << "a missing file opened";
  } catch (const IoError& error) {
    EXPECT_NE(std::string(error.what()).find("missing.dat"), std::string::npos) << error.what();
  }
  try {
    OpenInputFile(folder.PathOf(""));
    ADD_FAILURE() << "a folder opened";
  } catch (const IoError& error) {
    EXPECT_NE(std::string(error.what()).find("is a folder"), std::string::npos) << error.what();
  }
}

}  // namespace
}  // namespace kelvore
