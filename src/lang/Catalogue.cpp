#include "Catalogue.h"

#include "app/Application.h"
#include "app/Seams.h"
#include "app/TextFiles.h"

static std::optional<QString> LookUp(const QString& key) {
    const SessionState& s = Session();
    // A choice file that is missing cannot be opened: no separate check.
    const std::optional<QString> name = ReadFirstLine(s.LanguageChoiceFile);
    if (!name || name->isEmpty()) {
        return std::nullopt;
    }
    return ReadKeyValue(JoinPath(s.LanguageDir, *name), key);
}

QString GetText(const QString& key) {
    if (std::optional<QString> text = LookUp(key)) {
        return *std::move(text);
    }
    // While the program is already ending, a further lookup stays silent.
    if (!App().exiting) {
        MsgBox(Session().errLoadLang + QStringLiteral(": '") + key + QStringLiteral("' not found"),
               MsgIcon::Exclamation, QStringLiteral("Error"));
        ExitApplication(1);
    }
    return QString();
}

QString GetTextOr(const QString& key, const QString& fallback) {
    return LookUp(key).value_or(fallback);
}

bool SwitchOn(const QString& key) {
    return GetText(key).toLower() == QLatin1String("yes");
}

QString ToolStartFailedText(const QString& program) {
    return GetTextOr(QStringLiteral("errToolStart"),
                     QStringLiteral("The program %1 could not be started. Check that it is "
                                    "present in the resources folder and can be run."))
        .arg(program);
}

QString WriteFailedText(const QString& file) {
    return GetTextOr(QStringLiteral("errWriteFile"),
                     QStringLiteral("The file %1 could not be written. Check that the work "
                                    "folder is writable and that the disk is not full."))
        .arg(file);
}

QString LineBreakText() {
    return GetTextOr(QStringLiteral("errLineBreak"),
                     QStringLiteral("A value contains a line break and cannot be sent to the "
                                    "node. Remove the line break and try again."));
}

QString FatalErrorText() {
    return GetTextOr(QStringLiteral("errFatal"),
                     QStringLiteral("An unexpected error stopped the assistant. The work files "
                                    "have been removed; please start it again."));
}
