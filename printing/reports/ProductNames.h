#pragma once

// Names and units of products, each read once per report run.

#include "engine/Context.h"

#include <QHash>
#include <QString>

#include <memory>

namespace db {
class Query;
}

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

    const Entry& of(qint64 product);

private:
    engine::Context ctx_;
    std::unique_ptr<db::Query> q_;
    QHash<qint64, Entry> known_;
};

} // namespace reports
