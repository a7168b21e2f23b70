#pragma once
// Text for display. The core keeps bytes: bytes that are valid UTF-8 are
// read as UTF-8, others as Windows-1252, the code page of media written on
// Windows.

#include <QString>

#include <string_view>

namespace orb {

QString DisplayText(std::string_view bytes);

}  // namespace orb
