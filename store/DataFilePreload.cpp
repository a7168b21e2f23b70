#include "store/DataFilePreload.h"

#include <algorithm>
#include <future>
#include <mutex>
#include <utility>
#include <vector>

namespace orb {
namespace {

struct TPreload {
  std::string Path;
  std::future<TParsedPacket> Parsed;
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

TParsedPacket ParseDataFile(const std::string& path) {
  TParsedPacket parsed(ReadFileBuffer(path));
  parsed.ReadAhead();
  return parsed;
}

}  // namespace

void PreloadDataFile(const std::string& path) {
  TPreloads& preloads = Preloads();
  std::lock_guard lock(preloads.Lock);
  for (const TPreload& preload : preloads.Pending)
    if (preload.Path == path) return;
  preloads.Pending.push_back({path, std::async(std::launch::async, ParseDataFile, path)});
}

void DropDataFilePreloads() {
  std::vector<TPreload> dropped;
  {
    TPreloads& preloads = Preloads();
    std::lock_guard lock(preloads.Lock);
    dropped.swap(preloads.Pending);
  }
  // The futures wait for their workers as they go, outside the lock.
}

std::optional<TParsedPacket> TakePreloadedDataFile(const std::string& path) {
  std::future<TParsedPacket> parsed;
  {
    TPreloads& preloads = Preloads();
    std::lock_guard lock(preloads.Lock);
    auto found = std::find_if(preloads.Pending.begin(), preloads.Pending.end(),
                              [&](const TPreload& preload) { return preload.Path == path; });
    if (found == preloads.Pending.end()) return std::nullopt;
    parsed = std::move(found->Parsed);
    preloads.Pending.erase(found);
  }
  return parsed.get();
}

}  // namespace orb
