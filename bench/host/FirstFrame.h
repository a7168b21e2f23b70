// Time from a program's start to the first frame it paints, seen from the X
// server: the first damage of a top-level window that appears after the start.
#pragma once

#include <string>
#include <vector>

namespace orb::bench {

// An Xvfb server of its own for the benchmark's life.
class TOwnDisplay {
 public:
  TOwnDisplay();
  ~TOwnDisplay();
  const std::string& Name() const { return name_; }

 private:
  int pid_ = -1;
  std::string name_;
};

// Starts the program on the display, waits for its first painted frame and
// ends it; the seconds it took, or a negative value when no frame came. A
// window that was shown before the watch on it began may have painted
// unseen: such a start is run again, a few times at most.
double SecondsToFirstFrame(const std::string& display, const std::string& program,
                           const std::vector<std::string>& arguments = {});

}  // namespace orb::bench
