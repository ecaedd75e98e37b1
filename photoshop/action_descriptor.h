#pragma once
// Action descriptors, references and lists: trees of keyed, typed values, as a recorded
// Photoshop action holds them. Keys keep the order in which they were put.

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "photoshop/type_ids.h"

namespace photoshop {

class ActionDescriptor;
class ActionList;

// One element of a reference: which object of a class, chosen one of these ways.
struct ReferenceElement {
  enum class Form { Class, Enumerated, Property, Name, Index, Identifier };
  Form form = Form::Class;
  TypeID desiredClass = 0;
  TypeID enumType = 0;   // Enumerated
  TypeID value = 0;      // Enumerated value, Property key
  std::string name;      // Name
  int number = 0;        // Index, Identifier
};

class ActionReference {
 public:
  void PutClass(TypeID desiredClass);
  void PutEnumerated(TypeID desiredClass, TypeID enumType, TypeID value);
  void PutProperty(TypeID desiredClass, TypeID key);
  void PutName(TypeID desiredClass, const std::string& name);
  void PutIndex(TypeID desiredClass, int index);
  void PutIdentifier(TypeID desiredClass, int id);

  const std::vector<ReferenceElement>& elements() const { return elements_; }
  std::string text() const;
  bool operator==(const ActionReference&) const;

 private:
  std::vector<ReferenceElement> elements_;
};

struct UnitDouble {
  TypeID unit = 0;
  double value = 0;
};
struct Enumerated {
  TypeID type = 0;
  TypeID value = 0;
};
struct ClassValue {
  TypeID id = 0;
};
struct PathValue {
  std::string path;
};
struct ObjectValue {
  TypeID classId = 0;
  std::shared_ptr<const ActionDescriptor> descriptor;
};
struct ListValue {
  std::shared_ptr<const ActionList> list;
};

using ActionValue = std::variant<int, double, UnitDouble, bool, std::string, Enumerated, ClassValue,
                                 ActionReference, ObjectValue, ListValue, PathValue>;

// Printing of one value; `indent` is the depth of nested objects.
std::string valueText(const ActionValue& value, int indent);

class ActionDescriptor {
 public:
  void PutInteger(TypeID key, int value) { put(key, value); }
  void PutDouble(TypeID key, double value) { put(key, value); }
  void PutUnitDouble(TypeID key, TypeID unit, double value) { put(key, UnitDouble{unit, value}); }
  void PutBoolean(TypeID key, bool value) { put(key, value); }
  void PutString(TypeID key, const std::string& value) { put(key, value); }
  void PutEnumerated(TypeID key, TypeID enumType, TypeID value) { put(key, Enumerated{enumType, value}); }
  void PutClass(TypeID key, TypeID classId) { put(key, ClassValue{classId}); }
  void PutReference(TypeID key, const ActionReference& reference) { put(key, reference); }
  void PutObject(TypeID key, TypeID classId, const ActionDescriptor& value);
  void PutList(TypeID key, const ActionList& value);
  void PutPath(TypeID key, const std::string& path) { put(key, PathValue{path}); }

  int Count() const { return int(entries_.size()); }
  TypeID GetKey(int index) const;  // 0-based, as Photoshop's
  bool HasKey(TypeID key) const { return find(key) != nullptr; }
  // Getters fail with std::invalid_argument when the key is missing or of another type.
  int GetInteger(TypeID key) const;
  double GetDouble(TypeID key) const;
  double GetUnitDoubleValue(TypeID key) const;
  TypeID GetUnitDoubleType(TypeID key) const;
  bool GetBoolean(TypeID key) const;
  std::string GetString(TypeID key) const;
  TypeID GetEnumerationType(TypeID key) const;
  TypeID GetEnumerationValue(TypeID key) const;
  TypeID GetClass(TypeID key) const;
  const ActionReference& GetReference(TypeID key) const;
  const ActionDescriptor& GetObjectValue(TypeID key) const;
  TypeID GetObjectType(TypeID key) const;
  const ActionList& GetList(TypeID key) const;
  std::string GetPath(TypeID key) const;
  const ActionValue* find(TypeID key) const;

  struct Entry {
    TypeID key;
    ActionValue value;
  };
  const std::vector<Entry>& entries() const { return entries_; }
  // The whole tree as text, one key per line, nested objects indented.
  std::string text(int indent = 0) const;

 private:
  void put(TypeID key, ActionValue value);
  template <class T>
  const T& get(TypeID key, const char* what) const;

  std::vector<Entry> entries_;
};

class ActionList {
 public:
  void PutInteger(int value) { items_.emplace_back(value); }
  void PutDouble(double value) { items_.emplace_back(value); }
  void PutString(const std::string& value) { items_.emplace_back(value); }
  void PutBoolean(bool value) { items_.emplace_back(value); }
  void PutReference(const ActionReference& value) { items_.emplace_back(value); }
  void PutObject(TypeID classId, const ActionDescriptor& value);
  void PutUnitDouble(TypeID unit, double value) { items_.emplace_back(UnitDouble{unit, value}); }
  void PutEnumerated(TypeID type, TypeID value) { items_.emplace_back(Enumerated{type, value}); }

  int Count() const { return int(items_.size()); }
  const ActionValue& item(int index) const;
  const std::vector<ActionValue>& items() const { return items_; }
  std::string text(int indent) const;

 private:
  std::vector<ActionValue> items_;
};

}  // namespace photoshop
