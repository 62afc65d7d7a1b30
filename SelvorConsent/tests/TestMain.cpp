#include <gtest/gtest.h>

#include <QCoreApplication>

// The tests drive the helper through QProcess, which wants an application object.
int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
