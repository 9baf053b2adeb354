#include "app/components/Pictures.h"

#include <QApplication>
#include <QImage>
#include <QTest>

namespace {

// Counts fully transparent and clearly opaque pixels: a picture needs both to be a picture
// on a transparent background rather than an empty or a filled square.
QPair<int, int> Coverage(const QImage& image)
{
    int clear = 0;
    int solid = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(image.pixel(x, y));
            clear += alpha == 0;
            solid += alpha > 200;
        }
    }
    return {clear, solid};
}

}  // namespace

class PicturesTest : public QObject {
    Q_OBJECT

private slots:
    void picturesAreDrawnAndDistinct_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("16") << 16;
        QTest::newRow("32") << 32;
    }

    void picturesAreDrawnAndDistinct()
    {
        QFETCH(int, size);
        const QList<QImage> images{
            ApplicationIcon().pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32),
            BackupButtonPicture(size).toImage().convertToFormat(QImage::Format_ARGB32),
            ExitButtonPicture(size).toImage().convertToFormat(QImage::Format_ARGB32),
            FolderButtonPicture(size).toImage().convertToFormat(QImage::Format_ARGB32),
        };
        for (int i = 0; i < images.size(); ++i) {
            QCOMPARE(images[i].size(), QSize(size, size));
            const auto [clear, solid] = Coverage(images[i]);
            QVERIFY2(clear > 0 && solid > size * size / 8, qPrintable(QString::number(i)));
            for (int j = 0; j < i; ++j) {
                QVERIFY(images[i] != images[j]);
            }
        }
    }

    void iconServesTheUsualSizes()
    {
        const QList<QSize> sizes = ApplicationIcon().availableSizes();
        for (int size : {16, 32, 48, 256}) {
            QVERIFY(sizes.contains(QSize(size, size)));
        }
    }
};

QTEST_MAIN(PicturesTest)
#include "PicturesTest.moc"
