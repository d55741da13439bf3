#include "Requests.h"

#include <QDir>
#include <algorithm>

#include "app/Application.h"
#include "app/Seams.h"
#include "app/TextFiles.h"
#include "lang/Catalogue.h"

bool WriteRequest(const QString& path, const QStringList& lines) {
    if (std::any_of(lines.begin(), lines.end(), [](const QString& l) { return HasLineBreak(l); })) {
        MsgBox(LineBreakText(), MsgIcon::Exclamation);
        return false;
    }
    if (!WriteLines(path, lines, FileAccess::OwnerOnly)) {
        MsgBox(WriteFailedText(QDir::toNativeSeparators(path)), MsgIcon::Exclamation);
        return false;
    }
    return true;
}

bool WriteGetRequest(const QStringList& keys, const QString& mac, const QString& password) {
    QStringList lines{QStringLiteral("GET ") + mac, QStringLiteral(".PASSWORD=") + password};
    for (const QString& key : keys) {
        if (key == QLatin1String("NULL")) {
            break;
        }
        lines.append(key);
    }
    return WriteRequest(Session().GetRequestFile, lines);
}

bool WriteGetAllRequest() {
    const SessionState& s = Session();
    return WriteRequest(s.GetRequestFile, {QStringLiteral("GET ") + s.SelectedMac,
                                           QStringLiteral(".PASSWORD=") + s.NodePassword});
}

QStringList PostHeader() {
    const SessionState& s = Session();
    return {QStringLiteral("POST ") + s.SelectedMac, QStringLiteral(".PASSWORD=") + s.NodePassword};
}

bool WritePostRequest(const QString& setting) {
    return WriteRequest(Session().PostRequestFile, PostHeader() << setting);
}
