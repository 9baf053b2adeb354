#include "console/UBackup.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTextCursor>
#include <QTimer>
#include <filesystem>
#include <optional>

#include "app/AppClock.h"
#include "app/FormLayout.h"
#include "app/Guarded.h"
#include "app/ProgramExit.h"
#include "app/Prompts.h"
#include "app/UDm.h"
#include "platform/AppPaths.h"
#include "platform/IniFile.h"
#include "platform/TextEncoding.h"
#include "run/BackupRun.h"
#include "runfiles/RunFolder.h"

namespace {

// Shared by every backup window of the process: the counter picks the two heading lines of a
// run, the last name keeps a table from being announced twice in a row, across runs too.
int FContadorEventos = 0;
std::u16string FUltimoObjeto;

QString FromU16(const std::u16string& s) {
  return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The first count characters, never splitting a surrogate pair.
std::u16string FirstCharacters(const std::u16string& s, size_t count) {
  size_t i = 0;
  for (size_t n = 0; i < s.size() && n < count; ++n) i += (s[i] >= 0xD800 && s[i] < 0xDC00 && i + 1 < s.size()) ? 2 : 1;
  return s.substr(0, i);
}

QFont WindowFont(int pixelSize, bool bold) { return app::FontOf({"Tahoma", "Verdana", "DejaVu Sans"}, pixelSize, bold); }

const QString kAvisoCaption = QStringLiteral("Aviso");
const QString kSelecionePasta = QStringLiteral("Selecione a pasta do Backup");

}  // namespace

TFrmBackup::TFrmBackup(ITrayWindow* trayWindow, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      MyLista(&MyConnection1),
      MyTabela(&MyConnection1),
      FTrayWindow(trayWindow) {
  setObjectName(QStringLiteral("FrmBackup"));
  setWindowTitle(QStringLiteral("Tarvix - Backup - 31-07-2023 / 19:30"));
  setFixedSize(426, 353);
  setFont(WindowFont(11, false));

  Panel1 = app::Place<QLabel>(this, "Panel1", 0, 0, 426, 41);
  Panel1->setText(QStringLiteral("Panel1"));
  Panel1->setAlignment(Qt::AlignCenter);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setAutoFillBackground(true);
  {
    QPalette p = Panel1->palette();
    p.setColor(QPalette::Window, QColor(0, 128, 192));  // 12615680
    p.setColor(QPalette::WindowText, Qt::white);
    Panel1->setPalette(p);
  }
  Panel1->setFont(WindowFont(21, true));

  lblPastaBackup = app::Place<QLabel>(this, "lblPastaBackup", 4, 44, 100, 13);
  lblPastaBackup->setText(QStringLiteral("Pasta do Back-up"));
  lblPastaBackup->adjustSize();

  edtPasta = app::Place<QLineEdit>(this, "edtPasta", 4, 63, 337, 19);

  btnLocalSalvar = app::Place<QPushButton>(this, "btnLocalSalvar", 359, 53, 49, 41);
  btnLocalSalvar->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
  btnLocalSalvar->setIconSize(QSize(24, 24));
  btnLocalSalvar->setCursor(Qt::PointingHandCursor);

  btnOK = app::Place<QPushButton>(this, "btnOK", 4, 98, 75, 25);
  btnOK->setText(QStringLiteral("&Gerar"));
  btnOK->setCursor(Qt::PointingHandCursor);

  // Enter in the folder field must not start a run.
  for (QPushButton* b : {btnLocalSalvar, btnOK}) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }

  ProgressBar2 = app::Place<QProgressBar>(this, "ProgressBar2", 4, 135, 408, 17);
  ProgressBar2->setRange(0, 100);
  ProgressBar2->setValue(0);
  ProgressBar2->setTextVisible(false);

  lblProgress2 = app::Place<QLabel>(this, "lblProgress2", 4, 158, 405, 13);
  lblProgress2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  lblProgress2->setText(QStringLiteral("Arquivos a serem copiados\r\n"));

  ProgressBar1 = app::Place<QProgressBar>(this, "ProgressBar1", 4, 177, 408, 17);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);

  lblProgress1 = app::Place<QLabel>(this, "lblProgress1", 4, 200, 408, 13);
  lblProgress1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  lblProgress1->setText(QStringLiteral("0%"));

  mmoMensagens = app::Place<QPlainTextEdit>(this, "mmoMensagens", 3, 232, 400, 104);
  mmoMensagens->setReadOnly(true);
  mmoMensagens->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }

  QObject::connect(btnLocalSalvar, &QPushButton::clicked, this, [this] { btnLocalSalvarClick(); });
  QObject::connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });

  run::UseBackupSettings(MyDump1);
  MyDump1.OnBackupProgress = [this](dump::TDADump* sender, const std::u16string& name, int32_t num, int32_t count,
                                    int32_t percent) { MyDump1BackupProgress(sender, name, num, count, percent); };

  MyLista.SetSQL(run::kTableListSQL);
  MyTabela.SetTableName("tabelasbackup");
  MyTabela.AddPersistentField({"id", 0});
  MyTabela.AddPersistentField({"descricao", 50});

  FormCreate();
}

TFrmBackup::~TFrmBackup() {
  // The datasets and the dump hold on to the connections; let go of them first.
  MyDump1.SetConnection(nullptr);
  MyLista.Close();
  MyTabela.Close();
}

bool TFrmBackup::event(QEvent* e) {
  const bool handled = QDialog::event(e);
  if (e->type() == QEvent::WindowActivate) app::guarded([this] { FormActivate(); });
  return handled;
}

void TFrmBackup::FormCreate() {
  app::guarded([this] {
    ConectarBanco();
    btnOK->hide();
  });
}

void TFrmBackup::FormActivate() { QCoreApplication::processEvents(); }

void TFrmBackup::ConfigurarConexao(db::TMyConnection& c, bool direct, int porta, const std::string& servidor,
                                   const std::string& banco) {
  c.Close();
  c.Options.Direct = direct;
  c.Port = porta > 0 ? static_cast<unsigned>(porta) : 0;
  c.Server = servidor;
  c.Database = banco;
  c.Username = "root";
  c.Password = TDM::kPassword;
  c.LoginPrompt = false;
  c.Open();
}

void TFrmBackup::ConectarBanco() {
  try {
    runfiles::CreateFolderWithParents(platform::AnsiToUtf8(platform::ExecutableFolder()) + "backup");
  } catch (const std::exception&) {
    // Nothing uses this folder; a failure to create it does not matter.
  }

  const std::string iniPath = platform::AdminIniPath();
  std::error_code ec;
  if (!std::filesystem::exists(std::filesystem::u8path(platform::AnsiToUtf8(iniPath)), ec)) {
    app::Prompts().Message(this, app::TMsgKind::Error, QStringLiteral("ERRO FALTAL"),
                           QStringLiteral("Está faltando um ou mais arquivos acessórios (INI).\r\n\r\n"
                                          "O Sistema não pode ser iniciado !"));
    app::EndProgram(0);
    return;
  }

  const platform::TIniFile ini(iniPath);
  const int porta = ini.ReadInteger("LOCAL", "PORTA", 3306);
  const std::string servidor = ini.ReadString("LOCAL", "SERVIDOR", "");
  const std::string banco = ini.ReadString("LOCAL", "BANCO", "");
  const bool direct = ini.ReadString("LOCAL", "DIRECT", "N") == "S";

  ConfigurarConexao(MyConnection1, direct, porta, servidor, banco);
  // A backup window opened inside a run would otherwise wait forever, on this same thread, for
  // the metadata lock the run's snapshot holds on the work table.
  MyConnection1.ExecSQL("SET SESSION lock_wait_timeout = 30");

  ConfigurarConexao(conServidor, direct, porta, servidor, banco);
  // A run held up by a window opened inside it must not be cut off by the server mid-table.
  conServidor.ExecSQL("SET SESSION net_read_timeout = 28800, net_write_timeout = 28800");

  MyDump1.SetConnection(&conServidor);
  MyDump1.SetTableNames(u"");

  const std::string linha = "Loja : " + (DM ? DM->tbconfiguracaoNome() : std::string());
  Panel1->setText(FromU16(platform::AnsiToUtf16(linha)));
}

void TFrmBackup::btnLocalSalvarClick() {
  app::guarded([this] {
    const std::optional<QString> escolhida = app::Prompts().ChooseFolder(
        this, QStringLiteral("Pasta do Back-up"), QStringLiteral("Selecione"), edtPasta->text());
    edtPasta->setText(escolhida.value_or(QString()));
    if (edtPasta->text().isEmpty()) {
      app::Prompts().Message(this, app::TMsgKind::Warning, kAvisoCaption, kSelecionePasta);
      return;
    }
    btnOK->setEnabled(true);
    btnOK->show();
  });
}

void TFrmBackup::IniciarSemOperador(const QString& pasta) {
  edtPasta->setText(pasta);
  QTimer::singleShot(0, this, [this] {
    btnOKClick();
    if (isVisible()) QTimer::singleShot(kSemOperadorMs, this, &QDialog::close);
  });
}

void TFrmBackup::btnOKClick() {
  app::guarded([this] {
    // A press that arrives while this window's run handles its messages must not start another.
    if (FGerando) return;
    if (edtPasta->text().isEmpty()) {
      app::Prompts().Message(this, app::TMsgKind::Warning, kAvisoCaption, kSelecionePasta);
      return;
    }
    btnOK->hide();
    FGerando = true;
    struct Fim {
      bool& gerando;
      ~Fim() { gerando = false; }
    } fim{FGerando};
    GerarBackup();
  });
}

void TFrmBackup::GerarBackup() {
  // The folder is fixed now: a folder chosen during the run does not move it.
  run::BackupRun execucao(MyDump1, edtPasta->text().toStdString(), app::AppClock());
  const QString pastaExecucao = FromUtf8(execucao.Folder());

  LimparMensagens();

  MyLista.Close();
  MyLista.ParamByName("mtabela").SetAsString(conServidor.Database);
  MyLista.Open();
  MyLista.First();

  MyTabela.Close();
  MyTabela.EmptyTable();
  MyTabela.Open();

  // The work table keeps a cut copy of each name; the dumps use the names as the catalogue
  // gave them, which a 50-character column cannot always hold.
  std::vector<std::u16string> tabelas;
  while (!MyLista.Eof()) {
    tabelas.push_back(platform::Utf8ToUtf16(MyLista.FieldByName("TABLE_NAME").AsString()));
    MyTabela.Append();
    MyTabela.SetFieldValue("descricao", platform::Utf16ToAnsi(FirstCharacters(tabelas.back(), 50)));
    MyTabela.Post();
    MyLista.Next();
  }

  QStringList falhas;
  try {
    FContadorEventos = 0;
    ProgressBar2->setValue(0);
    MyTabela.Close();
    MyTabela.Open();
    MyTabela.First();
    LimparMensagens();
    const int total = static_cast<int>(tabelas.size());
    // A range of 0..0 would turn the bar into a busy indicator.
    ProgressBar2->setMaximum(total > 0 ? total : 1);

    execucao.BeginSnapshot();
    for (int i = 0; i < total; ++i) {
      const std::u16string& tabela = tabelas[static_cast<size_t>(i)];
      TratarMensagensPendentes();
      ProgressBar2->setValue(i + 1);
      ProgressBar2->repaint();
      lblProgress2->setText(QStringLiteral("Arquivos Copiados : %1 /  Total de Arquivos : %2").arg(i + 1).arg(total));
      lblProgress2->repaint();

      const run::TableOutcome r = execucao.BackupTable(tabela);
      if (r.escapedName)
        AdicionarMensagem(QStringLiteral("* Tabela %1 gravada como %2")
                              .arg(FromU16(tabela), FromUtf8(r.path.substr(r.path.find_last_of(platform::PathDelimiter()) + 1))));
      if (!r.ok) {
        const QString linha = FromU16(tabela) + QStringLiteral(": ") + FromUtf8(r.error);
        AdicionarMensagem(QStringLiteral("* Erro na tabela ") + linha);
        falhas << linha;
      }
      if (!MyTabela.Eof()) MyTabela.Next();
    }
    execucao.EndSnapshot();
  } catch (const std::exception& e) {
    execucao.EndSnapshot();
    AdicionarMensagem(QStringLiteral("* Erro: ") + FromUtf8(e.what()));
    falhas << FromUtf8(e.what());
  }

  if (falhas.isEmpty())
    app::Prompts().Message(this, app::TMsgKind::Plain, app::ApplicationTitle(),
                           QStringLiteral("Backup completo em: ") + pastaExecucao);
  else
    app::Prompts().Message(this, app::TMsgKind::Warning, kAvisoCaption,
                           QStringLiteral("Backup incompleto em: ") + pastaExecucao + QStringLiteral("\r\n\r\n") +
                               falhas.join(QStringLiteral("\r\n")));

  if (DM) DM->tbconfiguracao.Close();
  MyLista.Close();
  MyTabela.Close();
  MyConnection1.Close();
  conServidor.Close();
  if (DM) DM->MyConnection1.Close();

  if (FTrayWindow) {
    FTrayWindow->StopScheduleTimer();
    FTrayWindow->DeactivateTrayIcon();
    FTrayWindow->StopTrayAnimation();
    FTrayWindow->SetWindowStateNormal();
  }
  close();
}

void TFrmBackup::MyDump1BackupProgress(dump::TDADump*, const std::u16string& ObjectName, int32_t ObjectNum,
                                       int32_t, int32_t Percent) {
  // Raised for every row: even reading the clock each time shows in a run's time.
  if (++FEventosDesdeRelogio >= 256 || Percent != FPercentExibido) {
    FEventosDesdeRelogio = 0;
    TratarMensagensPendentes();
  }
  if (Percent != FPercentExibido) {
    FPercentExibido = Percent;
    ProgressBar1->setValue(Percent);
    ProgressBar1->repaint();
    lblProgress1->setText(QString::number(Percent) + QLatin1Char('%'));
    lblProgress1->repaint();
  }

  if (FContadorEventos == 0) {
    AdicionarMensagem(QString());
    AdicionarMensagem(QStringLiteral("***** Gerando SQL"));
    FContadorEventos = 1;
  } else if (FContadorEventos == 1) {
    AdicionarMensagem(QString());
    AdicionarMensagem(QStringLiteral("***** Gravando SQL"));
    FContadorEventos = 2;
  }

  if (ObjectName != FUltimoObjeto) {
    FUltimoObjeto = ObjectName;
    AdicionarMensagem(QStringLiteral("* Tabela = %1 - %2").arg(ObjectNum).arg(FromU16(ObjectName)));
    repaint();
  }
}

void TFrmBackup::TratarMensagensPendentes() {
  if (FUltimasMensagens.isValid() && FUltimasMensagens.elapsed() < 50) return;
  QCoreApplication::processEvents();
  FUltimasMensagens.start();
}

void TFrmBackup::LimparMensagens() {
  mmoMensagens->clear();
  FLinhasMensagens = 0;
}

// A list of lines: appendPlainText would swallow a leading empty line.
void TFrmBackup::AdicionarMensagem(const QString& line) {
  QTextCursor c(mmoMensagens->document());
  c.movePosition(QTextCursor::End);
  if (FLinhasMensagens > 0) c.insertBlock();
  c.insertText(line);
  ++FLinhasMensagens;
  mmoMensagens->verticalScrollBar()->setValue(mmoMensagens->verticalScrollBar()->maximum());
}
