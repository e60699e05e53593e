#pragma once

#include <QString>

class Command;
class QDialog;
class QLabel;
class QLineEdit;
class QSize;
class QTimer;

// Pieces the two password dialogs build alike.
namespace DialogParts {

QLabel *Label(QDialog *dialog, const char *name, const QString &text);

// The masked password box; its owner filters its keys (Enter acts).
QLineEdit *MaskedField(QDialog *dialog, QLabel *label);

Command *Button(QDialog *dialog, const char *name, const QString &caption, const QSize &size);

// A 10 ms one-shot timer that puts the focus into the field once the dialog is up.
QTimer *FocusTimer(QDialog *dialog, QLineEdit *field);

} // namespace DialogParts
