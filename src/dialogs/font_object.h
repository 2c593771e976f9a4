#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// A font object with the properties of the system's IFontDisp: the font dialog reads the
// starting font from it and writes the chosen font back. Any getter or setter may throw;
// the dialog lets such errors pass to its caller.
class FontObject {
 public:
  virtual ~FontObject() = default;

  virtual std::string Name() const = 0;
  virtual void Name(const std::string& name) = 0;
  // In points, held to four decimal places.
  virtual double Size() const = 0;
  virtual void Size(double points) = 0;
  virtual bool Bold() const = 0;
  virtual void Bold(bool bold) = 0;
  virtual bool Italic() const = 0;
  virtual void Italic(bool italic) = 0;
  virtual bool Underline() const = 0;
  virtual void Underline(bool underline) = 0;
  virtual bool Strikethrough() const = 0;
  virtual void Strikethrough(bool strikethrough) = 0;
  virtual std::int16_t Weight() const = 0;
  virtual void Weight(std::int16_t weight) = 0;
};

}  // namespace corvane
