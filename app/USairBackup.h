#pragma once
// The program's main window and its presence in the notification area: a notice about backups,
// a button for a backup by hand, a button to quit, and the schedule that opens the backup window
// by itself at the times of Admin.ini.
#include <QTimer>
#include <QWidget>
#include <string>

#include "console/TrayWindow.h"

class QFrame;
class QPushButton;
class QTextEdit;
class TFrmBackup;
class TJvAppInstances;
class TJvTrayIcon;
class TRxLabel;

class TfrmSairBackup : public QWidget, public ITrayWindow {
 public:
  // A second copy of the program ends the program here (exit code 0), before anything is shown;
  // Ended() then tells a test that replaced the program's end.
  explicit TfrmSairBackup(QWidget* parent = nullptr);
  ~TfrmSairBackup() override;
  bool Ended() const { return ended_; }

  QWidget* Panel1;
  TRxLabel* RxLabel1;
  QFrame* Bevel1;
  QTextEdit* RichEdit1;
  QPushButton* BitBtn2;
  QPushButton* BitBtn1;
  QTimer tmr1;
  TJvTrayIcon* JvTrayIcon1;
  TJvAppInstances* JvAppInstances1;

  void tmr1Timer();
  void BitBtn2Click();
  void BitBtn1Click();

  // The closing steps of a finished run.
  void StopScheduleTimer() override;
  void DeactivateTrayIcon() override;
  void StopTrayAnimation() override;
  void SetWindowStateNormal() override;

  // The first five characters of the time in the user's long time format.
  static QString HoraAtual();

 protected:
  // The main window: closing it ends the program, also while it is hidden.
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  // The schedule's step 4: timer (keeping its rhythm), icon and animation back on.
  void RestaurarAgenda();
  void AberturaProgramada(const std::string& hora);

  bool ended_ = false;
  bool runFinished_ = false;       // the closing steps ran since the last backup window opened
  std::string lastUnattended_;     // the time text of the last unattended run
};

// Trims the process's memory, ignoring failures, then lets pending messages be handled.
void LiberaMemoria();
