#include "app/components/ShadowLabel.h"

#include <QEvent>
#include <QPainter>
#include <QPalette>

#include <algorithm>

TRxLabel::TRxLabel(QWidget* parent) : TRxLabel(QString(), parent) {}

TRxLabel::TRxLabel(const QString& caption, QWidget* parent) : QWidget(parent), caption_(caption)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void TRxLabel::SetCaption(const QString& caption)
{
    if (caption == caption_) {
        return;
    }
    caption_ = caption;
    updateGeometry();
    update();
}

QString TRxLabel::Caption() const
{
    return caption_;
}

void TRxLabel::SetFont(const QFont& font)
{
    setFont(font);  // changeEvent(FontChange) refreshes the geometry
}

QFont TRxLabel::Font() const
{
    return font();
}

void TRxLabel::SetColor(const QColor& color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
    update();
}

QColor TRxLabel::Color() const
{
    return palette().color(QPalette::WindowText);
}

void TRxLabel::SetShadowColor(const QColor& color)
{
    shadowColor_ = color;
    update();
}

QColor TRxLabel::ShadowColor() const
{
    return shadowColor_;
}

void TRxLabel::SetShadowSize(int pixels)
{
    shadowSize_ = std::max(0, pixels);
    updateGeometry();
    update();
}

int TRxLabel::ShadowSize() const
{
    return shadowSize_;
}

void TRxLabel::SetAlignment(Qt::Alignment alignment)
{
    alignment_ = alignment;
    update();
}

Qt::Alignment TRxLabel::Alignment() const
{
    return alignment_;
}

int TRxLabel::TextFlags() const
{
    return static_cast<int>(alignment_) | Qt::TextExpandTabs;
}

QSize TRxLabel::sizeHint() const
{
    // An empty caption still gets a line's height, so a label does not collapse when cleared.
    const QRect text = fontMetrics().boundingRect(QRect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs,
                                                  caption_.isEmpty() ? QStringLiteral(" ") : caption_);
    const QMargins m = contentsMargins();
    return QSize(text.width() + shadowSize_ + m.left() + m.right(),
                 text.height() + shadowSize_ + m.top() + m.bottom());
}

QSize TRxLabel::minimumSizeHint() const
{
    return sizeHint();
}

void TRxLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The text keeps shadowSize_ pixels free on the right and at the bottom for its shadow,
    // wherever the alignment puts it.
    const QRect area = contentsRect().adjusted(0, 0, -shadowSize_, -shadowSize_);
    if (shadowSize_ > 0) {
        painter.setPen(shadowColor_);
        painter.drawText(area.translated(shadowSize_, shadowSize_), TextFlags(), caption_);
    }
    painter.setPen(Color());
    painter.drawText(area, TextFlags(), caption_);
}

void TRxLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
        update();
    }
    QWidget::changeEvent(event);
}
