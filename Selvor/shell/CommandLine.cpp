#include "CommandLine.hpp"

#include "shell/updates/AppVersion.hpp"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace Selvor {
namespace {

void print(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
}

} // namespace

std::optional<int> answerCommandLine(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    QCommandLineParser parser;
    // One dash or two alike, as Qt's own -platform and -style are written.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Цахим үнэмлэхээрээ нэвтэрч, баримт бичигт гарын үсэг зурна."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Энэ тусламжийг харуулна."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Хувилбарыг харуулна."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(
        QStringLiteral("холбоос"),
        QStringLiteral("Вэб нэвтрэлтийн selvorlogin: холбоос; ажиллаж буй Selvor-т дамжуулна."),
        QStringLiteral("[холбоос]"));
    // Unknown options make parse() fail, yet it still reads the known ones.
    static_cast<void>(parser.parse(arguments));

    if (parser.isSet(version)) {
        print(QStringLiteral("selvor %1\n").arg(applicationVersion()));
        return 0;
    }
    if (parser.isSet(help)) {
        // The help text names the program from the application's arguments.
        int count = argc;
        const QCoreApplication app(count, argv);
        print(parser.helpText());
        return 0;
    }
    return std::nullopt;
}

} // namespace Selvor
