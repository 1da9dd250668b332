#include "messageworkbench.h"

#include <QApplication>

// A second program beside the serial monitor: the message slots, their displays and
// the editor, for working with the message components. Nothing is saved.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    MessageWorkbench workbench;
    workbench.show();
    return app.exec();
}
