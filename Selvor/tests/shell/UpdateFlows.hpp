#pragma once

#include "ProcessSim.hpp"
#include "shell/updates/UpdateSignature.hpp"
#include "shell/updates/Updater.hpp"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <memory>

namespace Selvor::Testing {

// An updater of version 1.0.0 reading the simulator's feed, with a download folder of its own.
class UpdateFlows : public ::testing::Test {
protected:
    void SetUp() override { processSim().setAppcast("1.1.0", "signed"); }
    void TearDown() override { processSim().clearFaults(); }

    [[nodiscard]] static UpdaterSettings settings(const QString& folder,
                                                  const QString& feedPath = u"/appcast.xml"_qs) {
        return {.feed = QUrl(QString::fromStdString(processSim().baseUrl()) + feedPath),
                .publicKey = trustedUpdateKey(),
                .currentVersion = u"1.0.0"_qs,
                .folder = folder};
    }
    // Every file the updater left, its check stamp aside.
    [[nodiscard]] QStringList leftFiles() const {
        QStringList files = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
        files.removeAll(u"last-check"_qs);
        return files;
    }

    QTemporaryDir folder;
    std::unique_ptr<Updater> updater = std::make_unique<Updater>(settings(folder.path()));
};

} // namespace Selvor::Testing
