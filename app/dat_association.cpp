#include "dat_association.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QStringList>

#include <cerrno>
#include <optional>
#include <string>

#include "replace_file.h"

// The resources of a static library are registered by hand; the names live outside any
// namespace. The association is written before the window (which registers them too) opens.
static void InitAssociationResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(parcelo);
        return true;
    }();
    (void)registered;
}

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

std::optional<QByteArray> ReadWhole(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
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

// The characters that oblige an Exec argument to be quoted.
bool IsReservedInExec(QChar c) {
    return c.unicode() < 0x20 || c.unicode() == 0x7f ||
           QStringView(u" \t\n\"'\\><~|&;$*?#()`").contains(c);
}

// A link to the program under a path that every launcher reads back as it is. xdg-open splits
// the Exec line at blanks whatever the quotes say, so a program whose own path has a blank
// could not be started from it otherwise.
std::optional<QString> PlainLauncher(const QString& dataHome, const QString& programPath) {
    const QString folder = dataHome + QLatin1String("/parcelo");
    const QString link = folder + QLatin1String("/parcelo");
    if (!IsPlainExecPath(link) || !MakePath(folder))
        return std::nullopt;
    const std::string linkBytes = QFile::encodeName(link).toStdString();
    const std::string target = QFile::encodeName(programPath).toStdString();
    struct stat status {};
    if (::lstat(linkBytes.c_str(), &status) == 0) {
        if (!S_ISLNK(status.st_mode))
            return std::nullopt;  // not ours: left alone
        std::string current(size_t(status.st_size) + 1, '\0');
        const ssize_t length = ::readlink(linkBytes.c_str(), current.data(), current.size());
        if (length >= 0 && current.substr(0, size_t(length)) == target)
            return link;
    }
    // A new link takes the place of the old in one step, as files do.
    const std::string temporary = linkBytes + ".new" + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) != 0)
        return std::nullopt;
    if (::rename(temporary.c_str(), linkBytes.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return std::nullopt;
    }
    return link;
}

// Removes the launcher link of an earlier start once the program's own path serves.
void RemovePlainLauncher(const QString& dataHome) {
    const std::string link =
        QFile::encodeName(dataHome + QLatin1String("/parcelo/parcelo")).toStdString();
    struct stat status {};
    if (::lstat(link.c_str(), &status) == 0 && S_ISLNK(status.st_mode))
        ::unlink(link.c_str());
}

// The lines of a mimeapps.list with their own line ends, so that untouched lines stay byte
// for byte.
QList<QByteArray> SplitLines(const QByteArray& text) {
    QList<QByteArray> lines;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = text.indexOf('\n', start);
        end = end < 0 ? text.size() : end + 1;
        lines << text.mid(start, end - start);
        start = end;
    }
    return lines;
}

QByteArray LineEnd(const QByteArray& line) {
    return line.endsWith("\r\n") ? QByteArray("\r\n")
           : line.endsWith('\n') ? QByteArray("\n")
                                 : QByteArray();
}

// A key line of a key file, read the way GLib's key files read it: blanks around the key and
// the value do not count. Comments, blank lines and group headers are none.
struct KeyLine {
    QByteArray key;
    QByteArray value;
};

std::optional<KeyLine> ParseKeyLine(const QByteArray& line) {
    const QByteArray trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith('#') || trimmed.startsWith('['))
        return std::nullopt;
    const qsizetype equals = trimmed.indexOf('=');
    if (equals < 0)
        return std::nullopt;
    return KeyLine{trimmed.left(equals).trimmed(), trimmed.mid(equals + 1).trimmed()};
}

// Whether `line` is a group header, and which group it opens.
std::optional<QByteArray> GroupOf(const QByteArray& line) {
    const QByteArray trimmed = line.trimmed();
    if (!trimmed.startsWith('['))
        return std::nullopt;
    return trimmed;
}

constexpr const char* kDefaultsGroup = "[Default Applications]";

// The program a list of desktop file ids puts first; launchers try them in order.
QByteArray FirstDesktopId(const QByteArray& value) {
    for (const QByteArray& id : value.split(';')) {
        if (!id.trimmed().isEmpty())
            return id.trimmed();
    }
    return {};
}

bool IsKeyOf(const QByteArray& key, const char* mimeType) {
    return key == mimeType || (qstrcmp(mimeType, kTnefMimeType) == 0 && key == kTnefMimeAlias);
}

// Writes the .msg type's package where the desktop's type database reads it, and rebuilds the
// user's database when the package changed.
void RegisterMimePackage(const QString& dataHome) {
    const QString mime = dataHome + QLatin1String("/mime");
    const QString packages = mime + QLatin1String("/packages");
    const QString path = packages + u'/' + QLatin1String(kMimePackageFile);
    const QByteArray text = MimePackageText();
    if (text.isEmpty() || ReadWhole(path) == text || !MakePath(packages))
        return;
    WriteIfChanged(path, text);
    // Its notes (a folder not in XDG_DATA_DIRS, say) are nothing for the terminal.
    QProcess update;
    update.setStandardOutputFile(QProcess::nullDevice());
    update.setStandardErrorFile(QProcess::nullDevice());
    update.start(QStringLiteral("update-mime-database"), {mime});
    update.waitForFinished(10000);
}

// The files where desktops look for default applications, in the order they read them: per
// user, then system-wide; in each folder the current desktop's own list first.
QStringList MimeAppsLists(const QString& configHome, const QString& dataHome) {
    QStringList folders{configHome};
    const QString configDirs = qEnvironmentVariable("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    for (const QString& dir : configDirs.split(u':', Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(dir))
            folders << QDir::cleanPath(dir);
    }
    folders << dataHome + QLatin1String("/applications");
    const QString dataDirs =
        qEnvironmentVariable("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    for (const QString& dir : dataDirs.split(u':', Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(dir))
            folders << QDir::cleanPath(dir) + QLatin1String("/applications");
    }
    const QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts);
    QStringList lists;
    for (const QString& folder : folders) {
        for (const QString& desktop : desktops)
            lists << folder + u'/' + desktop.toLower() + QLatin1String("-mimeapps.list");
        lists << folder + QLatin1String("/mimeapps.list");
    }
    return lists;
}

}  // namespace

bool IsPlainExecPath(const QString& programPath) {
    if (programPath.isEmpty())
        return false;
    for (const QChar c : programPath) {
        // A bracket would be a pattern to the shell that xdg-open hands the word to.
        if (IsReservedInExec(c) || c == u'%' || c == u'[' || c == u']')
            return false;
    }
    return true;
}

QString DesktopExecProgram(const QString& programPath) {
    bool reserved = false;
    for (const QChar c : programPath)
        reserved = reserved || IsReservedInExec(c);
    QString word = reserved ? QStringLiteral("\"") : QString();
    for (const QChar c : programPath) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            word += u'\\';  // only inside quotes, where these are all that need it
        if (c == u'%')
            word += u'%';  // a literal percent sign, not a field code
        word += c;
    }
    if (reserved)
        word += u'"';
    return EscapeStringValue(word);
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
    text += QLatin1String("Icon=parcelo\nTerminal=false\nMimeType=");
    for (const char* type :
         {kTnefMimeType, kTnefMimeAlias, kOutlookMessageMimeType, kMailMimeType, kMboxMimeType})
        text += QLatin1String(type) + u';';
    text += QLatin1String("\nCategories=Office;Viewer;\n");
    return text.toUtf8();
}

QByteArray MimePackageText() {
    InitAssociationResources();
    QFile file(QStringLiteral(":/parcelo/parcelo-mime.xml"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool NamesOtherDefault(const QByteArray& mimeApps, const QByteArray& desktopFileId,
                       const char* mimeType) {
    bool inDefaults = false;
    for (const QByteArray& line : SplitLines(mimeApps)) {
        if (const auto group = GroupOf(line)) {
            inDefaults = *group == kDefaultsGroup;
            continue;
        }
        const auto keyLine = ParseKeyLine(line);
        if (!inDefaults || !keyLine || !IsKeyOf(keyLine->key, mimeType))
            continue;
        const QByteArray first = FirstDesktopId(keyLine->value);
        if (!first.isEmpty() && first != desktopFileId)
            return true;
    }
    return false;
}

QByteArray MimeAppsWithDefault(const QByteArray& mimeApps, const QByteArray& desktopFileId,
                               const char* mimeType) {
    if (NamesOtherDefault(mimeApps, desktopFileId, mimeType))
        return mimeApps;

    QList<QByteArray> lines = SplitLines(mimeApps);
    const QByteArray fileLineEnd =
        !lines.isEmpty() && lines.first().endsWith("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
    int defaultGroups = 0;  // seen so far; the first is where a new line goes
    bool inDefaults = false;
    bool set = false;
    qsizetype insertAt = -1;  // after the last line with content of the first default group
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto group = GroupOf(lines[i])) {
            inDefaults = *group == kDefaultsGroup;
            if (inDefaults && ++defaultGroups == 1)
                insertAt = i + 1;
            continue;
        }
        if (!inDefaults)
            continue;
        if (defaultGroups == 1 && !lines[i].trimmed().isEmpty())
            insertAt = i + 1;
        const auto keyLine = ParseKeyLine(lines[i]);
        if (!keyLine || keyLine->key != mimeType)
            continue;
        // Our own line is written the one way that xdg-mime's line matching also finds.
        const QByteArray value =
            FirstDesktopId(keyLine->value).isEmpty() ? desktopFileId : keyLine->value;
        lines[i] = keyLine->key + '=' + value + LineEnd(lines[i]);
        set = true;
    }
    if (set)
        return lines.join();

    const QByteArray entry = QByteArray(mimeType) + '=' + desktopFileId;
    if (insertAt >= 0) {
        QByteArray& before = lines[insertAt - 1];
        if (LineEnd(before).isEmpty())
            before += fileLineEnd;
        lines.insert(insertAt, entry + LineEnd(before));
    } else {
        if (!lines.isEmpty() && LineEnd(lines.last()).isEmpty())
            lines.last() += fileLineEnd;
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << fileLineEnd;
        lines << kDefaultsGroup + fileLineEnd << entry + fileLineEnd;
    }
    return lines.join();
}

int RegisterDatAssociation() {
    return RegisterDatAssociation(QCoreApplication::applicationFilePath());
}

int RegisterDatAssociation(const QString& programPath) {
    if (programPath.isEmpty())
        return 1;

    const QString dataHome = BaseDirectory("XDG_DATA_HOME", ".local/share");
    QString execProgram = programPath;
    if (IsPlainExecPath(programPath))
        RemovePlainLauncher(dataHome);
    else if (const auto launcher = PlainLauncher(dataHome, programPath))
        execProgram = *launcher;
    const QString applications = dataHome + QLatin1String("/applications");
    if (MakePath(applications))
        WriteIfChanged(applications + u'/' + QLatin1String(kDesktopFileId),
                       DesktopEntryText(execProgram));

    RegisterMimePackage(dataHome);

    // A default the user (or the system) chose for another program stays, in whichever list
    // the desktop reads it from. Mail files are a mail reader's: never made ours.
    const QString config = BaseDirectory("XDG_CONFIG_HOME", ".config");
    const QStringList lists = MimeAppsLists(config, dataHome);
    QList<const char*> types;
    for (const char* type : {kTnefMimeType, kOutlookMessageMimeType}) {
        bool other = false;
        for (const QString& list : lists) {
            const auto content = ReadWhole(list);
            other = other || (content && NamesOtherDefault(*content, kDesktopFileId, type));
        }
        if (!other)
            types << type;
    }
    if (types.isEmpty() || !MakePath(config))
        return 1;
    const QString listPath = config + QLatin1String("/mimeapps.list");
    QByteArray content;
    if (QFile::exists(listPath)) {
        // A list that cannot be read is left alone rather than replaced by one line.
        const auto existing = ReadWhole(listPath);
        if (!existing)
            return 1;
        content = *existing;
    }
    for (const char* type : types)
        content = MimeAppsWithDefault(content, kDesktopFileId, type);
    WriteIfChanged(listPath, content);
    return 1;
}

}  // namespace parcelo
