#include "Guide.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <utility>

#include "app/Application.h"
#include "app/Seams.h"
#include "app/TextFiles.h"
#include "lang/Catalogue.h"

namespace {

// The guide's language for each catalogue that has a guide of its own.
constexpr std::pair<const char*, const char*> kGuideLanguages[] = {
    {"english.lng", "en"},
    {"spanish.lng", "es"},
};

QString GuideFolder() {
    return JoinPath(Session().WorkDir, QStringLiteral("guide"));
}

QString GuidePage(const QString& language) {
    return JoinPath(JoinPath(GuideFolder(), language), QStringLiteral("index.html"));
}

// The Spanish guide for the Spanish catalogue, the English one for every other
// catalogue and whenever the guide of the catalogue's language is not there.
QString GuideFile() {
    const QString catalogue = ReadFirstLine(Session().LanguageChoiceFile).value_or(QString());
    for (const auto& [file, language] : kGuideLanguages) {
        QString page = GuidePage(QLatin1String(language));
        if (catalogue == QLatin1String(file) && QFileInfo::exists(page)) {
            return page;
        }
    }
    return GuidePage(QStringLiteral("en"));
}

}  // namespace

void OpenGuide(const QString& section) {
    const QFileInfo page(GuideFile());
    if (!page.isFile()) {
        MsgBox(GetTextOr(QStringLiteral("errGuideMissing"),
                         QStringLiteral("The user guide was not found in the folder %1. Install "
                                        "the program again to restore it."))
                   .arg(GuideFolder()));
        return;
    }
    // The work folder's guide is a link to the installed one; the browser
    // finds the pictures beside the installed guide from its real place.
    QUrl url = QUrl::fromLocalFile(page.canonicalFilePath());
    url.setFragment(section);
    if (!TheDialogs().openUrl(url)) {
        MsgBox(GetTextOr(QStringLiteral("errGuideOpen"),
                         QStringLiteral("The user guide %1 could not be shown. Open it with a "
                                        "web browser."))
                   .arg(QDir::toNativeSeparators(page.filePath())));
    }
}
