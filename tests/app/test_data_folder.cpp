// Which folder holds the recipes: beside a build or portable copy, or the user's own folder for an
// installed program, started once from the installed starter database.

#include "app/data_folder.h"
#include "support/ordinary_user.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

enum class Shared { None, Beside, Elsewhere };
enum class Where { Program, User };
enum class Help { InFolder, Shared, Program };

struct Case {
    const char *name;
    bool programHasDb;
    bool programWritable;
    bool installedBeside;  // share/saporium with the starter next to the program's bin folder
    Shared sharedGiven;
    bool userHasDb;
    Where expectFolder;
    bool expectCopied;
    Help expectHelp;
};

const QByteArray kStarter = "starter collection";
const QByteArray kOwn = "the user's collection";

void write(const QString &path, const QByteArray &bytes)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

TEST(DataFolder, ChoosesTheFolderAndCopiesTheStarterOnlyWhenInstalledAndMissing)
{
    // The read-only program folders mean nothing to root.
    if (testsupport::ranAsOrdinaryUser())
        return;
    const Case cases[] = {
        {"build folder", false, true, false, Shared::None, false, Where::Program, false, Help::InFolder},
        {"file beside the program wins, even installed", true, false, true, Shared::Beside, false, Where::Program,
         false, Help::InFolder},
        {"first start installed", false, false, true, Shared::Beside, false, Where::User, true, Help::Shared},
        {"later start installed", false, false, true, Shared::Beside, true, Where::User, false, Help::Shared},
        {"installed, folder writable as for root", false, true, true, Shared::Beside, false, Where::User, true,
         Help::Shared},
        {"starter found in a system data folder", false, false, false, Shared::Elsewhere, false, Where::User, true,
         Help::Shared},
        {"no starter anywhere", false, false, false, Shared::None, false, Where::User, false, Help::Program},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        ASSERT_TRUE(root.isValid());
        const QString program = root.filePath(QStringLiteral("usr/bin"));
        const QString beside = root.filePath(QStringLiteral("usr/share/saporium"));
        const QString elsewhere = root.filePath(QStringLiteral("opt/share/saporium"));
        const QString user = root.filePath(QStringLiteral("home/.local/share/saporium"));
        ASSERT_TRUE(QDir().mkpath(program));
        if (c.programHasDb)
            write(program + QStringLiteral("/Recipe.mdb"), kOwn);
        if (c.installedBeside)
            write(beside + QStringLiteral("/Recipe.mdb"), kStarter);
        write(elsewhere + QStringLiteral("/Recipe.mdb"), kStarter);
        if (c.userHasDb)
            write(user + QStringLiteral("/Recipe.mdb"), kOwn);
        // Installed files are read-only; the user's copy must not be.
        for (const QString &folder : {beside, elsewhere})
            QFile::setPermissions(folder + QStringLiteral("/Recipe.mdb"), QFileDevice::ReadOwner);
        if (!c.programWritable) {
            ASSERT_TRUE(QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }
        const QString shared = c.sharedGiven == Shared::Beside ? beside
                             : c.sharedGiven == Shared::Elsewhere ? elsewhere
                                                                  : QString();

        const appdata::DataFolder got = appdata::chooseDataFolder(program, user, shared);
        QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        EXPECT_EQ(got.folder, c.expectFolder == Where::Program ? program : user);
        EXPECT_EQ(got.starterCopied, c.expectCopied);
        const QString help = c.expectHelp == Help::Shared    ? shared + QStringLiteral("/help.htm")
                           : c.expectHelp == Help::Program ? program + QStringLiteral("/help.htm")
                                                           : QString();
        EXPECT_EQ(got.helpFile, help);
        if (c.expectFolder == Where::User) {
            const QString file = user + QStringLiteral("/Recipe.mdb");
            EXPECT_TRUE(QFileInfo(user).isDir());
            if (c.expectCopied || c.userHasDb) {
                EXPECT_EQ(read(file), c.expectCopied ? kStarter : kOwn);
                EXPECT_TRUE(QFileInfo(file).isWritable());
            } else {
                EXPECT_FALSE(QFileInfo::exists(file));
            }
            EXPECT_FALSE(QFileInfo::exists(file + QStringLiteral(".part")));
        } else {
            EXPECT_FALSE(QFileInfo::exists(user));
        }
    }
}

}  // namespace
