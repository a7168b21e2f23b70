// orbdeck data: a data packet as JSON and back.
//
// export prints the current records of a packet, in index order, as an array
// of objects holding every field in declaration order, nested fields as
// arrays of such objects. import writes a packet from records in that form
// and a declaration of the store's fields.
#include <iostream>
#include <memory>

#include <nlohmann/json.hpp>

#include "store/DataPacket.h"
#include "store/DataSet.h"
#include "text/TextBytes.h"
#include "tools/orbdeck/Commands.h"

namespace orb {

namespace {

using TJson = nlohmann::ordered_json;

[[noreturn]] void Fail(const std::string& message) { throw EDatabaseError(message); }

// A store with one detail store per nested field, so every level can be walked and filled.
struct TStoreTree {
  TDataSet Store;
  std::vector<std::pair<TField*, std::unique_ptr<TStoreTree>>> Details;

  // Opens a detail store on each nested field, at every level.
  void AttachDetails() {
    for (std::size_t i = 0; i < Store.FieldCount(); ++i) {
      TField& field = Store.Fields(i);
      if (field.Kind() != TFieldKind::Nested) continue;
      auto detail = std::make_unique<TStoreTree>();
      detail->Store.SetDataSetField(&field);
      detail->AttachDetails();
      Details.emplace_back(&field, std::move(detail));
    }
  }

  TStoreTree* DetailOf(const TField& field) const {
    for (const auto& [nested, detail] : Details)
      if (nested == &field) return detail.get();
    return nullptr;
  }
};

// ---- export

TJson RecordsOf(TStoreTree& tree) {
  TJson records = TJson::array();
  TDataSet& store = tree.Store;
  for (store.First(); !store.Eof(); store.Next()) {
    TJson record = TJson::object();
    for (std::size_t i = 0; i < store.FieldCount(); ++i) {
      TField& field = store.Fields(i);
      if (field.Kind() == TFieldKind::Nested) record[field.FieldName()] = RecordsOf(*tree.DetailOf(field));
      else record[field.FieldName()] = TextAsUtf8(field.AsString());
    }
    records.push_back(std::move(record));
  }
  return records;
}

int Export(const TArguments& arguments) {
  if (arguments.size() != 2) throw EUsage();
  TStoreTree tree;
  tree.Store.LoadFromFile(arguments[1]);
  tree.AttachDetails();
  std::cout << RecordsOf(tree).dump(2) << '\n';
  return std::cout.flush() ? 0 : 1;
}

// ---- import

TJson ParseJsonFile(const std::string& path) {
  std::string bytes = ReadWholeFile(path);
  try {
    return TJson::parse(bytes);
  } catch (const TJson::parse_error& error) {
    Fail(path + ": " + error.what());
  }
}

std::string TextMember(const TJson& object, const char* key, const std::string& context) {
  auto it = object.find(key);
  if (it == object.end() || !it->is_string()) Fail(context + ": \"" + key + "\" must be text");
  return it->get<std::string>();
}

std::vector<TFieldDef> ReadFieldDefs(const TJson& fields, const std::string& context) {
  if (!fields.is_array()) Fail(context + ": \"fields\" must be an array");
  std::vector<TFieldDef> defs;
  for (const TJson& field : fields) {
    if (!field.is_object()) Fail(context + ": each field must be an object");
    std::string name = TextMember(field, "name", context);
    std::string type = TextMember(field, "type", context);
    if (type == "string") {
      auto size = field.find("size");
      if (size == field.end() || !size->is_number_unsigned() || size->get<std::size_t>() == 0)
        Fail(context + ": string field '" + name + "' needs a positive \"size\"");
      defs.push_back(TFieldDef::String(name, size->get<std::size_t>()));
    } else if (type == "memo") {
      defs.push_back(TFieldDef::Memo(name));
    } else if (type == "nested") {
      auto children = field.find("fields");
      if (children == field.end()) Fail(context + ": nested field '" + name + "' needs \"fields\"");
      defs.push_back(TFieldDef::Nested(name, ReadFieldDefs(*children, context)));
    } else {
      Fail(context + ": field '" + name + "' has type '" + type + "'; known are string, memo and nested");
    }
  }
  return defs;
}

void DeclareStore(TDataSet& store, const TJson& declaration, const std::string& context) {
  if (!declaration.is_object() || !declaration.contains("fields")) Fail(context + ": expected an object with \"fields\"");
  for (TFieldDef& def : ReadFieldDefs(declaration["fields"], context)) store.AddField(std::move(def));
  auto index = declaration.find("index");
  if (index == declaration.end() || index->is_null()) return;
  if (!index->is_object()) Fail(context + ": \"index\" must be an object");
  std::string field = TextMember(*index, "field", context);
  std::string name = index->contains("name") ? TextMember(*index, "name", context) : field + "Index";
  store.SetIndex({name, field, true});
}

std::string ValueText(const TJson& value, const std::string& fieldName) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_null()) return {};
  if (value.is_number() || value.is_boolean()) return value.dump();
  Fail("Value of field '" + fieldName + "' is not text");
}

void AddRecords(TStoreTree& tree, const TJson& records) {
  if (!records.is_array()) Fail("Records must be an array of objects");
  TDataSet& store = tree.Store;
  for (const TJson& record : records) {
    if (!record.is_object()) Fail("Records must be an array of objects");
    store.Append();
    for (const auto& [name, value] : record.items()) {
      TField& field = store.FieldByName(name);
      if (field.Kind() == TFieldKind::Nested) AddRecords(*tree.DetailOf(field), value);
      else field.SetAsString(ValueText(value, name));
    }
    store.Post();
  }
}

int Import(const TArguments& arguments) {
  std::string fieldsPath;
  std::vector<std::string> files;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--fields" && i + 1 < arguments.size()) fieldsPath = arguments[++i];
    else if (arguments[i].starts_with("--")) throw EUsage();
    else files.push_back(arguments[i]);
  }
  if (fieldsPath.empty() || files.size() != 2) throw EUsage();
  TStoreTree tree;
  DeclareStore(tree.Store, ParseJsonFile(fieldsPath), fieldsPath);
  TJson records = ParseJsonFile(files[0]);
  tree.Store.CreateDataSet();
  tree.Store.SetLogChanges(false);
  tree.AttachDetails();
  AddRecords(tree, records);
  tree.Store.SaveToFile(files[1]);
  return 0;
}

}  // namespace

int RunDataCommand(const TArguments& arguments) {
  if (arguments.empty()) throw EUsage();
  if (arguments[0] == "export") return Export(arguments);
  if (arguments[0] == "import") return Import(arguments);
  throw EUsage();
}

}  // namespace orb
