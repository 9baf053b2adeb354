#include "dump/MyServices.h"

#include <cctype>

#include "access/Escape.h"
#include "dump/Percent.h"
#include "platform/TextEncoding.h"

namespace dump {
namespace {

constexpr int64_t kExtendedStatementSize = 16384;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool ToBool(const TPropValue& v) {
  return std::visit([](auto x) { return static_cast<bool>(x); }, v);
}
int32_t ToInt(const TPropValue& v) {
  return std::visit([](auto x) { return static_cast<int32_t>(x); }, v);
}

// The rows of one table are read with these record-set settings, set back afterwards.
class FieldsAsStringScope {
 public:
  FieldsAsStringScope(db::TMyQuery& q, bool on) : q_(q) { q_.FieldsAsString = on; }
  ~FieldsAsStringScope() { q_.FieldsAsString = false; }

 private:
  db::TMyQuery& q_;
};

}  // namespace

// --- settings

bool TCustomMyDumpProcessor::SetProp(int32_t prop, const TPropValue& value) {
  switch (prop) {
    case prBackupTables: FBackupTables = ToBool(value); break;
    case prBackupViews: FBackupViews = ToBool(value); break;
    case prBackupData: FBackupData = ToBool(value); break;
    case prBackupTriggers: FBackupTriggers = ToBool(value); break;
    case prBackupStoredProcs: FBackupStoredProcs = ToBool(value); break;
    case prAddLock: FAddLock = ToBool(value); break;
    case prDisableKeys: FDisableKeys = ToBool(value); break;
    case prHexBlob: FHexBlob = ToBool(value); break;
    case prUseExtSyntax: FUseExtSyntax = ToBool(value); break;
    case prUseDelayedIns: FUseDelayedIns = ToBool(value); break;
    case prCommitBatchSize: FCommitBatchSize = ToInt(value); break;
    case prInsertType: FInsertType = static_cast<_TMyInsertType>(static_cast<uint8_t>(ToInt(value))); break;
    case prFieldsAsString: FFieldsAsString = ToBool(value); break;
    default: UnknownProp(prop);
  }
  return true;
}

bool TCustomMyDumpProcessor::GetProp(int32_t prop, TPropValue& value) {
  switch (prop) {
    case prBackupTables: value = FBackupTables; break;
    case prBackupViews: value = FBackupViews; break;
    case prBackupData: value = FBackupData; break;
    case prBackupTriggers: value = FBackupTriggers; break;
    case prBackupStoredProcs: value = FBackupStoredProcs; break;
    case prAddLock: value = FAddLock; break;
    case prDisableKeys: value = FDisableKeys; break;
    case prHexBlob: value = FHexBlob; break;
    case prUseExtSyntax: value = FUseExtSyntax; break;
    case prUseDelayedIns: value = FUseDelayedIns; break;
    case prCommitBatchSize: value = FCommitBatchSize; break;
    case prInsertType: value = static_cast<uint8_t>(FInsertType); break;
    case prFieldsAsString: value = FFieldsAsString; break;
    default: UnknownProp(prop);
  }
  return true;
}

// --- lines and encodings

std::string TCustomMyDumpProcessor::ToServer(std::u16string_view text) const {
  return FUseUnicode ? platform::Utf16ToUtf8(text) : platform::Utf16ToAnsi(text);
}

std::u16string TCustomMyDumpProcessor::FromServer(std::string_view bytes) const {
  const std::string& cs = FIConnection->FUsedCharset;
  return cs.rfind("utf8", 0) == 0 ? platform::Utf8ToUtf16(bytes) : platform::AnsiToUtf16(bytes);
}

void TCustomMyDumpProcessor::WriteTextLine(std::u16string_view text) {
  TStream* s = FOwner->Stream();
  if (!s) {
    FOwner->SQL.emplace_back(text);
    return;
  }
  std::string bytes;
  switch (FEncoding) {
    case TTextEncoding::Ansi: bytes = platform::Utf16ToAnsi(text); break;
    case TTextEncoding::Utf8: bytes = platform::Utf16ToUtf8(text); break;
    case TTextEncoding::Utf16LE: platform::AppendUtf16LE(bytes, text); break;
  }
  if (FEncoding == TTextEncoding::Utf16LE)
    bytes.append("\r\0\n\0", 4);
  else
    bytes += "\r\n";
  s->WriteBuffer(bytes.data(), bytes.size());
}

void TCustomMyDumpProcessor::WriteByteLine(std::string_view bytes) {
  TStream* s = FOwner->Stream();
  if (!s) {
    WriteTextLine(FUseUnicode ? platform::Utf8ToUtf16(bytes) : platform::AnsiToUtf16(bytes));
    return;
  }
  if (FUseUnicode) {
    std::u16string text = platform::Utf8ToUtf16(bytes);
    text += u"\r\n";
    std::string out;
    platform::AppendUtf16LE(out, text);
    s->WriteBuffer(out.data(), out.size());
    return;
  }
  s->WriteBuffer(bytes.data(), bytes.size());
  s->WriteBuffer("\r\n", 2);
}

void TCustomMyDumpProcessor::ProcessBackup(std::u16string_view query) {
  db::TMyConnection& connection = *FOwner->Connection();
  FIConnection = &connection.GetIConnection();
  FUseUnicode = connection.Options.UseUnicode;
  // Under UseUnicode the connection speaks utf8mb4; naming utf8 (three bytes at most) in SET NAMES
  // would turn every four-byte character into '?' on replay.
  FCharset = FUseUnicode ? FIConnection->FUsedCharset : Lower(connection.Options.Charset);
  if (TStream* s = FOwner->Stream()) {
    if (FUseUnicode) {
      FEncoding = TTextEncoding::Utf16LE;
      s->WriteBuffer("\xFF\xFE", 2);
    } else if (FCharset == "utf8") {
      FEncoding = TTextEncoding::Utf8;
      s->WriteBuffer("\xEF\xBB\xBF", 3);
    } else {
      FEncoding = TTextEncoding::Ansi;
    }
  }
  TDADumpProcessor::ProcessBackup(query);
}

void TCustomMyDumpProcessor::ValidateQuery(std::u16string_view query) {
  TDADumpProcessor::ValidateQuery(query);
  if (!query.empty()) throw EDAError("Backing up a query is not supported: name the tables in TableNames");
}

void TCustomMyDumpProcessor::WriteSettingsPrologue() {
  if (!FCharset.empty()) {
    WriteTextLine(u"/*!40101 SET @OLD_CHARACTER_SET_CLIENT=@@CHARACTER_SET_CLIENT */;");
    WriteTextLine(u"/*!40101 SET @OLD_CHARACTER_SET_RESULTS=@@CHARACTER_SET_RESULTS */;");
    WriteTextLine(u"/*!40101 SET @OLD_COLLATION_CONNECTION=@@COLLATION_CONNECTION */;");
    WriteTextLine(u"/*!40101 SET NAMES " + platform::AnsiToUtf16(FCharset) + u" */;");
  }
  if (FBackupTables || FBackupData || FBackupViews) {
    WriteTextLine(u"/*!40014 SET @OLD_FOREIGN_KEY_CHECKS=@@FOREIGN_KEY_CHECKS, FOREIGN_KEY_CHECKS=0 */;");
    // Literals written without backslash escapes must be read back the same way.
    if (FIConnection->FNeedBackslashes)
      WriteTextLine(u"/*!40101 SET @OLD_SQL_MODE=@@SQL_MODE, SQL_MODE='NO_AUTO_VALUE_ON_ZERO' */;");
    else
      WriteTextLine(u"/*!40101 SET @OLD_SQL_MODE=@@SQL_MODE, SQL_MODE='NO_AUTO_VALUE_ON_ZERO,NO_BACKSLASH_ESCAPES' */;");
  }
}

void TCustomMyDumpProcessor::WriteSettingsEpilogue() {
  if (FBackupTables || FBackupData || FBackupViews) {
    WriteTextLine(u"/*!40014 SET FOREIGN_KEY_CHECKS=@OLD_FOREIGN_KEY_CHECKS */;");
    WriteTextLine(u"/*!40101 SET SQL_MODE=@OLD_SQL_MODE */;");
  }
  if (!FCharset.empty()) {
    WriteTextLine(u"/*!40101 SET CHARACTER_SET_CLIENT=@OLD_CHARACTER_SET_CLIENT */;");
    WriteTextLine(u"/*!40101 SET CHARACTER_SET_RESULTS=@OLD_CHARACTER_SET_RESULTS */;");
    WriteTextLine(u"/*!40101 SET COLLATION_CONNECTION=@OLD_COLLATION_CONNECTION */;");
  }
}

// --- objects

void TCustomMyDumpProcessor::DumpObjects(std::u16string_view query) {
  try {
    if (FBackupTables || FBackupViews || FBackupTriggers || FBackupStoredProcs)
      throw EDAError("Only table data can be written: table and view structure, triggers and routines are not supported");
    EnsureDataQuery();
    if (FBackupTables || FBackupData || FBackupViews) DumpTablesAndViews(query);
  } catch (...) {
    if (FQuery) FQuery->Close();
    throw;
  }
  FQuery->Close();
}

void TCustomMyDumpProcessor::DumpTablesAndViews(std::u16string_view query) {
  if (!FQueryView) {
    FQueryView = std::make_unique<db::TMyQuery>(FOwner->Connection());
  } else {
    FQueryView->Close();
    FQueryView->SetConnection(FOwner->Connection());
  }
  std::vector<TObjectEntry> list;
  const bool quoteNames = FOwner->Options().QuoteNames();
  if (!FOwner->Tables().empty()) {
    for (const TObjectName& t : FOwner->Tables()) list.push_back({t, TMySQLInfo::QualifiedName(t, quoteNames), false});
  } else {
    for (const std::string& n : FOwner->Connection()->GetTableNames()) {
      TObjectName t{u"", FromServer(n)};
      list.push_back({t, TMySQLInfo::QualifiedName(t, quoteNames), false});
    }
  }
  try {
    for (TObjectEntry& e : list) e.isView = ObjectIsView(e, list);
    const auto count = static_cast<int32_t>(list.size());
    for (const bool views : {false, true}) {
      if (views ? !FBackupViews : !(FBackupTables || FBackupData)) continue;
      for (int32_t i = 0; i < count; ++i) {
        if (list[i].isView != views) continue;
        ReportProgress(list[i].name, i, count, 0);
        DumpObject(query, list[i], i, count);
      }
    }
  } catch (...) {
    FQueryView->Close();
    FQuery->Close();
    throw;
  }
  FQueryView->Close();
  FQuery->Close();
}

bool TCustomMyDumpProcessor::ObjectIsView(const TObjectEntry& entry, const std::vector<TObjectEntry>& list) {
  db::TMyConnection& connection = *FOwner->Connection();
  if (connection.ServerMajorVersion() < 5 || entry.object.name.empty()) return false;
  if (!FQueryView->Active()) {
    const std::u16string database =
        entry.object.database.empty() ? platform::Utf8ToUtf16(connection.CurrentDatabase()) : entry.object.database;
    std::string sql = "SHOW TABLE STATUS FROM " + ToServer(TMySQLInfo::QuoteIdentifier(database, false));
    if (!FOwner->Tables().empty() && !list.empty()) {
      sql += "\rWHERE NAME IN (";
      const bool backslashes = !FIConnection->session().noBackslashEscapes();
      for (size_t i = 0; i < list.size(); ++i) {
        if (i) sql += ',';
        db::AppendQuotedLiteral(sql, ToServer(list[i].object.name), backslashes);
      }
      sql += ')';
    }
    FQueryView->SetSQL(std::move(sql));
    FQueryView->Open();
  }
  if (!FQueryView->Locate("Name", ToServer(entry.object.name))) return false;
  const db::TField& engine = FQueryView->FieldByName("Engine");
  return engine.IsNull() || engine.AsBytes().empty();
}

std::u16string TCustomMyDumpProcessor::StatementKeyword() const {
  switch (FInsertType) {
    case _TMyInsertType::_itInsertIgnore: return FUseDelayedIns ? u"INSERT DELAYED IGNORE INTO " : u"INSERT IGNORE INTO ";
    case _TMyInsertType::_itReplaceInto: return FUseDelayedIns ? u"REPLACE DELAYED INTO " : u"REPLACE INTO ";
    default: return FUseDelayedIns ? u"INSERT DELAYED INTO " : u"INSERT INTO ";
  }
}

std::u16string TCustomMyDumpProcessor::SelectList(const TObjectEntry& entry) {
  db::TMyConnection& connection = *FOwner->Connection();
  const std::u16string database =
      entry.object.database.empty() ? platform::Utf8ToUtf16(connection.CurrentDatabase()) : entry.object.database;
  db::TMyQuery columns(&connection);
  columns.SetSQL(
      "SELECT COLUMN_NAME, EXTRA FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = :db AND TABLE_NAME = :t "
      "ORDER BY ORDINAL_POSITION");
  columns.ParamByName("db").SetAsString(ToServer(database));
  columns.ParamByName("t").SetAsString(ToServer(entry.object.name));
  columns.Open();
  std::u16string list;
  bool special = false;
  for (; !columns.Eof(); columns.Next()) {
    const std::string extra = Lower(columns.Fields(1).AsString());
    const bool generated = extra.find("virtual generated") != std::string::npos ||
                           extra.find("stored generated") != std::string::npos ||
                           extra.find("persistent generated") != std::string::npos;
    const bool invisible = extra.find("invisible") != std::string::npos;
    special = special || generated || invisible;
    if (generated) continue;
    if (!list.empty()) list += u", ";
    list += TMySQLInfo::QuoteIdentifier(FromServer(columns.Fields(0).AsBytes()), false);
  }
  return special ? list : u"*";
}

void TCustomMyDumpProcessor::DumpObject(std::u16string_view query, const TObjectEntry& entry, int32_t objectNum,
                                        int32_t objectCount) {
  (void)query;  // a query is refused by ValidateQuery
  if (!FBackupData || entry.isView) return;
  const TDADumpOptions& options = FOwner->Options();
  const std::u16string& name = entry.name;
  if (options.GenerateHeader()) {
    const std::u16string comment = u"-- \r\n-- Dumping data for table " + name + u"\r\n-- \r\n\r\n";
    for (std::u16string_view line : SplitLines(comment)) WriteTextLine(line);
  }
  const bool truncate = options.AddDrop() && !FBackupTables;
  if (truncate) WriteTextLine(u"TRUNCATE TABLE " + name + u";");

  FQuery->SetSQL(ToServer(u"SELECT COUNT(*) FROM " + name));
  FQuery->Open();
  const int64_t rowCount = FQuery->Fields(0).AsInteger();
  FQuery->Close();
  ReportProgress(name, objectNum, objectCount, 0);

  if (rowCount > 0) {
    const bool lock = FAddLock && !FUseDelayedIns;
    if (lock) WriteTextLine(u"LOCK TABLES " + name + u" WRITE;");
    if (FDisableKeys) WriteTextLine(u"/*!40000 ALTER TABLE " + name + u" DISABLE KEYS */;");

    const std::u16string select = SelectList(entry);
    FQuery->SetSQL(ToServer(u"SELECT " + select + u" FROM " + name));
    {
      FieldsAsStringScope scope(*FQuery, FFieldsAsString);
      FQuery->Open();
      const db::TKeyAndDataFields keyAndData = FQuery->GetKeyAndDataFields();
      std::vector<db::TField*> fields;
      if (keyAndData.DataFieldDescs.empty())
        for (size_t i = 0; i < FQuery->FieldCount(); ++i) fields.push_back(&FQuery->Fields(i));
      else
        for (const db::TMySQLFieldDesc* d : keyAndData.DataFieldDescs) fields.push_back(&FQuery->Fields(d->FieldNo));

      std::u16string head = StatementKeyword() + name;
      if (options.CompleteInsert()) {
        head += u'(';
        for (size_t i = 0; i < fields.size(); ++i) {
          if (i) head += u", ";
          head += TMySQLInfo::QuoteIdentifier(FromServer(fields[i]->FieldName()), options.QuoteNames());
        }
        head += u") VALUES";
      } else {
        head += u" VALUES";
      }
      if (FUseExtSyntax)
        WriteRowsExtended(name, objectNum, objectCount, rowCount, head, fields);
      else
        WriteRowsOneByOne(name, objectNum, objectCount, rowCount, head, fields);
    }
    if (FDisableKeys) WriteTextLine(u"/*!40000 ALTER TABLE " + name + u" ENABLE KEYS */;");
    if (lock) WriteTextLine(u"UNLOCK TABLES;");
    WriteTextLine(u"");
  } else if (truncate) {
    WriteTextLine(u"");
  }
  ReportProgress(name, objectNum, objectCount, 100);
}

void TCustomMyDumpProcessor::WriteRowsOneByOne(const std::u16string& name, int32_t num, int32_t count,
                                               int64_t rowCount, const std::u16string& head,
                                               const std::vector<db::TField*>& fields) {
  const TValueRenderer renderer(*FIConnection, FUseUnicode, FHexBlob);
  const std::string headBytes = (FUseUnicode ? platform::Utf16ToUtf8(head) : platform::Utf16ToAnsi(head)) + " (";
  const int64_t n = FCommitBatchSize;
  TRowBuffer row;
  db::TMyQuery& q = *FQuery;
  while (!q.Eof()) {
    const int64_t recNo = q.RecNo();
    const int percent = RowPercent(recNo, rowCount);
    if (n > 0 && (recNo - 1) % n == 0) WriteTextLine(u"BEGIN;");
    row.Clear();
    row.Append(headBytes);
    renderer.AppendRowValues(fields, row);
    row.Append(");");
    WriteByteLine(row.View());
    q.Next();
    if (n > 0 && (recNo % n == 0 || q.Eof())) WriteTextLine(u"COMMIT;");
    ReportProgress(name, num, count, percent);
  }
}

void TCustomMyDumpProcessor::WriteRowsExtended(const std::u16string& name, int32_t num, int32_t count,
                                               int64_t rowCount, const std::u16string& head,
                                               const std::vector<db::TField*>& fields) {
  const TValueRenderer renderer(*FIConnection, FUseUnicode, FHexBlob);
  const bool batches = FCommitBatchSize > 0;
  TRowBuffer row;
  db::TMyQuery& q = *FQuery;
  bool startsStatement = true;
  int64_t size = 0;
  while (!q.Eof()) {
    const int percent = RowPercent(q.RecNo(), rowCount);
    if (startsStatement) {
      if (batches) WriteTextLine(u"BEGIN;");
      WriteTextLine(head);
      size = static_cast<int64_t>(head.size()) + 2;
      startsStatement = false;
    }
    row.Clear();
    row.Append(" (");
    renderer.AppendRowValues(fields, row);
    row.Append(')');
    q.Next();
    const auto length = static_cast<int64_t>(row.Length());
    size += length + 2;
    if (q.Eof() || size > kExtendedStatementSize - 2 * length) {
      row.Append(';');
      if (batches) row.Append("\r\nCOMMIT;");
      startsStatement = true;
    } else {
      row.Append(',');
    }
    WriteByteLine(row.View());
    ReportProgress(name, num, count, percent);
  }
}

}  // namespace dump
