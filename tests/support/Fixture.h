#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <optional>

#include "DialogRecorder.h"
#include "app/Application.h"
#include "lang/ApplyLanguage.h"
#include "lang/Controls.h"

// A start folder laid out as an install (tools, catalogues, demo network)
// below a temporary folder whose name holds a blank, the program started in
// it with recorded dialogs and instant waits, and helpers to drive windows.
class Fixture {
public:
    Fixture();
    ~Fixture();
    Fixture(const Fixture&) = delete;
    Fixture& operator=(const Fixture&) = delete;

    // Runs the real start-up; false when the program did not start.
    bool start();

    QString startDir() const;
    QString workDir() const;
    QString workFile(const QString& name) const;
    QByteArray readWorkFile(const QString& name) const;
    void writeWorkFile(const QString& name, const QByteArray& bytes) const;

    // Sets one catalogue entry (adds it when absent), or removes it.
    void setCatalogue(const QString& key, const QString& value) const;
    void removeCatalogue(const QString& key) const;

    // Shows a window, or a page in the assistant window in place of the page
    // it shows.
    static void show(QWidget* windowOrPage);

    // Presses an enabled button of a window by its name.
    void click(QWidget* window, const char* name) const;

    // Clicks the node page's connected-node box or a list entry as a user
    // would, holding Ctrl or not; rowOf finds a node's entry by its MAC.
    void clickNodeBox(bool ctrl = false) const;
    void clickNodeEntry(int row, bool ctrl = false) const;
    int rowOf(const QString& mac) const;
    // The node page's list, one node line per entry.
    QStringList nodeLines() const;

    // Runs the simulator's command line in the work folder.
    QString sim(const QStringList& arguments) const;

    DialogRecorder dialogs;
    std::optional<int> exitCode;  // set when the program asked to end
    static qint64 waited;         // sum of the fixed waits asked for, in ms
    // The program's fixed wait in tests: taken at once, added to `waited`,
    // and passed on the simulated network's clock.
    static void pass(int milliseconds);
    // The fixture made last and still alive, for helpers that read its files.
    static const Fixture* latest;

private:
    QTemporaryDir temp_;
    QString previousDir_;
};

// The program's windows and pages, found by their names.
struct Windows : CaptionedWindows {
    QWidget* assistant = nullptr;  // the window that holds the wizard's pages
};
Windows W();
// Every window and page, in the order of the program's start.
QList<QWidget*> AllWindows(const Windows& w);

// The wizard page on screen: the assistant window's current page while the
// window is shown, else nothing.
QWidget* ShownPage();
