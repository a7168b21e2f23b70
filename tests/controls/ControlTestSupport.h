// A Simple-shaped store with a data source, and a shell that records what it
// is asked to open, for the tests of the controls.
#pragma once

#include <string>
#include <vector>

#include "framework/LowAPI_.h"
#include "platform/ShellOpen.h"
#include "store/DataSet.h"
#include "store/DataSource.h"

namespace orb::test {

struct TRecordingShell : IShellOpener {
  TRecordingShell() { SetShellOpener(this); }
  ~TRecordingShell() override { SetShellOpener(nullptr); }
  void Open(const std::string& target) override { opened.push_back(target); }
  std::vector<std::string> opened;
};

// Title (80), Link (256) and Description (memo), ordered by Title.
struct TSimpleStore {
  TSimpleStore() {
    Data.AddStringField("Title", 80);
    Data.AddStringField("Link", 256);
    Data.AddMemoField("Description");
    Data.SetIndex({"TitleIndex", "Title", true});
    Data.CreateDataSet();
    Source.SetDataSet(&Data);
  }
  void Add(const std::string& title, const std::string& link = "", const std::string& description = "") {
    Data.Append();
    Data.FieldByName("Title").SetAsString(title);
    Data.FieldByName("Link").SetAsString(link);
    Data.FieldByName("Description").SetAsString(description);
    Data.Post();
  }
  std::string Current(const std::string& field) const { return std::string(Data.FieldByName(field).AsString()); }
  std::vector<std::string> Titles() const {
    std::vector<std::string> titles;
    for (std::size_t row = 0; row < Data.RecordCount(); ++row)
      titles.emplace_back(Data.RowValue(row, Data.FieldByName("Title")));
    return titles;
  }

  TDataSet Data;
  TDataSource Source;
};

}  // namespace orb::test
