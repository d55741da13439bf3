// The catalogue lookup, and the catalogues shipped with the program.
#include <QDirIterator>
#include <QRegularExpression>
#include <QtTest>

#include "app/TextFiles.h"
#include "lang/Catalogue.h"
#include "support/DataRows.h"
#include "support/Fixture.h"

class CatalogueTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;

    void useCatalogue(const QByteArray& bytes, const QByteArray& choice = "test.lng\r\nx.lng\r\n") {
        f->writeWorkFile("languages/test.lng", bytes);
        f->writeWorkFile("languages/default.lang", choice);
    }

private slots:
    void init() {
        f = std::make_unique<Fixture>();
        QVERIFY(f->start());
        Session().errLoadLang = "Catalogue";
    }
    void cleanup() { f.reset(); }

    // The text of "key"; "-" when the lookup fails and ends the program.
    // After a lookup, an edit of the catalogue takes effect at once.
    void lookup_data() {
        QTest::addColumn<QByteArray>("catalogue");
        QTest::addColumn<QByteArray>("choice");  // first line names the catalogue; "-": no file
        Columns({"expected"});
        const QByteArray test = "test.lng\r\n";
        QByteArray big;
        for (int i = 0; i < 10000; ++i) {
            big += "filler" + QByteArray::number(i) + "=some text of a line\r\n";
        }
        Row("value holds =", QByteArray("key=x=y\r\n"), test, "x=y");
        Row("empty value", QByteArray("key=\r\n"), test, "");
        Row("first wins", QByteArray("key=one\r\nkey=two\r\n"), test, "one");
        Row("skips other lines", QByteArray("\r\nkey\r\njunk\r\nkey=v\r\n"), test, "v");
        Row("bare LF", QByteArray("a=1\nkey=lf\n"), test, "lf");
        Row("no final line end", QByteArray("a=1\r\nkey=last"), test, "last");
        Row("blanks kept", QByteArray("key= spaced \r\n"), test, " spaced ");
        Row("UTF-8", QByteArray("key=Configuraci\xc3\xb3n\r\n"), test, "Configuración");
        Row("Windows-1252", QByteArray("key=Configuraci\xf3n \x80\r\n"), test, "Configuración €");
        Row("byte order mark", QByteArray("\xef\xbb\xbfkey=first\r\n"), test, "first");
        Row("10 000 lines", big + "key=at the end\r\n", test, "at the end");
        Row("key absent", QByteArray("other=1\r\n"), test, "-");
        Row("letter case", QByteArray("Key=1\r\n"), test, "-");
        Row("blank before =", QByteArray("key =1\r\n"), test, "-");
        Row("choice empty", QByteArray("key=1\r\n"), QByteArray(), "-");
        Row("choice names nothing", QByteArray("key=1\r\n"), QByteArray("none.lng\r\n"), "-");
        Row("choice not trimmed", QByteArray("key=1\r\n"), QByteArray("test.lng \r\n"), "-");
        Row("no choice file", QByteArray("key=1\r\n"), QByteArray("-"), "-");
    }
    void lookup() {
        useCatalogue(Cell<QByteArray>("catalogue"), Cell<QByteArray>("choice"));
        if (Cell<QByteArray>("choice") == "-") {
            QVERIFY(QFile::remove(f->workFile("languages/default.lang")));
        }
        const bool found = Cell("expected") != "-";
        QCOMPARE(GetText("key"), found ? Cell("expected") : QString());
        QCOMPARE(f->exitCode.value_or(0), found ? 0 : 1);
        QCOMPARE(f->dialogs.boxes.size(), found ? 0 : 1);
        for (const DialogRecorder::Box& box : f->dialogs.boxes) {
            QCOMPARE(box.text, "Catalogue: 'key' not found");
            QCOMPARE(box.title, "Error");
            QCOMPARE(box.icon, MsgIcon::Exclamation);
        }
        if (found) {
            useCatalogue("key=edited\r\n");
            QCOMPARE(GetText("key"), "edited");
        }
    }

    // The program's own messages fall back to English in an older catalogue.
    void fallbackForOwnTexts() {
        useCatalogue("errToolStart=Cannot start %1\r\n");
        QCOMPARE(ToolStartFailedText("x.exe"), "Cannot start x.exe");
        QVERIFY(WriteFailedText("get.cfg").contains("get.cfg could not be written"));
        QVERIFY(LineBreakText().contains("line break"));
        QVERIFY(f->dialogs.boxes.isEmpty() && !f->exitCode);
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
        const auto keysOf = [](const QString& catalogue) {
            QSet<QString> present;
            const QString path = KALDOR_SOURCE_DIR "/resources/languages/" + catalogue;
            for (const QString& line : ReadLines(path).value_or(QStringList())) {
                present.insert(line.section('=', 0, 0));
            }
            return present;
        };
        const QSet<QString> english = keysOf("english.lng");
        QVERIFY2((keys - english).isEmpty(), qPrintable((keys - english).values().join(' ')));
        QCOMPARE(keysOf("spanish.lng"), english);
    }
};

QTEST_MAIN(CatalogueTest)
#include "test_catalogue.moc"
