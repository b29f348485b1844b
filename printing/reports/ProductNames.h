#pragma once

// Names and units of products, each read once per report run.

#include "engine/Context.h"

#include <QHash>
#include <QString>

namespace reports {

class ProductNames {
public:
    struct Entry {
        QString name;
        QString unit;          // ED_IZM.SHORT_NAME, empty without a unit
        bool hasUnit = false;  // the product names a unit row that exists
    };

    explicit ProductNames(const engine::Context& ctx);
    ~ProductNames();

    // The product's name and unit; empty for a product that does not exist.
    const Entry& of(qint64 product);

private:
    engine::Context ctx_;
    bool loaded_ = false;
    QHash<qint64, Entry> known_;
};

} // namespace reports
