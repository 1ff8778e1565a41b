// The compiled-in image bundle: every image the program names is there, in the right shape.
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QResource>
#include <QtTest>

namespace
{

// Mean difference of the premultiplied channels, 0 to 255: how far one picture is from another.
double meanDifference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    qint64 sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int column = 0; column < x.width(); ++column) {
            const QRgb p = x.pixel(column, row), q = y.pixel(column, row);
            sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) +
                   qAbs(qBlue(p) - qBlue(q)) + qAbs(qAlpha(p) - qAlpha(q));
        }
    return double(sum) / (4.0 * x.width() * x.height());
}

} // namespace

class ResourcesTest : public QObject
{
    Q_OBJECT

private slots:
    void images_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<bool>("compressed");
        QTest::addColumn<qint64>("bytes");
        QTest::newRow("close") << ":/deskMemo/Image/close.ico" << QSize(64, 64) << QByteArray("ico")
                               << true << qint64(16958);
        QTest::newRow("locked") << ":/deskMemo/Image/locked.ico" << QSize(40, 64)
                                << QByteArray("ico") << true << qint64(10814);
        QTest::newRow("unlocked") << ":/deskMemo/Image/unlocked.ico" << QSize(40, 64)
                                  << QByteArray("ico") << true << qint64(10814);
        QTest::newRow("top") << ":/deskMemo/Image/top.ico" << QSize(24, 24) << QByteArray("ico")
                             << true << qint64(2462);
        QTest::newRow("cancelTop") << ":/deskMemo/Image/cancelTop.ico" << QSize(20, 24)
                                   << QByteArray("ico") << true << qint64(2078);
        QTest::newRow("Color") << ":/deskMemo/Image/Color.png" << QSize(32, 32) << QByteArray("png")
                               << false << qint64(-1);
        QTest::newRow("font") << ":/deskMemo/Image/font.png" << QSize(80, 80) << QByteArray("png")
                              << false << qint64(-1);
        QTest::newRow("kuang") << ":/deskMemo/Image/kuang.png" << QSize(578, 348)
                               << QByteArray("png") << false << qint64(-1);
        QTest::newRow("dataup") << ":/deskMemo/Image/dataup.png" << QSize(121, 39)
                                << QByteArray("png") << false << qint64(-1);
        QTest::newRow("cancel") << ":/deskMemo/Image/cancel.png" << QSize(121, 39)
                                << QByteArray("png") << false << qint64(-1);
        QTest::newRow("angel") << ":/deskMemo/Image/angel.png" << QSize(128, 128)
                               << QByteArray("png") << false << qint64(-1);
    }
    void images()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QFETCH(QByteArray, format);
        QFETCH(bool, compressed);
        QFETCH(qint64, bytes);
        QImageReader reader(path);
        QCOMPARE(reader.format(), format);
        QCOMPARE(reader.imageCount(), 1);
        const QImage image = reader.read();
        QCOMPARE(image.size(), size);
        QVERIFY(image.hasAlphaChannel());
        QVERIFY(image.pixelColor(0, 0).alpha() < 16); // no image has a square opaque corner
        QCOMPARE(QIcon(path).isNull(), false);

        const QResource resource(path);
        QCOMPARE(resource.compressionAlgorithm() == QResource::ZlibCompression, compressed);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        if (bytes >= 0)
            QCOMPARE(content.size(), bytes);
        if (format == "ico") // one uncompressed 32-bit bitmap, no PNG inside
            QCOMPARE(content.mid(22 + 14, 2), QByteArray("\x20\x00", 2));
        else // 8-bit RGBA
            QCOMPARE(content.mid(24, 2), QByteArray("\x08\x06", 2));

        // Its twin for scaled screens, where Qt looks for it: the same picture at twice the size.
        QString twinPath = path;
        twinPath.insert(path.lastIndexOf('.'), "@2x");
        QImageReader twinReader(twinPath);
        QCOMPARE(twinReader.format(), format);
        const QImage twin = twinReader.read();
        QCOMPARE(twin.size(), size * 2);
        const QImage twinAt1x = twin.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QVERIFY(meanDifference(twinAt1x, image) < 8);
    }

    void misspeltPathsGiveEmptyImages()
    {
        QVERIFY(QIcon(":/deskMemo/Image/color.png").pixmap(32).isNull());
        QVERIFY(QPixmap(":/deskMemo/Image/Kuang.png").isNull());
    }

    // The 1x bundle is listed as it always was; the @2x twins follow it.
    void collectionFileIsInTheBundle()
    {
        QFile bundled(":/deskMemo/deskMemo.qrc");
        QVERIFY(bundled.open(QIODevice::ReadOnly));
        const QByteArray text = bundled.readAll();
        const QByteArray twins = "    <file>Image/cancelTop@2x.ico</file>\n";
        QVERIFY(text.contains(twins));
        QByteArray without = text.left(text.indexOf(twins)) + "  </qresource>\n</RCC>\n";
        QCOMPARE(without.size(), 461);
        QCOMPARE(text.count("@2x"), 11);
        QVERIFY(text.startsWith("<RCC>\n  <qresource prefix=\"/deskMemo\">\n    <file>Image/"));
        QVERIFY(!text.contains('\r'));
    }
};

QTEST_MAIN(ResourcesTest)
#include "tst_resources.moc"
