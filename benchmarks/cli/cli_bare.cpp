// The baseline for "--help" and "--version": a program that creates a
// QCoreApplication, prints one line and ends.
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    std::printf("%s\n", qPrintable(QCoreApplication::applicationName()));
    return 0;
}
