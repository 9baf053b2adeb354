#include "app/USairBackup.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QFrame>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <memory>
#include <optional>

#include "app/AppClock.h"
#include "app/FormLayout.h"
#include "app/Guarded.h"
#include "app/ProgramExit.h"
#include "app/Prompts.h"
#include "app/UDm.h"
#include "app/components/AppInstances.h"
#include "app/components/MemoryTrim.h"
#include "app/components/Pictures.h"
#include "app/components/ShadowLabel.h"
#include "app/components/TrayIcon.h"
#include "console/UBackup.h"
#include "platform/AppPaths.h"
#include "platform/IniFile.h"

namespace {

constexpr int kScheduleInterval = 30000;

// The notice, paragraph by paragraph; trailing blanks and empty paragraphs belong to it.
const char* const kAviso[] = {
    "O Backup é feito por um programa externo, o qual deverá ser instalado ",
    "em seu computador (lembrando que deve ser efetuado e configurado ",
    "somente no servidor porque é neste computador que residem os ",
    "arquivos de dados). É de total responsabilidade do usuário, efetuar os ",
    "backups, isentando assim a Empresa de Desenvolvimento de ",
    "qualquer responsabilidade.",
    "",
    "Faça Backup regularmente, e nele adicione todos os dados do Sistema.",
    "",
    "Obs.: Todo o procedimento de backup, mal uso, procedimentos de má ",
    "configuração,é de inteira responsabilidade do usuário. A Empresa de ",
    "Desenvolvimento não ",
    "se responsabiliza por tais procedimentos.",
    "",
};

}  // namespace

void LiberaMemoria() {
  ReleaseFreedMemory();
  QCoreApplication::processEvents();
}

TfrmSairBackup::TfrmSairBackup(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("frmSairBackup"));
  // Before anything else is built or shown: a second copy hands over and ends.
  JvAppInstances1 = new TJvAppInstances(this);
  JvAppInstances1->setObjectName(QStringLiteral("JvAppInstances1"));
  if (!JvAppInstances1->Check()) {
    ended_ = true;
    app::EndProgram(0);
    return;
  }
  JvAppInstances1->SetActivateHandler([this] { TJvAppInstances::RestoreAndRaise(this); });

  setWindowTitle(QStringLiteral("Tarvix - Suporte: (49) 3222-4560"));
  setWindowIcon(ApplicationIcon());
  setFixedSize(465, 374);
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setFont(app::FontOf({"MS Sans Serif", "Microsoft Sans Serif", "DejaVu Sans"}, 11));

  Panel1 = app::Place<QWidget>(this, "Panel1", 0, 0, 465, 58);
  Panel1->setAutoFillBackground(true);
  Panel1->setPalette(white);
  RxLabel1 = app::Place<TRxLabel>(Panel1, "RxLabel1", 86, 9, 320, 30);
  RxLabel1->SetCaption(QStringLiteral("Informações sobre Backup"));
  RxLabel1->SetFont(app::FontOf({"Century Gothic", "URW Gothic", "DejaVu Sans"}, 24));
  RxLabel1->setAutoFillBackground(true);
  RxLabel1->setPalette(white);

  Bevel1 = app::Place<QFrame>(this, "Bevel1", 1, 59, 458, 317);
  Bevel1->setFrameShape(QFrame::Box);
  Bevel1->setFrameShadow(QFrame::Sunken);

  RichEdit1 = app::Place<QTextEdit>(this, "RichEdit1", 6, 63, 446, 258);
  RichEdit1->setEnabled(false);
  // Disabled only to take no input: the notice is read in full colour.
  QPalette notice = RichEdit1->palette();
  notice.setColor(QPalette::Disabled, QPalette::Text, notice.color(QPalette::Active, QPalette::Text));
  RichEdit1->setPalette(notice);
  RichEdit1->setFont(app::FontOf({"MS Sans Serif", "Microsoft Sans Serif", "DejaVu Sans Condensed", "DejaVu Sans"}, 13));
  QStringList paragraphs;
  for (const char* p : kAviso) paragraphs << QString::fromUtf8(p);
  RichEdit1->setPlainText(paragraphs.join(QLatin1Char('\n')));

  BitBtn2 = app::Place<QPushButton>(this, "BitBtn2", 8, 327, 146, 41);
  BitBtn2->setText(QStringLiteral("Copia de Segurança"));
  BitBtn2->setIcon(QIcon(BackupButtonPicture()));
  BitBtn2->setCursor(Qt::PointingHandCursor);
  BitBtn2->setToolTip(QStringLiteral("Efetuar Copia de Segurança"));
  connect(BitBtn2, &QPushButton::clicked, this, [this] { app::guarded([this] { BitBtn2Click(); }); });

  BitBtn1 = app::Place<QPushButton>(this, "BitBtn1", 312, 330, 146, 41);
  BitBtn1->setText(QStringLiteral("&Sair do Sistemas"));
  BitBtn1->setIcon(QIcon(ExitButtonPicture()));
  BitBtn1->setStyleSheet(QStringLiteral("QPushButton { padding-left: 7px; }"));
  connect(BitBtn1, &QPushButton::clicked, this, [this] { app::guarded([this] { BitBtn1Click(); }); });

  tmr1.setInterval(kScheduleInterval);
  connect(&tmr1, &QTimer::timeout, this, [this] { app::guarded([this] { tmr1Timer(); }); });
  tmr1.start();

  JvTrayIcon1 = new TJvTrayIcon(this);
  JvTrayIcon1->setObjectName(QStringLiteral("JvTrayIcon1"));

  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  app::guarded([this] { FormCreate(); });
}

TfrmSairBackup::~TfrmSairBackup() = default;

void TfrmSairBackup::FormCreate() {
  JvTrayIcon1->SetActive(true);
  JvTrayIcon1->SetAnimated(true);
  setWindowState(Qt::WindowMinimized);
}

QString TfrmSairBackup::HoraAtual() {
  const QTime now = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(app::Now())).time();
  return QLocale::system().toString(now, QLocale::LongFormat).left(5);
}

void TfrmSairBackup::tmr1Timer() {
  const std::string hora = HoraAtual().toStdString();
  DM->Carregahora();
  for (const std::string& programada : HorasProgramadas())
    if (!programada.empty() && programada == hora) {
      AberturaProgramada(hora);
      break;
    }
  RestaurarAgenda();
  hide();
}

void TfrmSairBackup::AberturaProgramada(const std::string& hora) {
  tmr1.stop();
  setWindowState(windowState() & ~Qt::WindowMinimized);
  bool connected = false;
  // Shown as the standard error box; the schedule then goes on with the next slot.
  app::guarded([&] {
    DM->MyConnection1.Open();
    DM->tbconfiguracao.Open();
    connected = true;
  });
  if (!connected) return;

  const std::string pasta = platform::TIniFile(platform::AdminIniPath()).ReadString("PROGRAMACAO", "PASTA", "");
  const bool unattended = !pasta.empty() && hora != lastUnattended_;
  if (unattended) lastUnattended_ = hora;
  std::optional<app::TAutoDismissMessages> semOperador;
  if (unattended) semOperador.emplace(TFrmBackup::kSemOperadorMs);
  auto janela = std::make_unique<TFrmBackup>(this);
  if (unattended) janela->IniciarSemOperador(QString::fromStdString(pasta));
  janela->exec();
  semOperador.reset();
  setWindowTitle(QStringLiteral("Atualizado 17-04-2023 / 15:30  - Nome do Usuario : ") + QStringLiteral(" - ") +
                 QString::fromStdString(DM->tbconfiguracaoNome()));
  LiberaMemoria();
  janela.reset();
  StopScheduleTimer();
  DeactivateTrayIcon();
  StopTrayAnimation();
  SetWindowStateNormal();
}

void TfrmSairBackup::RestaurarAgenda() {
  if (!tmr1.isActive()) tmr1.start();
  JvTrayIcon1->SetActive(true);
  JvTrayIcon1->SetAnimated(true);
}

void TfrmSairBackup::BitBtn2Click() {
  runFinished_ = false;
  {
    TFrmBackup janela(this);
    janela.exec();
  }
  // A finished run by hand has stopped the schedule; it goes on as after a scheduled run.
  if (runFinished_) RestaurarAgenda();
}

void TfrmSairBackup::BitBtn1Click() { close(); }

void TfrmSairBackup::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  QCoreApplication::quit();
}

void TfrmSairBackup::StopScheduleTimer() {
  runFinished_ = true;
  tmr1.stop();
}
void TfrmSairBackup::DeactivateTrayIcon() { JvTrayIcon1->SetActive(false); }
void TfrmSairBackup::StopTrayAnimation() { JvTrayIcon1->SetAnimated(false); }
void TfrmSairBackup::SetWindowStateNormal() { setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)); }
