#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

#include "store/DataPacket.h"
#include "tests/store/StoreTestSupport.h"

namespace orb {
namespace {

using test::Column;

const std::string Prolog = "<?xml version=\"1.0\" standalone=\"yes\"?>\n";
const std::string SimpleMetadata =
    "<METADATA><FIELDS><FIELD attrname=\"Title\" fieldtype=\"string\" WIDTH=\"80\"/>"
    "<FIELD attrname=\"Link\" fieldtype=\"string\" WIDTH=\"256\"/>"
    "<FIELD attrname=\"Description\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\"/></FIELDS>"
    "<PARAMS DEFAULT_ORDER=\"1\" PRIMARY_KEY=\"1\"/></METADATA>";

std::string Packet(const std::string& rowData, const std::string& metadata = SimpleMetadata) {
  return Prolog + "<DATAPACKET Version=\"2.0\">" + metadata + "<ROWDATA>" + rowData + "</ROWDATA></DATAPACKET>";
}

std::string LoadError(TDataSet& store, const std::string& bytes) {
  try {
    store.LoadFromBytes(bytes);
  } catch (const EDatabaseError& error) {
    return error.what();
  }
  return "loaded";
}

class DataPacketTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::DeclareSimple(store);
    store.CreateDataSet();
    store.SetLogChanges(false);
  }
  TDataSet store;
  test::TTempDir folder;
};

TEST_F(DataPacketTest, WritesThePacketFormWithExactlyTheNineReplacements) {
  test::AddRecord(store, "b", "Setup\\run.exe", "line 1\r\nline 2\n\t<tag> & \"quoted\" 'single' caf\xC3\xA9 ]]>");
  test::AddRecord(store, "a");
  EXPECT_EQ(store.SaveToBytes(),
            Packet("<ROW Title=\"a\"/><ROW Title=\"b\" Link=\"Setup&#092;run.exe\" Description=\"line 1&#013;&#010;"
                   "line 2&#010;&#009;&lt;tag&gt; &amp; &quot;quoted&quot; &apos;single&apos; caf\xC3\xA9 ]]&gt;\"/>") +
                "\n");
}

TEST_F(DataPacketTest, RoundTripKeepsEveryCharacterOfEveryValue) {
  std::string memo = "first\r\nsecond\nthird\r\tindented \\ back\\slash <>&\"' \x01 \xE9 end  ";
  test::AddRecord(store, " leading and trailing ", "C:\\Program Files\\x.exe", memo);
  test::AddRecord(store, "", "", "record with an empty key");
  store.SaveToFile(folder / "db.xml");
  TDataSet loaded;
  test::DeclareSimple(loaded);
  loaded.LoadFromFile(folder / "db.xml");
  EXPECT_EQ(Column(loaded, "Title"), (std::vector<std::string>{"", " leading and trailing "}));
  EXPECT_EQ(Column(loaded, "Link")[1], "C:\\Program Files\\x.exe");
  EXPECT_EQ(Column(loaded, "Description")[1], memo);
  EXPECT_EQ(Column(loaded, "Description")[0], "record with an empty key");
  // Saving what was loaded gives the same file.
  EXPECT_EQ(loaded.SaveToBytes(), test::ReadFile(folder / "db.xml"));
}

TEST_F(DataPacketTest, LoadGivesTheCurrentRecordsInIndexOrder) {
  for (const char* title : {"m", "M", "a", "m"}) test::AddRecord(store, title, title);
  store.MoveTo(0);
  store.Delete();
  store.SaveToFile(folder / "db.xml");
  TDataSet loaded;
  test::DeclareSimple(loaded);
  loaded.LoadFromFile(folder / "db.xml");
  EXPECT_EQ(Column(loaded, "Title"), (std::vector<std::string>{"a", "m", "m"}));
  EXPECT_EQ(loaded.RecNo(), 1u);
  EXPECT_EQ(loaded.State(), TDataSetState::Browse);
}

TEST(DataPacketRead, UnorderedRowsAreOrderedByTheIndexKeepingEqualKeysInFileOrder) {
  TDataSet store;
  test::DeclareSimple(store);
  store.LoadFromBytes(Packet("<ROW Title=\"b\" Link=\"1\"/><ROW Title=\"a\"/><ROW Title=\"b\" Link=\"2\"/>"));
  EXPECT_EQ(Column(store, "Title"), (std::vector<std::string>{"a", "b", "b"}));
  EXPECT_EQ(Column(store, "Link"), (std::vector<std::string>{"", "1", "2"}));
}

TEST(DataPacketRead, WithoutDeclaredFieldsThePacketDefinesFieldsAndIndex) {
  // Index given as the 1-based number of the second field; a field of another type is left out.
  std::string metadata =
      "<METADATA><FIELDS><FIELD attrname=\"Id\" fieldtype=\"i4\"/><FIELD attrname=\"Name\" fieldtype=\"string\" WIDTH=\"20\"/>"
      "<FIELD attrname=\"Notes\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\"/></FIELDS>"
      "<PARAMS DEFAULT_ORDER=\"2\" PRIMARY_KEY=\"2\" LCID=\"1033\"/></METADATA>";
  TDataSet store;
  store.LoadFromBytes(Packet("<ROW Id=\"1\" Name=\"z\"/><ROW Id=\"2\" Name=\"y\" Notes=\"n\"/>", metadata));
  ASSERT_EQ(store.FieldCount(), 2u);
  EXPECT_EQ(store.Fields(0).FieldName(), "Name");
  EXPECT_EQ(store.Fields(0).Size(), 20u);
  EXPECT_EQ(store.Fields(1).Kind(), TFieldKind::Memo);
  ASSERT_TRUE(store.IndexDef());
  EXPECT_EQ(store.IndexDef()->Field, "Name");
  EXPECT_EQ(Column(store, "Name"), (std::vector<std::string>{"y", "z"}));
  // Written back, the index is field number 1 of the store's own fields.
  EXPECT_NE(store.SaveToBytes().find("<PARAMS DEFAULT_ORDER=\"1\" PRIMARY_KEY=\"1\"/>"), std::string::npos);
}

TEST(DataPacketRead, RowStatesKeepOnlyCurrentRecords) {
  TDataSet store;
  test::DeclareSimple(store);
  store.LoadFromBytes(Packet("<ROW RowState=\"1\" Title=\"original\"/><ROW RowState=\"2\" Title=\"deleted\"/>"
                             "<ROW RowState=\"4\" Title=\"inserted\"/><ROW RowState=\"8\" Title=\"modified\"/>"
                             "<ROW RowState=\"32\" Title=\"undone\"/><ROW RowState=\"64\" Title=\"details\"/>"
                             "<ROW RowState=\"12\" Title=\"inserted and modified\"/><ROW Title=\"plain\"/>"
                             "<ROW RowState=\"3\" Title=\"original deleted\"/>"));
  EXPECT_EQ(Column(store, "Title"),
            (std::vector<std::string>{"details", "inserted", "inserted and modified", "modified", "plain"}));
}

// The state counts wherever it stands among a row's attributes, only its
// first occurrence counts, one that is no number means none, and detail rows
// are kept or dropped by their own state.
TEST(DataPacketRead, RowStateCountsWhereverItStandsAndInDetailRows) {
  std::string metadata =
      "<METADATA><FIELDS><FIELD attrname=\"Name\" fieldtype=\"string\" WIDTH=\"20\"/>"
      "<FIELD attrname=\"Softwares\" fieldtype=\"nested\"><FIELDS>"
      "<FIELD attrname=\"Title1\" fieldtype=\"string\" WIDTH=\"20\"/></FIELDS><PARAMS/></FIELD></FIELDS>"
      "<PARAMS/></METADATA>";
  TDataSet master;
  TDataSet detail;
  master.AddStringField("Name", 20);
  TField& softwares = master.AddNestedField("Softwares", {TFieldDef::String("Title1", 20)});
  detail.SetDataSetField(&softwares);
  master.LoadFromBytes(Packet("<ROW Name=\"deleted\" RowState=\"2\"/><ROW Name=\"twice\" RowState=\"4\" RowState=\"2\"/>"
                              "<ROW RowState=\"x\" Name=\"no number\"/><ROW Name=\"with details\"><Softwares>"
                              "<ROWSoftwares Title1=\"kept\"/><ROWSoftwares RowState=\"1\" Title1=\"original\"/>"
                              "<ROWSoftwares Title1=\"deleted\" RowState=\"2\"/></Softwares></ROW>",
                              metadata));
  EXPECT_EQ(Column(master, "Name"), (std::vector<std::string>{"twice", "no number", "with details"}));
  master.Locate("Name", "with details");
  EXPECT_EQ(Column(detail, "Title1"), (std::vector<std::string>{"kept"}));
}

TEST(DataPacketRead, ChangeLogRebuildsTheCurrentRecordsAndASaveDropsIt) {
  // Row 2 changes row 1 (only its link is repeated); row 3 is new; row 4 deletes the original of row 5.
  std::string metadata =
      "<METADATA><FIELDS><FIELD attrname=\"Title\" fieldtype=\"string\" WIDTH=\"80\"/>"
      "<FIELD attrname=\"Link\" fieldtype=\"string\" WIDTH=\"256\"/></FIELDS>"
      "<PARAMS CHANGE_LOG=\"2 1 8 3 0 4 4 0 2\"/></METADATA>";
  TDataSet store;
  store.AddStringField("Title", 80);
  store.AddStringField("Link", 256);
  store.LoadFromBytes(Packet("<ROW RowState=\"1\" Title=\"first\" Link=\"old\"/><ROW RowState=\"8\" Link=\"new\"/>"
                             "<ROW RowState=\"4\" Title=\"added\"/><ROW RowState=\"2\" Title=\"gone\"/>"
                             "<ROW Title=\"kept\"/>",
                             metadata));
  EXPECT_EQ(Column(store, "Title"), (std::vector<std::string>{"first", "added", "kept"}));
  EXPECT_EQ(Column(store, "Link"), (std::vector<std::string>{"new", "", ""}));
  std::string saved = store.SaveToBytes();
  EXPECT_EQ(saved.find("CHANGE_LOG"), std::string::npos);
  EXPECT_EQ(saved.find("RowState"), std::string::npos);
}

TEST(DataPacketRead, ChangeLogWithALoopOrNumbersOutOfRangeStillLoads) {
  std::string metadata =
      "<METADATA><FIELDS><FIELD attrname=\"Title\" fieldtype=\"string\" WIDTH=\"80\"/></FIELDS>"
      "<PARAMS CHANGE_LOG=\"1 2 8 2 1 8 9 1 8 -3 x 1\"/></METADATA>";
  TDataSet store;
  store.LoadFromBytes(Packet("<ROW RowState=\"8\" Title=\"a\"/><ROW RowState=\"8\" Title=\"b\"/>", metadata));
  EXPECT_EQ(store.RecordCount(), 2u);
}

TEST(DataPacketRead, AcceptsWhatRealPacketsHold) {
  // A byte-order mark, an encoding declaration, white space everywhere, unknown
  // attributes and parameters, an undeclared field, raw Windows-1252 bytes and
  // character references for line breaks and tabs.
  std::string bytes =
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"windows-1252\" standalone=\"yes\"?>\r\n"
      "<DATAPACKET Version=\"2.0\">\n  <METADATA>\n    <FIELDS>\n"
      "      <FIELD attrname=\"Title\" fieldtype=\"string\" WIDTH=\"80\" required=\"true\"/>\n"
      "      <FIELD attrname=\"Extra\" fieldtype=\"dateTime\"/>\n"
      "      <FIELD attrname=\"Link\" fieldtype=\"string\" WIDTH=\"256\"/>\n"
      "      <FIELD attrname=\"Description\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\" WIDTH=\"8\"/>\n"
      "    </FIELDS>\n    <PARAMS LCID=\"1031\" MD_FIELDLINKS=\"x\"/>\n  </METADATA>\n  <ROWDATA>\n"
      "    <ROW Title=\"Caf\xE9\" Extra=\"20240101\" Description=\"a&#13;&#10;b&#x9;c\"/>\n"
      "    <ROW Title='single &#92; quoted' Link = \"x\" />\n  </ROWDATA>\n</DATAPACKET>\n";
  TDataSet store;
  test::DeclareSimple(store);
  store.LoadFromBytes(bytes);
  EXPECT_EQ(Column(store, "Title"), (std::vector<std::string>{"Caf\xE9", "single \\ quoted"}));
  EXPECT_EQ(Column(store, "Description")[0], "a\r\nb\tc");
  EXPECT_EQ(Column(store, "Link")[1], "x");
}

// Only elements and their attributes hold data: text and CDATA sections
// between or inside rows are no records and no values, yet an unterminated
// CDATA section is still a damaged packet.
TEST(DataPacketRead, TextAndCdataAroundRowsAreNoData) {
  TDataSet store;
  test::DeclareSimple(store);
  store.LoadFromBytes(Packet("text<![CDATA[<ROW Title=\"not a row\"/>]]><ROW Title=\"b\"><![CDATA[x]]>y</ROW>"
                             "<ROW Title=\"a\"/><!-- <ROW Title=\"comment\"/> -->"));
  EXPECT_EQ(Column(store, "Title"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(Column(store, "Description"), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(LoadError(store, Packet("<ROW Title=\"a\"/><![CDATA[open")), "Mismatch in datapacket.");
}

TEST(DataPacketRead, MissingDeclaredFieldFailsAndLeavesTheStoreClosed) {
  TDataSet simple;
  test::DeclareSimple(simple);
  simple.CreateDataSet();
  test::AddRecord(simple, "t");
  TDataSet package;
  TDataSet detail;
  test::DeclarePackage(package, detail);
  EXPECT_EQ(LoadError(package, simple.SaveToBytes()), "Field 'Name' not found");
  EXPECT_FALSE(package.Active());
  EXPECT_FALSE(detail.Active());
  // A closed store that holds no data writes nothing.
  test::TTempDir folder;
  test::WriteFile(folder / "db.xml", "old");
  package.SaveToFile(folder / "db.xml");
  EXPECT_EQ(test::ReadFile(folder / "db.xml"), "old");
}

TEST(DataPacketRead, DamagedPacketsFailWithTheStoresMessages) {
  TDataSet store;
  test::DeclareSimple(store);
  EXPECT_EQ(LoadError(store, "not xml at all"), "Mismatch in datapacket.");
  EXPECT_EQ(LoadError(store, "<OTHER/>"), "Mismatch in datapacket.");
  EXPECT_EQ(LoadError(store, "<DATAPACKET Version=\"2.0\"><ROWDATA/></DATAPACKET>"), "Datapacket contains no meta data.");
  EXPECT_EQ(LoadError(store, Packet("", "<METADATA><FIELDS><FIELD fieldtype=\"string\"/></FIELDS></METADATA>")),
            "Field name can't be null, datapacket may be corrupted");
  EXPECT_EQ(LoadError(store, Packet("<ROW Title=\"unclosed\">")), "Mismatch in datapacket.");
  // No template has a thousand fields; a packet that declares more is refused before any row is read.
  std::string manyFields;
  for (int i = 0; i < 1100; ++i) manyFields += "<FIELD attrname=\"F" + std::to_string(i) + "\" fieldtype=\"string\" WIDTH=\"9\"/>";
  TDataSet undeclared;
  EXPECT_EQ(LoadError(undeclared, Packet("<ROW/>", "<METADATA><FIELDS>" + manyFields + "</FIELDS></METADATA>")),
            "Mismatch in datapacket.");
  EXPECT_FALSE(store.Active());
  try {
    store.LoadFromFile(std::string("/nonexistent-orb/db.xml"));
    FAIL();
  } catch (const EDatabaseError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot open file \"" + std::string("/nonexistent-orb/db.xml") + "\". No such file or directory");
  }
}

TEST_F(DataPacketTest, SaveIntoAMissingFolderFailsAndCreatesNothing) {
  test::AddRecord(store, "t");
  std::string path = folder / "no such folder/db.xml";
  try {
    store.SaveToFile(path);
    FAIL();
  } catch (const EDatabaseError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file \"" + path + "\". No such file or directory");
  }
  EXPECT_EQ(store.RecordCount(), 1u);
  EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

// A write that fails half-way (here: the file-size limit, as a full disk
// would) must leave the old file whole and no temporary file behind.
TEST_F(DataPacketTest, ASaveThatFailsLeavesTheOldFileIntact) {
  test::WriteFile(folder / "db.xml", "the old catalogue");
  for (int i = 0; i < 200; ++i) test::AddRecord(store, "title " + std::to_string(i), "", std::string(100, 'd'));
  struct rlimit saved {};
  getrlimit(RLIMIT_FSIZE, &saved);
  auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limited = saved;
  limited.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &limited);
  std::string message;
  try {
    store.SaveToFile(folder / "db.xml");
  } catch (const EDatabaseError& error) {
    message = error.what();
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_EQ(message.rfind("Cannot create file \"" + (folder / "db.xml") + "\". ", 0), 0u) << message;
  EXPECT_EQ(test::ReadFile(folder / "db.xml"), "the old catalogue");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
  // The same save without the limit replaces the file.
  store.SaveToFile(folder / "db.xml");
  EXPECT_EQ(test::ReadFile(folder / "db.xml"), store.SaveToBytes());
}

}  // namespace
}  // namespace orb
