#pragma once
// The standard report of a failure that escapes an event handler: a message
// box with the error icon, the application title as its caption and the
// failure's text, with a full stop appended when the text's last character
// sorts after "."; the program then goes on. Every handler runs inside Guard,
// so no exception ever unwinds through Qt.

#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace orb {

// The text the report shows for a failure's message.
std::string ErrorReportText(std::string_view message);

// Shows the report of a failure: caption and text are already final.
using TErrorReporter = std::function<void(const std::string& caption, const std::string& text)>;

// Replaces how reports are shown (tests record them; a program without a
// display prints them). An empty reporter restores the message box.
void SetErrorReporter(TErrorReporter reporter);

// Reports the failure with the application's title as caption.
void ShowException(const std::exception& failure);
// Reports the exception being handled (call only inside a catch block).
void HandleCurrentException() noexcept;

// Runs an event handler; a failure that escapes it is reported, not thrown.
template <class F>
void Guard(F&& handler) noexcept {
  try {
    std::forward<F>(handler)();
  } catch (...) {
    HandleCurrentException();
  }
}

// Wraps a handler for connect(): the returned callable runs it inside Guard.
template <class F>
auto Guarded(F handler) {
  return [handler = std::move(handler)](auto&&... args) {
    Guard([&] { handler(std::forward<decltype(args)>(args)...); });
  };
}

}  // namespace orb
