#pragma once
// Qt for a command that builds forms or paints metafiles but shows nothing:
// the widgets application on the offscreen platform, so that no display is
// needed, with Qt's own notes about the environment silenced, so that they
// never mix with what the command prints.

#include <memory>

class QApplication;

namespace orb {

class TOffscreenQt {
 public:
  TOffscreenQt();
  ~TOffscreenQt();
  TOffscreenQt(const TOffscreenQt&) = delete;
  TOffscreenQt& operator=(const TOffscreenQt&) = delete;

 private:
  int argc_ = 1;
  char name_[8] = "orbdeck";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> application_;
};

}  // namespace orb
