#pragma once


// Windows virtual-key codes <-> X keysyms. spc_keys.dat and the capture dialog
// speak virtual-key codes; the X server speaks keysyms.
namespace platform::vk {

// The virtual-key code of a keysym, 0 when the key has none. Letters map
// from either case; the left and right Shift, Control and Alt keys give the
// sided codes 160-165, as a low-level keyboard hook reports them.
int fromKeysym(unsigned long keysym);

// True for keysyms of the numeric keypad whose meaning follows Num Lock.
bool isKeypad(unsigned long keysym);

} // namespace platform::vk
