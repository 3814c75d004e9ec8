// Pictures of the studio for the README: the studio with the project's module and first form
// open, and the add-in's main window on the tabs named, each grabbed from the real widgets.
#pragma once

#include <QString>
#include <QStringList>

#include "studio_window.h"

namespace marquill::studio {

// Writes studio.png and main-window-N.png (N the tab index) into `folder`; returns the files
// written. The studio must have a project open.
QStringList TakeScreenshots(StudioMainWindow& studio, const QString& folder);

}  // namespace marquill::studio
