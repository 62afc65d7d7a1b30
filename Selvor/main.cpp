#include "shell/Application.hpp"

#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(SelvorPlugin)

int main(int argc, char* argv[]) {
    return Selvor::runApplication(argc, argv);
}
