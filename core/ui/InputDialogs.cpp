#include "InputDialogs.h"

#include <QBoxLayout>
#include <QDialog>
#include <QPalette>
#include <QPushButton>

InputButtons AddInputButtons(QDialog* dialog, QBoxLayout* layout, bool centred)
{
    InputButtons b;
    auto* row = new QHBoxLayout;
    b.ok = new QPushButton(QStringLiteral("OK"), dialog);
    b.ok->setDefault(true);
    b.cancel = new QPushButton(QStringLiteral("Отмена"), dialog);
    b.hiddenOk = new QPushButton(QStringLiteral("OK"), dialog);
    b.hiddenOk->hide();
    row->addStretch();
    row->addWidget(b.ok);
    row->addWidget(b.cancel);
    if (centred)
        row->addStretch();
    layout->addLayout(row);
    QObject::connect(b.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    QObject::connect(b.hiddenOk, &QPushButton::clicked, dialog, &QDialog::accept);
    return b;
}

void SetFieldEnabled(QWidget* w, bool on)
{
    w->setEnabled(on);
    QPalette p = w->palette();
    p.setColor(QPalette::Base, QPalette().color(on ? QPalette::Base : QPalette::Button));
    w->setPalette(p);
}
