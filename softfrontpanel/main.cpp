#include "qv4720_fc.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    qv4720_fc descriptor;
    return 0;
}
