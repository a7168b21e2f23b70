// Any bytes as a data packet: the store loads them or fails with a message.
// What loads must save and load again to the same packet.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "store/DataSet.h"

namespace {

using namespace orb;

// Reads every value of every record, detail records included.
void Walk(TDataSet& store, TDataSet* detail) {
  for (store.First(); !store.Eof(); store.Next()) {
    for (std::size_t i = 0; i < store.FieldCount(); ++i) (void)store.Fields(i).AsString();
    if (detail)
      for (detail->First(); !detail->Eof(); detail->Next()) (void)detail->Fields(0).AsString();
  }
}

void LoadAsPacketDefines(const std::string& bytes) {
  TDataSet store;
  try {
    store.LoadFromBytes(bytes);
  } catch (const EDatabaseError&) {
    return;
  }
  Walk(store, nullptr);
  std::string saved = store.SaveToBytes();
  TDataSet again;
  again.LoadFromBytes(saved);  // must not fail: it is our own packet
  if (again.SaveToBytes() != saved) std::abort();
}

void LoadAsPackageSoftware(const std::string& bytes) {
  TDataSet master;
  TDataSet detail;
  master.AddStringField("Name", 120);
  master.AddMemoField("Description");
  TField& softwares = master.AddNestedField("Softwares", {TFieldDef::String("Title1", 120), TFieldDef::String("Link1", 300)});
  master.SetIndex({"NameIndex", "Name", true});
  detail.SetDataSetField(&softwares);
  try {
    master.LoadFromBytes(bytes);
  } catch (const EDatabaseError&) {
    return;
  }
  Walk(master, &detail);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  LoadAsPacketDefines(bytes);
  LoadAsPackageSoftware(bytes);
  return 0;
}
