#pragma once

// Qt looks for plugins (platforms, image formats, styles, input methods) in
// its library paths, and adds the program's own folder to them while the
// application object is made, even when the paths were set before. The child's
// account may create files and folders in the installed program folder, so
// every program of the suite loads plugins only from the system's folder.
namespace SystemPlugins {

// Before the application object exists.
void Restrict();
// Right after it exists: the paths again, should Qt have put its folder back.
void Confirm();

} // namespace SystemPlugins
