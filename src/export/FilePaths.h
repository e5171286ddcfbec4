#pragma once

#include <QString>

namespace FilePaths {

// folder/name, with name always taken as a plain name inside folder. QDir::filePath would take a name that
// starts with ":" (a Qt resource) or "/" as a path of its own, so a title or an archive entry could name a
// file anywhere.
inline QString child(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

} // namespace FilePaths
