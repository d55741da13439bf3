// The catalogue lookup, and the catalogues shipped with the program.
#include <QDirIterator>
#include <QRegularExpression>
#include <QtTest>

#include "app/TextFiles.h"
#include "lang/Catalogue.h"
#include "support/Fixture.h"

class CatalogueTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;

    void useCatalogue(const QByteArray& bytes) {
        f->writeWorkFile("languages/test.lng", bytes);
        f->writeWorkFile("languages/default.lang", "test.lng\r\nignored.lng\r\n");
    }

private slots:
    void init() {
        f = std::make_unique<Fixture>();
        QVERIFY(f->start());
        Session().errLoadLang = "Catalogue";
    }
    void cleanup() { f.reset(); }

    void lookup_data() {
        QTest::addColumn<QByteArray>("catalogue");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << QByteArray("a=1\r\nkey=value\r\n") << "key"
                               << "value";
        QTest::newRow("value holds =") << QByteArray("key=x=y\r\n") << "key"
                                       << "x=y";
        QTest::newRow("empty value") << QByteArray("key=\r\n") << "key"
                                     << "";
        QTest::newRow("first wins") << QByteArray("key=one\r\nkey=two\r\n") << "key"
                                    << "one";
        QTest::newRow("skips lines") << QByteArray("\r\nkey\r\njunk line\r\nkey=v\r\n") << "key"
                                     << "v";
        QTest::newRow("bare LF") << QByteArray("a=1\nkey=lf\n") << "key"
                                 << "lf";
        QTest::newRow("no final line end") << QByteArray("a=1\r\nkey=last") << "key"
                                           << "last";
        QTest::newRow("blank value kept") << QByteArray("key= spaced \r\n") << "key"
                                          << " spaced ";
        QTest::newRow("UTF-8") << QByteArray("key=Configuraci\xc3\xb3n\r\n") << "key"
                               << QString::fromUtf8("Configuración");
        QTest::newRow("Windows-1252") << QByteArray("key=Configuraci\xf3n \x80\r\n") << "key"
                                      << QString::fromUtf8("Configuración €");
        QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbfkey=first\r\n") << "key"
                                         << "first";
    }
    void lookup() {
        QFETCH(QByteArray, catalogue);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        useCatalogue(catalogue);
        QCOMPARE(GetText(key), expected);
        QVERIFY2(f->dialogs.boxes.isEmpty(), qPrintable(f->dialogs.describe()));
        QVERIFY(!f->exitCode);
    }

    void failedLookup_data() {
        QTest::addColumn<QByteArray>("catalogue");
        QTest::addColumn<QByteArray>("choice");
        QTest::newRow("key absent") << QByteArray("other=1\r\n") << QByteArray("test.lng\r\n");
        QTest::newRow("letter case") << QByteArray("Key=1\r\n") << QByteArray("test.lng\r\n");
        QTest::newRow("blank before =") << QByteArray("key =1\r\n") << QByteArray("test.lng\r\n");
        QTest::newRow("key without =") << QByteArray("key\r\n") << QByteArray("test.lng\r\n");
        QTest::newRow("choice empty") << QByteArray("key=1\r\n") << QByteArray();
        QTest::newRow("choice names nothing")
            << QByteArray("key=1\r\n") << QByteArray("none.lng\r\n");
        QTest::newRow("choice not trimmed")
            << QByteArray("key=1\r\n") << QByteArray("test.lng \r\n");
    }
    void failedLookup() {
        QFETCH(QByteArray, catalogue);
        QFETCH(QByteArray, choice);
        f->writeWorkFile("languages/test.lng", catalogue);
        f->writeWorkFile("languages/default.lang", choice);
        QCOMPARE(GetText("key"), QString());
        QCOMPARE(f->dialogs.boxes.size(), 1);
        QCOMPARE(f->dialogs.boxes[0].text, "Catalogue: 'key' not found");
        QCOMPARE(f->dialogs.boxes[0].title, "Error");
        QCOMPARE(f->dialogs.boxes[0].icon, MsgIcon::Exclamation);
        QCOMPARE(f->exitCode, 1);
    }

    void missingChoiceFile() {
        QFile::remove(f->workFile("languages/default.lang"));
        GetText("cmdOk");
        QCOMPARE(f->exitCode, 1);
        QCOMPARE(f->dialogs.boxes.size(), 1);
    }

    void editTakesEffectAtNextLookup() {
        useCatalogue("key=before\r\n");
        QCOMPARE(GetText("key"), "before");
        useCatalogue("key=after\r\n");
        QCOMPARE(GetText("key"), "after");
    }

    void largeCatalogue() {
        QByteArray big;
        for (int i = 0; i < 10000; ++i) {
            big += "filler" + QByteArray::number(i) + "=some text of a line\r\n";
        }
        useCatalogue(big + "key=at the end\r\n");
        QCOMPARE(GetText("key"), "at the end");
        QCOMPARE(GetText("filler9999"), "some text of a line");
    }

    void fallbackForOwnTexts() {
        useCatalogue("errToolStart=Cannot start %1\r\n");
        QCOMPARE(ToolStartFailedText("x.exe"), "Cannot start x.exe");
        QVERIFY(WriteFailedText("get.cfg").contains("get.cfg"));
        QVERIFY(!LineBreakText().isEmpty());
        QVERIFY(f->dialogs.boxes.isEmpty());
        QVERIFY(!f->exitCode);
    }

    // Every key the program looks up is in both shipped catalogues, and the
    // two catalogues hold the same keys.
    void shippedCataloguesHoldEveryKey() {
        const QRegularExpression patterns[] = {
            QRegularExpression("(?:GetText|GetTextOr|SwitchOn)\\(QStringLiteral\\(\"([^\"]+)\"\\)"),
            QRegularExpression("\\{\"[A-Za-z_0-9]*\",\\s*\"([A-Za-z][A-Za-z0-9]*)\"\\}"),
            QRegularExpression("\\{\"(tab[A-Za-z]+)\","),
            QRegularExpression("\\{\"(\\w+)\", \"\\1\", \""),
        };
        QSet<QString> keys;
        QDirIterator it(KALDOR_SOURCE_DIR "/src", {"*.cpp"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString code = QString::fromUtf8(file.readAll());
            for (const QRegularExpression& re : patterns) {
                for (const QRegularExpressionMatch& m : re.globalMatch(code)) {
                    keys.insert(m.captured(1).replace("%1", "1"));
                }
            }
        }
        QVERIFY(keys.size() > 150);
        QSet<QString> previous;
        for (const char* name : {"english.lng", "spanish.lng"}) {
            QSet<QString> present;
            const QString path = KALDOR_SOURCE_DIR "/resources/languages/" + QString(name);
            for (const QString& line : ReadLines(path).value_or(QStringList())) {
                present.insert(line.section('=', 0, 0));
            }
            QStringList missing;
            for (const QString& key : keys) {
                if (!present.contains(key)) {
                    missing << key;
                }
            }
            QVERIFY2(missing.isEmpty(), qPrintable(QString(name) + ": " + missing.join(' ')));
            if (!previous.isEmpty()) {
                QCOMPARE(present, previous);
            }
            previous = present;
        }
    }
};

QTEST_MAIN(CatalogueTest)
#include "test_catalogue.moc"
