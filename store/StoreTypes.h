// Field and index declarations of a record store, and its error type.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace orb {

// Every failure of the store: the message is the text shown to the user.
class EDatabaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class TFieldKind {
  String,  // text cut to Size characters when assigned
  Memo,    // text of any length, line breaks included
  Nested,  // an ordered list of detail records with fields of their own
};

// One declared field. Children are the detail fields of a nested table.
struct TFieldDef {
  std::string Name;
  TFieldKind Kind = TFieldKind::String;
  std::size_t Size = 0;  // strings only; 0 means no limit (a packet without WIDTH)
  std::vector<TFieldDef> Children;

  bool operator==(const TFieldDef&) const = default;

  static TFieldDef String(std::string name, std::size_t size) { return {std::move(name), TFieldKind::String, size, {}}; }
  static TFieldDef Memo(std::string name) { return {std::move(name), TFieldKind::Memo, 0, {}}; }
  static TFieldDef Nested(std::string name, std::vector<TFieldDef> children) {
    return {std::move(name), TFieldKind::Nested, 0, std::move(children)};
  }
};

// The one index a store may order by: ascending, case-sensitive, not unique.
struct TIndexDef {
  std::string Name;
  std::string Field;
  bool Primary = true;
};

// Index of the definition named `name`, or npos.
std::size_t FindFieldDef(const std::vector<TFieldDef>& defs, std::string_view name);

}  // namespace orb
