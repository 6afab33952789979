#include "storage/inilocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace Sprelio {

QString programFolder()
{
    return QCoreApplication::instance() != nullptr ? QCoreApplication::applicationDirPath() : QString();
}

bool isFolderWritable(const QString &folder)
{
    // Permission bits do not tell the whole story (read-only mounts, or an administrator who may
    // write anywhere), so only a real file gives the answer.
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        return false;
    }
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".sprelio-probe-XXXXXX")));
    return probe.open();
}

QString settingsFilePath(const QString &programFolder, const QString &userFolder,
                         const std::function<bool(const QString &)> &folderWritable)
{
    QString besideProgram = QDir(programFolder).filePath(QLatin1String(SettingsFileName));
    if (!programFolder.isEmpty() && (QFileInfo::exists(besideProgram) || folderWritable(programFolder))) {
        return besideProgram;
    }
    return QDir(userFolder).filePath(QLatin1String(SettingsFileName));
}

bool isInstalledProgramFolder(const QString &folder)
{
    return !folder.isEmpty() &&
           QFileInfo(QDir(folder).filePath(QStringLiteral(SPRELIO_RELATIVE_DATA_DIR))).isDir();
}

QString settingsFilePath()
{
    // A program installed with the system is shared by every user (and a package owns its folder), so
    // even one whose folder happens to be writable, as for the administrator, keeps settings per user.
    return settingsFilePath(
        programFolder(), QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
        [](const QString &folder) { return !isInstalledProgramFolder(folder) && isFolderWritable(folder); });
}

QStringList programFileFolders()
{
    QStringList folders;
    const QString program = programFolder();
    if (!program.isEmpty()) {
        folders << program << QDir::cleanPath(program + QStringLiteral("/" SPRELIO_RELATIVE_DATA_DIR));
    }
    folders << QStringLiteral(SPRELIO_DATA_DIR) << QStringLiteral(SPRELIO_SOURCE_DATA_DIR);
    folders.removeDuplicates();
    return folders;
}

QString programFilePath(const QString &fileName)
{
    for (const QString &folder : programFileFolders()) {
        const QFileInfo candidate(QDir(folder), fileName);
        if (candidate.isFile()) {
            return candidate.absoluteFilePath();
        }
    }
    return QDir(programFolder()).filePath(fileName);
}

} // namespace Sprelio
