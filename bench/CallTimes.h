#pragma once

// An office that counts and times every call its documents pass on, by the
// call's name: where a print spends its time between our process and the
// office. Set TARELIA_BENCH_CALLS=1 to have a benchmark print the table.

#include "automation/Spreadsheet.h"

#include <QElapsedTimer>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace bench {

class CallTimes {
public:
    struct Entry {
        long long calls = 0;
        qint64 nanoseconds = 0;
    };

    // Adds the time since `timer` started to `name`.
    void add(const char* name, const QElapsedTimer& timer)
    {
        Entry& e = entries_[name];
        ++e.calls;
        e.nanoseconds += timer.nsecsElapsed();
    }

    void clear() { entries_.clear(); }

    // The table, per run of `runs`.
    void print(int runs) const
    {
        qint64 total = 0;
        for (const auto& [name, e] : entries_)
            total += e.nanoseconds;
        std::printf("%-20s %10s %10s\n", "call", "calls/run", "ms/run");
        for (const auto& [name, e] : entries_)
            std::printf("%-20s %10lld %10.1f\n", name.c_str(), e.calls / runs, e.nanoseconds / 1e6 / runs);
        std::printf("%-20s %10s %10.1f\n", "all office calls", "", total / 1e6 / runs);
    }

private:
    std::map<std::string, Entry> entries_;
};

class TimingOffice : public automation::Office {
public:
    TimingOffice(automation::Office& inner, CallTimes& times) : inner_(inner), times_(times) {}
    bool connect() override { return inner_.connect(); }
    void disconnect() override { inner_.disconnect(); }
    bool connected() const override { return inner_.connected(); }
    std::unique_ptr<automation::Document> newCalc() override
    {
        QElapsedTimer t;
        t.start();
        auto d = inner_.newCalc();
        times_.add("newCalc", t);
        return std::make_unique<Doc>(std::move(d), times_);
    }
    std::unique_ptr<automation::Document> loadDocument(const QString& path) override
    {
        QElapsedTimer t;
        t.start();
        auto d = inner_.loadDocument(path);
        times_.add("loadDocument", t);
        return std::make_unique<Doc>(std::move(d), times_);
    }
    std::unique_ptr<automation::Document> editDocument(const QString& path) override
    {
        return std::make_unique<Doc>(inner_.editDocument(path), times_);
    }

private:
    class Doc : public automation::Document {
    public:
        Doc(std::unique_ptr<automation::Document> d, CallTimes& times) : d_(std::move(d)), times_(times) {}

        template <class F>
        auto timed(const char* name, F f)
        {
            QElapsedTimer t;
            t.start();
            struct Add {
                CallTimes& times;
                const char* name;
                QElapsedTimer& t;
                ~Add() { times.add(name, t); }
            } add{times_, name, t};
            return f();
        }

        int sheetCount() override { return timed("sheetCount", [&] { return d_->sheetCount(); }); }
        void insertSheet(int i, const QString& n) override { timed("insertSheet", [&] { d_->insertSheet(i, n); }); }
        QString sheetName(int s) override { return timed("sheetName", [&] { return d_->sheetName(s); }); }
        void setString(const automation::CellAddress& c, const QString& t) override
        {
            timed("setString", [&] { d_->setString(c, t); });
        }
        void setValue(const automation::CellAddress& c, double v) override
        {
            timed("setValue", [&] { d_->setValue(c, v); });
        }
        void setFormula(const automation::CellAddress& c, const QString& f) override
        {
            timed("setFormula", [&] { d_->setFormula(c, f); });
        }
        void setBlockValues(const automation::CellAddress& c, const QList<QVariantList>& v) override
        {
            timed("setBlockValues", [&] { d_->setBlockValues(c, v); });
        }
        void moveRange(const automation::CellAddress& t, const automation::RangeAddress& f) override
        {
            timed("moveRange", [&] { d_->moveRange(t, f); });
        }
        void copyRange(const automation::CellAddress& t, const automation::RangeAddress& f) override
        {
            timed("copyRange", [&] { d_->copyRange(t, f); });
        }
        void removeRows(int s, int i, int n) override { timed("removeRows", [&] { d_->removeRows(s, i, n); }); }
        void merge(const automation::RangeAddress& r) override { timed("merge", [&] { d_->merge(r); }); }
        void setWrapped(const automation::RangeAddress& r, bool w) override
        {
            timed("setWrapped", [&] { d_->setWrapped(r, w); });
        }
        void setHoriJustify(const automation::RangeAddress& r, int j) override
        {
            timed("setHoriJustify", [&] { d_->setHoriJustify(r, j); });
        }
        void setFont(const automation::RangeAddress& r, const automation::Font& f) override
        {
            timed("setFont", [&] { d_->setFont(r, f); });
        }
        void setTableBorder(const automation::RangeAddress& r, const automation::TableBorder& b) override
        {
            timed("setTableBorder", [&] { d_->setTableBorder(r, b); });
        }
        void setTableBorders(const QList<automation::RangeAddress>& r, const automation::TableBorder& b) override
        {
            timed("setTableBorders", [&] { d_->setTableBorders(r, b); });
        }
        void setWrappedOn(const QList<automation::RangeAddress>& r, bool w) override
        {
            timed("setWrappedOn", [&] { d_->setWrappedOn(r, w); });
        }
        void setHoriJustifyOn(const QList<automation::RangeAddress>& r, int j) override
        {
            timed("setHoriJustifyOn", [&] { d_->setHoriJustifyOn(r, j); });
        }
        void setFontOn(const QList<automation::RangeAddress>& r, const automation::Font& f) override
        {
            timed("setFontOn", [&] { d_->setFontOn(r, f); });
        }
        void setColumnWidth(int s, int c, int w) override
        {
            timed("setColumnWidth", [&] { d_->setColumnWidth(s, c, w); });
        }
        void setColumnWidths(int s, int first, const QList<int>& w) override
        {
            timed("setColumnWidths", [&] { d_->setColumnWidths(s, first, w); });
        }
        void fitRowHeights(int s, int first, int last) override
        {
            timed("fitRowHeights", [&] { d_->fitRowHeights(s, first, last); });
        }
        void fitRowsAtUnlock(int s, int first, int last) override
        {
            timed("fitRowsAtUnlock", [&] { d_->fitRowsAtUnlock(s, first, last); });
        }
        void keepRowsTogether(int s, const QList<std::pair<int, int>>& blocks) override
        {
            timed("keepRowsTogether", [&] { d_->keepRowsTogether(s, blocks); });
        }
        void lockControllers() override { timed("lockControllers", [&] { d_->lockControllers(); }); }
        void unlockControllers() override { timed("unlockControllers", [&] { d_->unlockControllers(); }); }
        void addActionLock() override { timed("addActionLock", [&] { d_->addActionLock(); }); }
        void removeActionLock() override { timed("removeActionLock", [&] { d_->removeActionLock(); }); }
        void show() override { timed("show", [&] { d_->show(); }); }
        void close() override { d_->close(); }
        void setSheetName(int s, const QString& n) override { timed("setSheetName", [&] { d_->setSheetName(s, n); }); }
        void removeSheet(int s) override { timed("removeSheet", [&] { d_->removeSheet(s); }); }
        void setBlockFormulas(const automation::CellAddress& c, const QList<QStringList>& f) override
        {
            timed("setBlockFormulas", [&] { d_->setBlockFormulas(c, f); });
        }
        void setCharColor(const QList<automation::RangeAddress>& r, int c) override
        {
            timed("setCharColor", [&] { d_->setCharColor(r, c); });
        }
        void setVertJustify(const automation::RangeAddress& r, int j) override
        {
            timed("setVertJustify", [&] { d_->setVertJustify(r, j); });
        }
        void setNumberFormat(const automation::RangeAddress& r, const QString& f) override
        {
            timed("setNumberFormat", [&] { d_->setNumberFormat(r, f); });
        }
        void setNumberFormatOn(const QList<automation::RangeAddress>& r, const QString& f) override
        {
            timed("setNumberFormatOn", [&] { d_->setNumberFormatOn(r, f); });
        }
        QString numberFormat(const automation::CellAddress& c) override
        {
            return timed("numberFormat", [&] { return d_->numberFormat(c); });
        }
        void setPageMargins(int s, const automation::PageMargins& m) override
        {
            timed("setPageMargins", [&] { d_->setPageMargins(s, m); });
        }
        automation::PageMargins pageMargins(int s) override
        {
            return timed("pageMargins", [&] { return d_->pageMargins(s); });
        }
        void setLandscape(int s) override { timed("setLandscape", [&] { d_->setLandscape(s); }); }
        void storeToFile(const QString& p, const QString& f) override { d_->storeToFile(p, f); }
        automation::CellState cellState(const automation::CellAddress& c) override
        {
            return timed("cellState", [&] { return d_->cellState(c); });
        }
        std::optional<QList<automation::RangeAddress>> filledCells(const automation::RangeAddress& r) override
        {
            return timed("filledCells", [&] { return d_->filledCells(r); });
        }
        std::optional<Contents> contents(const automation::RangeAddress& r) override
        {
            return timed("contents", [&] { return d_->contents(r); });
        }

    private:
        std::unique_ptr<automation::Document> d_;
        CallTimes& times_;
    };

    automation::Office& inner_;
    CallTimes& times_;
};

} // namespace bench
