// The main window's text members and the controls they are bound to: read back
// from the controls, or transferred into them, all at once.
#pragma once

#include <map>
#include <string>

namespace z4 {

class DialogView;

class BoundTexts {
 public:
  BoundTexts();
  // Controls into members. The number field keeps at most 10 characters.
  void ReadBack(DialogView& view);
  // Members into controls; also limits what can be typed into the number field.
  void Transfer(DialogView& view);
  std::string& operator[](int id) { return members_.at(id); }
  const std::string& operator[](int id) const { return members_.at(id); }

  static constexpr int kNumberFieldLimit = 10;

 private:
  std::map<int, std::string> members_;
};

}  // namespace z4
