#include "store/DataSet.h"

#include <algorithm>
#include <cctype>

#include "store/DataFilePreload.h"
#include "store/DataPacket.h"
#include "store/DataSource.h"
#include "text/TextBytes.h"

namespace orb {

namespace {

[[noreturn]] void Fail(const std::string& message) { throw EDatabaseError(message); }

// A field name is an attribute name in the packet, so it must be an XML name.
bool IsXmlName(std::string_view name) {
  if (name.empty()) return false;
  auto first = static_cast<unsigned char>(name[0]);
  if (first == '-' || first == '.' || (first >= '0' && first <= '9')) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 || std::isalnum(byte) || byte == '_' || byte == '-' || byte == '.' || byte == ':';
  });
}

void CheckFieldDef(const TFieldDef& def) {
  if (def.Name.empty()) Fail("Field name can't be null, datapacket may be corrupted");
  if (!IsXmlName(def.Name) || def.Name == "RowState") Fail("Invalid field name '" + def.Name + "'");
  for (std::size_t i = 0; i < def.Children.size(); ++i) {
    CheckFieldDef(def.Children[i]);
    if (FindFieldDef(def.Children, def.Children[i].Name) != i) Fail("Duplicate field name '" + def.Children[i].Name + "'");
  }
}

bool Editing(TDataSetState state) { return state == TDataSetState::Edit || state == TDataSetState::Insert; }

}  // namespace

// ---- TField

const std::string& TField::FieldName() const { return dataSet_.defs_[index_].Name; }
TFieldKind TField::Kind() const { return dataSet_.defs_[index_].Kind; }
std::size_t TField::Size() const { return dataSet_.defs_[index_].Size; }

std::string_view TField::AsString() const {
  const TRecord* record = dataSet_.ActiveRecord();
  return record ? record->Values[index_] : std::string_view();
}

void TField::SetAsString(std::string_view value) {
  dataSet_.CheckEditing();
  const TFieldDef& def = dataSet_.defs_[index_];
  if (def.Kind == TFieldKind::Nested) Fail("Trying to modify read-only field.");
  // Values are C strings in the packet: a zero byte would end the file's text there.
  value = value.substr(0, value.find('\0'));
  if (def.Kind == TFieldKind::String && def.Size > 0) value = CutToCharacters(value, def.Size);
  dataSet_.buffer_->Values.Set(index_, value);
  dataSet_.modified_ = true;
  dataSet_.NotifyField(*this);
}

// ---- Lifetime and declaration

TDataSet::TDataSet() = default;

TDataSet::~TDataSet() {
  // A detail store without its master has no records to show: it closes.
  for (TDataSet* detail : std::vector<TDataSet*>(details_)) {
    detail->master_ = nullptr;
    detail->buffer_.reset();
    if (detail->Active()) {
      detail->state_ = TDataSetState::Inactive;
      detail->NotifyActive();
    }
  }
  if (master_) std::erase(master_->details_, this);
  std::vector<IDataSetObserver*> observers = observers_;
  for (IDataSetObserver* observer : observers) observer->DataSetDestroyed();
}

TField& TDataSet::AddField(TFieldDef def) {
  if (Active()) Fail("Cannot perform this operation on an open dataset");
  if (master_) Fail("Cannot perform this operation on a nested dataset");
  CheckFieldDef(def);
  if (FindField(def.Name)) Fail("Duplicate field name '" + def.Name + "'");
  if (!fieldsDeclared_) {
    // Fields that a packet defined give way to declared ones.
    defs_.clear();
    fields_.clear();
    fieldsDeclared_ = true;
  }
  defs_.push_back(std::move(def));
  fields_.push_back(std::make_unique<TField>(*this, fields_.size()));
  return *fields_.back();
}

void TDataSet::SetIndex(TIndexDef index) {
  if (Active()) CheckBrowseMode();
  std::optional<TIndexDef> previous = std::move(index_);
  index_ = std::move(index);
  indexFromPacket_ = false;
  if (!Active()) return;
  try {
    keyField_ = KeyFieldOfIndex();
  } catch (...) {
    index_ = std::move(previous);
    throw;
  }
  ChangeRows({TRowChange::Reset}, [&] { OrderRecords(records_.TakeAll()); });
  First();
}

void TDataSet::SetDataSetField(TField* nestedField) {
  if (Active()) Fail("Cannot perform this operation on an open dataset");
  if (master_) std::erase(master_->details_, this);
  master_ = nullptr;
  if (!nestedField) return;
  if (nestedField->Kind() != TFieldKind::Nested) Fail("Field '" + nestedField->FieldName() + "' is not a nested table");
  master_ = &nestedField->DataSet();
  masterFieldName_ = nestedField->FieldName();
  masterField_ = nestedField->Index();
  master_->details_.push_back(this);
  fieldsDeclared_ = false;
  AttachToMasterField();
  if (master_->Active()) MasterChanged();
}

// Takes the detail fields from the master's nested field, keeping the field
// objects when they did not change; false when the master lacks the field.
bool TDataSet::AttachToMasterField() {
  masterField_ = FindFieldDef(master_->defs_, masterFieldName_);
  if (masterField_ == std::string::npos || master_->defs_[masterField_].Kind != TFieldKind::Nested) return false;
  const std::vector<TFieldDef>& children = master_->defs_[masterField_].Children;
  if (children != defs_) BuildFields(children);
  return true;
}

void TDataSet::BuildFields(const std::vector<TFieldDef>& defs) {
  defs_ = defs;
  fields_.clear();
  for (std::size_t i = 0; i < defs_.size(); ++i) fields_.push_back(std::make_unique<TField>(*this, i));
}

TField* TDataSet::FindField(std::string_view name) const {
  std::size_t index = FindFieldDef(defs_, name);
  return index == std::string::npos ? nullptr : fields_[index].get();
}

TField& TDataSet::FieldByName(std::string_view name) const {
  TField* field = FindField(name);
  if (!field) Fail("Field '" + std::string(name) + "' not found");
  return *field;
}

// ---- Opening and files

// The field the index orders by, or NoKey without an index.
std::size_t TDataSet::KeyFieldOfIndex() const {
  if (!index_) return TRecordList::NoKey;
  std::size_t field = FindFieldDef(defs_, index_->Field);
  if (field == std::string::npos || defs_[field].Kind == TFieldKind::Nested) Fail("Field '" + index_->Field + "' not found");
  return field;
}

// Makes `records` the store's records, in index order when it has an index.
void TDataSet::OrderRecords(std::vector<std::unique_ptr<TRecord>> records) {
  records_.Clear();
  records_.SetKeyField(keyField_);
  records_.Assign(std::move(records));
}

void TDataSet::CreateDataSet() {
  if (master_) Fail("Cannot perform this operation on a nested dataset");
  Close();
  keyField_ = KeyFieldOfIndex();
  OrderRecords({});
  hasData_ = true;
  Open();
}

void TDataSet::LoadFromFile(const std::string& path) {
  std::optional<TParsedPacket> parsed = TakePreloadedDataFile(path);
  if (!parsed) parsed.emplace(ReadFileBuffer(path));
  LoadPacket([&](const std::vector<TFieldDef>& declared) { return ReadDataPacket(*parsed, declared); });
}

void TDataSet::LoadFromBytes(std::string bytes) {
  LoadPacket([&](const std::vector<TFieldDef>& declared) { return ReadDataPacket(bytes.data(), bytes.size(), declared); });
}

void TDataSet::LoadPacket(const std::function<TDataPacket(const std::vector<TFieldDef>&)>& read) {
  if (master_) Fail("Cannot perform this operation on a nested dataset");
  Close();
  records_.Clear();
  hasData_ = false;
  if (indexFromPacket_) index_.reset();
  indexFromPacket_ = false;
  TDataPacket packet = read(fieldsDeclared_ ? defs_ : std::vector<TFieldDef>());
  if (!fieldsDeclared_ && packet.Fields != defs_) BuildFields(packet.Fields);
  if (!index_ && packet.Index) {
    index_ = std::move(packet.Index);
    indexFromPacket_ = true;
  }
  keyField_ = KeyFieldOfIndex();
  OrderRecords(std::move(packet.Records));
  hasData_ = true;
  Open();
}

void TDataSet::SaveToFile(const std::string& path) const {
  if (master_) Fail("Cannot perform this operation on a nested dataset");
  // A store that never held data (a load that failed) leaves the file alone.
  if (!hasData_) return;
  ReplaceFile(path, [this](const TPacketSink& sink) { WriteDataPacket(defs_, index_, records_, sink); });
}

std::string TDataSet::SaveToBytes() const {
  std::string bytes;
  WriteDataPacket(defs_, index_, records_, [&](std::string_view piece) { bytes += piece; });
  return bytes;
}

void TDataSet::Open() {
  if (Active()) return;
  if (master_) Fail("Cannot perform this operation on a nested dataset");
  if (!hasData_) Fail("Missing data provider or data packet.");
  state_ = TDataSetState::Browse;
  row_ = 0;
  bof_ = true;
  eof_ = IsEmpty();
  NotifyActive();
}

void TDataSet::Close() {
  if (!Active()) return;
  for (TDataSet* detail : details_) detail->Cancel();
  buffer_.reset();
  modified_ = false;
  state_ = TDataSetState::Inactive;
  NotifyActive();
}

// ---- Records

TRecordList* TDataSet::Rows() const {
  if (!master_) return const_cast<TRecordList*>(&records_);
  return master_->Active() ? master_->NestedRowsOf(masterField_) : nullptr;
}

TRecord* TDataSet::CurrentStored() const {
  TRecordList* rows = Rows();
  return rows && row_ < rows->Size() ? &rows->At(row_) : nullptr;
}

TRecord* TDataSet::ActiveRecord() const { return Editing(state_) ? buffer_.get() : CurrentStored(); }

std::size_t TDataSet::NestedSlot(std::size_t field) const {
  std::size_t slot = 0;
  for (std::size_t i = 0; i < field; ++i) slot += defs_[i].Kind == TFieldKind::Nested ? 1 : 0;
  return slot;
}

TRecordList* TDataSet::NestedRowsOf(std::size_t nestedField) const {
  TRecord* record = ActiveRecord();
  return record ? &record->NestedList(NestedSlot(nestedField)) : nullptr;
}

std::unique_ptr<TRecord> TDataSet::NewRecord() const {
  auto record = std::make_unique<TRecord>();
  record->Values = TRecordValues(defs_.size());
  return record;
}

std::size_t TDataSet::RecordCount() const {
  TRecordList* rows = Active() ? Rows() : nullptr;
  return rows ? rows->Size() : 0;
}

// ---- Cursor states

void TDataSet::CheckActive() const {
  if (!Active()) Fail("Cannot perform this operation on a closed dataset");
}

void TDataSet::CheckEditing() const {
  if (!Editing(state_)) Fail("Dataset not in edit or insert mode");
}

void TDataSet::SetState(TDataSetState state) {
  if (state_ == state) return;
  state_ = state;
  NotifyState();
}

void TDataSet::CheckBrowseMode() {
  if (!Editing(state_)) return;
  for (TDataSet* detail : details_) detail->CheckBrowseMode();
  // Input that a control holds counts as a change of the record.
  NotifyUpdateData();
  if (modified_) Post();
  else Cancel();
}

void TDataSet::Insert() { BeginInsert(false); }
void TDataSet::Append() { BeginInsert(true); }

void TDataSet::BeginInsert(bool append) {
  CheckActive();
  CheckBrowseMode();
  // A new detail record changes the master record, which must be editing.
  if (master_) master_->Edit();
  std::size_t count = RecordCount();
  insertRow_ = append ? count : std::min(row_, count);
  buffer_ = NewRecord();
  modified_ = false;
  SetState(TDataSetState::Insert);
  NotifyData();
}

void TDataSet::Edit() {
  CheckActive();
  if (Editing(state_)) return;
  if (master_) master_->Edit();
  if (IsEmpty()) {
    BeginInsert(false);
    return;
  }
  buffer_ = CurrentStored()->Clone();
  modified_ = false;
  SetState(TDataSetState::Edit);
}

void TDataSet::Post() {
  CheckActive();
  CheckEditing();
  for (TDataSet* detail : details_) detail->CheckBrowseMode();
  NotifyUpdateData();
  if (BeforePost) BeforePost(*this);
  if (!Editing(state_)) return;  // the handler cancelled
  PostPending();
  SetState(TDataSetState::Browse);
  NotifyData();
  if (AfterPost) AfterPost(*this);
}

void TDataSet::PostPending() {
  TRecordList* rows = Rows();
  if (!rows) Fail("No current record.");
  if (state_ == TDataSetState::Insert) {
    std::size_t row = keyField_ != TRecordList::NoKey ? rows->UpperBound(buffer_->Values[keyField_])
                                                      : std::min(insertRow_, rows->Size());
    ChangeRows({TRowChange::Inserted, row}, [&] {
      rows->Insert(row, std::move(buffer_));
      row_ = row;
    });
  } else {
    TRecord& stored = rows->At(row_);
    std::size_t row = row_;
    if (keyField_ != TRecordList::NoKey && stored.Values[keyField_] != buffer_->Values[keyField_]) {
      // A changed key takes its new place: behind the records with an equal
      // key, counted as if the record had left its old place already.
      std::size_t bound = rows->UpperBound(buffer_->Values[keyField_]);
      row = bound > row_ ? bound - 1 : bound;
    }
    if (row == row_) {
      ChangeRows({TRowChange::Changed, row_}, [&] { stored = std::move(*buffer_); });
    } else {
      ChangeRows({TRowChange::Moved, row_, row}, [&] {
        std::unique_ptr<TRecord> record = rows->Remove(row_);
        *record = std::move(*buffer_);
        rows->Insert(row, std::move(record));
        row_ = row;
      });
    }
    buffer_.reset();
  }
  modified_ = false;
  bof_ = eof_ = false;
  if (master_) master_->modified_ = true;
}

void TDataSet::Cancel() {
  if (!Editing(state_)) return;
  for (TDataSet* detail : details_) detail->Cancel();
  buffer_.reset();
  modified_ = false;
  ClampCursor();
  SetState(TDataSetState::Browse);
  NotifyData();
}

void TDataSet::Delete() {
  CheckActive();
  if (state_ == TDataSetState::Insert) {
    Cancel();
    return;
  }
  if (IsEmpty()) Fail("Cannot perform this operation on an empty dataset");
  for (TDataSet* detail : details_) detail->Cancel();
  // Deleting a detail record changes the master record, which must be editing.
  if (master_) master_->Edit();
  buffer_.reset();
  modified_ = false;
  ChangeRows({TRowChange::Removed, row_}, [&] { Rows()->Remove(row_); });
  if (master_) master_->modified_ = true;
  ClampCursor();
  SetState(TDataSetState::Browse);
  NotifyData();
}

void TDataSet::ClampCursor() {
  std::size_t count = RecordCount();
  if (row_ >= count) row_ = count ? count - 1 : 0;
  bof_ = false;
  eof_ = count == 0;
  if (count == 0) bof_ = true;
}

// ---- Navigation

std::size_t TDataSet::RecNo() const {
  if (state_ == TDataSetState::Insert || IsEmpty()) return 0;
  return row_ + 1;
}

std::size_t TDataSet::CurrentRow() const {
  std::size_t count = RecordCount();
  return state_ == TDataSetState::Insert || count == 0 ? count : row_;
}

void TDataSet::First() {
  CheckActive();
  CheckBrowseMode();
  row_ = 0;
  bof_ = true;
  eof_ = IsEmpty();
  NotifyMoved();
}

void TDataSet::Last() {
  CheckActive();
  CheckBrowseMode();
  std::size_t count = RecordCount();
  row_ = count ? count - 1 : 0;
  eof_ = true;
  bof_ = count == 0;
  NotifyMoved();
}

void TDataSet::Next() {
  CheckActive();
  CheckBrowseMode();
  if (row_ + 1 < RecordCount()) {
    ++row_;
    bof_ = eof_ = false;
    NotifyMoved();
  } else {
    eof_ = true;
  }
}

void TDataSet::Prior() {
  CheckActive();
  CheckBrowseMode();
  if (row_ > 0 && !IsEmpty()) {
    --row_;
    bof_ = eof_ = false;
    NotifyMoved();
  } else {
    bof_ = true;
  }
}

void TDataSet::MoveTo(std::size_t row) {
  CheckActive();
  CheckBrowseMode();
  if (row >= RecordCount()) Fail("Record/Key deleted.");
  row_ = row;
  bof_ = eof_ = false;
  NotifyMoved();
}

bool TDataSet::Locate(std::string_view fieldName, std::string_view value) {
  CheckActive();
  FieldByName(fieldName);
  CheckBrowseMode();
  std::size_t count = RecordCount();
  std::size_t found = FindRow(fieldName, value);
  row_ = found < count ? found : 0;
  bof_ = eof_ = count == 0;
  NotifyMoved();
  return found < count;
}

std::size_t TDataSet::FindRow(std::string_view fieldName, std::string_view value) const {
  const TField& field = FieldByName(fieldName);
  TRecordList* rows = Active() ? Rows() : nullptr;
  std::size_t count = rows ? rows->Size() : 0;
  if (count && field.Index() == keyField_) {
    std::size_t row = rows->LowerBound(value);
    return row < count && rows->At(row).Values[keyField_] == value ? row : count;
  }
  for (std::size_t row = 0; row < count; ++row)
    if (rows->At(row).Values[field.Index()] == value) return row;
  return count;
}

std::string_view TDataSet::RowValue(std::size_t row, const TField& field) const {
  TRecordList* rows = Active() ? Rows() : nullptr;
  if (!rows || row >= rows->Size()) return {};
  return rows->At(row).Values[field.Index()];
}

// ---- Detail stores

// The master opened, closed, moved or changed its current record: show the
// nested records of its current record, from the first.
void TDataSet::MasterChanged() {
  bool masterActive = master_->Active() && AttachToMasterField();
  buffer_.reset();
  modified_ = false;
  if (!masterActive) {
    if (Active()) {
      state_ = TDataSetState::Inactive;
      NotifyActive();
    }
    return;
  }
  bool opened = !Active();
  state_ = TDataSetState::Browse;
  row_ = 0;
  bof_ = true;
  eof_ = IsEmpty();
  if (opened) {
    NotifyActive();
    return;
  }
  // The rows are those of another master record now; they changed with it.
  ChangeRows({TRowChange::Reset}, [] {});
  NotifyData();
}

// ---- Observers

void TDataSet::AddObserver(IDataSetObserver* observer) {
  if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) observers_.push_back(observer);
}

void TDataSet::RemoveObserver(IDataSetObserver* observer) { std::erase(observers_, observer); }

template <typename F>
static void NotifyAll(const std::vector<IDataSetObserver*>& observers, F&& call) {
  // A copy: an observer may detach itself while it is told.
  std::vector<IDataSetObserver*> copy = observers;
  for (IDataSetObserver* observer : copy) call(*observer);
}

void TDataSet::NotifyActive() {
  NotifyAll(observers_, [](IDataSetObserver& o) { o.ActiveChanged(); });
  for (TDataSet* detail : std::vector<TDataSet*>(details_)) detail->MasterChanged();
}

void TDataSet::NotifyMoved() {
  NotifyAll(observers_, [](IDataSetObserver& o) { o.RecordMoved(); });
  for (TDataSet* detail : std::vector<TDataSet*>(details_)) detail->MasterChanged();
}

void TDataSet::NotifyData() {
  NotifyAll(observers_, [](IDataSetObserver& o) { o.DataChanged(); });
  for (TDataSet* detail : std::vector<TDataSet*>(details_)) detail->MasterChanged();
}

void TDataSet::NotifyState() { NotifyAll(observers_, [](IDataSetObserver& o) { o.StateChanged(); }); }

void TDataSet::NotifyField(const TField& field) {
  NotifyAll(observers_, [&](IDataSetObserver& o) { o.FieldChanged(field); });
}

void TDataSet::NotifyUpdateData() { NotifyAll(observers_, [](IDataSetObserver& o) { o.UpdateData(); }); }

template <typename F>
void TDataSet::ChangeRows(const TRowChange& change, F&& changeRows) {
  NotifyAll(observers_, [&](IDataSetObserver& o) { o.RowsChanging(change); });
  changeRows();
  NotifyAll(observers_, [&](IDataSetObserver& o) { o.RowsChanged(change); });
}

}  // namespace orb
