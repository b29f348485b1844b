#include "ProgramOffice.h"

namespace automation {

namespace {

class NoOffice : public Office {
public:
    bool connect() override { return false; }
    void disconnect() override {}
    bool connected() const override { return false; }
    std::unique_ptr<Document> newCalc() override { throw OfficeError("no office"); }
    std::unique_ptr<Document> loadDocument(const QString&) override { throw OfficeError("no office"); }
    std::unique_ptr<Document> editDocument(const QString&) override { throw OfficeError("no office"); }
};

std::unique_ptr<Office>& slot()
{
    static std::unique_ptr<Office> office = std::make_unique<NoOffice>();
    return office;
}

bool installed = false;

} // namespace

Office& ProgramOffice() { return *slot(); }

void SetProgramOffice(std::unique_ptr<Office> office)
{
    OfficeVariants().OfficeDocument.reset();
    installed = office != nullptr;
    slot() = office ? std::move(office) : std::make_unique<NoOffice>();
}

bool ProgramOfficeInstalled() { return installed; }

OfficeVariantsT& OfficeVariants()
{
    static OfficeVariantsT v;
    return v;
}

bool OfficeConnect() { return ProgramOffice().connect(); }

bool OfficeNewCalc()
{
    try {
        OfficeVariants().OfficeDocument = ProgramOffice().newCalc();
    } catch (const OfficeStopped&) {
        OfficeVariants().OfficeDocument.reset();
        throw;
    } catch (const OfficeError&) {
        OfficeVariants().OfficeDocument.reset();
    }
    return OfficeVariants().OfficeDocument != nullptr;
}

bool OfficeLoadDocument(const QString& path)
{
    try {
        OfficeVariants().OfficeDocument = ProgramOffice().loadDocument(path);
    } catch (const OfficeStopped&) {
        OfficeVariants().OfficeDocument.reset();
        throw;
    } catch (const OfficeError&) {
        OfficeVariants().OfficeDocument.reset();
    }
    return OfficeVariants().OfficeDocument != nullptr;
}

void OfficeDisconnect() { ProgramOffice().disconnect(); }

} // namespace automation
