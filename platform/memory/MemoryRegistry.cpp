#include "platform/memory/MemoryRegistry.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

namespace platform {

namespace {

// Rights that change a key: asking for any of them on a read-only key is
// refused. The generic rights are mapped first, as the system does.
constexpr std::uint32_t kKeyCreateLink = 0x0020;
constexpr std::uint32_t kGenericAll = 0x10000000;
constexpr std::uint32_t kGenericWrite = 0x40000000;
constexpr std::uint32_t kGenericRead = 0x80000000;
constexpr std::uint32_t kWriteRights = kKeySetValue | kKeyCreateSubKey | kKeyCreateLink;

std::uint32_t MapGenericRights(std::uint32_t access) {
  if (access & kGenericAll) access |= kKeyAllAccess;
  if (access & kGenericWrite) access |= kKeyWrite;
  if (access & kGenericRead) access |= kKeyRead;
  return access & ~(kGenericAll | kGenericWrite | kGenericRead);
}

// Windows compares names by their upper-case form. Besides ASCII this folds
// the Latin letters of the Western ANSI code page (1252), the one the
// program's texts are in.
unsigned char FoldChar(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A: return 0x8A;  // s caron
    case 0x9C: return 0x8C;  // oe
    case 0x9E: return 0x8E;  // z caron
    case 0xFF: return 0x9F;  // y diaeresis
    default: return c;
  }
}

std::string Fold(const std::string& name) {
  std::string folded(name);
  for (char& c : folded) c = static_cast<char>(FoldChar(static_cast<unsigned char>(c)));
  return folded;
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

bool IsPredefined(RegKey key) {
  return key == kCurrentUser || key == kLocalMachine || key == kUsers;
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
  bool deleted = false;
  bool hiveRoot = false;

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
  // Marks the whole tree as gone, so that handles still open on it fail.
  void MarkDeleted() {
    deleted = true;
    for (auto& [folded, child] : children) child->MarkDeleted();
  }
};
}  // namespace memory_detail

namespace {

using Node = memory_detail::RegistryNode;

// A detached copy of a key tree: what SaveKey writes, LoadKey reads and
// CopyTree takes before it writes, so a tree copied into itself still ends.
struct TreeCopy {
  std::string name;
  std::vector<Node::Value> values;
  std::vector<TreeCopy> children;
};

TreeCopy Snapshot(const Node& node) {
  TreeCopy copy{node.name, node.values, {}};
  for (const auto& [folded, child] : node.children) copy.children.push_back(Snapshot(*child));
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

bool FromHex(const std::string& hex, std::vector<unsigned char>& out) {
  out.clear();
  if (hex == "-") return true;
  if (hex.empty() || hex.size() % 2 != 0) return false;
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int hi = nibble(hex[i]), lo = nibble(hex[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out.push_back(static_cast<unsigned char>(hi << 4 | lo));
  }
  return true;
}

void WriteTree(std::ostream& out, const TreeCopy& tree, const std::string& path) {
  out << "K " << ToHex(path.data(), path.size()) << '\n';
  for (const Node::Value& v : tree.values) {
    out << "V " << v.type << ' ' << ToHex(v.name.data(), v.name.size()) << ' '
        << ToHex(v.data.data(), v.data.size()) << '\n';
  }
  for (const TreeCopy& child : tree.children) {
    WriteTree(out, child, path.empty() ? child.name : path + "\\" + child.name);
  }
}

TreeCopy* FindCopyChild(TreeCopy& parent, const std::string& name) {
  for (TreeCopy& child : parent.children) {
    if (SameName(child.name, name)) return &child;
  }
  return nullptr;
}

// Reads a saved tree; false for anything that is not exactly what WriteTree
// produces (so a damaged file mounts nothing).
bool ParseTree(std::istream& in, TreeCopy& root) {
  std::string line;
  if (!std::getline(in, line) || line != kFileHeader) return false;
  TreeCopy* current = nullptr;
  bool ended = false;
  while (std::getline(in, line)) {
    if (ended) return false;  // nothing may follow the end marker
    std::istringstream fields(line);
    std::string tag;
    fields >> tag;
    if (tag == "END") {
      if (line != "END" || current == nullptr) return false;
      ended = true;
      continue;
    }
    std::vector<unsigned char> bytes;
    if (tag == "K") {
      std::string hexPath, extra;
      if (!(fields >> hexPath) || (fields >> extra) || !FromHex(hexPath, bytes)) return false;
      const std::string path(bytes.begin(), bytes.end());
      if (path.empty()) {
        if (current != nullptr) return false;  // the saved key comes once, first
        current = &root;
        continue;
      }
      if (current == nullptr) return false;
      std::vector<std::string> parts;
      if (SplitPath(path, parts) != kOk || parts.empty() ||
          path.find("\\\\") != std::string::npos || path.back() == '\\') {
        return false;
      }
      TreeCopy* parent = &root;
      for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        parent = FindCopyChild(*parent, parts[i]);
        if (parent == nullptr) return false;  // parents come before children
      }
      if (FindCopyChild(*parent, parts.back()) != nullptr) return false;
      parent->children.push_back(TreeCopy{parts.back(), {}, {}});
      current = &parent->children.back();
    } else if (tag == "V") {
      std::string typeText, hexName, hexData, extra;
      if (current == nullptr || !(fields >> typeText >> hexName >> hexData) ||
          (fields >> extra)) {
        return false;
      }
      if (typeText.empty() || typeText.size() > 10 ||
          typeText.find_first_not_of("0123456789") != std::string::npos) {
        return false;
      }
      const unsigned long long type = std::stoull(typeText);
      if (type > 0xFFFFFFFFull || !FromHex(hexName, bytes)) return false;
      Node::Value value;
      value.name.assign(bytes.begin(), bytes.end());
      value.type = static_cast<std::uint32_t>(type);
      if (!FromHex(hexData, value.data)) return false;
      for (const Node::Value& existing : current->values) {
        if (SameName(existing.name, value.name)) return false;
      }
      current->values.push_back(std::move(value));
    } else {
      return false;
    }
  }
  return ended;
}

// Writes a detached tree into `target`: subkeys first, then the values of
// the key itself, like SHCopyKey. Setting the values needs KEY_SET_VALUE on
// the handle the caller holds; the keys below are reached with full rights.
long ApplyTree(const TreeCopy& tree, Node& target, std::uint32_t granted, RegFileTime now) {
  for (const TreeCopy& child : tree.children) {
    std::shared_ptr<Node> sub = target.FindChild(child.name);
    if (!sub) {
      if (target.readOnly) return kErrorAccessDenied;
      sub = target.AddChild(child.name, now);
    } else if (sub->readOnly) {
      return kErrorAccessDenied;
    }
    const long result = ApplyTree(child, *sub, kKeyAllAccess, now);
    if (result != kOk) return result;
  }
  if (tree.values.empty()) return kOk;
  if (!(granted & kKeySetValue)) return kErrorAccessDenied;
  for (const Node::Value& v : tree.values) {
    if (Node::Value* existing = target.FindValue(v.name)) {
      existing->type = v.type;
      existing->data = v.data;
    } else {
      target.values.push_back(v);
    }
  }
  target.lastWrite = now;
  return kOk;
}

void MountTree(const TreeCopy& tree, Node& target, RegFileTime now) {
  target.values = tree.values;
  for (const TreeCopy& child : tree.children) {
    MountTree(child, *target.AddChild(child.name, now), now);
  }
  target.lastWrite = now;
}

bool IsWithin(const Node* node, const Node* ancestor) {
  for (; node != nullptr; node = node->parent) {
    if (node == ancestor) return true;
  }
  return false;
}

bool ContainsHive(const Node& node) {
  if (node.hiveRoot) return true;
  for (const auto& [folded, child] : node.children) {
    if (ContainsHive(*child)) return true;
  }
  return false;
}

}  // namespace

RegFileTime SystemFileTimeNow() {
  // FILETIME counts 100 ns ticks from 1601; the system clock counts from 1970.
  constexpr RegFileTime kUnixEpochAsFileTime = 116444736000000000ull;
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  const auto ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count() / 100;
  return kUnixEpochAsFileTime + static_cast<RegFileTime>(ticks);
}

MemoryRegistry::MemoryRegistry() : now_(SystemFileTimeNow) {
  for (RegKey root : {kCurrentUser, kLocalMachine, kUsers}) {
    auto node = std::make_shared<Node>();
    node->lastWrite = Now();
    roots_[root] = node;
  }
}

MemoryRegistry::~MemoryRegistry() = default;

void MemoryRegistry::SetTimeSource(std::function<RegFileTime()> now) {
  now_ = now ? std::move(now) : std::function<RegFileTime()>(SystemFileTimeNow);
}

RegFileTime MemoryRegistry::Now() const { return now_(); }

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
  if (node->deleted) return kErrorKeyDeleted;
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
  access = MapGenericRights(access);
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
  if (IsPredefined(key)) return kOk;
  return handles_.erase(key) == 1 ? kOk : kErrorInvalidHandle;
}

long MemoryRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                                void* data, std::uint32_t* size) {
  std::shared_ptr<Node> node;
  if (const long result = Resolve(key, kKeyQueryValue, node); result != kOk) return result;
  if (data != nullptr && size == nullptr) return kErrorInvalidParameter;
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
  if (data == nullptr && size != 0) return kErrorInvalidParameter;
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
  // A mounted file is removed by unloading it, never by deleting keys.
  if (ContainsHive(*node)) return kErrorAccessDenied;
  Node* owner = node->parent;
  node->MarkDeleted();
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
  std::ostringstream text;
  text << kFileHeader << '\n';
  WriteTree(text, Snapshot(*node), std::string());
  text << "END\n";
  std::ofstream out(file, std::ios::binary);
  if (!out) return kErrorPathNotFound;
  const std::string bytes = text.str();
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::filesystem::remove(file, error);
    return kErrorRegistryIoFailed;
  }
  return kOk;
}

long MemoryRegistry::LoadKey(RegKey root, const std::string& name, const std::string& file) {
  if (root != kUsers && root != kLocalMachine) return kErrorInvalidParameter;
  if (name.empty() || name.find('\\') != std::string::npos) return kErrorInvalidParameter;
  std::shared_ptr<Node> parent = roots_.at(root);
  if (parent->FindChild(name)) return kErrorAlreadyExists;
  std::ifstream in(file, std::ios::binary);
  if (!in) return kErrorFileNotFound;
  TreeCopy tree;
  if (!ParseTree(in, tree)) return kErrorNotRegistryFile;
  const RegFileTime now = Now();
  std::shared_ptr<Node> mounted = parent->AddChild(name, now);
  mounted->hiveRoot = true;
  MountTree(tree, *mounted, now);
  return kOk;
}

long MemoryRegistry::UnLoadKey(RegKey root, const std::string& name) {
  if (root != kUsers && root != kLocalMachine) return kErrorInvalidParameter;
  std::shared_ptr<Node> parent = roots_.at(root);
  std::shared_ptr<Node> mounted = parent->FindChild(name);
  if (!mounted) return kErrorFileNotFound;
  if (!mounted->hiveRoot) return kErrorInvalidParameter;
  for (const auto& [key, handle] : handles_) {
    if (IsWithin(handle.node.get(), mounted.get())) return kErrorAccessDenied;
  }
  mounted->MarkDeleted();
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
