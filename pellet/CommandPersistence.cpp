// Saving and loading Command properties through a host's property bag.

#include "Command.h"
#include "PropertyBag.h"

#include <QGuiApplication>

namespace {

QVariant pictureValue(const QPixmap &pixmap)
{
    return pixmap.isNull() ? QVariant() : QVariant(pixmap);
}

QPixmap pictureFrom(const QVariant &value)
{
    if (value.typeId() == QMetaType::QImage)
        return QPixmap::fromImage(value.value<QImage>());
    if (value.typeId() == QMetaType::QPixmap)
        return value.value<QPixmap>();
    return QPixmap();
}

QFont containerFont(const QWidget *w)
{
    return w->parentWidget() ? w->parentWidget()->font() : QGuiApplication::font();
}

} // namespace

void Command::WriteProperties(PropertyBag &bag) const
{
    bag.WriteProperty(QStringLiteral("TextAlignment"), int(m_textAlignment), 1);
    bag.WriteProperty(QStringLiteral("PictureAlignment"), int(m_pictureAlignment), 0);
    bag.WriteProperty(QStringLiteral("Caption"), m_caption, QString());
    bag.WriteProperty(QStringLiteral("Picture"), pictureValue(m_picture), QVariant());
    bag.WriteProperty(QStringLiteral("BackColor"), uint(m_backColor), uint(OleColor::ButtonFace));
    bag.WriteProperty(QStringLiteral("ForeColor"), uint(m_foreColor), uint(OleColor::ButtonText));
    bag.WriteProperty(QStringLiteral("Font"), font(), containerFont(this));
    bag.WriteProperty(QStringLiteral("FocusRect"), m_focusRect, false);
    bag.WriteProperty(QStringLiteral("Gab"), m_gab, 5);
    bag.WriteProperty(QStringLiteral("Enabled"), Enabled(), true);
    bag.WriteProperty(QStringLiteral("ClickEffect"), int(m_clickEffect), 0);
    bag.WriteProperty(QStringLiteral("ButtonType"), int(m_buttonType), 0);
    bag.WriteProperty(QStringLiteral("DrawAsDisabled"), m_drawAsDisabled, false);
    bag.WriteProperty(QStringLiteral("ExtraData"), m_extraData, 0);
    bag.WriteProperty(QStringLiteral("ExtraData2"), m_extraData2, 0);
    bag.WriteProperty(QStringLiteral("Selected"), m_selected, false);
    bag.WriteProperty(QStringLiteral("MousePointer"), m_mousePointer, 0);
    bag.WriteProperty(QStringLiteral("Bevel"), m_bevel, true);
    bag.WriteProperty(QStringLiteral("AutoUpdTsp"), m_autoUpdTsp, false);
    bag.WriteProperty(QStringLiteral("AutoUpdTspInterval"), m_autoUpdTspInterval, 10);
    bag.WriteProperty(QStringLiteral("VisEnabledState"), m_visEnabledState, true);
    bag.WriteProperty(QStringLiteral("MouseIcon"), pictureValue(m_mouseIcon), QVariant());
    bag.WriteProperty(QStringLiteral("MouseOverEffect"), m_mouseOverEffect, true);
    bag.WriteProperty(QStringLiteral("MouseOverStyle"), int(m_mouseOverStyle), 2);
    bag.WriteProperty(QStringLiteral("MouseClickStyle"), int(m_mouseClickStyle), 0);
    bag.WriteProperty(QStringLiteral("MouseOutStyle"), int(m_mouseOutStyle), 1);
}

void Command::ReadProperties(PropertyBag &bag)
{
    auto readInt = [&](const char *key, int def) {
        return bag.ReadProperty(QString::fromLatin1(key), def).toInt();
    };
    auto readBool = [&](const char *key, bool def) {
        return bag.ReadProperty(QString::fromLatin1(key), def).toBool();
    };
    auto readColor = [&](const char *key, quint32 def) {
        return quint32(bag.ReadProperty(QString::fromLatin1(key), uint(def)).toUInt());
    };

    m_readingProperties = true;
    m_textAlignment = tAlignments(readInt("TextAlignment", 1));
    m_pictureAlignment = pAlignments(readInt("PictureAlignment", 0));
    m_caption = bag.ReadProperty(QStringLiteral("Caption"), QString()).toString();
    m_picture = pictureFrom(bag.ReadProperty(QStringLiteral("Picture"), QVariant()));
    m_keyedFor = -1;
    m_backColor = readColor("BackColor", OleColor::ButtonFace);
    m_foreColor = readColor("ForeColor", OleColor::ButtonText);
    const QVariant font = bag.ReadProperty(QStringLiteral("Font"), QVariant());
    setFont(font.typeId() == QMetaType::QFont ? font.value<QFont>() : QFont());
    m_focusRect = readBool("FocusRect", false);
    m_gab = readInt("Gab", 5);
    setEnabled(readBool("Enabled", true));
    m_clickEffect = bStyle(readInt("ClickEffect", 0));
    m_buttonType = BType(readInt("ButtonType", 0));
    m_drawAsDisabled = readBool("DrawAsDisabled", false);
    m_extraData = readInt("ExtraData", 0);
    m_extraData2 = readInt("ExtraData2", 0);
    m_selected = readBool("Selected", false);
    m_mousePointer = readInt("MousePointer", 0);
    m_bevel = readBool("Bevel", true);
    m_autoUpdTsp = readBool("AutoUpdTsp", false);
    m_autoUpdTspInterval = readInt("AutoUpdTspInterval", 10);
    m_visEnabledState = readBool("VisEnabledState", true);
    m_mouseIcon = pictureFrom(bag.ReadProperty(QStringLiteral("MouseIcon"), QVariant()));
    m_mouseOverEffect = readBool("MouseOverEffect", true);
    m_mouseOverStyle = ButtonEdgeStyles(readInt("MouseOverStyle", 2));
    m_mouseClickStyle = ButtonEdgeStyles(readInt("MouseClickStyle", 0));
    m_mouseOutStyle = ButtonEdgeStyles(readInt("MouseOutStyle", 1));
    m_readingProperties = false;

    applyPointer();
    applyTimer();
    requestPaint();
}
