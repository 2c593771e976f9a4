#include "kelvore/base/xml_reader.h"

#include <libxml/parser.h>
#include <libxml/xmlreader.h>

#include <algorithm>
#include <cstddef>
#include <exception>
#include <new>
#include <span>

// libxml2's pull reader over an InputStream. It is given no option that would load a DTD,
// validate, substitute entities or go to the network (XML_PARSE_NONET besides), so what a
// document type declaration names stays unread.
namespace kelvore {
namespace {

std::string Utf8(const xmlChar* text) {
  return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

unsigned Counted(long number) { return static_cast<unsigned>(std::max(0L, number)); }

class LibxmlReader : public XmlReader {
 public:
  explicit LibxmlReader(std::unique_ptr<InputStream> input) : input_(std::move(input)) {
    xmlInitParser();
    reader_.reset(xmlReaderForIO(&ReadInput, nullptr, this, nullptr, nullptr, XML_PARSE_NONET));
    if (!reader_) throw std::bad_alloc();
    // Errors come here instead of to the standard error stream.
    xmlTextReaderSetStructuredErrorHandler(reader_.get(), &KeepError, this);
  }

 private:
  struct FreeReader {
    void operator()(xmlTextReaderPtr reader) const { xmlFreeTextReader(reader); }
  };

  bool ReadNode(XmlNode& node, bool& empty) override {
    for (;;) {
      const int result = xmlTextReaderRead(reader_.get());
      if (input_failure_) std::rethrow_exception(input_failure_);
      if (!error_.empty()) throw XmlError(error_);
      if (result < 0) throw XmlError(Where() + "the document is malformed.");
      if (result == 0) return false;
      if (Take(node, empty)) return true;
    }
  }

  std::string Where() const override {
    return XmlPosition(Counted(xmlTextReaderGetParserLineNumber(reader_.get())),
                       Counted(xmlTextReaderGetParserColumnNumber(reader_.get())));
  }

  // Fills `node` with the reader's current node; false for a node that gives nothing.
  bool Take(XmlNode& node, bool& empty) {
    xmlTextReaderPtr reader = reader_.get();
    // The node's own line: the parser may have read ahead of it.
    node.line = Counted(xmlGetLineNo(xmlTextReaderCurrentNode(reader)));
    node.attributes.clear();
    switch (xmlTextReaderNodeType(reader)) {
      case XML_READER_TYPE_ELEMENT:
        node.kind = XmlNodeKind::kElementStart;
        node.name = Utf8(xmlTextReaderConstName(reader));
        empty = xmlTextReaderIsEmptyElement(reader) == 1;
        while (xmlTextReaderMoveToNextAttribute(reader) == 1) {
          node.attributes.emplace_back(Utf8(xmlTextReaderConstName(reader)),
                                       Utf8(xmlTextReaderConstValue(reader)));
        }
        xmlTextReaderMoveToElement(reader);
        return true;
      case XML_READER_TYPE_END_ELEMENT:
        node.kind = XmlNodeKind::kElementEnd;
        node.name = Utf8(xmlTextReaderConstName(reader));
        return true;
      case XML_READER_TYPE_TEXT:
      case XML_READER_TYPE_CDATA:
      case XML_READER_TYPE_WHITESPACE:
      case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
        node.kind = XmlNodeKind::kText;
        node.text = Utf8(xmlTextReaderConstValue(reader));
        return true;
      case XML_READER_TYPE_ENTITY_REFERENCE:
        // Left unreplaced where the document's DTD would declare it: refused, as XmlLite
        // refuses an entity it does not know.
        throw XmlError(Where() + "the entity &" + Utf8(xmlTextReaderConstName(reader)) +
                       "; is not one XML defines, and the document's DTD is not read.");
      default:
        return false;
    }
  }

  static int ReadInput(void* context, char* buffer, int length) {
    auto* self = static_cast<LibxmlReader*>(context);
    try {
      const auto size = static_cast<std::size_t>(std::max(0, length));
      return static_cast<int>(
          self->input_->Read(std::span(reinterpret_cast<std::byte*>(buffer), size)));
    } catch (...) {
      self->input_failure_ = std::current_exception();
      return -1;
    }
  }

  // Keeps the first error; warnings are not failures.
  static void KeepError(void* context, xmlErrorPtr error) {
    auto* self = static_cast<LibxmlReader*>(context);
    if (!error || error->level < XML_ERR_ERROR || !self->error_.empty()) return;
    self->error_ =
        XmlPosition(Counted(error->line), Counted(error->int2)) + self->Described(*error) + ".";
  }

  // The reader reports a document that breaks off, or holds nothing, as content after its
  // end, or an empty one (text without an element is empty); what it says otherwise is clear
  // enough.
  std::string Described(const xmlError& error) const {
    if (error.code == XML_ERR_DOCUMENT_EMPTY ||
        (error.code == XML_ERR_DOCUMENT_END && !ElementsSeen())) {
      return "the document holds no element";
    }
    if (error.code == XML_ERR_DOCUMENT_END && OpenElements() > 0) {
      return "the document ends before its elements do";
    }
    std::string message = error.message ? error.message : "the document is malformed";
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) {
      message.pop_back();
    }
    return message;
  }

  std::unique_ptr<InputStream> input_;
  std::unique_ptr<xmlTextReader, FreeReader> reader_;
  std::exception_ptr input_failure_;
  std::string error_;
};

}  // namespace

std::unique_ptr<XmlReader> ReadXml(std::unique_ptr<InputStream> input) {
  return std::make_unique<LibxmlReader>(std::move(input));
}

}  // namespace kelvore
