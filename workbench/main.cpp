#include "globals.h"
#include "messageswindow.h"

#include <QApplication>

// A second program beside the serial monitor: the Messages window without a port, for
// composing messages and keeping them in a file.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Globals::InitTables();
    MessagesWindow window(nullptr);
    window.show();
    return app.exec();
}
