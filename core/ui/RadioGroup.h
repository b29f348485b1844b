#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

class QGridLayout;
class QLabel;

// A captioned group of radio buttons chosen by item index (-1: none), laid
// out in a number of columns.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TRadioGroup(QWidget* parent = nullptr);
    TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

    void setItems(const QStringList& items);
    QStringList items() const { return items_; }
    void setColumns(int columns);
    // A caption too long for a frame title: it stands word-wrapped above the
    // items, inside the frame, and the frame has no title.
    void setWrappedCaption(const QString& caption);
    QString caption() const;
    int itemIndex() const { return group_->checkedId(); }
    void setItemIndex(int index);
    QAbstractButton* button(int index) const { return group_->button(index); }
    QButtonGroup* buttonGroup() const { return group_; }

signals:
    // The user (or setItemIndex) chose another item.
    void clicked(int index);

private:
    void rebuild();
    QButtonGroup* group_;
    QGridLayout* grid_;
    QStringList items_;
    QLabel* caption_ = nullptr;
    int columns_ = 1;
};
