#include "RendererChoice.hpp"

#include <SelvorTokenKit/Log.hpp>

#include <QDir>
#include <QFileInfo>
#include <QQuickWindow>

#include <unistd.h>

namespace Selvor {
namespace {

const SelvorTokenKit::Logger& logger() {
    static const SelvorTokenKit::Logger instance("mn.selvor.eid.desktop", "SelvorApp");
    return instance;
}

// Kernel drivers that give a render node but no 3D engine: Mesa draws on the CPU behind them.
const QStringList driversWithoutGpu{QStringLiteral("vgem"), QStringLiteral("vkms"),
                                    QStringLiteral("evdi"), QStringLiteral("udl")};

bool environmentAsksSoftware() {
    // Mesa reads LIBGL_ALWAYS_SOFTWARE as a boolean of these spellings.
    const QString always = qEnvironmentVariable("LIBGL_ALWAYS_SOFTWARE").toLower();
    const QString gallium = qEnvironmentVariable("GALLIUM_DRIVER");
    return always == u"1" || always == u"true" || always == u"yes" || always == u"y" ||
           gallium == u"llvmpipe" || gallium == u"softpipe" || gallium == u"swrast";
}

QStringList openableRenderNodeDrivers() {
    QStringList drivers;
    const QDir dri(QStringLiteral("/dev/dri"));
    for (const QString& node : dri.entryList({QStringLiteral("renderD*")}, QDir::System)) {
        if (::access(QFile::encodeName(dri.filePath(node)).constData(), R_OK | W_OK) != 0)
            continue;
        const QFileInfo driver(QStringLiteral("/sys/class/drm/%1/device/driver").arg(node));
        drivers.append(QFileInfo(driver.symLinkTarget()).fileName());
    }
    return drivers;
}

QString describe(RendererChoice::Renderer renderer) {
    switch (renderer) {
    case RendererChoice::Renderer::qtChooses:
        return QStringLiteral("Qt's choice");
    case RendererChoice::Renderer::software:
        return QStringLiteral("software scene graph");
    case RendererChoice::Renderer::hardware:
        return QStringLiteral("hardware (OpenGL)");
    }
    return {};
}

RendererChoice judgeMachine(const RendererChoice::Inputs& inputs) {
    using Renderer = RendererChoice::Renderer;
    if (inputs.mesaToldSoftware)
        return {Renderer::software, QStringLiteral("Mesa is told to draw in software")};
    if (inputs.renderNodeDrivers.isEmpty())
        return {Renderer::software, QStringLiteral("no GPU render node to open")};
    for (const QString& driver : inputs.renderNodeDrivers) {
        if (!driversWithoutGpu.contains(driver))
            return {Renderer::hardware,
                    QStringLiteral("GPU render node (%1)")
                        .arg(driver.isEmpty() ? QStringLiteral("driver unknown") : driver)};
    }
    return {Renderer::software, QStringLiteral("render nodes without a GPU (%1)")
                                    .arg(inputs.renderNodeDrivers.join(u", "))};
}

} // namespace

RendererChoice::Inputs RendererChoice::Inputs::fromSystem() {
    QString backend = qEnvironmentVariable("QT_QUICK_BACKEND");
    if (backend.isEmpty())
        backend = qEnvironmentVariable("QMLSCENE_DEVICE");
    return {backend, qEnvironmentVariable("SELVOR_RENDERER"), environmentAsksSoftware(),
            openableRenderNodeDrivers()};
}

RendererChoice RendererChoice::decide(const Inputs& inputs) {
    if (!inputs.quickBackend.isEmpty())
        return {Renderer::qtChooses, QStringLiteral("the environment names the Qt Quick backend %1")
                                         .arg(inputs.quickBackend)};
    if (inputs.selvorRenderer == u"software")
        return {Renderer::software, QStringLiteral("SELVOR_RENDERER=software")};
    if (inputs.selvorRenderer == u"opengl")
        return {Renderer::hardware, QStringLiteral("SELVOR_RENDERER=opengl")};
    RendererChoice judged = judgeMachine(inputs);
    if (!inputs.selvorRenderer.isEmpty())
        judged.reason += QStringLiteral("; SELVOR_RENDERER=%1 is neither software nor opengl")
                             .arg(inputs.selvorRenderer);
    return judged;
}

void RendererChoice::applyToProcess() {
    const RendererChoice choice = decide(Inputs::fromSystem());
    if (choice.renderer == Renderer::software)
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    logger().info("renderer: %s, because %s", describe(choice.renderer).toStdString(),
                  choice.reason.toStdString());
}

} // namespace Selvor
