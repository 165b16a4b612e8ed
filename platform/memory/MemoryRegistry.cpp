#include "platform/memory/MemoryRegistry.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "platform/TextCase.h"
#include "platform/memory/LogText.h"

namespace platform {

struct MemoryRegistry::Node : std::enable_shared_from_this<Node> {
  struct Value {
    std::string name;
    std::uint32_t type = kRegNone;
    std::string data;  // the bytes as they were set
  };

  std::string name;
  // Weak, so that a handle kept to a key below a deleted tree never reaches
  // a parent that is gone.
  std::weak_ptr<Node> parent;
  std::map<std::string, std::shared_ptr<Node>> children;  // by folded name
  std::vector<Value> values;                              // in creation order
  RegFileTime lastWrite = 0;
  bool readOnly = false;

  // Windows compares names by their upper-case form, which folds the letters
  // of the ANSI code page (the program's texts are in Windows-1252) as well.
  static std::string Fold(std::string name) {
    UpperCaseInPlace(name);
    return name;
  }

  Value* FindValue(const std::string& valueName) {
    for (Value& v : values) {
      if (v.name.size() == valueName.size() && Fold(v.name) == Fold(valueName)) return &v;
    }
    return nullptr;
  }
  std::shared_ptr<Node> FindChild(const std::string& childName) const {
    const auto it = children.find(Fold(childName));
    return it == children.end() ? nullptr : it->second;
  }
  std::shared_ptr<Node> AddChild(const std::string& childName, RegFileTime now) {
    std::shared_ptr<Node>& child = children[Fold(childName)] = std::make_shared<Node>();
    child->name = childName;
    child->parent = weak_from_this();
    child->lastWrite = lastWrite = now;
    return child;
  }
};

namespace {

// The names of a key path; empty ones (doubled or trailing backslashes) are
// skipped as the registry does.
std::vector<std::string> Split(const std::string& path) {
  std::vector<std::string> parts;
  for (std::size_t start = 0, end = 0; start < path.size(); start = end + 1) {
    end = std::min(path.find('\\', start), path.size());
    if (end > start) parts.push_back(path.substr(start, end - start));
  }
  return parts;
}

// The current time as a FILETIME, as last write times hold it: 100 ns ticks
// from 1601, where the system clock counts from 1970.
RegFileTime Now() {
  using Ticks = std::chrono::duration<RegFileTime, std::ratio<1, 10000000>>;
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  return 116444736000000000ull + std::chrono::duration_cast<Ticks>(sinceEpoch).count();
}

using Node = MemoryRegistry::Node;

// A detached copy of a key tree: CopyTree takes it before it writes, so a
// tree copied into itself still ends.
Node Snapshot(const Node& node) {
  Node copy = node;
  for (auto& [folded, child] : copy.children) child = std::make_shared<Node>(Snapshot(*child));
  return copy;
}

// The saved-tree file: a header line, then one "K" line per key (its path
// below the saved key, parents before children) followed by one "V" line per
// value (type, name, data), and a closing "END" line that proves the file is
// complete. Names, paths and data are written in hexadecimal ("-" for
// empty), so any byte survives the round trip.
std::string ToHex(const std::string& bytes) {
  const std::string hex = HexBytes({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  return hex.empty() ? "-" : hex;
}

// Any text gives bytes; whether it was the hexadecimal of exactly those
// bytes shows when the tree is written back (see ParseTree).
std::string FromHex(const std::string& hex) {
  const auto nibble = [](char c) { return static_cast<unsigned>(c >= 'A' ? c - 'A' + 10 : c - '0'); };
  std::string bytes;
  for (std::size_t i = 0; hex != "-" && i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<char>(nibble(hex[i]) << 4 | nibble(hex[i + 1])));
  }
  return bytes;
}

void WriteTree(std::ostream& out, const Node& tree, const std::string& path) {
  out << "K " << ToHex(path) << '\n';
  for (const Node::Value& v : tree.values) {
    out << "V " << v.type << ' ' << ToHex(v.name) << ' ' << ToHex(v.data) << '\n';
  }
  for (const auto& [folded, child] : tree.children) {
    WriteTree(out, *child, path.empty() ? child->name : path + "\\" + child->name);
  }
}

std::string SavedText(const Node& tree) {
  std::ostringstream text;
  text << "VESPERON-REGISTRY-TREE 1\n";
  WriteTree(text, tree, std::string());
  text << "END\n";
  return text.str();
}

// Reads a saved tree; false for anything that is not exactly what SavedText
// produces (so a damaged file mounts nothing). The reading itself is lenient:
// a file is taken only if the tree read writes back byte for byte the same,
// which refuses every other spelling, order (a child before its parent
// included), repetition, stray or trailing line. A value named twice in one
// key would write back alike: it is refused on its own.
bool ParseTree(const std::string& text, Node& root) {
  std::istringstream in(text);
  std::string line;
  Node* current = nullptr;
  std::getline(in, line);  // the header, compared with the rest at the end
  while (std::getline(in, line) && line != "END") {
    std::istringstream fields(line);
    std::string tag, first, name, data;
    fields >> tag >> first;
    if (tag == "K") {
      current = &root;
      for (const std::string& part : Split(FromHex(first))) {
        const std::shared_ptr<Node> child = current->FindChild(part);
        current = child ? child.get() : current->AddChild(part, 0).get();
      }
    } else if (tag == "V" && current != nullptr && fields >> name >> data) {
      if (current->FindValue(FromHex(name)) != nullptr) return false;
      current->values.push_back({FromHex(name), kRegNone, FromHex(data)});
      std::from_chars(first.data(), first.data() + first.size(), current->values.back().type);
    }  // any other line is missing from what the tree writes back
  }
  return SavedText(root) == text;
}

// Writes a detached tree into `target`: subkeys first, then the values of
// the key itself, like SHCopyKey. Setting the values needs KEY_SET_VALUE on
// the handle the caller holds; the keys below are reached with full rights.
long ApplyTree(const Node& tree, Node& target, std::uint32_t granted, RegFileTime now) {
  for (const auto& [folded, child] : tree.children) {
    std::shared_ptr<Node> sub = target.FindChild(child->name);
    if (!sub && target.readOnly) return kErrorAccessDenied;
    if (!sub) sub = target.AddChild(child->name, now);
    if (const long result = ApplyTree(*child, *sub, kKeyAllAccess, now); result != kOk) return result;
  }
  if (tree.values.empty()) return kOk;
  if (!(granted & kKeySetValue)) return kErrorAccessDenied;
  for (const Node::Value& v : tree.values) {
    if (Node::Value* existing = target.FindValue(v.name)) *existing = v;
    else target.values.push_back(v);
  }
  target.lastWrite = now;
  return kOk;
}

// Removes a subkey with its tree, a write to its parent.
void Detach(Node& parent, const std::string& name) {
  parent.children.erase(Node::Fold(name));
  parent.lastWrite = Now();
}

}  // namespace

MemoryRegistry::MemoryRegistry() {
  for (RegKey root : {kCurrentUser, kLocalMachine, kUsers}) {
    handles_[root] = Handle{std::make_shared<Node>(), kKeyAllAccess};
    handles_[root].node->lastWrite = Now();
  }
}

MemoryRegistry::~MemoryRegistry() = default;

long MemoryRegistry::Resolve(RegKey key, std::uint32_t needed, Node*& node, std::uint32_t* granted) const {
  const auto handle = handles_.find(key);
  if (handle == handles_.end()) return kErrorInvalidHandle;
  node = handle->second.node.get();
  if (granted != nullptr) *granted = handle->second.access;
  return (needed & ~handle->second.access) != 0 ? kErrorAccessDenied : kOk;
}

long MemoryRegistry::Walk(RegKey parent, const std::string& path, bool create, Node*& node) {
  if (const long result = Resolve(parent, 0, node); result != kOk) return result;
  if (path.starts_with('\\')) return kErrorBadPathname;
  for (const std::string& part : Split(path)) {
    Node* next = node->FindChild(part).get();
    if (next == nullptr && !create) return kErrorFileNotFound;
    // Creating a subkey is a write to its parent.
    if (next == nullptr && node->readOnly) return kErrorAccessDenied;
    node = next != nullptr ? next : node->AddChild(part, Now()).get();
  }
  return kOk;
}

long MemoryRegistry::NewHandle(RegKey parent, const std::string& path, std::uint32_t access, bool create,
                               RegKey& out) {
  Node* node = nullptr;
  if (const long result = Walk(parent, path, create, node); result != kOk) return result;
  // A read-only key refuses every handle that asks for a right to change it.
  if (node->readOnly && (access & (kKeySetValue | kKeyCreateSubKey)) != 0) return kErrorAccessDenied;
  out = nextHandle_;
  nextHandle_ += 4;  // never reused, so a stale handle stays invalid
  handles_[out] = Handle{node->shared_from_this(), access};
  return kOk;
}

long MemoryRegistry::CreateKey(RegKey parent, const std::string& path, std::uint32_t access, RegKey& out) {
  return NewHandle(parent, path, access, true, out);
}

long MemoryRegistry::OpenKey(RegKey parent, const std::string& path, std::uint32_t access, RegKey& out) {
  return NewHandle(parent, path, access, false, out);
}

long MemoryRegistry::CloseKey(RegKey key) { return handles_.erase(key) == 1 ? kOk : kErrorInvalidHandle; }

long MemoryRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type, void* data,
                                std::uint32_t* size) {
  Node* node = nullptr;
  if (const long result = Resolve(key, kKeyQueryValue, node); result != kOk) return result;
  const Node::Value* value = node->FindValue(name);
  if (value == nullptr) return kErrorFileNotFound;
  if (type != nullptr) *type = value->type;
  if (size == nullptr) return kOk;
  const bool fits = data == nullptr || *size >= value->data.size();
  if (data != nullptr && fits) std::copy(value->data.begin(), value->data.end(), static_cast<char*>(data));
  *size = static_cast<std::uint32_t>(value->data.size());
  return fits ? kOk : kErrorMoreData;
}

long MemoryRegistry::SetValue(RegKey key, const std::string& name, std::uint32_t type, const void* data,
                              std::uint32_t size) {
  Node* node = nullptr;
  if (const long result = Resolve(key, kKeySetValue, node); result != kOk) return result;
  Node::Value* value = node->FindValue(name);
  if (value == nullptr) value = &node->values.emplace_back(Node::Value{name, type, {}});
  value->type = type;
  value->data.assign(static_cast<const char*>(data), size);
  node->lastWrite = Now();
  return kOk;
}

long MemoryRegistry::DeleteValue(RegKey key, const std::string& name) {
  Node* node = nullptr;
  if (const long result = Resolve(key, kKeySetValue, node); result != kOk) return result;
  const Node::Value* value = node->FindValue(name);
  if (value == nullptr) return kErrorFileNotFound;
  node->values.erase(node->values.begin() + (value - node->values.data()));
  node->lastWrite = Now();
  return kOk;
}

long MemoryRegistry::EnumValue(RegKey key, std::uint32_t index, std::string& name, std::uint32_t& type,
                               std::vector<unsigned char>& data) {
  Node* node = nullptr;
  if (const long result = Resolve(key, kKeyQueryValue, node); result != kOk) return result;
  if (index >= node->values.size()) return kErrorNoMoreItems;
  name = node->values[index].name;
  type = node->values[index].type;
  data.assign(node->values[index].data.begin(), node->values[index].data.end());
  return kOk;
}

long MemoryRegistry::QueryInfoKey(RegKey key, std::uint32_t* subkeys, RegFileTime* lastWrite) {
  Node* node = nullptr;
  if (const long result = Resolve(key, kKeyQueryValue, node); result != kOk) return result;
  if (subkeys != nullptr) *subkeys = static_cast<std::uint32_t>(node->children.size());
  if (lastWrite != nullptr) *lastWrite = node->lastWrite;
  return kOk;
}

long MemoryRegistry::EnumKey(RegKey key, std::uint32_t index, std::string& name, std::uint32_t bufferChars) {
  Node* node = nullptr;
  if (const long result = Resolve(key, kKeyEnumerateSubKeys, node); result != kOk) return result;
  if (index >= node->children.size()) return kErrorNoMoreItems;
  const std::string& child = std::next(node->children.begin(), index)->second->name;
  if (child.size() + 1 > bufferChars) return kErrorMoreData;
  name = child;
  return kOk;
}

long MemoryRegistry::DeleteTree(RegKey parent, const std::string& path) {
  Node* node = nullptr;
  if (const long result = Walk(parent, path, false, node); result != kOk) return result;
  if (Split(path).empty()) return kErrorInvalidParameter;
  const std::shared_ptr<Node> owner = node->parent.lock();
  if (!owner) return kErrorKeyDeleted;
  Detach(*owner, node->name);
  return kOk;
}

long MemoryRegistry::CopyTree(RegKey source, const std::string& path, RegKey target) {
  Node *from = nullptr, *to = nullptr;
  std::uint32_t granted = 0;
  if (const long result = Resolve(target, 0, to, &granted); result != kOk) return result;
  if (const long result = Walk(source, path, false, from); result != kOk) return result;
  return ApplyTree(Snapshot(*from), *to, granted, Now());
}

long MemoryRegistry::SaveKey(RegKey key, const std::string& file) {
  Node* node = nullptr;
  if (const long result = Resolve(key, 0, node); result != kOk) return result;
  if (std::ifstream(file)) return kErrorAlreadyExists;
  std::ofstream out(file, std::ios::binary);
  if (!out) return kErrorPathNotFound;
  out << SavedText(*node);
  return kOk;
}

long MemoryRegistry::LoadKey(RegKey root, const std::string& name, const std::string& file) {
  Node& parent = *handles_.at(root).node;
  if (parent.FindChild(name)) return kErrorAlreadyExists;
  std::ifstream in(file, std::ios::binary);
  if (!in) return kErrorFileNotFound;
  // The tree is read into the mount itself; a damaged file leaves nothing.
  const std::string text(std::istreambuf_iterator<char>(in), {});
  if (ParseTree(text, *parent.AddChild(name, Now()))) return kOk;
  parent.children.erase(Node::Fold(name));
  return kErrorNotRegistryFile;
}

long MemoryRegistry::UnLoadKey(RegKey root, const std::string& name) {
  Node& parent = *handles_.at(root).node;
  const std::shared_ptr<Node> mounted = parent.FindChild(name);
  if (!mounted) return kErrorFileNotFound;
  for (const auto& [key, handle] : handles_) {
    for (std::shared_ptr<Node> node = handle.node; node != nullptr; node = node->parent.lock()) {
      if (node == mounted) return kErrorAccessDenied;
    }
  }
  Detach(parent, name);
  return kOk;
}

long MemoryRegistry::SetKeyReadOnly(RegKey parent, const std::string& path, bool readOnly) {
  Node* node = nullptr;
  if (const long result = Walk(parent, path, false, node); result != kOk) return result;
  node->readOnly = readOnly;
  return kOk;
}

}  // namespace platform
