#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace Sprelio {

/// The name of the settings file.
inline constexpr char SettingsFileName[] = "sprelio.ini";

/// The folder of the running program, without a trailing separator; empty without an application object.
QString programFolder();

/// Whether a new file can be created in folder, tried with a real file that is removed again.
bool isFolderWritable(const QString &folder);

/// Where the settings file lives: in programFolder when it already holds the file or can be written,
/// else in userFolder. folderWritable decides the second question.
QString settingsFilePath(const QString &programFolder, const QString &userFolder,
                         const std::function<bool(const QString &)> &folderWritable);

/// Whether folder holds an installed program: the installed data folder lies beside it.
bool isInstalledProgramFolder(const QString &folder);

/// Where this program's settings file lives: beside the program, or in the user's configuration folder.
QString settingsFilePath();

/// The folders searched for the files that ship beside the program, in order: the program's folder,
/// the installed data folders, and the source tree's data folder.
QStringList programFileFolders();

/// The path of a file shipped beside the program: the first folder of programFileFolders that holds it,
/// or the program's folder when none does.
QString programFilePath(const QString &fileName);

} // namespace Sprelio
