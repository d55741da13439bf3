// The install: `cmake --install` of this build into a temporary prefix, then
// the installed launcher started offscreen as a user whose data folder is new.
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QtTest>

namespace {

const QStringList kTools = {"ihcp_client.exe", "MacDiscover.exe", "winl2fwserver.exe",
                            "kaldor-sim"};

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile::remove(path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

}  // namespace

class InstallTest : public QObject {
    Q_OBJECT

    QTemporaryDir prefix_;

    QString installed(const QString& relative) const { return prefix_.filePath(relative); }
    QString installedLibexec(const QString& name) const {
        return installed("libexec/kaldor-config/" + name);
    }

    // Starts the installed launcher with the given HOME and, when not empty,
    // XDG_DATA_HOME. True when the program painted its welcome page and ended
    // as the start-up probe asks it to.
    bool launch(const QString& home, const QString& dataHome, QString* output) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("XDG_DATA_HOME");
        env.insert("HOME", home);
        if (!dataHome.isEmpty()) {
            env.insert("XDG_DATA_HOME", dataHome);
        }
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("KALDOR_EXIT_AFTER_PAINT", "1");
        QProcess launcher;
        launcher.setProcessEnvironment(env);
        launcher.setWorkingDirectory(home);
        launcher.start(installed("bin/kaldor-config"), {});
        if (!launcher.waitForFinished(60000)) {
            launcher.kill();
            launcher.waitForFinished();
        }
        const QByteArray out = launcher.readAllStandardOutput();
        *output = QString::fromUtf8(out + launcher.readAllStandardError());
        return launcher.exitStatus() == QProcess::NormalExit && launcher.exitCode() == 0 &&
               out.startsWith("painted ");
    }

    // True when the path is a link that ends at the installed file.
    static bool LinksTo(const QString& path, const QString& target) {
        const QFileInfo link(path);
        return link.isSymLink() &&
               link.canonicalFilePath() == QFileInfo(target).canonicalFilePath();
    }

private slots:
    void initTestCase() {
        QVERIFY(prefix_.isValid());
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(KALDOR_CMAKE_COMMAND,
                      {"--install", KALDOR_BINARY_DIR, "--prefix", prefix_.path()});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAll().constData());
    }

    void installedFiles_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("executable");
        QTest::newRow("launcher") << "bin/kaldor-config" << true;
        QTest::newRow("program") << "libexec/kaldor-config/kaldor-config" << true;
        for (const QString& tool : kTools) {
            QTest::newRow(qPrintable(tool)) << "libexec/kaldor-config/" + tool << true;
        }
        QTest::newRow("English") << "share/kaldor-config/languages/english.lng" << false;
        QTest::newRow("Spanish") << "share/kaldor-config/languages/spanish.lng" << false;
        QTest::newRow("choice") << "share/kaldor-config/languages/default.lang" << false;
        QTest::newRow("demo network") << "share/kaldor-config/simnet.json" << false;
        QTest::newRow("desktop entry") << "share/applications/kaldor-config.desktop" << false;
        QTest::newRow("icon") << "share/icons/hicolor/scalable/apps/kaldor-config.svg" << false;
    }
    void installedFiles() {
        QFETCH(QString, path);
        QFETCH(bool, executable);
        const QFileInfo file(installed(path));
        QVERIFY2(file.isFile(), qPrintable(path));
        QCOMPARE(file.isExecutable(), executable);
    }

    // The menu entry starts the launcher and shows the installed icon.
    void desktopEntryNamesInstalledFiles() {
        QSettings entry(installed("share/applications/kaldor-config.desktop"),
                        QSettings::IniFormat);
        entry.beginGroup("Desktop Entry");
        QCOMPARE(entry.value("Type").toString(), "Application");
        QVERIFY(QFileInfo(installed("bin/" + entry.value("Exec").toString())).isExecutable());
        QVERIFY(QFileInfo::exists(installed("share/icons/hicolor/scalable/apps/" +
                                            entry.value("Icon").toString() + ".svg")));
    }

    void launcherPreparesWorkFolder_data() {
        QTest::addColumn<bool>("dataHomeSet");
        QTest::newRow("XDG_DATA_HOME set") << true;
        QTest::newRow("HOME only") << false;
    }
    void launcherPreparesWorkFolder() {
        QFETCH(bool, dataHomeSet);
        QTemporaryDir home;
        const QString dataHome = dataHomeSet ? home.filePath("data") : QString();
        QString output;
        QVERIFY2(launch(home.path(), dataHome, &output), qPrintable(output));

        const QString folder =
            (dataHomeSet ? dataHome : home.filePath(".local/share")) + "/kaldor-config";
        const QString work = folder + "/resources";
        for (const QString& tool : kTools) {
            QVERIFY2(LinksTo(work + "/" + tool, installedLibexec(tool)), qPrintable(tool));
        }
        for (const char* catalogue : {"english.lng", "spanish.lng"}) {
            QVERIFY(
                LinksTo(work + "/languages/" + catalogue,
                        installed(QStringLiteral("share/kaldor-config/languages/") + catalogue)));
        }
        for (const char* own : {"languages/default.lang", "simnet.json"}) {
            QVERIFY2(!QFileInfo(work + "/" + own).isSymLink(), own);
            QCOMPARE(ReadAll(work + "/" + own),
                     ReadAll(installed(QStringLiteral("share/kaldor-config/") + own)));
        }
        // Work files carry node passwords: nobody else may look in.
        const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                QFileDevice::WriteOther | QFileDevice::ExeOther;
        QCOMPARE(QFile::permissions(folder) & others, QFileDevice::Permissions());
    }

    // What the user changed in the work folder survives the next start; a
    // link whose installed file is gone is renewed.
    void secondStartKeepsUserFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("userContent");  // empty: a link to a vanished file
        const QByteArray catalogue =
            ReadAll(installed("share/kaldor-config/languages/english.lng")) + "ownKey=own\r\n";
        QTest::newRow("own tool") << "ihcp_client.exe" << QByteArray("#!/bin/sh\nexit 0\n");
        QTest::newRow("changed network") << "simnet.json" << QByteArray("{\"changed\": true}\n");
        QTest::newRow("language choice")
            << "languages/default.lang" << QByteArray("spanish.lng\r\n");
        QTest::newRow("own catalogue") << "languages/english.lng" << catalogue;
        QTest::newRow("moved install") << "MacDiscover.exe" << QByteArray();
    }
    void secondStartKeepsUserFiles() {
        QFETCH(QString, file);
        QFETCH(QByteArray, userContent);
        QTemporaryDir home;
        const QString path = home.filePath("data/kaldor-config/resources/") + file;
        QString output;
        QVERIFY2(launch(home.path(), home.filePath("data"), &output), qPrintable(output));
        if (userContent.isEmpty()) {
            QVERIFY(QFile::remove(path));
            QVERIFY(QFile::link(home.filePath("gone/") + file, path));
        } else {
            WriteAll(path, userContent);
        }
        QVERIFY2(launch(home.path(), home.filePath("data"), &output), qPrintable(output));
        if (userContent.isEmpty()) {
            QVERIFY(LinksTo(path, installedLibexec(file)));
        } else {
            QVERIFY(!QFileInfo(path).isSymLink());
            QCOMPARE(ReadAll(path), userContent);
        }
    }
};

QTEST_MAIN(InstallTest)
#include "test_install.moc"
