#pragma once

#include "Desktop.h"
#include "Dialogs.h"
#include "Display.h"
#include "Keyboard.h"
#include "Media.h"
#include "OwnWindows.h"
#include "Power.h"
#include "Processes.h"
#include "Sound.h"
#include "Windows.h"

#include <memory>

namespace platform {

// The platform services the shell uses. Each one is created on first use (so
// that start-up pays only for what it needs) and can be replaced by tests.
namespace Services {

Processes &processes();
Windows &windows();
Desktop &desktop();
Keyboard &keyboard();
Power &power();
Display &display();
Sound &sound();
Dialogs &dialogs();
Media &media();
OwnWindows &ownWindows();

void set(std::unique_ptr<Processes> service);
void set(std::unique_ptr<Windows> service);
void set(std::unique_ptr<Desktop> service);
void set(std::unique_ptr<Keyboard> service);
void set(std::unique_ptr<Power> service);
void set(std::unique_ptr<Display> service);
void set(std::unique_ptr<Sound> service);
void set(std::unique_ptr<Dialogs> service);
void set(std::unique_ptr<Media> service);
void set(std::unique_ptr<OwnWindows> service);

// Drops every replacement and every created service.
void reset();

} // namespace Services
} // namespace platform
