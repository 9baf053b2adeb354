#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

// A label whose caption carries a shadow (silver, 2 pixels to the lower right by default)
// under the text, which is drawn in the label's own colour (the palette's WindowText). The
// background is left alone, so the label sits on whatever its parent paints. Captions may
// hold several lines separated by '\n'; there is no word wrap.
class TRxLabel : public QWidget {
    Q_OBJECT

public:
    explicit TRxLabel(QWidget* parent = nullptr);
    explicit TRxLabel(const QString& caption, QWidget* parent = nullptr);

    void SetCaption(const QString& caption);
    QString Caption() const;

    void SetFont(const QFont& font);
    QFont Font() const;

    void SetColor(const QColor& color);
    QColor Color() const;

    void SetShadowColor(const QColor& color);
    QColor ShadowColor() const;

    // Offset of the shadow in pixels, both to the right and down; 0 draws no shadow.
    void SetShadowSize(int pixels);
    int ShadowSize() const;

    // Placement of the text (with its shadow) inside a label larger than its size hint.
    void SetAlignment(Qt::Alignment alignment);
    Qt::Alignment Alignment() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int TextFlags() const;

    QString caption_;
    QColor shadowColor_{0xC0, 0xC0, 0xC0};
    int shadowSize_ = 2;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
};
