#include "Messages.h"

#include "Zoom.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

#include <stdexcept>

namespace Msg {

namespace {

Responder& responder()
{
    static Responder r;
    return r;
}

QString appCaption(const QString& caption)
{
    return caption.isEmpty() ? QStringLiteral("Тарелия") : caption;
}

std::function<bool()>& roadProbe()
{
    static std::function<bool()> probe;
    return probe;
}

void checkNoRoad(const QString& what)
{
    if (refuseInsideRoad && roadProbe() && roadProbe()())
        throw std::logic_error("a window waits on the user inside an open write road: " + what.toStdString());
}

int show(const Request& req)
{
    checkNoRoad(req.text);
    if (responder())
        return responder()(req);
    QMessageBox box(QApplication::activeWindow());
    ZoomFont(&box);  // scaled with the program's windows
    box.setWindowTitle(appCaption(req.caption));
    box.setText(req.text);
    switch (req.kind) {
    case Kind::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Kind::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case Kind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
    }
    if (req.kind == Kind::Confirm) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("Отмена"));
        box.setDefaultButton(req.cancelDefault ? QMessageBox::Cancel : QMessageBox::Ok);
        return box.exec() == QMessageBox::Ok ? 1 : 0;
    }
    if (req.kind == Kind::Choice) {
        QList<QAbstractButton*> buttons;
        for (const QString& o : req.options)
            buttons.append(box.addButton(o, QMessageBox::AcceptRole));
        box.exec();
        return static_cast<int>(buttons.indexOf(box.clickedButton()));
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return 0;
}

} // namespace

void notice(const QString& text, const QString& caption) { show({Kind::Notice, text, caption, {}}); }
void warning(const QString& text, const QString& caption) { show({Kind::Warning, text, caption, {}}); }
void error(const QString& text, const QString& caption) { show({Kind::Error, text, caption, {}}); }
void information(const QString& text, const QString& caption) { show({Kind::Information, text, caption, {}}); }
void notBuilt(const QString& caption)
{
    notice(QStringLiteral("Эта функция в этой версии программы ещё не доступна."), caption);
}
bool confirm(const QString& text, const QString& caption) { return show({Kind::Confirm, text, caption, {}}) == 1; }
bool confirmDestructive(const QString& text, const QString& caption)
{
    return show({Kind::Confirm, text, caption, {}, true}) == 1;
}
int choice(const QString& text, const QStringList& options, const QString& caption)
{
    return show({Kind::Choice, text, caption, options});
}

void setResponder(Responder r) { responder() = std::move(r); }

void setRoadProbe(std::function<bool()> probe) { roadProbe() = std::move(probe); }

namespace {
ModalHandler& modalHandler()
{
    static ModalHandler h;
    return h;
}
} // namespace

int execModal(QDialog* dialog)
{
    checkNoRoad(dialog->windowTitle());
    if (modalHandler())
        return modalHandler()(dialog);
    return dialog->exec();
}

void setModalHandler(ModalHandler h) { modalHandler() = std::move(h); }

} // namespace Msg
