// Included after the Xlib headers: their macros of these names clash with
// Qt's own (QEvent::KeyPress, QTextStream::Status, ...). No include guard, on
// purpose: a file may include more Xlib headers and then this again.
#undef None
#undef Bool
#undef Status
#undef KeyPress
#undef KeyRelease
#undef FocusIn
#undef FocusOut
