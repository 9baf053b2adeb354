#include "app/components/TrayIcon.h"

#include "app/components/Pictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QSystemTrayIcon>

namespace {

QIcon Dimmed(const QIcon& icon)
{
    QIcon dimmed;
    const QList<QSize> sizes = icon.availableSizes().isEmpty() ? QList<QSize>{QSize(32, 32)}
                                                               : icon.availableSizes();
    for (const QSize& size : sizes) {
        const QPixmap source = icon.pixmap(size);
        QPixmap frame(source.size());
        frame.fill(Qt::transparent);
        QPainter painter(&frame);
        painter.setOpacity(0.35);
        painter.drawPixmap(0, 0, source);
        painter.end();
        dimmed.addPixmap(frame);
    }
    return dimmed;
}

}  // namespace

TJvTrayIcon::TJvTrayIcon(QObject* parent) : QObject(parent)
{
    icon_ = QGuiApplication::windowIcon();
    if (icon_.isNull()) {
        icon_ = ApplicationIcon();
    }
    dimmed_ = Dimmed(icon_);
    frames_.setInterval(AnimationInterval);
    connect(&frames_, &QTimer::timeout, this, &TJvTrayIcon::NextFrame);
}

TJvTrayIcon::~TJvTrayIcon()
{
    if (tray_ != nullptr) {
        tray_->hide();
    }
}

void TJvTrayIcon::SetActive(bool active)
{
    active_ = active;
    Update();
}

bool TJvTrayIcon::Active() const
{
    return active_;
}

void TJvTrayIcon::SetAnimated(bool animated)
{
    animated_ = animated;
    Update();
}

bool TJvTrayIcon::Animated() const
{
    return animated_;
}

QIcon TJvTrayIcon::Icon() const
{
    return icon_;
}

QString TJvTrayIcon::Hint() const
{
    return QString();
}

bool TJvTrayIcon::Shown() const
{
    return tray_ != nullptr && tray_->isVisible();
}

bool TJvTrayIcon::Animating() const
{
    return frames_.isActive();
}

void TJvTrayIcon::Update()
{
    // Created lazily: without a notification area a QSystemTrayIcon only warns.
    if (active_ && tray_ == nullptr && QSystemTrayIcon::isSystemTrayAvailable()) {
        tray_ = new QSystemTrayIcon(icon_, this);
    }

    const bool animate = active_ && animated_;
    if (animate && !frames_.isActive()) {
        frames_.start();
    } else if (!animate) {
        frames_.stop();
        dimFrame_ = false;
    }

    if (tray_ != nullptr) {
        tray_->setIcon(dimFrame_ ? dimmed_ : icon_);
        tray_->setVisible(active_);
    }
}

void TJvTrayIcon::NextFrame()
{
    dimFrame_ = !dimFrame_;
    if (tray_ != nullptr) {
        tray_->setIcon(dimFrame_ ? dimmed_ : icon_);
    }
}
