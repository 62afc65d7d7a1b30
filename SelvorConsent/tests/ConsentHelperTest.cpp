#include "ConsentPages.hpp"
#include "X11Display.hpp"

#include <SelvorSimTesting/SimProcess.hpp>
#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace SelvorConsent {
namespace {

using namespace std::chrono_literals;

// Web engine start-up under a software-rendered X server is slow; these bound a hang only.
constexpr int finishTimeoutMs = 60'000;
constexpr auto pageTimeout = 60s;

using EnvironmentOverrides = std::vector<std::pair<QString, QString>>;

struct HelperRun {
    int exitCode = -1;
    QByteArray standardOutput;
};

// Runs the real helper on the X server the test runs under (xvfb-run), with a home of its own
// that outlives one run, as a user's would.
class ConsentHelperTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY"))
            << "no X server: run the test under xvfb-run -a";
        ASSERT_TRUE(m_home.isValid());
        ASSERT_TRUE(QDir(m_home.path()).mkdir(u"runtime"_qs));
        ASSERT_TRUE(QFile::setPermissions(m_home.filePath(u"runtime"_qs),
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    // `whileOpen` runs once the helper has started and before waiting for it to end.
    HelperRun runHelper(const QStringList& arguments, const std::function<void()>& whileOpen = {},
                        const EnvironmentOverrides& overrides = {}) const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_qs, u"xcb"_qs);
        environment.insert(u"HOME"_qs, m_home.path());
        environment.insert(u"XDG_RUNTIME_DIR"_qs, m_home.filePath(u"runtime"_qs));
        for (const QString& variable : {u"XDG_CONFIG_HOME"_qs, u"XDG_CACHE_HOME"_qs,
                                        u"XDG_DATA_HOME"_qs, u"XDG_STATE_HOME"_qs})
            environment.remove(variable);
        // A bus address nothing listens on. Without any, libdbus starts a session bus by forking
        // from a busy process, and under AddressSanitizer the fork's child can hang on a lock
        // another thread held: the helper then waits on it for good.
        environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_qs,
                           u"unix:path="_qs + m_home.filePath(u"runtime/no-bus"_qs));
        for (const auto& [variable, value] : overrides)
            environment.insert(variable, value);
        QProcess helper;
        helper.setProcessEnvironment(environment);
        helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        helper.start(QStringLiteral(SELVOR_CONSENT_EXECUTABLE), arguments);
        if (!helper.waitForStarted()) {
            ADD_FAILURE() << "selvor-consent did not start: " << helper.errorString().toStdString();
            return {};
        }
        if (whileOpen)
            whileOpen();
        if (!helper.waitForFinished(finishTimeoutMs)) {
            ADD_FAILURE() << "selvor-consent did not end";
            helper.kill();
            helper.waitForFinished();
            return {};
        }
        EXPECT_EQ(helper.exitStatus(), QProcess::NormalExit);
        return {helper.exitCode(), helper.readAllStandardOutput()};
    }

    // The X window id of the helper's window with exactly this title, once it is there.
    static QString windowTitled(const QString& title) {
        const QByteArray found =
            xdotool({u"search"_qs, u"--sync"_qs, u"--name"_qs, u"^%1$"_qs.arg(title)});
        return QString::fromLatin1(found.left(found.indexOf('\n')));
    }

    // Escape, as a keyboard user closes the window.
    static void pressEscape(const QString& window) {
        xdotool({u"windowfocus"_qs, u"--sync"_qs, window, u"key"_qs, u"Escape"_qs});
    }

    // Captures the window titled `title` into `path` once its page is drawn (two captures in a
    // row alike and not of one colour) and returns that capture; a null image when it never
    // settles. The window is looked up again for every capture: the view replaces its native
    // window once its content first draws.
    static QImage captureWhenDrawn(const QString& title, const QString& path) {
        if (QStandardPaths::findExecutable(u"import"_qs).isEmpty()) {
            ADD_FAILURE() << "ImageMagick's import is missing (scripts/setup installs it)";
            return {};
        }
        const auto deadline = std::chrono::steady_clock::now() + pageTimeout;
        QImage previous;
        while (std::chrono::steady_clock::now() < deadline) {
            const QString window = windowTitled(title);
            QProcess import;
            // Without a window id, import would wait for a click on the screen.
            if (!window.isEmpty())
                import.start(u"import"_qs, {u"-window"_qs, window, path});
            const bool captured = !window.isEmpty() && import.waitForFinished(finishTimeoutMs) &&
                                  import.exitCode() == 0;
            QImage capture = captured ? QImage(path) : QImage();
            if (captured && !isOneColour(capture) && capture == previous)
                return capture;
            previous = std::move(capture);
            QThread::msleep(200);
        }
        return {};
    }

    static bool isOneColour(const QImage& image) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != image.pixel(0, 0))
                    return false;
        return true;
    }

    ConsentPages m_pages;
    QTemporaryDir m_home;

private:
    static QByteArray xdotool(const QStringList& arguments) {
        const QString program = QStandardPaths::findExecutable(u"xdotool"_qs);
        if (program.isEmpty()) {
            ADD_FAILURE() << "xdotool is missing (scripts/setup installs it)";
            return {};
        }
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(finishTimeoutMs) || process.exitCode() != 0)
            ADD_FAILURE() << "xdotool " << arguments.join(u' ').toStdString() << " failed";
        return process.readAllStandardOutput();
    }
};

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// A server redirect and a script both end on the callback, which comes out exactly as the page
// wrote it (its percent-encoding kept); a cookie of one consent never reaches the next.
TEST_F(ConsentHelperTest, callbackRedirect_printsItsUrlAndLeavesNoCookieBehind) {
    const HelperRun script = runHelper({u"--title"_qs, u"Dropbox"_qs, qs(m_pages.url("/script"))});
    EXPECT_EQ(script.exitCode, 0);
    EXPECT_EQ(script.standardOutput, QByteArray(ConsentPages::scriptCallback) + '\n');

    const HelperRun redirect = runHelper({qs(m_pages.url("/redirect"))});
    EXPECT_EQ(redirect.exitCode, 0);
    EXPECT_EQ(redirect.standardOutput, QByteArray(ConsentPages::callback) + '\n');
    EXPECT_EQ(m_pages.cookiesSentFor("/redirect"), std::vector<std::string>{""});
}

// Escape with the page's own text field focused closes the window: nothing printed, status 1.
TEST_F(ConsentHelperTest, escapeOnLoadedPage_closesWithoutCallback) {
    const HelperRun run =
        runHelper({u"--title"_qs, u"Google Drive"_qs, qs(m_pages.url("/still"))}, [&] {
            ASSERT_TRUE(m_pages.waitForRequest("/still-loaded", pageTimeout));
            // Found by its title, which is the one given.
            pressEscape(windowTitled(u"Google Drive"_qs));
        });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.standardOutput.isEmpty()) << run.standardOutput.toStdString();
}

// Given the app's window, the consent window belongs to it (the window manager keeps it above and
// with it) and opens centred over it.
TEST_F(ConsentHelperTest, parentWindow_ownsTheWindowCentredOverIt) {
    X11Display display;
    ASSERT_TRUE(display.isOpen());
    const QRect appGeometry(300, 200, 800, 700);
    const xcb_window_t app = display.createWindow(appGeometry);

    const HelperRun run =
        runHelper({u"--title"_qs, u"Dropbox"_qs, u"--parent-window"_qs, QString::number(app),
                   qs(m_pages.url("/still"))},
                  [&] {
                      ASSERT_TRUE(m_pages.waitForRequest("/still-loaded", pageTimeout));
                      const QString window = windowTitled(u"Dropbox"_qs);
                      const auto id = static_cast<xcb_window_t>(window.toUInt());
                      EXPECT_EQ(display.transientFor(id), app);
                      const std::optional<QRect> geometry = display.geometry(id);
                      ASSERT_TRUE(geometry);
                      EXPECT_EQ(geometry->center(), appGeometry.center());
                      pressEscape(window);
                  });
    EXPECT_EQ(run.exitCode, 1);
}

// Over a small window in the screen's corner, the whole page stays on the screen.
TEST_F(ConsentHelperTest, parentWindowInACorner_keepsTheWindowOnScreen) {
    X11Display display;
    ASSERT_TRUE(display.isOpen());
    const xcb_window_t cornerApp = display.createWindow(QRect(0, 0, 300, 200));
    const HelperRun cornered =
        runHelper({u"--title"_qs, u"Dropbox"_qs, u"--parent-window"_qs, QString::number(cornerApp),
                   qs(m_pages.url("/still"))},
                  [&] {
                      ASSERT_TRUE(m_pages.waitForRequest("/still-loaded", pageTimeout));
                      const QString window = windowTitled(u"Dropbox"_qs);
                      const std::optional<QRect> geometry =
                          display.geometry(static_cast<xcb_window_t>(window.toUInt()));
                      ASSERT_TRUE(geometry);
                      EXPECT_EQ(geometry->topLeft(), QPoint(0, 0));
                      pressEscape(window);
                  });
    EXPECT_EQ(cornered.exitCode, 1);
}

// The simulator's Google Drive consent page in the real window, light and dark, for the screenshot
// set. Chromium's dark theme is what the page's prefers-color-scheme reads.
TEST_F(ConsentHelperTest, simulatorConsentPage_screenshotsInLightAndDark) {
    SelvorSimTesting::SimProcess sim;
    const std::string url = sim.send("GET", "/web/cloud/google/auth-url").json().value("url", "");
    ASSERT_TRUE(QDir().mkpath(QStringLiteral(SELVOR_SCREENSHOT_DIR)));
    X11Display display;
    ASSERT_TRUE(display.isOpen());
    for (const bool dark : {false, true}) {
        const QString path = u"%1/cloud-sign-consent-%2.png"_qs.arg(
            QStringLiteral(SELVOR_SCREENSHOT_DIR), dark ? u"dark"_qs : u"light"_qs);
        SCOPED_TRACE(path.toStdString());
        ASSERT_TRUE(!QFile::exists(path) || QFile::remove(path));
        std::optional<QRect> geometry;
        const HelperRun run = runHelper(
            {u"--title"_qs, u"Google Drive"_qs, qs(url)},
            [&] {
                EXPECT_FALSE(captureWhenDrawn(u"Google Drive"_qs, path).isNull())
                    << "the page never drew";
                const QString window = windowTitled(u"Google Drive"_qs);
                geometry = display.geometry(static_cast<xcb_window_t>(window.toUInt()));
                pressEscape(window);
            },
            {{u"QTWEBENGINE_CHROMIUM_FLAGS"_qs, dark ? u"--force-dark-mode"_qs : u""_qs}});
        EXPECT_EQ(run.exitCode, 1);

        const QImage screenshot(path);
        ASSERT_FALSE(screenshot.isNull());
        ASSERT_TRUE(geometry);
        EXPECT_EQ(screenshot.size(), geometry->size());
        EXPECT_FALSE(isOneColour(screenshot));
        const int cornerLightness =
            QColor(screenshot.pixel(4, screenshot.height() - 5)).lightness();
        EXPECT_TRUE(dark ? cornerLightness < 64 : cornerLightness > 192) << cornerLightness;
    }
    const std::vector<SelvorSimTesting::LoggedRequest> log = sim.requestLog();
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const auto& request) {
                                return request.method == "GET" &&
                                       request.path == "/cloud/consent/google";
                            }),
              2);
}

// A command line that is not exactly [--title TEXT] [--parent-window WINID] URL, with an http or
// https URL, ends at once with status 2 and no window.
TEST_F(ConsentHelperTest, badCommandLine_exitsTwoWithoutOutput) {
    const QString page = qs(m_pages.url("/redirect"));
    const QList<QStringList> commandLines{
        {},
        {u"not a url"_qs},
        {u"https://"_qs},
        {u"http://exa mple.com/"_qs},
        {u"file:///etc/passwd"_qs},
        {u"javascript:alert(1)"_qs},
        {qs(ConsentPages::callback)},
        {page, page},
        {u"--title"_qs},
        {u"--unknown"_qs, page},
        {u"--parent-window"_qs, u"0x2a"_qs, page},
        {u"--parent-window"_qs, u""_qs, page},
    };
    for (const QStringList& arguments : commandLines) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const HelperRun run = runHelper(arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.standardOutput.isEmpty());
    }
    EXPECT_TRUE(m_pages.cookiesSentFor("/redirect").empty()) << "a page was opened";
}

} // namespace
} // namespace SelvorConsent
