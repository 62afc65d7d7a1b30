# Sources of the session subsystem, relative to Selvor/. C++ in SELVOR_CXX, views in SELVOR_QML.
list(APPEND SELVOR_CXX
    session/AppState.hpp session/AppState.cpp
    session/LoginViewModel.hpp session/LoginViewModel.cpp
    session/QRImage.hpp session/QRImage.cpp
    session/QRImageItem.hpp session/QRImageItem.cpp
)
list(APPEND SELVOR_QML
    session/LoginView.qml
    session/LoginIdleContent.qml
    session/LoginWaitingContent.qml
    session/WaitingLine.qml
)
# QML type registration includes headers by file name.
include_directories(${CMAKE_CURRENT_LIST_DIR})
# The QR encoder, for the sign-in screen's QR image.
pkg_check_modules(QRENCODE REQUIRED IMPORTED_TARGET libqrencode)
link_libraries(PkgConfig::QRENCODE)
