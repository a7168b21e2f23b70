#include "platform/ErrorReport.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <stdexcept>

#include "platform/Application.h"
#include "platform/DisplayText.h"

namespace orb {
namespace {

TErrorReporter& CurrentReporter() {
  static TErrorReporter reporter;
  return reporter;
}

void ShowMessageBox(const std::string& caption, const std::string& text) {
  // Standard error gets the report too, for whoever started the program
  // from a terminal, and for a program that cannot show a window.
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
  if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || !Application() ||
      !Application()->CanShowForms())
    return;
  QMessageBox box(QMessageBox::Critical, DisplayText(caption), DisplayText(text), QMessageBox::Ok);
  box.exec();
}

}  // namespace

std::string ErrorReportText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

void SetErrorReporter(TErrorReporter reporter) { CurrentReporter() = std::move(reporter); }

void ShowException(const std::exception& failure) {
  std::string caption = Application() ? Application()->Title() : std::string();
  std::string text = ErrorReportText(failure.what());
  if (CurrentReporter())
    CurrentReporter()(caption, text);
  else
    ShowMessageBox(caption, text);
}

void HandleCurrentException() noexcept {
  try {
    throw;
  } catch (const std::exception& failure) {
    try {
      ShowException(failure);
    } catch (...) {
      std::fprintf(stderr, "%s\n", failure.what());
    }
  } catch (...) {
    try {
      ShowException(std::runtime_error("Unknown failure"));
    } catch (...) {
    }
  }
}

}  // namespace orb
