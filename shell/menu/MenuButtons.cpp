#include "MenuButtons.h"

#include "ButtonPicture.h"
#include "base/modGlobals.h"
#include "base/modUtil.h"

#include <Command.h>
#include <VbNumber.h>

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include <climits>

using modGlobals::SS;

MenuButtons::MenuButtons(QWidget *form, std::function<bool()> editMode)
    : QObject(form)
    , m_form(form)
    , m_editMode(std::move(editMode))
{
    setObjectName(QStringLiteral("MenuButtons"));
    buttonDelayTimer = new QTimer(form);
    buttonDelayTimer->setObjectName(QStringLiteral("buttonDelayTimer"));
    buttonDelayTimer->setSingleShot(true);
    connect(buttonDelayTimer, &QTimer::timeout, this, &MenuButtons::onButtonDelayTimer);
    // Menu(0) is the control of the form's design: always there, hidden
    // until a record shows through it.
    load(0)->hide();
}

MenuButtons::~MenuButtons() = default;

Command *MenuButtons::Menu(int index) const
{
    return index >= 0 && index < m_menu.size() ? m_menu.at(index) : nullptr;
}

BUTTON *MenuButtons::record(int index) const
{
    if (index < 0 || index > SS.ButtonsMax || !SS.Buttons.has(index))
        return nullptr;
    return &SS.Buttons.at(index);
}

Command *MenuButtons::load(int index)
{
    while (m_menu.size() <= index) {
        const int i = int(m_menu.size());
        auto *control = new Command(m_form);
        control->setObjectName(QStringLiteral("Menu_%1").arg(i));
        control->hide();
        connect(control, &Command::Click, this, [this, i] { emit Click(i); });
        connect(control, &Command::DblClick, this, [this, i] { emit DblClick(i); });
        connect(control, &Command::MouseDown, this,
                [this, i](int &b, int &s, float &x, float &y, bool &cancel) { emit MouseDown(i, b, s, x, y, cancel); });
        connect(control, &Command::MouseMove, this,
                [this, i](int &b, int &s, float &x, float &y) { emit MouseMove(i, b, s, x, y); });
        connect(control, &Command::MouseUp, this,
                [this, i](int &b, int &s, float &x, float &y) { emit MouseUp(i, b, s, x, y); });
        connect(control, &Command::KeyDown, this, [this, i](int &key, int &s) { emit KeyDown(i, key, s); });
        connect(control, &Command::KeyUp, this, [this, i](int &key, int &s) { emit KeyUp(i, key, s); });
        m_menu.append(control);
    }
    return m_menu.at(index);
}

void MenuButtons::unload(int index)
{
    Command *control = m_menu.at(index);
    m_menu.removeAt(index);
    // A control may be unloaded from inside its own click; it goes once the
    // event is over, and meanwhile nobody finds or hears it.
    control->disconnect(this);
    control->setObjectName(QString());
    control->hide();
    control->deleteLater();
}

void MenuButtons::LoadButtons(int index, bool bringToFront)
{
    if (index < 0) {
        for (int i = UBound(); i >= 1; --i)
            unload(i);
        Command *first = m_menu.at(0);
        first->setAutoUpdTsp(false);
        first->hide();
        const int upper = SS.ButtonsMax;
        if (upper < 0 || !SS.Buttons.exists) {
            emit rebuilt(-1);
            return;
        }
        const bool progress = modGlobals::LoadScreenVisible;
        for (int i = 0; i <= upper; ++i) {
            Command *control = load(i);
            control->LockUpdate(true);
            if (BUTTON *button = record(i))
                showRecord(i, *button);
            if (progress) {
                if (upper > 0)
                    emit loadProgress(double(i) / double(upper));
                QCoreApplication::processEvents();
            }
        }
        emit rebuilt(upper);
    } else {
        const bool isNew = index > UBound();
        load(index);
        if (isNew)
            emit buttonLoaded(index);
        if (BUTTON *button = record(index))
            showRecord(index, *button);
        if (bringToFront)
            m_menu.at(index)->raise();
    }
    for (Command *control : std::as_const(m_menu))
        control->LockUpdate(false);
}

void MenuButtons::showRecord(int index, BUTTON &button)
{
    Command *control = m_menu.at(index);
    if (button.InUse >= 1) {
        control->show();
        UpdateButton(index);
    } else {
        control->hide();
    }
    if (m_editMode && m_editMode()) {
        // A parent sees and can pick disabled buttons.
        control->setEnabled(true);
        control->setDrawAsDisabled(button.Enabled == 0);
    }
    control->setSelected(false);
    button.Selected = 0;
}

void MenuButtons::UpdateButton(int index)
{
    Command *control = Menu(index);
    BUTTON *button = record(index);
    if (!control || !button)
        return;
    const bool editing = m_editMode && m_editMode();
    control->move(button->Left, button->Top);
    control->setBackColor(quint32(button->BackColor));
    control->setCaption(modUtil::ExpandPathVars(button->Caption));
    control->setEnabled(editing || button->Enabled != 0);
    QFont font = control->font();
    font.setBold(button->FontBold != 0);
    font.setItalic(button->FontItalic != 0);
    if (!button->FontName.isEmpty())
        font.setFamily(button->FontName);
    if (button->FontSize > 0 && button->FontSize < 2048)
        font.setPointSizeF(button->FontSize);
    control->setFont(font);
    control->setForeColor(quint32(button->ForeColor));
    if (button->Width >= 0 && button->Height >= 0)
        control->resize(button->Width, button->Height);
    control->setPicture(ButtonPicture::LoadButtonPicture(button->PicturePath, button->PictureSize));
    if (button->PictureAlignment >= 0 && button->PictureAlignment <= 2)
        control->setPictureAlignment(Command::pAlignments(button->PictureAlignment));
    if (button->TextAlignment >= 0 && button->TextAlignment <= 2)
        control->setTextAlignment(Command::tAlignments(button->TextAlignment));
    control->setBevel(button->Bevel != 0);
    control->setButtonType(button->Transparent != 0 ? Command::BType::Transparent : Command::BType::CustomButton);
    control->setVisEnabledState(button->NoGray == 0);
    const VbList<QString> &extra = button->ExtraStrings;
    if (!extra.exists)
        return;
    if (extra.has(1))
        control->setMouseOverEffect(!editing && VbNumber::Val(extra.at(1)) == 1.0);
    if (extra.has(4))
        control->setMouseClickStyle(Command::ButtonEdgeStyles(VbNumber::ValInt(extra.at(4))));
    if (extra.has(3))
        control->setMouseOutStyle(Command::ButtonEdgeStyles(VbNumber::ValInt(extra.at(3))));
    if (extra.has(2))
        control->setMouseOverStyle(Command::ButtonEdgeStyles(VbNumber::ValInt(extra.at(2))));
}

void MenuButtons::SetButtonPos(int index)
{
    Command *control = Menu(index);
    BUTTON *button = record(index);
    if (!control || !button)
        return;
    button->Left = control->x();
    button->Top = control->y();
}

void MenuButtons::RefreshPictures()
{
    // Programs installed since the last look get their icons.
    ButtonPicture::ClearCache();
    for (int i = 0; i < m_menu.size(); ++i) {
        if (const BUTTON *button = record(i))
            m_menu.at(i)->setPicture(ButtonPicture::LoadButtonPicture(button->PicturePath, button->PictureSize));
    }
    m_form->update();
}

void MenuButtons::RefreshButtons()
{
    for (Command *control : std::as_const(m_menu))
        control->ReDraw();
}

void MenuButtons::DelayAllButtons()
{
    const qint32 seconds = SS.ButtonFreezeSeconds;
    if (seconds < 1)
        return;
    for (Command *control : std::as_const(m_menu))
        control->setEnabled(false);
    buttonDelayTimer->setInterval(seconds >= INT_MAX / 1000 ? INT_MAX : seconds * 1000);
    buttonDelayTimer->start();
}

void MenuButtons::onButtonDelayTimer()
{
    buttonDelayTimer->stop();
    const bool editing = m_editMode && m_editMode();
    for (int i = 0; i < m_menu.size(); ++i) {
        const BUTTON *button = record(i);
        m_menu.at(i)->setEnabled(editing || (button && button->Enabled != 0));
    }
    RefreshPictures();
}

bool MenuButtons::IsShown(int index) const
{
    const Command *control = Menu(index);
    return control && !control->isHidden();
}

platform::Pid MenuButtons::ProcessId(int index) const
{
    const Command *control = Menu(index);
    return control ? control->ExtraData() : 0;
}

void MenuButtons::SetProcessId(int index, platform::Pid pid)
{
    if (Command *control = Menu(index))
        control->setExtraData(qint32(pid));
}

void MenuButtons::ClearProcess(int index)
{
    if (Command *control = Menu(index)) {
        control->setExtraData(0);
        control->setExtraData2(0);
    }
}

QString MenuButtons::Caption(int index) const
{
    const Command *control = Menu(index);
    return control ? control->Caption() : QString();
}

void MenuButtons::SetCaption(int index, const QString &caption)
{
    if (Command *control = Menu(index))
        control->setCaption(caption);
}

void MenuButtons::FocusMenu()
{
    m_form->activateWindow();
    m_form->setFocus();
}

platform::WindowId MenuButtons::MenuWindow() const
{
    return platform::WindowId(m_form->winId());
}
