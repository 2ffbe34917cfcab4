#include "dat_association.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QList>

#include <cerrno>
#include <string>

#include "replace_file.h"

namespace parcelo {

namespace {

// An XDG base directory: the variable when it holds an absolute path, else the default
// under the home directory.
QString BaseDirectory(const char* variable, const char* homeRelative) {
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::cleanPath(QDir::homePath() + u'/' + QLatin1String(homeRelative));
}

// Creates the missing folders of `path` with mode 0700, as base directories should be.
bool MakePath(const QString& path) {
    const std::string bytes = QFile::encodeName(path).toStdString();
    for (size_t slash = 1; slash <= bytes.size(); ++slash) {
        if (slash != bytes.size() && bytes[slash] != '/')
            continue;
        const std::string part = bytes.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat status {};
    return ::stat(bytes.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Writes `content` unless the file holds it already, so that a start changes nothing on disk
// when nothing moved.
void WriteIfChanged(const QString& path, const QByteArray& content) {
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
        return;
    WriteFileReplacing(QFile::encodeName(path).toStdString(),
                       std::string_view(content.constData(), size_t(content.size())));
}

// The value escapes of desktop entry strings.
QString EscapeStringValue(const QString& text) {
    QString out;
    for (const QChar c : text) {
        switch (c.unicode()) {
            case u'\\':
                out += QLatin1String("\\\\");
                break;
            case u'\n':
                out += QLatin1String("\\n");
                break;
            case u'\t':
                out += QLatin1String("\\t");
                break;
            case u'\r':
                out += QLatin1String("\\r");
                break;
            default:
                out += c;
        }
    }
    return out;
}

QByteArray KeyOf(const QByteArray& line) {
    const qsizetype equals = line.indexOf('=');
    return equals < 0 ? QByteArray() : line.left(equals).trimmed();
}

}  // namespace

QString DesktopExecProgram(const QString& programPath) {
    QString quoted = QStringLiteral("\"");
    for (const QChar c : programPath) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        if (c == u'%')
            quoted += u'%';  // a literal percent sign, not a field code
        quoted += c;
    }
    quoted += u'"';
    return EscapeStringValue(quoted);
}

QByteArray DesktopEntryText(const QString& programPath) {
    QString text;
    text += QLatin1String(
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Version=1.0\n"
        "Name=Parcelo\n"
        "GenericName=TNEF Viewer\n"
        "Comment=Show the attachments and the message of a winmail.dat file\n");
    // "--" keeps a file whose name begins with "-" from being read as an option.
    text += QLatin1String("Exec=") + DesktopExecProgram(programPath) + QLatin1String(" -- %f\n");
    text += QLatin1String(
        "Icon=parcelo\n"
        "Terminal=false\n"
        "MimeType=application/vnd.ms-tnef;\n"
        "Categories=Office;Viewer;\n");
    return text.toUtf8();
}

QByteArray MimeAppsWithDefault(const QByteArray& mimeApps, const QByteArray& desktopFileId) {
    const QByteArray key(kTnefMimeType);
    const QByteArray entry = key + '=' + desktopFileId;

    // Lines with their own line ends, so that untouched lines stay byte for byte.
    QList<QByteArray> lines;
    for (qsizetype start = 0; start < mimeApps.size();) {
        qsizetype end = mimeApps.indexOf('\n', start);
        end = end < 0 ? mimeApps.size() : end + 1;
        lines << mimeApps.mid(start, end - start);
        start = end;
    }

    bool inDefaults = false;
    bool replaced = false;
    qsizetype insertAt = -1;  // after the last line of the first default section with content
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray trimmed = lines[i].trimmed();
        if (trimmed.startsWith('[')) {
            inDefaults = trimmed == "[Default Applications]";
            if (inDefaults && insertAt < 0)
                insertAt = i + 1;
            continue;
        }
        if (!inDefaults)
            continue;
        if (!trimmed.isEmpty() && insertAt >= 0 && !replaced && insertAt <= i)
            insertAt = i + 1;
        if (!trimmed.startsWith('#') && KeyOf(trimmed) == key) {
            const QByteArray& line = lines[i];
            const QByteArray ending = line.endsWith("\r\n") ? QByteArray("\r\n")
                                      : line.endsWith('\n') ? QByteArray("\n")
                                                            : QByteArray();
            lines[i] = entry + ending;
            replaced = true;
        }
    }

    if (!replaced) {
        if (insertAt >= 0) {
            QByteArray& before = lines[insertAt - 1];
            if (!before.endsWith('\n'))
                before += '\n';
            lines.insert(insertAt, entry + (before.endsWith("\r\n") ? "\r\n" : "\n"));
        } else {
            if (!lines.isEmpty() && !lines.last().endsWith('\n'))
                lines.last() += '\n';
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
                lines << QByteArray("\n");
            lines << QByteArray("[Default Applications]\n") << entry + '\n';
        }
    }
    return lines.join();
}

int RegisterDatAssociation() {
    return RegisterDatAssociation(QCoreApplication::applicationFilePath());
}

int RegisterDatAssociation(const QString& programPath) {
    if (programPath.isEmpty())
        return 1;

    const QString applications =
        BaseDirectory("XDG_DATA_HOME", ".local/share") + QLatin1String("/applications");
    if (MakePath(applications))
        WriteIfChanged(applications + u'/' + QLatin1String(kDesktopFileId),
                       DesktopEntryText(programPath));

    const QString config = BaseDirectory("XDG_CONFIG_HOME", ".config");
    if (MakePath(config)) {
        const QString listPath = config + QLatin1String("/mimeapps.list");
        QFile list(listPath);
        QByteArray content;
        if (list.exists()) {
            // A list that cannot be read is left alone rather than replaced by one line.
            if (!list.open(QIODevice::ReadOnly))
                return 1;
            content = list.readAll();
            list.close();
        }
        WriteIfChanged(listPath, MimeAppsWithDefault(content, kDesktopFileId));
    }
    return 1;
}

}  // namespace parcelo
