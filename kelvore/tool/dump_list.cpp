#include "kelvore/tool/dump_list.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <iterator>
#include <span>
#include <utility>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/base/xml_reader.h"

namespace kelvore {
namespace {

constexpr std::string_view kSpaces = " \t\r\n";

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kSpaces);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpaces) - first + 1);
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
  return std::search(text.begin(), text.end(), part.begin(), part.end(),
                     [](char a, char b) { return LowerAscii(a) == LowerAscii(b); }) != text.end();
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ContainsIgnoringCase(a, b);
}

bool IsAsciiAlphanumeric(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (LowerAscii(c) >= 'a' && LowerAscii(c) <= 'f');
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
  return value;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(Trim(text.substr(start, end - start)));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

// Where a list came from and what is wrong with it, as messages say it.
class ListProblems {
 public:
  explicit ListProblems(const std::string& shown_name) : shown_(Printable(shown_name)) {}

  [[noreturn]] void At(unsigned line, std::string_view problem) const {
    throw DumpListError(Joined({"The dump list ", shown_, " cannot be used: at line ",
                                std::to_string(line), ", ", problem, "."}));
  }

  [[noreturn]] void Fail(std::string_view problem) const {
    throw DumpListError(Joined({"The dump list ", shown_, " ", problem}));
  }

 private:
  std::string shown_;
};

// A checksum attribute in lower case, checked to have its algorithm's length; empty where the
// list gives none.
std::string Checksum(const XmlNode& rom, const char* attribute, std::size_t digits,
                     const std::string& described, const ListProblems& problems) {
  const std::string* given = rom.Attribute(attribute);
  if (!given || Trim(*given).empty()) return {};
  const std::string_view value = Trim(*given);
  if (value.size() != digits || !std::all_of(value.begin(), value.end(), IsHexDigit)) {
    problems.At(rom.line,
                Joined({described, " gives the ", attribute, " \"", Printable(value),
                        "\", which is not ", std::to_string(digits), " hexadecimal digits"}));
  }
  std::string lower(value);
  std::transform(lower.begin(), lower.end(), lower.begin(), LowerAscii);
  return lower;
}

std::vector<DumpSerial> SerialsIn(std::string_view field) {
  std::vector<DumpSerial> serials;
  for (const std::string_view serial : Split(field, ',')) {
    if (auto parsed = ParseSerial(serial)) serials.push_back(std::move(*parsed));
  }
  return serials;
}

// The first bytes of a stream, read ahead to tell what the file is, then given again.
class PeekedStream : public InputStream {
 public:
  explicit PeekedStream(std::unique_ptr<InputStream> input) : input_(std::move(input)) {
    head_size_ = input_->Read(head_);
  }

  std::span<const std::byte> Head() const { return std::span(head_).first(head_size_); }

  std::size_t Read(std::span<std::byte> out) override {
    const std::size_t from_head = std::min(out.size(), head_size_ - given_);
    std::copy_n(head_.begin() + static_cast<std::ptrdiff_t>(given_), from_head, out.begin());
    given_ += from_head;
    // A short head was the whole stream.
    if (from_head == out.size() || head_size_ < head_.size()) return from_head;
    return from_head + input_->Read(out.subspan(from_head));
  }

 private:
  std::unique_ptr<InputStream> input_;
  std::array<std::byte, 4> head_{};
  std::size_t head_size_ = 0;
  std::size_t given_ = 0;
};

// A zip archive begins with a local file header, or, empty, with its end record.
bool IsZip(std::span<const std::byte> head) {
  constexpr std::array<std::byte, 4> kLocalFile = {std::byte{'P'}, std::byte{'K'}, std::byte{3},
                                                   std::byte{4}};
  constexpr std::array<std::byte, 4> kEmptyArchive = {std::byte{'P'}, std::byte{'K'}, std::byte{5},
                                                      std::byte{6}};
  return std::ranges::equal(head, kLocalFile) || std::ranges::equal(head, kEmptyArchive);
}

// Reads the Logiqx format's few elements that matter: the header's name, and each game's
// name, files (<rom>) and serial and version, as attributes of the file or elements of the
// game. Everything else is passed over.
class DumpListParser {
 public:
  explicit DumpListParser(const ListProblems& problems) : problems_(problems) {}

  DumpList Parse(XmlReader& reader) {
    while (const XmlNode* node = reader.Next()) {
      switch (node->kind) {
        case XmlNodeKind::kElementStart:
          Open(*node);
          break;
        case XmlNodeKind::kElementEnd:
          Close(*node);
          break;
        case XmlNodeKind::kText:
          text_ += node->text;
          break;
      }
    }
    Finish();
    return std::move(list_);
  }

 private:
  bool InGame() const { return open_.size() == 2 && (open_[1] == "game" || open_[1] == "machine"); }
  bool InGameChild(std::string_view child) const {
    return open_.size() == 3 && (open_[1] == "game" || open_[1] == "machine") && open_[2] == child;
  }

  void Open(const XmlNode& node) {
    open_.push_back(node.name);
    text_.clear();
    root_seen_ = true;
    if (open_.size() == 1 && node.name != "datafile") {
      problems_.Fail(Joined({"is not a dump list: its root element is <", Printable(node.name),
                             ">, where a Logiqx dump list has <datafile>."}));
    }
    if (InGame()) StartGame(node);
    if (InGameChild("rom")) AddFile(node);
  }

  void Close(const XmlNode& node) {
    if (open_.size() == 3 && open_[1] == "header" && open_[2] == "name") {
      list_.name = std::string(Trim(text_));
    }
    if (open_.size() == 2 && open_[1] == "header") CheckSystem(node.line);
    if (InGameChild("serial")) game_serial_ = text_;
    if (InGameChild("version")) game_version_ = text_;
    if (InGame()) FinishGame();
    open_.pop_back();
    text_.clear();
  }

  // A list says what it lists in its header, which comes before the games.
  void CheckSystem(unsigned line) {
    system_checked_ = true;
    if (list_.name.empty()) {
      problems_.At(line,
                   "its header names no system, where a GameCube list says \"Nintendo - "
                   "GameCube\"");
    }
    if (!ContainsIgnoringCase(list_.name, "GameCube")) {
      problems_.Fail(Joined({"is for \"", Printable(list_.name),
                             "\", not for the GameCube: give the GameCube list, whose header "
                             "names \"Nintendo - GameCube\"."}));
    }
  }

  void StartGame(const XmlNode& game) {
    if (!system_checked_) {
      problems_.At(game.line, "a game comes before any header naming the list's system");
    }
    const std::string* name = game.Attribute("name");
    game_name_ = name ? *name : std::string();
    game_serial_.clear();
    game_version_.clear();
    game_file_versions_.clear();
  }

  void AddFile(const XmlNode& rom) {
    DumpEntry entry;
    entry.game = game_name_;
    const std::string* name = rom.Attribute("name");
    entry.file = name ? *name : std::string();
    const std::string described =
        Joined({"the file \"", Printable(entry.file), "\" of \"", Printable(entry.game), "\""});
    const std::string* size = rom.Attribute("size");
    const auto parsed_size =
        size ? ParseNumber<std::uint64_t>(Trim(*size)) : std::optional<std::uint64_t>();
    if (!parsed_size) {
      problems_.At(rom.line, size ? Joined({described, " gives the size \"", Printable(*size),
                                            "\", which is not a number of bytes"})
                                  : Joined({described, " gives no size"}));
    }
    entry.size = *parsed_size;
    entry.crc32 = Checksum(rom, "crc", 8, described, problems_);
    entry.md5 = Checksum(rom, "md5", 32, described, problems_);
    entry.sha1 = Checksum(rom, "sha1", 40, described, problems_);
    const std::string* serial = rom.Attribute("serial");
    if (serial) entry.serials = SerialsIn(*serial);
    const std::string* version = rom.Attribute("version");
    game_file_versions_.push_back(version ? *version : std::string());
    list_.entries.push_back(std::move(entry));
  }

  // What the game gives as elements holds for each of its files that does not say otherwise.
  void FinishGame() {
    const std::vector<DumpSerial> game_serials = SerialsIn(game_serial_);
    auto entry = list_.entries.end() - static_cast<std::ptrdiff_t>(game_file_versions_.size());
    for (const std::string& file_version : game_file_versions_) {
      if (entry->serials.empty()) entry->serials = game_serials;
      entry->revision =
          RevisionOf(Trim(file_version).empty() ? game_version_ : file_version, game_name_);
      ++entry;
    }
    game_file_versions_.clear();
  }

  void Finish() const {
    if (!root_seen_) problems_.Fail("is not well-formed XML: it holds no element.");
    if (!system_checked_) problems_.Fail("has no <header> naming its system.");
    if (list_.entries.empty()) {
      problems_.Fail("lists no GameCube discs: it has no <game> with a <rom> to compare.");
    }
    if (std::none_of(list_.entries.begin(), list_.entries.end(),
                     [](const DumpEntry& entry) { return entry.HasStrongChecksum(); })) {
      problems_.Fail(
          "gives no MD5 or SHA-1 for any disc: a CRC32 alone cannot confirm a dump, so no "
          "image could be found listed.");
    }
  }

  const ListProblems& problems_;
  DumpList list_;
  std::vector<std::string> open_;  // the open elements, from the root down
  std::string text_;               // the text of the innermost open element so far
  bool root_seen_ = false;
  bool system_checked_ = false;
  // The game being read; the version fields of its files, which are the last entries.
  std::string game_name_;
  std::string game_serial_;
  std::string game_version_;
  std::vector<std::string> game_file_versions_;
};

}  // namespace

bool DumpList::HasSerials() const {
  return std::any_of(entries.begin(), entries.end(),
                     [](const DumpEntry& entry) { return !entry.serials.empty(); });
}

DumpList LoadDumpList(const std::string& path) { return ReadDumpList(OpenInputFile(path), path); }

DumpList ReadDumpList(std::unique_ptr<InputStream> input, const std::string& shown_name) {
  const ListProblems problems(shown_name);
  auto peeked = std::make_unique<PeekedStream>(std::move(input));
  if (IsZip(peeked->Head())) {
    problems.Fail("is a zip archive: unzip it first, and give the .dat file inside.");
  }
  const std::unique_ptr<XmlReader> reader = ReadXml(std::move(peeked));
  DumpListParser parser(problems);
  try {
    return parser.Parse(*reader);
  } catch (const XmlError& error) {
    problems.Fail(Joined({"is not well-formed XML: ", error.what(),
                          " Download it again: it may be incomplete or damaged."}));
  }
}

std::optional<DumpSerial> ParseSerial(std::string_view serial) {
  const std::vector<std::string_view> parts = Split(serial, '-');
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    const std::string_view code = parts[i + 1];
    if (!EqualIgnoringCase(parts[i], "DOL") || code.size() != 4 ||
        !std::all_of(code.begin(), code.end(), IsAsciiAlphanumeric)) {
      continue;
    }
    DumpSerial found;
    std::transform(code.begin(), code.end(), std::back_inserter(found.game_code), UpperAscii);
    if (i + 2 < parts.size() && parts[i + 2].size() == 1) {
      found.disc_number = ParseNumber<std::uint8_t>(parts[i + 2]).value_or(0);
    }
    return found;
  }
  return {};
}

std::uint8_t RevisionOf(std::string_view version, std::string_view game_name) {
  version = Trim(version);
  if (version.size() >= 3 && EqualIgnoringCase(version.substr(0, 3), "Rev")) {
    version = Trim(version.substr(3));
  }
  if (const auto number = ParseNumber<std::uint8_t>(version)) return *number;
  constexpr std::string_view kRevision = "(Rev ";
  const std::size_t start = game_name.find(kRevision);
  if (start == std::string_view::npos) return 0;
  const std::size_t digits = start + kRevision.size();
  const std::size_t end = game_name.find(')', digits);
  if (end == std::string_view::npos) return 0;
  return ParseNumber<std::uint8_t>(game_name.substr(digits, end - digits)).value_or(0);
}

}  // namespace kelvore
