// The record store: declared fields, an optional index, the records and a
// cursor with the browse, edit and insert states, under the names of the
// dataset vocabulary the templates use.
//
// A store can also be the detail store of a nested field of another store
// (SetDataSetField): it then shows the nested records of its master's current
// record, and editing it edits the master record.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/RecordList.h"
#include "store/StoreTypes.h"

namespace orb {

class TDataSet;
class IDataSetObserver;
struct TDataPacket;
struct TRowChange;

enum class TDataSetState { Inactive, Browse, Edit, Insert };

// A field of a store: reads and writes its value in the current record.
// Fields live as long as their store; controls hold plain references.
class TField {
 public:
  TField(TDataSet& dataSet, std::size_t index) : dataSet_(dataSet), index_(index) {}
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  TDataSet& DataSet() const { return dataSet_; }
  std::size_t Index() const { return index_; }
  const std::string& FieldName() const;
  TFieldKind Kind() const;
  std::size_t Size() const;

  // The value in the current record ("" when there is none); valid until the record changes.
  std::string_view AsString() const;
  // Sets the value in the record being edited or inserted; a string longer
  // than the field's size is cut.
  void SetAsString(std::string_view value);

 private:
  TDataSet& dataSet_;
  std::size_t index_;
};

class TDataSet {
 public:
  using TEvent = std::function<void(TDataSet&)>;

  TDataSet();
  ~TDataSet();
  TDataSet(const TDataSet&) = delete;
  TDataSet& operator=(const TDataSet&) = delete;

  // ---- Declaration (while the store is closed)
  TField& AddField(TFieldDef def);
  TField& AddStringField(std::string name, std::size_t size) { return AddField(TFieldDef::String(std::move(name), size)); }
  TField& AddMemoField(std::string name) { return AddField(TFieldDef::Memo(std::move(name))); }
  TField& AddNestedField(std::string name, std::vector<TFieldDef> children) {
    return AddField(TFieldDef::Nested(std::move(name), std::move(children)));
  }
  // Declares the index and makes it the active one.
  void SetIndex(TIndexDef index);
  // Makes this store the detail store of a nested field of another store.
  void SetDataSetField(TField* nestedField);

  const std::vector<TFieldDef>& FieldDefs() const { return defs_; }
  const std::optional<TIndexDef>& IndexDef() const { return index_; }
  std::size_t FieldCount() const { return fields_.size(); }
  TField& Fields(std::size_t index) const { return *fields_[index]; }
  TField& FieldByName(std::string_view name) const;
  TField* FindField(std::string_view name) const;

  // ---- Opening and files
  void CreateDataSet();
  void LoadFromFile(const std::string& path);
  // Loads a data packet held in memory, as LoadFromFile does with the bytes of a file.
  void LoadFromBytes(std::string bytes);
  void SaveToFile(const std::string& path) const;
  // The data packet of the current records, as SaveToFile writes it.
  std::string SaveToBytes() const;
  void Open();
  void Close();
  bool Active() const { return state_ != TDataSetState::Inactive; }
  // The store keeps no change log: every post changes the records in place
  // and a save writes only the current records, so there is nothing to switch.
  void SetLogChanges(bool /*value*/) {}

  // ---- Cursor
  TDataSetState State() const { return state_; }
  void Insert();
  void Append();
  void Edit();
  void Post();
  void Cancel();
  void Delete();
  // Posts a pending change, or drops a pending edit or insert that changed nothing.
  void CheckBrowseMode();
  bool Modified() const { return modified_; }

  bool IsEmpty() const { return RecordCount() == 0; }
  std::size_t RecordCount() const;
  // 1-based number of the current record; 0 when there is none or while inserting.
  std::size_t RecNo() const;
  void First();
  void Last();
  void Next();
  void Prior();
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  // Makes the record at the 0-based row (in index order) current.
  void MoveTo(std::size_t row);
  // 0-based row of the current record, or RecordCount() when there is none.
  std::size_t CurrentRow() const;
  // Makes the first record whose field equals `value` current; when none
  // matches, the first record becomes current and the result is false.
  bool Locate(std::string_view fieldName, std::string_view value);
  // The 0-based row of the first stored record whose field equals `value`,
  // or RecordCount() when none does; the cursor stays where it is.
  std::size_t FindRow(std::string_view fieldName, std::string_view value) const;
  // A value of any row, in index order, for list views over the store.
  std::string_view RowValue(std::size_t row, const TField& field) const;

  // ---- Events and observers
  TEvent BeforePost;
  TEvent AfterPost;
  void AddObserver(IDataSetObserver* observer);
  void RemoveObserver(IDataSetObserver* observer);

 private:
  friend class TField;

  void CheckActive() const;
  void CheckEditing() const;
  TRecordList* Rows() const;
  TRecord* CurrentStored() const;
  TRecord* ActiveRecord() const;
  TRecordList* NestedRowsOf(std::size_t nestedField) const;
  std::size_t NestedSlot(std::size_t field) const;
  std::unique_ptr<TRecord> NewRecord() const;
  void BeginInsert(bool append);
  void PostPending();
  void SetState(TDataSetState state);
  void ClampCursor();
  void BuildFields(const std::vector<TFieldDef>& defs);
  // Replaces the records by the packet that `read` makes for the declared fields.
  void LoadPacket(const std::function<TDataPacket(const std::vector<TFieldDef>&)>& read);
  std::size_t KeyFieldOfIndex() const;
  void OrderRecords(std::vector<std::unique_ptr<TRecord>> records);
  void MasterChanged();
  bool AttachToMasterField();
  void NotifyActive();
  void NotifyMoved();
  void NotifyData();
  void NotifyState();
  void NotifyField(const TField& field);
  void NotifyUpdateData();
  template <typename F>
  void ChangeRows(const TRowChange& change, F&& changeRows);

  std::vector<TFieldDef> defs_;
  std::vector<std::unique_ptr<TField>> fields_;
  bool fieldsDeclared_ = false;
  std::optional<TIndexDef> index_;
  std::size_t keyField_ = TRecordList::NoKey;

  TRecordList records_;
  bool hasData_ = false;
  TDataSetState state_ = TDataSetState::Inactive;
  std::size_t row_ = 0;
  bool eof_ = true;
  bool bof_ = true;
  std::unique_ptr<TRecord> buffer_;  // the record being edited or inserted
  std::size_t insertRow_ = 0;         // where an insert goes without an index
  bool modified_ = false;

  bool indexFromPacket_ = false;  // restored from the last packet, not declared

  TDataSet* master_ = nullptr;
  std::string masterFieldName_;
  std::size_t masterField_ = 0;
  std::vector<TDataSet*> details_;
  std::vector<IDataSetObserver*> observers_;
};

}  // namespace orb
