#pragma once

class QQuickWindow;

namespace Selvor {

// With SELVOR_REPORT_FIRST_FRAME set, writes "first frame painted" as one line on standard error
// once the window's first frame is on screen, so that a start can be timed from outside.
void reportFirstFrameWhenAsked(QQuickWindow& window);

} // namespace Selvor
