#include "dump/MyDump.h"

#include <ctime>

#include "platform/TextEncoding.h"

namespace dump {

// --- options

TMyDumpOptions::TMyDumpOptions(TMyDump* owner) : TDADumpOptions(owner), FOwner(owner) {}

template <typename T>
void TMyDumpOptions::Change(T& field, T value, int32_t prop, TPropValue sent) {
  if (field == value) return;
  field = value;
  if (TDADumpProcessor* p = FOwner->Processor()) p->SetProp(prop, sent);
}

void TMyDumpOptions::SetAddLock(bool v) { Change(FAddLock, v, prAddLock, v); }
void TMyDumpOptions::SetDisableKeys(bool v) { Change(FDisableKeys, v, prDisableKeys, v); }
void TMyDumpOptions::SetHexBlob(bool v) { Change(FHexBlob, v, prHexBlob, v); }
void TMyDumpOptions::SetUseExtSyntax(bool v) { Change(FUseExtSyntax, v, prUseExtSyntax, v); }
void TMyDumpOptions::SetUseDelayedIns(bool v) { Change(FUseDelayedIns, v, prUseDelayedIns, v); }
void TMyDumpOptions::SetCommitBatchSize(int32_t v) { Change(FCommitBatchSize, v, prCommitBatchSize, v); }
void TMyDumpOptions::SetInsertType(TMyInsertType v) {
  Change(FInsertType, v, prInsertType, static_cast<uint8_t>(v));
}
void TMyDumpOptions::SetFieldsAsString(bool v) { Change(FFieldsAsString, v, prFieldsAsString, v); }

void TMyDumpOptions::Assign(const TDADumpOptions& source) {
  TDADumpOptions::Assign(source);
  if (const auto* my = dynamic_cast<const TMyDumpOptions*>(&source)) {
    SetAddLock(my->AddLock());
    SetDisableKeys(my->DisableKeys());
    SetHexBlob(my->HexBlob());
    SetUseExtSyntax(my->UseExtSyntax());
    SetUseDelayedIns(my->UseDelayedIns());
    SetCommitBatchSize(my->CommitBatchSize());
    SetInsertType(my->InsertType());
    SetFieldsAsString(my->FieldsAsString());
  }
}

// --- processor

TMyDumpProcessor::TMyDumpProcessor(TMyDump* owner) : TCustomMyDumpProcessor(owner), FOwner(owner) {}

void TMyDumpProcessor::DumpObjects(std::u16string_view query) {
  EnsureDataQuery();
  const TMyDumpObjects objects = FOwner->Objects();
  if (objects.Contains(TMyDumpObject::doDatabase) || objects.Contains(TMyDumpObject::doUsers))
    throw EDAError("The database and user sections cannot be written: only table data is supported");
  TCustomMyDumpProcessor::DumpObjects(query);
}

// --- component

TMyDump::TMyDump() { InitOptions(); }

std::unique_ptr<TDADumpOptions> TMyDump::MakeOptions() { return std::make_unique<TMyDumpOptions>(this); }

bool TMyDump::IsDumpProcessorClass(const TDADumpProcessor& processor) const {
  return dynamic_cast<const TMyDumpProcessor*>(&processor) != nullptr;
}

std::unique_ptr<TDADumpProcessor> TMyDump::CreateDumpProcessor() { return std::make_unique<TMyDumpProcessor>(this); }

void TMyDump::SendObjectFlags() {
  TDADumpProcessor* p = FProcessor.get();
  p->SetProp(prBackupTables, FObjects.Contains(TMyDumpObject::doTables));
  p->SetProp(prBackupViews, FObjects.Contains(TMyDumpObject::doViews));
  p->SetProp(prBackupData, FObjects.Contains(TMyDumpObject::doData));
  p->SetProp(prBackupTriggers, FObjects.Contains(TMyDumpObject::doTriggers));
  p->SetProp(prBackupStoredProcs, FObjects.Contains(TMyDumpObject::doStoredProcs));
}

void TMyDump::AttachProcessor(std::unique_ptr<TDADumpProcessor> processor) {
  TDADump::AttachProcessor(std::move(processor));
  if (!FProcessor) return;
  SendObjectFlags();
  const TMyDumpOptions& o = Options();
  TDADumpProcessor* p = FProcessor.get();
  p->SetProp(prAddLock, o.AddLock());
  p->SetProp(prDisableKeys, o.DisableKeys());
  p->SetProp(prHexBlob, o.HexBlob());
  p->SetProp(prUseExtSyntax, o.UseExtSyntax());
  p->SetProp(prUseDelayedIns, o.UseDelayedIns());
  p->SetProp(prCommitBatchSize, o.CommitBatchSize());
  p->SetProp(prInsertType, static_cast<uint8_t>(o.InsertType()));
  p->SetProp(prFieldsAsString, o.FieldsAsString());
}

void TMyDump::SetObjects(TMyDumpObjects objects) {
  if (objects == FObjects) return;
  FObjects = objects;
  if (FProcessor) SendObjectFlags();
}

std::u16string TMyDump::TableNames() const { return TMySQLInfo::NamesFromList(FTables); }
void TMyDump::SetTableNames(std::u16string_view names) { FTables = TMySQLInfo::NamesToList(names); }

std::u16string TMyDump::HeaderText() {
  db::TMySQLConnection& icon = FConnection->GetIConnection();
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%d/%m/%Y %H:%M:%S", &local);
  std::string h;
  h += "-- Dump component version: 10.4.1\r\n";
  h += "-- MySQL server version: " + icon.session().serverVersion() + "\r\n";
  h += "-- MySQL client version: " + icon.session().clientVersion() + "\r\n";
  h += std::string("-- Script date ") + stamp + "\r\n";
  h += "-- ---------------------------------------------------------------------- \r\n";
  h += "-- Server: " + (FConnection->Server.empty() ? std::string("localhost") : FConnection->Server) + "\r\n";
  h += "-- Database: " + FConnection->Database + "\r\n";
  h += "\r\n";
  return platform::Utf8ToUtf16(h);
}

}  // namespace dump
