// The install: `cmake --install` of this build into a temporary prefix, then
// the installed launcher started offscreen as a user whose data folder is new.
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QtTest>

#include "support/DataRows.h"
#include "support/FileModes.h"

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// True when the path is a link that ends at the target file.
bool LinksTo(const QString& path, const QString& target) {
    const QFileInfo link(path);
    return link.isSymLink() && QFileInfo(target).isFile() &&
           link.canonicalFilePath() == QFileInfo(target).canonicalFilePath();
}

}  // namespace

class InstallTest : public QObject {
    Q_OBJECT

    QTemporaryDir prefix_;

    QString installed(const QString& relative) const { return prefix_.filePath(relative); }

    // Starts the installed launcher with HOME and, when given, XDG_DATA_HOME.
    // True when the program painted its welcome page and ended as asked.
    bool launch(const QString& home, const QString& dataHome) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home);
        dataHome.isEmpty() ? env.remove("XDG_DATA_HOME") : env.insert("XDG_DATA_HOME", dataHome);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("KALDOR_EXIT_AFTER_PAINT", "1");
        QProcess launcher;
        launcher.setProcessEnvironment(env);
        launcher.setWorkingDirectory(home);
        launcher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        launcher.start(installed("bin/kaldor-config"), {});
        return launcher.waitForFinished(60000) && launcher.exitStatus() == QProcess::NormalExit &&
               launcher.exitCode() == 0 && launcher.readAllStandardOutput().startsWith("painted ");
    }

private slots:
    // The install, and its menu entry that starts the launcher with the
    // installed icon.
    void initTestCase() {
        QVERIFY(prefix_.isValid());
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(KALDOR_CMAKE_COMMAND,
                      {"--install", KALDOR_BINARY_DIR, "--prefix", prefix_.path()});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAll().constData());
        QSettings entry(installed("share/applications/kaldor-config.desktop"),
                        QSettings::IniFormat);
        entry.beginGroup("Desktop Entry");
        QCOMPARE(entry.value("Type").toString(), "Application");
        QVERIFY(QFileInfo(installed("bin/" + entry.value("Exec").toString())).isExecutable());
        QVERIFY(QFileInfo::exists(installed("share/icons/hicolor/scalable/apps/" +
                                            entry.value("Icon").toString() + ".svg")));
        QVERIFY(
            QFileInfo::exists(installed("share/metainfo/org.example.kaldor_config.metainfo.xml")));
        // The command line beside the launcher, with its manual page.
        QProcess cli;
        cli.start(installed("bin/kaldor-cli"), {"--help"});
        QVERIFY(cli.waitForFinished(30000) && cli.exitCode() == 0);
        QVERIFY(cli.readAllStandardOutput().contains("factory-reset MAC"));
        QVERIFY(QFileInfo(installed("share/man/man1/kaldor-cli.1.gz")).size() > 1000);
    }

    // The first start prepares the user's work folder, private to the user:
    // links to the installed tools and catalogues, own copies of the language
    // choice and the network. What the user changes there survives the next
    // start; a link whose installed file is gone is renewed.
    void launcherPreparesWorkFolder_data() {
        // userContent empty: a link to a vanished file.
        Cols<QString, QByteArray, bool>({"file", "userContent", "dataHomeSet"});
        Row("own tool", "ihcp_client.exe", QByteArray("#!/bin/sh\nexit 0\n"), true);
        Row("language choice", "languages/default.lang", QByteArray("spanish.lng\r\n"), false);
        Row("moved install", "MacDiscover.exe", QByteArray(), false);
    }
    void launcherPreparesWorkFolder() {
        QTemporaryDir home;
        const QString dataHome = Cell<bool>("dataHomeSet") ? home.filePath("data") : QString();
        const QString folder =
            (dataHome.isEmpty() ? home.filePath(".local/share") : dataHome) + "/kaldor-config";
        const QString work = folder + "/resources/";
        QVERIFY(launch(home.path(), dataHome));
        QVERIFY(OwnerOnly(folder));
        for (const QString tool :
             {"ihcp_client.exe", "MacDiscover.exe", "winl2fwserver.exe", "kaldor-sim"}) {
            QVERIFY2(LinksTo(work + tool, installed("libexec/kaldor-config/" + tool)),
                     qPrintable(tool));
        }
        for (const QString file : {"languages/english.lng", "languages/spanish.lng",
                                   "languages/default.lang", "simnet.json"}) {
            const QString source = installed("share/kaldor-config/" + file);
            QCOMPARE(LinksTo(work + file, source), file.endsWith(".lng"));
            QCOMPARE(ReadAll(work + file), ReadAll(source));
        }
        // The guide through a link to the installed one, every picture it
        // shows installed beside it.
        QVERIFY(QFileInfo(work + "guide").isSymLink());
        for (const QString language : {"en", "es"}) {
            const QFileInfo page(work + "guide/" + language + "/index.html");
            const QString source =
                installed("share/kaldor-config/guide/" + language + "/index.html");
            QVERIFY(QFileInfo(source).isFile());
            QCOMPARE(page.canonicalFilePath(), QFileInfo(source).canonicalFilePath());
            static const QRegularExpression picture("<img src=\"([^\"]+)\"");
            for (const auto& m : picture.globalMatch(QString::fromUtf8(ReadAll(source)))) {
                QVERIFY2(QFileInfo(page.canonicalPath() + '/' + m.captured(1)).isFile(),
                         qPrintable(m.captured(1)));
            }
        }
        const QString path = work + Cell("file");
        const QByteArray content = Cell<QByteArray>("userContent");
        QVERIFY(QFile::remove(path));
        QFile file(path);
        QVERIFY(content.isEmpty() ? QFile::link(home.filePath("gone/") + Cell("file"), path)
                                  : file.open(QIODevice::WriteOnly) && file.write(content) > 0);
        file.close();
        QVERIFY(launch(home.path(), dataHome));
        const QString tool = installed("libexec/kaldor-config/" + Cell("file"));
        QCOMPARE(ReadAll(path), content.isEmpty() ? ReadAll(tool) : content);
        QCOMPARE(LinksTo(path, tool), content.isEmpty());
    }
};

QTEST_MAIN(InstallTest)
#include "test_install.moc"
