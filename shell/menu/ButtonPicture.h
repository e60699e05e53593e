#pragma once

#include <QPixmap>
#include <QString>

// The picture of a menu button: an image file shown as it is, or else the icon
// that stands for the file on this desktop.
namespace ButtonPicture {

enum Size { Large = 0, Small = 1 }; // 32 x 32 and 16 x 16 pixel icons

// Empty or missing path: a null pixmap. Picture files (.bmp .gif .jpg .jpeg,
// and the Linux desktop's .png .xpm .svg) are loaded at their own size.
// Anything else shows an icon of the chosen size: a desktop entry's Icon, an
// executable's icon (from the desktop entry that starts it, else the generic
// program icon), or the icon of the file's type.
QPixmap LoadButtonPicture(const QString &path, int size);

// The Name of a desktop entry file, empty when it has none.
QString DesktopEntryName(const QString &path);

// The pixel size of an icon for a PictureSize value.
int IconPixels(int size);

// Forgets what was learnt about installed programs, so that the next picture
// sees programs installed since.
void ClearCache();

// Makes sure an icon theme with file-type icons is in use (Adwaita or
// hicolor) when the desktop names none. Called before the first icon lookup.
void EnsureIconTheme();

} // namespace ButtonPicture
