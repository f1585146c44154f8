#include "core/own_folder.h"

#include <unistd.h>

namespace recipes {

QString notOursAlone(const struct stat &st)
{
    if (st.st_uid != ::geteuid())
        return QStringLiteral("it belongs to another user");
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return QStringLiteral("others may write to it (its permissions are %1)")
            .arg(QString::number(st.st_mode & 07777, 8));
    return {};
}

}  // namespace recipes
