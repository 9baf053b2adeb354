// The tray window and its schedule, with an injected clock, against the private test server;
// the single-instance guard with the real program in two processes.
#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "app/AppClock.h"
#include "app/ProgramExit.h"
#include "app/UDm.h"
#include "app/USairBackup.h"
#include "app/components/ShadowLabel.h"
#include "app/components/TrayIcon.h"
#include "console/UBackup.h"
#include "platform/AppPaths.h"
#include "tests/gui/ScriptedPrompts.h"
#include "tests/support/LiveServer.h"

namespace fs = std::filesystem;
using testing_support::Exec;

namespace {

const std::string kDb = "gui_tray";

// Local time (the test runs with TZ=UTC) of 2024-03-05 at hh:mm:ss.
std::time_t At(int hh, int mm, int ss) {
  std::tm t{};
  t.tm_year = 124, t.tm_mon = 2, t.tm_mday = 5, t.tm_hour = hh, t.tm_min = mm, t.tm_sec = ss;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

// Runs action on the backup window once it is shown modally.
template <typename F>
void WhenBackupWindowOpens(F action) {
  QTimer::singleShot(0, [action] {
    auto* w = dynamic_cast<TFrmBackup*>(QApplication::activeModalWidget());
    if (!w) {
      QTimer::singleShot(10, [action] { WhenBackupWindowOpens(action); });
      return;
    }
    action(*w);
  });
}

}  // namespace

class TrayWindowTest : public QObject {
  Q_OBJECT

  QTemporaryDir* exeDir_ = nullptr;
  TScriptedPrompts prompts_;
  QList<int> exits_;
  std::time_t now_ = At(8, 30, 0);
  std::unique_ptr<TDM> dm_;
  int opened_ = 0;

  void WriteIni(const std::string& programacao) {
    std::ofstream(exeDir_->filePath("Admin.ini").toStdString())
        << "[LOCAL]\r\nSERVIDOR=" << testing_support::TestHost() << "\r\nPORTA=" << testing_support::TestPort()
        << "\r\nBANCO=" << kDb << "\r\nDIRECT=N\r\n[PROGRAMACAO]\r\n" << programacao;
  }
  // The data module as its deferred load leaves it.
  void LoadDataModule() {
    dm_->MyConnection1.Server = testing_support::TestHost();
    dm_->MyConnection1.Port = testing_support::TestPort();
    dm_->MyConnection1.Database = kDb;
  }
  // Closes every backup window that opens, counting them.
  void CloseBackupWindows() {
    WhenBackupWindowOpens([this](TFrmBackup& w) {
      ++opened_;
      w.close();
    });
  }

 private slots:
  void initTestCase() {
    testing_support::RecreateDatabase(kDb);
    Exec("CREATE TABLE configuracao (Controle INT AUTO_INCREMENT PRIMARY KEY, Nome VARCHAR(50), "
         "Endereco VARCHAR(50), Bairro VARCHAR(40), Cidade VARCHAR(40), Estado VARCHAR(2), Cep VARCHAR(8), "
         "Tel1 VARCHAR(15), Tel2 VARCHAR(15), Fax VARCHAR(15), Email VARCHAR(50), Setor VARCHAR(50), "
         "Cpf VARCHAR(14), Cnpj VARCHAR(15), Insc VARCHAR(15), NomeResponsavel VARCHAR(50), Email02 VARCHAR(50))",
         kDb);
    Exec("INSERT INTO configuracao (Nome) VALUES ('Mercadinho')", kDb);
    Exec("CREATE TABLE tabelasbackup (id INT AUTO_INCREMENT PRIMARY KEY, descricao VARCHAR(50))", kDb);
    Exec("CREATE TABLE cidades (Codigo INT, Nome VARCHAR(40))", kDb);
    Exec("INSERT INTO cidades VALUES (1, 'Lages')", kDb);
  }
  void cleanupTestCase() { Exec("DROP DATABASE IF EXISTS `" + kDb + "`"); }

  void init() {
    exeDir_ = new QTemporaryDir;
    platform::SetExecutableFolder(exeDir_->path().toStdString());
    prompts_ = TScriptedPrompts();
    app::SetPrompts(&prompts_);
    exits_.clear();
    app::SetProgramExit([this](int code) { exits_ << code; });
    app::SetAppClock([this] { return now_; });
    dm_ = std::make_unique<TDM>();
    opened_ = 0;
    now_ = At(8, 30, 0);
  }
  void cleanup() {
    dm_.reset();
    const QString unexpected = prompts_.shown.empty() ? QString() : prompts_.shown.front().text;
    QVERIFY2(prompts_.shown.empty(), qPrintable("a box the test did not expect: " + unexpected));
    app::SetPrompts(nullptr);
    app::SetProgramExit({});
    app::SetAppClock({});
    platform::SetExecutableFolder("");
    delete exeDir_;
  }

  void startsMinimisedWithIconAndTimer() {
    TfrmSairBackup w;
    QVERIFY(!w.Ended());
    QVERIFY(w.windowState() & Qt::WindowMinimized);
    QVERIFY(w.JvTrayIcon1->Active());
    QVERIFY(w.JvTrayIcon1->Animated());
    QVERIFY(w.tmr1.isActive());
    QCOMPARE(w.tmr1.interval(), 30000);
    QCOMPARE(w.size(), QSize(465, 374));
    QCOMPARE(w.BitBtn2->geometry(), QRect(8, 327, 146, 41));
    QCOMPARE(w.BitBtn2->text(), QString("Copia de Segurança"));
    QCOMPARE(w.BitBtn1->geometry(), QRect(312, 330, 146, 41));
    QCOMPARE(w.BitBtn1->text(), QString("&Sair do Sistemas"));
    QCOMPARE(w.RxLabel1->Caption(), QString("Informações sobre Backup"));
    QCOMPARE(w.RichEdit1->document()->blockCount(), 14);
    QCOMPARE(w.RichEdit1->document()->findBlockByNumber(11).text(), QString("Desenvolvimento não "));
    QVERIFY(!w.RichEdit1->isEnabled());
  }

  void scheduleTimeText_data() {
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<QString>("expected");
    QTest::newRow("morning") << 8 << 5 << "08:05";
    QTest::newRow("evening") << 23 << 59 << "23:59";
  }
  void scheduleTimeText() {
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(QString, expected);
    now_ = At(hour, minute, 42);
    QCOMPARE(TfrmSairBackup::HoraAtual(), expected);
  }

  void matchingTickOpensTheWindowAndTheScheduleGoesOn() {
    WriteIni("horaprog=\r\nhoraprog01=8:30\r\nhoraprog02=08:30\r\nhoraprog03=08:30:00\r\n");
    LoadDataModule();
    TfrmSairBackup w;
    w.show();
    CloseBackupWindows();
    w.tmr1Timer();
    QCOMPARE(opened_, 1);
    // Closed without a run: the company table is still open, so its name is shown.
    QCOMPARE(w.windowTitle(), QString("Atualizado 17-04-2023 / 15:30  - Nome do Usuario :  - Mercadinho"));
    QVERIFY(w.tmr1.isActive());
    QVERIFY(w.JvTrayIcon1->Active());
    QVERIFY(w.JvTrayIcon1->Animated());
    QVERIFY(!w.isVisible());
    // Closed quickly, the same minute matches again at the next tick.
    CloseBackupWindows();
    now_ += 30;
    w.tmr1Timer();
    QCOMPARE(opened_, 2);
    // Another minute does not.
    now_ = At(8, 31, 0);
    w.tmr1Timer();
    QCOMPARE(opened_, 2);
  }

  void emptySlotsNeverMatchButEveryTickHides() {
    WriteIni("horaprog=\r\n");
    TfrmSairBackup w;
    w.show();
    QTest::qWait(1);
    w.tmr1Timer();
    QCOMPARE(opened_, 0);
    QVERIFY(!w.isVisible());
    QVERIFY(w.tmr1.isActive());
  }

  void scheduledOpeningThatCannotConnectKeepsTheSchedule() {
    WriteIni("horaprog=08:30\r\n");
    dm_->MyConnection1.Server = "127.0.0.1";
    dm_->MyConnection1.Port = 1;
    TfrmSairBackup w;
    w.tmr1Timer();
    QCOMPARE(opened_, 0);
    const Prompt box = prompts_.Take();
    QCOMPARE(box.kind, TMsgKind::Error);
    QVERIFY(w.tmr1.isActive());
    QVERIFY(w.JvTrayIcon1->Active());
  }

  void completedManualRunRestoresTimerAndIcon() {
    WriteIni("horaprog=\r\n");
    LoadDataModule();
    TfrmSairBackup w;
    w.show();
    char tmpl[] = "/tmp/tarvix-traytest-XXXXXX";
    QVERIFY(mkdtemp(tmpl));
    const QString folder = QString::fromUtf8(tmpl);
    WhenBackupWindowOpens([&](TFrmBackup& b) {
      // A tick inside the manual window compares, hides the tray window and goes on.
      w.tmr1Timer();
      QVERIFY(!w.isVisible());
      prompts_.folderAnswers.push_back(folder);
      b.btnLocalSalvarClick();
      b.btnOKClick();
    });
    w.BitBtn2Click();
    QVERIFY(prompts_.Take().folder);
    const Prompt done = prompts_.Take();
    QVERIFY2(done.text.startsWith("Backup completo em: " + folder + "/"), qPrintable(done.text));
    QVERIFY(w.tmr1.isActive());
    QVERIFY(w.JvTrayIcon1->Active());
    QVERIFY(!dm_->MyConnection1.Connected());
    fs::remove_all(tmpl);
  }

  void unattendedRunWithPasta() {
    char tmpl[] = "/tmp/tarvix-traytest-XXXXXX";
    QVERIFY(mkdtemp(tmpl));
    WriteIni("horaprog=08:30\r\nPASTA=" + std::string(tmpl) + "\r\n");
    LoadDataModule();
    TfrmSairBackup w;
    w.tmr1Timer();
    const Prompt done = prompts_.Take();
    QVERIFY2(done.text.startsWith("Backup completo em: "), qPrintable(done.text));
    const fs::path runFolder = *fs::directory_iterator(tmpl);
    QVERIFY(fs::exists(runFolder / "cidades.sql"));
    QVERIFY(fs::exists(runFolder / "tabelasbackup.sql"));
    // The run closed the company table, so the caption ends with the separator alone.
    QCOMPARE(w.windowTitle(), QString("Atualizado 17-04-2023 / 15:30  - Nome do Usuario :  - "));
    QVERIFY(w.tmr1.isActive());
    // The same slot in the same minute does not run unattended again: the window waits.
    CloseBackupWindows();
    now_ += 30;
    w.tmr1Timer();
    QCOMPARE(opened_, 1);
    fs::remove_all(tmpl);
  }

  void secondCopyFromTheSamePathEnds_data() {
    QTest::addColumn<bool>("samePath");
    QTest::newRow("same path") << true;
    QTest::newRow("other path") << false;
  }
  void secondCopyFromTheSamePathEnds() {
    QFETCH(bool, samePath);
    QTemporaryDir a, b;
    const QString first = a.filePath("tarvix-backup"), second = samePath ? first : b.filePath("tarvix-backup");
    QVERIFY(QFile::copy(TARVIX_BACKUP_PATH, first));
    if (!samePath) QVERIFY(QFile::copy(TARVIX_BACKUP_PATH, second));
    QProcess one, two;
    one.start(first, {});
    QVERIFY(one.waitForStarted());
    QTest::qWait(1500);  // until it holds the guard
    two.start(second, {"--ignored"});
    QVERIFY(two.waitForStarted());
    const bool ended = two.waitForFinished(samePath ? 15000 : 2000);
    QCOMPARE(ended, samePath);
    if (samePath) QCOMPARE(two.exitCode(), 0);
    QCOMPARE(one.state(), QProcess::Running);
    one.kill();
    two.kill();
    one.waitForFinished();
    two.waitForFinished();
  }
};

QTEST_MAIN(TrayWindowTest)
#include "TrayWindowTest.moc"
