#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/font_object.h"
#include "support/error.h"

namespace doubles {

// A font object with plain properties that records the order of assignments and can
// refuse one of them.
class RecordingFont final : public corvane::FontObject {
 public:
  std::string Name() const override { return name; }
  void Name(const std::string& value) override { Set("Name", name, value); }
  double Size() const override { return size; }
  void Size(double value) override { Set("Size", size, value); }
  bool Bold() const override { return bold; }
  void Bold(bool value) override { Set("Bold", bold, value); }
  bool Italic() const override { return italic; }
  void Italic(bool value) override { Set("Italic", italic, value); }
  bool Underline() const override { return underline; }
  void Underline(bool value) override { Set("Underline", underline, value); }
  bool Strikethrough() const override { return strikethrough; }
  void Strikethrough(bool value) override { Set("Strikethrough", strikethrough, value); }
  std::int16_t Weight() const override { return weight; }
  void Weight(std::int16_t value) override { Set("Weight", weight, value); }

  std::string name = "Arial";
  double size = 10;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;
  std::int16_t weight = 400;

  std::vector<std::string> assignments;
  std::string refused;  // the property whose assignment raises error 380

 private:
  template <typename T>
  void Set(const std::string& property, T& field, const T& value) {
    if (property == refused) throw corvane::Error(380, "font", "Invalid property value");
    assignments.push_back(property);
    field = value;
  }
};

}  // namespace doubles
