#pragma once

#include <QString>

#include <stdexcept>

namespace costing {

// A fault of the costing cards that stops an expansion: a cyclic card, a row
// without yield, a card for zero units. The text names the products and is
// meant for the user.
class CardError : public std::runtime_error {
public:
    explicit CardError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

} // namespace costing
