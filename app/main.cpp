#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    std::fputs("atualiza: start-up still to come\n", stderr);
    return 2;
}
