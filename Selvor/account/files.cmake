# Sources of the account subsystem, relative to Selvor/. C++ in SELVOR_CXX, views in SELVOR_QML.
