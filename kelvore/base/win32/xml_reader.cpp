#include "kelvore/base/xml_reader.h"

// clang-format off
#include <windows.h>
#include <objidl.h>
#include <xmllite.h>
// clang-format on

#include <cstddef>
#include <cstdint>
#include <exception>
#include <span>
#include <string_view>
#include <utility>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/base/win32/system_library.h"
#include "platform/win32/wide_text.h"

// XmlLite's pull reader over an InputStream. XmlLite needs no COM initialisation; it comes from
// the system folder by its full path, so that the programs import no DLL beyond the ones
// Windows always has.
namespace kelvore {
namespace {

using platform::win32::Narrow;

using CreateXmlReaderFunction = decltype(&CreateXmlReader);

// Loaded on first use, kept until the process ends.
CreateXmlReaderFunction CreateReaderFunction() {
  static const SystemLibrary library(L"xmllite.dll", "the system's XML reader");
  static const auto create = library.Find<CreateXmlReaderFunction>("CreateXmlReader");
  return create;
}

// What XmlLite's likelier failures mean, in words; the rest are shown by their number.
struct FailureText {
  std::uint32_t code;
  const char* text;
};

constexpr FailureText kFailureTexts[] = {
    {MX_E_INPUTEND, "the document ends before its elements do"},
    {MX_E_ENCODING, "a character is not valid in the document's encoding"},
    {MX_E_ENCODINGSWITCH, "the encoding declaration contradicts the document's encoding"},
    {MX_E_ENCODINGSIGNATURE, "the document's encoding is not supported"},
    {WC_E_ELEMENTMATCH, "an end tag does not match its start tag"},
    {WC_E_UNDECLAREDENTITY, "an entity is used that XML does not define"},
    {WC_E_SEMICOLON, "a reference lacks its closing semicolon"},
    {WC_E_HEXDIGIT, "a character reference is not a hexadecimal number"},
    {WC_E_DIGIT, "a character reference is not a decimal number"},
    {WC_E_XMLCHARACTER, "a character is not allowed in XML"},
    {WC_E_NAMECHARACTER, "a name holds a character that names cannot"},
    {NC_E_QNAMECHARACTER, "a name holds a character that names cannot"},
    {WC_E_UNIQUEATTRIBUTE, "an element gives the same attribute twice"},
    {WC_E_LESSTHAN, "an attribute's value holds a '<'"},
    {WC_E_QUOTE, "an attribute's value is not in quotes"},
    {WC_E_SYNTAX, "the syntax is wrong"},
    {SC_E_MAXENTITYEXPANSION, "entities expand beyond the reader's limit"},
    {SC_E_MAXELEMENTDEPTH, "elements nest deeper than the reader's limit"},
    {static_cast<std::uint32_t>(E_NOTIMPL), "it uses what this system's XML reader cannot read"},
};

std::string DescribeFailure(HRESULT result) {
  const auto code = static_cast<std::uint32_t>(result);
  for (const FailureText& failure : kFailureTexts) {
    if (failure.code == code)
      return std::string(failure.text) + " (XmlLite error " + Hex(code) + ")";
  }
  return "XmlLite refused it (error " + Hex(code) + ")";
}

// An ISequentialStream over an InputStream, for XmlLite to read from. It belongs to the
// reader below, whose XmlLite object lets go of it first: its count of references follows
// COM's rules, but it never deletes itself. A failure of the input is kept, for the reader to
// throw once XmlLite has given up.
class InputSequentialStream final : public ISequentialStream {
 public:
  explicit InputSequentialStream(InputStream& input) : input_(input) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (!object) return E_POINTER;
    if (!IsEqualIID(id, __uuidof(IUnknown)) && !IsEqualIID(id, __uuidof(ISequentialStream))) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<ISequentialStream*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }

  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) override {
    std::size_t count = 0;
    try {
      count = input_.Read(std::span(static_cast<std::byte*>(buffer), size));
    } catch (...) {
      failure_ = std::current_exception();
    }
    if (read) *read = static_cast<ULONG>(count);
    if (failure_) return STG_E_READFAULT;
    if (count == size) return S_OK;
    ended_ = true;
    return S_FALSE;  // the end of the stream
  }

  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override {
    return STG_E_ACCESSDENIED;
  }

  void ThrowAnyFailure() const {
    if (failure_) std::rethrow_exception(failure_);
  }

  bool Ended() const { return ended_; }

 private:
  InputStream& input_;
  std::exception_ptr failure_;
  bool ended_ = false;
  ULONG references_ = 1;
};

class XmlLiteReader : public XmlReader {
 public:
  explicit XmlLiteReader(std::unique_ptr<InputStream> input)
      : input_(std::move(input)), stream_(*input_) {
    IXmlReader* created = nullptr;
    Start(
        CreateReaderFunction()(__uuidof(IXmlReader), reinterpret_cast<void**>(&created), nullptr));
    reader_.reset(created);
    // Dump lists begin with a document type declaration, which XmlLite refuses unless told to
    // parse it; with no resolver, nothing it names is loaded.
    Start(reader_->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Parse));
    Start(reader_->SetProperty(XmlReaderProperty_XmlResolver, 0));
    Start(reader_->SetInput(&stream_));
  }

 private:
  struct ReleaseReader {
    void operator()(IXmlReader* reader) const { reader->Release(); }
  };

  struct NodePlace {
    XmlNodeType type;
    UINT line;
    UINT column;
    bool operator==(const NodePlace&) const = default;
  };

  static void Start(HRESULT result) {
    if (FAILED(result)) {
      throw IoError("Starting the system's XML reader failed (error " +
                    Hex(static_cast<std::uint32_t>(result)) + ").");
    }
  }

  bool ReadNode(XmlNode& node, bool& empty) override {
    for (;;) {
      XmlNodeType type = XmlNodeType_None;
      const HRESULT result = reader_->Read(&type);
      stream_.ThrowAnyFailure();
      if (result == S_FALSE) return false;
      if (FAILED(result)) throw XmlError(Where() + Describe(result) + ".");
      RefuseStandingStill(type);
      if (Take(type, node, empty)) return true;
    }
  }

  // Wine's XmlLite gives the node it stopped in again and again where a document breaks off
  // inside text, white space, a comment or a CDATA section. Two nodes in a row are never of
  // the same kind at the same place otherwise (white space may be placed anywhere).
  void RefuseStandingStill(XmlNodeType type) {
    const auto [line, column] = Position();
    const NodePlace place{type, line, column};
    if (place == last_place_) {
      throw XmlError(Where() + (stream_.Ended() ? "the document ends before its elements do."
                                                : "the system's XML reader stopped here."));
    }
    last_place_ = place;
  }

  // Fills `node` with the reader's current node; false for a node that gives nothing.
  bool Take(XmlNodeType type, XmlNode& node, bool& empty) {
    node.attributes.clear();
    node.line = Position().first;
    switch (type) {
      case XmlNodeType_Element:
        node.kind = XmlNodeKind::kElementStart;
        node.name = QualifiedName();
        empty = reader_->IsEmptyElement();
        for (HRESULT at = reader_->MoveToFirstAttribute(); at == S_OK;
             at = reader_->MoveToNextAttribute()) {
          std::string name = QualifiedName();
          node.attributes.emplace_back(std::move(name), Value());
        }
        reader_->MoveToElement();
        return true;
      case XmlNodeType_EndElement:
        node.kind = XmlNodeKind::kElementEnd;
        node.name = QualifiedName();
        return true;
      case XmlNodeType_Text:
      case XmlNodeType_CDATA:
      case XmlNodeType_Whitespace:
        node.kind = XmlNodeKind::kText;
        node.text = Value();
        return true;
      default:
        return false;
    }
  }

  std::string QualifiedName() const {
    const wchar_t* name = nullptr;
    UINT length = 0;
    if (FAILED(reader_->GetQualifiedName(&name, &length)) || !name) return {};
    return Narrow(std::wstring_view(name, length));
  }

  std::string Value() const {
    const wchar_t* value = nullptr;
    UINT length = 0;
    if (FAILED(reader_->GetValue(&value, &length)) || !value) return {};
    return Narrow(std::wstring_view(value, length));
  }

  std::pair<UINT, UINT> Position() const {
    UINT line = 0;
    UINT column = 0;
    reader_->GetLineNumber(&line);
    reader_->GetLinePosition(&column);
    return {line, column};
  }

  std::string Where() const override {
    const auto [line, column] = Position();
    return XmlPosition(line, column);
  }

  // A document with no element at all ends the input early, as XmlLite sees it.
  std::string Describe(HRESULT result) const {
    if (static_cast<std::uint32_t>(result) == MX_E_INPUTEND && !ElementsSeen()) {
      return "the document holds no element";
    }
    return DescribeFailure(result);
  }

  // Destroyed in reverse: XmlLite lets go of the stream, which then goes, then the input.
  std::unique_ptr<InputStream> input_;
  InputSequentialStream stream_;
  std::unique_ptr<IXmlReader, ReleaseReader> reader_;
  NodePlace last_place_{XmlNodeType_None, 0, 0};
};

}  // namespace

std::unique_ptr<XmlReader> ReadXml(std::unique_ptr<InputStream> input) {
  return std::make_unique<XmlLiteReader>(std::move(input));
}

}  // namespace kelvore
