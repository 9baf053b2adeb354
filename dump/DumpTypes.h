#pragma once
// Shared vocabulary of the dump writer: object kinds, insert kinds, the property protocol's
// identifiers and values, and its error classes.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>

namespace dump {

enum class TMyDumpObject : uint8_t { doDatabase, doUsers, doStoredProcs, doTables, doData, doViews, doTriggers };

// A set of TMyDumpObject.
class TMyDumpObjects {
 public:
  constexpr TMyDumpObjects() = default;
  constexpr TMyDumpObjects(std::initializer_list<TMyDumpObject> objects) {
    for (TMyDumpObject o : objects) bits_ |= Bit(o);
  }
  constexpr bool Contains(TMyDumpObject o) const { return (bits_ & Bit(o)) != 0; }
  constexpr bool operator==(const TMyDumpObjects&) const = default;

 private:
  static constexpr uint8_t Bit(TMyDumpObject o) { return static_cast<uint8_t>(1u << static_cast<unsigned>(o)); }
  uint8_t bits_ = 0;
};

enum class TMyInsertType : uint8_t { itInsert, itInsertIgnore, itReplaceInto };

// The value of one setting in the property protocol.
using TPropValue = std::variant<bool, int32_t, uint8_t>;

// Identifiers of the settings copied into the processor.
enum TMyDumpProp : int32_t {
  prFieldsAsString = 36,
  prBackupTables = 104,
  prBackupViews = 105,
  prBackupData = 106,
  prAddLock = 107,
  prDisableKeys = 108,
  prHexBlob = 109,
  prUseExtSyntax = 110,
  prUseDelayedIns = 111,
  prCommitBatchSize = 112,
  prInsertType = 113,
  prBackupTriggers = 115,
  prBackupStoredProcs = 116,
};

// The dump writer's own errors ("Connection is not defined", "Stream write error", ...).
class EDAError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A programming error (an unknown property identifier); raised in every build type.
class EAssertionFailed : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

}  // namespace dump
