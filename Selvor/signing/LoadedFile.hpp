#pragma once

#include "signing/DownloadFile.hpp"

#include <QString>

#include <memory>

namespace Selvor {

// The file on the signing screen: its name, its digest, and where its exact bytes lie (the
// user's own file, or the private copy of a download, kept while anyone still reads it).
struct LoadedFile {
    QString name;
    QString hash;
    QString path;
    std::shared_ptr<DownloadFile> download;
};

} // namespace Selvor
