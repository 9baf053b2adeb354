#include "app/components/Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <functional>

namespace {

// Every picture is drawn on a 64 x 64 grid and scaled, so one drawing serves every size.
constexpr qreal Grid = 64.0;

QPixmap Render(int size, const std::function<void(QPainter&)>& draw)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / Grid, size / Grid);
    draw(painter);
    painter.end();
    return pixmap;
}

QPen Outline(const QColor& colour, qreal width = 2.0)
{
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void DrawArrow(QPainter& p, const QPolygonF& shape, const QColor& fill)
{
    p.setPen(Outline(fill.darker(160), 1.5));
    p.setBrush(fill);
    p.drawPolygon(shape);
}

void DrawApplication(QPainter& p)
{
    const QColor side(40, 96, 168);
    const QColor top(120, 170, 225);
    const QRectF body(10, 14, 44, 40);
    const qreal lid = 12;  // height of the elliptic top and bottom

    QLinearGradient shade(body.left(), 0, body.right(), 0);
    shade.setColorAt(0, side.lighter(130));
    shade.setColorAt(0.5, side);
    shade.setColorAt(1, side.darker(140));

    QPainterPath drum;
    drum.moveTo(body.left(), body.top() + lid / 2);
    drum.lineTo(body.left(), body.bottom() - lid / 2);
    drum.arcTo(QRectF(body.left(), body.bottom() - lid, body.width(), lid), 180, 180);
    drum.lineTo(body.right(), body.top() + lid / 2);
    drum.arcTo(QRectF(body.left(), body.top(), body.width(), lid), 0, -180);
    p.setPen(Outline(side.darker(170)));
    p.setBrush(shade);
    p.drawPath(drum);

    // The bands that make the drum read as a stack of disks.
    p.setBrush(Qt::NoBrush);
    for (qreal y : {body.top() + 14, body.top() + 26}) {
        p.drawArc(QRectF(body.left(), y, body.width(), lid), 180 * 16, 180 * 16);
    }
    p.setBrush(top);
    p.drawEllipse(QRectF(body.left(), body.top(), body.width(), lid));

    // The arrow: data going into the drum.
    DrawArrow(p,
              QPolygonF({{40, 2}, {52, 2}, {52, 16}, {60, 16}, {46, 30}, {32, 16}, {40, 16}}),
              QColor(46, 160, 60));
}

void DrawDiskette(QPainter& p)
{
    const QColor body(36, 64, 140);
    QPainterPath shell;
    shell.moveTo(6, 6);
    shell.lineTo(50, 6);
    shell.lineTo(58, 14);
    shell.lineTo(58, 58);
    shell.lineTo(6, 58);
    shell.closeSubpath();
    p.setPen(Outline(body.darker(160)));
    p.setBrush(body);
    p.drawPath(shell);

    // Metal shutter with its window.
    p.setPen(Outline(QColor(90, 90, 90), 1.5));
    p.setBrush(QColor(200, 204, 210));
    p.drawRect(QRectF(16, 6, 30, 18));
    p.setBrush(body.darker(130));
    p.drawRect(QRectF(36, 9, 6, 12));

    // Paper label with writing lines.
    p.setPen(Outline(QColor(150, 150, 150), 1.5));
    p.setBrush(QColor(250, 250, 245));
    p.drawRect(QRectF(13, 32, 38, 22));
    p.setPen(Outline(QColor(170, 60, 60), 1.5));
    for (qreal y : {39.0, 45.0, 51.0}) {
        p.drawLine(QPointF(17, y), QPointF(47, y));
    }
}

void DrawExit(QPainter& p)
{
    // Door frame, the dark opening and the door swung open towards the viewer.
    p.setPen(Outline(QColor(70, 45, 25)));
    p.setBrush(QColor(150, 110, 70));
    p.drawRect(QRectF(8, 4, 34, 56));
    p.setBrush(QColor(30, 30, 40));
    p.drawRect(QRectF(12, 8, 26, 52));

    QLinearGradient wood(12, 0, 30, 0);
    wood.setColorAt(0, QColor(200, 140, 80));
    wood.setColorAt(1, QColor(150, 95, 45));
    p.setBrush(wood);
    p.setPen(Outline(QColor(90, 55, 25)));
    p.drawPolygon(QPolygonF({{12, 8}, {28, 13}, {28, 62}, {12, 60}}));
    p.setBrush(QColor(240, 200, 60));
    p.drawEllipse(QPointF(24, 36), 2, 2);

    // The way out.
    DrawArrow(p, QPolygonF({{32, 28}, {46, 28}, {46, 20}, {62, 34}, {46, 48}, {46, 40}, {32, 40}}),
              QColor(210, 40, 40));
}

void DrawFolder(QPainter& p)
{
    const QColor back(214, 160, 40);
    const QColor front(250, 205, 80);

    QPainterPath rear;
    rear.moveTo(4, 14);
    rear.lineTo(24, 14);
    rear.lineTo(30, 20);
    rear.lineTo(58, 20);
    rear.lineTo(58, 54);
    rear.lineTo(4, 54);
    rear.closeSubpath();
    p.setPen(Outline(back.darker(160)));
    p.setBrush(back);
    p.drawPath(rear);

    // A sheet sticking out, so the folder reads as holding something.
    p.setPen(Outline(QColor(150, 150, 150), 1.0));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(10, 22, 42, 20));

    QLinearGradient shade(0, 28, 0, 54);
    shade.setColorAt(0, front.lighter(110));
    shade.setColorAt(1, front.darker(115));
    p.setPen(Outline(back.darker(160)));
    p.setBrush(shade);
    p.drawPolygon(QPolygonF({{4, 54}, {10, 28}, {62, 28}, {58, 54}}));
}

}  // namespace

QIcon ApplicationIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(Render(size, DrawApplication));
    }
    return icon;
}

QPixmap BackupButtonPicture(int size)
{
    return Render(size, DrawDiskette);
}

QPixmap ExitButtonPicture(int size)
{
    return Render(size, DrawExit);
}

QPixmap FolderButtonPicture(int size)
{
    return Render(size, DrawFolder);
}
