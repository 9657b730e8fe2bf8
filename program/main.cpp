// PLX2: the run-time and configuration program of the operator panel.

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    return 0;
}
