#pragma once
// The data module: the program-wide connection, the company table whose name the windows show,
// the deferred load of the connection settings and the reader of the four schedule times.
#include <QObject>
#include <QTimer>
#include <array>
#include <string>

#include "access/MyConnection.h"
#include "access/MyTable.h"

class TDM : public QObject {
 public:
  // The account's password, a setting of this module rather than of Admin.ini.
  static constexpr const char* kPassword = "vbr7463";

  // Becomes DM; its timer starts counting now.
  explicit TDM(QObject* parent = nullptr);
  ~TDM() override;

  db::TMyConnection MyConnection1;
  db::TMyTable tbconfiguracao;
  QTimer tmr1;

  // Nome of the company table's current row, 8-bit text in the ANSI code page; empty while the
  // table is closed or has no row.
  std::string tbconfiguracaoNome();

  // Reloads the four schedule times from Admin.ini (empty when absent).
  void Carregahora();

  void tmr1Timer();

 private:
  void CarregaConfiguracao();
};

// The one data module; null before it is created and after it is gone.
extern TDM* DM;

// horaprog, horaprog01, horaprog02 and horaprog03, as Carregahora last read them.
std::array<std::string, 4>& HorasProgramadas();
