// The protocol print into a real headless LibreOffice: 20,000 protocol rows
// read from the database with the protocol tab's filter and written into a
// new workbook in row blocks, then closed. The whole print is timed.

#include "OfficeRun.h"

#include "Printing.h"
#include "reports/ProtocolPrint.h"
#include "ui/ProtocolFilter.h"

#include "db/Query.h"

namespace {

// Keeps the workbook each print makes, so the run can close it.
class ClosingOffice : public automation::Office {
public:
    explicit ClosingOffice(automation::Office& inner) : inner_(inner) {}
    bool connect() override { return inner_.connect(); }
    void disconnect() override { inner_.disconnect(); }
    bool connected() const override { return inner_.connected(); }
    std::unique_ptr<automation::Document> newCalc() override
    {
        auto d = inner_.newCalc();
        last = d.get();
        kept = std::move(d);
        return std::make_unique<Handle>(*last);
    }
    std::unique_ptr<automation::Document> loadDocument(const QString& p) override { return inner_.loadDocument(p); }
    std::unique_ptr<automation::Document> editDocument(const QString& p) override { return inner_.editDocument(p); }
    automation::Document* last = nullptr;
    std::unique_ptr<automation::Document> kept;

private:
    struct Handle : automation::Document {
        explicit Handle(automation::Document& d) : d(d) {}
        automation::Document& d;
        int sheetCount() override { return d.sheetCount(); }
        void insertSheet(int i, const QString& n) override { d.insertSheet(i, n); }
        QString sheetName(int s) override { return d.sheetName(s); }
        void setString(const automation::CellAddress& c, const QString& t) override { d.setString(c, t); }
        void setValue(const automation::CellAddress& c, double v) override { d.setValue(c, v); }
        void setFormula(const automation::CellAddress& c, const QString& f) override { d.setFormula(c, f); }
        void setBlockValues(const automation::CellAddress& c, const QList<QVariantList>& v) override { d.setBlockValues(c, v); }
        void moveRange(const automation::CellAddress& t, const automation::RangeAddress& f) override { d.moveRange(t, f); }
        void copyRange(const automation::CellAddress& t, const automation::RangeAddress& f) override { d.copyRange(t, f); }
        void removeRows(int s, int i, int n) override { d.removeRows(s, i, n); }
        void merge(const automation::RangeAddress& r) override { d.merge(r); }
        void setWrapped(const automation::RangeAddress& r, bool w) override { d.setWrapped(r, w); }
        void setHoriJustify(const automation::RangeAddress& r, int j) override { d.setHoriJustify(r, j); }
        void setFont(const automation::RangeAddress& r, const automation::Font& f) override { d.setFont(r, f); }
        void setTableBorder(const automation::RangeAddress& r, const automation::TableBorder& b) override { d.setTableBorder(r, b); }
        void setTableBorders(const QList<automation::RangeAddress>& r, const automation::TableBorder& b) override
        {
            d.setTableBorders(r, b);
        }
        void setColumnWidth(int s, int c, int w) override { d.setColumnWidth(s, c, w); }
        void lockControllers() override { d.lockControllers(); }
        void unlockControllers() override { d.unlockControllers(); }
        void addActionLock() override { d.addActionLock(); }
        void removeActionLock() override { d.removeActionLock(); }
        void show() override { d.show(); }
        void close() override { d.close(); }
        void storeToFile(const QString& p, const QString& f) override { d.storeToFile(p, f); }
        automation::CellState cellState(const automation::CellAddress& c) override { return d.cellState(c); }
    };
    automation::Office& inner_;
};

using Setup = bench::OfficeRun;

Setup& setup()
{
    static Setup* s = [] {
        auto* s = new Setup;
        s->openDatabase();
        db::Transaction write(&s->database, db::Transaction::writeParams());
        write.start();
        db::Query q(&s->database, &write);
        q.setSql(QStringLiteral("INSERT INTO LOG_TABLE (MY_DATE, MY_TIME, P_LOGIN, P_FIO, ARM, WHAT_ACTION, K_LOGIN) "
                                "VALUES (:D, :T, 'ivanova', 'Иванова Мария Петровна', 'Продукты и блюда', :W, 7)"));
        for (int i = 0; i < 20000; ++i) {
            q.param(QStringLiteral("D")).setDate(QDate(2026, 3, 1).addDays(i % 28));
            q.param(QStringLiteral("T")).setTime(QTime(8, 0).addSecs(i));
            q.param(QStringLiteral("W")).setString(QStringLiteral("Изменена цена продукта «Борщ украинский №%1» с 12,50 на 13,00").arg(i));
            q.execSql();
        }
        write.commit();
        s->startReading(false);
        return s;
    }();
    return *s;
}

void BM_ProtocolPrint(benchmark::State& state)
{
    Setup& s = setup();
    const engine::Context ctx = s.context();
    const protocol::Statement all = protocol::Select({});
    ClosingOffice office(*s.office);
    for (auto _ : state) {
        db::Query list(ctx.database, ctx.read);
        list.setSql(all.sql);
        list.open();
        const QList<reports::ProtocolPrint::Line> lines = reports::ProtocolPrint::LinesOf(list);
        if (lines.size() != 20000 || !reports::ProtocolPrint::Print(office, {lines}))
            state.SkipWithError("the print did not run");
        state.PauseTiming();
        if (office.last)
            office.last->close();
        state.ResumeTiming();
    }
    state.counters["rows"] = 20000;
}
BENCHMARK(BM_ProtocolPrint)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    return bench::RunBenchmarks(argc, argv, [] { setup().finish(); });
}
