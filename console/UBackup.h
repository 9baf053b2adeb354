#pragma once
// The backup window: its two connections, the choice of the destination folder and the run that
// writes one data script per table of the database, with its progress display.
#include <QDialog>
#include <QElapsedTimer>
#include <string>
#include <vector>

#include "access/MyConnection.h"
#include "access/MyQuery.h"
#include "access/MyTable.h"
#include "console/TrayWindow.h"
#include "dump/MyDump.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

class TFrmBackup : public QDialog {
 public:
  // Connects at once (errors are shown, the window is still usable). trayWindow receives the
  // closing steps of a finished run; it may be null.
  explicit TFrmBackup(ITrayWindow* trayWindow = nullptr, QWidget* parent = nullptr);
  ~TFrmBackup() override;

  db::TMyConnection MyConnection1;
  db::TMyConnection conServidor;
  dump::TMyDump MyDump1;
  db::TMyQuery MyLista;
  db::TMyTable MyTabela;

  void btnLocalSalvarClick();
  void btnOKClick();
  // An unattended scheduled opening: once the window is shown, the run starts by itself into
  // this folder, as if the operator had chosen it and pressed "Gerar"; when the run cannot get
  // to its end, the window closes a minute later.
  void IniciarSemOperador(const QString& pasta);
  static constexpr int kSemOperadorMs = 60000;

 protected:
  bool event(QEvent* e) override;

 private:
  void FormCreate();
  void FormActivate();
  void ConectarBanco();
  void ConfigurarConexao(db::TMyConnection& c, bool direct, int porta, const std::string& servidor,
                         const std::string& banco);
  void GerarBackup();
  void MyDump1BackupProgress(dump::TDADump* Sender, const std::u16string& ObjectName, int32_t ObjectNum,
                             int32_t ObjectCount, int32_t Percent);
  // processEvents, but at most every ~50 ms, so that per-row progress stays cheap; a value
  // shown changes (and is repainted) at most about a hundred times per table.
  void TratarMensagensPendentes();
  void LimparMensagens();
  void AdicionarMensagem(const QString& line);

  ITrayWindow* FTrayWindow;
  bool FGerando = false;
  int FPercentExibido = 0;
  int FEventosDesdeRelogio = 0;
  int FLinhasMensagens = 0;
  QElapsedTimer FUltimasMensagens;

  QLabel* Panel1;
  QLabel* lblPastaBackup;
  QLineEdit* edtPasta;
  QPushButton* btnLocalSalvar;
  QPushButton* btnOK;
  QProgressBar* ProgressBar2;
  QLabel* lblProgress2;
  QProgressBar* ProgressBar1;
  QLabel* lblProgress1;
  QPlainTextEdit* mmoMensagens;
};
