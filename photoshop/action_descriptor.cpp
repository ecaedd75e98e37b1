#include "photoshop/action_descriptor.h"

#include <sstream>
#include <stdexcept>

namespace photoshop {

namespace {

std::string id(TypeID v) { return typeIds().describe(v); }

std::string number(double v) {
  std::ostringstream out;
  out.precision(15);
  out << v;
  return out.str();
}

std::string quoted(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string pad(int indent) { return std::string(std::size_t(indent) * 2, ' '); }

}  // namespace

void ActionReference::PutClass(TypeID c) { elements_.push_back({ReferenceElement::Form::Class, c, 0, 0, {}, 0}); }
void ActionReference::PutEnumerated(TypeID c, TypeID type, TypeID value) {
  elements_.push_back({ReferenceElement::Form::Enumerated, c, type, value, {}, 0});
}
void ActionReference::PutProperty(TypeID c, TypeID key) {
  elements_.push_back({ReferenceElement::Form::Property, c, 0, key, {}, 0});
}
void ActionReference::PutName(TypeID c, const std::string& name) {
  elements_.push_back({ReferenceElement::Form::Name, c, 0, 0, name, 0});
}
void ActionReference::PutIndex(TypeID c, int index) { elements_.push_back({ReferenceElement::Form::Index, c, 0, 0, {}, index}); }
void ActionReference::PutIdentifier(TypeID c, int v) {
  elements_.push_back({ReferenceElement::Form::Identifier, c, 0, 0, {}, v});
}

bool ActionReference::operator==(const ActionReference& other) const { return text() == other.text(); }

std::string ActionReference::text() const {
  std::string out = "reference [";
  for (std::size_t i = 0; i < elements_.size(); ++i) {
    const ReferenceElement& e = elements_[i];
    if (i) out += ", ";
    out += id(e.desiredClass);
    switch (e.form) {
      case ReferenceElement::Form::Class: out += ": class"; break;
      case ReferenceElement::Form::Enumerated: out += ": enumerated " + id(e.enumType) + " " + id(e.value); break;
      case ReferenceElement::Form::Property: out += ": property " + id(e.value); break;
      case ReferenceElement::Form::Name: out += ": name " + quoted(e.name); break;
      case ReferenceElement::Form::Index: out += ": index " + std::to_string(e.number); break;
      case ReferenceElement::Form::Identifier: out += ": identifier " + std::to_string(e.number); break;
    }
  }
  return out + "]";
}

std::string valueText(const ActionValue& value, int indent) {
  struct Printer {
    int indent;
    std::string operator()(int v) const { return "integer " + std::to_string(v); }
    std::string operator()(double v) const { return "double " + number(v); }
    std::string operator()(const UnitDouble& v) const { return "unit double " + id(v.unit) + " " + number(v.value); }
    std::string operator()(bool v) const { return std::string("boolean ") + (v ? "true" : "false"); }
    std::string operator()(const std::string& v) const { return "string " + quoted(v); }
    std::string operator()(const Enumerated& v) const { return "enumerated " + id(v.type) + " " + id(v.value); }
    std::string operator()(const ClassValue& v) const { return "class " + id(v.id); }
    std::string operator()(const ActionReference& v) const { return v.text(); }
    std::string operator()(const ObjectValue& v) const {
      return "object " + id(v.classId) + " {\n" + v.descriptor->text(indent + 1) + pad(indent) + "}";
    }
    std::string operator()(const ListValue& v) const { return "list [\n" + v.list->text(indent + 1) + pad(indent) + "]"; }
    std::string operator()(const PathValue& v) const { return "path " + quoted(v.path); }
  };
  return std::visit(Printer{indent}, value);
}

void ActionDescriptor::put(TypeID key, ActionValue value) {
  for (Entry& e : entries_) {
    if (e.key == key) {
      e.value = std::move(value);
      return;
    }
  }
  entries_.push_back({key, std::move(value)});
}

void ActionDescriptor::PutObject(TypeID key, TypeID classId, const ActionDescriptor& value) {
  put(key, ObjectValue{classId, std::make_shared<const ActionDescriptor>(value)});
}

void ActionDescriptor::PutList(TypeID key, const ActionList& value) {
  put(key, ListValue{std::make_shared<const ActionList>(value)});
}

TypeID ActionDescriptor::GetKey(int index) const {
  if (index < 0 || index >= Count()) throw std::invalid_argument("descriptor key index out of range");
  return entries_[std::size_t(index)].key;
}

const ActionValue* ActionDescriptor::find(TypeID key) const {
  for (const Entry& e : entries_)
    if (e.key == key) return &e.value;
  return nullptr;
}

template <class T>
const T& ActionDescriptor::get(TypeID key, const char* what) const {
  const ActionValue* v = find(key);
  if (!v) throw std::invalid_argument("the descriptor has no key " + id(key));
  const T* typed = std::get_if<T>(v);
  if (!typed) throw std::invalid_argument("the key " + id(key) + " does not hold " + what);
  return *typed;
}

int ActionDescriptor::GetInteger(TypeID key) const { return get<int>(key, "an integer"); }
double ActionDescriptor::GetDouble(TypeID key) const { return get<double>(key, "a double"); }
double ActionDescriptor::GetUnitDoubleValue(TypeID key) const { return get<UnitDouble>(key, "a unit double").value; }
TypeID ActionDescriptor::GetUnitDoubleType(TypeID key) const { return get<UnitDouble>(key, "a unit double").unit; }
bool ActionDescriptor::GetBoolean(TypeID key) const { return get<bool>(key, "a boolean"); }
std::string ActionDescriptor::GetString(TypeID key) const { return get<std::string>(key, "a string"); }
TypeID ActionDescriptor::GetEnumerationType(TypeID key) const { return get<Enumerated>(key, "an enumeration").type; }
TypeID ActionDescriptor::GetEnumerationValue(TypeID key) const { return get<Enumerated>(key, "an enumeration").value; }
TypeID ActionDescriptor::GetClass(TypeID key) const { return get<ClassValue>(key, "a class").id; }
const ActionReference& ActionDescriptor::GetReference(TypeID key) const { return get<ActionReference>(key, "a reference"); }
const ActionDescriptor& ActionDescriptor::GetObjectValue(TypeID key) const {
  return *get<ObjectValue>(key, "an object").descriptor;
}
TypeID ActionDescriptor::GetObjectType(TypeID key) const { return get<ObjectValue>(key, "an object").classId; }
const ActionList& ActionDescriptor::GetList(TypeID key) const { return *get<ListValue>(key, "a list").list; }
std::string ActionDescriptor::GetPath(TypeID key) const { return get<PathValue>(key, "a path").path; }

std::string ActionDescriptor::text(int indent) const {
  std::string out;
  for (const Entry& e : entries_) out += pad(indent) + id(e.key) + ": " + valueText(e.value, indent) + "\n";
  return out;
}

void ActionList::PutObject(TypeID classId, const ActionDescriptor& value) {
  items_.emplace_back(ObjectValue{classId, std::make_shared<const ActionDescriptor>(value)});
}

const ActionValue& ActionList::item(int index) const {
  if (index < 0 || index >= Count()) throw std::invalid_argument("list index out of range");
  return items_[std::size_t(index)];
}

std::string ActionList::text(int indent) const {
  std::string out;
  for (const ActionValue& v : items_) out += pad(indent) + valueText(v, indent) + "\n";
  return out;
}

}  // namespace photoshop
