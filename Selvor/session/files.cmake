# Sources of the session subsystem, relative to Selvor/. C++ in SELVOR_CXX, views in SELVOR_QML.
list(APPEND SELVOR_CXX
    session/AppState.hpp session/AppState.cpp
)
# QML type registration includes headers by file name.
include_directories(${CMAKE_CURRENT_LIST_DIR})
