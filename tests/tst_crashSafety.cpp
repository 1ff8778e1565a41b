// Kills a program at random moments while it saves; each file must then hold one whole state.
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <signal.h>

namespace
{

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void seed(const QString &folder)
{
    QFile ini(folder + "/setInfo.ini"); // another group, which every save must keep
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[other]\nkeep=1\n");
}

} // namespace

class CrashSafetyTest : public QObject
{
    Q_OBJECT

    QString driver = QCoreApplication::applicationDirPath() + "/saveLoop";

    bool run(const QString &folder, const QString &state)
    {
        return QProcess::execute(driver, {folder, "write", state}) == 0;
    }

private slots:
    void killedMidSaveLeavesOldOrNew()
    {
        const int kills = qEnvironmentVariableIntValue("DESKMEMO_KILLS") > 0
                              ? qEnvironmentVariableIntValue("DESKMEMO_KILLS")
                              : 500;
        QTemporaryDir refA, refB, work;
        for (const QTemporaryDir *dir : {&refA, &refB, &work})
            seed(dir->path());
        QVERIFY(run(refA.path(), "a"));
        QVERIFY(run(refB.path(), "b"));
        QVERIFY(run(work.path(), "a"));
        const QStringList names{"myText", "setInfo.ini"};
        QHash<QString, QByteArrayList> whole;
        for (const QString &name : names) {
            whole[name] = {readAll(refA.filePath(name)), readAll(refB.filePath(name))};
            QVERIFY(whole[name][0] != whole[name][1]);
            QVERIFY(whole[name][0].size() > 100 && whole[name][1].size() > 100);
        }
        QVERIFY(whole["setInfo.ini"][0].contains("[other]\nkeep=1"));

        QHash<QString, QByteArray> last{{"myText", whole["myText"][0]},
                                        {"setInfo.ini", whole["setInfo.ini"][0]}};
        int changes = 0, leftovers = 0;
        QElapsedTimer clock;
        clock.start();
        for (int kill = 1; kill <= kills; ++kill) {
            QProcess process;
            process.start(driver, {work.path(), "loop"});
            QVERIFY2(process.waitForReadyRead(10000), "the driver never got to save");
            QThread::usleep(QRandomGenerator::global()->bounded(20000));
            ::kill(pid_t(process.processId()), SIGKILL);
            QVERIFY(process.waitForFinished(10000));
            QCOMPARE(process.exitStatus(), QProcess::CrashExit);

            for (const QString &name : names) {
                const QByteArray now = readAll(work.filePath(name));
                QVERIFY2(whole[name].contains(now),
                         qPrintable(QString("kill %1: %2 holds %3 bytes of neither state")
                                        .arg(kill)
                                        .arg(name)
                                        .arg(now.size())));
                changes += now != last[name];
                last[name] = now;
            }
            // An interrupted save may leave its temporary file behind; the note files don't care.
            const QStringList extra = QDir(work.path()).entryList(QDir::Files | QDir::Hidden);
            for (const QString &file : extra) {
                if (names.contains(file))
                    continue;
                ++leftovers;
                QFile::remove(work.filePath(file));
            }
        }
        qInfo("%d kills in %.1f s; the files changed %d times between kills; %d temporary files "
              "left behind by interrupted saves",
              kills, clock.elapsed() / 1000.0, changes, leftovers);
        QVERIFY(changes > kills / 10); // the kills did land among the saves
    }
};

QTEST_GUILESS_MAIN(CrashSafetyTest)
#include "tst_crashSafety.moc"
