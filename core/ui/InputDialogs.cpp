#include "InputDialogs.h"

#include <QBoxLayout>
#include <QDialog>
#include <QPalette>
#include <QPushButton>

#include <algorithm>

namespace {

// A button of the OK/Cancel row: room round its text at any font size.
class RowButton : public QPushButton {
public:
    using QPushButton::QPushButton;
    QSize sizeHint() const override
    {
        const QSize base = QPushButton::sizeHint();
        const QFontMetrics fm = fontMetrics();
        const int width = fm.horizontalAdvance(text()) + 4 * fm.averageCharWidth();
        const int height = fm.height() + fm.height() * 3 / 5;
        return {std::max({base.width(), width, fm.averageCharWidth() * 12}), std::max(base.height(), height)};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }
};

} // namespace

QPushButton* NewRowButton(const QString& text, QWidget* parent) { return new RowButton(text, parent); }

OkCancelRow AddOkCancelRow(QWidget* parent, QBoxLayout* layout, bool centred)
{
    OkCancelRow b;
    auto* row = new QHBoxLayout;
    b.ok = new RowButton(QStringLiteral("OK"), parent);
    b.ok->setDefault(true);
    b.cancel = new RowButton(QStringLiteral("Отмена"), parent);
    row->addStretch();
    row->addWidget(b.ok);
    row->addWidget(b.cancel);
    if (centred)
        row->addStretch();
    layout->addLayout(row);
    return b;
}

InputButtons AddInputButtons(QDialog* dialog, QBoxLayout* layout, bool centred)
{
    InputButtons b;
    const OkCancelRow row = AddOkCancelRow(dialog, layout, centred);
    b.ok = row.ok;
    b.cancel = row.cancel;
    // The OK that closes the dialog once its checks passed is pressed by the
    // program only: it is kept out of the dialog, so the dialog shows (and
    // tells a screen reader of) one OK.
    b.hiddenOk = new QPushButton(QStringLiteral("OK"));
    QPushButton* hidden = b.hiddenOk;
    QObject::connect(dialog, &QObject::destroyed, [hidden] { delete hidden; });
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
