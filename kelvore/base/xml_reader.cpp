#include "kelvore/base/xml_reader.h"

#include <algorithm>

namespace kelvore {

const XmlNode* XmlReader::Next() {
  if (end_pending_) {
    end_pending_ = false;
    --open_elements_;
    node_.kind = XmlNodeKind::kElementEnd;
    node_.attributes.clear();
    return &node_;
  }
  bool empty = false;
  if (!ReadNode(node_, empty)) {
    if (!elements_seen_) throw XmlError(Where() + "the document holds no element.");
    if (open_elements_ > 0) throw XmlError(Where() + "the document ends before its elements do.");
    return nullptr;
  }
  if (node_.kind == XmlNodeKind::kElementStart) {
    elements_seen_ = true;
    ++open_elements_;
    end_pending_ = empty;
  } else if (node_.kind == XmlNodeKind::kElementEnd) {
    --open_elements_;
  }
  return &node_;
}

std::string XmlPosition(unsigned line, unsigned column) {
  std::string position = "line ";
  position += std::to_string(std::max(line, 1u));
  position += ", column ";
  position += std::to_string(std::max(column, 1u));
  position += ": ";
  return position;
}

}  // namespace kelvore
