#pragma once
// The server-independent frame of the dump writer: its options, its processor base and the dump
// component with the table-name lists, the output stream, the connection and the progress event.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "access/MyConnection.h"
#include "access/MyQuery.h"
#include "dump/DumpTypes.h"
#include "dump/MySQLInfo.h"
#include "dump/Stream.h"

namespace dump {

class TDADump;

// The lines of a text as a list of lines reads them: split at line breaks (CR LF or LF); a
// final line break does not start another line.
std::vector<std::u16string_view> SplitLines(std::u16string_view text);

// ObjectName by reference: the event is raised for every row, and a copy each time shows.
using TDABackupProgressEvent = std::function<void(TDADump* Sender, const std::u16string& ObjectName,
                                                  int32_t ObjectNum, int32_t ObjectCount, int32_t Percent)>;

class TDADumpOptions {
 public:
  explicit TDADumpOptions(TDADump* owner) : FOwner(owner) {}
  virtual ~TDADumpOptions() = default;
  // Copies the values of another options object, through the setters.
  virtual void Assign(const TDADumpOptions& source);

  bool GenerateHeader() const { return FGenerateHeader; }
  void SetGenerateHeader(bool v) { FGenerateHeader = v; }
  bool AddDrop() const { return FAddDrop; }
  void SetAddDrop(bool v) { FAddDrop = v; }
  bool QuoteNames() const { return FQuoteNames; }
  void SetQuoteNames(bool v) { FQuoteNames = v; }
  bool CompleteInsert() const { return FCompleteInsert; }
  void SetCompleteInsert(bool v) { FCompleteInsert = v; }

 protected:
  TDADump* FOwner;
  bool FGenerateHeader = true;
  bool FAddDrop = true;
  bool FQuoteNames = false;
  bool FCompleteInsert = false;
};

class TDADumpProcessor {
 public:
  explicit TDADumpProcessor(TDADump* owner) : FOwner(owner) {}
  virtual ~TDADumpProcessor() = default;
  TDADumpProcessor(const TDADumpProcessor&) = delete;
  TDADumpProcessor& operator=(const TDADumpProcessor&) = delete;

  virtual void WriteTextLine(std::u16string_view text);
  virtual void ProcessBackup(std::u16string_view query);
  virtual void ValidateQuery(std::u16string_view query);
  virtual std::unique_ptr<db::TMyQuery> MakeDataQuery();
  virtual void WriteSettingsPrologue() {}
  virtual void WriteSettingsEpilogue() {}
  virtual void DumpObjects(std::u16string_view /*query*/) {}
  virtual std::u16string QuoteIdentifier(std::u16string_view name);
  // Store and return one setting by identifier; an unknown identifier fails an assertion.
  virtual bool SetProp(int32_t prop, const TPropValue& value);
  virtual bool GetProp(int32_t prop, TPropValue& value);

  void EnsureDataQuery();
  void ReportProgress(const std::u16string& objectName, int32_t objectNum, int32_t objectCount, int32_t percent);

 protected:
  [[noreturn]] static void UnknownProp(int32_t prop);

  TDADump* FOwner;
  std::unique_ptr<db::TMyQuery> FQuery;
};

class TDADump : public db::TConnectionClient {
 public:
  TDADump();
  virtual ~TDADump();
  TDADump(const TDADump&) = delete;
  TDADump& operator=(const TDADump&) = delete;

  // Creates (or empties) the file and writes the script into it; the file is closed in every case.
  void BackupToFile(const std::string& fileName, std::u16string_view query = u"");
  // Writes the script into a stream that the caller owns.
  void BackupToStream(TStream& stream, std::u16string_view query = u"");
  // Writes the script into SQL, one line per entry.
  void Backup();

  virtual std::u16string TableNames() const;
  virtual void SetTableNames(std::u16string_view names);
  // Names taken as they are, one identifier each (no splitting at separators or dots).
  void SetTableNamesList(std::vector<std::u16string> names);
  const std::vector<TObjectName>& Tables() const { return FTables; }

  TDADumpOptions& Options() { return *FOptions; }
  const TDADumpOptions& Options() const { return *FOptions; }
  void SetOptions(const TDADumpOptions& options) { FOptions->Assign(options); }

  db::TMyConnection* Connection() const { return FConnection; }
  void SetConnection(db::TMyConnection* connection);

  TDADumpProcessor* Processor() const { return FProcessor.get(); }
  TStream* Stream() const { return FStream; }

  std::vector<std::u16string> SQL;
  TDABackupProgressEvent OnBackupProgress;

  virtual std::u16string HeaderText() = 0;

 protected:
  // The class of processor this component uses: whether one fits, and a new one.
  virtual bool IsDumpProcessorClass(const TDADumpProcessor& processor) const;
  virtual std::unique_ptr<TDADumpProcessor> CreateDumpProcessor();
  virtual void AttachProcessor(std::unique_ptr<TDADumpProcessor> processor);
  virtual std::unique_ptr<TDADumpOptions> MakeOptions();
  virtual void AcquireConnection();
  void ReleaseConnection();
  void EnsureProcessor();
  void RunBackup(std::u16string_view query);
  // Options are made by the derived class's MakeOptions, so construction finishes there.
  void InitOptions() { FOptions = MakeOptions(); }

  void ConnectionDestroyed(db::TMyConnection&) override { FConnection = nullptr; }

  std::unique_ptr<TDADumpProcessor> FProcessor;
  db::TMyConnection* FConnection = nullptr;
  TStream* FStream = nullptr;
  std::unique_ptr<TDADumpOptions> FOptions;
  std::vector<TObjectName> FTables, FTriggers, FStoredProcs;
};

}  // namespace dump
