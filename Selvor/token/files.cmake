# Sources of the token subsystem, relative to Selvor/. C++ in SELVOR_CXX, views in SELVOR_QML.
list(APPEND SELVOR_CXX
    token/TokenManager.hpp token/TokenManager.cpp
    token/TokenProvisioner.hpp token/TokenProvisioner.cpp
    token/TokenScreenViewModel.hpp token/TokenScreenViewModel.cpp
    token/SecretText.hpp token/SecretText.cpp
)
list(APPEND SELVOR_QML
    token/TokenScreen.qml
)
# QML type registration includes headers by file name.
include_directories(${CMAKE_CURRENT_LIST_DIR})
