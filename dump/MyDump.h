#pragma once
// The MySQL form of the dump component: its options, object kinds and processor.
#include <string>

#include "dump/DADump.h"
#include "dump/MyServices.h"

namespace dump {

class TMyDump;

class TMyDumpOptions : public TDADumpOptions {
 public:
  explicit TMyDumpOptions(TMyDump* owner);
  void Assign(const TDADumpOptions& source) override;

  bool AddLock() const { return FAddLock; }
  void SetAddLock(bool v);
  bool DisableKeys() const { return FDisableKeys; }
  void SetDisableKeys(bool v);
  bool HexBlob() const { return FHexBlob; }
  void SetHexBlob(bool v);
  bool UseExtSyntax() const { return FUseExtSyntax; }
  void SetUseExtSyntax(bool v);
  bool UseDelayedIns() const { return FUseDelayedIns; }
  void SetUseDelayedIns(bool v);
  int32_t CommitBatchSize() const { return FCommitBatchSize; }
  void SetCommitBatchSize(int32_t v);
  TMyInsertType InsertType() const { return FInsertType; }
  void SetInsertType(TMyInsertType v);
  bool FieldsAsString() const { return FFieldsAsString; }
  void SetFieldsAsString(bool v);

 private:
  // Stores the value and tells an existing processor at once.
  template <typename T>
  void Change(T& field, T value, int32_t prop, TPropValue sent);

  TMyDump* FOwner;
  bool FAddLock = true;
  bool FDisableKeys = false;
  bool FHexBlob = false;
  bool FUseExtSyntax = true;
  bool FUseDelayedIns = false;
  int32_t FCommitBatchSize = 0;
  TMyInsertType FInsertType = TMyInsertType::itInsert;
  bool FFieldsAsString = false;
};

class TMyDumpProcessor : public TCustomMyDumpProcessor {
 public:
  explicit TMyDumpProcessor(TMyDump* owner);
  void DumpObjects(std::u16string_view query) override;

 private:
  TMyDump* FOwner;
};

class TMyDump : public TDADump {
 public:
  TMyDump();

  TMyDumpOptions& Options() { return static_cast<TMyDumpOptions&>(*FOptions); }
  const TMyDumpOptions& Options() const { return static_cast<const TMyDumpOptions&>(*FOptions); }

  TMyDumpObjects Objects() const { return FObjects; }
  void SetObjects(TMyDumpObjects objects);

  std::u16string TableNames() const override;
  void SetTableNames(std::u16string_view names) override;
  std::u16string StoredProcNames() const { return TMySQLInfo::NamesFromList(FStoredProcs); }
  void SetStoredProcNames(std::u16string_view names) { FStoredProcs = TMySQLInfo::NamesToList(names); }
  std::u16string TriggerNames() const { return TMySQLInfo::NamesFromList(FTriggers); }
  void SetTriggerNames(std::u16string_view names) { FTriggers = TMySQLInfo::NamesToList(names); }

  std::u16string HeaderText() override;

 protected:
  bool IsDumpProcessorClass(const TDADumpProcessor& processor) const override;
  std::unique_ptr<TDADumpProcessor> CreateDumpProcessor() override;
  void AttachProcessor(std::unique_ptr<TDADumpProcessor> processor) override;
  std::unique_ptr<TDADumpOptions> MakeOptions() override;

 private:
  void SendObjectFlags();

  TMyDumpObjects FObjects{TMyDumpObject::doTables, TMyDumpObject::doData, TMyDumpObject::doViews};
};

}  // namespace dump
