#pragma once
// Where the program keeps its recipes. A build or a portable copy keeps them beside itself, as it
// always has; an installed program cannot write there, so each user gets a folder of their own,
// started with a copy of the installed starter database.

#include <QString>

namespace appdata {

struct DataFolder {
    QString folder;              // holds Recipe.mdb and the print files
    QString helpFile;            // the help page; empty: help.htm in folder
    bool starterCopied = false;  // the starter database was copied into folder just now
};

// programFolder: the executable's folder. userFolder: the user's own data folder, made when it is
// used. sharedFolder: the installed shared files (help.htm and the starter Recipe.mdb), empty when
// none was found.
DataFolder chooseDataFolder(const QString &programFolder, const QString &userFolder,
                            const QString &sharedFolder);

// The installed shared files: share/saporium beside the program's bin folder, else the first
// system data folder holding saporium/Recipe.mdb; empty when there is none.
QString findSharedFolder(const QString &programFolder);

}  // namespace appdata
