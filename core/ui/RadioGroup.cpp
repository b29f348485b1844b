#include "RadioGroup.h"

#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>

TRadioGroup::TRadioGroup(QWidget* parent) : QGroupBox(parent)
{
    group_ = new QButtonGroup(this);
    grid_ = new QGridLayout(this);
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit clicked(id);
    });
}

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent) : TRadioGroup(parent)
{
    setTitle(caption);
    setItems(items);
}

void TRadioGroup::setItems(const QStringList& items)
{
    items_ = items;
    rebuild();
}

void TRadioGroup::setColumns(int columns)
{
    columns_ = std::max(1, columns);
    rebuild();
}

void TRadioGroup::setWrappedCaption(const QString& caption)
{
    setTitle(QString());
    if (!caption_) {
        caption_ = new QLabel(this);
        caption_->setWordWrap(true);
        grid_->addWidget(caption_, 0, 0, 1, -1);
    }
    caption_->setText(caption);
    rebuild();
}

QString TRadioGroup::caption() const { return caption_ ? caption_->text() : title(); }

void TRadioGroup::setItemIndex(int index)
{
    if (QAbstractButton* b = group_->button(index)) {
        b->setChecked(true);
        return;
    }
    if (QAbstractButton* on = group_->checkedButton()) {
        group_->setExclusive(false);
        on->setChecked(false);
        group_->setExclusive(true);
    }
}

void TRadioGroup::rebuild()
{
    const int current = group_->checkedId();
    for (QAbstractButton* b : group_->buttons()) {
        group_->removeButton(b);
        delete b;
    }
    const int rows = (static_cast<int>(items_.size()) + columns_ - 1) / columns_;
    const int first = caption_ ? 1 : 0;  // the wrapped caption takes the first row
    for (int i = 0; i < items_.size(); ++i) {
        auto* b = new QRadioButton(items_[i], this);
        group_->addButton(b, i);
        grid_->addWidget(b, first + (rows ? i % rows : 0), rows ? i / rows : 0);
    }
    if (QAbstractButton* b = group_->button(current)) {
        const QSignalBlocker quiet(group_);
        b->setChecked(true);
    }
}
