// orbdeck trailer: the payload at the end of a program file.
//
// read prints the payload exactly as stored, nothing when the file has no
// trailer or an empty one; write appends TEXT as the file's new trailer.
#include <cstdio>
#include <stdexcept>

#include "exetrailer/ExeModifier_.h"
#include "tools/orbdeck/Commands.h"

namespace orb {
namespace {

int Read(const std::string& file) {
  TExeBuf payload;
  ReadExeBuf(file, payload);
  std::string text;
  ExeBufToStr(payload, text);
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
    throw std::runtime_error("Cannot write to standard output");
  return 0;
}

int Write(const std::string& file, const std::string& text) {
  TExeBuf payload;
  StrToExeBuf(text, payload);
  AppendExeBuf(file, payload);
  return 0;
}

}  // namespace

int RunTrailerCommand(const TArguments& arguments) {
  if (arguments.size() == 2 && arguments[0] == "read") return Read(arguments[1]);
  if (arguments.size() == 3 && arguments[0] == "write") return Write(arguments[1], arguments[2]);
  throw EUsage();
}

}  // namespace orb
