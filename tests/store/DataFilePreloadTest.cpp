#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>

#include "store/DataFilePreload.h"
#include "tests/store/StoreTestSupport.h"

namespace orb {
namespace {

const std::string Metadata =
    "<METADATA><FIELDS><FIELD attrname=\"Title\" fieldtype=\"string\" WIDTH=\"80\"/>"
    "<FIELD attrname=\"Link\" fieldtype=\"string\" WIDTH=\"256\"/>"
    "<FIELD attrname=\"Notes\" fieldtype=\"i4\"/>"
    "<FIELD attrname=\"Description\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\"/></FIELDS>"
    "<PARAMS DEFAULT_ORDER=\"1\"/></METADATA>";

std::string Packet(const std::string& rowData) {
  return "<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\">" + Metadata + "<ROWDATA>" + rowData +
         "</ROWDATA></DATAPACKET>";
}

const std::string Rows = Packet(
    "<ROW Title=\"b\" Link=\"Setup&#092;b.exe\" Notes=\"1\" Description=\"two&#013;&#010;lines\"/>"
    "<ROW RowState=\"2\" Title=\"deleted\"/><ROW Title=\"a\" Link=\"a.txt\"/>");
const std::string OtherRows = Packet("<ROW Title=\"other\"/>");

using TDeclare = std::function<void(TDataSet&)>;

// What a store holds after a load (its packet), or why the load failed.
std::string Outcome(TDataSet& store, const std::function<void()>& load) {
  try {
    load();
  } catch (const EDatabaseError& error) {
    return std::string("failed: ") + error.what() + (store.Active() ? " (open)" : " (closed)");
  }
  return store.SaveToBytes();
}

// The data file is a pipe while it is preloaded: writing the bytes into it
// returns once the preload has read them. The pipe is then replaced by a
// plain file with other bytes, so a load shows where its records came from.
class DataFilePreloads : public ::testing::Test {
 protected:
  void TearDown() override { DropDataFilePreloads(); }

  std::string PreloadThroughPipe(const std::string& bytes, const std::string& after) {
    std::string file = folder / "db.xml";
    EXPECT_EQ(mkfifo(file.c_str(), 0600), 0);
    PreloadDataFile(file);
    test::WriteFile(file, bytes);
    std::filesystem::remove(file);
    test::WriteFile(file, after);
    return file;
  }

  // What a store as Prepare leaves it gets from the bytes, or from the file.
  static std::string DirectOutcome(const TDeclare& declare, const std::string& bytes) {
    TDataSet store;
    Prepare(store, declare);
    return Outcome(store, [&] { store.LoadFromBytes(bytes); });
  }
  static std::string FileOutcome(const TDeclare& declare, const std::string& file) {
    TDataSet store;
    Prepare(store, declare);
    return Outcome(store, [&] { store.LoadFromFile(file); });
  }
  // Declares the fields; a store with fields is opened with one record.
  static void Prepare(TDataSet& store, const TDeclare& declare) {
    declare(store);
    if (store.FieldCount() == 0) return;
    store.CreateDataSet();
    store.Append();
    store.Fields(0).SetAsString("before");
    store.Post();
  }

  test::TTempDir folder;
};

TEST_F(DataFilePreloads, ALoadTakesThePreloadedFileOnceThenReadsTheFile) {
  std::string file = PreloadThroughPipe(Rows, OtherRows);
  EXPECT_EQ(FileOutcome(test::DeclareSimple, file), DirectOutcome(test::DeclareSimple, Rows));
  EXPECT_EQ(FileOutcome(test::DeclareSimple, file), DirectOutcome(test::DeclareSimple, OtherRows));
}

// The records are read ahead with the packet's own fields; a store that
// declares other ones must get what its own read gives.
TEST_F(DataFilePreloads, EveryStoreGetsTheRecordsOfItsOwnRead) {
  const std::vector<std::pair<const char*, TDeclare>> stores = {
      {"the packet's fields", [](TDataSet& store) {
         store.AddStringField("Title", 80);
         store.AddStringField("Link", 256);
         store.AddMemoField("Description");
       }},
      {"the Simple template's, with an index", test::DeclareSimple},
      {"other widths", [](TDataSet& store) {
         store.AddStringField("Title", 2);
         store.AddStringField("Link", 256);
         store.AddMemoField("Description");
       }},
      {"some fields, in another order", [](TDataSet& store) {
         store.AddMemoField("description");
         store.AddStringField("Title", 80);
       }},
      {"a field the packet lacks", [](TDataSet& store) { store.AddStringField("Missing", 10); }},
      {"none", [](TDataSet&) {}},
  };
  for (const auto& [name, declare] : stores) {
    SCOPED_TRACE(name);
    std::string file = PreloadThroughPipe(Rows, OtherRows);
    EXPECT_EQ(FileOutcome(declare, file), DirectOutcome(declare, Rows));
    std::filesystem::remove(file);
  }
}

TEST_F(DataFilePreloads, TheFailureOfAPreloadIsTheFailureOfTheLoad) {
  std::string missing = folder / "missing.xml";
  std::string direct = FileOutcome(test::DeclareSimple, missing);
  EXPECT_NE(direct.find("Cannot open file"), std::string::npos);
  EXPECT_NE(direct.find("(open)"), std::string::npos);
  PreloadDataFile(missing);
  EXPECT_EQ(FileOutcome(test::DeclareSimple, missing), direct);

  const std::string broken = "<DATAPACKET><METADATA>";
  std::string file = PreloadThroughPipe(broken, OtherRows);
  EXPECT_EQ(FileOutcome(test::DeclareSimple, file), DirectOutcome(test::DeclareSimple, broken));
  EXPECT_EQ(FileOutcome(test::DeclareSimple, file), DirectOutcome(test::DeclareSimple, OtherRows));
}

TEST_F(DataFilePreloads, ADroppedPreloadIsNotTaken) {
  std::string file = PreloadThroughPipe(Rows, OtherRows);
  DropDataFilePreloads();
  EXPECT_EQ(FileOutcome(test::DeclareSimple, file), DirectOutcome(test::DeclareSimple, OtherRows));
}

}  // namespace
}  // namespace orb
