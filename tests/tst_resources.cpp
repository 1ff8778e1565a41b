// The compiled-in bundle: every image the program names is there, in the right shape; every
// translation too.
#include "testSupport.h"

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QResource>
#include <QtTest>

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

        // Its twin for scaled screens, where Qt looks for it, at twice the size.
        QImageReader twin(QString(path).insert(path.lastIndexOf('.'), "@2x"));
        QCOMPARE(twin.format(), format);
        QCOMPARE(twin.read().size(), size * 2);
    }

    void misspeltPathsGiveEmptyImages()
    {
        QVERIFY(QIcon(":/deskMemo/Image/color.png").pixmap(32).isNull());
        QVERIFY(QPixmap(":/deskMemo/Image/Kuang.png").isNull());
    }

    void collectionFileIsInTheBundle()
    {
        QFile bundled(":/deskMemo/deskMemo.qrc");
        QVERIFY(bundled.open(QIODevice::ReadOnly));
        const QByteArray text = bundled.readAll();
        // The 1x list as it always was, then the eleven @2x twins.
        const int twins = text.indexOf("    <file>Image/cancelTop@2x.ico");
        QCOMPARE(twins + QByteArray("  </qresource>\n</RCC>\n").size(), 461);
        QCOMPARE(text.count("@2x"), 11);
        QVERIFY(text.startsWith("<RCC>\n  <qresource prefix=\"/deskMemo\">\n    <file>Image/"));
        QVERIFY(!text.contains('\r'));
    }

    // Every translation is bundled, finished, and up to date: lupdate finds nothing to change.
    void translations_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString &name :
             QDir(DESKMEMO_SOURCE_DIR "/resources/translations").entryList({"deskMemo_*.ts"}))
            QTest::newRow(qPrintable(name)) << name;
    }
    void translations()
    {
        QFETCH(QString, name);
        QTranslator bundled;
        QVERIFY(bundled.load(":/i18n/" + name.chopped(3)) && !bundled.isEmpty());
        const QByteArray text = readFile(DESKMEMO_SOURCE_DIR "/resources/translations/" + name);
        QVERIFY(!text.contains("type=\"unfinished\"") && !text.contains("type=\"obsolete\"") &&
                !text.contains("type=\"vanished\""));
        QTemporaryDir refreshed;
        QCOMPARE(
            QProcess::execute(DESKMEMO_CMAKE,
                              {"-DLUPDATE=" DESKMEMO_LUPDATE, "-DSOURCE_DIR=" DESKMEMO_SOURCE_DIR,
                               "-DOUTPUT_DIR=" + refreshed.path(), "-P",
                               DESKMEMO_SOURCE_DIR "/cmake/updateTranslations.cmake"}),
            0);
        QVERIFY2(readFile(refreshed.filePath(name)) == text,
                 "out of date: cmake --build build --target update_translations, then translate");
    }
};

QTEST_MAIN(ResourcesTest)
#include "tst_resources.moc"
