#pragma once

#include <QString>
#include <QStringList>

namespace Selvor {

// Which scene graph draws the windows. Without a GPU, Qt Quick's default OpenGL path runs on
// Mesa's software rasteriser (llvmpipe) and costs about twice the start and 90 MB more than Qt
// Quick's own software renderer, which then draws the same screens faster. Whether there is a GPU
// is judged without creating a GL context (that alone would cost much of what it saves): by the
// DRM render nodes this user can open and their kernel drivers, and by what Mesa is told.
class RendererChoice {
public:
    enum class Renderer {
        // QT_QUICK_BACKEND (or QMLSCENE_DEVICE) names one: Qt's own choice stands.
        qtChooses,
        software,
        // Qt Quick's default, hardware-accelerated path.
        hardware,
    };

    struct Inputs {
        // QT_QUICK_BACKEND, or else QMLSCENE_DEVICE.
        QString quickBackend;
        // SELVOR_RENDERER: "software" or "opengl" overrides the judgement.
        QString selvorRenderer;
        // Mesa is told to draw in software: LIBGL_ALWAYS_SOFTWARE, or GALLIUM_DRIVER naming
        // llvmpipe, softpipe or swrast.
        bool mesaToldSoftware = false;
        // The kernel drivers of the render nodes (/dev/dri/renderD*) this user may open; an empty
        // name for a node whose driver cannot be read.
        QStringList renderNodeDrivers;

        [[nodiscard]] static Inputs fromSystem();
    };

    [[nodiscard]] static RendererChoice decide(const Inputs& inputs);
    // Decides for this process and sets it up; before QGuiApplication, so before any window.
    // Logs one line: which renderer and why.
    static void applyToProcess();

    Renderer renderer = Renderer::hardware;
    QString reason;
};

} // namespace Selvor
