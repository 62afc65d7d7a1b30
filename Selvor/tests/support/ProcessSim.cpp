#include "ProcessSim.hpp"

#include <QByteArray>
#include <QtGlobal>

#include <memory>

namespace Selvor::Testing {

SelvorSimTesting::SimProcess& processSim() {
    static const std::unique_ptr<SelvorSimTesting::SimProcess> sim = [] {
        auto started = std::make_unique<SelvorSimTesting::SimProcess>();
        const QByteArray origin = QByteArray::fromStdString(started->baseUrl());
        for (const char* variable : {"API_BASE_URL", "SELVOR_GOOGLE_API_BASE",
                                     "SELVOR_DROPBOX_API_BASE", "SELVOR_DROPBOX_CONTENT_BASE"})
            qputenv(variable, origin);
        qputenv("SELVOR_UPDATE_FEED", origin + "/appcast.xml");
        return started;
    }();
    return *sim;
}

void unlinkClouds() {
    for (const char* provider : {"google", "dropbox"})
        processSim().send("DELETE", std::string("/web/cloud/") + provider + "/disconnect");
}

} // namespace Selvor::Testing
