#pragma once
// InputQuery: asks for one line of text in a small fixed dialog centred on
// the screen: the title, a prompt above an edit box that takes at most 255
// characters, and the buttons OK and Cancel.

#include <string>

namespace orb {

// The most characters the edit box takes.
inline constexpr int kInputQueryMaxLength = 255;

// Shows the dialog with text in the edit box. Returns true and the edited
// text when OK is pressed; returns false and leaves text alone on Cancel.
bool InputQuery(const std::string& title, const std::string& prompt, std::string& text);

// The seam through which tests answer the dialog.
class IInputQuery {
 public:
  virtual ~IInputQuery() = default;
  virtual bool Ask(const std::string& title, const std::string& prompt, std::string& text) = 0;
};

// Replaces the dialog; nullptr restores it.
void SetInputQuery(IInputQuery* query);

}  // namespace orb
