#include "exportpath.h"

#include "model/state.h"
#include "storage/prompter.h"
#include "storage/settings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

namespace rv {

namespace {
QString folderKey(const QString& extension) { return u"Utolsó mappa (%1)"_s.arg(extension.toLower()); }
bool isFolder(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }
} // namespace

QString exportFileName(const QString& plate, int year, int month, int day, const QString& what,
                       const QString& extension) {
    QString name = plate.trimmed();
    for (QChar& ch : name)
        if (!ch.isLetterOrNumber() && ch != u'-')
            ch = u'_';
    const auto two = [](int v) { return QString::number(v).rightJustified(2, u'0'); };
    QStringList parts;
    if (!name.isEmpty())
        parts << name;
    parts << QString::number(year);
    if (month != 0)
        parts << two(month);
    if (day != 0)
        parts << two(day);
    parts << what;
    return parts.join(u'_') + u'.' + extension;
}

QString exportStartFolder(const Settings* settings, const QString& extension) {
    if (settings)
        if (const QString last = settings->text(folderKey(extension)); isFolder(last))
            return last;
    // A Documents folder that does not exist would leave the dialog in the current folder,
    // which is the program's data folder.
    if (const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation); isFolder(docs))
        return docs;
    return QDir::homePath();
}

void rememberExportFolder(Settings* settings, const QString& extension, const QString& path) {
    if (settings && !path.isEmpty())
        settings->setText(folderKey(extension), QFileInfo(path).absolutePath());
}

QString askExportPath(const AppState& s, const QString& caption, const QString& suggestedName, const QString& filter) {
    if (!s.prompter)
        return {};
    const QString extension = QFileInfo(suggestedName).suffix();
    QString path = s.prompter->saveFileName(
        caption, QDir(exportStartFolder(s.settings, extension)).filePath(suggestedName), filter);
    if (path.isEmpty())
        return {};
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + extension;
    rememberExportFolder(s.settings, extension, path);
    return path;
}

} // namespace rv
