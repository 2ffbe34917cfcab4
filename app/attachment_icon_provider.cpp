#include "attachment_icon_provider.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeType>

namespace parcelo {

namespace {

bool ThemeInstalled(const QString& name) {
    for (const QString& folder : QIcon::themeSearchPaths()) {
        if (QFileInfo::exists(folder + u'/' + name + QLatin1String("/index.theme")))
            return true;
    }
    return false;
}

// Calendars, contacts and tables are text to the MIME database, so their generic icon is that
// of plain text; themes that lack their own icons mostly have one for the kind of document.
// The converted Outlook items are calendars and contacts, so they are worth telling apart.
QIcon FamilyIcon(const QMimeType& type) {
    static const struct {
        const char* mimeType;
        const char* iconName;
    } kFamilies[] = {
        {"text/calendar", "x-office-calendar"},
        {"text/x-vcalendar", "x-office-calendar"},
        {"text/vcard", "x-office-address-book"},
        {"text/x-vcard", "x-office-address-book"},
        {"text/directory", "x-office-address-book"},
        {"text/csv", "x-office-spreadsheet"},
        {"text/tab-separated-values", "x-office-spreadsheet"},
    };
    for (const auto& family : kFamilies) {
        if (type.inherits(QLatin1String(family.mimeType)))
            return QIcon::fromTheme(QLatin1String(family.iconName));
    }
    return QIcon();
}

QIcon GenericFileIcon() {
    QIcon icon = QIcon::fromTheme(QStringLiteral("application-x-generic"));
    if (icon.isNull())
        icon = QIcon::fromTheme(QStringLiteral("text-x-generic"));
    if (icon.isNull())
        icon = QIcon(QStringLiteral(":/parcelo/file-32.png"));
    return icon;
}

}  // namespace

void AttachmentIconProvider::EnsureIconTheme() {
    // Platforms without a desktop theme may not even know where icon themes live.
    QStringList searchPaths = QIcon::themeSearchPaths();
    QStringList dataDirs = qEnvironmentVariable("XDG_DATA_DIRS").split(u':', Qt::SkipEmptyParts);
    if (dataDirs.isEmpty())
        dataDirs = {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")};
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty())
        dataHome = QDir::homePath() + QLatin1String("/.local/share");
    dataDirs.prepend(dataHome);
    bool added = false;
    for (const QString& dir : dataDirs) {
        const QString icons = dir + QLatin1String("/icons");
        if (!searchPaths.contains(icons) && QFileInfo(icons).isDir()) {
            searchPaths << icons;
            added = true;
        }
    }
    if (added)
        QIcon::setThemeSearchPaths(searchPaths);

    const QString current = QIcon::themeName();
    if (!current.isEmpty() && current != QLatin1String("hicolor") && ThemeInstalled(current))
        return;
    for (const char* name : {"Adwaita", "breeze", "oxygen", "gnome", "Tango"}) {
        if (ThemeInstalled(QLatin1String(name))) {
            QIcon::setThemeName(QLatin1String(name));
            break;
        }
    }
    if (QIcon::fallbackThemeName().isEmpty())
        QIcon::setFallbackThemeName(QStringLiteral("hicolor"));
}

AttachmentIconProvider::AttachmentIconProvider() {
    EnsureIconTheme();
    genericFile_ = GenericFileIcon();
}

QIcon AttachmentIconProvider::iconFor(const QString& path) {
    const QMimeType type = mimeTypes_.mimeTypeForFile(path);
    const QString name = type.name();
    const auto cached = byMimeType_.constFind(name);
    if (cached != byMimeType_.constEnd())
        return *cached;

    QIcon icon;
    if (type.isValid()) {
        icon = QIcon::fromTheme(type.iconName());
        if (icon.isNull())
            icon = FamilyIcon(type);
        if (icon.isNull())
            icon = QIcon::fromTheme(type.genericIconName());
    }
    if (icon.isNull())
        icon = genericFile_;
    byMimeType_.insert(name, icon);
    return icon;
}

}  // namespace parcelo
