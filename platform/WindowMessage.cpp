#include "platform/WindowMessage.h"

#include "platform/WindowMessageBackend.h"

namespace orb {
namespace {

IWindowMessagePoster* replacement = nullptr;

}  // namespace

TWindowMessage RegisterWindowMessage(const std::string& name) {
  return replacement ? replacement->Register(name) : SystemRegisterWindowMessage(name);
}

void PostWindowMessage(TWindowHandle window, TWindowMessage message) {
  if (replacement)
    replacement->Post(window, message);
  else
    SystemPostWindowMessage(window, message);
}

void SetWindowMessagePoster(IWindowMessagePoster* poster) { replacement = poster; }

}  // namespace orb
