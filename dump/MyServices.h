#pragma once
// TCustomMyDumpProcessor: the MySQL processor. It chooses the output encoding, writes the
// server-variable lines, builds the object list and writes each table's data statements.
#include <memory>
#include <string>
#include <vector>

#include "access/MySQLConnection.h"
#include "dump/DADump.h"
#include "dump/RowBuffer.h"
#include "dump/values.h"

namespace dump {

enum class TTextEncoding { Ansi, Utf8, Utf16LE };

enum class _TMyInsertType : uint8_t { _itInsert, _itInsertIgnore, _itReplaceInto };

class TCustomMyDumpProcessor : public TDADumpProcessor {
 public:
  explicit TCustomMyDumpProcessor(TDADump* owner) : TDADumpProcessor(owner) {}

  void WriteTextLine(std::u16string_view text) override;
  void WriteByteLine(std::string_view bytes);
  void ProcessBackup(std::u16string_view query) override;
  void ValidateQuery(std::u16string_view query) override;
  void WriteSettingsPrologue() override;
  void WriteSettingsEpilogue() override;
  void DumpObjects(std::u16string_view query) override;
  bool SetProp(int32_t prop, const TPropValue& value) override;
  bool GetProp(int32_t prop, TPropValue& value) override;

 protected:
  struct TObjectEntry {
    TObjectName object;     // bare parts
    std::u16string name;    // as the statements write it
    bool isView = false;
  };

  bool ObjectIsView(const TObjectEntry& entry, const std::vector<TObjectEntry>& list);
  void DumpTablesAndViews(std::u16string_view query);
  void DumpObject(std::u16string_view query, const TObjectEntry& entry, int32_t objectNum, int32_t objectCount);

  bool FUseUnicode = false;
  std::string FCharset;
  db::TMySQLConnection* FIConnection = nullptr;
  std::unique_ptr<db::TMyQuery> FQueryView;

  bool FBackupTables = false;
  bool FBackupViews = false;
  bool FBackupData = true;
  bool FBackupTriggers = false;
  bool FBackupStoredProcs = false;
  bool FAddLock = false;
  bool FDisableKeys = false;
  bool FHexBlob = false;
  bool FUseExtSyntax = false;
  bool FUseDelayedIns = false;
  int32_t FCommitBatchSize = 0;
  _TMyInsertType FInsertType = _TMyInsertType::_itInsert;
  bool FFieldsAsString = false;
  TTextEncoding FEncoding = TTextEncoding::Ansi;

 private:
  // SQL text as the connection takes it, and server text (names) back.
  std::string ToServer(std::u16string_view text) const;
  std::u16string FromServer(std::string_view bytes) const;
  std::u16string StatementKeyword() const;
  // The select list of the row query: "*", or the stored columns when the table has generated
  // or invisible ones.
  std::u16string SelectList(const TObjectEntry& entry);
  void WriteRowsOneByOne(const std::u16string& name, int32_t num, int32_t count, int64_t rowCount,
                         const std::u16string& head, const std::vector<db::TField*>& fields);
  void WriteRowsExtended(const std::u16string& name, int32_t num, int32_t count, int64_t rowCount,
                         const std::u16string& head, const std::vector<db::TField*>& fields);
};

}  // namespace dump
