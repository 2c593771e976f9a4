#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kelvore/base/input_stream.h"
#include "support/message_error.h"

namespace kelvore {

// The document is not well-formed XML, or uses what this reader refuses (an entity of its
// own). The message says where: "line 3, column 7: ...".
class XmlError : public corvane::MessageError {
 public:
  using MessageError::MessageError;
};

enum class XmlNodeKind { kElementStart, kElementEnd, kText };

// One node of a document, its text in UTF-8 whatever the document's encoding.
struct XmlNode {
  XmlNodeKind kind = XmlNodeKind::kText;
  std::string name;  // an element's name, at its start and at its end
  std::string text;  // a run of text with its references replaced, or a CDATA section
  std::vector<std::pair<std::string, std::string>> attributes;  // at an element's start
  unsigned line = 0;                                            // where the node is, for messages

  // The value of the attribute `attribute_name`; null when the element has none.
  const std::string* Attribute(std::string_view attribute_name) const {
    for (const auto& [key, value] : attributes) {
      if (key == attribute_name) return &value;
    }
    return nullptr;
  }
};

// Reads a document node by node, as it goes, with the system's own XML parser (XmlLite on
// Windows, libxml2 elsewhere). It reads a document type declaration but never loads anything
// it names, and replaces only the references XML itself defines (&amp; and its kind, and
// character references). Every element gives a start and an end, an empty one too; comments,
// processing instructions and the declarations give nothing. A run of text may come in parts
// (around a CDATA section, for one). Encodings: UTF-8, UTF-16 and US-ASCII at least.
class XmlReader {
 public:
  virtual ~XmlReader() = default;

  // The next node, valid until the next call; null at the document's end. Throws XmlError for
  // a malformed document (one without an element, or ending inside one, among them), and what
  // the input throws when reading it fails.
  const XmlNode* Next();

 protected:
  // Puts the parser's next node that gives anything into `node`, and whether it is an empty
  // element into `empty`; false at the end of the input. Throws as Next does.
  virtual bool ReadNode(XmlNode& node, bool& empty) = 0;

  // "line 3, column 7: ", where the parser is.
  virtual std::string Where() const = 0;

  bool ElementsSeen() const { return elements_seen_; }
  int OpenElements() const { return open_elements_; }

 private:
  XmlNode node_;
  bool end_pending_ = false;  // the end of an empty element is due
  bool elements_seen_ = false;
  int open_elements_ = 0;  // started and not yet ended, as far as given
};

// "line 3, column 7: ", the lines and columns counted from 1.
std::string XmlPosition(unsigned line, unsigned column);

std::unique_ptr<XmlReader> ReadXml(std::unique_ptr<InputStream> input);

}  // namespace kelvore
