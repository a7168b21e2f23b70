#pragma once
// The standard report of a failure that escapes an event handler: a message
// box with the error icon, the application title as its caption and the
// failure's text, with a full stop appended when the text's last character
// sorts after "."; the program then goes on. Every handler runs inside Guard,
// so no exception ever unwinds through Qt.

#include <exception>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
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

// Runs an event handler, with std::invoke's arguments (a member function
// takes its object first); a failure that escapes it is reported, not thrown.
template <class F, class... Args>
void Guard(F&& handler, Args&&... args) noexcept {
  try {
    std::invoke(std::forward<F>(handler), std::forward<Args>(args)...);
  } catch (...) {
    HandleCurrentException();
  }
}

namespace detail {

// Whether f takes the first N of the arguments in the tuple.
template <class F, class Tuple, std::size_t... I>
constexpr bool TakesFirst(std::index_sequence<I...>) {
  return std::is_invocable_v<F&, std::tuple_element_t<I, Tuple>...>;
}

// Calls f with as many leading arguments as it takes, so a handler may
// ignore what a signal carries beyond what it needs.
template <class F, class Tuple, std::size_t N = std::tuple_size_v<Tuple>>
void InvokeLeading(F& f, Tuple&& args) {
  if constexpr (TakesFirst<F, Tuple>(std::make_index_sequence<N>())) {
    [&]<std::size_t... I>(std::index_sequence<I...>) {
      std::invoke(f, std::get<I>(std::forward<Tuple>(args))...);
    }(std::make_index_sequence<N>());
  } else {
    static_assert(N > 0, "the handler cannot be called with these arguments");
    if constexpr (N > 0) InvokeLeading<F, Tuple, N - 1>(f, std::forward<Tuple>(args));
  }
}

}  // namespace detail

// Wraps a handler for connect(): any callable, or a member function with its
// object (Guarded(&TForm::Handler, this)). The returned callable runs it
// inside Guard and drops the trailing arguments it does not take, such as
// the bool of clicked(bool).
template <class F, class... Bound>
auto Guarded(F handler, Bound... bound) {
  return [call = std::bind_front(std::move(handler), std::move(bound)...)](auto&&... args) mutable {
    Guard([&] {
      detail::InvokeLeading(call, std::forward_as_tuple(std::forward<decltype(args)>(args)...));
    });
  };
}

}  // namespace orb
