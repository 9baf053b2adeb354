#include "app/components/ShadowLabel.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QTest>

namespace {

const QColor Background(Qt::white);
const QColor Text(200, 0, 0);
const QColor Silver(0xC0, 0xC0, 0xC0);

using Pixels = QSet<QPair<int, int>>;

// Exact colours, so that every pixel is text, shadow or background.
void UseTestFont(TRxLabel& label)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(22);
    font.setStyleStrategy(QFont::NoAntialias);
    label.SetFont(font);
    label.SetColor(Text);
}

QImage Render(TRxLabel& label, QSize size)
{
    label.resize(size);
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Background);
    label.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

}  // namespace

class ShadowLabelTest : public QObject {
    Q_OBJECT

private slots:
    void shadowLiesUnderTextAndInsideTheLabel_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<QSize>("extra");  // added to the size hint

        QTest::newRow("at its size hint") << QStringLiteral("Backup MWgf") << int(Qt::AlignLeft | Qt::AlignVCenter)
                                          << QSize(0, 0);
        QTest::newRow("two lines") << QStringLiteral("Backup\nMWg_") << int(Qt::AlignLeft | Qt::AlignTop)
                                   << QSize(0, 0);
        QTest::newRow("bottom right of a larger label")
            << QStringLiteral("Wj") << int(Qt::AlignRight | Qt::AlignBottom) << QSize(40, 20);
    }

    // The shadow is the text moved 2 pixels right and down, silver wherever the text does not
    // cover it, and none of it is cut off by the label's edges.
    void shadowLiesUnderTextAndInsideTheLabel()
    {
        QFETCH(QString, caption);
        QFETCH(int, alignment);
        QFETCH(QSize, extra);

        TRxLabel label(caption);
        UseTestFont(label);
        label.SetAlignment(Qt::Alignment(alignment));
        QCOMPARE(label.ShadowColor(), Silver);
        const QImage image = Render(label, label.sizeHint() + extra);

        Pixels text;
        Pixels shadow;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c == Text) {
                    text.insert({x, y});
                } else if (c == Silver) {
                    shadow.insert({x, y});
                } else {
                    QVERIFY2(c == Background, qPrintable(QStringLiteral("stray colour %1 at %2,%3")
                                                             .arg(c.name()).arg(x).arg(y)));
                }
            }
        }
        QVERIFY(!text.isEmpty());
        QVERIFY(!shadow.isEmpty());
        for (const auto& [x, y] : text) {
            QVERIFY2(x + 2 < image.width() && y + 2 < image.height(), "shadow cut off by the label's edge");
            QVERIFY2(text.contains({x + 2, y + 2}) || shadow.contains({x + 2, y + 2}), "text without shadow");
        }
        for (const auto& [x, y] : shadow) {
            QVERIFY2(text.contains({x - 2, y - 2}), "shadow where there is no text");
        }
    }

    // Drawn at its size hint, the label shows exactly what it shows with room to spare: the
    // hint leaves nothing out and squeezes nothing.
    void hintHoldsTheWholeDrawing_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::newRow("one line") << QStringLiteral("Backup MWgf");  // "f" inks up to its advance
        QTest::newRow("two lines") << QStringLiteral("Sair\nBackup f");
    }

    void hintHoldsTheWholeDrawing()
    {
        QFETCH(QString, caption);
        TRxLabel label(caption);
        UseTestFont(label);
        label.SetAlignment(Qt::AlignLeft | Qt::AlignTop);
        const QSize hint = label.sizeHint();
        const QImage tight = Render(label, hint);
        const QImage roomy = Render(label, hint + QSize(40, 40));
        QCOMPARE(roomy.copy(QRect(QPoint(), hint)), tight);
        QImage outside = roomy;
        QPainter(&outside).fillRect(QRect(QPoint(), hint), Background);
        QImage blank(roomy.size(), QImage::Format_ARGB32);
        blank.fill(Background);
        QVERIFY2(outside == blank, "the label paints beyond its size hint");
    }

    void hintFollowsCaptionAndFont()
    {
        TRxLabel label(QStringLiteral("Backup"));
        const QSize before = label.sizeHint();
        label.SetCaption(QStringLiteral("Backup do banco de dados"));
        QVERIFY(label.sizeHint().width() > before.width());

        QFont big = label.Font();
        big.setPixelSize(40);
        label.SetFont(big);
        QVERIFY(label.sizeHint().height() >= 40);

        label.SetCaption(QString());
        QVERIFY(label.sizeHint().height() >= 40);  // an emptied label keeps its line
    }
};

QTEST_MAIN(ShadowLabelTest)
#include "ShadowLabelTest.moc"
