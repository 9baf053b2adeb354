#include "dump/DADump.h"

#include "platform/TextEncoding.h"

namespace dump {

std::vector<std::u16string_view> SplitLines(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != u'\n') continue;
    std::u16string_view line = text.substr(start, i - start);
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    if (i < text.size() || !line.empty()) lines.push_back(line);
    start = i + 1;
  }
  return lines;
}

void TDADumpOptions::Assign(const TDADumpOptions& source) {
  SetGenerateHeader(source.GenerateHeader());
  SetAddDrop(source.AddDrop());
  SetQuoteNames(source.QuoteNames());
  SetCompleteInsert(source.CompleteInsert());
}

// --- processor

void TDADumpProcessor::UnknownProp(int32_t prop) { throw EAssertionFailed(std::to_string(prop)); }

bool TDADumpProcessor::SetProp(int32_t prop, const TPropValue&) { UnknownProp(prop); }
bool TDADumpProcessor::GetProp(int32_t prop, TPropValue&) { UnknownProp(prop); }

void TDADumpProcessor::WriteTextLine(std::u16string_view text) {
  if (TStream* s = FOwner->Stream()) {
    std::string bytes = platform::Utf16ToAnsi(text);
    bytes += "\r\n";
    s->WriteBuffer(bytes.data(), bytes.size());
  } else {
    FOwner->SQL.emplace_back(text);
  }
}

void TDADumpProcessor::ValidateQuery(std::u16string_view query) {
  if (!query.empty() && FOwner->Tables().size() > 1)
    throw EDAError("To execute BackupQuery TableNames must have not more than one table");
}

void TDADumpProcessor::ProcessBackup(std::u16string_view query) {
  query = TrimText(query);
  ValidateQuery(query);
  FOwner->SQL.clear();
  if (FOwner->Options().GenerateHeader()) {
    const std::u16string header = FOwner->HeaderText();
    for (std::u16string_view line : SplitLines(header)) WriteTextLine(line);
  }
  WriteSettingsPrologue();
  DumpObjects(query);
  WriteSettingsEpilogue();
}

std::unique_ptr<db::TMyQuery> TDADumpProcessor::MakeDataQuery() {
  auto q = std::make_unique<db::TMyQuery>(FOwner->Connection());
  q->UniDirectional = true;
  return q;
}

void TDADumpProcessor::EnsureDataQuery() {
  if (!FQuery)
    FQuery = MakeDataQuery();
  else
    FQuery->SetConnection(FOwner->Connection());
}

std::u16string TDADumpProcessor::QuoteIdentifier(std::u16string_view name) {
  return TMySQLInfo::QuoteIdentifier(name, FOwner->Options().QuoteNames());
}

void TDADumpProcessor::ReportProgress(const std::u16string& objectName, int32_t objectNum, int32_t objectCount,
                                      int32_t percent) {
  if (FOwner->OnBackupProgress) FOwner->OnBackupProgress(FOwner, objectName, objectNum, objectCount, percent);
}

// --- component

TDADump::TDADump() = default;

TDADump::~TDADump() {
  // The processor's queries go before the connection reference does.
  FProcessor.reset();
  if (FConnection) FConnection->RemoveClient(this);
}

void TDADump::SetConnection(db::TMyConnection* connection) {
  if (connection == FConnection) return;
  if (FConnection) FConnection->RemoveClient(this);
  FConnection = connection;
  if (FConnection) FConnection->AddClient(this);
}

std::u16string TDADump::TableNames() const { throw EAssertionFailed("TableNames"); }
void TDADump::SetTableNames(std::u16string_view) { throw EAssertionFailed("TableNames"); }

void TDADump::SetTableNamesList(std::vector<std::u16string> names) {
  FTables.clear();
  for (std::u16string& n : names)
    if (!n.empty()) FTables.push_back({u"", std::move(n)});
}

bool TDADump::IsDumpProcessorClass(const TDADumpProcessor&) const { throw EAssertionFailed("DumpProcessorClass"); }
std::unique_ptr<TDADumpProcessor> TDADump::CreateDumpProcessor() { throw EAssertionFailed("DumpProcessorClass"); }

void TDADump::AttachProcessor(std::unique_ptr<TDADumpProcessor> processor) {
  if (processor.get() != FProcessor.get()) FProcessor = std::move(processor);
}

std::unique_ptr<TDADumpOptions> TDADump::MakeOptions() { return std::make_unique<TDADumpOptions>(this); }

void TDADump::AcquireConnection() {
  if (!FConnection) throw EDAError("Connection is not defined");
  FConnection->ConnectCounted();
}

void TDADump::ReleaseConnection() {
  if (FConnection) FConnection->ReleaseCounted();
}

void TDADump::EnsureProcessor() {
  if (FProcessor && IsDumpProcessorClass(*FProcessor)) return;
  FProcessor.reset();
  AttachProcessor(CreateDumpProcessor());
}

void TDADump::RunBackup(std::u16string_view query) {
  AcquireConnection();
  try {
    EnsureProcessor();
    FProcessor->ProcessBackup(query);
  } catch (...) {
    ReleaseConnection();
    throw;
  }
  ReleaseConnection();
}

void TDADump::BackupToStream(TStream& stream, std::u16string_view query) {
  FStream = &stream;
  try {
    RunBackup(query);
  } catch (...) {
    FStream = nullptr;
    throw;
  }
  FStream = nullptr;
}

void TDADump::BackupToFile(const std::string& fileName, std::u16string_view query) {
  TFileStream file(fileName);
  try {
    BackupToStream(file, query);
  } catch (...) {
    try {
      file.Close();  // what is complete still reaches the file
    } catch (...) {
      // The first failure is the one to report.
    }
    throw;
  }
  file.Close();
}

void TDADump::Backup() { RunBackup(u""); }

}  // namespace dump
