#pragma once

#include "filesender.h"

#include <QDialog>

class QSpinBox;

// Asks for the two delays of Send File: after each line feed and between bytes, in
// milliseconds, both 0 unless the operator changes them.
class SendFileDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SendFileDialog(const QString &fileName, QWidget *parent = nullptr);

    FileSender::Pacing pacing() const;

private:
    QSpinBox *m_lineDelay = nullptr;
    QSpinBox *m_byteDelay = nullptr;
};
