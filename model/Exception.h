#pragma once
// Root classes of the program's object and failure hierarchy. Failures are
// thrown by value and caught by const reference; every exception carries
// numbers only (no text): the class's category, a code within it, a detail
// (a line number for language files) and the exception it wraps, if any.
#include <cstdint>
#include <memory>

namespace Vesperon {

class Object {
 public:
  virtual ~Object() = default;
};

class Exception : public Object {
 public:
  Exception() = default;
  Exception(std::int32_t code, std::int32_t category, std::int32_t detail = 0)
      : code(code), category(category), detail(detail) {}

  std::shared_ptr<const Exception> inner;  // the failure this one wraps
  std::int32_t code = 0;
  std::int32_t category = 0;
  std::int32_t detail = 0;
  std::int32_t reserved = 0;  // always 0
};

// Categories of the exception classes.
enum ExceptionCategory : std::int32_t {
  kCategorySystem = 1,  // SystemException and DataSystem::RegistryException
  kCategoryDataSystem = 2,
  kCategoryUtilities = 3,
  kCategoryLocalization = 4,
  kCategoryTaskbar = 5,
  kCategoryService = 6,
  kCategoryAttachableApi = 7,
  kCategoryRasConnectionInfo = 8,
  kCategoryWakeOnLan = 9,
};

class SystemException : public Exception {
 public:
  explicit SystemException(std::int32_t code) : Exception(code, kCategorySystem) {}
};

// Thrown where a trigger or a helper meets a state that cannot occur
// (an unknown trigger kind, a module path that cannot be read).
class ImpossibleStateException : public Exception {
 public:
  ImpossibleStateException() = default;
};

}  // namespace Vesperon
