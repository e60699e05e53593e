#pragma once

#include "OleColor.h"
#include "pellet_export.h"

#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

class PropertyBag;
class QTimer;

// The suite's picture button: one picture, one line of text and a 3-D edge that follows
// the pointer. The host steers it through properties and hears about the mouse and keys
// through signals whose arguments it may change (connect with Qt::DirectConnection).
// Mouse positions are reported in twips (pixels × 1440 / logical DPI).
class PELLET_EXPORT Command : public QWidget
{
    Q_OBJECT

public:
    enum class ButtonEdgeStyles { SOFT = 0, FLAT = 1, MONO = 2 };
    Q_ENUM(ButtonEdgeStyles)
    // Picture and text alignments number their members differently: 1 is right for the
    // picture but centre for the text.
    enum class pAlignments { eLeft = 0, eRight = 1, eCenter = 2 };
    Q_ENUM(pAlignments)
    enum class tAlignments { eLeft = 0, eCenter = 1, eRight = 2 };
    Q_ENUM(tAlignments)
    enum class bStyle { eNormal = 0, eBump = 1 };
    Q_ENUM(bStyle)
    enum class BType { CustomButton = 0, CancelButton = 1, OkButton = 2, Transparent = 3 };
    Q_ENUM(BType)

    // VisualState values.
    enum { StateOut = 0, StatePressed = 1, StateOver = 2 };

    Q_PROPERTY(tAlignments TextAlignment READ TextAlignment WRITE setTextAlignment)
    Q_PROPERTY(pAlignments PictureAlignment READ PictureAlignment WRITE setPictureAlignment)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(QPixmap Picture READ Picture WRITE setPicture)
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(QFont Font READ font WRITE setFont)
    Q_PROPERTY(bool FocusRect READ FocusRect WRITE setFocusRect)
    Q_PROPERTY(int Gab READ Gab WRITE setGab)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(bStyle ClickEffect READ ClickEffect WRITE setClickEffect)
    Q_PROPERTY(BType ButtonType READ ButtonType WRITE setButtonType)
    Q_PROPERTY(qulonglong hWnd READ hWnd)
    Q_PROPERTY(bool DrawAsDisabled READ DrawAsDisabled WRITE setDrawAsDisabled)
    Q_PROPERTY(qint32 ExtraData READ ExtraData WRITE setExtraData)
    Q_PROPERTY(qint32 ExtraData2 READ ExtraData2 WRITE setExtraData2)
    Q_PROPERTY(bool Selected READ Selected WRITE setSelected)
    Q_PROPERTY(int MousePointer READ MousePointer WRITE setMousePointer)
    Q_PROPERTY(bool Bevel READ Bevel WRITE setBevel)
    Q_PROPERTY(bool AutoUpdTsp READ AutoUpdTsp WRITE setAutoUpdTsp)
    Q_PROPERTY(qint32 AutoUpdTspInterval READ AutoUpdTspInterval WRITE setAutoUpdTspInterval)
    Q_PROPERTY(bool VisEnabledState READ VisEnabledState WRITE setVisEnabledState)
    Q_PROPERTY(QPixmap MouseIcon READ MouseIcon WRITE setMouseIcon)
    Q_PROPERTY(bool MouseOverEffect READ MouseOverEffect WRITE setMouseOverEffect)
    Q_PROPERTY(ButtonEdgeStyles MouseOverStyle READ MouseOverStyle WRITE setMouseOverStyle)
    Q_PROPERTY(ButtonEdgeStyles MouseClickStyle READ MouseClickStyle WRITE setMouseClickStyle)
    Q_PROPERTY(ButtonEdgeStyles MouseOutStyle READ MouseOutStyle WRITE setMouseOutStyle)

    explicit Command(QWidget *parent = nullptr);
    ~Command() override;

    // A control newly placed by a designer: defaults, with the caption taken from the
    // control's name and the font from the container.
    void InitProperties();

    tAlignments TextAlignment() const { return m_textAlignment; }
    void setTextAlignment(tAlignments value);
    pAlignments PictureAlignment() const { return m_pictureAlignment; }
    void setPictureAlignment(pAlignments value);
    QString Caption() const { return m_caption; }
    void setCaption(const QString &value);
    QPixmap Picture() const { return m_picture; }
    void setPicture(const QPixmap &value);
    quint32 BackColor() const { return m_backColor; }
    void setBackColor(quint32 value);
    quint32 ForeColor() const { return m_foreColor; }
    void setForeColor(quint32 value);
    bool FocusRect() const { return m_focusRect; }
    void setFocusRect(bool value);
    int Gab() const { return m_gab; }
    void setGab(int value);
    // The control's own enabled state; a disabled container does not change its look.
    bool Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }
    bStyle ClickEffect() const { return m_clickEffect; }
    void setClickEffect(bStyle value);
    BType ButtonType() const { return m_buttonType; }
    void setButtonType(BType value);
    // Makes the control a native window, as any window handle does.
    qulonglong hWnd() const { return qulonglong(winId()); }
    bool DrawAsDisabled() const { return m_drawAsDisabled; }
    void setDrawAsDisabled(bool value);
    qint32 ExtraData() const { return m_extraData; }
    void setExtraData(qint32 value);
    qint32 ExtraData2() const { return m_extraData2; }
    void setExtraData2(qint32 value);
    bool Selected() const { return m_selected; }
    void setSelected(bool value);
    // Pointer shapes of the suite: 0 default, 1 arrow, 2 cross, 3 I-beam, 4 icon,
    // 5 and 15 size all, 6 NE-SW, 7 N-S, 8 NW-SE, 9 W-E, 10 up arrow, 11 hourglass,
    // 12 no drop, 13 arrow and hourglass, 14 arrow and question mark, 99 MouseIcon.
    int MousePointer() const { return m_mousePointer; }
    void setMousePointer(int value);
    bool Bevel() const { return m_bevel; }
    void setBevel(bool value);
    bool AutoUpdTsp() const { return m_autoUpdTsp; }
    void setAutoUpdTsp(bool value);
    qint32 AutoUpdTspInterval() const { return m_autoUpdTspInterval; }
    void setAutoUpdTspInterval(qint32 value);
    bool VisEnabledState() const { return m_visEnabledState; }
    void setVisEnabledState(bool value);
    QPixmap MouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const QPixmap &value);
    bool MouseOverEffect() const { return m_mouseOverEffect; }
    void setMouseOverEffect(bool value);
    ButtonEdgeStyles MouseOverStyle() const { return m_mouseOverStyle; }
    void setMouseOverStyle(ButtonEdgeStyles value);
    ButtonEdgeStyles MouseClickStyle() const { return m_mouseClickStyle; }
    void setMouseClickStyle(ButtonEdgeStyles value);
    ButtonEdgeStyles MouseOutStyle() const { return m_mouseOutStyle; }
    void setMouseOutStyle(ButtonEdgeStyles value);

    // 0 out (resting), 1 pressed, 2 over.
    int VisualState() const { return m_visualState; }

    // Where the picture and the text go at the control's current size (drawing-buffer
    // pixels, before the press offset). pictureRect() is null when there is no picture.
    QRect pictureRect() const;
    QRect textRect() const;

    // Persistence under the keys of the saved form; values equal to their defaults are
    // not stored.
    void WriteProperties(PropertyBag &bag) const;
    void ReadProperties(PropertyBag &bag);

    // Screen twips per pixel on each axis.
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;

public slots:
    // While locked, repaint requests are ignored; unlocking repaints once.
    void LockUpdate(bool Value);
    void ReDraw();
    // Back to the resting look; a button that looked pressed reports a Click first.
    void ResetButton();

signals:
    void MouseMove(int &Button, int &Shift, float &X, float &Y);
    void MouseDown(int &Button, int &Shift, float &X, float &Y, bool &CancelDownEffect);
    void MouseUp(int &Button, int &Shift, float &X, float &Y);
    void KeyDown(int &KeyCode, int &Shift);
    void KeyUp(int &KeyCode, int &Shift);
    void KeyPress(int &KeyAscii);
    void Click();
    void DblClick();
    // Every property write marks the property as changed for the host.
    void PropertyChanged(const QString &name);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    struct Layout {
        const QImage *image = nullptr; // the image box chosen for this size, if any
        QPoint picturePos;
        int textLeft = 0;
        int textRight = 0;
    };

    void propertyWritten(const char *name, bool repaint);
    void requestPaint();
    QImage compose();
    Layout layout() const;
    QRect textRectOf(const Layout &lay) const;
    const QImage *imageSource() const;
    const QImage &keyedPicture() const;
    void paintBackground(QImage &target);
    void paintText(QImage &target, const Layout &lay);
    void paintEdge(QImage &target);
    void applyPointer();
    void applyTimer();
    void followTick();
    void handlePress(int button, int shift, float x, float y);
    bool isInside(const QPointF &pos) const;
    void setVisualState(int state);

    // Properties.
    tAlignments m_textAlignment = tAlignments::eCenter;
    pAlignments m_pictureAlignment = pAlignments::eLeft;
    QString m_caption;
    QPixmap m_picture;
    quint32 m_backColor = OleColor::ButtonFace;
    quint32 m_foreColor = OleColor::ButtonText;
    bool m_focusRect = false;
    int m_gab = 5;
    bStyle m_clickEffect = bStyle::eNormal;
    BType m_buttonType = BType::CustomButton;
    bool m_drawAsDisabled = false;
    qint32 m_extraData = 0;
    qint32 m_extraData2 = 0;
    bool m_selected = false;
    int m_mousePointer = 0;
    bool m_bevel = true;
    bool m_autoUpdTsp = false;
    qint32 m_autoUpdTspInterval = 10;
    bool m_visEnabledState = true;
    QPixmap m_mouseIcon;
    bool m_mouseOverEffect = true;
    ButtonEdgeStyles m_mouseOverStyle = ButtonEdgeStyles::MONO;
    ButtonEdgeStyles m_mouseClickStyle = ButtonEdgeStyles::SOFT;
    ButtonEdgeStyles m_mouseOutStyle = ButtonEdgeStyles::FLAT;

    // Inner state.
    int m_visualState = StateOut;
    bool m_mousePressed = false;
    bool m_leftWhilePressed = false;
    bool m_downSeen = false;
    bool m_keyPressed = false;
    bool m_updatesLocked = false;
    int m_lastLeft = 0;
    int m_lastTop = 0;
    bool m_readingProperties = false;
    bool m_ownEnabled = true;

    // Inner parts: what stays on screen while updates are locked, the picture with its
    // key colour applied, and the follow timer. Nothing else is kept between paints: a
    // menu holds many buttons for hours.
    QImage m_lockedSurface;
    mutable QImage m_keyedPicBuf;
    mutable qint64 m_keyedFor = -1;
    mutable QRgb m_keyedColor = 0;
    QTimer *m_timer1 = nullptr;
};
