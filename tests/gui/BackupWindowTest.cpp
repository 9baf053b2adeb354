// The backup window as the operator meets it, against the private test server: what it shows,
// which boxes it opens, and the files it leaves on disk.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "access/MyQuery.h"
#include "app/AppClock.h"
#include "app/ProgramExit.h"
#include "app/Prompts.h"
#include "app/UDm.h"
#include "console/UBackup.h"
#include "platform/AppPaths.h"
#include "tests/gui/ScriptedPrompts.h"
#include "tests/support/LiveServer.h"

namespace fs = std::filesystem;
using app::TMsgKind;
using testing_support::Exec;

namespace {

struct FakeTray final : ITrayWindow {
  QStringList calls;
  void StopScheduleTimer() override { calls << "timer"; }
  void DeactivateTrayIcon() override { calls << "icon"; }
  void StopTrayAnimation() override { calls << "animation"; }
  void SetWindowStateNormal() override { calls << "normal"; }
};

std::string ReadFile(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

const char* kPrologue =
    "/*!40014 SET @OLD_FOREIGN_KEY_CHECKS=@@FOREIGN_KEY_CHECKS, FOREIGN_KEY_CHECKS=0 */;\r\n"
    "/*!40101 SET @OLD_SQL_MODE=@@SQL_MODE, SQL_MODE='NO_AUTO_VALUE_ON_ZERO' */;\r\n";
const char* kEpilogue =
    "/*!40014 SET FOREIGN_KEY_CHECKS=@OLD_FOREIGN_KEY_CHECKS */;\r\n"
    "/*!40101 SET SQL_MODE=@OLD_SQL_MODE */;\r\n";

const std::string kLongName = "t_" + std::string(58, 'l');  // longer than the work table's column

// The memo's lines; an empty memo has none.
QStringList Lines(QPlainTextEdit* memo) {
  const QString text = memo->toPlainText();
  return text.isEmpty() && memo->document()->blockCount() == 1 ? QStringList() : text.split('\n');
}

// Fixed local time 2023-07-31 19:30:05.
std::time_t FixedTime() {
  std::tm t{};
  t.tm_year = 123, t.tm_mon = 6, t.tm_mday = 31, t.tm_hour = 19, t.tm_min = 30, t.tm_sec = 5;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

void CreateCompanyTable(const std::string& db, const std::string& nome) {
  Exec("CREATE TABLE configuracao (Controle INT AUTO_INCREMENT PRIMARY KEY, Nome VARCHAR(50), "
       "Endereco VARCHAR(50), Bairro VARCHAR(40), Cidade VARCHAR(40), Estado VARCHAR(2), Cep VARCHAR(8), "
       "Tel1 VARCHAR(15), Tel2 VARCHAR(15), Fax VARCHAR(15), Email VARCHAR(50), Setor VARCHAR(50), "
       "Cpf VARCHAR(14), Cnpj VARCHAR(15), Insc VARCHAR(15), NomeResponsavel VARCHAR(50), Email02 VARCHAR(50))",
       db);
  Exec("INSERT INTO configuracao (Nome) VALUES ('" + nome + "')", db);
}

void CreateWorkTable(const std::string& db) {
  Exec("CREATE TABLE tabelasbackup (id INT AUTO_INCREMENT PRIMARY KEY, descricao VARCHAR(50))", db);
}

// Tables and views of the schema in the catalogue's order, as the window lists them.
std::vector<std::pair<std::string, bool>> Catalogue(const std::string& db) {
  auto c = testing_support::MakeConnection(false, db);
  c->Open();
  db::TMyQuery q(c.get());
  q.SetSQL("SELECT TABLE_NAME, TABLE_TYPE FROM information_schema.tables where (table_schema =:s) ");
  q.ParamByName("s").SetAsString(db);
  q.Open();
  std::vector<std::pair<std::string, bool>> names;
  for (q.First(); !q.Eof(); q.Next())
    names.push_back({q.FieldByName("TABLE_NAME").AsString(), q.FieldByName("TABLE_TYPE").AsString() == "VIEW"});
  return names;
}

std::string SessionValue(db::TMyConnection& c, const std::string& variable) {
  db::TMyQuery q(&c);
  q.SetSQL("SELECT @@SESSION." + variable);
  q.Open();
  return q.Fields(0).AsString();
}

std::vector<std::string> WorkTableNames(const std::string& db) {
  auto c = testing_support::MakeConnection(false, db);
  c->Open();
  db::TMyQuery q(c.get());
  q.SetSQL("SELECT descricao FROM tabelasbackup ORDER BY id");
  q.Open();
  std::vector<std::string> names;
  for (q.First(); !q.Eof(); q.Next()) names.push_back(q.Fields(0).AsString());
  return names;
}

}  // namespace

class BackupWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir* exeDir_ = nullptr;
  TScriptedPrompts prompts_;
  QList<int> exits_;

  fs::path Exe() const { return fs::u8path(exeDir_->path().toStdString()); }

  void WriteIni(const std::string& db, const char* direct = "N", unsigned port = 0) {
    std::ofstream ini(Exe() / "Admin.ini", std::ios::binary);
    ini << "[LOCAL]\r\nSERVIDOR=" << testing_support::TestHost()
        << "\r\nPORTA=" << (port ? port : testing_support::TestPort()) << "\r\nBANCO=" << db << "\r\n";
    if (direct) ini << "DIRECT=" << direct << "\r\n";
    ini << "[PROGRAMACAO]\r\nhoraprog=19:30\r\nhoraprog02=07:05\r\n";
  }

  template <typename W>
  static W* Child(QWidget& w, const char* name) {
    W* c = w.findChild<W*>(QString::fromLatin1(name));
    if (!c) qFatal("no control %s", name);
    return c;
  }

  // Runs action inside the run, as a nested event would, when the first table starts.
  template <typename F>
  static void DuringFirstTable(TFrmBackup& w, F action) {
    auto* bar = Child<QProgressBar>(w, "ProgressBar2");
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(bar, &QProgressBar::valueChanged, bar, [connection, action](int v) {
      if (v != 1) return;
      QObject::disconnect(*connection);
      action();
    });
  }

  // Chooses a folder through the chooser and presses "Gerar", as the operator would.
  void ChooseAndRun(TFrmBackup& w, const QString& folder) {
    prompts_.folderAnswers.push_back(folder);
    QTest::mouseClick(Child<QPushButton>(w, "btnLocalSalvar"), Qt::LeftButton);
    QVERIFY(prompts_.Take().folder);
    QTest::mouseClick(Child<QPushButton>(w, "btnOK"), Qt::LeftButton);
  }

 private slots:
  void initTestCase() {
    QString missing;
    try {
      testing_support::TestPort();
    } catch (const std::exception& e) {
      missing = e.what();
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing));
  }

  void init() {
    exeDir_ = new QTemporaryDir;
    platform::SetExecutableFolder(exeDir_->path().toStdString());
    app::SetPrompts(&prompts_);
    app::SetProgramExit([this](int code) { exits_ << code; });
    app::SetAppClock(FixedTime);
    prompts_ = TScriptedPrompts();
    exits_.clear();
  }

  void cleanup() {
    QVERIFY2(!prompts_.unansweredFolder, "a folder chooser the test did not expect");
    const QString unexpected = prompts_.shown.empty() ? QString() : prompts_.shown.front().text;
    QVERIFY2(prompts_.shown.empty(), qPrintable("a box the test did not expect: " + unexpected));
    app::SetPrompts(nullptr);
    app::SetProgramExit({});
    app::SetAppClock({});
    platform::SetExecutableFolder("");
    delete exeDir_;
  }

  void missingIniEndsTheProgram() {
    TFrmBackup w;
    const Prompt box = prompts_.Take();
    QCOMPARE(box.kind, TMsgKind::Error);
    QCOMPARE(box.caption, QString("ERRO FALTAL"));
    QCOMPARE(box.text, QString("Está faltando um ou mais arquivos acessórios (INI).\r\n\r\nO Sistema não pode ser iniciado !"));
    QCOMPARE(exits_, QList<int>{0});
    QVERIFY(fs::is_directory(Exe() / "backup"));
  }

  void missingIniExitCodeOfTheProgram() {
    QProcess probe;
    probe.start(EXIT_PROBE, {exeDir_->path()});
    QVERIFY(probe.waitForFinished(30000));
    QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
    QCOMPARE(probe.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(probe.readAllStandardOutput()).trimmed(),
             QString("ERRO FALTAL|Está faltando um ou mais arquivos acessórios (INI).\r\n\r\nO Sistema não pode ser iniciado !"));
  }

  void setUp_data() {
    QTest::addColumn<QString>("direct");
    QTest::addColumn<bool>("companyLoaded");
    QTest::addColumn<bool>("expectDirect");
    QTest::newRow("S, company loaded") << "S" << true << true;
    QTest::newRow("N, company not loaded yet") << "N" << false << false;
    QTest::newRow("lower-case s") << "s" << true << false;
    QTest::newRow("no key") << QString() << true << false;
  }

  void setUp() {
    QFETCH(QString, direct);
    QFETCH(bool, companyLoaded);
    QFETCH(bool, expectDirect);
    const std::string db = "gui_setup";
    testing_support::RecreateDatabase(db);
    CreateCompanyTable(db, "Padaria São João");
    const std::string key = direct.toStdString();
    WriteIni(db, direct.isNull() ? nullptr : key.c_str());

    TDM dm;
    QVERIFY(dm.tmr1.isActive());
    QCOMPARE(dm.tmr1.interval(), 10000);
    if (companyLoaded) dm.tmr1Timer();
    QCOMPARE(dm.tmr1.isActive(), !companyLoaded);
    QCOMPARE(dm.tbconfiguracaoNome(), companyLoaded ? std::string("Padaria São João") : std::string());
    dm.Carregahora();
    QCOMPARE(HorasProgramadas(), (std::array<std::string, 4>{"19:30", "", "07:05", ""}));

    TFrmBackup w;
    QCOMPARE(w.windowTitle(), QString("Tarvix - Backup - 31-07-2023 / 19:30"));
    QCOMPARE(Child<QLabel>(w, "Panel1")->text(), companyLoaded ? QString("Loja : Padaria São João") : QString("Loja : "));
    QVERIFY(w.MyConnection1.Connected() && w.conServidor.Connected());
    QCOMPARE(w.MyConnection1.Options.Direct, expectDirect);
    QCOMPARE(w.conServidor.Options.Direct, expectDirect);
    QCOMPARE(w.MyDump1.Connection(), &w.conServidor);
    // A nested run gives up on the work table's lock; a held-up run is not cut off.
    QCOMPARE(SessionValue(w.MyConnection1, "lock_wait_timeout"), std::string("30"));
    QCOMPARE(SessionValue(w.conServidor, "net_write_timeout"), std::string("28800"));
    QCOMPARE(SessionValue(w.conServidor, "net_read_timeout"), std::string("28800"));
    QVERIFY(Child<QPushButton>(w, "btnOK")->isHidden());
    QVERIFY(fs::is_directory(Exe() / "backup"));
    QVERIFY(exits_.isEmpty());
  }

  void dataModuleLoadThatFails() {
    WriteIni("gui_nao_existe");
    TDM dm;
    dm.tmr1Timer();
    const Prompt box = prompts_.Take();
    QCOMPARE(box.kind, TMsgKind::Error);
    QVERIFY2(box.text.contains("gui_nao_existe"), qPrintable(box.text));
    // Not retried, but the settings stay for the schedule's later connect.
    QVERIFY(!dm.tmr1.isActive());
    QCOMPARE(dm.MyConnection1.Database, std::string("gui_nao_existe"));
    QVERIFY(dm.MyConnection1.Options.Direct);
    QCOMPARE(dm.tbconfiguracaoNome(), std::string());
  }

  void layoutAsDesigned() {
    WriteIni("gui_nao_existe");
    TFrmBackup w;
    prompts_.Take();  // the unknown database, covered below
    QCOMPARE(w.size(), QSize(426, 353));
    const struct {
      const char* name;
      QRect geometry;
      QString text;
    } controls[] = {
        {"Panel1", {0, 0, 426, 41}, "Panel1"},
        {"edtPasta", {4, 63, 337, 19}, ""},
        {"btnLocalSalvar", {359, 53, 49, 41}, ""},
        {"btnOK", {4, 98, 75, 25}, "&Gerar"},
        {"ProgressBar2", {4, 135, 408, 17}, {}},
        {"lblProgress2", {4, 158, 405, 13}, "Arquivos a serem copiados\r\n"},
        {"ProgressBar1", {4, 177, 408, 17}, {}},
        {"lblProgress1", {4, 200, 408, 13}, "0%"},
        {"mmoMensagens", {3, 232, 400, 104}, {}},
    };
    for (const auto& c : controls) {
      QWidget* widget = Child<QWidget>(w, c.name);
      QCOMPARE(widget->geometry(), c.geometry);
      if (auto* label = qobject_cast<QLabel*>(widget)) QCOMPARE(label->text(), c.text);
      if (auto* button = qobject_cast<QPushButton*>(widget)) QCOMPARE(button->text(), c.text);
    }
    QCOMPARE(Child<QLabel>(w, "lblPastaBackup")->pos(), QPoint(4, 44));
    QCOMPARE(Child<QLabel>(w, "lblPastaBackup")->text(), QString("Pasta do Back-up"));
    QCOMPARE(Child<QLabel>(w, "Panel1")->palette().color(QPalette::Window), QColor(0, 128, 192));
    QVERIFY(Child<QPlainTextEdit>(w, "mmoMensagens")->isReadOnly());
  }

  void connectionThatFails() {
    WriteIni("gui_nao_existe");
    TFrmBackup w;
    const Prompt box = prompts_.Take();
    QCOMPARE(box.kind, TMsgKind::Error);
    QVERIFY2(box.text.contains("gui_nao_existe"), qPrintable(box.text));
    QCOMPARE(Child<QLabel>(w, "Panel1")->text(), QString("Panel1"));
    QVERIFY(!Child<QPushButton>(w, "btnOK")->isHidden());
    QVERIFY(!w.conServidor.Connected());
    QVERIFY(exits_.isEmpty());
  }

  void folderChoice() {
    const std::string db = "gui_folder";
    testing_support::RecreateDatabase(db);
    WriteIni(db);
    TFrmBackup w;
    w.show();
    auto* edt = Child<QLineEdit>(w, "edtPasta");
    auto* choose = Child<QPushButton>(w, "btnLocalSalvar");
    auto* gerar = Child<QPushButton>(w, "btnOK");

    // A typed path is the chooser's start, but does not reveal "Gerar" by itself.
    QTest::keyClicks(edt, "/tmp/digitada");
    QVERIFY(gerar->isHidden());
    prompts_.folderAnswers.push_back(QString("/tmp/escolhida"));
    QTest::mouseClick(choose, Qt::LeftButton);
    Prompt p = prompts_.Take();
    QVERIFY(p.folder);
    QCOMPARE(p.caption, QString("Pasta do Back-up"));
    QCOMPARE(p.text, QString("Selecione"));
    QCOMPARE(p.start, QString("/tmp/digitada"));
    QCOMPARE(edt->text(), QString("/tmp/escolhida"));
    QVERIFY(!gerar->isHidden() && gerar->isEnabled());

    // Cancelling empties the field and warns; "Gerar" keeps its state.
    prompts_.folderAnswers.push_back(QString());
    QTest::mouseClick(choose, Qt::LeftButton);
    QCOMPARE(prompts_.Take().start, QString("/tmp/escolhida"));
    p = prompts_.Take();
    QCOMPARE(p.kind, TMsgKind::Warning);
    QCOMPARE(p.caption, QString("Aviso"));
    QCOMPARE(p.text, QString("Selecione a pasta do Backup"));
    QCOMPARE(edt->text(), QString());
    QVERIFY(!gerar->isHidden());

    // "Gerar" with no folder warns and starts nothing.
    QTest::mouseClick(gerar, Qt::LeftButton);
    p = prompts_.Take();
    QCOMPARE(p.text, QString("Selecione a pasta do Backup"));
    QVERIFY(w.isVisible());
    QVERIFY(w.conServidor.Connected());
  }

  void wholeRun() {
    const std::string db = "gui_run";
    testing_support::RecreateDatabase(db);
    CreateCompanyTable(db, "Mercado Azul");
    CreateWorkTable(db);
    Exec("CREATE TABLE pedidos (id INT PRIMARY KEY, cliente VARCHAR(20))", db);
    Exec("INSERT INTO pedidos VALUES (1, 'Ana'), (2, 'José')", db);
    Exec("CREATE TABLE itens (pedido INT, qtd INT)", db);
    Exec("INSERT INTO itens SELECT seq % 2 + 1, seq FROM seq_1_to_300", db);
    Exec("CREATE TABLE con (id INT)", db);
    Exec("CREATE TABLE `" + kLongName + "` (id INT)", db);
    Exec("INSERT INTO `" + kLongName + "` VALUES (7)", db);
    Exec("CREATE VIEW v_pedidos AS SELECT id FROM pedidos", db);
    WriteIni(db, "S");
    QTemporaryDir target;
    const QString other = target.path() + "/outra";
    fs::create_directories(other.toStdString());

    TDM dm;
    dm.tmr1Timer();
    FakeTray tray;
    TFrmBackup w(&tray);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    // During the run the operator chooses another folder and presses "Gerar" again: the
    // running run keeps its folder and no second run starts.
    DuringFirstTable(w, [&] {
      prompts_.folderAnswers.push_back(other);
      QTest::mouseClick(Child<QPushButton>(w, "btnLocalSalvar"), Qt::LeftButton);
      QTest::mouseClick(Child<QPushButton>(w, "btnOK"), Qt::LeftButton);
    });
    prompts_.folderAnswers.push_back(target.path());
    QTest::mouseClick(Child<QPushButton>(w, "btnLocalSalvar"), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(w, "btnOK"), Qt::LeftButton);

    const std::string folder = target.path().toStdString() + "/20230731193005/";
    QVERIFY(prompts_.Take().folder);
    QVERIFY(prompts_.Take().folder);
    const Prompt done = prompts_.Take();
    QCOMPARE(done.kind, TMsgKind::Plain);
    QCOMPARE(done.text, "Backup completo em: " + QString::fromStdString(folder));
    QVERIFY(fs::is_empty(other.toStdString()));

    const auto catalogue = Catalogue(db);
    QStringList expected;
    for (const auto& [name, view] : catalogue) {
      const std::string file = name == "con" ? "@0063on.sql" : name + ".sql";
      QVERIFY2(fs::is_regular_file(folder + file), file.c_str());
      if (view) {
        QCOMPARE(ReadFile(folder + file), std::string(kPrologue) + kEpilogue);
        continue;
      }
      if (expected.isEmpty()) expected << "" << "***** Gerando SQL";
      expected << QString::fromStdString("* Tabela = 0 - " + name);
      if (expected.size() == 3) expected << "" << "***** Gravando SQL";
      if (name == "con") expected << "* Tabela con gravada como @0063on.sql";
    }
    QCOMPARE(Lines(Child<QPlainTextEdit>(w, "mmoMensagens")), expected);
    QCOMPARE(ReadFile(folder + "pedidos.sql"), std::string(kPrologue) +
                                                   "INSERT INTO pedidos(id, cliente) VALUES (1,'Ana');\r\n"
                                                   "INSERT INTO pedidos(id, cliente) VALUES (2,'José');\r\n"
                                                   "\r\n" +
                                                   kEpilogue);
    QCOMPARE(static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator())),
             catalogue.size());

    // The work table holds every name, cut to its column; its own script holds them as dumped.
    std::vector<std::string> listed;
    for (const auto& entry : catalogue) listed.push_back(entry.first.substr(0, 50));
    QCOMPARE(WorkTableNames(db), listed);
    const std::string own = ReadFile(folder + "tabelasbackup.sql");
    for (const std::string& name : listed)
      QVERIFY2(own.find("'" + name + "');\r\n") != std::string::npos, name.c_str());

    const int total = static_cast<int>(catalogue.size());
    QCOMPARE(Child<QProgressBar>(w, "ProgressBar2")->value(), total);
    QCOMPARE(Child<QProgressBar>(w, "ProgressBar2")->maximum(), total);
    QCOMPARE(Child<QLabel>(w, "lblProgress2")->text(),
             QString("Arquivos Copiados : %1 /  Total de Arquivos : %1").arg(total));
    QCOMPARE(Child<QProgressBar>(w, "ProgressBar1")->value(), 100);
    QCOMPARE(Child<QLabel>(w, "lblProgress1")->text(), QString("100%"));

    QVERIFY(!w.MyConnection1.Connected() && !w.conServidor.Connected());
    QVERIFY(!dm.MyConnection1.Connected() && !dm.tbconfiguracao.Active());
    QCOMPARE(tray.calls, (QStringList{"timer", "icon", "animation", "normal"}));
    QVERIFY(!w.isVisible());
  }

  void failingTableDoesNotStopTheRun() {
    const std::string db = "gui_falha";
    testing_support::RecreateDatabase(db);
    CreateWorkTable(db);
    Exec("CREATE TABLE clientes (id INT)", db);
    Exec("INSERT INTO clientes VALUES (1)", db);
    Exec("CREATE TABLE pedidos (id INT)", db);
    WriteIni(db);
    QTemporaryDir target;
    FakeTray tray;
    TFrmBackup w(&tray);
    w.show();

    // The table goes away after the list was read, so its dump fails.
    DuringFirstTable(w, [&] { Exec("DROP TABLE pedidos", db); });
    ChooseAndRun(w, target.path());

    const std::string folder = target.path().toStdString() + "/20230731193005/";
    const Prompt box = prompts_.Take();
    QCOMPARE(box.kind, TMsgKind::Warning);
    QVERIFY2(box.text.startsWith("Backup incompleto em: " + QString::fromStdString(folder) + "\r\n\r\npedidos: "),
             qPrintable(box.text));
    QVERIFY(Lines(Child<QPlainTextEdit>(w, "mmoMensagens")).filter("* Erro na tabela pedidos: ").size() == 1);
    QVERIFY(fs::is_regular_file(folder + "pedidos.sql.incompleto"));
    QVERIFY(!fs::exists(folder + "pedidos.sql"));
    QVERIFY(fs::is_regular_file(folder + "clientes.sql"));
    QVERIFY(fs::is_regular_file(folder + "tabelasbackup.sql"));
    QCOMPARE(tray.calls.size(), 4);
    QVERIFY(!w.isVisible() && !w.conServidor.Connected());
  }

  void repeatedNameAcrossRunsIsNotAnnouncedAgain() {
    const std::string db = "gui_repete";
    testing_support::RecreateDatabase(db);
    CreateWorkTable(db);
    WriteIni(db);
    QTemporaryDir target;
    for (int run = 0; run < 2; ++run) {
      TFrmBackup w;
      w.show();
      ChooseAndRun(w, target.path());
      QCOMPARE(prompts_.Take().text.left(20), QString("Backup completo em: "));
      if (run == 1)
        QCOMPARE(Lines(Child<QPlainTextEdit>(w, "mmoMensagens")),
                 (QStringList{"", "***** Gerando SQL", "", "***** Gravando SQL"}));
    }
  }

  void errorBeforeTheTablesLeavesTheWindowOpen() {
    const std::string db = "gui_sem_tabela";
    testing_support::RecreateDatabase(db);
    WriteIni(db);
    QTemporaryDir target;
    FakeTray tray;
    TFrmBackup w(&tray);
    w.show();
    ChooseAndRun(w, target.path());
    const Prompt box = prompts_.Take();
    QCOMPARE(box.kind, TMsgKind::Error);
    QVERIFY2(box.text.contains("tabelasbackup"), qPrintable(box.text));
    QVERIFY(w.isVisible() && w.conServidor.Connected());
    QVERIFY(tray.calls.isEmpty());
    QVERIFY(Child<QPushButton>(w, "btnOK")->isHidden());
    QVERIFY(fs::is_empty(target.path().toStdString() + "/20230731193005"));
  }
};

QTEST_MAIN(BackupWindowTest)
#include "BackupWindowTest.moc"
