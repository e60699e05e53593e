#pragma once

#include "../Services.h"

// The Linux/X11 realisations of the platform services.
namespace platform::linuxsvc {

std::unique_ptr<Processes> createProcesses();
std::unique_ptr<Windows> createWindows();
std::unique_ptr<Desktop> createDesktop();
std::unique_ptr<Keyboard> createKeyboard();
std::unique_ptr<Power> createPower();
std::unique_ptr<Display> createDisplay();
std::unique_ptr<Sound> createSound();
std::unique_ptr<Dialogs> createDialogs();
std::unique_ptr<Media> createMedia();
std::unique_ptr<OwnWindows> createOwnWindows();

} // namespace platform::linuxsvc
