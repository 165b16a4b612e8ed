#include "platform/memory/MemoryRegistry.h"

#include <charconv>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>
#include <vector>

#include "platform/TextCase.h"

namespace platform {

namespace {

// Rights that change a key: asking for any of them on a read-only key is
// refused.
constexpr std::uint32_t kWriteRights = kKeySetValue | kKeyCreateSubKey;

// Windows compares names by their upper-case form, which folds the letters
// of the ANSI code page (the program's texts are in Windows-1252) as well.
std::string Fold(std::string name) {
  UpperCaseInPlace(name);
  return name;
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && Fold(a) == Fold(b);
}

// Splits a key path into its names; empty components (doubled or trailing
// backslashes) are skipped as the registry does, a leading one is refused.
long SplitPath(const std::string& path, std::vector<std::string>& parts) {
  parts.clear();
  if (!path.empty() && path[0] == '\\') return kErrorBadPathname;
  std::string current;
  for (char c : path) {
    if (c == '\\') {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) parts.push_back(current);
  return kOk;
}

}  // namespace

namespace memory_detail {
struct RegistryNode {
  using Node = RegistryNode;
  struct Value {
    std::string name;
    std::uint32_t type = kRegNone;
    std::vector<unsigned char> data;
  };

  std::string name;
  Node* parent = nullptr;
  std::map<std::string, std::shared_ptr<Node>> children;  // by folded name
  std::vector<Value> values;                              // in creation order
  RegFileTime lastWrite = 0;
  bool readOnly = false;

  Value* FindValue(const std::string& valueName) {
    for (Value& v : values) {
      if (SameName(v.name, valueName)) return &v;
    }
    return nullptr;
  }
  std::shared_ptr<Node> FindChild(const std::string& childName) const {
    auto it = children.find(Fold(childName));
    return it == children.end() ? nullptr : it->second;
  }
  std::shared_ptr<Node> AddChild(const std::string& childName, RegFileTime now) {
    auto child = std::make_shared<Node>();
    child->name = childName;
    child->parent = this;
    child->lastWrite = now;
    children[Fold(childName)] = child;
    lastWrite = now;
    return child;
  }
};
}  // namespace memory_detail

namespace {

using Node = memory_detail::RegistryNode;

// A detached copy of a key tree: CopyTree takes it before it writes, so a
// tree copied into itself still ends.
Node Snapshot(const Node& node) {
  Node copy;
  copy.name = node.name;
  copy.values = node.values;
  for (const auto& [folded, child] : node.children) {
    copy.children[folded] = std::make_shared<Node>(Snapshot(*child));
  }
  return copy;
}

// The saved-tree file: a header line, then one "K" line per key (its path
// below the saved key, parents before children) followed by one "V" line per
// value (type, name, data), and a closing "END" line that proves the file is
// complete. Names, paths and data are written in hexadecimal ("-" for
// empty), so any byte survives the round trip.
constexpr const char* kFileHeader = "VESPERON-REGISTRY-TREE 1";

std::string ToHex(const void* bytes, std::size_t size) {
  static const char digits[] = "0123456789ABCDEF";
  if (size == 0) return "-";
  const auto* p = static_cast<const unsigned char*>(bytes);
  std::string hex;
  hex.reserve(size * 2);
  for (std::size_t i = 0; i < size; ++i) {
    hex.push_back(digits[p[i] >> 4]);
    hex.push_back(digits[p[i] & 0xF]);
  }
  return hex;
}

// Any text gives bytes; whether it was the hexadecimal of exactly those
// bytes shows when the tree is written back (see ParseTree).
std::vector<unsigned char> FromHex(const std::string& hex) {
  const auto nibble = [](char c) { return static_cast<unsigned>(c >= 'A' ? c - 'A' + 10 : c - '0'); };
  std::vector<unsigned char> bytes;
  for (std::size_t i = 0; hex != "-" && i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<unsigned char>(nibble(hex[i]) << 4 | nibble(hex[i + 1])));
  }
  return bytes;
}

void WriteTree(std::ostream& out, const Node& tree, const std::string& path) {
  out << "K " << ToHex(path.data(), path.size()) << '\n';
  for (const Node::Value& v : tree.values) {
    out << "V " << v.type << ' ' << ToHex(v.name.data(), v.name.size()) << ' '
        << ToHex(v.data.data(), v.data.size()) << '\n';
  }
  for (const auto& [folded, child] : tree.children) {
    WriteTree(out, *child, path.empty() ? child->name : path + "\\" + child->name);
  }
}

std::string SavedText(const Node& tree) {
  std::ostringstream text;
  text << kFileHeader << '\n';
  WriteTree(text, tree, std::string());
  text << "END\n";
  return text.str();
}

// Reads a saved tree; false for anything that is not exactly what SavedText
// produces (so a damaged file mounts nothing). The reading itself is lenient:
// a file is taken only if the tree read writes back byte for byte the same,
// which refuses every other spelling, order, repetition, stray or trailing
// line. A value named twice in one key would write back alike: it is refused
// on its own.
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
      const std::vector<unsigned char> path = FromHex(first);
      std::vector<std::string> parts;
      SplitPath(std::string(path.begin(), path.end()), parts);
      current = &root;
      for (std::size_t i = 0; i < parts.size(); ++i) {
        std::shared_ptr<Node> child = current->FindChild(parts[i]);
        if (child == nullptr && i + 1 < parts.size()) return false;  // parents come first
        current = (child ? child : current->AddChild(parts[i], 0)).get();
      }
    } else if (tag == "V" && current != nullptr && fields >> name >> data) {
      Node::Value value;
      const std::vector<unsigned char> nameBytes = FromHex(name);
      value.name.assign(nameBytes.begin(), nameBytes.end());
      std::from_chars(first.data(), first.data() + first.size(), value.type);
      value.data = FromHex(data);
      for (const Node::Value& existing : current->values) {
        if (SameName(existing.name, value.name)) return false;
      }
      current->values.push_back(std::move(value));
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
    if (!sub) {
      if (target.readOnly) return kErrorAccessDenied;
      sub = target.AddChild(child->name, now);
    }
    const long result = ApplyTree(*child, *sub, kKeyAllAccess, now);
    if (result != kOk) return result;
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

bool IsWithin(const Node* node, const Node* ancestor) {
  for (; node != nullptr; node = node->parent) {
    if (node == ancestor) return true;
  }
  return false;
}

// The current time as a FILETIME (100 ns units since 1601-01-01 UTC), as
// last write times hold it.
RegFileTime Now() {
  // FILETIME counts 100 ns ticks from 1601; the system clock counts from 1970.
  constexpr RegFileTime kUnixEpochAsFileTime = 116444736000000000ull;
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  const auto ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count() / 100;
  return kUnixEpochAsFileTime + static_cast<RegFileTime>(ticks);
}

}  // namespace

MemoryRegistry::MemoryRegistry() {
  for (RegKey root : {kCurrentUser, kLocalMachine, kUsers}) {
    auto node = std::make_shared<Node>();
    node->lastWrite = Now();
    roots_[root] = node;
  }
}

MemoryRegistry::~MemoryRegistry() = default;

long MemoryRegistry::Resolve(RegKey key, std::uint32_t needed, std::shared_ptr<Node>& node,
                             std::uint32_t* granted) const {
  std::uint32_t access = kKeyAllAccess;
  if (auto root = roots_.find(key); root != roots_.end()) {
    node = root->second;
  } else {
    auto handle = handles_.find(key);
    if (handle == handles_.end()) return kErrorInvalidHandle;
    node = handle->second.node;
    access = handle->second.access;
  }
  if ((needed & ~access) != 0) return kErrorAccessDenied;
  if (granted != nullptr) *granted = access;
  return kOk;
}

long MemoryRegistry::Walk(RegKey parent, const std::string& path, bool create,
                          std::shared_ptr<Node>& node) {
  std::shared_ptr<Node> current;
  if (const long result = Resolve(parent, 0, current); result != kOk) return result;
  std::vector<std::string> parts;
  if (const long result = SplitPath(path, parts); result != kOk) return result;
  for (const std::string& part : parts) {
    std::shared_ptr<Node> next = current->FindChild(part);
    if (!next) {
      if (!create) return kErrorFileNotFound;
      // Creating a subkey is a write to its parent.
      if (current->readOnly) return kErrorAccessDenied;
      next = current->AddChild(part, Now());
    }
    current = next;
  }
  node = current;
  return kOk;
}

long MemoryRegistry::NewHandle(const std::shared_ptr<Node>& node, std::uint32_t access,
                               RegKey& out) {
  if (node->readOnly && (access & kWriteRights) != 0) return kErrorAccessDenied;
  out = nextHandle_;
  nextHandle_ += 4;  // never reused, so a stale handle stays invalid
  handles_[out] = Handle{node, access};
  return kOk;
}

long MemoryRegistry::CreateKey(RegKey parent, const std::string& path, std::uint32_t access,
                               RegKey& out) {
  std::shared_ptr<Node> node;
  if (const long result = Walk(parent, path, true, node); result != kOk) return result;
  return NewHandle(node, access, out);
}

long MemoryRegistry::OpenKey(RegKey parent, const std::string& path, std::uint32_t access,
                             RegKey& out) {
  std::shared_ptr<Node> node;
  if (const long result = Walk(parent, path, false, node); result != kOk) return result;
  return NewHandle(node, access, out);
}

long MemoryRegistry::CloseKey(RegKey key) {
  return handles_.erase(key) == 1 ? kOk : kErrorInvalidHandle;
}

long MemoryRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                                void* data, std::uint32_t* size) {
  std::shared_ptr<Node> node;
  if (const long result = Resolve(key, kKeyQueryValue, node); result != kOk) return result;
  const Node::Value* value = node->FindValue(name);
  if (value == nullptr) return kErrorFileNotFound;
  if (type != nullptr) *type = value->type;
  if (size == nullptr) return kOk;
  const auto needed = static_cast<std::uint32_t>(value->data.size());
  if (data == nullptr) {
    *size = needed;
    return kOk;
  }
  if (*size < needed) {
    *size = needed;
    return kErrorMoreData;
  }
  if (needed != 0) std::memcpy(data, value->data.data(), needed);
  *size = needed;
  return kOk;
}

long MemoryRegistry::SetValue(RegKey key, const std::string& name, std::uint32_t type,
                              const void* data, std::uint32_t size) {
  std::shared_ptr<Node> node;
  if (const long result = Resolve(key, kKeySetValue, node); result != kOk) return result;
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::vector<unsigned char> copy(bytes, bytes + size);
  if (Node::Value* existing = node->FindValue(name)) {
    existing->type = type;
    existing->data = std::move(copy);
  } else {
    node->values.push_back(Node::Value{name, type, std::move(copy)});
  }
  node->lastWrite = Now();
  return kOk;
}

long MemoryRegistry::DeleteValue(RegKey key, const std::string& name) {
  std::shared_ptr<Node> node;
  if (const long result = Resolve(key, kKeySetValue, node); result != kOk) return result;
  for (auto it = node->values.begin(); it != node->values.end(); ++it) {
    if (SameName(it->name, name)) {
      node->values.erase(it);
      node->lastWrite = Now();
      return kOk;
    }
  }
  return kErrorFileNotFound;
}

long MemoryRegistry::EnumValue(RegKey key, std::uint32_t index, std::string& name,
                               std::uint32_t& type, std::vector<unsigned char>& data) {
  std::shared_ptr<Node> node;
  if (const long result = Resolve(key, kKeyQueryValue, node); result != kOk) return result;
  if (index >= node->values.size()) return kErrorNoMoreItems;
  const Node::Value& value = node->values[index];
  name = value.name;
  type = value.type;
  data = value.data;
  return kOk;
}

long MemoryRegistry::QueryInfoKey(RegKey key, std::uint32_t* subkeys, RegFileTime* lastWrite) {
  std::shared_ptr<Node> node;
  if (const long result = Resolve(key, kKeyQueryValue, node); result != kOk) return result;
  if (subkeys != nullptr) *subkeys = static_cast<std::uint32_t>(node->children.size());
  if (lastWrite != nullptr) *lastWrite = node->lastWrite;
  return kOk;
}

long MemoryRegistry::EnumKey(RegKey key, std::uint32_t index, std::string& name,
                             std::uint32_t bufferChars) {
  std::shared_ptr<Node> node;
  if (const long result = Resolve(key, kKeyEnumerateSubKeys, node); result != kOk) return result;
  if (index >= node->children.size()) return kErrorNoMoreItems;
  auto it = node->children.begin();
  std::advance(it, index);
  const std::string& childName = it->second->name;
  if (childName.size() + 1 > bufferChars) return kErrorMoreData;
  name = childName;
  return kOk;
}

long MemoryRegistry::DeleteTree(RegKey parent, const std::string& path) {
  std::vector<std::string> parts;
  if (const long result = SplitPath(path, parts); result != kOk) return result;
  if (parts.empty()) return kErrorInvalidParameter;
  std::shared_ptr<Node> node;
  if (const long result = Walk(parent, path, false, node); result != kOk) return result;
  Node* owner = node->parent;
  owner->children.erase(Fold(node->name));
  owner->lastWrite = Now();
  return kOk;
}

long MemoryRegistry::CopyTree(RegKey source, const std::string& path, RegKey target) {
  std::shared_ptr<Node> from, to;
  std::uint32_t granted = 0;
  if (const long result = Resolve(target, 0, to, &granted); result != kOk) return result;
  if (const long result = Walk(source, path, false, from); result != kOk) return result;
  return ApplyTree(Snapshot(*from), *to, granted, Now());
}

long MemoryRegistry::SaveKey(RegKey key, const std::string& file) {
  std::shared_ptr<Node> node;
  if (const long result = Resolve(key, 0, node); result != kOk) return result;
  std::error_code error;
  if (std::filesystem::exists(file, error)) return kErrorAlreadyExists;
  std::ofstream out(file, std::ios::binary);
  if (!out) return kErrorPathNotFound;
  const std::string bytes = SavedText(*node);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return kOk;
}

long MemoryRegistry::LoadKey(RegKey root, const std::string& name, const std::string& file) {
  std::shared_ptr<Node> parent = roots_.at(root);
  if (parent->FindChild(name)) return kErrorAlreadyExists;
  std::ifstream in(file, std::ios::binary);
  if (!in) return kErrorFileNotFound;
  Node tree;
  if (!ParseTree(std::string(std::istreambuf_iterator<char>(in), {}), tree)) return kErrorNotRegistryFile;
  const RegFileTime now = Now();
  return ApplyTree(tree, *parent->AddChild(name, now), kKeyAllAccess, now);
}

long MemoryRegistry::UnLoadKey(RegKey root, const std::string& name) {
  std::shared_ptr<Node> parent = roots_.at(root);
  std::shared_ptr<Node> mounted = parent->FindChild(name);
  if (!mounted) return kErrorFileNotFound;
  for (const auto& [key, handle] : handles_) {
    if (IsWithin(handle.node.get(), mounted.get())) return kErrorAccessDenied;
  }
  parent->children.erase(Fold(mounted->name));
  parent->lastWrite = Now();
  return kOk;
}

long MemoryRegistry::SetKeyReadOnly(RegKey parent, const std::string& path, bool readOnly) {
  std::shared_ptr<Node> node;
  if (const long result = Walk(parent, path, false, node); result != kOk) return result;
  node->readOnly = readOnly;
  return kOk;
}

}  // namespace platform
