// The icon of a listed file: the icon theme's icon for its MIME type, found by name and by
// content, else the theme's generic icon for the type, else a generic file icon.
#pragma once

#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QString>

namespace parcelo {

class AttachmentIconProvider {
  public:
    AttachmentIconProvider();

    QIcon iconFor(const QString& path);

    // Picks an installed icon theme when the platform names none (as without a desktop
    // session, or on the offscreen platform), so that files still get their type's icon.
    static void EnsureIconTheme();

  private:
    QMimeDatabase mimeTypes_;
    QHash<QString, QIcon> byMimeType_;  // one lookup per type and load
    QIcon genericFile_;
};

}  // namespace parcelo
