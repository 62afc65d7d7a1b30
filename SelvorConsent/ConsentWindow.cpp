#include "ConsentWindow.hpp"

#include "X11WindowGeometry.hpp"

#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>

#include <algorithm>

namespace SelvorConsent {
namespace {

constexpr QSize windowSize(520, 680);

} // namespace

ConsentWindow::ConsentWindow(const ConsentArguments& arguments) : m_page(&m_profile) {
    m_profile.installUrlSchemeHandler(CallbackSchemeHandler::scheme.toByteArray(),
                                      &m_callbackHandler);
    connect(&m_callbackHandler, &CallbackSchemeHandler::captured, this, &ConsentWindow::captured);

    m_view.setPage(&m_page);
    m_view.setWindowTitle(arguments.title);
    m_view.resize(windowSize);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &m_view);
    connect(escape, &QShortcut::activated, &m_view, &QWidget::close);
    m_view.installEventFilter(this);
    if (arguments.parentWindow)
        placeOver(*arguments.parentWindow);
    m_page.load(arguments.url);
}

ConsentWindow::~ConsentWindow() {
    m_view.removeEventFilter(this);
}

void ConsentWindow::show() {
    m_view.show();
}

// Only X11 lets a window belong to another process's window; elsewhere, and when that window is
// gone, the consent window stands alone. As a dialog, X11 marks it transient for the parent.
void ConsentWindow::placeOver(WId parentWindow) {
    const std::optional<QRect> parent = x11WindowGeometry(parentWindow);
    if (!parent)
        return;
    m_parentWindow.reset(QWindow::fromWinId(parentWindow));
    m_view.setWindowFlag(Qt::Dialog);
    const QPointF centre = QRectF(*parent).center() / m_view.devicePixelRatioF();
    QPoint topLeft = (centre - QPointF(windowSize.width(), windowSize.height()) / 2).toPoint();
    // Over a small or edge-hugging parent, the page's top (its title and buttons) stays on screen.
    if (const QScreen* screen = QGuiApplication::screenAt(centre.toPoint())) {
        const QRect area = screen->availableGeometry();
        topLeft.setX(std::clamp(topLeft.x(), area.left(),
                                std::max(area.left(), area.right() + 1 - windowSize.width())));
        topLeft.setY(std::clamp(topLeft.y(), area.top(),
                                std::max(area.top(), area.bottom() + 1 - windowSize.height())));
    }
    m_view.move(topLeft);
}

bool ConsentWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::WinIdChange:
        // The view replaces its native window when its web content first needs OpenGL; every
        // native window it makes belongs to the parent.
        if (QWindow* window = m_view.windowHandle(); window && m_parentWindow)
            window->setTransientParent(m_parentWindow.get());
        break;
    case QEvent::Close:
        // A window with a transient parent does not end the application when it closes.
        emit closed();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace SelvorConsent
