#pragma once

#include "automation/Spreadsheet.h"

#include <memory>
#include <vector>

// Keeps every document the report opens, so the test can store it after the
// run has handed it to the user. With `oneCallAtATime`, a call the office
// may leave going on in the background (a copy, a column width) is waited
// for before the report goes on: the calls land one after another, in order.
class KeepingOffice : public automation::Office {
public:
    explicit KeepingOffice(automation::Office& inner) : inner_(inner) {}
    bool connect() override { return inner_.connect(); }
    void disconnect() override { inner_.disconnect(); }
    bool connected() const override { return inner_.connected(); }
    std::unique_ptr<automation::Document> newCalc() override { return keep(inner_.newCalc()); }
    std::unique_ptr<automation::Document> loadDocument(const QString& path) override { return keep(inner_.loadDocument(path)); }
    std::unique_ptr<automation::Document> editDocument(const QString& path) override { return keep(inner_.editDocument(path)); }
    bool hasFont(const QString& family) override { return inner_.hasFont(family); }

    std::vector<std::shared_ptr<automation::Document>> documents;
    bool oneCallAtATime = false;

private:
    class Handle : public automation::Document {
    public:
        Handle(std::shared_ptr<automation::Document> d, bool oneAtATime) : d_(std::move(d)), oneAtATime_(oneAtATime) {}
        int sheetCount() override { return d_->sheetCount(); }
        void insertSheet(int i, const QString& n) override { d_->insertSheet(i, n); }
        QString sheetName(int s) override { return d_->sheetName(s); }
        void setString(const automation::CellAddress& c, const QString& t) override { d_->setString(c, t); }
        void setValue(const automation::CellAddress& c, double v) override { d_->setValue(c, v); }
        void setFormula(const automation::CellAddress& c, const QString& f) override { d_->setFormula(c, f); }
        void setBlockValues(const automation::CellAddress& c, const QList<QVariantList>& v) override
        {
            d_->setBlockValues(c, v);
        }
        void moveRange(const automation::CellAddress& t, const automation::RangeAddress& f) override
        {
            d_->moveRange(t, f);
        }
        void copyRange(const automation::CellAddress& t, const automation::RangeAddress& f) override
        {
            d_->copyRange(t, f);
            waitIfAsked();
        }
        void removeRows(int s, int i, int n) override { d_->removeRows(s, i, n); }
        void merge(const automation::RangeAddress& r) override { d_->merge(r); }
        void setWrapped(const automation::RangeAddress& r, bool w) override { d_->setWrapped(r, w); }
        void setHoriJustify(const automation::RangeAddress& r, int j) override { d_->setHoriJustify(r, j); }
        void setFont(const automation::RangeAddress& r, const automation::Font& f) override { d_->setFont(r, f); }
        void setTableBorder(const automation::RangeAddress& r, const automation::TableBorder& b) override
        {
            d_->setTableBorder(r, b);
        }
        void setTableBorders(const QList<automation::RangeAddress>& r, const automation::TableBorder& b) override
        {
            d_->setTableBorders(r, b);
        }
        void setWrappedOn(const QList<automation::RangeAddress>& r, bool w) override { d_->setWrappedOn(r, w); }
        void setHoriJustifyOn(const QList<automation::RangeAddress>& r, int j) override { d_->setHoriJustifyOn(r, j); }
        void setFontOn(const QList<automation::RangeAddress>& r, const automation::Font& f) override
        {
            d_->setFontOn(r, f);
        }
        void setColumnWidth(int s, int c, int w) override
        {
            d_->setColumnWidth(s, c, w);
            waitIfAsked();
        }
        void setColumnWidths(int s, int first, const QList<int>& w) override
        {
            d_->setColumnWidths(s, first, w);
            waitIfAsked();
        }
        void fitRowHeights(int s, int first, int last) override { d_->fitRowHeights(s, first, last); }
        void fitRowsAtUnlock(int s, int first, int last) override { d_->fitRowsAtUnlock(s, first, last); }
        void keepRowsTogether(int s, const QList<std::pair<int, int>>& blocks) override
        {
            d_->keepRowsTogether(s, blocks);
        }
        void lockControllers() override { d_->lockControllers(); }
        void unlockControllers() override { d_->unlockControllers(); }
        void addActionLock() override { d_->addActionLock(); }
        void removeActionLock() override { d_->removeActionLock(); }
        void show() override { d_->show(); }
        void close() override { d_->close(); }
        void setSheetName(int s, const QString& n) override { d_->setSheetName(s, n); }
        void removeSheet(int s) override { d_->removeSheet(s); }
        void setBlockFormulas(const automation::CellAddress& c, const QList<QStringList>& f) override
        {
            d_->setBlockFormulas(c, f);
        }
        void setCharColor(const QList<automation::RangeAddress>& r, int c) override { d_->setCharColor(r, c); }
        void setVertJustify(const automation::RangeAddress& r, int j) override { d_->setVertJustify(r, j); }
        void setNumberFormat(const automation::RangeAddress& r, const QString& f) override { d_->setNumberFormat(r, f); }
        void setNumberFormatOn(const QList<automation::RangeAddress>& r, const QString& f) override
        {
            d_->setNumberFormatOn(r, f);
        }
        QString numberFormat(const automation::CellAddress& c) override { return d_->numberFormat(c); }
        void setPageMargins(int s, const automation::PageMargins& m) override { d_->setPageMargins(s, m); }
        automation::PageMargins pageMargins(int s) override { return d_->pageMargins(s); }
        void setLandscape(int s) override { d_->setLandscape(s); }
        void storeToFile(const QString& p, const QString& f) override { d_->storeToFile(p, f); }
        automation::CellState cellState(const automation::CellAddress& c) override { return d_->cellState(c); }
        std::optional<QList<automation::RangeAddress>> filledCells(const automation::RangeAddress& r) override
        {
            return d_->filledCells(r);
        }
        std::optional<Contents> contents(const automation::RangeAddress& r) override { return d_->contents(r); }

    private:
        // Any other call waits for what goes on in the background.
        void waitIfAsked()
        {
            if (oneAtATime_)
                d_->sheetCount();
        }
        std::shared_ptr<automation::Document> d_;
        bool oneAtATime_ = false;
    };

    std::unique_ptr<automation::Document> keep(std::unique_ptr<automation::Document> d)
    {
        std::shared_ptr<automation::Document> shared(std::move(d));
        documents.push_back(shared);
        return std::make_unique<Handle>(shared, oneCallAtATime);
    }
    automation::Office& inner_;
};
