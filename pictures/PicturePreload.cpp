#include "pictures/PicturePreload.h"

#include <algorithm>
#include <future>
#include <mutex>
#include <utility>
#include <vector>

#include "pictures/PictureFile.h"

namespace orb {
namespace {

struct TPreload {
  std::filesystem::path Path;
  std::future<TBitmap> Picture;
};

struct TPreloads {
  std::mutex Lock;
  std::vector<TPreload> Pending;
};

// Lives until the program's end, whose destruction waits for the workers.
TPreloads& Preloads() {
  static TPreloads preloads;
  return preloads;
}

}  // namespace

void PreloadPictureFile(const std::filesystem::path& path) {
  TPreloads& preloads = Preloads();
  std::lock_guard lock(preloads.Lock);
  for (const TPreload& preload : preloads.Pending)
    if (preload.Path == path) return;
  preloads.Pending.push_back({path, std::async(std::launch::async, ReadPictureFile, path)});
}

void DropPicturePreloads() {
  std::vector<TPreload> dropped;
  {
    TPreloads& preloads = Preloads();
    std::lock_guard lock(preloads.Lock);
    dropped.swap(preloads.Pending);
  }
  // The futures wait for their workers as they go, outside the lock.
}

std::optional<TBitmap> TakePreloadedPicture(const std::filesystem::path& path) {
  std::future<TBitmap> picture;
  {
    TPreloads& preloads = Preloads();
    std::lock_guard lock(preloads.Lock);
    auto found = std::find_if(preloads.Pending.begin(), preloads.Pending.end(),
                              [&](const TPreload& preload) { return preload.Path == path; });
    if (found == preloads.Pending.end()) return std::nullopt;
    picture = std::move(found->Picture);
    preloads.Pending.erase(found);
  }
  return picture.get();
}

}  // namespace orb
