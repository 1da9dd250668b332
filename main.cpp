#include "commport.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    CommPort window;
    window.show();
    return app.exec();
}
