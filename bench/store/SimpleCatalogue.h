// A catalogue shaped like the Simple template's: titles, links and
// multi-line descriptions with characters that the packet escapes.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "store/DataSet.h"

namespace orb::bench {

struct TEntry {
  std::string Title, Link, Description;
};

inline std::vector<TEntry> MakeEntries(std::size_t count, unsigned seed = 1) {
  static const char* words[] = {"Office", "Tools", "Setup", "Driver", "Viewer", "Player", "Studio", "Suite",
                                "Reader", "Writer", "Update", "Toolkit", "Manager", "Express", "Pro", "Lite"};
  std::mt19937 random(seed);
  auto word = [&] { return std::string(words[random() % 16]); };
  std::vector<TEntry> entries;
  entries.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    TEntry entry;
    entry.Title = word() + " " + word() + " " + std::to_string(random() % 100000) + " " + word();
    entry.Link = "Setup\\" + word() + "\\" + word() + std::to_string(i) + ".exe";
    int lines = 2 + static_cast<int>(random() % 4);
    for (int line = 0; line < lines; ++line) {
      entry.Description += word() + " for \"" + word() + "\" & <" + word() + "> it's\tready " + word() + " " +
                           std::to_string(random());
      if (line + 1 < lines) entry.Description += "\r\n";
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

inline void DeclareSimple(TDataSet& store) {
  store.AddStringField("Title", 80);
  store.AddStringField("Link", 256);
  store.AddMemoField("Description");
  store.SetIndex({"TitleIndex", "Title", true});
}

inline void PostEntries(TDataSet& store, const std::vector<TEntry>& entries) {
  TField& title = store.FieldByName("Title");
  TField& link = store.FieldByName("Link");
  TField& description = store.FieldByName("Description");
  for (const TEntry& entry : entries) {
    store.Append();
    title.SetAsString(entry.Title);
    link.SetAsString(entry.Link);
    description.SetAsString(entry.Description);
    store.Post();
  }
}

// A data file of `count` records in the system's temporary folder, written once per run.
inline std::string CatalogueFile(std::size_t count) {
  std::string path = (std::filesystem::temp_directory_path() / ("orb-bench-simple-" + std::to_string(count) + ".xml")).string();
  TDataSet store;
  DeclareSimple(store);
  store.CreateDataSet();
  PostEntries(store, MakeEntries(count));
  store.SaveToFile(path);
  return path;
}

}  // namespace orb::bench
