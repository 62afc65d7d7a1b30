# Sources of the shell subsystem, relative to Selvor/. C++ in SELVOR_CXX, views in SELVOR_QML.
list(APPEND SELVOR_QML shell/Main.qml)
