// Stores shaped like the templates' and a temporary folder, for the store tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "store/DataSet.h"

namespace orb::test {

// A fresh folder under the system's temporary folder, removed afterwards.
class TTempDir {
 public:
  TTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orbstore-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The Simple template's store: Title, Link, Description, ordered by Title.
inline void DeclareSimple(TDataSet& store) {
  store.AddStringField("Title", 80);
  store.AddStringField("Link", 256);
  store.AddMemoField("Description");
  store.SetIndex({"TitleIndex", "Title", true});
}

inline std::vector<TFieldDef> SoftwareSlots() {
  std::vector<TFieldDef> slots;
  for (int i = 1; i <= 5; ++i) slots.push_back(TFieldDef::String("Title" + std::to_string(i), 120));
  for (int i = 1; i <= 5; ++i) slots.push_back(TFieldDef::String("Link" + std::to_string(i), 300));
  return slots;
}

// The Package Software template's master store; the detail store opens on Softwares.
inline void DeclarePackage(TDataSet& master, TDataSet& detail) {
  master.AddStringField("Name", 120);
  master.AddStringField("Serial", 300);
  master.AddMemoField("Description");
  TField& softwares = master.AddNestedField("Softwares", SoftwareSlots());
  master.SetIndex({"NameIndex", "Name", true});
  detail.SetDataSetField(&softwares);
}

inline void AddRecord(TDataSet& store, const std::string& title, const std::string& link = "",
                      const std::string& description = "") {
  store.Append();
  store.FieldByName("Title").SetAsString(title);
  store.FieldByName("Link").SetAsString(link);
  store.FieldByName("Description").SetAsString(description);
  store.Post();
}

// The values of one field in presentation order.
inline std::vector<std::string> Column(const TDataSet& store, const std::string& field) {
  std::vector<std::string> values;
  for (std::size_t row = 0; row < store.RecordCount(); ++row) values.emplace_back(store.RowValue(row, store.FieldByName(field)));
  return values;
}

}  // namespace orb::test
