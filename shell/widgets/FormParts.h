#pragma once

#include <QColor>
#include <QString>

class Command;
class QDialog;
class QLabel;
class QLineEdit;
class QSize;
class QWidget;
class QTimer;

// Pieces the shell's forms build alike.
namespace FormParts {

// The menu's background colour and its text colour; the text turns black or
// white where the two would be too alike to read.
struct Colours {
    QColor back;
    QColor text;
};
Colours MenuColours();

QLabel *Label(QDialog *dialog, const char *name, const QString &text);

// The masked password box; Enter in it clicks confirm.
QLineEdit *MaskedField(QDialog *dialog, QLabel *label, Command *confirm);

// A button of the suite's own control with its name and caption.
Command *Button(QWidget *parent, const char *name, const QString &caption, const QSize &size);

// A 10 ms one-shot timer that puts the focus into the field once the dialog is up.
QTimer *FocusTimer(QDialog *dialog, QLineEdit *field);

// The font chooser over a sample label: takes the chosen family, size, bold
// and italic (the sample keeps the rest). False when the parent cancelled.
bool ChooseSampleFont(QLabel *sample);

// The four labels describing the sample: "Name:", "Size:", "Bold:", "Italic:".
void WriteFontLabels(const QLabel *sample, QLabel *const labels[4]);

// A translucent colour laid over an opaque one, as the opaque colour it gives.
// Edges and grid lines are painted opaque: Qt's raster engine hands translucent
// fills of many rows to its worker threads, which then wake with every repaint
// of an idle bar.
QColor Over(const QColor &top, const QColor &under);

} // namespace FormParts
