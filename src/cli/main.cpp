// kaldor-cli: the assistant's node operations from a shell, in the same work
// folder and through the same tools.
#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QStandardPaths>

#include "Cli.h"
#include "Terminal.h"
#include "app/Application.h"
#include "app/PlatformSignals.h"
#include "channel/ToolRun.h"
#include "lang/Messages.h"
#include "node/WorkFiles.h"

namespace {

// Options that take a value, and the flags.
bool TakeValue(const QString& name, const QString& value, Options& o) {
    bool ok = true;
    if (name == QLatin1String("--work")) {
        o.work = value;
    } else if (name == QLatin1String("--interface")) {
        const int n = value.toInt(&ok);
        ok = ok && n >= 0 && n <= 32767;
        o.interfaceNumber = n;
    } else if (name == QLatin1String("--password")) {
        o.password = value;
    } else if (name == QLatin1String("--factory-password")) {
        o.factoryPassword = value;
    } else {
        ok = false;
    }
    return ok;
}

bool TakeFlag(const QString& name, Options& o) {
    bool* flags[] = {&o.json, &o.yes, &o.dryRun, &o.showSecrets, &o.help, &o.help};
    const QStringList names{QStringLiteral("--json"),    QStringLiteral("--yes"),
                            QStringLiteral("--dry-run"), QStringLiteral("--show-secrets"),
                            QStringLiteral("--help"),    QStringLiteral("-h")};
    const qsizetype i = names.indexOf(name);
    if (i < 0) {
        return false;
    }
    *flags[i] = true;
    return true;
}

// Options go anywhere on the line; "--" ends them.
std::optional<QString> Parse(const QStringList& arguments, Options& o) {
    bool options = true;
    QStringList positional;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (!options || !a.startsWith(QLatin1Char('-')) || a == QLatin1String("-")) {
            positional << a;
        } else if (a == QLatin1String("--")) {
            options = false;
        } else if (TakeFlag(a, o)) {
            continue;
        } else {
            const qsizetype eq = a.indexOf(QLatin1Char('='));
            const QString name = eq < 0 ? a : a.left(eq);
            const QStringList valued{QStringLiteral("--work"), QStringLiteral("--interface"),
                                     QStringLiteral("--password"),
                                     QStringLiteral("--factory-password")};
            if (!valued.contains(name)) {
                return QStringLiteral("unknown option %1").arg(name);
            }
            if (eq < 0 && i + 1 >= arguments.size()) {
                return QStringLiteral("option %1 needs a value").arg(a);
            }
            const QString value = eq < 0 ? arguments[++i] : a.mid(eq + 1);
            if (!TakeValue(name, value, o)) {
                return QStringLiteral("bad value for %1").arg(name);
            }
        }
    }
    o.command = positional.value(0);
    o.args = positional.mid(1);
    return std::nullopt;
}

// The work folder: --work, else "resources" below the current folder as for
// the assistant, else the per-user folder that the assistant's launcher
// prepares.
std::optional<QString> WorkFolder(const Options& o) {
    if (!o.work.isEmpty()) {
        return QDir(o.work).exists() ? std::optional(QDir(o.work).absolutePath()) : std::nullopt;
    }
    const QString local = QDir(o.startDir).filePath(QStringLiteral("resources"));
    if (QDir(local).exists()) {
        return local;
    }
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/kaldor-config/resources");
    return QDir(user).exists() ? std::optional(user) : std::nullopt;
}

int Finish(const Options& o, const Result& r) {
    ClearProgress();
    if (!r.error.isEmpty()) {
        Err(QStringLiteral("kaldor-cli: ") + r.error);
    }
    if (o.json) {
        QJsonObject json = r.json;
        if (r.code != kExitOk && !r.error.isEmpty()) {
            json.insert(QStringLiteral("error"), r.error);
        }
        json.insert(QStringLiteral("exitCode"), r.code);
        Print(QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Indented)).trimmed());
    }
    return r.code;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    Options o;
    o.startDir = QDir::currentPath();
    // A document is wanted even when the command line itself is wrong.
    o.json = QCoreApplication::arguments().contains(QStringLiteral("--json"));
    if (const std::optional<QString> error = Parse(QCoreApplication::arguments().mid(1), o)) {
        return Finish(o,
                      Failure(kExitBadInput, *error + QStringLiteral(" (see kaldor-cli --help)")));
    }
    if (o.command.isEmpty() || o.command == QLatin1String("help")) {
        const QString topic = o.args.value(0);
        if (o.help || o.command == QLatin1String("help")) {
            Print(IsCommand(topic) ? CommandHelp(topic) : ProgramHelp());
            return kExitOk;
        }
        return Finish(
            o, Failure(kExitBadInput, QStringLiteral("no command given (see kaldor-cli --help)")));
    }
    if (!IsCommand(o.command)) {
        return Finish(
            o,
            Failure(kExitBadInput,
                    QStringLiteral("unknown command '%1' (see kaldor-cli --help)").arg(o.command)));
    }
    if (o.help) {
        Print(CommandHelp(o.command));
        return kExitOk;
    }
    const std::optional<QString> work = WorkFolder(o);
    if (!work) {
        return Finish(
            o, Failure(kExitBadInput,
                       o.work.isEmpty()
                           ? QStringLiteral("no work folder: no \"resources\" folder "
                                            "here and none prepared by kaldor-config; "
                                            "give one with --work DIR")
                           : QStringLiteral("the work folder %1 does not exist").arg(o.work)));
    }
    SetTextOutput(!o.json);
    TerminalDialogs dialogs(o.yes);
    InstallDialogs(&dialogs);
    InstallTerminalProgress();
    QDir::setCurrent(*work);
    SessionState& s = Session();
    SetWorkFiles(*work);
    s.StartDir = QDir::toNativeSeparators(o.startDir);
    CacheMessages(s);
    CacheStatusMessages(s);
    App().stopTools = StopRunningTools;
    // Interrupted, the tools are stopped and the work files removed all the same.
    HandleTerminationSignals([] { ExitApplication(kExitInterrupted); });
    const int code = Finish(o, RunCommand(o));
    // Removes the request and response files, which carry passwords.
    ExitApplication(code);
    return code;
}
