#include "Unit_DirectPrint.h"

#include "Unit_Print.h"
#include "direct/DesignTexts.h"

#include "engine/WriteRoad.h"
#include "ui/InputDialogs.h"
#include "ui/RadioGroup.h"
#include "ui/Scaling.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/ProgramFiles.h"
#include "util/Settings.h"
#include "util/Unit_Util.h"

#include <QFontDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QToolButton>
#include <QVBoxLayout>

TForm_VariantsPrint* Form_VariantsPrint = nullptr;
TForm_PrintParam* Form_PrintParam = nullptr;
TForm_DesignMenu* Form_DesignMenu = nullptr;

TForm_VariantsPrint* VariantsPrint()
{
    if (!Form_VariantsPrint)
        Form_VariantsPrint = new TForm_VariantsPrint;
    return Form_VariantsPrint;
}

TForm_PrintParam* PrintParam()
{
    if (!Form_PrintParam)
        Form_PrintParam = new TForm_PrintParam;
    return Form_PrintParam;
}

TForm_DesignMenu* DesignMenu()
{
    if (!Form_DesignMenu)
        Form_DesignMenu = new TForm_DesignMenu;
    return Form_DesignMenu;
}

// ---- up-down ----

TUpDown::TUpDown(Qt::Orientation orientation, int min, int max, int position, QWidget* parent)
    : QWidget(parent), min_(min), max_(max), position_(position)
{
    up = new QToolButton(this);
    down = new QToolButton(this);
    const bool across = orientation == Qt::Horizontal;
    up->setArrowType(across ? Qt::RightArrow : Qt::UpArrow);
    down->setArrowType(across ? Qt::LeftArrow : Qt::DownArrow);
    up->setAutoRepeat(true);
    down->setAutoRepeat(true);
    // The two arrows stay together however wide the column they sit in.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    QBoxLayout* lay = across ? static_cast<QBoxLayout*>(new QHBoxLayout(this)) : new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    if (across) {
        lay->addWidget(down);
        lay->addWidget(up);
    } else {
        lay->addWidget(up);
        lay->addWidget(down);
    }
    connect(up, &QToolButton::clicked, this, [this] { setPosition(position_ + 1); });
    connect(down, &QToolButton::clicked, this, [this] { setPosition(position_ - 1); });
}

void TUpDown::setPosition(int position)
{
    position = std::clamp(position, min_, max_);
    if (position == position_)
        return;
    position_ = position;
    emit changingEx(position_);
}

// ---- design texts ----

TForm_DesignMenu::TForm_DesignMenu(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Оформление печати  меню"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* lay = new QVBoxLayout(this);
    M_Z = new QPlainTextEdit(this);
    E_T = new QLineEdit(this);
    M_E = new QPlainTextEdit(this);
    auto label = [this](const QString& text) {
        auto* l = new QLabel(text, this);
        l->setWordWrap(true);
        return l;
    };
    lay->addWidget(label(QStringLiteral("Заголовок меню")));
    lay->addWidget(M_Z);
    lay->addWidget(label(QStringLiteral("Оглавление таблицы (печатается перед началом таблицы на каждом листе)")));
    lay->addWidget(E_T);
    lay->addWidget(label(QStringLiteral("Печать окончания меню")));
    lay->addWidget(M_E);
    const OkCancelRow row = AddOkCancelRow(this, lay);
    BitBtn1 = row.ok;
    BitBtn2 = row.cancel;
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn2Click(); }); });
    FormCreate();
    if (MyParams) {
        // The texts shown are the stored ones, loaded with the settings.
        auto load = [this] { setTexts({MyParams->v.DisMenuHead, MyParams->v.DisMenuTab, MyParams->v.DisMenuTail}); };
        connect(MyParams, &TSettings::changed, this, [load](const QString& key) {
            if (key.startsWith(QStringLiteral("DisMenu")))
                load();
        });
        load();
    }
}

void TForm_DesignMenu::FormCreate() { ScaleWindow(this, true); }

direct::DesignTexts TForm_DesignMenu::texts() const { return {M_Z->toPlainText(), E_T->text(), M_E->toPlainText()}; }

void TForm_DesignMenu::setTexts(const direct::DesignTexts& t)
{
    M_Z->setPlainText(direct::MemoLines(t.head).join(QLatin1Char('\n')));
    E_T->setText(t.tab);
    M_E->setPlainText(direct::MemoLines(t.tail).join(QLatin1Char('\n')));
}

void TForm_DesignMenu::BitBtn1Click()
{
    const direct::DesignTexts t = texts();
    if (t.tab.size() > 250) {
        Msg::notice(QStringLiteral("Оглавление таблицы длиннее 250 символов: сократите его."));
        return;
    }
    {
        WriteTransaction w(WriteTransaction::Reserve::Settings);
        direct::StoreDesignTexts(w.context(), t);
        w.commit(QStringLiteral("Настройка"), QStringLiteral("Изменено оформление печати меню"));
    }
    if (MyParams) {
        MyParams->v.DisMenuHead = direct::MemoLines(t.head).join(QStringLiteral("\r\n"));
        MyParams->v.DisMenuTab = t.tab;
        MyParams->v.DisMenuTail = direct::MemoLines(t.tail).join(QStringLiteral("\r\n"));
    }
    accept();
}

void TForm_DesignMenu::BitBtn2Click()
{
    setTexts(direct::ReadDesignTexts(engine::ProgramContext()));
    reject();
}

// ---- the printer's canvas ----

namespace {

class PrinterCanvas : public direct::Canvas {
public:
    PrinterCanvas(QPrinter* printer, direct::FontStyle& style) : printer_(printer), style_(style) {}
    int pageWidth() const override { return printer_->width(); }
    int pageHeight() const override { return printer_->height(); }
    void setFont(const QString& name, int points) override
    {
        font_ = QFont(name);
        // The system font of the start values ("MS Sans Serif") is missing
        // here: a narrow face stands in for it, so that the columns keep
        // their sizes.
        if (!QFontDatabase::hasFamily(name)) {
            font_.setFamily(QStringLiteral("DejaVu Sans"));
            font_.setStretch(QFont::Condensed);
        }
        font_.setPointSize(points);
        applyStyle();
    }
    direct::FontStyle style() const override { return style_; }
    void setStyle(const direct::FontStyle& s) override
    {
        style_ = s;
        applyStyle();
    }
    int textHeight(const QString&) const override { return QFontMetrics(font_, printer_).height(); }
    int textWidth(const QString& text) const override { return QFontMetrics(font_, printer_).horizontalAdvance(text); }
    void textOut(int x, int y, const QString& text) override
    {
        painter_.setFont(font_);
        painter_.drawText(x, y + QFontMetrics(font_, printer_).ascent(), text);
    }
    void line(int x1, int x2, int y, int penWidth) override
    {
        painter_.setPen(QPen(Qt::black, penWidth));
        painter_.drawLine(x1, y, x2, y);
    }
    void beginJob() override
    {
        if (!painter_.begin(printer_))
            throw std::runtime_error("Принтер не готов к печати.");
    }
    void newPage() override { printer_->newPage(); }
    void endJob() override { painter_.end(); }

private:
    void applyStyle()
    {
        font_.setBold(style_.bold);
        font_.setItalic(style_.italic);
        font_.setUnderline(style_.underline);
        font_.setStrikeOut(style_.strikeOut);
    }
    QPrinter* printer_;
    direct::FontStyle& style_;
    QPainter painter_;
    QFont font_;
};

direct::FontStyle StyleOf(const QFont& f) { return {f.bold(), f.italic(), f.underline(), f.strikeOut()}; }

} // namespace

// ---- parameters ----

TForm_PrintParam::TForm_PrintParam(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Параметры прямой печати"));
    printer = new QPrinter(QPrinter::HighResolution);
    auto* grid = new QGridLayout(this);
    auto pair = [this](TUpDown*& ud, QLineEdit*& e, Qt::Orientation o, int min, int max) {
        ud = new TUpDown(o, min, max, min, this);
        e = new QLineEdit(this);
        e->setReadOnly(true);
        connect(ud, &TUpDown::changingEx, e, [e](int v) { e->setText(QString::number(v)); });
    };
    pair(MWidth, E_MWidth, Qt::Horizontal, 1, 200);
    pair(MHeight, E_MHeight, Qt::Vertical, 1, 200);
    pair(OWidth, E_OWidth, Qt::Horizontal, 1, 200);
    pair(OHeight, E_OHeight, Qt::Vertical, 1, 200);
    pair(HStr, E_HStr, Qt::Vertical, 1, 40);
    grid->addWidget(new QLabel(QStringLiteral("Масштаб (%) ->"), this), 0, 0);
    grid->addWidget(E_MWidth, 0, 1);
    grid->addWidget(MWidth, 0, 2);
    grid->addWidget(E_MHeight, 0, 3);
    grid->addWidget(MHeight, 0, 4);
    grid->addWidget(new QLabel(QStringLiteral("Отступ (мм) ->"), this), 1, 0);
    grid->addWidget(E_OWidth, 1, 1);
    grid->addWidget(OWidth, 1, 2);
    grid->addWidget(E_OHeight, 1, 3);
    grid->addWidget(OHeight, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("Высота строки (мм) ->"), this), 2, 0);
    grid->addWidget(E_HStr, 2, 1);
    grid->addWidget(HStr, 2, 2);
    LineExist = new QCheckBox(QStringLiteral("Линии"), this);
    grid->addWidget(LineExist, 3, 0, 1, 5);
    BitBtn2 = new QPushButton(QStringLiteral("Шрифт для печати"), this);
    BitBtn1 = new QPushButton(QStringLiteral("Настройка принтера"), this);
    BitBtn4 = new QPushButton(QStringLiteral("Настройка заголовка и окончания печати меню"), this);
    grid->addWidget(BitBtn2, 4, 0, 1, 5);
    grid->addWidget(BitBtn1, 5, 0, 1, 5);
    grid->addWidget(BitBtn4, 6, 0, 1, 5);
    for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn4})
        b->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn2Click(); }); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn4Click(); }); });
    printerSetup = [this](QPrinter* p) { return QPrintDialog(p, this).exec() == QDialog::Accepted; };
    fontDialog = [this](QFont& f) {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, f, this, QStringLiteral("Шрифт для печати"));
        if (ok)
            f = chosen;
        return ok;
    };
    FormCreate();
}

TForm_PrintParam::~TForm_PrintParam() { delete printer; }

void TForm_PrintParam::FormCreate()
{
    resize(sizeHint());
    ScaleWindow(this, true);
    // Room for three digits in the window's grown font.
    for (QLineEdit* e : {E_MWidth, E_MHeight, E_OWidth, E_OHeight, E_HStr})
        e->setMaximumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("00000")));
    MWidth->setPosition(100);
    MHeight->setPosition(100);
    OWidth->setPosition(10);
    OHeight->setPosition(10);
    HStr->setPosition(6);
    for (auto [ud, e] : {std::pair{MWidth, E_MWidth}, {MHeight, E_MHeight}, {OWidth, E_OWidth}, {OHeight, E_OHeight},
                         {HStr, E_HStr}})
        e->setText(QString::number(ud->position()));
    LineExist->setChecked(true);
    font = QFont(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
}

void TForm_PrintParam::BitBtn1Click() { printerSetup(printer); }

void TForm_PrintParam::BitBtn2Click() { fontDialog(font); }

void TForm_PrintParam::BitBtn4Click() { Msg::execModal(DesignMenu()); }

direct::PrintParams TForm_PrintParam::params() const
{
    direct::PrintParams p;
    p.scaleWidth = MWidth->position();
    p.scaleHeight = MHeight->position();
    p.leftMargin = OWidth->position();
    p.topMargin = OHeight->position();
    p.linePitch = HStr->position();
    p.lines = LineExist->isChecked();
    p.fontName = font.family();
    p.fontSize = font.pointSize();
    p.fontStyle = StyleOf(font);
    return p;
}

void TForm_PrintParam::writeParFile(int road) const
{
    direct::PrtParLines l;
    l.road = road;
    l.leftMargin = E_OWidth->text();
    l.topMargin = E_OHeight->text();
    l.scaleWidth = E_MWidth->text();
    l.scaleHeight = E_MHeight->text();
    l.linePitch = E_HStr->text();
    l.lines = LineExist->isChecked();
    l.fontName = font.family();
    l.fontPoints = font.pointSize();
    direct::WritePrtPar(programFolder() + QStringLiteral("MyPrtPar.txt"), l);
}

void TForm_PrintParam::print(const std::function<void(direct::Canvas&, const direct::PrintParams&)>& job)
{
    PrinterCanvas canvas(printer, canvasStyle_);
    job_ = &canvas;
    try {
        job(canvas, params());
    } catch (...) {
        job_ = nullptr;
        throw;
    }
    job_ = nullptr;
}

void TForm_PrintParam::PrintCell(int x, int& line, int sizeCap, const QString& text, bool rule)
{
    if (job_)
        direct::PrintCell(*job_, params(), x, line, sizeCap, text, rule);
}

// ---- variants ----

TForm_VariantsPrint::TForm_VariantsPrint(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Выбор"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* lay = new QVBoxLayout(this);
    RadioGroup1 = new TRadioGroup(QStringLiteral("Варианты печати отчётов"),
                                  {QStringLiteral("MS Office (EXCEL)"),
                                   QStringLiteral("Прямая печать на принтер  ( совместимость с LINUX )")},
                                  this);
    RadioGroup1->setItemIndex(0);
    RadioGroup1->hide();
    BitBtn1 = new QPushButton(QStringLiteral("Настройка шаблонов (EXCEL)"), this);
    BitBtn2 = new QPushButton(QStringLiteral("Настройка прямой печати"), this);
    lay->addWidget(RadioGroup1);
    lay->addWidget(BitBtn1);
    lay->addWidget(BitBtn2);
    connect(RadioGroup1, &TRadioGroup::clicked, this, [this] { Guard([this] { RadioGroup1Click(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn2Click(); }); });
    resize(sizeHint());
    ScaleWindow(this, true);
}

void TForm_VariantsPrint::showEvent(QShowEvent* e)
{
    FormShow();
    QDialog::showEvent(e);
}

void TForm_VariantsPrint::FormShow()
{
    const bool templates = RadioGroup1->itemIndex() == 0;
    BitBtn1->setEnabled(templates);
    BitBtn2->setEnabled(!templates);
}

void TForm_VariantsPrint::RadioGroup1Click()
{
    FormShow();
    if (StartupDone)
        PrintParam()->writeParFile(RadioGroup1->itemIndex() == 0 ? 0 : 1);
}

void TForm_VariantsPrint::BitBtn1Click()
{
    PrintParam()->writeParFile(0);
    Msg::execModal(Form_Print);
    close();
}

void TForm_VariantsPrint::BitBtn2Click()
{
    PrintParam()->writeParFile(1);
    Msg::execModal(PrintParam());
    close();
}
