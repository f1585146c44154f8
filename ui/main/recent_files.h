#pragma once
// The recipe files last opened in a window, most recent first, at most five, kept in the user's
// settings (organisation and application "saporium") so that every window and every start shares
// them. Paths only: a password never goes there.

#include <QString>
#include <QStringList>

namespace mainform {

class RecentFiles {
public:
    static constexpr int kKept = 5;

    QStringList files() const;
    // Puts the file first, once; the oldest beyond kKept goes. Each change is written at once;
    // an empty string, or why the settings could not be written.
    QString add(const QString &file);
    QString remove(const QString &file);

private:
    QString store(const QStringList &files);
};

}  // namespace mainform
