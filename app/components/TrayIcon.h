#pragma once

#include <QIcon>
#include <QObject>
#include <QTimer>

class QSystemTrayIcon;

// The program's icon in the notification area: the application's icon, no hint, no menu,
// and clicks on it do nothing.
//
// Active() is what the owner asked for, whether or not the desktop has a notification area:
// without one (Xvfb, the offscreen platform) nothing is shown, nothing fails and nothing waits.
// The system icon is created the first time it can be shown, so a notification area that
// appears later is used by the next SetActive(true).
//
// Animated: while the icon is active and animated it alternates between the icon and a dimmed
// copy of it every AnimationInterval milliseconds.
class TJvTrayIcon : public QObject {
    Q_OBJECT

public:
    static constexpr int AnimationInterval = 500;

    // The icon is the application's window icon at the time of construction, or
    // ApplicationIcon() when the application has none.
    explicit TJvTrayIcon(QObject* parent = nullptr);
    ~TJvTrayIcon() override;

    void SetActive(bool active);
    bool Active() const;

    void SetAnimated(bool animated);
    bool Animated() const;

    QIcon Icon() const;
    // Always empty: the icon carries no hint.
    QString Hint() const;
    // Whether the icon is really in a notification area right now.
    bool Shown() const;
    // Whether the animation is running, i.e. active and animated.
    bool Animating() const;

private:
    void Update();
    void NextFrame();

    QIcon icon_;
    QIcon dimmed_;
    QSystemTrayIcon* tray_ = nullptr;
    QTimer frames_;
    bool active_ = false;
    bool animated_ = false;
    bool dimFrame_ = false;
};
