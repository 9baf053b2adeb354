#pragma once
// What a finished backup run asks of the tray window, which implements it.

class ITrayWindow {
 public:
  virtual void StopScheduleTimer() = 0;
  // The icon leaves the notification area.
  virtual void DeactivateTrayIcon() = 0;
  virtual void StopTrayAnimation() = 0;
  virtual void SetWindowStateNormal() = 0;

 protected:
  ~ITrayWindow() = default;
};
