#include "ToolRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <memory>

#include "app/Application.h"
#include "app/Seams.h"
#include "lang/Catalogue.h"

QString FindTool(const QString& program) {
    if (program.contains(QLatin1Char('/')) || program.contains(QDir::separator())) {
        return QFileInfo(program).isExecutable() ? program : QString();
    }
    const QFileInfo local(QDir::current().filePath(program));
    if (local.isFile() && local.isExecutable()) {
        return local.absoluteFilePath();
    }
    return QStandardPaths::findExecutable(program);
}

namespace {

void (*gToolObserver)(const QString&) = nullptr;

// A started tool, or nothing when it could not be started (already reported).
std::unique_ptr<QProcess> StartTool(const QString& commandLine) {
    QStringList arguments = QProcess::splitCommand(commandLine);
    const QString program = arguments.isEmpty() ? QString() : arguments.takeFirst();
    if (gToolObserver) {
        gToolObserver(program);
    }
    const QString path = FindTool(program);
    auto process = std::make_unique<QProcess>();
    if (!path.isEmpty()) {
        process->setWorkingDirectory(QDir::currentPath());
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        process->start(path, arguments, QIODevice::NotOpen);
        if (process->waitForStarted()) {
            return process;
        }
    }
    MsgBox(ToolStartFailedText(program), MsgIcon::Exclamation);
    return nullptr;
}

// The tools being awaited; at most a server and a client.
QList<QProcess*> gRunning;

// Serves events until every given process has ended. A quit of the whole
// event loop ends the local loop too, and no new loop runs after it; the
// wait then goes on without one, so a run never returns while its tool
// still works.
void AwaitAll(std::initializer_list<QProcess*> processes) {
    for (QProcess* p : processes) {
        if (p) {
            gRunning.append(p);
        }
    }
    const auto running = [processes] {
        return std::any_of(processes.begin(), processes.end(),
                           [](QProcess* p) { return p && p->state() != QProcess::NotRunning; });
    };
    QEventLoop loop;
    for (QProcess* p : processes) {
        if (p) {
            QObject::connect(p, &QProcess::finished, &loop, [&] {
                if (!running()) {
                    loop.quit();
                }
            });
        }
    }
    if (running()) {
        loop.exec();
    }
    while (running()) {
        for (QProcess* p : processes) {
            if (p && p->state() != QProcess::NotRunning) {
                p->waitForFinished(100);
            }
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    gRunning.clear();
}

int ExitCodeOf(const QProcess* process) {
    if (!process) {
        return kToolNotStarted;
    }
    if (process->state() != QProcess::NotRunning || process->exitStatus() != QProcess::NormalExit) {
        return kToolCrashed;
    }
    return process->exitCode();
}

}  // namespace

int RunAndWait(const QString& commandLine) {
    std::unique_ptr<QProcess> process = StartTool(commandLine);
    AwaitAll({process.get()});
    return ExitCodeOf(process.get());
}

int RunServerAndClientAndWait(const QString& serverCommandLine, const QString& clientCommandLine) {
    std::unique_ptr<QProcess> server = StartTool(serverCommandLine);
    Wait(5000);
    std::unique_ptr<QProcess> client = StartTool(clientCommandLine);
    AwaitAll({server.get(), client.get()});
    return ExitCodeOf(server.get());
}

QString ClientCommandLine(const QString& requestFile) {
    return QStringLiteral("ihcp_client.exe \"") + requestFile + QStringLiteral("\" -i eth") +
           QString::number(Session().InterfaceNumber);
}

void DeleteResponse() {
    const QString& response = Session().ResponseFile;
    if (FileExists(response)) {
        QFile::remove(response);
    }
}

void RunClient(const QString& requestFile) {
    DeleteResponse();
    RunAndWait(ClientCommandLine(requestFile));
}

void StopRunningTools() {
    for (QProcess* process : std::as_const(gRunning)) {
        process->kill();
        process->waitForFinished(1000);
    }
}

void ObserveToolRuns(void (*observer)(const QString& program)) {
    gToolObserver = observer;
}
