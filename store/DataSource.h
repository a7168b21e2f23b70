// How data-aware controls observe a store: a data source stands for one
// store, data links attach to a data source, and a field data link follows one
// field of it. A control changes the store only through its link.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace orb {

class TDataSet;
class TField;

// How the rows of a store change, in the order of its active index: one
// record inserted, removed, changed in place or moved to another row by a
// changed key, or every row at once (opened, closed, loaded, reordered).
struct TRowChange {
  enum TKind { Inserted, Removed, Changed, Moved, Reset };
  TKind Kind = Reset;
  // The row inserted (as it is after the change), removed, changed or moved
  // (as it is before the change).
  std::size_t Row = 0;
  // Moved: the row the record has after the change.
  std::size_t ToRow = 0;

  bool operator==(const TRowChange&) const = default;
};

// What a store tells those that watch it. Every event has an empty default so
// that an observer overrides only what it needs.
class IDataSetObserver {
 public:
  virtual ~IDataSetObserver() = default;
  // The store was opened or closed.
  virtual void ActiveChanged() {}
  // Another record became current (navigation, locate, a row picked in a list).
  virtual void RecordMoved() {}
  // Records or the current record changed as a whole: post, cancel, delete, load.
  virtual void DataChanged() {}
  // One field of the current record was set.
  virtual void FieldChanged(const TField& /*field*/) {}
  // The state changed between browse, edit and insert.
  virtual void StateChanged() {}
  // The rows are about to change, and have changed: told in pairs, so that
  // a list over the rows can follow exactly the rows concerned.
  virtual void RowsChanging(const TRowChange& /*change*/) {}
  virtual void RowsChanged(const TRowChange& /*change*/) {}
  // A post is about to happen: write pending input into the fields now.
  virtual void UpdateData() {}
  // The store is being destroyed; forget it.
  virtual void DataSetDestroyed() {}
};

class TDataLink;

// The one place controls reach a store through; it passes the store's events
// on to every attached link.
class TDataSource final : public IDataSetObserver {
 public:
  TDataSource() = default;
  explicit TDataSource(TDataSet* dataSet) { SetDataSet(dataSet); }
  ~TDataSource() override;
  TDataSource(const TDataSource&) = delete;
  TDataSource& operator=(const TDataSource&) = delete;

  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);

  void ActiveChanged() override;
  void RecordMoved() override;
  void DataChanged() override;
  void FieldChanged(const TField& field) override;
  void StateChanged() override;
  void RowsChanging(const TRowChange& change) override;
  void RowsChanged(const TRowChange& change) override;
  void UpdateData() override;
  void DataSetDestroyed() override;

 private:
  friend class TDataLink;
  template <typename F>
  void ForEachLink(F&& call);

  TDataSet* dataSet_ = nullptr;
  std::vector<TDataLink*> links_;
};

// A control's connection to a data source. Subclasses override the events.
class TDataLink : public IDataSetObserver {
 public:
  TDataLink() = default;
  ~TDataLink() override;
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TDataSource* DataSource() const { return dataSource_; }
  void SetDataSource(TDataSource* dataSource);
  TDataSet* DataSet() const { return dataSource_ ? dataSource_->DataSet() : nullptr; }
  bool Active() const;
  bool Editing() const;
  // Puts the store into edit state (which inserts on an empty store); true when it is editing.
  bool Edit();

 private:
  friend class TDataSource;
  TDataSource* dataSource_ = nullptr;
};

// Follows one field of the store behind a data source. The callbacks are the
// control's: OnDataChange when the value it shows may have changed,
// OnEditingChange when the store enters or leaves edit state, OnActiveChange
// when it opens or closes, OnUpdateData before a post when the control said
// it holds a change (Modified).
class TFieldDataLink final : public TDataLink {
 public:
  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(std::string name);
  // The field, or nullptr while the store is closed or lacks it.
  TField* Field() const { return field_; }
  // The control holds input that must be written into the field before a post.
  void Modified() { modified_ = true; }
  // Discards the control's pending input and shows the field again.
  void Reset();

  std::function<void()> OnDataChange;
  std::function<void()> OnEditingChange;
  std::function<void()> OnActiveChange;
  std::function<void()> OnUpdateData;

  void ActiveChanged() override;
  void RecordMoved() override;
  void DataChanged() override;
  void FieldChanged(const TField& field) override;
  void StateChanged() override;
  void UpdateData() override;
  void DataSetDestroyed() override;

 private:
  void ResolveField();
  void FireDataChange();

  std::string fieldName_;
  TField* field_ = nullptr;
  bool modified_ = false;
  bool editing_ = false;
};

}  // namespace orb
