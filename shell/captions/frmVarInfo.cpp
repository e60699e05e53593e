#include "frmVarInfo.h"

#include "base/modGlobals.h"
#include "platform/Services.h"

#include <Cp1252.h>

#include <QFile>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

frmVarInfo::frmVarInfo(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmVarInfo"));
    setWindowTitle(QStringLiteral("Variables in Brindle"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    // The help text lines up its columns with spaces.
    Text1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFile file(modGlobals::AppPath() + QStringLiteral("vars.txt"));
    if (file.open(QIODevice::ReadOnly))
        Text1->setPlainText(Cp1252::decode(file.readAll()).remove(QLatin1Char('\r')));
    else
        Text1->setPlainText(QStringLiteral("vars.txt: ") + file.errorString());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Text1);
    resize(620, 480);
}

void frmVarInfo::ShowModal(QWidget *parent)
{
    frmVarInfo form(parent);
    form.setWindowModality(Qt::ApplicationModal);
    platform::Services::windows().setTopMost(&form, true);
    form.exec();
}
