#pragma once

#include "util/FirstUse.h"

// Export of the template window's current template into a container file
// (.trz) and import of a container as a new template.

#include <QDialog>
#include <QPushButton>

#include <functional>

class TForm_ExpImp : public QDialog {
    Q_OBJECT
public:
    explicit TForm_ExpImp(QWidget* parent = nullptr);

    void Btn_ExportClick();
    void Btn_ImportClick();

    QPushButton* Btn_Import;
    QPushButton* Btn_Export;
    QPushButton* Btn_Exit;
};

extern FirstUse<TForm_ExpImp> Form_ExpImp;
