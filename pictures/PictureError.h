#pragma once
// EPictureError: a picture that cannot be decoded. The message names the
// format first and says what is wrong ("PCX: bad bits per pixel").

#include <stdexcept>
#include <string>

namespace orb {

class EPictureError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace orb
