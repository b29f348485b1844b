#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QWidget;

// The one dialog service of the program: notices, OK/Cancel confirmations and
// choices. Tests install a responder that records the texts and answers.
namespace Msg {

enum class Kind { Notice, Warning, Error, Information, Confirm, Choice };

struct Request {
    Kind kind;
    QString text;
    QString caption;
    QStringList options;  // Choice: the buttons, in order
    bool cancelDefault = false;  // Confirm: Cancel, not OK, is the default button
};

// Returns: Notice-like kinds 0; Confirm 1 for OK, 0 for Cancel; Choice the index chosen (-1 cancelled).
using Responder = std::function<int(const Request&)>;

// Plain message with an OK button.
void notice(const QString& text, const QString& caption = QString());
void warning(const QString& text, const QString& caption = QString());
void error(const QString& text, const QString& caption = QString());
void information(const QString& text, const QString& caption = QString());
// Says that what the control starts is not in this version of the program,
// for a control whose window or handler is not there yet.
void notBuilt(const QString& caption = {});
// OK/Cancel without an icon, the caption naming the action; true on OK.
bool confirm(const QString& text, const QString& caption = QString());
// The same for every question whose OK deletes, clears, fills anew or writes
// over what is there: Cancel is the default button, so Enter pressed out of
// habit loses nothing.
bool confirmDestructive(const QString& text, const QString& caption = QString());
// One of several buttons; the index chosen, -1 when the dialog was closed.
int choice(const QString& text, const QStringList& options, const QString& caption = QString());

// Replaces the dialogs (tests); an empty responder restores them.
void setResponder(Responder responder);

// Nothing waits on the user inside an open write road: a message or a modal
// dialog asked for while the probe says a road is open is a programming
// error. With refuseInsideRoad set (the tests set it) it is refused
// (std::logic_error) before anything is shown; in use it is shown all the
// same, so that no answer the handler needs is lost.
void setRoadProbe(std::function<bool()> probe);
inline bool refuseInsideRoad = false;

// A window's own modal dialog (a picker, an edit dialog): runs it and returns
// its result, QDialog::Accepted or QDialog::Rejected, as exec() does. Tests
// install a handler that acts on the dialog instead of its event loop.
int execModal(QDialog* dialog);
using ModalHandler = std::function<int(QDialog*)>;
// An empty handler restores the real modal loop.
void setModalHandler(ModalHandler handler);

} // namespace Msg
